// A file read at any offset, whole pieces or nothing, closed with this object (the readers of
// disk images and of the mail client's files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

class RandomAccessFile {
  public:
    // A disk image may be named through a link (/dev/disk/by-id/...); a file found in a folder
    // nobody trusts is read only if it is no link.
    enum class Links { Follow, Refuse };
    explicit RandomAccessFile(const std::string& path, Links links = Links::Follow);
    ~RandomAccessFile();
    RandomAccessFile(const RandomAccessFile&) = delete;
    RandomAccessFile& operator=(const RandomAccessFile&) = delete;

    bool IsOpen() const;
    int OpenErrno() const { return openErrno_; } // why it could not be opened
    std::uint64_t Size() const { return size_; }
    // True when all `length` bytes at `offset` were read.
    bool ReadAll(std::uint64_t offset, void* buffer, std::size_t length) const;

  private:
#ifdef _WIN32
    void* handle_; // the system's handle, or INVALID_HANDLE_VALUE
#else
    int fd_;
#endif
    int openErrno_;
    std::uint64_t size_ = 0;
};

} // namespace quillon
