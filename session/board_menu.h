#pragma once
// The board's context menu as the logic sees it: items addressed by their
// command ids (session/control_ids.h), whose states are set through the
// Dialog port each time the menu opens, and the commands they run.

namespace kestrel {

struct Program;

// The items' states for the menu about to open: the level in use checked,
// "ヒント" usable only while a hint is offered.
void updateBoardMenu(Program& program);

// A level of "コンピュータの強さ": the computer plays it from its next turn
// on. Saved at once; a failed save shows its error box.
void chooseLevelCommand(Program& program, int level);

// Takes the preferences from their file beside the settings files.
void loadPreferences(Program& program);

} // namespace kestrel
