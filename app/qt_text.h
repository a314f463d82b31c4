#pragma once
// Shift-JIS bytes <-> QString, for the widgets. Goes through the one codec.

#include <QString>
#include <string>

namespace kestrel {

QString toQString(const std::string& cp932);
std::string toCp932(const QString& text);

}  // namespace kestrel
