// A file read at any offset, whole pieces or nothing, closed with this object (the readers of
// disk images, off Windows only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

class RandomAccessFile {
  public:
    explicit RandomAccessFile(const std::string& path);
    ~RandomAccessFile();
    RandomAccessFile(const RandomAccessFile&) = delete;
    RandomAccessFile& operator=(const RandomAccessFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int OpenErrno() const { return openErrno_; } // why it could not be opened
    std::uint64_t Size() const { return size_; }
    // True when all `length` bytes at `offset` were read.
    bool ReadAll(std::uint64_t offset, void* buffer, std::size_t length) const;

  private:
    int fd_;
    int openErrno_;
    std::uint64_t size_ = 0;
};

} // namespace quillon
