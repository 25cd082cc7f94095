// Writing the program's text files, with errors that the commands can put into words.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A file that could not be created, opened, read or written, and the system's reason.
struct FileError {
    std::string Path;
    int Errno = 0;

    // The reason in French, for messages ("accès refusé", "disque plein" ...).
    std::string Reason() const;
};

// An output file written through a large buffer. If anything fails, Close() puts the file
// back to the length it had when opened, so a failed write never leaves half a record.
class OutputFile {
  public:
    enum class Mode { Create, Append };

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    bool Open(const std::string& path, Mode mode, FileError& error);
    void Write(std::string_view bytes);
    // True when every byte reached the file.
    bool Close(FileError& error);

  private:
    void Flush();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uintmax_t startLength_ = 0;
    std::string buffer_;
    int firstErrno_ = 0;
};

// Reads a whole file, or its first `limit` bytes; false with `error` set when it cannot be
// opened or read.
bool ReadWholeFile(const std::string& path, std::string& content, FileError& error,
                   std::size_t limit = static_cast<std::size_t>(-1));
// Reads a file once, front to back, as a pipe can only be read: its first `headSize` bytes (all
// of a shorter file) go to `acceptHead`, and the rest is read only if it accepts them. False
// with `error` set when it cannot be opened or read.
bool ReadFileAfterHead(const std::string& path, std::size_t headSize,
                       const std::function<bool(std::string_view head)>& acceptHead,
                       std::string& content, FileError& error);

// The lines of a text as the program reads them: a line ends at CR LF, CR or LF alone, which
// are not part of it; a last line without an ending counts.
std::vector<std::string_view> LineViews(std::string_view content);
// The line of `content` that starts at `start`, and in `next` where the following one starts.
std::string_view LineAt(std::string_view content, std::size_t start, std::size_t& next);
std::vector<std::string> SplitLines(std::string_view content);
// Every occurrence of `from` in `text` replaced by `to`, from the start, case-sensitively.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

bool ReadLines(const std::string& path, std::vector<std::string>& lines, FileError& error);

// A folder as the registry stores it, as this system would open it: without the terminating
// zeros of an expandable string, its %VARIABLES% expanded on Windows (ANSI).
std::string SystemFolder(std::string_view stored);

// The entry of `folder` called `name` (UTF-8) without regard to case, as Windows finds it;
// empty when there is none.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder, std::string_view name);

// Moves `from` over `to`, replacing it; the system's errno on failure, else 0.
int MoveOver(const std::string& from, const std::string& to);

} // namespace quillon
