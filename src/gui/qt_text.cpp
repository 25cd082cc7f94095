#include "gui/qt_text.h"

#include "text/ansi_codepage.h"
#include "text/native_text.h"

namespace quillon::gui {

QString FromAnsi(const std::string& ansi) {
    return QString::fromStdString(AnsiToUtf8(ansi));
}

std::string ToAnsi(const QString& text) {
    return Utf8ToAnsi(text.toStdString());
}

QString FromNative(const std::string& native) {
    return FromAnsi(NativeToAnsi(native));
}

std::string ToNative(const QString& path) {
    return AnsiToNative(ToAnsi(path));
}

} // namespace quillon::gui
