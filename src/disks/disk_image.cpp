#include "disks/disk_image.h"

#include "disks/image_libraries.h"
#include "disks/open_virtual_disk.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace quillon {
namespace {

constexpr unsigned kSectorSize = 512;

// The Sleuth Kit's last error, for a message (it speaks English; the message says what failed).
std::string LastTskError() {
    const char* text = LibTsk().tsk_error_get();
    std::string reason = text != nullptr ? text : "";
    LibTsk().tsk_error_reset();
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason.empty() ? "" : " (" + reason + ")";
}

// True for an EnCase image that libewf cannot open whole: one of its segment files is missing
// or damaged, which The Sleuth Kit would read as zeros without a word, or its headers are, on
// which The Sleuth Kit loses the libewf handle it made. Asked before it opens the image.
bool EwfUnreadable(const std::string& path) {
    if (LibEwf().libewf_check_file_signature(path.c_str(), nullptr) != 1) {
        return false;
    }
    char** names = nullptr;
    int count = 0;
    if (LibEwf().libewf_glob(path.c_str(), path.size(), LIBEWF_FORMAT_UNKNOWN, &names, &count,
                             nullptr) != 1) {
        return true;
    }
    libewf_handle_t* handle = nullptr;
    bool missing = true;
    if (LibEwf().libewf_handle_initialize(&handle, nullptr) == 1) {
        missing =
            LibEwf().libewf_handle_open(handle, names, count, LIBEWF_OPEN_READ, nullptr) != 1 ||
            LibEwf().libewf_handle_segment_files_corrupted(handle, nullptr) != 0;
        LibEwf().libewf_handle_close(handle, nullptr);
        LibEwf().libewf_handle_free(&handle, nullptr);
    }
    LibEwf().libewf_glob_free(names, count, nullptr);
    return missing;
}

// A virtual disk handed to The Sleuth Kit as an image of its own kind: the structure it knows,
// followed by the disk it reads through.
struct ExternalImage {
    TSK_IMG_INFO Info;
    VirtualDisk* Disk;
};

ssize_t ReadExternal(TSK_IMG_INFO* image, TSK_OFF_T offset, char* buffer, size_t length) {
    if (offset < 0) {
        return -1;
    }
    return static_cast<ssize_t>(reinterpret_cast<ExternalImage*>(image)->Disk->ReadNotingFailure(
        static_cast<std::uint64_t>(offset), buffer, length));
}

void CloseExternal(TSK_IMG_INFO* image) {
    delete reinterpret_cast<ExternalImage*>(image)->Disk;
    LibTsk().tsk_img_free(image);
}

void DescribeExternal(TSK_IMG_INFO*, FILE*) {}

// The Sleuth Kit's image over `disk`, which it owns from then on; nullptr when it refuses it.
TSK_IMG_INFO* ExternalTskImage(std::unique_ptr<VirtualDisk> disk) {
    auto* image = static_cast<ExternalImage*>(LibTsk().tsk_img_malloc(sizeof(ExternalImage)));
    if (image == nullptr) {
        return nullptr;
    }
    const auto size = static_cast<TSK_OFF_T>(disk->Size());
    image->Disk = disk.release();
    TSK_IMG_INFO* opened = LibTsk().tsk_img_open_external(image, size, kSectorSize, ReadExternal,
                                                          CloseExternal, DescribeExternal);
    if (opened == nullptr) {
        CloseExternal(&image->Info);
    }
    return opened;
}

// The files of one file system of an image.
class ImageTree : public FileTree {
  public:
    ImageTree(TSK_FS_INFO* fs, std::string shown, std::shared_ptr<const DiskImage> image)
        : fs_(fs), shown_(std::move(shown)), image_(std::move(image)) {}
    ImageTree(const ImageTree&) = delete;
    ImageTree& operator=(const ImageTree&) = delete;

