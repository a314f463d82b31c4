#pragma once
// The board's two marks, each switched on from the board's menu and kept in
// the preferences: the cells the player may play on the player's turn, and
// the last move made (by either side; in a replay, the last move shown).

#include "engine/game_view.h"

namespace kestrel {

struct Program;

// The marks the board should show now.
MoveMarks marksWanted(const Program& program);

// Tells the view when the marks it shows are no longer the ones wanted.
// Run after everything that may change them: a move, a turn, a reset, a
// switch, undo and redo, a replay's step.
void updateMarks(Program& program);

} // namespace kestrel
