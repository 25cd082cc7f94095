#include "files/output_file.h"

#include "files/interruption.h"

#include <cerrno>
#include <filesystem>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace quillon {
namespace {
constexpr std::size_t kBufferSize = 1 << 20;

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
    std::setvbuf(file_, nullptr, _IONBF, 0); // our own buffer does the batching
    if (mode == Mode::Append) {
        appendTicket_ = interruption::TrackAppend(SystemDescriptor(file_), startLength_);
    }
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
