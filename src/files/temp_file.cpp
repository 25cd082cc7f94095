#include "files/temp_file.h"

#include "files/input_file.h"
#include "files/output_file.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pthread.h>
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

// 0 when the file was made, EEXIST when the name is taken, another errno otherwise.
int CreateExclusively(const std::string& path) {
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
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
    CloseHandle(file);
    return 0;
#else
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno;
    }
    close(fd);
    return 0;
#endif
}

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

// A device or a pipe (/dev/stdout, a FIFO), through any links: it can be written but never
// replaced, and no temporary file may be made beside it.
bool IsSpecialFile([[maybe_unused]] const std::string& path) {
#ifdef _WIN32
    return false;
#else
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
#endif
}

// The temporary files that exist now, for an interruption to delete: a table that a signal
// handler may read, as it can neither lock nor allocate. A slot is Ready only once its path is
// written whole.
enum SlotState : int { Free, Writing, Ready };
constexpr std::size_t kPathRoom = 4096;
struct LiveSlot {
    std::atomic<int> State{Free};
    std::array<char, kPathRoom> Path{};
};
std::array<LiveSlot, 32> g_live;

void Track(const std::string& path) {
    if (path.size() >= kPathRoom) {
        return;
    }
    for (LiveSlot& slot : g_live) {
        int expected = Free;
        if (slot.State.compare_exchange_strong(expected, Writing)) {
            std::memcpy(slot.Path.data(), path.c_str(), path.size() + 1);
            slot.State = Ready;
            return;
        }
    }
}

void Untrack(const std::string& path) {
    for (LiveSlot& slot : g_live) {
        if (slot.State == Ready && path == slot.Path.data()) {
            slot.State = Free;
            return;
        }
    }
}

void RemoveLiveFiles() {
    for (LiveSlot& slot : g_live) {
        if (slot.State == Ready) {
#ifdef _WIN32
            DeleteFileA(slot.Path.data());
#else
            unlink(slot.Path.data());
#endif
        }
    }
}

// Holds back the signals that end the program while it lives; they arrive when it goes.
class SignalsHeld {
  public:
#ifdef _WIN32
    SignalsHeld() = default;
#else
    SignalsHeld() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &before_);
    }
    ~SignalsHeld() {
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }

  private:
    sigset_t before_{};
#endif
};

#ifdef _WIN32
BOOL WINAPI OnConsoleInterrupt(DWORD) {
    RemoveLiveFiles();
    return FALSE; // the system's own handling then ends the program
}
#else
void OnInterrupt(int signal) {
    RemoveLiveFiles();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

} // namespace

void Temp_file::RemoveOnInterrupt() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleInterrupt, TRUE);
#else
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the program was started to ignore (nohup, a background job) stays ignored.
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            std::signal(signal, OnInterrupt);
        }
    }
#endif
}

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

std::optional<TemporaryFile> TemporaryFile::CreateBeside(const std::string& target,
                                                         FileError& error) {
    return IsSpecialFile(target) ? Create(error) : CreateIn(FolderOf(WrittenFile(target)), error);
}

std::optional<TemporaryFile> TemporaryFile::CreateIn(const std::string& folder, FileError& error) {
    for (unsigned number = FirstFreeNumber(folder); number < kMaxAttempts; ++number) {
        const std::string path = Candidate(folder, number);
        // An interruption must not come between the file and its slot.
        [[maybe_unused]] const SignalsHeld held;
        const int result = CreateExclusively(path);
        if (result == 0) {
            return TemporaryFile(path);
        }
        if (result != EEXIST && result != ELOOP) {
            error = FileError{path, result};
            return std::nullopt;
        }
    }
    error = FileError{Candidate(folder, kMaxAttempts), EEXIST};
    return std::nullopt;
}

TemporaryFile::TemporaryFile(std::string path) : path_(std::move(path)) {
    Track(path_);
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

TemporaryFile::~TemporaryFile() {
    if (!path_.empty()) {
        std::remove(path_.c_str());
        Untrack(path_);
    }
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
    // The file was made owner-only; the result keeps the mode of the file it replaces, or gets
    // the mode a new file would have.
    struct stat replaced {};
    if (stat(written.c_str(), &replaced) == 0) {
        if ((replaced.st_mode & 0222) == 0 || access(written.c_str(), W_OK) != 0) {
            error = FileError{target, EACCES};
            return false;
        }
        chmod(path_.c_str(), replaced.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        chmod(path_.c_str(), 0666 & ~mask);
    }
#endif
    const int result = MoveOver(path_, written);
    if (result != 0) {
        error = FileError{target, result};
        return false;
    }
    Untrack(path_);
    path_.clear();
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
