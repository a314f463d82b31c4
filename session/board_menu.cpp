#include "session/board_menu.h"

#include "engine/search/levels.h"
#include "session/control_ids.h"
#include "session/hint.h"
#include "session/program.h"
#include "settings/preferences.h"
#include "settings/settings_files.h"

namespace kestrel {

static_assert(ids::kMenuFirstLevel + search::kStrongestLevel < ids::kMenuLevelsEnd);

void updateBoardMenu(Program& program)
{
    const int level = program.computer.level();
    for (const search::Level& each : search::kLevels)
        program.dialog.setChecked(ids::kMenuFirstLevel + each.number, each.number == level);
    program.dialog.enable(ids::kMenuHint, hintOffered(program));
}

void chooseLevelCommand(Program& program, int level)
{
    if (!search::isLevel(level))
        return;
    program.preferences.level = level;
    const SaveResult saved = savePreferences(preferencesPath(program.settings), program.preferences);
    if (saved != SaveResult::Ok)
        program.dialog.showError(saveFailureText(saved));
}

void loadPreferences(Program& program)
{
    program.preferences = loadPreferences(preferencesPath(program.settings));
}

} // namespace kestrel
