#pragma once
// Every message box of the program, built one way: no owner and
// window-modal, so it blocks no window (datagrams, timers and board clicks
// go on being handled while it is open); top-most; in the dialog font;
// plain text, never markup, with the program's "\r\n" line breaks.

#include <QMessageBox>
#include <memory>
#include <string>

namespace kestrel {

// text: Shift-JIS bytes, as the program holds its texts.
std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString& caption,
                                            const std::string& text, QMessageBox::StandardButtons buttons);

// Builds the box and waits until it is closed; the button pressed.
QMessageBox::StandardButton runMessageBox(QMessageBox::Icon icon, const QString& caption,
                                          const std::string& text, QMessageBox::StandardButtons buttons);

} // namespace kestrel
