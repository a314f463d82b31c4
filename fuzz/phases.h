#pragma once
// Program records driven into each phase a datagram can meet, by the real
// commands and handlers on the recording fakes, kept as plain data so that a
// fuzz target can put a record back into any of them before every input.

#include <set>
#include <string>
#include <vector>

#include "session/program.h"
#include "tests/support/fake_machine.h"

namespace kestrel::fuzzing {

// What a record holds besides its fakes, and the fakes' state that matters.
struct Phase {
    const char* name = "";
    MatchState match;
    Settings settings;
    PeerList peers;
    PendingTable pending;
    std::set<int> runningTimers;
    bool connectDialogOpen = false;
    std::vector<std::string> listItems; // the open connect dialog's list
    int selected = -1;
};

// The machines' addresses: this one, the opponent, a second listed player.
constexpr Ipv4 kSelf = testing::ip(10, 0, 0, 1);
constexpr Ipv4 kOpponent = testing::ip(10, 0, 0, 2);
constexpr Ipv4 kListed = testing::ip(10, 0, 0, 3);

// Unconnected; waiting for an answer; choosing the order; order decided
// (black); playing black mid-game; playing white mid-game, the move sent
// and not yet answered; a game against the computer; an open connect dialog
// with a full peer list; a full pending table in a game.
const std::vector<Phase>& allPhases();

// Puts a record into the phase; `timers` are the ids of its running timers.
// Only what differs is copied (rows past both counts are empty in both).
void restorePhase(const Phase& phase, Program& program, std::set<int>& timers);

} // namespace kestrel::fuzzing
