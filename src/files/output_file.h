// Writing the program's files, so that a failure never leaves half a record behind.
#pragma once

#include "files/file_error.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace quillon {

class TemporaryFile;

// An output file written through a large buffer. If anything fails, Close() puts the file
// back to the length it had when opened, so a failed write never leaves half a record; so does
// an interruption of the program while a file is open for appending.
class OutputFile {
  public:
    enum class Mode { Create, Append };

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    bool Open(const std::string& path, Mode mode, FileError& error);
    // Writes the temporary file anew through the descriptor it holds, not through its name.
    bool Open(const TemporaryFile& file, FileError& error);
    // Creates the file `path` for its owner alone: never an entry already there, nor through a
    // link. Its system descriptor (a handle on Windows) is `descriptor`, for as long as it is open.
    bool OpenNew(const std::string& path, std::intptr_t& descriptor, FileError& error);
    void Write(std::string_view bytes);
    // True once a write failed: nothing more reaches the file, and Close() says why.
    bool Failed() const { return firstErrno_ != 0; }
    // Sends what is buffered to the file; false, with why, once any write has failed.
    bool Flush(FileError& error);
    // True when every byte reached the file.
    bool Close(FileError& error);

  private:
    void BufferOurselves();
    void FlushBuffer();
    void WriteOut(std::string_view bytes);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uintmax_t startLength_ = 0;
    std::string buffer_;
    int firstErrno_ = 0;
    int appendTicket_ = -1; // the registration that undoes the append on interruption
};

// Cuts the open file `descriptor` (a handle on Windows) back to `length` bytes and goes on
// writing there; false when the system refuses. Safe in a signal handler, where cutting a file
// by its name is not.
bool CutBack(std::intptr_t descriptor, std::uintmax_t length);

// Moves `from` over `to`, replacing it; the system's errno on failure, else 0.
int MoveOver(const std::string& from, const std::string& to);

} // namespace quillon
