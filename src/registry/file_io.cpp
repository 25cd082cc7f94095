#include "registry/file_io.h"

#include "registry/ansi_codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {
namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

std::string FileError::Reason() const {
    switch (Errno) {
    case ENOENT: return "le fichier ou son dossier n'existe pas";
    case EACCES:
    case EPERM: return "accès refusé";
    case ENOSPC: return "disque plein";
#ifdef EROFS
    case EROFS: return "support en lecture seule";
#endif
    case EISDIR: return "c'est un dossier";
    case ENOTDIR: return "un élément du chemin n'est pas un dossier";
    case EEXIST: return "le fichier existe déjà";
    case EMFILE:
    case ENFILE: return "trop de fichiers ouverts";
    case EIO: return "erreur de lecture ou d'écriture sur le disque";
    case EFBIG: return "fichier trop grand";
    case ENAMETOOLONG: return "nom de fichier trop long";
    case EINVAL: return "nom de fichier incorrect";
    case EILSEQ: return "fichier en UTF-16, où du texte REGEDIT4 ne peut pas être ajouté";
    default: return std::strerror(Errno);
    }
}

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
    std::setvbuf(file_, nullptr, _IONBF, 0); // our own buffer does the batching
    buffer_.reserve(kBufferSize);
    return true;
}

void OutputFile::Write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize) {
        Flush();
    }
}

void OutputFile::Flush() {
    if (buffer_.empty() || firstErrno_ != 0) {
        buffer_.clear();
        return;
    }
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        firstErrno_ = errno != 0 ? errno : EIO;
    }
    buffer_.clear();
}

bool OutputFile::Close(FileError& error) {
    if (file_ == nullptr) {
        return true;
    }
    Flush();
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

} // namespace

bool ReadFileAfterHead(const std::string& path, std::size_t headSize,
                       const std::function<bool(std::string_view head)>& acceptHead,
                       std::string& content, FileError& error) {
    content.clear();
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = FileError{path, errno != 0 ? errno : EACCES};
        return false;
    }
    int readErrno = 0;
    bool read = ReadOn(file, content, headSize, readErrno);
    if (read && acceptHead(content)) {
        read = ReadOn(file, content, static_cast<std::size_t>(-1), readErrno);
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

// Files that went through a tool writing LF alone, or a mix, are read line for line too.
std::string_view LineAt(std::string_view content, std::size_t start, std::size_t& next) {
    std::size_t end = start;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n') {
        ++end;
    }
    next = end + 1;
    if (end + 1 < content.size() && content[end] == '\r' && content[end + 1] == '\n') {
        ++next;
    }
    return content.substr(start, end - start);
}

std::vector<std::string_view> LineViews(std::string_view content) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < content.size();) {
        lines.push_back(LineAt(content, start, start));
    }
    return lines;
}

std::vector<std::string> SplitLines(std::string_view content) {
    const auto views = LineViews(content);
    return std::vector<std::string>(views.begin(), views.end());
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines, FileError& error) {
    std::string content;
    if (!ReadWholeFile(path, content, error)) {
        return false;
    }
    lines = SplitLines(content);
    return true;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return std::string(text);
    }
    std::string result;
    std::size_t start = 0;
    for (auto found = text.find(from); found != std::string_view::npos;
         found = text.find(from, start)) {
        result.append(text.substr(start, found - start)).append(to);
        start = found + from.size();
    }
    result.append(text.substr(start));
    return result;
}

std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder, std::string_view name) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (EqualsIgnoringCase(Utf8ToAnsi(it->path().filename().string()), Utf8ToAnsi(name))) {
            return it->path();
        }
    }
    return {};
}

std::string SystemFolder(std::string_view stored) {
    while (stored.ends_with('\0')) {
        stored.remove_suffix(1);
    }
    std::string folder(stored);
#ifdef _WIN32
    const DWORD size = ExpandEnvironmentStringsA(folder.c_str(), nullptr, 0);
    if (size > 0) {
        std::string expanded(size, '\0');
        if (ExpandEnvironmentStringsA(folder.c_str(), expanded.data(), size) == size) {
            expanded.resize(size - 1);
            return expanded;
        }
    }
#endif
    return folder;
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
