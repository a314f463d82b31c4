#pragma once
// The game records of the program record: the game on the board, kept move
// by move from its start (the turn flow and the opponent's moves tell it
// through the GameLog port) together with the moves undo has taken back;
// the finished games kept among the recent ones; and the commands of the
// board's menu that copy, save and open records.

#include <optional>
#include <string>
#include <vector>

#include "engine/transcript.h"
#include "records/game_record.h"
#include "settings/settings.h"

namespace kestrel {

struct Program;
class SecondaryDialogs;

struct KeptGame {
    enum class State {
        None,     // the board holds no game's position (before a game, after a reset)
        UnderWay, // the game on the board goes on
        Over,     // the game on the board has ended; its result is shown
    };
    // The game on the board, or the last one begun in this run: its moves
    // from the start position as the local board shows them.
    GameRecord record;
    // The moves undo has taken back, in the order they were played; a new
    // move drops them.
    std::vector<int> ahead;
    State state = State::None;
    // Who moves next on the board after the record's last move (kNoSide when
    // nobody can); black before the first move.
    Side toMove = kNoSide;
};

// A new game begins on the starting position: its record starts empty,
// dated now, with the two names and the local side. A start repeated after
// the first move has been played begins nothing.
void beginGameRecord(Program& program);

// The board is reset (a new game's order, no opponent): its game is no
// longer on the board and a replay shown there ends. The record stays for
// copying and saving; an unfinished one is not kept among the recent games.
void endGameOnBoard(Program& program);

// The GameLog port of the program record.
void keepMove(Program& program, int cell, Side side);
// Fills in the result and adds the game to the recent games beside the
// settings files; a notice about that file goes to program.note.
void keepFinishedGame(Program& program);

// The record the menu's copy and save act on: the replay shown, else the
// game on the board or last played, when it has a move; nullptr otherwise.
const GameRecord* recordAtHand(const Program& program);

// The folder the recent games are kept in: that of the settings files.
// Nothing when the program has no settings file (the headless peer).
std::optional<std::string> recentGamesFolder(const Settings& settings);

// "kestrelbay-2024-05-01-2107.txt": the name the save dialog suggests.
std::string recordFileName(const GameRecord& record);

// "棋譜をコピー": the transcript on the clipboard.
void copyRecordCommand(Program& program);
// "棋譜を保存...": the record as it stood when chosen, to the file the
// dialog names; a failed save gets the save's error box.
void saveRecordCommand(Program& program, SecondaryDialogs& dialogs);
// "棋譜を開く...": the file the dialog names, replayed on the board while no
// game is running. A file that cannot be read, or whose transcript cannot be
// replayed, gets an error box and changes nothing.
void openRecordCommand(Program& program, SecondaryDialogs& dialogs);

// The rows of "最近の対局", newest first ("2024-05-01 21:07  コンピュータ
// 黒の勝ちです 40-24"), read from the file now; the games behind them are kept
// in program.recentShown for openRecentCommand.
std::vector<std::string> recentGameRows(Program& program);
// Row `row` of the rows last made: replayed like an opened file.
void openRecentCommand(Program& program, std::size_t row);

} // namespace kestrel
