#pragma once
// The two routines that put the main window into a known phase, and the
// control states the window starts with.

namespace kestrel {

struct Program;

// Menu, buttons and radio buttons as they stand after a successful start:
// only Exit, Connect, Settings, Help and About usable, "先攻（黒）" checked.
void applyInitialControlStates(Program& program);

// The phase of a new game with the same opponent: order to be decided,
// chat emptied, the starting position shown.
void resetForNewGame(Program& program);

// The phase without an opponent: game controls disabled, board emptied;
// the chat stays readable.
void resetToUnconnected(Program& program);

} // namespace kestrel
