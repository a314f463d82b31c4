#pragma once
// What the player chooses from the board's context menu, kept between runs
// in a small file of its own beside the two settings files, which it never
// touches. The file is replaced whole on every change (settings/file_io.h).
//
// The file, ASCII text: a first line naming it, then one "key=value" line
// per choice:
//   kestrelbay preferences 1
//   level=2
//   mark-legal-moves=0
//   mark-last-move=0
// A missing file, or one whose first line is another, gives the defaults;
// a line that cannot be read, or a key not known here, is passed over, so
// each choice it holds well is kept.

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace kestrel {

enum class SaveResult;

inline constexpr const char* kPreferencesFileName = "kestrelbay-preferences.txt";
inline constexpr std::string_view kPreferencesFirstLine = "kestrelbay preferences 1";
// Far above what the choices take; a larger file is not one of ours.
inline constexpr std::size_t kPreferencesSizeLimit = 4096;

struct Preferences {
    // The computer's level, as numbered by the levels of the search (0 is the
    // program's own player). Read as 0-99; the program checks the number.
    int level = 0;
    // The board's two marks: the cells the player may play, the last move.
    bool markLegalMoves = false;
    bool markLastMove = false;

    bool operator==(const Preferences&) const = default;
};

// The folder of the settings files ("<folder>/"; empty when settingsFilePath
// names no folder), where the program's other files lie beside them.
std::string settingsFolder(const Settings& settings);

// The file beside the settings files.
std::string preferencesPath(const Settings& settings);

std::string preferencesBytes(const Preferences& preferences);
Preferences readPreferencesBytes(std::string_view bytes);

// The preferences in the file at path; the defaults when it is missing,
// unreadable, larger than kPreferencesSizeLimit or not such a file.
Preferences loadPreferences(const std::string& path);

// Replaces the file at path, all or nothing, making its folder first when
// it is missing (readable by the player only).
SaveResult savePreferences(const std::string& path, const Preferences& preferences);

} // namespace kestrel
