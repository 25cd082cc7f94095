#include "files/input_file.h"

#include "files/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {

namespace {

// Reads on from where `file` stands until `content` holds `limit` bytes or the file ends.
bool ReadOn(std::FILE* file, std::string& content, std::size_t limit, int& readErrno) {
    char chunk[1 << 16];
    std::size_t count = 0;
    errno = 0;
    while (content.size() < limit &&
           (count = std::fread(chunk, 1, std::min(sizeof chunk, limit - content.size()), file)) >
               0) {
        content.append(chunk, count);
    }
    readErrno = errno != 0 ? errno : EIO;
    return std::ferror(file) == 0;
}

// Reserves room for the rest of a file that can tell its size (not a pipe): grown by doubling,
// a file of hundreds of megabytes would be held nearly twice while being read. false when the
// file could not be put back where it stood.
bool ReserveTheRest(std::FILE* file, std::string& content) {
    const long at = std::ftell(file);
    if (at < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        std::clearerr(file);
        return true; // a pipe, which cannot tell: read as it comes
    }
    const long end = std::ftell(file);
    if (std::fseek(file, at, SEEK_SET) != 0) {
        return false;
    }
    if (end > at) {
        content.reserve(content.size() + static_cast<std::size_t>(end - at));
    }
    return true;
}

std::FILE* OpenForReading(const std::string& path, FileError& error) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = FileError{path, errno != 0 ? errno : EACCES};
    }
    return file;
}

// Hands `file`'s bytes to `piece` in pieces of at most `pieceSize`, then closes it.
bool ReadPiecesAndClose(std::FILE* file, const std::string& path, std::size_t pieceSize,
                        const std::function<bool(std::string_view piece)>& piece,
                        FileError& error) {
    std::string buffer(pieceSize, '\0');
    std::size_t count = 0;
    bool wanted = true;
    errno = 0;
    while (wanted && (count = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        wanted = piece(std::string_view(buffer.data(), count));
    }
    const bool read = std::ferror(file) == 0;
    if (!read) {
        error = FileError{path, errno != 0 ? errno : EIO};
    }
    std::fclose(file);
    return read;
}

} // namespace

std::FILE* OpenRegularFile(const std::string& path, FileError& error) {
#ifdef _WIN32
    std::FILE* file = OpenForReading(path, error);
    if (file != nullptr &&
        GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
        std::fclose(file);
        error = FileError{path, kNotRegularFile};
        return nullptr;
    }
    return file;
#else
    // Not blocking: opening a FIFO for reading would wait for a writer that never comes.
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = FileError{path, errno == ELOOP ? kNotRegularFile : errno};
        return nullptr;
    }
    struct stat info {};
    std::FILE* file = nullptr;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (file = fdopen(fd, "rb")) == nullptr) {
        close(fd);
        error = FileError{path, kNotRegularFile};
    }
    return file;
#endif
}

bool ReadRegularFileInPieces(const std::string& path, std::size_t pieceSize,
                             const std::function<bool(std::string_view piece)>& piece,
                             FileError& error) {
    std::FILE* file = OpenRegularFile(path, error);
    return file != nullptr && ReadPiecesAndClose(file, path, pieceSize, piece, error);
}

bool ReadRegularFile(const std::string& path, std::string& content, FileError& error) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    content.clear();
    return ReadRegularFileInPieces(
        path, kPiece,
        [&content](std::string_view piece) {
            content.append(piece);
            return true;
        },
        error);
}

bool ReadFileAfterHead(const std::string& path, std::size_t headSize,
                       const std::function<bool(std::string_view head)>& acceptHead,
                       std::string& content, FileError& error) {
    content.clear();
    std::FILE* file = OpenForReading(path, error);
    if (file == nullptr) {
        return false;
    }
    int readErrno = 0;
    bool read = ReadOn(file, content, headSize, readErrno);
    if (read && acceptHead(content)) {
        read = ReserveTheRest(file, content) &&
               ReadOn(file, content, static_cast<std::size_t>(-1), readErrno);
    }
    std::fclose(file);
    if (!read) {
        error = FileError{path, readErrno};
        content.clear();
    }
    return read;
}

bool ReadWholeFile(const std::string& path, std::string& content, FileError& error,
                   std::size_t limit) {
    return ReadFileAfterHead(
        path, limit, [](std::string_view) { return false; }, content, error);
}

bool ReadFileInPieces(const std::string& path, std::size_t pieceSize,
                      const std::function<bool(std::string_view piece)>& piece, FileError& error) {
    std::FILE* file = OpenForReading(path, error);
    return file != nullptr && ReadPiecesAndClose(file, path, pieceSize, piece, error);
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines, FileError& error) {
    std::string content;
    if (!ReadWholeFile(path, content, error)) {
        return false;
    }
    lines = SplitLines(content);
    return true;
}

} // namespace quillon
