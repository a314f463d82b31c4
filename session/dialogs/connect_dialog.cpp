#include "session/dialogs/connect_dialog.h"

#include "session/dialogs/dialog_controls.h"
#include "session/dialogs/dialog_ids.h"
#include "session/peers.h"
#include "session/program.h"
#include "text/cp932.h"
#include "wire/message_type.h"

namespace kestrel {

ConnectDialog::ConnectDialog(Program& program, DialogControls& controls, Timers& timers)
    : program_(program), controls_(controls), timers_(timers)
{
}

ConnectDialog::~ConnectDialog()
{
    // However the dialog ended (the program's exit closes it too), the peer
    // list must not go on writing into a list that is gone.
    if (program_.openConnectDialog == this)
        program_.openConnectDialog = nullptr;
    timers_.stop(kRefreshTimerId);
}

void ConnectDialog::initialise()
{
    program_.openConnectDialog = this;
    refreshActive_ = false;
    const PeerList& peers = program_.peers;
    for (int i = 0; i < peers.count; ++i)
        controls_.insertItem(dlg::kPeerList, i, peers.rows[static_cast<std::size_t>(i)].name);
    controls_.setText(dlg::kPortLabel, std::to_string(program_.settings.port));
    controls_.focus(dlg::kPeerList);
}

void ConnectDialog::onRefresh()
{
    if (!refreshActive_) {
        controls_.clearItems(dlg::kPeerList);
        PeerList& peers = program_.peers;
        for (int i = 0; i < peers.count; ++i)
            peers.rows[static_cast<std::size_t>(i)] = PeerEntry{};
        peers.count = 0;
    }
    refreshActive_ = true;
    timers_.start(kRefreshTimerId, kRefreshWindowMs); // a running one counts again from now
    sendToAll(program_, MSG_HELLO, announcementPayload(program_.settings));
    controls_.focus(dlg::kOk);
}

void ConnectDialog::onRefreshTimer(int id)
{
    if (id != kRefreshTimerId)
        return;
    timers_.stop(kRefreshTimerId);
    refreshActive_ = false;
}

void ConnectDialog::onOk()
{
    MatchState& match = program_.match;
    const int selected = controls_.selectedItem(dlg::kPeerList);
    // The list mirrors the peer list row for row; a position beyond it
    // names nobody.
    if (selected < 0 || selected >= program_.peers.count) {
        program_.dialog.showError(SJ("リストから選択して下さい"));
        return;
    }
    // A request accepted while the dialog was open has connected already.
    if (match.connected == 1) {
        program_.dialog.showError(SJ("すでに接続をしています"));
        return;
    }
    const PeerEntry& row = program_.peers.rows[static_cast<std::size_t>(selected)];
    match.connected = 1;
    match.opponentName = row.name;
    match.peerAddress = row.address;
    finish(1);
}

void ConnectDialog::onComputer()
{
    MatchState& match = program_.match;
    if (match.connected == 1)
        return;
    match.opponentName = SJ("コンピュータ");
    match.connected = 1;
    match.vsComputer = 1;
    match.peerAddress.clear();
    finish(1);
}

void ConnectDialog::onCancel()
{
    finish(0);
}

void ConnectDialog::finish(int accepted)
{
    if (program_.openConnectDialog == this)
        program_.openConnectDialog = nullptr;
    timers_.stop(kRefreshTimerId);
    program_.match.dialogAccepted = accepted;
    controls_.close();
}

void ConnectDialog::insertItem(int position, const std::string& name)
{
    controls_.insertItem(dlg::kPeerList, position, name);
}

void ConnectDialog::deleteItem(int position)
{
    controls_.deleteItem(dlg::kPeerList, position);
}

bool ConnectDialog::isSelected(int position) const
{
    return controls_.selectedItem(dlg::kPeerList) == position;
}

void ConnectDialog::select(int position)
{
    controls_.selectItem(dlg::kPeerList, position);
}

} // namespace kestrel
