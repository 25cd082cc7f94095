// Disk images (raw, split raw, EnCase E01, and the virtual machine disks of virtual_disk.h) read
// without mounting through The Sleuth Kit: their partitions (MBR, GPT), the file systems on them
// (NTFS, FAT ...), and the files of those, read only, and only the files asked for.
#pragma once

#include "disks/file_tree.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct TSK_IMG_INFO;
struct TSK_FS_INFO;

namespace quillon {
class VirtualDisk;
}

namespace quillon {

// The kinds of image read, as messages list them.
inline constexpr const char* kImageFormats =
    "images lues : brutes, brutes découpées, EnCase E01, VMware VMDK, Virtual PC VHD, Hyper-V "
    "VHDX, VirtualBox VDI, QEMU QCOW2 et QCOW";

class DiskImage : public std::enable_shared_from_this<DiskImage> {
  public:
    // A place that may hold a file system: a partition of the table, or the whole image when it
    // has no partition table.
    struct Volume {
        int Number = 0;           // 1, 2 ... in the table's order; 0 for the whole image
        std::uint64_t Offset = 0; // bytes from the image's start
        std::uint64_t Length = 0;
    };

    // nullptr with a French `error` naming the file when it cannot be opened as an image.
    static std::shared_ptr<DiskImage> Open(const std::string& path, std::string& error);
    ~DiskImage();
    DiskImage(const DiskImage&) = delete;
    DiskImage& operator=(const DiskImage&) = delete;

    const std::string& Path() const { return path_; }
    const std::vector<Volume>& Volumes() const { return volumes_; }
    // What was worked around to read the image (a virtual disk's damage), in French.
    const std::vector<std::string>& Warnings() const { return warnings_; }
    // The files of the file system on `volume`; nullptr with a French `error` when there is none
    // that can be read. The tree keeps the image open. A file system is read once for the
    // image: asked for again, the same one is given, with what it has already read.
    std::unique_ptr<FileTree> OpenFileSystem(const Volume& volume, std::string& error);
    // What messages that found nothing add when some of a virtual disk's blocks could not be
    // read (its file cut short, most often): "" when all could.
    std::string ReadFailure() const;
    // How messages name a volume: "image.dd, partition 2".
    std::string Shown(const Volume& volume) const;

  private:
    DiskImage(std::string path, TSK_IMG_INFO* image) : path_(std::move(path)), image_(image) {}
    void FindVolumes();

    std::string path_;
    TSK_IMG_INFO* image_;
    std::vector<Volume> volumes_;
    std::string tableError_; // why no partition table was found, for messages
    std::vector<std::string> warnings_;
    const VirtualDisk* virtualDisk_ = nullptr; // owned by image_, when it reads through one
    std::map<std::uint64_t, TSK_FS_INFO*> fileSystems_; // opened so far, by their volume's offset
};

} // namespace quillon
