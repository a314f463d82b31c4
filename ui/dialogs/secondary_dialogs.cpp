#include "ui/dialogs/secondary_dialogs.h"

#include <QWidget>

#include "platform/desktop.h"
#include "session/program.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/connect_window.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/settings_window.h"

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

bool QtSecondaryDialogs::raiseOpenDialog()
{
    if (!open_)
        return false;
    if (open_->isMinimized())
        open_->setWindowState(open_->windowState() & ~Qt::WindowMinimized);
    open_->raise();
    open_->activateWindow();
    return true;
}

void QtSecondaryDialogs::closeForExit()
{
    ended_ = true;
    if (open_)
        open_->reject();
}

void QtSecondaryDialogs::run(DialogWindow& window)
{
    open_ = &window;
    window.run(anchor_);
    open_ = nullptr;
}

} // namespace kestrel
