#include "disks/open_virtual_disk.h"

#include "disks/file_tree.h"
#include "disks/image_libraries.h"
#include "disks/qcow_tables.h"
#include "disks/vdi_disk.h"
#include "disks/vhd_blocks.h"
#include "files/random_access_file.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <list>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace quillon {
namespace {

// The folder `path` is in, "." for a bare name.
std::filesystem::path FolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Snapshots over snapshots: real chains are far shorter than this; a longer one loops.
constexpr int kDeepestChain = 64;
// The bytes that tell the kinds apart: a header at the start, and VHD's footer at the end.
constexpr std::size_t kHeadSize = 1024, kVhdFooterSize = 512;
// A sparse VMDK extent starts so, its descriptor inside it when it is the whole disk.
constexpr std::string_view kSparseVmdk = "KDMV";

// Up to `length` bytes of `file` at `offset`, fewer at its end.
std::string BytesAt(const RandomAccessFile& file, std::uint64_t offset, std::size_t length) {
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(
                          length, file.Size() - std::min(file.Size(), offset))),
                      '\0');
    return file.ReadAll(offset, bytes.data(), bytes.size()) ? bytes : std::string();
}

std::string Unreadable(const std::string& path) {
    return "Impossible de lire l'image disque « " + path + " » : ";
}

// A libyal library's reason, first line only (the innermost call), for messages.
template <class Error, class Print, class Free>
std::string LibraryReason(Error*& error, Print print, Free free) {
    if (error == nullptr) {
        return "";
    }
    std::array<char, 512> text{};
    print(error, text.data(), text.size());
    free(&error);
    std::string reason(text.data());
    reason = reason.substr(0, reason.find('\n'));
    return reason.empty() ? "" : " (" + reason + ")";
}

// A UTF-8 name that a libyal library gives in two calls (its size with the terminating zero,
// then the name); nullopt when there is none.
template <class Disk, class SizeOf, class Get>
std::optional<std::string> LibraryName(Disk* disk, SizeOf sizeOf, Get get) {
    size_t size = 0;
    if (sizeOf(disk, &size, nullptr) != 1 || size <= 1) {
        return std::nullopt;
    }
    std::vector<uint8_t> name(size);
    if (get(disk, name.data(), size, nullptr) != 1) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(name.data()));
}

// A QCOW file as libqcow reads it, followed by zeros. Debian's libqcow copies a whole
// cluster out of a buffer it sized to what is left of a file cut short, reading past that buffer
// (found by fuzzing); with zeros after the end, what it reads there is zeros. No real image holds
// anything a cluster past its end, so nothing else reads differently.
class PaddedFile {
  public:
    // The largest cluster of the formats read (QCOW2's 2 MiB), and a sector more.
    static constexpr std::uint64_t kPadding = (std::uint64_t{2} << 20) + 512;

    // A libbfio handle over the file at `path`, which the library opens and closes; nullptr when
    // it cannot be made.
    static libbfio_handle_t* Handle(const std::string& path) {
        auto* file = new PaddedFile(path);
        libbfio_handle_t* handle = nullptr;
        if (LibBfio().libbfio_handle_initialize(
                &handle, reinterpret_cast<intptr_t*>(file), Free, Clone, Open, Close, Read, Write,
                Seek, Exists, IsOpen, Size,
                LIBBFIO_FLAG_IO_HANDLE_MANAGED | LIBBFIO_FLAG_IO_HANDLE_CLONE_BY_FUNCTION,
                nullptr) != 1) {
            delete file;
            return nullptr;
        }
        return handle;
    }

  private:
    explicit PaddedFile(std::string path) : path_(std::move(path)) {}

    static PaddedFile& Of(intptr_t* handle) { return *reinterpret_cast<PaddedFile*>(handle); }
    std::uint64_t FileSize() const { return file_ ? file_->Size() : 0; }

