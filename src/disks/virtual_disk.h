// A virtual machine's disk as its readers give it: its size and its bytes, whatever format holds
// them (the choice of format is open_virtual_disk.h's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

} // namespace quillon
