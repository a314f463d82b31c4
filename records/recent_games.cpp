#include "records/recent_games.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

#include "engine/transcript.h"
#include "records/record_lines.h"
#include "settings/file_io.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

constexpr std::string_view kClosingLine = "以上";

// The game of one block's fields; nothing unless every field was given and
// the transcript is one this program wrote and it replays.
std::optional<GameRecord> gameOfFields(const RecordFields& fields)
{
    if (!hasAllFields(fields))
        return std::nullopt;
    GameRecord game = recordOfFields(fields);
    if (!fields.transcript->empty()) {
        TranscriptReading moves = readTranscript(*fields.transcript);
        if (moves.fault || transcriptText(moves.cells) != *fields.transcript)
            return std::nullopt;
        game.moves = std::move(moves.cells);
    }
    return game;
}

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size())
        lines.push_back(lineAt(text, pos));
    return lines;
}

// Renames the file at path to the first free "<path>.damaged", "-2", ...
// without ever replacing a file. The new name, or nothing.
std::optional<std::string> setAside(const std::string& path)
{
    for (int n = 1; n <= 1000; ++n) {
        const std::string target = path + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return target;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return std::nullopt;
        // A file system without RENAME_NOREPLACE.
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0)
            continue;
        return ::rename(path.c_str(), target.c_str()) == 0 ? std::optional(target) : std::nullopt;
    }
    return std::nullopt;
}

std::string fileMessage(const std::string& path, const std::string& what)
{
    return toCp932("最近の対局のファイル " + path + " " + what);
}

} // namespace

std::string recentGamesPath(const std::string& folder)
{
    if (folder.empty())
        return kRecentGamesFileName;
    return folder.ends_with('/') ? folder + kRecentGamesFileName : folder + "/" + kRecentGamesFileName;
}

std::string recentGamesBytes(std::span<const GameRecord> games)
{
    std::string bytes = std::string(kRecentGamesFirstLine) + "\n";
    for (const GameRecord& game : games)
        bytes += "\n" + recordLines(game);
    return bytes + "\n" + std::string(kClosingLine) + "\n";
}

std::optional<std::vector<GameRecord>> readRecentGamesBytes(std::string_view bytes)
{
    if (!bytes.ends_with('\n'))
        return std::nullopt;
    const std::vector<std::string_view> lines = linesOf(bytes);
    if (lines.size() < 3 || lines.front() != kRecentGamesFirstLine || lines.back() != kClosingLine ||
        !lines[lines.size() - 2].empty())
        return std::nullopt;
    const std::size_t closing = lines.size() - 1;
    std::vector<GameRecord> games;
    std::size_t i = 1;
    // Each game, and the closing line, after an empty line.
    while (i < closing) {
        if (!lines[i].empty())
            return std::nullopt;
        if (++i == closing)
            break;
        RecordFields fields;
        for (; i < closing && !lines[i].empty(); ++i)
            if (readRecordLine(fields, lines[i]) != RecordLineKind::Field)
                return std::nullopt;
        std::optional<GameRecord> game = gameOfFields(fields);
        if (!game || games.size() == kRecentGamesCap)
            return std::nullopt;
        games.push_back(std::move(*game));
    }
    return games;
}

RecentGames loadRecentGames(const std::string& folder)
{
    const std::string path = recentGamesPath(folder);
    RecentGames recent;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT)
            return recent; // no game kept yet
        recent.writable = false;
        recent.notice = fileMessage(path, "を読むことができません");
        return recent;
    }
    if (S_ISREG(st.st_mode)) {
        const std::optional<std::string> bytes = readFilePrefix(path, kRecentGamesSizeLimit + 1);
        if (!bytes) {
            recent.writable = false;
            recent.notice = fileMessage(path, "を読むことができません");
            return recent;
        }
        std::optional<std::vector<GameRecord>> games;
        if (bytes->size() <= kRecentGamesSizeLimit)
            games = readRecentGamesBytes(*bytes);
        if (games) {
            recent.games = std::move(*games);
            return recent;
        }
    }
    // Someone else's file, or ours damaged: kept for a person to look at,
    // but nothing is taken from it.
    if (const std::optional<std::string> aside = setAside(path)) {
        recent.notice = fileMessage(path, "は読めない内容のため " + *aside + " に移しました");
    } else {
        recent.writable = false;
        recent.notice = fileMessage(path, "は読めない内容ですが、別の名前に移せませんでした");
    }
    return recent;
}

RecentGameSave addRecentGame(const std::string& folder, const GameRecord& game)
{
    if (!isCompleteRecord(game))
        return {SaveResult::WriteFailed, {}};
    const std::string path = recentGamesPath(folder);
    if (!makeFolderFor(path))
        return {SaveResult::OpenFailed, {}};
    RecentGames recent = loadRecentGames(folder);
    if (!recent.writable)
        return {SaveResult::OpenFailed, recent.notice};
    recent.games.push_back(game);
    if (recent.games.size() > kRecentGamesCap)
        recent.games.erase(recent.games.begin(),
                           recent.games.begin() +
                               static_cast<std::ptrdiff_t>(recent.games.size() - kRecentGamesCap));
    return {replaceFile(path, recentGamesBytes(recent.games)), recent.notice};
}

std::vector<RecentGameEntry> recentGameEntries(std::span<const GameRecord> games)
{
    std::vector<RecentGameEntry> entries;
    for (std::size_t i = games.size(); i-- > 0;) {
        const GameRecord& game = games[i];
        std::string label = dateText(game.date) + "  " + game.opponentName + "  ";
        if (!game.resultText.empty())
            label += game.resultText + " ";
        label += std::to_string(game.blackCount) + "-" + std::to_string(game.whiteCount);
        entries.push_back({i, std::move(label)});
    }
    return entries;
}

} // namespace kestrel
