// A REGEDIT4 file being written, held open from its header to its last line.
#pragma once

#include "files/output_file.h"

#include <string>
#include <string_view>

namespace quillon {

class TemporaryFile;

// The key exporter and the backup's own steps write into it in turn. Its header goes out once,
// before the first thing written after it is opened as a new file.
class RegFile {
  public:
    // A new file, written through the temporary file's descriptor. `headerWritten` is for a
    // file whose lines continue another whose header is already written: it gets none.
    bool OpenNew(const TemporaryFile& file, bool headerWritten, FileError& error);
    // The end of an existing REGEDIT4 file, whose header is there already.
    bool OpenToAppend(const std::string& path, FileError& error);

    bool HeaderWritten() const { return headerWritten_; }
    void WriteHeaderOnce();
    void Write(std::string_view text) { out_.Write(text); }
    void WriteLine(std::string_view line);
    // Sends what is buffered to the file: false, with why, once any write has failed.
    bool Flush(FileError& error);
    // True when every byte reached the file; on failure the file is as it was when opened.
    bool Close(FileError& error) { return out_.Close(error); }

  private:
    OutputFile out_;
    bool headerWritten_ = false;
};

} // namespace quillon
