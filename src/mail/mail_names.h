// Names for the files and folders the mail is written into, made from what the mail client
// stored (folder names, subjects): names that Windows and Linux can both carry.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace quillon {

// `ansi` as a name of this system's encoding that both systems accept: no separator, no
// character Windows refuses, no control character, not a device's name (CON, NUL, COM1...),
// not ending in a dot or a space, at most `longest` bytes; "_" when nothing is left.
std::string SafeFileName(std::string_view ansi, std::size_t longest);

// `name` with " (2)", " (3)" ... before its extension, the first not in `taken` without regard
// to case (Windows' file names are not case-sensitive); added to `taken`.
std::string UniqueName(const std::string& name, std::string_view extension,
                       std::set<std::string>& taken);

} // namespace quillon
