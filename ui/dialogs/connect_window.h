#pragma once
// The connect dialog on Qt: the list of known players, the port, "リスト更新"
// with its own precise timer, OK, the computer button and Cancel.

#include "platform/qt_timers.h"
#include "session/dialogs/connect_dialog.h"
#include "ui/dialogs/dialog_window.h"

namespace kestrel {

struct Program;

class ConnectWindow final : public DialogWindow {
    Q_OBJECT
public:
    // Builds the dialog and fills it; from here until it is destroyed the
    // peer list's changes show in its list.
    explicit ConnectWindow(Program& program);
    ~ConnectWindow() override;

    ConnectDialog& logic() { return logic_; }
    QtTimers& timers() { return timers_; }

private:
    QtTimers timers_;
    ConnectDialog logic_;
};

} // namespace kestrel
