#include "files/output_file.h"

#include "files/interruption.h"
#include "files/temp_file.h"

#include <cerrno>
#include <filesystem>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quillon {
namespace {
constexpr std::size_t kBufferSize = 256 << 10;

// A C runtime descriptor of its own over the system's `descriptor` (a handle on Windows); -1
// with errno set when it cannot be made.
int CopyOfDescriptor(std::intptr_t descriptor) {
#ifdef _WIN32
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(descriptor),
                         GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        errno = EACCES;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(copy), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
        CloseHandle(copy);
        errno = EMFILE;
    }
    return fd;
#else
    return dup(static_cast<int>(descriptor));
#endif
}

// A stream of its own over a copy of `descriptor`, the file emptied first (the copy shares its
// position); nullptr with errno set when it cannot be made.
std::FILE* EmptiedStreamOver(std::intptr_t descriptor) {
    const int fd = CopyOfDescriptor(descriptor);
    if (fd < 0) {
        return nullptr;
    }
    errno = 0;
#ifdef _WIN32
    std::FILE* stream = CutBack(descriptor, 0) ? _fdopen(fd, "wb") : nullptr;
#else
    std::FILE* stream = CutBack(descriptor, 0) ? fdopen(fd, "wb") : nullptr;
#endif
    if (stream == nullptr) {
        const int reason = errno != 0 ? errno : EIO;
#ifdef _WIN32
        _close(fd);
#else
        close(fd);
#endif
        errno = reason;
    }
    return stream;
}

// The system's own descriptor of an open file (its handle on Windows).
std::intptr_t SystemDescriptor(std::FILE* file) {
#ifdef _WIN32
    return _get_osfhandle(_fileno(file));
#else
    return fileno(file);
#endif
}
} // namespace

OutputFile::~OutputFile() {
    FileError ignored;
    Close(ignored);
}

bool OutputFile::Open(const std::string& path, Mode mode, FileError& error) {
    path_ = path;
    firstErrno_ = 0;
    std::error_code ec;
    startLength_ = mode == Mode::Append && std::filesystem::exists(path, ec)
                       ? std::filesystem::file_size(path, ec)
                       : 0;
    if (ec) {
        startLength_ = 0;
    }
    errno = 0;
    file_ = std::fopen(path.c_str(), mode == Mode::Create ? "wb" : "ab");
    if (file_ == nullptr) {
        error = FileError{path, errno != 0 ? errno : EACCES};
        return false;
    }
    BufferOurselves();
    if (mode == Mode::Append) {
        appendTicket_ = interruption::TrackAppend(SystemDescriptor(file_), startLength_);
    }
    return true;
}

bool OutputFile::Open(const TemporaryFile& file, FileError& error) {
    path_ = file.Path();
    firstErrno_ = 0;
    startLength_ = 0;
    errno = 0;
    file_ = EmptiedStreamOver(file.Descriptor());
    if (file_ == nullptr) {
        error = FileError{path_, errno != 0 ? errno : EACCES};
        return false;
    }
    BufferOurselves();
    return true;
}

bool OutputFile::OpenNew(const std::string& path, std::intptr_t& descriptor, FileError& error) {
    path_ = path;
    firstErrno_ = 0;
    startLength_ = 0;
    errno = 0;
#ifdef _WIN32
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    const int fd =
        handle == INVALID_HANDLE_VALUE
            ? -1
            : _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
    } else if (fd < 0) {
        CloseHandle(handle);
        errno = EMFILE;
    }
    file_ = fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
    constexpr mode_t kOwnerOnly = 0600;
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly);
    file_ = fd < 0 ? nullptr : fdopen(fd, "wb");
#endif
    if (file_ == nullptr) {
        error = FileError{path, errno != 0 ? errno : EACCES};
        return false;
    }
    descriptor = SystemDescriptor(file_);
    BufferOurselves();
    return true;
}

void OutputFile::BufferOurselves() {
    std::setvbuf(file_, nullptr, _IONBF, 0); // our own buffer does the batching
    buffer_.reserve(kBufferSize);
}

void OutputFile::Write(std::string_view bytes) {
    // A piece as large as the buffer goes to the file as it is, not through a copy.
    if (buffer_.empty() && bytes.size() >= kBufferSize) {
        WriteOut(bytes);
        return;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize) {
        FlushBuffer();
    }
}

void OutputFile::FlushBuffer() {
    WriteOut(buffer_);
    buffer_.clear();
}

void OutputFile::WriteOut(std::string_view bytes) {
    if (bytes.empty() || firstErrno_ != 0) {
        return;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        firstErrno_ = errno != 0 ? errno : EIO;
    }
}

bool OutputFile::Flush(FileError& error) {
    FlushBuffer();
    if (firstErrno_ != 0) {
        error = FileError{path_, firstErrno_};
        return false;
    }
    return true;
}

bool OutputFile::Close(FileError& error) {
    if (file_ == nullptr) {
        return true;
    }
    FlushBuffer();
    interruption::UntrackAppend(appendTicket_);
    appendTicket_ = -1;
    errno = 0;
    if (std::fclose(file_) != 0 && firstErrno_ == 0) {
        firstErrno_ = errno != 0 ? errno : EIO;
    }
    file_ = nullptr;
    if (firstErrno_ == 0) {
        return true;
    }
    std::error_code ignored;
    std::filesystem::resize_file(path_, startLength_, ignored);
    error = FileError{path_, firstErrno_};
    return false;
}

bool CutBack(std::intptr_t descriptor, std::uintmax_t length) {
#ifdef _WIN32
    const auto file = reinterpret_cast<HANDLE>(descriptor);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
#else
    const int fd = static_cast<int>(descriptor);
    return ftruncate(fd, static_cast<off_t>(length)) == 0 &&
           lseek(fd, static_cast<off_t>(length), SEEK_SET) >= 0;
#endif
}

int MoveOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return 0;
    }
    return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
#else
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
#endif
}

} // namespace quillon
