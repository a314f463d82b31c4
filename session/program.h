#pragma once
// The one program-wide record: match state, settings, peer list and pending
// table, and the platform it runs on. Created once by the program (or twice
// by a test that joins two of them with an in-memory network) and passed by
// reference to every handler.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "session/boxes.h"
#include "session/computer.h"
#include "session/game_records.h"
#include "session/peer_list.h"
#include "session/pending_table.h"
#include "session/ports.h"
#include "session/replay.h"
#include "settings/preferences.h"
#include "settings/settings.h"

namespace kestrel {

struct Program final : PeerLink, GameLog {
    Program(GameView& view, Dialog& dialog, Transport& transport, Timers& timers);
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
    // The game on the board or last played, kept move by move.
    KeptGame kept;
    // A record replayed on the board, while no game is running.
    std::optional<ShownReplay> replay;
    // The games behind the rows of "最近の対局" as the menu last showed them, newest first.
    std::vector<GameRecord> recentShown;
    // The marks the view was last told to show.
    MoveMarks marksShown;
    // A line for whoever runs the program (Shift-JIS), about what the
    // window does not show: a damaged recent-games file set aside. Standard
    // error unless replaced.
    std::function<void(const std::string& line)> note;

    GameView& view;
    Dialog& dialog;
    Transport& transport;
    Timers& timers;
    PeerListView* openConnectDialog = nullptr; // the open connect dialog's list, if any

    Game game() { return Game{match, view, *this, &computer, this}; }

    // PeerLink: the turn flow's messages to the opponent.
    void sendMove(int cell) override;
    void sendResult(const std::string& text) override;
    // GameLog: the moves and the end of the game on the board.
    void moved(int cell, Side side) override;
    void finished() override;
};

} // namespace kestrel
