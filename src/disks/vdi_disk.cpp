// Our own reader: Debian packages no library that reads VDI (libyal has none, and VirtualBox's
// own code is not a library), and the format is small: a header, a map of fixed-size blocks, the
// blocks. Every number of the header is checked against the file before it is used.
#include "disks/vdi_disk.h"

#include "files/byte_order.h"
#include "files/file_error.h"
#include "files/random_access_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace quillon {
namespace {

constexpr std::uint32_t kSignature = 0xBEDA107F;
constexpr std::uint32_t kVersion1_1 = 0x00010001;
constexpr std::size_t kHeaderSize = 512;
// Where the version 1.1 header keeps its fields.
constexpr std::size_t kSignatureAt = 0x40, kVersionAt = 0x44, kTypeAt = 0x4C, kMapAt = 0x154,
                      kDataAt = 0x158, kDiskSizeAt = 0x170, kBlockSizeAt = 0x178,
                      kBlockExtraAt = 0x17C, kBlocksAt = 0x180, kAllocatedAt = 0x184,
                      kIdentifierAt = 0x188, kParentIdentifierAt = 0x1A8;
constexpr std::uint32_t kTypeDynamic = 1, kTypeFixed = 2, kTypeDifferencing = 4;
// Map entries that hold no block: one read from the parent (or zeros), one known to be zeros.
constexpr std::uint32_t kBlockFree = 0xFFFFFFFF, kBlockZero = 0xFFFFFFFE;
// VirtualBox writes 1 MiB blocks; anything from a sector to 256 MiB is read. Maps of up to 16 M
// entries (64 MiB, 16 TiB of 1 MiB blocks) are read; a larger one is taken as damage.
constexpr std::uint32_t kSectorSize = 512, kLargestBlock = 256u << 20;
constexpr std::uint32_t kMostBlocks = 1u << 24;
// Snapshots over snapshots: VirtualBox keeps chains far shorter than this.
constexpr int kDeepestChain = 64;

using Identifier = std::array<unsigned char, 16>;

std::string IdentifierText(const Identifier& id) {
    // VirtualBox shows its identifiers with the first three fields little-endian.
    static constexpr int kOrder[] = {3,  2, 1, 0,  -1, 5,  4,  -1, 7,  6,
                                     -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "{";
    for (int index : kOrder) {
        if (index < 0) {
            text += '-';
        } else {
            text += kHex[id[index] >> 4];
            text += kHex[id[index] & 0xF];
        }
    }
    return text + "}";
}

class VdiDisk : public VirtualDisk {
  public:
    // nullptr with a French `error`; `depth` counts the snapshots above this one.
    static std::unique_ptr<VdiDisk> Open(const std::string& path, int depth, std::string& error);

    std::uint64_t Size() const override { return diskSize_; }
    std::int64_t Read(std::uint64_t offset, char* buffer, std::size_t length) override;

  private:
    explicit VdiDisk(const std::string& path) : file_(path), path_(path) {}
    bool ReadHeader(std::string& error);
    bool OpenParent(int depth, std::string& error);
    // Reads within one block; false when its bytes cannot be read.
    bool ReadInBlock(std::uint64_t offset, char* buffer, std::size_t length);

    RandomAccessFile file_;
    std::string path_;
    std::uint32_t type_ = 0;
    std::uint64_t diskSize_ = 0;
    std::uint64_t dataOffset_ = 0;
    std::uint32_t blockSize_ = 0;
    std::uint32_t blockExtra_ = 0;
    std::uint32_t allocated_ = 0;
    std::vector<std::uint32_t> map_;
    Identifier identifier_{};
    Identifier parentIdentifier_{};
    std::unique_ptr<VdiDisk> parent_;
};

bool VdiDisk::ReadHeader(std::string& error) {
    const std::string damaged = "Impossible de lire l'image disque « " + path_ +
                                " » : image VirtualBox (VDI) endommagée : ";
    unsigned char header[kHeaderSize];
    if (!file_.ReadAll(0, header, sizeof header) ||
        !IsVdiDisk({reinterpret_cast<char*>(header), sizeof header})) {
        error = damaged + "en-tête tronqué";
        return false;
    }
    if (Le32(header + kVersionAt) != kVersion1_1) {
        error = "Impossible de lire l'image disque « " + path_ +
                " » : image VirtualBox (VDI) d'une version d'en-tête non lue (seule la 1.1, "
                "celle de VirtualBox depuis sa version 1, est lue)";
        return false;
    }
    type_ = Le32(header + kTypeAt);
    if (type_ != kTypeDynamic && type_ != kTypeFixed && type_ != kTypeDifferencing) {
        error = "Impossible de lire l'image disque « " + path_ +
                " » : image VirtualBox (VDI) d'un type non lu (" + std::to_string(type_) + ")";
        return false;
    }
    const std::uint64_t mapOffset = Le32(header + kMapAt);
    dataOffset_ = Le32(header + kDataAt);
    diskSize_ = Le64(header + kDiskSizeAt);
    blockSize_ = Le32(header + kBlockSizeAt);
    blockExtra_ = Le32(header + kBlockExtraAt);
    const std::uint32_t blocks = Le32(header + kBlocksAt);
    allocated_ = Le32(header + kAllocatedAt);
    std::memcpy(identifier_.data(), header + kIdentifierAt, identifier_.size());
    std::memcpy(parentIdentifier_.data(), header + kParentIdentifierAt, parentIdentifier_.size());
    if (blockSize_ < kSectorSize || blockSize_ > kLargestBlock || blockSize_ % kSectorSize != 0 ||
        blockExtra_ > kLargestBlock || blocks > kMostBlocks || allocated_ > blocks ||
        diskSize_ > static_cast<std::uint64_t>(blocks) * blockSize_ || mapOffset < kHeaderSize ||
        mapOffset + static_cast<std::uint64_t>(blocks) * 4 > file_.Size()) {
        error = damaged + "en-tête incohérent";
        return false;
    }
    std::vector<unsigned char> map(static_cast<std::size_t>(blocks) * 4);
    if (!file_.ReadAll(mapOffset, map.data(), map.size())) {
        error = damaged + "table des blocs tronquée";
        return false;
    }
    map_.resize(blocks);
    std::uint64_t blocksStored = 0;
    for (std::uint32_t i = 0; i < blocks; ++i) {
        map_[i] = Le32(map.data() + static_cast<std::size_t>(i) * 4);
        if (map_[i] < allocated_) {
            blocksStored = std::max<std::uint64_t>(blocksStored, map_[i] + 1ull);
        }
    }
    // A copy cut short would read as a disk whose last blocks are missing.
    if (dataOffset_ + blocksStored * (blockSize_ + blockExtra_) > file_.Size()) {
        error = damaged + "fichier tronqué (ses derniers blocs manquent)";
        return false;
    }
    return true;
}

// The .vdi files of a folder, but `self`.
std::vector<std::filesystem::path> VdiFilesIn(const std::filesystem::path& folder,
                                              const std::filesystem::path& self) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string extension = it->path().extension().string();
        for (char& c : extension) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        std::error_code same;
        if (extension == ".vdi" && !std::filesystem::equivalent(it->path(), self, same)) {
            found.push_back(it->path());
        }
    }
    return found;
}

