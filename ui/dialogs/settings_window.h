#pragma once
// The settings dialog on Qt: name, port, dial-up flag, desktop shortcut and
// the addresses a broadcast does not reach.

#include "session/dialogs/settings_dialog.h"
#include "ui/dialogs/dialog_window.h"

namespace kestrel {

struct Program;

class SettingsWindow final : public DialogWindow {
    Q_OBJECT
public:
    // Builds the dialog and fills it from the settings; `shortcut` is the
    // desktop shortcut as this desktop places it.
    SettingsWindow(Program& program, Shortcut shortcut);
    ~SettingsWindow() override;

    SettingsDialog& logic() { return logic_; }

private:
    SettingsDialog logic_;
};

// The shortcut of the running program on this desktop: the launcher path
// from the XDG user directories, and as finishing touches the icon file
// beside the executable and the desktop's trust mark (where gio is there).
Shortcut shortcutOnThisDesktop(const Settings& settings);

} // namespace kestrel
