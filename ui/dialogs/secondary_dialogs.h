#pragma once
// The main window's four dialogs on Qt: each opens when its command asks,
// one at a time, and returns when it has closed.

#include <QFileDialog>
#include <QPointer>
#include <functional>
#include <string>

#include "session/ports.h"
#include "ui/dialogs/dialog_window.h"

class QWidget;

namespace kestrel {

struct Program;

class QtSecondaryDialogs final : public SecondaryDialogs {
public:
    // anchor: the main window's client area, where the dialogs open.
    QtSecondaryDialogs(Program& program, QWidget* anchor);

    void runConnectDialog() override;
    void runSettingsDialog() override;
    void runHelpDialog() override;
    void runAboutDialog() override;
    // Qt's own file dialog (the same on every desktop), parentless and
    // modal to no window like the others, in the folder last used.
    std::string runSaveRecordDialog(const std::string& suggestedName) override;
    std::string runOpenRecordDialog() override;
    bool raiseOpenDialog() override;

    // The program is ending: the open dialog closes as by its close box,
    // and no dialog opens any more.
    void closeForExit();

    // The dialog open now, or nullptr.
    DialogWindow* openDialog() const { return open_; }
    QFileDialog* openFileDialog() const { return openFile_; }

    // How the about dialog's mail button reaches the desktop.
    std::function<bool(const std::string& link)> openLink;

private:
    void run(DialogWindow& window);
    std::string runFileDialog(QFileDialog& dialog);

    Program& program_;
    QPointer<QWidget> anchor_;
    QPointer<DialogWindow> open_;
    QPointer<QFileDialog> openFile_;
    QString recordFolder_; // where the last record was saved or opened
    bool ended_ = false;
};

} // namespace kestrel
