#pragma once
// "待った" and "やり直し" against the computer. Undo takes back the player's
// last move together with the computer's replies (and the passes between)
// to the player's previous turn; redo plays them again as they were played.
// The position is shown at once, without animations or sounds. A new move
// after an undo drops the moves taken back.
//
// Both act only on the player's turn of a game against the computer that
// goes on, with no box or dialog open: never in a network game, never while
// the computer thinks or moves, never under a pass notice. Each command
// checks again when it runs (a key pressed during the computer's pause runs
// after it).

namespace kestrel {

struct Program;

bool undoOffered(const Program& program);
bool redoOffered(const Program& program);

void undoCommand(Program& program);
void redoCommand(Program& program);

} // namespace kestrel
