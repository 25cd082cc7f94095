#include "export/export_to_file.h"
#include "export/value_lines.h"
#include "files/temp_file.h"
#include "registry/reg_access.h"
#include "test_support.h"
#include "text/ansi_codepage.h"

#include <cerrno>
#include <cstdio>

namespace quillon {
namespace {

using test::ReadBytes;
using test::ScratchFolder;
using test::StoreFromReg;
using test::WriteBytes;
constexpr auto Lines = test::CrLf;

class ExportKeyTest : public ::testing::Test {
  protected:
    // Exports `key` of `store` into a new file and returns the file's bytes.
    std::string Export(MemoryStore& store, std::string_view key) {
        Reg_access registry(store);
        EXPECT_EQ(ExportKeyToFile(registry, KeyPath(key), out, false).Status,
                  ExportStatus::Exported);
        return ReadBytes(out);
    }

    ScratchFolder folder;
    std::string out = folder.File("out.reg");
};

TEST_F(ExportKeyTest, WritesTheWorkedExampleByteForByte) {
    MemoryStore store;
    std::string error;
    ASSERT_TRUE(ReadRegFile(QUILLON_EXAMPLES "/test-key.reg", store, error)) << error;
    EXPECT_EQ(Export(store, "HKEY_CURRENT_USER\\Software\\Test"),
              ReadBytes(QUILLON_TEST_DATA "/test-key.expected.reg"));
    EXPECT_EQ(store.OpenHandleCount(), 0u); // every key it opened is closed
}

// One file holds several keys: its header comes once, before the first key written, and a key
// that cannot be opened writes nothing, not even the header.
TEST_F(ExportKeyTest, KeysWrittenIntoOneFileShareItsHeader) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n"
                                     "[HKEY_LOCAL_MACHINE\\B]\r\n\"y\"=\"2\"\r\n");
    Reg_access registry(store);
    FileError error;
    auto temporary = TemporaryFile::CreateBeside(out, error);
    ASSERT_TRUE(temporary);
    RegFile file;
    ASSERT_TRUE(file.OpenNew(*temporary, false, error));
    ASSERT_EQ(ExportKey(registry, KeyPath("HKEY_CURRENT_USER\\Gone"), file).Status,
              ExportStatus::KeyNotOpened);
    EXPECT_FALSE(file.HeaderWritten());
    ASSERT_EQ(ExportKey(registry, KeyPath("HKEY_CURRENT_USER\\A"), file).Status,
              ExportStatus::Exported);
    ASSERT_EQ(ExportKey(registry, KeyPath("HKEY_LOCAL_MACHINE\\B"), file).Status,
              ExportStatus::Exported);
    ASSERT_TRUE(file.Close(error));
    ASSERT_TRUE(temporary->RenameTo(out, error));
    EXPECT_EQ(ReadBytes(out), Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\A]", "\"x\"=\"1\"", " ",
                                     "[HKEY_LOCAL_MACHINE\\B]", "\"y\"=\"2\""}));
}

TEST_F(ExportKeyTest, AKeyThatCannotBeOpenedLeavesFilesAlone) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\Locked]\r\n");
    store.FindKey("HKEY_CURRENT_USER\\Locked")->Access = KeyAccess::Denied;
    Reg_access registry(store);
    WriteBytes(out, "keep me");
    for (std::string_view key : {"HKEY_CURRENT_USER\\Missing", "HKEY_CURRENT_USER\\Locked",
                                 "hkey_current_user\\Locked", "NOROOT"}) {
        EXPECT_EQ(ExportKeyToFile(registry, KeyPath(key), out, true).Status,
                  ExportStatus::KeyNotOpened)
            << key;
        EXPECT_EQ(ExportKeyToFile(registry, KeyPath(key), folder.File("new.reg"), false).Status,
                  ExportStatus::KeyNotOpened);
    }
    EXPECT_EQ(ReadBytes(out), "keep me");
    EXPECT_FALSE(std::filesystem::exists(folder.File("new.reg")));
}