    static int Free(intptr_t** handle, libbfio_error_t**) {
        delete reinterpret_cast<PaddedFile*>(*handle);
        *handle = nullptr;
        return 1;
    }
    static int Clone(intptr_t** copy, intptr_t* handle, libbfio_error_t**) {
        *copy = reinterpret_cast<intptr_t*>(new PaddedFile(Of(handle).path_));
        return 1;
    }
    static int Open(intptr_t* handle, int, libbfio_error_t**) {
        PaddedFile& file = Of(handle);
        file.file_ = std::make_unique<RandomAccessFile>(file.path_);
        file.offset_ = 0;
        if (!file.file_->IsOpen()) {
            file.file_.reset();
            return -1;
        }
        return 1;
    }
    static int Close(intptr_t* handle, libbfio_error_t**) {
        Of(handle).file_.reset();
        return 0;
    }
    static ssize_t Read(intptr_t* handle, uint8_t* buffer, size_t length, libbfio_error_t**) {
        PaddedFile& file = Of(handle);
        const std::uint64_t end = file.FileSize() + kPadding;
        length =
            static_cast<size_t>(std::min<std::uint64_t>(length, end - std::min(end, file.offset_)));
        const size_t inFile = static_cast<size_t>(std::min<std::uint64_t>(
            length, file.FileSize() - std::min(file.FileSize(), file.offset_)));
        if (inFile > 0 && !file.file_->ReadAll(file.offset_, buffer, inFile)) {
            return -1;
        }
        std::memset(buffer + inFile, 0, length - inFile);
        file.offset_ += length;
        return static_cast<ssize_t>(length);
    }
    static ssize_t Write(intptr_t*, const uint8_t*, size_t, libbfio_error_t**) { return -1; }
    static off64_t Seek(intptr_t* handle, off64_t offset, int whence, libbfio_error_t**) {
        PaddedFile& file = Of(handle);
        const off64_t base = whence == SEEK_CUR   ? static_cast<off64_t>(file.offset_)
                             : whence == SEEK_END ? static_cast<off64_t>(file.FileSize() + kPadding)
                                                  : 0;
        if (base + offset < 0) {
            return -1;
        }
        file.offset_ = static_cast<std::uint64_t>(base + offset);
        return static_cast<off64_t>(file.offset_);
    }
    static int Exists(intptr_t* handle, libbfio_error_t**) {
        return ::access(Of(handle).path_.c_str(), R_OK) == 0 ? 1 : 0;
    }
    static int IsOpen(intptr_t* handle, libbfio_error_t**) { return Of(handle).file_ ? 1 : 0; }
    static int Size(intptr_t* handle, size64_t* size, libbfio_error_t**) {
        *size = Of(handle).FileSize() + kPadding;
        return 1;
    }

    std::string path_;
    std::unique_ptr<RandomAccessFile> file_; // while the library has it open
    std::uint64_t offset_ = 0;
};

// What a libyal library offers for one kind of virtual disk, each in its own words.
// What a library's disk says by default: it is read as it is, and may be any snapshot's parent.
struct ReadAsItIs {
    template <class Handle> static std::string Warning(Handle*, const std::string&) { return ""; }
    template <class Handle> static std::string RefusalAsParent(Handle*, const std::string&) {
        return "";
    }
};

struct Vmdk : ReadAsItIs {
    // The library's handle, and the extent it reads through when the disk is one sparse file
    // holding its own descriptor.
    struct Handle {
        libvmdk_handle_t* Disk = nullptr;
        libbfio_pool_t* Extents = nullptr;
    };
    using Error = libvmdk_error_t;
    static constexpr const char* kKind = "VMware (VMDK)";
    static std::string MissingLibraries() { return MissingLibrary<VmdkLibrary, BfioLibrary>(); }

    static std::string RefusalBeforeOpening(const std::string&) { return ""; }

