#pragma once
// A game record replayed on the board while no game is running: the
// position after any number of its moves, shown at once with its counts,
// the names by colour and the move number in the status line. Stepping
// plays nothing and sends nothing. The replay ends by its menu item (or
// Escape on the board), and when a game begins: the board then shows again
// what it showed before. A reset of the board (a new opponent, the end of a
// game or of the connection) ends it as well.

#include <cstddef>
#include <string>

#include "engine/transcript.h"
#include "records/game_record.h"

namespace kestrel {

struct Program;

struct ShownReplay {
    GameRecord record;
    Replay replay;         // the positions of its moves
    std::size_t shown = 0; // moves played on the position shown
    // What the board showed before, put back when the replay ends.
    Board board{};
    std::string status;
    std::string blackName;
    std::string whiteName;
};

// No game is running: no network opponent (none asked either) and no game
// against the computer whose order has been decided and that has not ended.
bool replayAllowed(const Program& program);

// Shows `record` (whose moves replay) at its start position, in place of
// the replay shown, if any. Does nothing while a game is running.
void showReplay(Program& program, const GameRecord& record);

enum class ReplayJump { First, Back, Forward, Last };
// Moves the replay shown; nothing happens without one, or at its ends.
void stepReplay(Program& program, ReplayJump step);

// Ends the replay shown, putting back the board, counts, status line and
// names it replaced.
void leaveReplay(Program& program);

} // namespace kestrel
