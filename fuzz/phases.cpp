#include "fuzz/phases.h"

#include <algorithm>

#include "engine/turn_flow.h"
#include "session/commands.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/peers.h"
#include "session/pending.h"
#include "session/receive.h"
#include "session/send.h"
#include "tests/support/board_builder.h"
#include "wire/address.h"
#include "wire/message_type.h"

namespace kestrel::fuzzing {
namespace {

using testing::FakeMachine;
using testing::FakeSecondaryDialogs;

// A fresh record after the start: settings read, announced, two players listed.
void start(FakeMachine& m)
{
    m.program.settings.playerName = "taro";
    m.program.settings.loginUserName = "taro";
    m.program.match.broadcastAddress = "10.0.0.255";
    applyInitialControlStates(m.program);
    sendToAll(m.program, MSG_HELLO, announcementPayload(m.program.settings));
    receiveDatagram(m.program, "1|2|hanako$0", kOpponent);
    receiveDatagram(m.program, "1|2|jiro$1", kListed);
}

// The latest datagram this record sent, as the peer will answer it.
std::string lastSeq(const FakeMachine& m)
{
    return std::to_string(m.program.match.nextSeq);
}

void requestOpponent(FakeMachine& m)
{
    FakeSecondaryDialogs dialogs;
    dialogs.onConnect = [&] {
        MatchState& match = m.program.match;
        match.connected = 1;
        match.opponentName = "hanako";
        match.peerAddress = addressText(kOpponent);
        match.dialogAccepted = 1;
    };
    connectCommand(m.program, dialogs);
}

void accepted(FakeMachine& m)
{
    requestOpponent(m);
    receiveDatagram(m.program, "5|5|" + lastSeq(m), kOpponent);
}

void orderDecided(FakeMachine& m, Side side)
{
    accepted(m);
    m.choose(side);
    decideOrderCommand(m.program);
    receiveDatagram(m.program, "6|12|" + lastSeq(m), kOpponent);
}

// The opponent's move, as it sends it: on its own board, turned by 180 degrees.
void opponentMoves(FakeMachine& m, int seq)
{
    MatchState& match = m.program.match;
    const std::vector<int> cells = testing::legalCells(match, 3 - match.mySide);
    if (!cells.empty())
        receiveDatagram(m.program, std::to_string(seq) + "|17|" + std::to_string(63 - cells.back()),
                        kOpponent);
}

// Black (us) started the game; `moves` moves each are made and answered.
void playing(FakeMachine& m, Side side, int moves, bool lastUnanswered)
{
    orderDecided(m, side);
    if (side == kBlack) {
        gameStartCommand(m.program);
        receiveDatagram(m.program, "7|14|" + lastSeq(m), kOpponent);
    } else {
        receiveDatagram(m.program, "7|13|game start", kOpponent);
        opponentMoves(m, 8);
    }
    for (int i = 0; i < moves; ++i) {
        MatchState& match = m.program.match;
        const std::vector<int> cells = testing::legalCells(match, match.mySide);
        if (cells.empty())
            break;
        m.click(cells.front());
        if (lastUnanswered && i + 1 == moves)
            break;
        receiveDatagram(m.program, std::to_string(20 + 2 * i) + "|18|" + lastSeq(m), kOpponent);
        opponentMoves(m, 21 + 2 * i);
    }
}

void vsComputer(FakeMachine& m)
{
    FakeSecondaryDialogs dialogs;
    dialogs.onConnect = [&] {
        MatchState& match = m.program.match;
        match.connected = 1;
        match.vsComputer = 1;
        match.opponentName = "computer";
        match.dialogAccepted = 1;
    };
    connectCommand(m.program, dialogs);
    m.choose(kBlack);
    decideOrderCommand(m.program);
    gameStartCommand(m.program);
    m.click(19);
}

Phase snapshot(const char* name, const FakeMachine& m)
{
    Phase phase;
    phase.name = name;
    phase.match = m.program.match;
    phase.settings = m.program.settings;
    phase.peers = m.program.peers;
    phase.pending = m.program.pending;
    phase.runningTimers = m.timers.running;
    return phase;
}

std::vector<Phase> buildPhases()
{
    std::vector<Phase> phases;
    auto add = [&](const char* name, auto drive) {
        FakeMachine m;
        start(m);
        drive(m);
        phases.push_back(snapshot(name, m));
    };
    add("unconnected", [](FakeMachine&) {});
    add("awaiting answer", [](FakeMachine& m) { requestOpponent(m); });
    add("choosing order", [](FakeMachine& m) { accepted(m); });
    add("order decided", [](FakeMachine& m) { orderDecided(m, kBlack); });
    add("playing black", [](FakeMachine& m) { playing(m, kBlack, 8, false); });
    add("playing white, move unanswered", [](FakeMachine& m) { playing(m, kWhite, 9, true); });
    add("against the computer", [](FakeMachine& m) { vsComputer(m); });
    add("connect dialog, full peer list", [](FakeMachine& m) {
        for (int i = 0; static_cast<int>(m.program.peers.count) < PeerList::kRows; ++i)
            receiveDatagram(m.program, "1|2|p" + std::to_string(i) + "$" + std::to_string(i % 2),
                            testing::ip(10, 0, 4 + i / 250, 1 + i % 250));
    });
    add("full pending table", [](FakeMachine& m) {
        playing(m, kBlack, 4, false);
        for (int i = 0; i < PendingTable::kSlots; ++i)
            sendDatagram(m.program, m.program.match.peerAddress, MSG_CHAT, "line " + std::to_string(i));
    });
    Phase& dialog = phases[7];
    dialog.connectDialogOpen = true;
    for (int i = 0; i < dialog.peers.count; ++i)
        dialog.listItems.push_back(dialog.peers.rows[static_cast<std::size_t>(i)].name);
    dialog.selected = 5;
    return phases;
}

} // namespace

const std::vector<Phase>& allPhases()
{
    static const std::vector<Phase> phases = buildPhases();
    return phases;
}

void restorePhase(const Phase& phase, Program& program, std::set<int>& timers)
{
    program.match = phase.match;
    program.settings = phase.settings;
    const int rows = std::max(program.peers.count, phase.peers.count);
    for (int i = 0; i < rows; ++i)
        program.peers.rows[static_cast<std::size_t>(i)] = phase.peers.rows[static_cast<std::size_t>(i)];
    program.peers.count = phase.peers.count;
    for (std::size_t i = 0; i < program.pending.slots.size(); ++i)
        if (program.pending.slots[i].seq != 0 || phase.pending.slots[i].seq != 0)
            program.pending.slots[i] = phase.pending.slots[i];
    program.boxes = OpenBoxes{};
    program.openConnectDialog = nullptr;
    if (timers != phase.runningTimers)
        timers = phase.runningTimers;
}

} // namespace kestrel::fuzzing
