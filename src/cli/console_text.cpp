#include "cli/console_text.h"

#include "text/ansi_codepage.h"

#include <ostream>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quillon::cli {

#ifdef _WIN32
std::string AnsiForDisplay(std::string_view ansi) {
    if (ansi.empty()) {
        return {};
    }
    const int size = static_cast<int>(ansi.size());
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), static_cast<int>(wide.size()));
    const int wideSize = static_cast<int>(wide.size());
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
}
#else
std::string AnsiForDisplay(std::string_view ansi) {
    return AnsiToUtf8(ansi);
}

void PrepareConsole() {}
#endif

std::function<void(const std::string& step)> StepsOnTerminal(std::ostream& err) {
#ifdef _WIN32
    (void)err;
    return {};
#else
    if (::isatty(STDERR_FILENO) == 0) {
        return {};
    }
    // Back to the line's start, and the line cleared (a terminal's control sequence).
    constexpr const char* kClearLine = "\r\033[K";
    return [&err](const std::string& step) { err << kClearLine << step << std::flush; };
#endif
}

} // namespace quillon::cli
