#pragma once
// Text labels whose content changes (status line, counts, player names) are
// announced to screen readers as "role：content", so that "0" or a bare name
// is never read without saying what it is.

#include <QAccessible>
#include <QString>

class QLabel;

namespace kestrel {

// Gives the label its role name for assistive technology. The spoken name
// then follows the label's current text. `kind` is what it is to a reader:
// static text, or the window's status bar, which readers read on request.
void setAccessibleRole(QLabel* label, const QString& role, QAccessible::Role kind = QAccessible::StaticText);

} // namespace kestrel
