// Our own check, before the library reads: the header's numbers in the ranges QEMU writes, and
// every entry of the two levels of cluster tables inside the file. What is checked is taken from
// QEMU's public description of the formats; nothing else of the image is read.
#include "disks/qcow_tables.h"

#include "files/byte_order.h"
#include "files/random_access_file.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {
namespace {

// Version 2 and 3 headers.
constexpr std::size_t kHeaderSize = 72, kClusterBitsAt = 20, kSizeAt = 24, kL1SizeAt = 36,
                      kL1OffsetAt = 40, kIncompatibleAt = 72;
constexpr std::size_t kVersion3HeaderSize = 104;
// Version 1 header.
constexpr std::size_t kV1HeaderSize = 48, kV1SizeAt = 24, kV1ClusterBitsAt = 32, kV1L2BitsAt = 33,
                      kV1L1OffsetAt = 40;
// The cluster sizes QEMU writes: 512 bytes to 2 MiB (64 KiB for version 1).
constexpr unsigned kSmallestClusterBits = 9, kLargestClusterBits = 21, kLargestV1ClusterBits = 16;
// Disks of up to 64 TiB; their first-level table then holds a few thousand entries.
constexpr std::uint64_t kLargestDisk = std::uint64_t{1} << 46;
constexpr std::uint64_t kEntrySize = 8;
// Table entries: where the cluster or table is (version 2 and 3), and the kind of entry.
constexpr std::uint64_t kOffsetMask = 0x00FFFFFFFFFFFE00ull;
constexpr std::uint64_t kCompressedV2 = std::uint64_t{1} << 62;
constexpr std::uint64_t kCompressedV1 = std::uint64_t{1} << 63;
// Version 3 features the library does not read: data in another file, another compression,
// extended second-level entries.
constexpr std::uint64_t kUnreadFeatures = ~std::uint64_t{0x3};

// The image's bytes, all of those asked for or none.
class Image {
  public:
    explicit Image(const std::string& path) : file_(path) {}

    std::uint64_t Size() const { return file_.Size(); }
    std::optional<std::vector<unsigned char>> Bytes(std::uint64_t offset,
                                                    std::uint64_t length) const {
        if (!file_.IsOpen() || offset > Size() || length > Size() - offset) {
            return std::nullopt;
        }
        std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
        if (!file_.ReadAll(offset, bytes.data(), bytes.size())) {
            return std::nullopt;
        }
        return bytes;
    }

  private:
    RandomAccessFile file_;
};

struct Layout {
    unsigned Version = 0;
    unsigned ClusterBits = 0;
    unsigned L2Bits = 0; // entries per second-level table, as a power of two
    std::uint64_t L1Entries = 0;
    std::uint64_t L1Offset = 0;
    std::uint64_t DiskSize = 0;

