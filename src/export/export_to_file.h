// Exporting a key into a file the user named, without ever leaving it half-written.
#pragma once

#include "export/key_export.h"

namespace quillon {

// Appends the key to `fileName`, or writes it as a new REGEDIT4 file that replaces
// `fileName` only once complete. On any failure the file is as it was before.
ExportResult ExportKeyToFile(Reg_access& registry, const KeyPath& key, const std::string& fileName,
                             bool append);

} // namespace quillon
