// The window's texts are single-byte ANSI, as the registry's and the files' are: searches,
// lengths and replacements then count characters as the user sees them. Texts written in the
// source are UTF-8 and go through Ansi(); paths from the file system are converted at the edge.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// A UTF-8 text of the program (a caption, a message) in ANSI.
std::string Ansi(std::string_view utf8);
// A path as the system gives it (UTF-8 on Linux, ANSI on Windows) as ANSI text, and back.
std::string NativeToAnsi(std::string_view native);
std::string AnsiToNative(std::string_view ansi);
// A path as the system gives it as UTF-8, as the program's own texts are.
std::string NativeToUtf8(std::string_view native);

} // namespace quillon