    static Handle* Open(const std::string& path, std::string& reason) {
        Error* error = nullptr;
        auto handle = std::make_unique<Handle>();
        if (LibVmdk().libvmdk_handle_initialize(&handle->Disk, &error) == 1) {
            if (LibVmdk().libvmdk_handle_open(handle->Disk, path.c_str(), LIBVMDK_OPEN_READ,
                                              &error) == 1) {
                if (OpenExtents(*handle, path, &error, reason)) {
                    return handle.release();
                }
                LibVmdk().libvmdk_handle_close(handle->Disk, nullptr);
            }
            LibVmdk().libvmdk_handle_free(&handle->Disk, nullptr);
        }
        if (handle->Extents != nullptr) {
            LibBfio().libbfio_pool_free(&handle->Extents, nullptr);
        }
        if (reason.empty()) {
            reason =
                LibraryReason(error, LibVmdk().libvmdk_error_sprint, LibVmdk().libvmdk_error_free);
        } else if (error != nullptr) {
            LibVmdk().libvmdk_error_free(&error);
        }
        return nullptr;
    }
    // A sparse file with its descriptor inside names itself as its one extent, by the name it
    // had when it was made: read it as itself, so that a renamed disk still reads. Any other
    // disk's extents are found by the names its descriptor gives, beside it.
    static bool OpenExtents(Handle& handle, const std::string& path, Error** error,
                            std::string& reason) {
        int extents = 0;
        if (LibVmdk().libvmdk_handle_get_number_of_extents(handle.Disk, &extents, nullptr) != 1) {
            return false;
        }
        if (!StartsWithSparseHeader(path) || extents != 1) {
            return ExtentsAreFiles(handle, path, extents, reason) &&
                   LibVmdk().libvmdk_handle_open_extent_data_files(handle.Disk, error) == 1;
        }
        libbfio_handle_t* file = nullptr;
        int entry = 0;
        if (LibBfio().libbfio_pool_initialize(
                &handle.Extents, 0, LIBBFIO_POOL_UNLIMITED_NUMBER_OF_OPEN_HANDLES, nullptr) != 1 ||
            LibBfio().libbfio_file_initialize(&file, nullptr) != 1) {
            return false;
        }
        if (LibBfio().libbfio_file_set_name(file, path.c_str(), path.size(), nullptr) != 1 ||
            LibBfio().libbfio_pool_append_handle(handle.Extents, &entry, file, LIBBFIO_OPEN_READ,
                                                 nullptr) != 1) {
            LibBfio().libbfio_handle_free(&file, nullptr);
            return false;
        }
        return LibVmdk().libvmdk_handle_open_extent_data_files_file_io_pool(
                   handle.Disk, handle.Extents, error) == 1;
    }
    // The library opens each extent by the name the descriptor gives, beside it, and would wait
    // forever on a FIFO of that name: each must be a regular file.
    static bool ExtentsAreFiles(Handle& handle, const std::string& path, int extents,
                                std::string& reason) {
        for (int index = 0; index < extents; ++index) {
            libvmdk_extent_descriptor_t* extent = nullptr;
            if (LibVmdk().libvmdk_handle_get_extent_descriptor(handle.Disk, index, &extent,
                                                               nullptr) != 1) {
                return false;
            }
            const std::optional<std::string> name =
                LibraryName(extent, LibVmdk().libvmdk_extent_descriptor_get_utf8_filename_size,
                            LibVmdk().libvmdk_extent_descriptor_get_utf8_filename);
            LibVmdk().libvmdk_extent_descriptor_free(&extent, nullptr);
            std::error_code ec;
            if (name && !std::filesystem::is_regular_file(FolderOf(path) / *name, ec)) {
                reason = " (son fichier de données « " + *name +
                         " » manque ou n'est pas un fichier ordinaire)";
                return false;
            }
        }
        return true;
    }
    static bool StartsWithSparseHeader(const std::string& path) {
        return BytesAt(RandomAccessFile(path), 0, kSparseVmdk.size()) == kSparseVmdk;
    }
    static void Close(Handle* handle) {
        LibVmdk().libvmdk_handle_close(handle->Disk, nullptr);
        LibVmdk().libvmdk_handle_free(&handle->Disk, nullptr);
        if (handle->Extents != nullptr) {
            LibBfio().libbfio_pool_free(&handle->Extents, nullptr);
        }
        delete handle;
    }
    static std::int64_t Read(Handle* handle, std::uint64_t offset, char* buffer,
                             std::size_t length) {
        return LibVmdk().libvmdk_handle_read_buffer_at_offset(
            handle->Disk, buffer, length, static_cast<off64_t>(offset), nullptr);
    }
    static std::uint64_t Size(Handle* handle) {
        size64_t size = 0;
        return LibVmdk().libvmdk_handle_get_media_size(handle->Disk, &size, nullptr) == 1 ? size
                                                                                          : 0;
    }
    static std::string Refusal(Handle*) { return ""; }
    static std::optional<std::string> ParentName(Handle* handle) {
        return LibraryName(handle->Disk, LibVmdk().libvmdk_handle_get_utf8_parent_filename_size,
                           LibVmdk().libvmdk_handle_get_utf8_parent_filename);
    }
    static std::string ParentKindRefusal(const std::string&) { return ""; }
    // A snapshot keeps the content identifier its parent had when it was taken: VMware refuses
    // a parent that changed since, as its blocks would no longer fit the snapshot's.
    static bool ParentMatches(Handle* child, Handle* parent) {
        uint32_t expected = 0, found = 0;
        return LibVmdk().libvmdk_handle_get_parent_content_identifier(child->Disk, &expected,
                                                                      nullptr) == 1 &&
               LibVmdk().libvmdk_handle_get_content_identifier(parent->Disk, &found, nullptr) ==
                   1 &&
               expected == found;
    }
    static bool SetParent(Handle* child, Handle* parent) {
        return LibVmdk().libvmdk_handle_set_parent_handle(child->Disk, parent->Disk, nullptr) == 1;
    }
};

