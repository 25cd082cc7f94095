// Text from the program to the console: messages leave as UTF-8 (arguments arrive as paths
// do, and go through NativeToAnsi).
#pragma once

#include <string>
#include <string_view>

namespace quillon::cli {

// ANSI registry text as UTF-8 for a message.
std::string AnsiForDisplay(std::string_view ansi);
// Makes the console show UTF-8 messages (Windows); nothing elsewhere.
void PrepareConsole();

} // namespace quillon::cli
