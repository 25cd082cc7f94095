// The REGEDIT4 line syntax of the backup files.
#pragma once

#include "files/text_lines.h"
#include "registry/registry_store.h"

#include <string>

namespace quillon {

// Appends `"name"=data` (or `@=data`) for one value, without the line end. Names and quoted
// strings escape backslashes and double quotes; a string that the quoted form cannot carry
// and a number that is not four bytes long are written in the hex(n): form.
void AppendValueLine(std::string& line, const RegValue& value);

// The same line in parts, for a long value whose text need not be held whole: whether it takes
// the hex(n): form, its start up to the colon, then its bytes, any number at a time (`first`
// for the first of them).
bool TakesHexForm(const RegValue& value);
void AppendHexFormStart(std::string& line, const RegValue& value);
void AppendHexBytes(std::string& line, const std::uint8_t* bytes, std::size_t count, bool first);

} // namespace quillon
