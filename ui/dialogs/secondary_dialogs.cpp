#include "ui/dialogs/secondary_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "platform/desktop.h"
#include "session/program.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/connect_window.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/settings_window.h"
#include "ui/look.h"

namespace kestrel {

QtSecondaryDialogs::QtSecondaryDialogs(Program& program, QWidget* anchor)
    : openLink(openWithDesktop), program_(program), anchor_(anchor)
{
}

void QtSecondaryDialogs::runConnectDialog()
{
    if (ended_)
        return;
    ConnectWindow window(program_);
    run(window);
}

void QtSecondaryDialogs::runSettingsDialog()
{
    if (ended_)
        return;
    SettingsWindow window(program_, shortcutOnThisDesktop(program_.settings));
    run(window);
}

void QtSecondaryDialogs::runHelpDialog()
{
    if (ended_)
        return;
    HelpWindow window;
    run(window);
}

void QtSecondaryDialogs::runAboutDialog()
{
    if (ended_)
        return;
    AboutWindow window(program_.dialog, openLink);
    run(window);
}

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

void prepare(QFileDialog& dialog, const QString& folder)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setFont(dialogFont());
    dialog.setDirectory(folder.isEmpty() ? QDir::homePath() : folder);
    dialog.setNameFilters({utf8("棋譜 (*.txt)"), utf8("すべてのファイル (*)")});
}

} // namespace

std::string QtSecondaryDialogs::runSaveRecordDialog(const std::string& suggestedName)
{
    if (ended_)
        return {};
    QFileDialog dialog(nullptr, utf8("棋譜を保存"));
    prepare(dialog, recordFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QFile::decodeName(suggestedName.c_str()));
    return runFileDialog(dialog);
}

std::string QtSecondaryDialogs::runOpenRecordDialog()
{
    if (ended_)
        return {};
    QFileDialog dialog(nullptr, utf8("棋譜を開く"));
    prepare(dialog, recordFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

std::string QtSecondaryDialogs::runFileDialog(QFileDialog& dialog)
{
    openFile_ = &dialog;
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    openFile_ = nullptr;
    if (!chosen)
        return {};
    const QString path = dialog.selectedFiles().front();
    recordFolder_ = QFileInfo(path).absolutePath();
    return QFile::encodeName(path).toStdString();
}

bool QtSecondaryDialogs::raiseOpenDialog()
{
    QDialog* open = open_ ? static_cast<QDialog*>(open_.data()) : openFile_.data();
    if (open == nullptr)
        return false;
    if (open->isMinimized())
        open->setWindowState(open->windowState() & ~Qt::WindowMinimized);
    open->raise();
    open->activateWindow();
    return true;
}

void QtSecondaryDialogs::closeForExit()
{
    ended_ = true;
    if (open_)
        open_->reject();
    if (openFile_)
        openFile_->reject();
}

void QtSecondaryDialogs::run(DialogWindow& window)
{
    open_ = &window;
    window.run(anchor_);
    open_ = nullptr;
}

} // namespace kestrel
