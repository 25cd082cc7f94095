#include "cli/console_text.h"

#include "text/ansi_codepage.h"
#ifdef _WIN32
#include <windows.h>
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

} // namespace quillon::cli
