// A dynamic VirtualBox disk fed as built byte by byte: three blocks of 4 KiB whose map stores the
// first in the second slot, leaves the second unwritten and stores the third in the first slot.
#include "../test_files.h"
#include "disks/vdi_disk.h"
#include "files/byte_order.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlock = 4096, kMapAt = 512, kDataAt = 1024;
constexpr std::uint32_t kFree = 0xFFFFFFFF, kZero = 0xFFFFFFFE;

std::string DynamicVdi(const std::vector<std::uint32_t>& map) {
    std::string header(kMapAt, '\0');
    header.replace(0, 9, "<<< VDI >");
    PutLe32(header, 0x40, 0xBEDA107F);
    PutLe32(header, 0x44, 0x00010001);
    PutLe32(header, 0x4C, 1); // dynamic
    PutLe32(header, 0x154, kMapAt);
    PutLe32(header, 0x158, kDataAt);
    PutLittleEndian(header, 0x170, 3 * kBlock, 8);
    PutLe32(header, 0x178, kBlock);
    PutLe32(header, 0x180, static_cast<std::uint32_t>(map.size()));
    PutLe32(header, 0x184, 2); // blocks stored
    std::string table(kDataAt - kMapAt, '\0');
    for (std::size_t i = 0; i < map.size(); ++i) {
        PutLe32(table, i * 4, map[i]);
    }
    return header + table + std::string(kBlock, 'B') + std::string(kBlock, 'A');
}

struct VdiCase {
    const char* Name;
    std::vector<std::uint32_t> Map;
    std::uint64_t Offset;
    std::size_t Length;
    std::string Expected; // "failed" when the read fails
};

void PrintTo(const VdiCase& c, std::ostream* out) {
    *out << c.Name;
}

const std::vector<std::uint32_t> kMap = {1, kFree, 0};

const VdiCase kCases[] = {
    {"a block is read from the slot its map names", kMap, 0, 2, "AA"},
    {"a block never written reads as zeros", kMap, kBlock, 2, std::string(2, '\0')},
    {"a block known to be zeros reads as zeros", {1, kZero, 0}, kBlock, 2, std::string(2, '\0')},
    {"the last block from the first slot", kMap, 2 * kBlock + 10, 2, "BB"},
    {"a read across blocks takes each from its own", kMap, kBlock - 1, 2, std::string("A\0", 2)},
    {"a map entry past the blocks stored fails to read", {1, 7, 0}, kBlock, 2, "failed"},
    {"a read past the disk's end gives what is there", kMap, 3 * kBlock - 1, 4, "B"},
};

class VdiDiskTest : public testing::TestWithParam<VdiCase> {};

TEST_P(VdiDiskTest, ReadsThroughTheMap) {
    const fs::path file =
        fs::temp_directory_path() / ("quillon-vdi-" + std::to_string(::getpid()) + ".vdi");
    test::WriteBytes(file, DynamicVdi(GetParam().Map));
    std::string error;
    std::unique_ptr<VirtualDisk> disk = OpenVdiDisk(file.string(), error);
    ASSERT_TRUE(disk) << error;
    std::string bytes(GetParam().Length, '?');
    const std::int64_t read = disk->Read(GetParam().Offset, bytes.data(), bytes.size());
    bytes.resize(read < 0 ? 0 : static_cast<std::size_t>(read));
    EXPECT_EQ(read < 0 ? "failed" : bytes, GetParam().Expected) << GetParam().Name;
    disk.reset();
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(Vdi, VdiDiskTest, testing::ValuesIn(kCases));

TEST(VdiDiskRefusal, ACopyCutShortSaysItsLastBlocksAreMissing) {
    const fs::path file =
        fs::temp_directory_path() / ("quillon-vdi-cut-" + std::to_string(::getpid()) + ".vdi");
    test::WriteBytes(file, DynamicVdi(kMap).substr(0, kDataAt + kBlock + 100));
    std::string error;
    EXPECT_FALSE(OpenVdiDisk(file.string(), error));
    EXPECT_NE(error.find("fichier tronqué"), std::string::npos) << error;
    fs::remove(file);
}

} // namespace
} // namespace quillon
