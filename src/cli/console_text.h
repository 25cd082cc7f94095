// Text from the program to the console: messages leave as UTF-8 (arguments arrive as paths
// do, and go through NativeToAnsi).
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace quillon::cli {

// ANSI registry text as UTF-8 for a message.
std::string AnsiForDisplay(std::string_view ansi);
// Makes the console show UTF-8 messages (Windows); nothing elsewhere.
void PrepareConsole();

// Shows each step of a long work on one line of a terminal, overwritten by the next (an empty
// step clears the line); nothing (an empty function) when stderr is a file or a pipe, whose
// reader wants the messages only.
std::function<void(const std::string& step)> StepsOnTerminal(std::ostream& err);

} // namespace quillon::cli
