// The window's ANSI texts as Qt strings and back.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace quillon::gui {

QString FromAnsi(const std::string& ansi);
std::string ToAnsi(const QString& text);
// A path as the system spells it.
QString FromNative(const std::string& native);
std::string ToNative(const QString& path);
// "description|pattern;pattern|description|pattern" as Qt's name filters: "description (pattern
// pattern)".
QStringList NameFilters(const QString& filter);

} // namespace quillon::gui
