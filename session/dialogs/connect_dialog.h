#pragma once
// The connect dialog's decisions: the list of known players in peer-list
// order, the refresh with its 30-second window, and the three ways out
// (a player chosen, the computer chosen, cancelled). The Qt dialog around it
// only forwards clicks and the timer.

#include "session/ports.h"

namespace kestrel {

struct Program;
class DialogControls;

// The dialog's own timer: how long a refresh keeps later refreshes from
// emptying the list again.
constexpr int kRefreshTimerId = 1000;
constexpr int kRefreshWindowMs = 30000;

class ConnectDialog final : public PeerListView {
public:
    // timers: the dialog's own (only kRefreshTimerId runs there).
    ConnectDialog(Program& program, DialogControls& controls, Timers& timers);
    ~ConnectDialog() override;
    ConnectDialog(const ConnectDialog&) = delete;
    ConnectDialog& operator=(const ConnectDialog&) = delete;

    // Fills the list and the port label and starts mirroring the peer list.
    void initialise();
    void onRefresh();            // "リスト更新"
    void onRefreshTimer(int id); // the dialog's timer ran out
    void onOk();                 // OK, and Enter
    void onComputer();           // "コンピュータと対戦する"
    void onCancel();             // Cancel and the close box

    bool refreshActive() const { return refreshActive_; }

    // PeerListView: the peer list's changes while the dialog is open.
    void insertItem(int position, const std::string& name) override;
    void deleteItem(int position) override;
    bool isSelected(int position) const override;
    void select(int position) override;

private:
    // Stops mirroring and the timer, then closes the dialog.
    void finish(int accepted);

    Program& program_;
    DialogControls& controls_;
    Timers& timers_;
    bool refreshActive_ = false;
};

} // namespace kestrel
