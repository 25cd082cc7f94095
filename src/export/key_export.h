// Writing a key, its values and all its subkeys as REGEDIT4 text.
#pragma once

#include "export/reg_file.h"
#include "files/file_error.h"
#include "registry/key_path.h"
#include "registry/reg_access.h"

#include <string>
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

// Writes the key, its values and all its subkeys into `file`, after its header if it has none
// yet. A key that cannot be opened writes nothing. FileFailed once a write to the file failed.
ExportResult ExportKey(Reg_access& registry, const KeyPath& key, RegFile& file);

} // namespace quillon