struct Vhd {
    struct Handle {
        libvhdi_file_t* Disk = nullptr;
        std::unique_ptr<VhdBlocks> Blocks; // a dynamic VHD's, read without the library
    };
    using Error = libvhdi_error_t;
    static constexpr const char* kKind = "Virtual PC ou Hyper-V (VHD, VHDX)";
    static std::string MissingLibraries() { return MissingLibrary<VhdiLibrary>(); }
    static constexpr std::size_t kIdentifierSize = 16;

    static std::string RefusalBeforeOpening(const std::string&) { return ""; }

    // Opened by name: a VHD's footer is at the very end of its file, where padding would hide it.
    // libvhdi reads only that footer; a dynamic disk whose footer there is cut or damaged is read
    // through the footer's copy that starts it, as Virtual PC itself would, with a warning.
    static Handle* Open(const std::string& path, std::string& reason) {
        Error* error = nullptr;
        auto handle = std::make_unique<Handle>();
        if (LibVhdi().libvhdi_file_initialize(&handle->Disk, &error) == 1) {
            if (LibVhdi().libvhdi_file_open(handle->Disk, path.c_str(), LIBVHDI_OPEN_READ,
                                            &error) == 1) {
                handle->Blocks = VhdBlocks::Open(path);
                return handle.release();
            }
            LibVhdi().libvhdi_file_free(&handle->Disk, nullptr);
        }
        reason = LibraryReason(error, LibVhdi().libvhdi_error_sprint, LibVhdi().libvhdi_error_free);
        handle->Blocks = VhdBlocks::Open(path);
        if (handle->Blocks && !handle->Blocks->FooterWhole()) {
            reason.clear();
            return handle.release();
        }
        return nullptr;
    }
    static void Close(Handle* handle) {
        if (handle->Disk != nullptr) {
            LibVhdi().libvhdi_file_close(handle->Disk, nullptr);
            LibVhdi().libvhdi_file_free(&handle->Disk, nullptr);
        }
        delete handle;
    }
    static std::string Warning(Handle* handle, const std::string& path) {
        return handle->Disk != nullptr
                   ? ""
                   : path +
                         " : la fin du disque VHD (son pied de page) est coupée ou "
                         "endommagée ; il est lu par la copie de ce pied de page qui le commence";
    }
    static std::int64_t Read(Handle* handle, std::uint64_t offset, char* buffer,
                             std::size_t length) {
        if (handle->Blocks) {
            return handle->Blocks->Read(offset, buffer, length);
        }
        return LibVhdi().libvhdi_file_read_buffer_at_offset(handle->Disk, buffer, length,
                                                            static_cast<off64_t>(offset), nullptr);
    }
    static std::uint64_t Size(Handle* handle) {
        size64_t size = 0;
        if (handle->Disk == nullptr) {
            return handle->Blocks->Size();
        }
        return LibVhdi().libvhdi_file_get_media_size(handle->Disk, &size, nullptr) == 1 ? size : 0;
    }
    // Its footer's copy read, the file may just have been cut short.
    static std::string Refusal(Handle* handle) {
        return handle->Disk == nullptr && !handle->Blocks->BlocksInFile()
                   ? "image Virtual PC (VHD) tronquée : ses derniers blocs manquent"
                   : "";
    }
    // A disk read through its footer's copy has only that: libvhdi cannot set it under a
    // snapshot.
    static std::string RefusalAsParent(Handle* parent, const std::string& path) {
        return parent->Disk != nullptr
                   ? ""
                   : "son disque parent « " + path +
                         " » a la fin (son pied de page) coupée ou endommagée : un disque parent "
                         "ne se lit pas par la copie de son pied de page";
    }
    static std::optional<std::string> ParentName(Handle* handle) {
        uint32_t type = 0;
        // Read through its footer's copy, it is a dynamic disk: it has no parent.
        if (handle->Disk == nullptr ||
            LibVhdi().libvhdi_file_get_disk_type(handle->Disk, &type, nullptr) != 1 ||
            type != LIBVHDI_DISK_TYPE_DIFFERENTIAL) {
            return std::nullopt;
        }
        return LibraryName(handle->Disk, LibVhdi().libvhdi_file_get_utf8_parent_filename_size,
                           LibVhdi().libvhdi_file_get_utf8_parent_filename);
    }
    static std::string ParentKindRefusal(const std::string&) { return ""; }
    // A snapshot names the disk it was taken on: a VHD by the identifier of the parent's
    // footer, a VHDX by the parent's data-write identifier, which changes with every write.
    static bool ParentMatches(Handle* child, Handle* parent) {
        std::array<uint8_t, kIdentifierSize> expected{}, found{};
        return LibVhdi().libvhdi_file_get_parent_identifier(child->Disk, expected.data(),
                                                            expected.size(), nullptr) == 1 &&
               LibVhdi().libvhdi_file_get_identifier(parent->Disk, found.data(), found.size(),
                                                     nullptr) == 1 &&
               expected == found;
    }
    static bool SetParent(Handle* child, Handle* parent) {
        return LibVhdi().libvhdi_file_set_parent_file(child->Disk, parent->Disk, nullptr) == 1;
    }
};

