#include "files/random_access_file.h"

#include "files/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

// Opened without blocking, so that a FIFO given for an image or named by one (an extent, a
// parent) is refused at once rather than waited on; only a regular file or a disk (a block
// device) is read.
RandomAccessFile::RandomAccessFile(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)),
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

} // namespace quillon