    bool TooLarge() const { return DiskSize > kLargestDisk; }
    std::uint64_t ClusterSize() const { return std::uint64_t{1} << ClusterBits; }
    std::uint64_t L2Size() const { return (std::uint64_t{1} << L2Bits) * kEntrySize; }
};

std::string ReadLayout(const Image& image, Layout& layout) {
    const auto header = image.Bytes(0, kV1HeaderSize);
    if (!header) {
        return "en-tête tronqué";
    }
    layout.Version = static_cast<unsigned>(Be32(header->data() + 4));
    std::uint64_t diskSize = 0;
    if (layout.Version == 1) {
        diskSize = Be64(header->data() + kV1SizeAt);
        layout.ClusterBits = (*header)[kV1ClusterBitsAt];
        layout.L2Bits = (*header)[kV1L2BitsAt];
        layout.L1Offset = Be64(header->data() + kV1L1OffsetAt);
        if (layout.ClusterBits < kSmallestClusterBits ||
            layout.ClusterBits > kLargestV1ClusterBits || layout.L2Bits < 1 ||
            layout.L2Bits > layout.ClusterBits - 3) {
            return "taille de cluster incohérente";
        }
    } else if (layout.Version == 2 || layout.Version == 3) {
        const auto full = image.Bytes(0, layout.Version == 3 ? kVersion3HeaderSize : kHeaderSize);
        if (!full) {
            return "en-tête tronqué";
        }
        diskSize = Be64(full->data() + kSizeAt);
        layout.ClusterBits = static_cast<unsigned>(Be32(full->data() + kClusterBitsAt));
        layout.L1Offset = Be64(full->data() + kL1OffsetAt);
        if (layout.ClusterBits < kSmallestClusterBits || layout.ClusterBits > kLargestClusterBits) {
            return "taille de cluster incohérente";
        }
        layout.L2Bits = layout.ClusterBits - 3;
        if (layout.Version == 3 && (Be64(full->data() + kIncompatibleAt) & kUnreadFeatures)) {
            return "fonctions de la version 3 non lues (données dans un autre fichier, autre "
                   "compression ou entrées étendues)";
        }
        if (layout.L1Offset % layout.ClusterSize() != 0) {
            return "table de premier niveau mal alignée";
        }
        const std::uint64_t l1Size = Be32(full->data() + kL1SizeAt);
        const std::uint64_t covered = layout.ClusterSize() << layout.L2Bits;
        if (diskSize > kLargestDisk) {
            layout.DiskSize = diskSize;
            return "";
        }
        if (l1Size < (diskSize + covered - 1) / covered) {
            return "table de premier niveau trop courte pour la taille du disque";
        }
    } else {
        return "version " + std::to_string(layout.Version) + " non lue";
    }
    layout.DiskSize = diskSize;
    if (layout.TooLarge()) {
        return "";
    }
    const std::uint64_t covered = layout.ClusterSize() << layout.L2Bits;
    layout.L1Entries = (diskSize + covered - 1) / covered;
    return "";
}

// Whether a second-level entry points to a cluster in the file (else the disk reads zeros there,
// or its parent's bytes).
bool HoldsCluster(const Layout& layout, std::uint64_t entry) {
    return layout.Version == 1 ? entry != 0 : (entry & (kOffsetMask | kCompressedV2)) != 0;
}

// Where a second-level entry's data lies in the file, and whether that is inside it.
bool ClusterInside(const Layout& layout, std::uint64_t entry, std::uint64_t fileSize) {
    std::uint64_t offset = 0;
    if (layout.Version == 1) {
        offset = (entry & kCompressedV1) != 0
                     ? entry & ((std::uint64_t{1} << (63 - layout.ClusterBits)) - 1)
                     : entry;
    } else if ((entry & kCompressedV2) != 0) {
        const unsigned offsetBits = 62 - (layout.ClusterBits - 8);
        offset = entry & ((std::uint64_t{1} << offsetBits) - 1);
    } else {
        offset = entry & kOffsetMask;
        if (offset % layout.ClusterSize() != 0) {
            return false;
        }
    }
    return offset < fileSize;
}

} // namespace

std::string QcowTablesRefusal(const std::string& path) {
    const Image image(path);
    Layout layout;
    std::string wrong = ReadLayout(image, layout);
    const auto refusal = [](const std::string& what) {
        return "image QEMU (QCOW) endommagée : " + what;
    };
    if (!wrong.empty()) {
        return refusal(wrong);
    }
    // A disk this large is no old Windows machine's, and its tables would not fit in memory.
    if (layout.TooLarge()) {
        constexpr unsigned kTebibyteBits = 40;
        return "image QEMU (QCOW) d'un disque de " +
               std::to_string(layout.DiskSize >> kTebibyteBits) +
               " Tio, trop grand pour être lu (" + std::to_string(kLargestDisk >> kTebibyteBits) +
               " Tio au plus)";
    }
    const auto l1 = image.Bytes(layout.L1Offset, layout.L1Entries * kEntrySize);
    if (!l1) {
        return refusal("table de premier niveau hors du fichier");
    }
    const std::uint64_t tableMask = layout.Version == 1 ? ~std::uint64_t{0} : kOffsetMask;
    for (std::uint64_t i = 0; i < layout.L1Entries; ++i) {
        const std::uint64_t table = Be64(l1->data() + i * kEntrySize) & tableMask;
        if (table == 0) {
            continue;
        }
        const auto l2 = image.Bytes(table, layout.L2Size());
        if (!l2 || (layout.Version != 1 && table % layout.ClusterSize() != 0)) {
            return refusal("table de second niveau hors du fichier ou mal alignée");
        }
        for (std::size_t at = 0; at < l2->size(); at += kEntrySize) {
            const std::uint64_t entry = Be64(l2->data() + at);
            if (HoldsCluster(layout, entry) && !ClusterInside(layout, entry, image.Size())) {
                return refusal("cluster hors du fichier");
            }
        }
    }
    return "";
}

} // namespace quillon
