// Writing a key, its values and all its subkeys as REGEDIT4 text.
#pragma once

#include "files/file_error.h"
#include "files/temp_file.h"
#include "registry/reg_access.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class ExportStatus { Exported, KeyNotOpened, FileFailed };

struct ExportResult {
    ExportStatus Status = ExportStatus::KeyNotOpened;
    FileError Error; // set when Status is FileFailed
    // The full names of the subkeys and values left out because their name holds CR, LF or
    // NUL, which no line of a REGEDIT4 file can carry; written as a message shows them, with
    // those characters as \r, \n and \0.
    std::vector<std::string> LeftOut;
};

// Writes the key `keyName` ("ROOT\path"), its values and all its subkeys into fileName:
// a new file starting with "REGEDIT4" when fileStarted is 0, appended to otherwise.
// A key that cannot be opened leaves the file untouched.
ExportResult ExportKey(Reg_access& registry, std::string_view keyName, const std::string& fileName,
                       std::int16_t fileStarted);
// The same into a temporary file, as a new file, through the descriptor it holds.
ExportResult ExportKey(Reg_access& registry, std::string_view keyName, const TemporaryFile& file);

} // namespace quillon