struct Qcow : ReadAsItIs {
    struct Handle {
        libqcow_file_t* Disk = nullptr;
        libbfio_handle_t* Io = nullptr;
    };
    using Error = libqcow_error_t;
    static constexpr const char* kKind = "QEMU (QCOW)";
    static std::string MissingLibraries() { return MissingLibrary<QcowLibrary, BfioLibrary>(); }

    // What the library cannot be trusted to check before it reads.
    static std::string RefusalBeforeOpening(const std::string& path) {
        return QcowTablesRefusal(path);
    }
    static Handle* Open(const std::string& path, std::string& reason) {
        Error* error = nullptr;
        auto handle = std::make_unique<Handle>();
        handle->Io = PaddedFile::Handle(path);
        if (handle->Io != nullptr &&
            LibQcow().libqcow_file_initialize(&handle->Disk, &error) == 1) {
            if (LibQcow().libqcow_file_open_file_io_handle(handle->Disk, handle->Io,
                                                           LIBQCOW_OPEN_READ, &error) == 1) {
                return handle.release();
            }
            LibQcow().libqcow_file_free(&handle->Disk, nullptr);
        }
        if (handle->Io != nullptr) {
            LibBfio().libbfio_handle_free(&handle->Io, nullptr);
        }
        reason = LibraryReason(error, LibQcow().libqcow_error_sprint, LibQcow().libqcow_error_free);
        return nullptr;
    }
    static void Close(Handle* handle) {
        LibQcow().libqcow_file_close(handle->Disk, nullptr);
        LibQcow().libqcow_file_free(&handle->Disk, nullptr);
        LibBfio().libbfio_handle_free(&handle->Io, nullptr);
        delete handle;
    }
    static std::int64_t Read(Handle* handle, std::uint64_t offset, char* buffer,
                             std::size_t length) {
        return LibQcow().libqcow_file_read_buffer_at_offset(handle->Disk, buffer, length,
                                                            static_cast<off64_t>(offset), nullptr);
    }
    static std::uint64_t Size(Handle* handle) {
        size64_t size = 0;
        return LibQcow().libqcow_file_get_media_size(handle->Disk, &size, nullptr) == 1 ? size : 0;
    }
    static std::string Refusal(Handle* handle) {
        uint32_t method = LIBQCOW_ENCRYPTION_METHOD_NONE;
        if (LibQcow().libqcow_file_get_encryption_method(handle->Disk, &method, nullptr) == 1 &&
            method != LIBQCOW_ENCRYPTION_METHOD_NONE) {
            return method == LIBQCOW_ENCRYPTION_METHOD_LUKS
                       ? "image QEMU (QCOW) chiffrée (LUKS), illisible sans son mot de passe"
                       : "image QEMU (QCOW) chiffrée (AES), illisible sans son mot de passe";
        }
        return "";
    }
    static std::optional<std::string> ParentName(Handle* handle) {
        return LibraryName(handle->Disk, LibQcow().libqcow_file_get_utf8_backing_filename_size,
                           LibQcow().libqcow_file_get_utf8_backing_filename);
    }
    // QEMU lets a QCOW image lie over a raw file too; the library reads a QCOW parent only.
    static std::string ParentKindRefusal(const std::string& parent) {
        return LibQcow().libqcow_check_file_signature(parent.c_str(), nullptr) == 1
                   ? ""
                   : "son image de base « " + parent +
                         " » n'est pas au format QCOW : une image QCOW sur une image brute n'est "
                         "pas lue";
    }
    // QCOW keeps no identifier of its backing file: the name is all there is.
    static bool ParentMatches(Handle*, Handle*) { return true; }
    static bool SetParent(Handle* child, Handle* parent) {
        return LibQcow().libqcow_file_set_parent_file(child->Disk, parent->Disk, nullptr) == 1;
    }
};

