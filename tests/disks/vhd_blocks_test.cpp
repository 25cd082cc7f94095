// The block table of a dynamic VHD, fed with a disk built byte by byte: two blocks of 4 KiB, the
// first written in its first and last sectors only, the second never written.
#include "../test_files.h"
#include "disks/vhd_blocks.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSector = 512, kBlock = 4096, kTableAt = 1536, kFirstBlockAt = 2048;

void PutBe(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * (size - 1 - i)));
    }
}

// The footer (at the start, and its copy at the end), the dynamic header, the table, block 0
// with its sector bitmap.
std::string DynamicVhd() {
    std::string footer(kSector, '\0');
    footer.replace(0, 8, "conectix");
    PutBe(footer, 16, kSector, 8);    // where the dynamic header is
    PutBe(footer, 48, 2 * kBlock, 8); // the disk's size
    PutBe(footer, 60, 3, 4);          // a dynamic disk
    std::string header(2 * kSector, '\0');
    header.replace(0, 8, "cxsparse");
    PutBe(header, 16, kTableAt, 8);
    PutBe(header, 28, 2, 4); // entries
    PutBe(header, 32, kBlock, 4);
    std::string table(kSector, '\xFF');
    PutBe(table, 0, kFirstBlockAt / kSector, 4);
    std::string bitmap(kSector, '\0');
    bitmap[0] = static_cast<char>(0x81); // the block's first and last sectors are written
    std::string block(kBlock, 'd');
    return footer + header + table + bitmap + block + footer;
}

std::unique_ptr<VhdBlocks> Open(const std::string& bytes, const fs::path& file) {
    test::WriteBytes(file, bytes);
    return VhdBlocks::Open(file.string());
}

struct VhdCase {
    const char* Name;
    std::function<void(std::string&)> Change;
    std::function<void(VhdBlocks&)> Check;
};

void PrintTo(const VhdCase& c, std::ostream* out) {
    *out << c.Name;
}

std::string Read(VhdBlocks& disk, std::uint64_t offset, std::size_t length) {
    std::string bytes(length, '?');
    return disk.Read(offset, bytes.data(), length) == static_cast<std::int64_t>(length) ? bytes
                                                                                        : "failed";
}

const VhdCase kCases[] = {
    {"a written sector reads its bytes", [](std::string&) {},
     [](VhdBlocks& disk) { EXPECT_EQ(Read(disk, 0, 4), "dddd"); }},
    {"a sector its bitmap does not mark reads as zeros", [](std::string&) {},
     [](VhdBlocks& disk) { EXPECT_EQ(Read(disk, kSector, 4), std::string(4, '\0')); }},
    {"a block never written reads as zeros", [](std::string&) {},
     [](VhdBlocks& disk) { EXPECT_EQ(Read(disk, kBlock, 4), std::string(4, '\0')); }},
    {"a read across two blocks takes each from its own", [](std::string&) {},
     [](VhdBlocks& disk) { EXPECT_EQ(Read(disk, kBlock - 2, 4), std::string("dd\0\0", 4)); }},
    {"the disk's size is the footer's", [](std::string&) {},
     [](VhdBlocks& disk) { EXPECT_EQ(disk.Size(), 2 * kBlock); }},
    {"a whole disk ends with its footer's copy", [](std::string&) {},
     [](VhdBlocks& disk) {
         EXPECT_TRUE(disk.FooterWhole());
         EXPECT_TRUE(disk.BlocksInFile());
     }},
    {"a disk whose end is cut off has no footer's copy, its blocks still whole",
     [](std::string& bytes) { bytes.resize(bytes.size() - 100); },
     [](VhdBlocks& disk) {
         EXPECT_FALSE(disk.FooterWhole());
         EXPECT_TRUE(disk.BlocksInFile());
     }},
    {"a disk cut inside a block has lost it",
     [](std::string& bytes) { bytes.resize(kFirstBlockAt + kSector + 100); },
     [](VhdBlocks& disk) {
         EXPECT_FALSE(disk.BlocksInFile());
         EXPECT_EQ(Read(disk, 200, 4), "failed");
     }},
    {"a table entry that names no block of the file fails to read",
     [](std::string& bytes) { PutBe(bytes, kTableAt + 4, 0x00100000, 4); },
     [](VhdBlocks& disk) {
         EXPECT_FALSE(disk.BlocksInFile());
         EXPECT_EQ(Read(disk, kBlock, 4), "failed");
     }},
};

class VhdBlocksTest : public testing::TestWithParam<VhdCase> {};

TEST_P(VhdBlocksTest, ReadsTheBlocks) {
    const fs::path file =
        fs::temp_directory_path() / ("quillon-vhd-" + std::to_string(::getpid()) + ".vhd");
    std::string bytes = DynamicVhd();
    GetParam().Change(bytes);
    std::unique_ptr<VhdBlocks> disk = Open(bytes, file);
    ASSERT_TRUE(disk);
    GetParam().Check(*disk);
    disk.reset();
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(Vhd, VhdBlocksTest, testing::ValuesIn(kCases));

TEST(VhdBlocksRefusal, ABlockSizeThatIsNoWholeSectorsIsRefused) {
    const fs::path file =
        fs::temp_directory_path() / ("quillon-vhd-bad-" + std::to_string(::getpid()) + ".vhd");
    std::string bytes = DynamicVhd();
    PutBe(bytes, kSector + 32, kBlock + 1, 4);
    EXPECT_FALSE(Open(bytes, file));
    fs::remove(file);
}

} // namespace
} // namespace quillon
