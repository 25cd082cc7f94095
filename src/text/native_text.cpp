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
#else
std::string NativeToAnsi(std::string_view native) {
    return Utf8ToAnsi(native);
}

std::string AnsiToNative(std::string_view ansi) {
    return AnsiToUtf8(ansi);
}
#endif

} // namespace quillon