TEST_F(ExportKeyTest, WalksDepthFirstWithValuesBeforeSubkeysInStoreOrder) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\R]\r\n\"v\"=\"1\"\r\n@=\"d\"\r\n"
                                     "\"w\"=\"2\"\r\n"
                                     "[HKEY_CURRENT_USER\\R\\A]\r\n\"a\"=\"3\"\r\n"
                                     "[HKEY_CURRENT_USER\\R\\B]\r\n\"b\"=\"5\"\r\n"
                                     "[HKEY_CURRENT_USER\\R\\A\\C]\r\n\"c\"=\"4\"\r\n"
                                     "[HKEY_CURRENT_USER\\R\\Shut]\r\n\"s\"=\"6\"\r\n"
                                     "[HKEY_CURRENT_USER\\R\\Shut\\Below]\r\n");
    store.FindKey("HKEY_CURRENT_USER\\R\\Shut")->Access = KeyAccess::Denied;
    EXPECT_EQ(Export(store, "HKEY_CURRENT_USER\\R"),
              Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\R]", "\"v\"=\"1\"", "@=\"d\"",
                     "\"w\"=\"2\"", "", "[HKEY_CURRENT_USER\\R\\A]", "\"a\"=\"3\"", "",
                     "[HKEY_CURRENT_USER\\R\\A\\C]", "\"c\"=\"4\"", "", "[HKEY_CURRENT_USER\\R\\B]",
                     "\"b\"=\"5\"", "", "[HKEY_CURRENT_USER\\R\\Shut]"}));
}

// Each row of tests/data/value_lines.txt: a value, and the line written for it.
TEST(ValueLines, EveryRowOfTheTableIsWrittenAsItSays) {
    const std::vector<std::string> rows =
        SplitLines(ReadBytes(QUILLON_TEST_DATA "/value_lines.txt"));
    int checked = 0;
    for (const std::string& row : rows) {
        if (row.empty() || row.starts_with("#")) {
            continue;
        }
        std::vector<std::string> cells;
        for (std::size_t at = 0, bar; at <= row.size(); at = bar + 3) {
            bar = std::min(row.find(" | ", at), row.size());
            cells.push_back(row.substr(at, bar - at));
        }
        ASSERT_EQ(cells.size(), 4u) << row;
        RegValue value{Utf8ToAnsi(cells[0]), static_cast<std::uint32_t>(std::stoul(cells[1])), {}};
        std::istringstream bytes(cells[2]);
        for (unsigned byte = 0; bytes >> std::hex >> byte;) {
            value.Data.push_back(static_cast<std::uint8_t>(byte));
        }
        std::string line;
        AppendValueLine(line, value);
        EXPECT_EQ(AnsiToUtf8(line), cells[3]);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

// A long value is written a piece at a time: the pieces join into the one line a short value
// would get, with no comma lost or doubled where they meet, nor bytes between them.
TEST_F(ExportKeyTest, ALongValueIsOneLineWhateverItsSize) {
    for (const std::size_t size :
         {std::size_t{256 * 1024}, std::size_t{256 * 1024 + 1}, std::size_t{600 * 1024 + 7}}) {
        MemoryStore store;
        std::vector<std::uint8_t> data(size);
        for (std::size_t i = 0; i < size; ++i) {
            data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        }
        store.CreateKey("HKEY_CURRENT_USER\\Long")->SetValue("v", RegType::Binary, data);
        std::string expected = "\"v\"=hex(3):";
        for (std::size_t i = 0; i < size; ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, "%X", data[i]);
            expected += (i == 0 ? "" : ",") + std::string(byte);
        }
        EXPECT_EQ(Export(store, "HKEY_CURRENT_USER\\Long"),
                  Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\Long]", expected}))
            << size;
    }
}

// A name holding CR, LF or NUL cannot be written on one line: the entry is left out and named,
// and the file reads back.
TEST_F(ExportKeyTest, NamesThatNoLineCanCarryAreLeftOutAndNamed) {
    MemoryStore store;
    MemoryKey* key = store.CreateKey("HKEY_CURRENT_USER\\N");
    key->SetValue("a\nb", RegType::String, {'x', 0});
    key->SetValue("kept", RegType::String, {'y', 0});
    key->SetValue(std::string("kept\0cut", 8), RegType::String, {'w', 0});
    key->AddSubkey("k\r\n[HKEY_LOCAL_MACHINE\\X]").SetValue("v", RegType::String, {'z', 0});
    Reg_access registry(store);
    const ExportResult result =
        ExportKeyToFile(registry, KeyPath("HKEY_CURRENT_USER\\N"), out, false);
    EXPECT_EQ(result.LeftOut, (std::vector<std::string>{
                                  "HKEY_CURRENT_USER\\N\\a\\nb", "HKEY_CURRENT_USER\\N\\kept\\0cut",
                                  "HKEY_CURRENT_USER\\N\\k\\r\\n[HKEY_LOCAL_MACHINE\\X]"}));
    EXPECT_EQ(ReadBytes(out), Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\N]", "\"kept\"=\"y\""}));
}

