#include "text/native_text.h"

#include "text/ansi_codepage.h"

namespace quillon {

std::string Ansi(std::string_view utf8) {
    return Utf8ToAnsi(utf8);
}

#ifdef _WIN32
std::string NativeToAnsi(std::string_view native) {
    return std::string(native);
}

std::string AnsiToNative(std::string_view ansi) {
    return std::string(ansi);
}

std::string NativeToUtf8(std::string_view native) {
    return AnsiToUtf8(native);
}
#else
std::string NativeToAnsi(std::string_view native) {
    return Utf8ToAnsi(native);
}

std::string AnsiToNative(std::string_view ansi) {
    return AnsiToUtf8(ansi);
}

std::string NativeToUtf8(std::string_view native) {
    return std::string(native);
}
#endif

} // namespace quillon
