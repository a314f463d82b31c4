#pragma once
// The last finished games, kept by themselves in one file beside the
// settings files, so that a game is never lost to a crash or a forgotten
// save. The file is replaced whole on every change (settings/file_io.h):
// it holds the old list or the new one, never a torn one. A file in its
// place that is not exactly such a list is not trusted: it is set aside
// under another name, never deleted, and the player is told in one line.
//
// The file, UTF-8: a first line naming it, then per game (oldest first) an
// empty line and the game's labelled lines (record_lines.h), then an empty
// line and "以上" closing the list:
//   kestrelbay 最近の対局 1
//
//   日時: 2024-05-01 21:07
//   ...
//   棋譜: f5d6c3d3c4f4...
//
//   以上

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/game_record.h"
#include "settings/settings_files.h"

namespace kestrel {

inline constexpr const char* kRecentGamesFileName = "kestrelbay-games.txt";
inline constexpr std::string_view kRecentGamesFirstLine = "kestrelbay 最近の対局 1";
inline constexpr std::size_t kRecentGamesCap = 100;
// Far above what 100 games take; a larger file is not one of ours.
inline constexpr std::size_t kRecentGamesSizeLimit = 1 << 20;

// The file in `folder` (the folder of the settings files).
std::string recentGamesPath(const std::string& folder);

std::string recentGamesBytes(std::span<const GameRecord> games);

// The games of such a file, oldest first; nothing when the bytes are not
// exactly such a file: another first line, a missing or repeated field, a
// value that cannot be read, a transcript that does not replay, more than
// 100 games, or no closing line (a file cut short).
std::optional<std::vector<GameRecord>> readRecentGamesBytes(std::string_view bytes);

struct RecentGames {
    std::vector<GameRecord> games; // oldest first; empty when the file was not used
    // One line for the player, Shift-JIS, when the file was set aside or
    // could not be read; empty otherwise.
    std::string notice;
    // False when a file that cannot be read, or could not be set aside,
    // stands in the file's place: it must not be written over.
    bool writable = true;
};

// Reads the list. A missing file is an empty list. A file that is not a
// list is renamed to "<name>.damaged" (or ".damaged-2", "-3", ... when that
// name is taken) and the list is empty.
RecentGames loadRecentGames(const std::string& folder);

struct RecentGameSave {
    SaveResult result = SaveResult::Ok;
    std::string notice; // as RecentGames::notice
};

// Adds a finished game to the list as the file holds it now, drops the
// oldest beyond 100 and replaces the file. Creates the folder when missing.
// A record whose moves do not replay is refused (WriteFailed), so that a
// written list always reads back.
RecentGameSave addRecentGame(const std::string& folder, const GameRecord& game);

// One row of the "最近の対局" menu.
struct RecentGameEntry {
    std::size_t index = 0; // into the list, oldest first
    std::string label;     // Shift-JIS: "2024-05-01 21:07  コンピュータ  黒の勝ちです 40-24"
};

// The rows, newest game first.
std::vector<RecentGameEntry> recentGameEntries(std::span<const GameRecord> games);

} // namespace kestrel
