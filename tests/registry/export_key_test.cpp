#include "export/export_to_file.h"
#include "registry/reg_access.h"
#include "test_support.h"

#include <cerrno>

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
        EXPECT_EQ(ExportKey(registry, key, out, 0).Status, ExportStatus::Exported);
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

TEST_F(ExportKeyTest, ASecondKeyIsAppendedWithoutASecondHeader) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n"
                                     "[HKEY_LOCAL_MACHINE\\B]\r\n\"y\"=\"2\"\r\n");
    Reg_access registry(store);
    ASSERT_EQ(ExportKey(registry, "HKEY_CURRENT_USER\\A", out, 0).Status, ExportStatus::Exported);
    ASSERT_EQ(ExportKey(registry, "HKEY_LOCAL_MACHINE\\B", out, 1).Status, ExportStatus::Exported);
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
        EXPECT_EQ(ExportKey(registry, key, out, 0).Status, ExportStatus::KeyNotOpened) << key;
        EXPECT_EQ(ExportKey(registry, key, folder.File("new.reg"), 0).Status,
                  ExportStatus::KeyNotOpened);
    }
    EXPECT_EQ(ReadBytes(out), "keep me");
    EXPECT_FALSE(std::filesystem::exists(folder.File("new.reg")));
}

TEST_F(ExportKeyTest, NumbersAndHexFormsFollowTheLineSyntax) {
    MemoryStore store;
    MemoryKey* key = store.CreateKey("HKEY_CURRENT_USER\\K");
    key->SetValue("one", RegType::Dword, {1, 0, 0, 0});
    key->SetValue("big", RegType::Dword, {0x0A, 0x01, 0, 0});
    key->SetValue("max", RegType::Dword, {0xFF, 0xFF, 0xFF, 0xFF});
    key->SetValue("bin", RegType::Binary, {0x00, 0x0A, 0xFF, 0x10});
    key->SetValue("qword", 11, std::vector<std::uint8_t>(8, 0));
    key->SetValue("odd", 0x1234, {0xAB});
    key->SetValue("list", RegType::MultiString, {'a', 0, 'b', 0, 0});
    EXPECT_EQ(Export(store, "HKEY_CURRENT_USER\\K"),
              Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\K]", "\"one\"=dword:00000001",
                     "\"big\"=dword:0000010A", "\"max\"=dword:FFFFFFFF", "\"bin\"=hex(3):0,A,FF,10",
                     "\"qword\"=hex(B):0,0,0,0,0,0,0,0", "\"odd\"=hex(1234):AB",
                     "\"list\"=hex(7):61,0,62,0,0"}));
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

TEST_F(ExportKeyTest, EscapesBackslashesAndQuotesAndKeepsAnsiBytes) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\E]\r\n"
                                     "\"Store Root\"=\"C:\\\\Mail\"\r\n"
                                     "\"say \\\"hi\\\"\"=\"a \\\"quoted\\\" \\\\ text\"\r\n"
                                     "\"Caf\xE9\"=\"\xE9t\xE9 \x80\"\r\n");
    EXPECT_EQ(Export(store, "HKEY_CURRENT_USER\\E"),
              Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\E]", "\"Store Root\"=\"C:\\\\Mail\"",
                     "\"say \\\"hi\\\"\"=\"a \\\"quoted\\\" \\\\ text\"",
                     "\"Caf\xE9\"=\"\xE9t\xE9 \x80\""}));
}

TEST_F(ExportKeyTest, WritesInHexWhatTheQuotedAndDwordFormsCannotCarry) {
    MemoryStore store;
    MemoryKey* key = store.CreateKey("HKEY_CURRENT_USER\\H");
    key->SetValue("empty", RegType::String, {});
    key->SetValue("unterminated", RegType::String, {'a', 'b'});
    key->SetValue("inner zero", RegType::String, {'a', 0, 'b', 0});
    key->SetValue("lines", RegType::String, {'a', '\r', '\n', 'b', 0});
    key->SetValue("short", RegType::Dword, {1, 2});
    key->SetValue("long", RegType::Dword, {1, 2, 3, 4, 5});
    key->SetValue("nothing", RegType::Binary, {});
    key->SetValue("none", RegType::None, {});
    EXPECT_EQ(Export(store, "HKEY_CURRENT_USER\\H"),
              Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\H]", "\"empty\"=hex(1):",
                     "\"unterminated\"=hex(1):61,62", "\"inner zero\"=hex(1):61,0,62,0",
                     "\"lines\"=hex(1):61,D,A,62,0", "\"short\"=hex(4):1,2",
                     "\"long\"=hex(4):1,2,3,4,5", "\"nothing\"=hex(3):", "\"none\"=hex(0):"}));
}