// A virtual disk read through a libyal library, with the parents of its snapshot chain, each
// handle closed with this object (the child first, as it reads through its parent).
template <class Library> class ChainedDisk : public VirtualDisk {
  public:
    using Handle = typename Library::Handle;

    ~ChainedDisk() override {
        for (Handle* handle : chain_) {
            Library::Close(handle);
        }
    }

    // nullptr with a French `error`.
    static std::unique_ptr<VirtualDisk> Open(const std::string& path, std::string& error) {
        if (std::string missing = Library::MissingLibraries(); !missing.empty()) {
            error = Unreadable(path) + missing;
            return nullptr;
        }
        std::unique_ptr<ChainedDisk> disk(new ChainedDisk);
        std::string current = path;
        for (int depth = 0;; ++depth) {
            if (depth == kDeepestChain) {
                error = Unreadable(path) + "chaîne d'instantanés trop longue ou qui boucle";
                return nullptr;
            }
            if (std::string refusal = Library::RefusalBeforeOpening(current); !refusal.empty()) {
                error = Unreadable(current) + refusal;
                return nullptr;
            }
            std::string reason;
            Handle* handle = Library::Open(current, reason);
            if (handle == nullptr) {
                error = Unreadable(current) + "image " + Library::kKind +
                        " illisible ou endommagée, ou disque d'un type non lu" + reason;
                return nullptr;
            }
            disk->chain_.push_back(handle);
            if (std::string refusal = Library::Refusal(handle); !refusal.empty()) {
                error = Unreadable(current) + refusal;
                return nullptr;
            }
            if (std::string warning = Library::Warning(handle, current); !warning.empty()) {
                disk->warnings_.push_back(std::move(warning));
            }
            if (depth > 0 && !disk->Attach(current, error)) {
                return nullptr;
            }
            const std::optional<std::string> parentName = Library::ParentName(handle);
            if (!parentName) {
                break;
            }
            const std::string parent = FindParentBeside(current, *parentName);
            if (parent.empty()) {
                error = Unreadable(current) + "son disque parent « " +
                        ParentLookedFor(current, *parentName) +
                        " » est introuvable (l'instantané le nomme « " + *parentName + " »)";
                return nullptr;
            }
            if (std::string refusal = Library::ParentKindRefusal(parent); !refusal.empty()) {
                error = Unreadable(current) + refusal;
                return nullptr;
            }
            disk->children_.push_back(current);
            current = parent;
        }
        disk->size_ = Library::Size(disk->chain_.front());
        return disk;
    }

    std::uint64_t Size() const override { return size_; }
    std::int64_t Read(std::uint64_t offset, char* buffer, std::size_t length) override {
        return Library::Read(chain_.front(), offset, buffer, length);
    }

  private:
    ChainedDisk() = default;

    // Sets the last handle opened, at `parent`, under the one before it.
    bool Attach(const std::string& parent, std::string& error) {
        Handle* child = chain_[chain_.size() - 2];
        const std::string& childPath = children_.back();
        if (std::string refusal = Library::RefusalAsParent(chain_.back(), parent);
            !refusal.empty()) {
            error = Unreadable(childPath) + refusal;
            return false;
        }
        if (!Library::ParentMatches(child, chain_.back())) {
            error = Unreadable(childPath) + "son disque parent « " + parent +
                    " » n'est plus celui sur lequel l'instantané a été pris (il a été modifié "
                    "ou remplacé depuis)";
            return false;
        }
        if (!Library::SetParent(child, chain_.back())) {
            error = Unreadable(childPath) + "son disque parent « " + parent +
                    " » ne convient pas à l'instantané (taille ou format différents)";
            return false;
        }
        return true;
    }

    std::vector<Handle*> chain_;
    std::vector<std::string> children_; // the path of each handle but the last
    std::uint64_t size_ = 0;
};

