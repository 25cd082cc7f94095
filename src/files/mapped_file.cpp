#include "files/mapped_file.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {

#ifdef _WIN32
namespace {

int ErrnoOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_NOT_ENOUGH_MEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

} // namespace

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& path, int& errorCode) {
    // Shared for deletion: a private copy is deleted while it is mapped, and goes with the map.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errorCode = ErrnoOf(GetLastError());
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart == 0 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        CloseHandle(file);
        errorCode = EINVAL;
        return nullptr;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const DWORD mappingError = GetLastError();
    CloseHandle(file);
    if (mapping == nullptr) {
        errorCode = ErrnoOf(mappingError);
        return nullptr;
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    const DWORD viewError = GetLastError();
    CloseHandle(mapping); // the view keeps the mapping, and the file, open
    if (view == nullptr) {
        errorCode = ErrnoOf(viewError);
        return nullptr;
    }
    return std::unique_ptr<MappedFile>(new MappedFile(static_cast<const std::uint8_t*>(view),
                                                      static_cast<std::size_t>(size.QuadPart)));
}

MappedFile::~MappedFile() {
    UnmapViewOfFile(bytes_);
}

// Windows XP has no way to drop the pages of a file's view: they are the system's cache, which
// it takes back itself.
void MappedFile::Release(std::size_t, std::size_t) const {}

#else

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& path, int& errorCode) {
    // Not blocking, and a regular file only: a FIFO would be waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        errorCode = errno;
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        errorCode = S_ISREG(status.st_mode) ? errno : EINVAL;
        ::close(fd);
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size == 0) {
        ::close(fd);
        errorCode = EINVAL;
        return nullptr;
    }
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (mapped == MAP_FAILED) {
        errorCode = errno;
        return nullptr;
    }
    return std::unique_ptr<MappedFile>(
        new MappedFile(static_cast<const std::uint8_t*>(mapped), size));
}

MappedFile::~MappedFile() {
    ::munmap(const_cast<std::uint8_t*>(bytes_), size_);
}

void MappedFile::Release(std::size_t from, std::size_t to) const {
    if (to > from) {
        ::madvise(const_cast<std::uint8_t*>(bytes_) + from, to - from, MADV_DONTNEED);
    }
}

#endif

} // namespace quillon
