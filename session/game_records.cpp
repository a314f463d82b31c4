#include "session/game_records.h"

#include <cstdio>
#include <ctime>

#include "engine/board.h"
#include "engine/transcript.h"
#include "records/recent_games.h"
#include "records/record_file.h"
#include "session/marks.h"
#include "session/program.h"
#include "session/replay.h"
#include "settings/preferences.h"
#include "settings/settings_files.h"
#include "text/cp932.h"

namespace kestrel {

void beginGameRecord(Program& program)
{
    // A replay cannot be open when a game begins; should one be, the game's
    // board comes back first.
    leaveReplay(program);
    const MatchState& match = program.match;
    if (match.board != startBoard())
        return;
    KeptGame& kept = program.kept;
    kept.record = GameRecord{};
    kept.record.date = recordDateOf(std::time(nullptr));
    kept.record.playerName = program.settings.playerName;
    kept.record.opponentName = match.opponentName;
    kept.record.playerSide = match.mySide == kWhite ? kWhite : kBlack;
    kept.record.vsComputer = match.vsComputer == 1;
    kept.ahead.clear();
    kept.state = KeptGame::State::UnderWay;
    kept.toMove = kBlack;
    updateMarks(program);
}

void endGameOnBoard(Program& program)
{
    KeptGame& kept = program.kept;
    kept.state = KeptGame::State::None;
    kept.ahead.clear();
    kept.toMove = kNoSide;
    program.replay.reset();
    // The marks go before the board is drawn anew.
    updateMarks(program);
}

void keepMove(Program& program, int cell, Side side)
{
    KeptGame& kept = program.kept;
    if (kept.state != KeptGame::State::UnderWay)
        return;
    kept.record.moves.push_back(cell);
    kept.ahead.clear();
    kept.toMove = sideToMoveAfter(program.match.board, side);
    updateMarks(program);
}

void keepFinishedGame(Program& program)
{
    KeptGame& kept = program.kept;
    if (kept.state != KeptGame::State::UnderWay)
        return;
    const MatchState& match = program.match;
    kept.state = KeptGame::State::Over;
    kept.toMove = kNoSide;
    kept.ahead.clear();
    kept.record.resultText = resultText(resultOf(match.blackCount, match.whiteCount));
    kept.record.blackCount = match.blackCount;
    kept.record.whiteCount = match.whiteCount;
    updateMarks(program);
    const std::optional<std::string> folder = recentGamesFolder(program.settings);
    if (!folder)
        return;
    // A few milliseconds, once the result is out: the game is kept even if
    // the program ends before anyone saves it.
    const RecentGameSave saved = addRecentGame(*folder, kept.record);
    if (!saved.notice.empty())
        program.note(saved.notice);
    if (saved.result != SaveResult::Ok)
        program.note(toCp932("この対局を " + recentGamesPath(*folder) + " に残せませんでした: ") +
                     saveFailureText(saved.result));
}

const GameRecord* recordAtHand(const Program& program)
{
    if (program.replay)
        return &program.replay->record;
    if (!program.kept.record.moves.empty())
        return &program.kept.record;
    return nullptr;
}

std::optional<std::string> recentGamesFolder(const Settings& settings)
{
    if (settings.settingsFilePath.empty())
        return std::nullopt;
    return settingsFolder(settings);
}

std::string recordFileName(const GameRecord& record)
{
    const RecordDate& d = record.date;
    char name[64];
    std::snprintf(name, sizeof name, "kestrelbay-%04d-%02d-%02d-%02d%02d.txt", d.year, d.month, d.day, d.hour,
                  d.minute);
    return name;
}

void copyRecordCommand(Program& program)
{
    const GameRecord* record = recordAtHand(program);
    if (record == nullptr)
        return;
    program.dialog.copyText(transcriptText(record->moves));
    program.view.announce(SJ("棋譜をコピーしました"));
}

void saveRecordCommand(Program& program, SecondaryDialogs& dialogs)
{
    const GameRecord* atHand = recordAtHand(program);
    if (atHand == nullptr)
        return;
    // The dialog handles events: a network game may go on meanwhile. What
    // is saved is the game as it stood when the player chose to save it.
    const GameRecord record = *atHand;
    const std::string path = dialogs.runSaveRecordDialog(recordFileName(record));
    if (path.empty())
        return;
    const SaveResult saved = saveRecordFile(path, record);
    if (saved != SaveResult::Ok)
        program.dialog.showError(saveFailureText(saved));
}

void openRecordCommand(Program& program, SecondaryDialogs& dialogs)
{
    if (!replayAllowed(program))
        return;
    const std::string path = dialogs.runOpenRecordDialog();
    // The dialog handles events: a game may have begun meanwhile, and then
    // the file is not opened.
    if (path.empty() || !replayAllowed(program))
        return;
    const std::optional<RecordReading> reading = openRecordFile(path);
    if (!reading) {
        program.dialog.showError(openFailedText());
        return;
    }
    if (reading->fault) {
        program.dialog.showError(transcriptFaultText(*reading->fault));
        return;
    }
    showReplay(program, reading->record);
}

std::vector<std::string> recentGameRows(Program& program)
{
    program.recentShown.clear();
    const std::optional<std::string> folder = recentGamesFolder(program.settings);
    if (!folder)
        return {};
    const RecentGames recent = loadRecentGames(*folder);
    if (!recent.notice.empty())
        program.note(recent.notice);
    std::vector<std::string> rows;
    for (const RecentGameEntry& entry : recentGameEntries(recent.games)) {
        rows.push_back(entry.label);
        program.recentShown.push_back(recent.games[entry.index]);
    }
    return rows;
}

void openRecentCommand(Program& program, std::size_t row)
{
    if (row >= program.recentShown.size())
        return;
    showReplay(program, program.recentShown[row]);
}

} // namespace kestrel