// Read back as regedit imports it, a string value without its terminating zero gains one; all
// else comes back the same, and no line is passed over.
TEST_F(ExportKeyTest, EveryExportedValueReadsBackAsRegeditImportsIt) {
    MemoryStore original = test::RichFixture("HKEY_CURRENT_USER\\Round");
    MemoryStore reread;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ReadRegText(Export(original, "HKEY_CURRENT_USER\\Round"), "out.reg", reread, error,
                            &warnings))
        << error;
    EXPECT_EQ(warnings, std::vector<std::string>{});
    test::EndStringsAsRegeditDoes(original.Root(1));
    test::ExpectSameTree(original.Root(1), reread.Root(1));
}

TEST_F(ExportKeyTest, FileErrorsAreReportedWithTheSystemsReason) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n");
    Reg_access registry(store);
    const std::string missing = folder.File("no/such/folder/out.reg");
    const ExportResult result =
        ExportKeyToFile(registry, KeyPath("HKEY_CURRENT_USER\\A"), missing, true);
    EXPECT_EQ(result.Status, ExportStatus::FileFailed);
    EXPECT_EQ(result.Error.Path, missing);
    EXPECT_EQ(result.Error.Errno, ENOENT);
    EXPECT_EQ(result.Error.Reason(), "le fichier ou son dossier n'existe pas");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ExportKeyTest, ExportToFileReplacesTheFileOnlyWhenTheKeyWasWritten) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n");
    Reg_access registry(store);
    WriteBytes(out, "old");
    EXPECT_EQ(ExportKeyToFile(registry, KeyPath("HKEY_CURRENT_USER\\Gone"), out, false).Status,
              ExportStatus::KeyNotOpened);
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(ExportKeyToFile(registry, KeyPath("HKEY_CURRENT_USER\\A"), out, false).Status,
              ExportStatus::Exported);
    EXPECT_EQ(ReadBytes(out), Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\A]", "\"x\"=\"1\""}));
    EXPECT_EQ(ExportKeyToFile(registry, KeyPath("HKEY_CURRENT_USER\\A"), out, true).Status,
              ExportStatus::Exported);
    EXPECT_EQ(ReadBytes(out), Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\A]", "\"x\"=\"1\"", " ",
                                     "[HKEY_CURRENT_USER\\A]", "\"x\"=\"1\""}));
    // Nothing but the output is left in its folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    const std::string missing = folder.File("missing/out.reg");
    const ExportResult failed =
        ExportKeyToFile(registry, KeyPath("HKEY_CURRENT_USER\\A"), missing, false);
    EXPECT_EQ(failed.Status, ExportStatus::FileFailed);
    EXPECT_EQ(failed.Error.Path, missing);
}

} // namespace
} // namespace quillon
