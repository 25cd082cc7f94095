#include "files/random_access_file.h"

#include "files/file_error.h"

#include <algorithm>
#include <cerrno>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {

#ifdef _WIN32
// A link (a junction, a symbolic link) is opened as itself and refused, as is anything but a
// file on a disk.
RandomAccessFile::RandomAccessFile(const std::string& path, Links)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)),
      openErrno_(handle_ == INVALID_HANDLE_VALUE ? ENOENT : 0) {
    BY_HANDLE_FILE_INFORMATION information{};
    LARGE_INTEGER size{};
    if (handle_ != INVALID_HANDLE_VALUE &&
        (GetFileType(handle_) != FILE_TYPE_DISK ||
         !GetFileInformationByHandle(handle_, &information) ||
         (information.dwFileAttributes &
          (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
         !GetFileSizeEx(handle_, &size))) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        openErrno_ = kNotRegularFile;
    }
    if (handle_ != INVALID_HANDLE_VALUE) {
        size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
}

RandomAccessFile::~RandomAccessFile() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
    }
}

bool RandomAccessFile::IsOpen() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

bool RandomAccessFile::ReadAll(std::uint64_t offset, void* buffer, std::size_t length) const {
    auto* at = static_cast<char*>(buffer);
    while (length > 0) {
        constexpr std::size_t kLargestRead = 1u << 30;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(offset);
        where.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!ReadFile(handle_, at, static_cast<DWORD>(std::min(length, kLargestRead)), &got,
                      &where) ||
            got == 0) {
            return false;
        }
        at += got;
        offset += got;
        length -= got;
    }
    return true;
}
#else
// Opened without blocking, so that a FIFO given for an image or named by one (an extent, a
// parent) is refused at once rather than waited on; only a regular file or a disk (a block
// device) is read.
RandomAccessFile::RandomAccessFile(const std::string& path, Links links)
    : fd_(::open(path.c_str(),
                 O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0))),
      openErrno_(fd_ < 0 ? errno : 0) {
    struct stat status {};
    if (fd_ >= 0 &&
        (::fstat(fd_, &status) != 0 || !(S_ISREG(status.st_mode) || S_ISBLK(status.st_mode)))) {
        ::close(fd_);
        fd_ = -1;
        openErrno_ = kNotRegularFile;
    }
    if (fd_ >= 0) {
        size_ = static_cast<std::uint64_t>(status.st_size);
    }
}

RandomAccessFile::~RandomAccessFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool RandomAccessFile::IsOpen() const {
    return fd_ >= 0;
}

bool RandomAccessFile::ReadAll(std::uint64_t offset, void* buffer, std::size_t length) const {
    auto* at = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t got = ::pread(fd_, at, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        at += got;
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::size_t>(got);
    }
    return true;
}
#endif

} // namespace quillon
