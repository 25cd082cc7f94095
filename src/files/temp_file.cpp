// Temporary files: their names, their exclusive creation, their deletion.
#include "files/temp_file.h"

#include "files/interruption.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {
namespace {

// Past this many taken names the folder is not one we can use.
constexpr unsigned kMaxAttempts = 100000;

std::string Candidate(const std::string& folder, unsigned number) {
    return folder + std::string(Temp_file::Prefix) + std::to_string(number) + ".tmp";
}

bool OrdinaryFileExists(const std::string& path) {
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    const DWORD unseen = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    return (found.dwFileAttributes & unseen) == 0;
#else
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

unsigned FirstFreeNumber(const std::string& folder) {
    unsigned number = 0;
    while (number < kMaxAttempts && OrdinaryFileExists(Candidate(folder, number))) {
        ++number;
    }
    return number;
}

constexpr std::intptr_t kNoDescriptor = -1;

// Makes the file, only if no file or link has that name, for the owner alone, and opens it for
// reading and writing: 0 with `descriptor` set, EEXIST when the name is taken, another errno
// otherwise. Others may open it too, and it may be renamed or deleted while open, as the
// libraries given its name and the program's own clean-up do.
int CreateExclusively(const std::string& path, std::intptr_t& descriptor) {
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
            return EEXIST;
        }
        if (code == ERROR_ACCESS_DENIED) {
            // A folder of that name, or a file being deleted: try the next number.
            return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ? EEXIST : EACCES;
        }
        return code == ERROR_PATH_NOT_FOUND ? ENOENT : EIO;
    }
    descriptor = reinterpret_cast<std::intptr_t>(file);
    return 0;
#else
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno;
    }
    descriptor = fd;
    return 0;
#endif
}

void CloseDescriptor(std::intptr_t descriptor) {
#ifdef _WIN32
    CloseHandle(reinterpret_cast<HANDLE>(descriptor));
#else
    close(static_cast<int>(descriptor));
#endif
}

} // namespace

std::string Temp_file::TempFolder() {
#ifdef _WIN32
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, buffer);
    return length == 0 || length > MAX_PATH ? std::string() : std::string(buffer);
#else
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string folder =
        fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : "/tmp";
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
#endif
}

std::optional<TemporaryFile> TemporaryFile::Create(FileError& error) {
    return CreateIn(Temp_file::TempFolder(), error);
}

std::optional<TemporaryFile> TemporaryFile::CreateIn(const std::string& folder, FileError& error) {
    for (unsigned number = FirstFreeNumber(folder); number < kMaxAttempts; ++number) {
        const std::string path = Candidate(folder, number);
        // An interruption must not come between the file and its slot.
        [[maybe_unused]] const interruption::SignalsHeld held;
        std::intptr_t descriptor = kNoDescriptor;
        const int result = CreateExclusively(path, descriptor);
        if (result == 0) {
            return TemporaryFile(path, descriptor);
        }
        if (result != EEXIST) {
            error = FileError{path, result};
            return std::nullopt;
        }
    }
    error = FileError{Candidate(folder, kMaxAttempts), EEXIST};
    return std::nullopt;
}

TemporaryFile::TemporaryFile(std::string path, std::intptr_t descriptor)
    : path_(std::move(path)), descriptor_(descriptor) {
    interruption::TrackTemporary(path_);
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::move(other.path_)), descriptor_(other.descriptor_) {
    other.path_.clear();
    other.descriptor_ = kNoDescriptor;
}

TemporaryFile::~TemporaryFile() {
    if (descriptor_ != kNoDescriptor) {
        CloseDescriptor(descriptor_);
    }
    if (!path_.empty()) {
        std::remove(path_.c_str());
        interruption::UntrackTemporary(path_);
    }
}

// Once in place the file is the user's: neither held nor deleted any more.
void TemporaryFile::Release() {
    interruption::UntrackTemporary(path_);
    path_.clear();
    CloseDescriptor(descriptor_);
    descriptor_ = kNoDescriptor;
}

} // namespace quillon
