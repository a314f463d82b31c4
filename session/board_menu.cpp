#include "session/board_menu.h"

#include "engine/search/levels.h"
#include "records/recent_games.h"
#include "session/control_ids.h"
#include "session/game_records.h"
#include "session/hint.h"
#include "session/marks.h"
#include "session/program.h"
#include "session/replay.h"
#include "session/take_back.h"
#include "settings/preferences.h"
#include "settings/settings_files.h"

namespace kestrel {

static_assert(ids::kMenuFirstLevel + search::kStrongestLevel < ids::kMenuLevelsEnd);
static_assert(ids::kMenuFirstRecent + static_cast<int>(kRecentGamesCap) <= ids::kMenuRecentEnd);

namespace {

// A failed save shows its error box; the choice stands for this run.
void savePreferencesOf(Program& program)
{
    const SaveResult saved = savePreferences(preferencesPath(program.settings), program.preferences);
    if (saved != SaveResult::Ok)
        program.dialog.showError(saveFailureText(saved));
}

void updateRecordItems(Program& program)
{
    Dialog& dialog = program.dialog;
    const bool atHand = recordAtHand(program) != nullptr;
    dialog.enable(ids::kMenuCopyRecord, atHand);
    dialog.enable(ids::kMenuSaveRecord, atHand);
    const bool allowed = replayAllowed(program);
    dialog.enable(ids::kMenuOpenRecord, allowed);
    // The file is read only when its games can be opened.
    const std::vector<std::string> rows = allowed ? recentGameRows(program) : std::vector<std::string>{};
    if (!allowed)
        program.recentShown.clear();
    for (int id = ids::kMenuFirstRecent; id < ids::kMenuRecentEnd; ++id) {
        const auto row = static_cast<std::size_t>(id - ids::kMenuFirstRecent);
        dialog.setText(id, row < rows.size() ? rows[row] : std::string()); // empty: not shown
    }
    dialog.enable(ids::kMenuRecentGames, !rows.empty());

    const ShownReplay* shown = program.replay ? &*program.replay : nullptr;
    const bool atStart = shown == nullptr || shown->shown == 0;
    const bool atEnd = shown == nullptr || shown->shown == shown->replay.steps.size();
    dialog.enable(ids::kMenuReplayFirst, !atStart);
    dialog.enable(ids::kMenuReplayBack, !atStart);
    dialog.enable(ids::kMenuReplayForward, !atEnd);
    dialog.enable(ids::kMenuReplayLast, !atEnd);
    dialog.enable(ids::kMenuReplayLeave, shown != nullptr);
}

} // namespace

void updateBoardMenu(Program& program)
{
    Dialog& dialog = program.dialog;
    const int level = program.computer.level();
    for (const search::Level& each : search::kLevels)
        dialog.setChecked(ids::kMenuFirstLevel + each.number, each.number == level);
    dialog.enable(ids::kMenuHint, hintOffered(program));
    dialog.enable(ids::kMenuUndo, undoOffered(program));
    dialog.enable(ids::kMenuRedo, redoOffered(program));
    dialog.setChecked(ids::kMenuMarkLegalMoves, program.preferences.markLegalMoves);
    dialog.setChecked(ids::kMenuMarkLastMove, program.preferences.markLastMove);
    updateRecordItems(program);
}

void chooseLevelCommand(Program& program, int level)
{
    if (!search::isLevel(level))
        return;
    program.preferences.level = level;
    savePreferencesOf(program);
}

void switchLegalMovesMarkCommand(Program& program)
{
    program.preferences.markLegalMoves = !program.preferences.markLegalMoves;
    updateMarks(program);
    savePreferencesOf(program);
}

void switchLastMoveMarkCommand(Program& program)
{
    program.preferences.markLastMove = !program.preferences.markLastMove;
    updateMarks(program);
    savePreferencesOf(program);
}

void loadPreferences(Program& program)
{
    program.preferences = loadPreferences(preferencesPath(program.settings));
    updateMarks(program);
}

} // namespace kestrel
