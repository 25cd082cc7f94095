// A QCOW2 image built byte by byte, of 4 KiB clusters: its header in cluster 0, its one
// first-level entry in cluster 1, pointing to the second-level table in cluster 2, whose first
// entry is the case's; cluster 3 holds data. The check refuses an entry that leads out of the
// file before libqcow would follow it.
#include "../test_files.h"
#include "disks/qcow_tables.h"
#include "files/byte_order.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kClusterBits = 12;
constexpr std::uint64_t kCluster = 1 << kClusterBits;
// One second-level table covers its 64 entries' clusters.
constexpr std::uint64_t kDiskSize = kCluster * (kCluster / 8);
constexpr std::uint64_t kL1At = kCluster, kL2At = 2 * kCluster, kDataAt = 3 * kCluster;
constexpr std::uint64_t kCompressed = std::uint64_t{1} << 62;
constexpr std::uint64_t kCopied = std::uint64_t{1} << 63; // the cluster is used once

std::string Qcow2(std::uint64_t l1Entry, std::uint64_t l2Entry) {
    std::string image(4 * kCluster, '\0');
    image.replace(0, 4, "QFI\xFB");
    PutBe32(image, 4, 2);
    PutBe32(image, 20, kClusterBits);
    PutBe64(image, 24, kDiskSize);
    PutBe32(image, 36, 1); // first-level entries
    PutBe64(image, 40, kL1At);
    PutBe64(image, kL1At, l1Entry);
    PutBe64(image, kL2At, l2Entry);
    return image;
}

struct QcowCase {
    const char* Name;
    std::uint64_t L1Entry;
    std::uint64_t L2Entry;
    std::string Refusal; // "" when the image is read
};

void PrintTo(const QcowCase& c, std::ostream* out) {
    *out << c.Name;
}

const std::string kClusterOut = "image QEMU (QCOW) endommagée : cluster hors du fichier";
const std::string kTableOut =
    "image QEMU (QCOW) endommagée : table de second niveau hors du fichier ou mal alignée";

const QcowCase kCases[] = {
    {"a cluster inside the file", kCopied | kL2At, kCopied | kDataAt, ""},
    {"a cluster never written", kCopied | kL2At, 0, ""},
    {"a cluster past the end of the file", kCopied | kL2At, kCopied | (8 * kCluster), kClusterOut},
    {"a cluster that starts inside a cluster", kCopied | kL2At, kCopied | (kDataAt + kCluster / 2),
     kClusterOut},
    {"a compressed cluster inside the file", kCopied | kL2At, kCompressed | (kDataAt + 8), ""},
    {"a compressed cluster past the end", kCopied | kL2At, kCompressed | (kCluster * 64),
     kClusterOut},
    {"no second-level table", 0, 0, ""},
    {"a second-level table past the end", kCopied | (16 * kCluster), 0, kTableOut},
    {"a second-level table inside a cluster", kCopied | (kL2At + kCluster / 2), 0, kTableOut},
};

class QcowTablesTest : public testing::TestWithParam<QcowCase> {};

TEST_P(QcowTablesTest, RefusesEntriesLeadingOutOfTheFile) {
    const fs::path file =
        fs::temp_directory_path() / ("quillon-qcow-" + std::to_string(::getpid()) + ".qcow2");
    test::WriteBytes(file, Qcow2(GetParam().L1Entry, GetParam().L2Entry));
    EXPECT_EQ(QcowTablesRefusal(file.string()), GetParam().Refusal);
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(Qcow, QcowTablesTest, testing::ValuesIn(kCases));

} // namespace
} // namespace quillon
