// The zip writer's archives read back by two well-kept readers (Python's zipfile, and Info-ZIP's
// unzip, which checks each entry's sizes in both its headers where Python takes the first): every
// entry, its bytes and its CRC, below the classic format's limits and past them, where the ZIP64
// records take over: past its 65,535 entries, and past its 4 GB of a size or an offset (the
// limit lowered, so that small files stand for large ones).
#include "files/output_file.h"
#include "files/zip_writer.h"
#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace quillon {
namespace {

struct ZipCase {
    const char* Name;
    int Entries;
    std::uint64_t ClassicLimit = kZipClassicLimit;
};

// Each entry takes 77 or 78 bytes: a local header of 30, its name (13 or 14), its 18 bytes and a
// descriptor of 16; thirteen of them end at 1004.
const ZipCase kZipCases[] = {
    {"a few entries: the classic records", 3},
    {"the last count the classic end record holds", 65534},
    {"one entry more than it holds: the ZIP64 end records", 65536},
    {"files larger than a classic size: ZIP64 sizes", 3, 18},
    {"files just below it, all but the first beyond a classic offset", 3, 19},
    {"headers beyond a classic offset: ZIP64 offsets", 40, 1000},
    {"a directory beyond it", 13, 1000},
};

void PrintTo(const ZipCase& c, std::ostream* out) {
    *out << c.Name;
}

// What Python's zipfile finds in `zip`: the entries of its central directory, the count its end
// records give (which a reader that walks the directory would not check), and "ok" when every
// entry's bytes match its CRC and the last entry holds `content`; then "tested" when unzip
// finds nothing wrong.
std::string ReadBack(const std::string& zip, const std::string& content) {
    const std::string command =
        "/usr/bin/python3 -c 'import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "names = z.namelist()\n"
        "counted = zipfile._EndRecData(z.fp)[zipfile._ECD_ENTRIES_TOTAL]\n"
        "ok = z.testzip() is None and z.read(names[-1]) == sys.argv[2].encode()\n"
        "print(len(names), counted, \"ok\" if ok else \"damaged\")' '" +
        zip + "' '" + content + "' 2>&1 && unzip -tqq '" + zip + "' 2>&1 && echo tested";
    FILE* python = ::popen(command.c_str(), "r");
    if (python == nullptr) {
        return "";
    }
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, python) != nullptr) {
        output += buffer;
    }
    return ::pclose(python) == 0 ? output : "failed: " + output;
}

class ZipWriterTest : public testing::TestWithParam<ZipCase> {};

TEST_P(ZipWriterTest, ItsArchiveReadsBackWhole) {
    if (std::system("/usr/bin/python3 -c '' 2>/dev/null && command -v unzip >/dev/null") != 0) {
        GTEST_SKIP() << "/usr/bin/python3 or unzip is not here";
    }
    test::ScratchFolder folder;
    const std::string content = "contenu du fichier";
    test::WriteBytes(folder.File("file.txt"), content);
    const std::string zip = folder.File("archive.zip");
    OutputFile out;
    FileError error;
    ASSERT_TRUE(out.Open(zip, OutputFile::Mode::Create, error)) << error.Reason();
    ZipWriter writer(out, GetParam().ClassicLimit);
    for (int i = 0; i < GetParam().Entries; ++i) {
        ASSERT_TRUE(
            writer.AddFile("dossier/" + std::to_string(i) + ".txt", folder.File("file.txt"), error))
            << error.Reason();
    }
    writer.Finish();
    ASSERT_TRUE(out.Close(error)) << error.Reason();
    const std::string entries = std::to_string(GetParam().Entries);
    EXPECT_EQ(ReadBack(zip, content), entries + " " + entries + " ok\ntested\n") << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(Zip, ZipWriterTest, testing::ValuesIn(kZipCases));

} // namespace
} // namespace quillon