// A name holding CR or LF cannot be written on one line: the entry is left out and named, and
// the file reads back.
TEST_F(ExportKeyTest, NamesThatNoLineCanCarryAreLeftOutAndNamed) {
    MemoryStore store;
    MemoryKey* key = store.CreateKey("HKEY_CURRENT_USER\\N");
    key->SetValue("a\nb", RegType::String, {'x', 0});
    key->SetValue("kept", RegType::String, {'y', 0});
    key->AddSubkey("k\r\n[HKEY_LOCAL_MACHINE\\X]").SetValue("v", RegType::String, {'z', 0});
    Reg_access registry(store);
    const ExportResult result = ExportKey(registry, "HKEY_CURRENT_USER\\N", out, 0);
    EXPECT_EQ(result.LeftOut,
              (std::vector<std::string>{"HKEY_CURRENT_USER\\N\\a\nb",
                                        "HKEY_CURRENT_USER\\N\\k\r\n[HKEY_LOCAL_MACHINE\\X]"}));
    EXPECT_EQ(ReadBytes(out), Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\N]", "\"kept\"=\"y\""}));
}

TEST_F(ExportKeyTest, EveryExportedValueReadsBackTheSame) {
    MemoryStore original = test::RichFixture("HKEY_CURRENT_USER\\Round");
    MemoryStore reread;
    std::string error;
    ASSERT_TRUE(ReadRegText(Export(original, "HKEY_CURRENT_USER\\Round"), "out.reg", reread, error))
        << error;
    test::ExpectSameTree(original.Root(1), reread.Root(1));
}

TEST_F(ExportKeyTest, FileErrorsAreReportedWithTheSystemsReason) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n");
    Reg_access registry(store);
    const std::string missing = folder.File("no/such/folder/out.reg");
    const ExportResult result = ExportKey(registry, "HKEY_CURRENT_USER\\A", missing, 0);
    EXPECT_EQ(result.Status, ExportStatus::FileFailed);
    EXPECT_EQ(result.Error.Path, missing);
    EXPECT_EQ(result.Error.Errno, ENOENT);
    EXPECT_EQ(result.Error.Reason(), "le fichier ou son dossier n'existe pas");
#ifndef _WIN32
    const ExportResult full = ExportKey(registry, "HKEY_CURRENT_USER\\A", "/dev/full", 1);
    EXPECT_EQ(full.Status, ExportStatus::FileFailed);
    EXPECT_EQ(full.Error.Reason(), "disque plein");
#endif
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ExportKeyTest, ExportToFileReplacesTheFileOnlyWhenTheKeyWasWritten) {
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n");
    Reg_access registry(store);
    WriteBytes(out, "old");
    EXPECT_EQ(ExportKeyToFile(registry, "HKEY_CURRENT_USER\\Gone", out, false).Status,
              ExportStatus::KeyNotOpened);
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(ExportKeyToFile(registry, "HKEY_CURRENT_USER\\A", out, false).Status,
              ExportStatus::Exported);
    EXPECT_EQ(ReadBytes(out), Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\A]", "\"x\"=\"1\""}));
    EXPECT_EQ(ExportKeyToFile(registry, "HKEY_CURRENT_USER\\A", out, true).Status,
              ExportStatus::Exported);
    EXPECT_EQ(ReadBytes(out), Lines({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\A]", "\"x\"=\"1\"", " ",
                                     "[HKEY_CURRENT_USER\\A]", "\"x\"=\"1\""}));
    // Nothing but the output is left in its folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    // A regedit file in UTF-16 takes no REGEDIT4 text at its end.
    const std::string unicode = "\xFF\xFE" + test::Utf16Le(u"Windows Registry Editor Version 5.00");
    WriteBytes(out, unicode);
    const ExportResult refused = ExportKeyToFile(registry, "HKEY_CURRENT_USER\\A", out, true);
    EXPECT_EQ(refused.Status, ExportStatus::FileFailed);
    EXPECT_EQ(refused.Error.Reason(),
              "fichier en UTF-16, où du texte REGEDIT4 ne peut pas être ajouté");
    EXPECT_EQ(ReadBytes(out), unicode);

    const std::string missing = folder.File("missing/out.reg");
    const ExportResult failed = ExportKeyToFile(registry, "HKEY_CURRENT_USER\\A", missing, false);
    EXPECT_EQ(failed.Status, ExportStatus::FileFailed);
    EXPECT_EQ(failed.Error.Path, missing);
}

} // namespace
} // namespace quillon
