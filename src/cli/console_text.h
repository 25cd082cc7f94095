// Text between the console and the program: arguments arrive in the console's encoding
// (UTF-8 on Linux, ANSI on Windows) and messages leave as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quillon::cli {

// A command-line argument as ANSI registry text.
std::string ArgumentToAnsi(std::string_view argument);
// ANSI registry text as UTF-8 for a message.
std::string AnsiForDisplay(std::string_view ansi);
// Makes the console show UTF-8 messages (Windows); nothing elsewhere.
void PrepareConsole();

} // namespace quillon::cli
