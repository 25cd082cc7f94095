// The REGEDIT4 line syntax of the backup files.
#pragma once

#include "registry/registry_store.h"

#include <string>

namespace quillon {

inline constexpr std::string_view LineEnd = "\r\n";

// Appends `"name"=data` (or `@=data`) for one value, without the line end. Names and quoted
// strings escape backslashes and double quotes; a string that the quoted form cannot carry
// and a number that is not four bytes long are written in the hex(n): form.
void AppendValueLine(std::string& line, const RegValue& value);

} // namespace quillon
