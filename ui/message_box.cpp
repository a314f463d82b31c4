#include "ui/message_box.h"

#include <QGuiApplication>

#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

namespace kestrel {

std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString& caption,
                                            const std::string& text, QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(icon, caption, fromProgramText(text), buttons);
    box->setTextFormat(Qt::PlainText); // names and chat come from other players
    box->setFont(dialogFont());
    // Before the main window is shown the application has no icon yet.
    if (QGuiApplication::windowIcon().isNull())
        box->setWindowIcon(programIcon());
    box->setWindowModality(Qt::WindowModal);
    // After the modality: setting it resets the window flags of a message box.
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

QMessageBox::StandardButton runMessageBox(QMessageBox::Icon icon, const QString& caption,
                                          const std::string& text, QMessageBox::StandardButtons buttons)
{
    return static_cast<QMessageBox::StandardButton>(makeMessageBox(icon, caption, text, buttons)->exec());
}

} // namespace kestrel
