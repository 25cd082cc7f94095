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

QStringList NameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    return filters;
}

} // namespace quillon::gui
