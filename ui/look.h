#pragma once
// The look every window of the program shares: the dialog font, and the
// dialog units its layouts are given in. Inline, so that the bare window of
// the start measurement (tools/measure) shows Japanese in the same font
// without linking the program's libraries. The texts go through
// ui/qt_text.h, the icon comes from ui/resources.h.

#include <QFont>
#include <QRect>
#include <QString>

namespace kestrel {

// The dialog font first, then its stand-in where that is not installed.
inline QFont dialogFont()
{
    QFont font;
    font.setFamilies({QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    font.setPointSize(9);
    return font;
}

// Dialog units of the 9-point dialog font to pixels (base units 7 x 12 at 96 dpi).
constexpr QRect fromDialogUnits(int x, int y, int width, int height)
{
    return QRect(x * 7 / 4, y * 12 / 8, width * 7 / 4, height * 12 / 8);
}

} // namespace kestrel
