#pragma once
// The board's context menu as the logic sees it: items addressed by their
// command ids (session/control_ids.h), whose states are set through the
// Dialog port each time the menu opens, and the commands they run.

namespace kestrel {

struct Program;

// The items' states for the menu about to open: the level in use and the
// marks switched on checked, each command usable only where it acts
// ("ヒント" while a hint is offered, undo and redo on the player's turn
// against the computer, copy and save with a record at hand, opening while
// no game runs, the replay's steps in a replay), the recent games read
// from their file.
void updateBoardMenu(Program& program);

// A level of "コンピュータの強さ": the computer plays it from its next turn
// on. Saved at once; a failed save shows its error box.
void chooseLevelCommand(Program& program, int level);

// The check items of the marks: switch one over, shown at once; saved like
// a level.
void switchLegalMovesMarkCommand(Program& program);
void switchLastMoveMarkCommand(Program& program);

// Takes the preferences from their file beside the settings files.
void loadPreferences(Program& program);

} // namespace kestrel
