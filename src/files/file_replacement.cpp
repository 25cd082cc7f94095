// Replacing a file in place: the temporary file made beside it is moved over it once complete,
// as writing the file in place would have written it.
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/temp_file.h"

#include <cerrno>
#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {
namespace {

std::string FolderOf(const std::string& path) {
    const auto cut = path.find_last_of(
#ifdef _WIN32
        "\\/:"
#else
        "/"
#endif
    );
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The file that writing `target` in place would write: a link chosen by the user is written
// through, so the file it points to is the one replaced, from its own folder; a link to a file
// that does not exist yet makes that file. Links are followed one at a time, as the system
// would, up to its own limit; a loop leaves `target` as it is.
std::string WrittenFile(const std::string& target) {
#ifndef _WIN32
    constexpr int kMostLinks = 40; // the system's own limit on links followed in one path
    std::filesystem::path at = target;
    std::error_code failed;
    for (int followed = 0; std::filesystem::is_symlink(at, failed); ++followed) {
        const std::filesystem::path next = std::filesystem::read_symlink(at, failed);
        if (failed || followed == kMostLinks) {
            return target;
        }
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.string();
#else
    return target;
#endif
}

// A device or a pipe (/dev/stdout, a FIFO, NUL or CON on Windows), through any links: it can
// be written but never replaced, and no temporary file may be made beside it.
bool IsSpecialFile(const std::string& path) {
#ifdef _WIN32
    // Opened for no access, which reads and writes nothing: what it is, not what it holds.
    const HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
#else
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
#endif
}

} // namespace

std::optional<TemporaryFile> TemporaryFile::CreateBeside(const std::string& target,
                                                         FileError& error) {
    return IsSpecialFile(target) ? Create(error) : CreateIn(FolderOf(WrittenFile(target)), error);
}

bool TemporaryFile::RenameTo(const std::string& target, FileError& error) {
    if (IsSpecialFile(target)) {
        return CopyInto(target, error);
    }
    const std::string written = WrittenFile(target);
    // A file that could not be written in place (read-only, or not ours to write) is not
    // replaced either.
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(written.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = FileError{target, EACCES};
        return false;
    }
#else
    struct stat replaced {};
    if (stat(written.c_str(), &replaced) == 0 &&
        ((replaced.st_mode & 0222) == 0 || access(written.c_str(), W_OK) != 0)) {
        error = FileError{target, EACCES};
        return false;
    }
#endif
    TakeModeOf(written);
    if (!TakeName(written, error)) {
        error.Path = target; // the user's name for it, not the file a link leads to
        return false;
    }
    return true;
}

std::optional<TemporaryFile> TemporaryFile::CreateInFolderOf(const std::string& target,
                                                             FileError& error) {
    return CreateIn(FolderOf(target), error);
}

void TemporaryFile::TakeModeOf([[maybe_unused]] const std::string& replaced) {
#ifndef _WIN32
    const int fd = static_cast<int>(descriptor_);
    struct stat status {};
    if (lstat(replaced.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        fchmod(fd, status.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
#endif
}

bool TemporaryFile::TakeName(const std::string& target, FileError& error) {
    const int result = MoveOver(path_, target);
    if (result != 0) {
        error = FileError{target, result};
        return false;
    }
    Release();
    return true;
}

bool TemporaryFile::CopyInto(const std::string& target, FileError& error) const {
    std::string bytes;
    OutputFile out;
    if (!ReadWholeFile(path_, bytes, error)) {
        error.Path = target;
        return false;
    }
    if (!out.Open(target, OutputFile::Mode::Create, error)) {
        return false;
    }
    out.Write(bytes);
    return out.Close(error);
}

} // namespace quillon