enum class Kind { None, Vmdk, Vhd, Qcow, Vdi };

Kind KindOf(const std::string& path) {
    const RandomAccessFile file(path);
    const std::string head = BytesAt(file, 0, kHeadSize);
    const auto starts = [&head](std::string_view magic) { return head.starts_with(magic); };
    if (starts(kSparseVmdk) || starts("COWD") ||
        head.find("# Disk DescriptorFile") != std::string::npos) {
        return Kind::Vmdk;
    }
    if (starts("vhdxfile") || starts("conectix")) {
        return Kind::Vhd;
    }
    if (starts("QFI\xfb")) {
        return Kind::Qcow;
    }
    if (IsVdiDisk(head)) {
        return Kind::Vdi;
    }
    // A fixed VHD is the disk itself followed by a footer.
    if (file.Size() >= kVhdFooterSize &&
        BytesAt(file, file.Size() - kVhdFooterSize, 8) == "conectix") {
        return Kind::Vhd;
    }
    return Kind::None;
}

// The parts of a stored name, whichever system's separators it uses.
std::vector<std::string> NameParts(const std::string& stored) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : stored) {
        if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

} // namespace

std::string ParentLookedFor(const std::string& child, const std::string& storedName) {
    return (std::filesystem::path(child).parent_path() / NameParts(storedName).back()).string();
}

std::string FindParentBeside(const std::string& child, const std::string& storedName) {
    const std::vector<std::string> parts = NameParts(storedName);
    std::error_code ec;
    // The stored path itself, when it is this system's and still there (a QEMU image on the
    // machine that made it) or relative to the child ("..\\base.vhd", "sub/base.qcow2").
    if (storedName.starts_with('/') && std::filesystem::is_regular_file(storedName, ec)) {
        return storedName;
    }
    const bool windowsAbsolute =
        storedName.starts_with('\\') || (storedName.size() > 1 && storedName[1] == ':');
    if (!windowsAbsolute && !storedName.starts_with('/') && parts.size() > 1) {
        std::filesystem::path relative = FolderOf(child);
        for (const std::string& part : parts) {
            if (!part.empty() && part != ".") {
                relative /= part;
            }
        }
        if (std::filesystem::is_regular_file(relative, ec)) {
            return relative.string();
        }
    }
    // Else its file name beside the child, where a copied machine's files end up.
    const LocalTree folder(FolderOf(child).string());
    const std::string beside = folder.Find("", parts.back(), false);
    if (beside.empty()) {
        return "";
    }
    return (std::filesystem::path(child).parent_path() / beside).string();
}

std::unique_ptr<VirtualDisk> OpenVirtualDisk(const std::string& path, std::string& error) {
    error.clear();
    switch (KindOf(path)) {
    case Kind::Vmdk:
        return ChainedDisk<Vmdk>::Open(path, error);
    case Kind::Vhd:
        return ChainedDisk<Vhd>::Open(path, error);
    case Kind::Qcow:
        return ChainedDisk<Qcow>::Open(path, error);
    case Kind::Vdi:
        return OpenVdiDisk(path, error);
    case Kind::None:
        break;
    }
    return nullptr;
}

} // namespace quillon