bool VdiDisk::OpenParent(int depth, std::string& error) {
    if (depth >= kDeepestChain) {
        error = "Impossible de lire l'image disque « " + path_ +
                " » : chaîne d'instantanés VirtualBox trop longue ou qui boucle";
        return false;
    }
    // VirtualBox keeps a snapshot in the machine's Snapshots folder, named by its own
    // identifier, and the disk it is made on in that folder or the machine's folder above.
    const std::filesystem::path self = std::filesystem::absolute(path_);
    const std::filesystem::path here = self.parent_path();
    for (const std::filesystem::path& folder : {here, here.parent_path()}) {
        for (const std::filesystem::path& candidate : VdiFilesIn(folder, self)) {
            RandomAccessFile file(candidate.string());
            unsigned char header[kHeaderSize];
            if (!file.IsOpen() || !file.ReadAll(0, header, sizeof header) ||
                !IsVdiDisk({reinterpret_cast<char*>(header), sizeof header}) ||
                std::memcmp(header + kIdentifierAt, parentIdentifier_.data(),
                            parentIdentifier_.size()) != 0) {
                continue;
            }
            parent_ = Open(candidate.string(), depth + 1, error);
            if (parent_ != nullptr && parent_->diskSize_ != diskSize_) {
                error = "Impossible de lire l'image disque « " + path_ +
                        " » : son disque parent « " + candidate.string() +
                        " » n'a pas la même taille : ce n'est pas le disque "
                        "sur lequel l'instantané a été pris";
                parent_.reset();
            }
            return parent_ != nullptr;
        }
    }
    error = "Impossible de lire l'image disque « " + path_ +
            " » : instantané VirtualBox dont le disque parent, identifié " +
            IdentifierText(parentIdentifier_) + ", est introuvable (cherché parmi les .vdi de « " +
            here.string() + " » et de « " + here.parent_path().string() + " »)";
    return false;
}

std::unique_ptr<VdiDisk> VdiDisk::Open(const std::string& path, int depth, std::string& error) {
    std::unique_ptr<VdiDisk> disk(new VdiDisk(path));
    if (!disk->file_.IsOpen()) {
        error = "Impossible de lire l'image disque « " + path +
                " » : " + FileError{path, disk->file_.OpenErrno()}.Reason();
        return nullptr;
    }
    if (!disk->ReadHeader(error) ||
        (disk->type_ == kTypeDifferencing && !disk->OpenParent(depth, error))) {
        return nullptr;
    }
    return disk;
}

bool VdiDisk::ReadInBlock(std::uint64_t offset, char* buffer, std::size_t length) {
    const std::uint64_t block = offset / blockSize_;
    const std::uint32_t entry = map_[static_cast<std::size_t>(block)];
    if (entry == kBlockFree && parent_ != nullptr) {
        return parent_->Read(offset, buffer, length) == static_cast<std::int64_t>(length);
    }
    if (entry == kBlockFree || entry == kBlockZero) {
        std::memset(buffer, 0, length);
        return true;
    }
    if (entry >= allocated_) {
        return false;
    }
    const std::uint64_t at = dataOffset_ +
                             static_cast<std::uint64_t>(entry) * (blockSize_ + blockExtra_) +
                             blockExtra_ + offset % blockSize_;
    return file_.ReadAll(at, buffer, length);
}

std::int64_t VdiDisk::Read(std::uint64_t offset, char* buffer, std::size_t length) {
    return ReadBlockByBlock(offset, buffer, length, diskSize_, blockSize_,
                            [this](std::uint64_t at, char* into, std::size_t count) {
                                return ReadInBlock(at, into, count);
                            });
}

} // namespace

bool IsVdiDisk(std::string_view head) {
    return head.size() >= kSignatureAt + 4 &&
           Le32(reinterpret_cast<const unsigned char*>(head.data()) + kSignatureAt) == kSignature;
}

std::unique_ptr<VirtualDisk> OpenVdiDisk(const std::string& path, std::string& error) {
    return VdiDisk::Open(path, 0, error);
}

} // namespace quillon