    std::vector<Entry> List(const std::string& folder) const override {
        std::vector<Entry> entries;
        // Found by path, then opened by number: tsk_fs_dir_open loses memory when a damaged
        // folder cannot be opened.
        TSK_INUM_T number = 0;
        TSK_FS_DIR* dir =
            LibTsk().tsk_fs_path2inum(fs_, ("/" + folder).c_str(), &number, nullptr) == 0
                ? LibTsk().tsk_fs_dir_open_meta(fs_, number)
                : nullptr;
        if (dir == nullptr) {
            LibTsk().tsk_error_reset();
            return entries;
        }
        for (std::size_t i = 0; i < LibTsk().tsk_fs_dir_getsize(dir); ++i) {
            TSK_FS_FILE* file = LibTsk().tsk_fs_dir_get(dir, i);
            if (file == nullptr) {
                continue;
            }
            const TSK_FS_NAME* name = file->name;
            const std::string text = name != nullptr && name->name != nullptr ? name->name : "";
            // Deleted entries are not the installation's; "." and ".." are not entries.
            if (!text.empty() && text != "." && text != ".." &&
                (name->flags & TSK_FS_NAME_FLAG_ALLOC) != 0) {
                entries.push_back(EntryOf(text, *file));
            }
            LibTsk().tsk_fs_file_close(file);
        }
        LibTsk().tsk_fs_dir_close(dir);
        return entries;
    }

    // An entry as the rest of the program sees it: a folder, a regular file, or one refused (a
    // name that could not be used here, a link, a device or a FIFO, which are never read).
    static Entry EntryOf(const std::string& name, const TSK_FS_FILE& file) {
        Entry entry{name};
        entry.Refused = RefusalOfName(name);
        const TSK_FS_NAME_TYPE_ENUM type = file.name->type;
        const bool regular = type == TSK_FS_NAME_TYPE_REG || type == TSK_FS_NAME_TYPE_UNDEF;
        if (entry.Refused == Refusal::None && type == TSK_FS_NAME_TYPE_LNK) {
            entry.Refused = Refusal::LinkOutside;
        } else if (entry.Refused == Refusal::None && type != TSK_FS_NAME_TYPE_DIR && !regular) {
            entry.Refused = Refusal::Special;
        }
        entry.Folder = entry.Refused == Refusal::None && type == TSK_FS_NAME_TYPE_DIR;
        const TSK_OFF_T size = file.meta != nullptr ? file.meta->size : 0;
        entry.Size = entry.Folder || size < 0 ? 0 : static_cast<std::uint64_t>(size);
        return entry;
    }

    bool Read(const std::string& path, std::string& bytes, FileError& error) const override {
        bytes.clear();
        return ReadOpened(path, error, [&](TSK_FS_FILE* file, TSK_OFF_T size) {
            bytes.assign(static_cast<std::size_t>(size), '\0');
            return ReadSpan(file, 0, bytes.data(), bytes.size());
        });
    }

    bool ReadInPieces(const std::string& path, std::size_t pieceSize,
                      const std::function<bool(std::string_view)>& piece,
                      FileError& error) const override {
        return ReadOpened(path, error, [&](TSK_FS_FILE* file, TSK_OFF_T size) {
            std::string buffer(std::min<std::uint64_t>(pieceSize, size), '\0');
            for (TSK_OFF_T done = 0; done < size;) {
                const std::size_t count =
                    std::min<std::uint64_t>(buffer.size(), static_cast<std::uint64_t>(size - done));
                if (!ReadSpan(file, done, buffer.data(), count)) {
                    return false;
                }
                if (!piece(std::string_view(buffer.data(), count))) {
                    return true;
                }
                done += static_cast<TSK_OFF_T>(count);
            }
            return true;
        });
    }

    std::optional<std::string> LocalPath(const std::string&) const override { return std::nullopt; }

    std::string Shown(const std::string& file) const override {
        return file.empty() ? shown_ : shown_ + " : /" + file;
    }

