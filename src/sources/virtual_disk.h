// Virtual machine disks read in place, at their newest state: VMware VMDK, Virtual PC VHD,
// Hyper-V VHDX, QEMU QCOW and VirtualBox VDI, each snapshot read over the parents it is made on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quillon {

class VirtualDisk {
  public:
    virtual ~VirtualDisk() = default;
    // The size of the disk the virtual machine sees.
    virtual std::uint64_t Size() const = 0;
    // Reads the disk's bytes at `offset`: how many were read, or -1 when they cannot be read.
    virtual std::int64_t Read(std::uint64_t offset, char* buffer, std::size_t length) = 0;
    // Read, a failure noted: parts of the disk lie beyond its file or cannot be read.
    std::int64_t ReadNotingFailure(std::uint64_t offset, char* buffer, std::size_t length) {
        const std::int64_t read = Read(offset, buffer, length);
        readFailed_ = readFailed_ || read < 0;
        return read;
    }
    bool ReadFailed() const { return readFailed_; }
    // What was worked around to read it, in French, for warnings.
    const std::vector<std::string>& Warnings() const { return warnings_; }

  protected:
    std::vector<std::string> warnings_;

  private:
    bool readFailed_ = false;
};

// Reads `length` bytes at `offset` of a disk of `size` bytes kept in blocks of `blockSize`, each
// piece that lies within one block through `readInBlock`: how many were read (fewer at the
// disk's end), or -1 when a piece cannot be read.
std::int64_t ReadBlockByBlock(
    std::uint64_t offset, char* buffer, std::size_t length, std::uint64_t size,
    std::uint64_t blockSize,
    const std::function<bool(std::uint64_t at, char* into, std::size_t count)>& readInBlock);

// The virtual disk `path` holds, told by its bytes, not its name. nullptr with `error` left empty
// when the file is no virtual disk (a raw or EnCase image, say); nullptr with a French `error`
// when it is one that cannot be read: damaged, encrypted, of a kind not read, or a snapshot
// whose parent is missing or is not the disk it was made on.
std::unique_ptr<VirtualDisk> OpenVirtualDisk(const std::string& path, std::string& error);

// Where the parent of the snapshot `child` lies, given the name the snapshot stores (a Windows
// or Unix path, absolute or relative, from the machine that made it): that path from the child's
// folder, else its file name beside the child, found without regard to case. "" when neither is
// there.
std::string FindParentBeside(const std::string& child, const std::string& storedName);

// How messages name the parent looked for: the stored name's file name, beside the child.
std::string ParentLookedFor(const std::string& child, const std::string& storedName);

} // namespace quillon
