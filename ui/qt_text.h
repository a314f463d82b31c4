#pragma once
// Shift-JIS bytes <-> QString, for the widgets. Goes through the one codec.

#include <QString>
#include <string>

namespace kestrel {

QString toQString(const std::string& cp932);
std::string toCp932(const QString& text);

// The program's texts carry line breaks as "\r\n", as other copies of the
// program send them; edits, labels and boxes show them as Qt does ("\n").
QString fromProgramText(const std::string& cp932);
std::string toProgramText(QString text);

} // namespace kestrel
