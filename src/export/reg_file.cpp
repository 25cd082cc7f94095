#include "export/reg_file.h"

#include "files/text_lines.h"

namespace quillon {

bool RegFile::OpenNew(const TemporaryFile& file, bool headerWritten, FileError& error) {
    headerWritten_ = headerWritten;
    return out_.Open(file, error);
}

bool RegFile::OpenToAppend(const std::string& path, FileError& error) {
    headerWritten_ = true;
    return out_.Open(path, OutputFile::Mode::Append, error);
}

void RegFile::WriteHeaderOnce() {
    if (!headerWritten_) {
        WriteLine("REGEDIT4");
        headerWritten_ = true;
    }
}

void RegFile::WriteLine(std::string_view line) {
    out_.Write(line);
    out_.Write(LineEnd);
}

bool RegFile::Flush(FileError& error) {
    return out_.Flush(error);
}

} // namespace quillon