  private:
    // Opens `path` and hands it with its size to `readFile`; false with `error` set when the
    // file cannot be opened, claims an impossible size, or `readFile` fails.
    bool ReadOpened(const std::string& path, FileError& error,
                    const std::function<bool(TSK_FS_FILE*, TSK_OFF_T)>& readFile) const {
        error = {Shown(path), EIO};
        TSK_FS_FILE* file = LibTsk().tsk_fs_file_open(fs_, nullptr, ("/" + path).c_str());
        if (file == nullptr || file->meta == nullptr) {
            if (file != nullptr) {
                LibTsk().tsk_fs_file_close(file);
            }
            LibTsk().tsk_error_reset();
            error.Errno = ENOENT;
            return false;
        }
        const TSK_OFF_T size = file->meta->size;
        // A damaged entry may claim any size: no file holds more than its whole file system,
        // and nothing is set aside for one that claims to.
        if (size < 0 || static_cast<std::uint64_t>(size) > fs_->block_count * fs_->block_size) {
            LibTsk().tsk_fs_file_close(file);
            error.Errno = EFBIG;
            return false;
        }
        const bool read = readFile(file, size);
        LibTsk().tsk_fs_file_close(file);
        LibTsk().tsk_error_reset();
        return read;
    }

    // Reads `count` bytes at `offset` of an open file into `into`.
    static bool ReadSpan(TSK_FS_FILE* file, TSK_OFF_T offset, char* into, std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got =
                LibTsk().tsk_fs_file_read(file, offset + static_cast<TSK_OFF_T>(done), into + done,
                                          count - done, TSK_FS_FILE_READ_FLAG_NONE);
            if (got <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

    TSK_FS_INFO* fs_; // the image's, closed with it
    std::string shown_;
    std::shared_ptr<const DiskImage> image_; // the file system reads through it
};

} // namespace

std::shared_ptr<DiskImage> DiskImage::Open(const std::string& path, std::string& error) {
    // A virtual disk's own library first, which a message then names when it is missing.
    std::unique_ptr<VirtualDisk> virtualDisk = OpenVirtualDisk(path, error);
    if (virtualDisk == nullptr && !error.empty()) {
        return nullptr;
    }
    if (std::string missing = MissingLibrary<EwfLibrary, TskLibrary>(); !missing.empty()) {
        error = "Impossible de lire l'image disque « " + path + " » : " + missing;
        return nullptr;
    }
    // The type is told here rather than by The Sleuth Kit's detection, whose probes for formats
    // it reads itself (VHD, VMDK) leak what they allocate.
    const bool ewf =
        virtualDisk == nullptr && LibEwf().libewf_check_file_signature(path.c_str(), nullptr) == 1;
    if (ewf && EwfUnreadable(path)) {
        error = "Impossible de lire l'image disque « " + path +
                " » : image EnCase incomplète ou endommagée (un segment .E02, .E03 ... manque, "
                "est tronqué ou endommagé)";
        return nullptr;
    }
    std::vector<std::string> warnings =
        virtualDisk != nullptr ? virtualDisk->Warnings() : std::vector<std::string>{};
    const VirtualDisk* readThrough = virtualDisk.get();
    TSK_IMG_INFO* image = virtualDisk != nullptr
                              ? ExternalTskImage(std::move(virtualDisk))
                              : LibTsk().tsk_img_open_utf8_sing(
                                    path.c_str(), ewf ? TSK_IMG_TYPE_EWF_EWF : TSK_IMG_TYPE_RAW, 0);
    if (image == nullptr) {
        error = "Impossible de lire l'image disque « " + path +
                " » : fichier absent, illisible ou d'un format inconnu (" + kImageFormats + ")" +
                LastTskError();
        return nullptr;
    }
    std::shared_ptr<DiskImage> disk(new DiskImage(path, image));
    disk->warnings_ = std::move(warnings);
    disk->virtualDisk_ = readThrough;
    disk->FindVolumes();
    return disk;
}

DiskImage::~DiskImage() {
    for (const auto& [offset, fs] : fileSystems_) {
        LibTsk().tsk_fs_close(fs);
    }
    LibTsk().tsk_img_close(image_);
}

void DiskImage::FindVolumes() {
    // GPT first, then MBR, rather than The Sleuth Kit's detection, which on a GPT disk also
    // reads the protective MBR as a table and leaks it.
    TSK_VS_INFO* table = LibTsk().tsk_vs_open(image_, 0, TSK_VS_TYPE_GPT);
    if (table == nullptr) {
        LibTsk().tsk_error_reset();
        table = LibTsk().tsk_vs_open(image_, 0, TSK_VS_TYPE_DOS);
    }
    if (table == nullptr) {
        tableError_ = LastTskError();
        volumes_.push_back({0, 0, static_cast<std::uint64_t>(image_->size)});
        return;
    }
    int number = 0;
    for (TSK_PNUM_T i = 0; i < table->part_count; ++i) {
        const TSK_VS_PART_INFO* part = LibTsk().tsk_vs_part_get(table, i);
        if (part != nullptr && (part->flags & TSK_VS_PART_FLAG_ALLOC) != 0) {
            volumes_.push_back({++number,
                                static_cast<std::uint64_t>(part->start) * table->block_size,
                                static_cast<std::uint64_t>(part->len) * table->block_size});
        }
    }
    LibTsk().tsk_vs_close(table);
}

std::unique_ptr<FileTree> DiskImage::OpenFileSystem(const Volume& volume, std::string& error) {
    if (const auto opened = fileSystems_.find(volume.Offset); opened != fileSystems_.end()) {
        return std::make_unique<ImageTree>(opened->second, Shown(volume), shared_from_this());
    }
    if (volume.Offset + volume.Length > static_cast<std::uint64_t>(image_->size)) {
        error = Shown(volume) + " : la partition dépasse la fin de l'image (image tronquée)";
        return nullptr;
    }
    char boot[16] = {};
    if (LibTsk().tsk_img_read(image_, static_cast<TSK_OFF_T>(volume.Offset), boot, sizeof boot) ==
            sizeof boot &&
        std::string_view(boot + 3, 8) == "-FVE-FS-") {
        error = Shown(volume) + " : volume chiffré par BitLocker, illisible sans être déchiffré";
        return nullptr;
    }
    TSK_FS_INFO* fs =
        LibTsk().tsk_fs_open_img(image_, static_cast<TSK_OFF_T>(volume.Offset), TSK_FS_TYPE_DETECT);
    if (fs == nullptr) {
        const std::string failure = ReadFailure();
        error = volume.Number != 0
                    ? Shown(volume) + " : pas de système de fichiers lisible (NTFS, FAT ...)" +
                          LastTskError()
                    : path_ + " : ni table de partitions lisible (MBR, GPT)" + tableError_ +
                          " ni système de fichiers lisible (NTFS, FAT ...)" + LastTskError() +
                          (failure.empty()
                               ? " : image tronquée, endommagée, chiffrée ou d'un autre format"
                               : failure);
        return nullptr;
    }
    fileSystems_.emplace(volume.Offset, fs);
    return std::make_unique<ImageTree>(fs, Shown(volume), shared_from_this());
}

std::string DiskImage::ReadFailure() const {
    return virtualDisk_ != nullptr && virtualDisk_->ReadFailed()
               ? " ; des blocs du disque virtuel sont hors de son fichier ou illisibles : image "
                 "tronquée ou endommagée"
               : "";
}

std::string DiskImage::Shown(const Volume& volume) const {
    return volume.Number == 0 ? path_ : path_ + ", partition " + std::to_string(volume.Number);
}

} // namespace quillon
