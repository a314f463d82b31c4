#pragma once
// The font of the main window and its boxes: the dialog font first, then
// its stand-in where that is not installed. Inline, so that the bare window
// of the start measurement (tools/measure) shows Japanese in the same font
// without linking the program's libraries.

#include <QFont>
#include <QString>

namespace kestrel {

inline QFont dialogFont()
{
    QFont font;
    font.setFamilies({QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    font.setPointSize(9);
    return font;
}

} // namespace kestrel
