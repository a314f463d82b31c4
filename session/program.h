#pragma once
// The one program-wide record: match state, settings, peer list and pending
// table, and the platform it runs on. Created once by the program (or twice
// by a test that joins two of them with an in-memory network) and passed by
// reference to every handler.

#include "engine/game.h"
#include "session/boxes.h"
#include "session/computer.h"
#include "session/peer_list.h"
#include "session/pending_table.h"
#include "session/ports.h"
#include "settings/preferences.h"
#include "settings/settings.h"

namespace kestrel {

struct Program final : PeerLink {
    Program(GameView& view, Dialog& dialog, Transport& transport, Timers& timers)
        : view(view), dialog(dialog), transport(transport), timers(timers)
    {
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    MatchState match;
    Settings settings;
    PeerList peers;
    PendingTable pending;
    OpenBoxes boxes; // the boxes datagrams have opened and that are open now
    // The choices of the board's context menu, kept in their own file.
    Preferences preferences;
    // The computer above level 0 and the hint; thinks on a thread of its own.
    Computer computer{preferences};

    GameView& view;
    Dialog& dialog;
    Transport& transport;
    Timers& timers;
    PeerListView* openConnectDialog = nullptr; // the open connect dialog's list, if any

    Game game() { return Game{match, view, *this, &computer}; }

    // PeerLink: the turn flow's messages to the opponent.
    void sendMove(int cell) override;
    void sendResult(const std::string& text) override;
};

} // namespace kestrel
