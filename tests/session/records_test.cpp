// Undo and redo, the move marks and the game records on one program record:
// a game against the computer taken back over the computer's passes, played
// out, kept among the recent games, copied, saved, opened and replayed.
#include <gtest/gtest.h>

#include "engine/transcript.h"
#include "records/recent_games.h"
#include "session/board_menu.h"
#include "session/commands.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/game_records.h"
#include "session/marks.h"
#include "tests/support/board_builder.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_dir.h"
#include "tests/support/transcript_cases.h"
#include "text/cp932.h"

namespace kestrel::testing {
namespace {

struct Table : FakeMachine {
    Table() { program.settings.settingsFilePath = dir / "lumenini.fil"; }
    void run(int id)
    {
        runCommand(program, dialogs, id, [] {});
    }
    // A game against the computer with the player as black, on the start position.
    void startAsBlack()
    {
        MatchState& m = program.match;
        m.connected = 1;
        m.vsComputer = 1;
        resetForNewGame(program);
        choose(kBlack);
        run(ids::kDecide);
        run(ids::kGameStart);
    }
    // The player's turn after the first `count` moves of kPassGame, as if
    // they had been played against the computer.
    void takeOverPassGame(std::size_t count)
    {
        startAsBlack();
        const TranscriptReading reading = readTranscript(kPassGame);
        KeptGame& kept = program.kept;
        kept.record.moves.assign(reading.cells.begin(), reading.cells.begin() + static_cast<long>(count));
        kept.toMove = kBlack;
        program.match.board = positionAfter(reading.replay, count);
    }
    bool offered(int id)
    {
        updateBoardMenu(program);
        return dialog.isEnabled(id);
    }
    TempDir dir;
    FakeSecondaryDialogs dialogs;
};

Board passGameAfter(std::size_t moves)
{
    return positionAfter(readTranscript(kPassGame).replay, moves);
}

TEST(TakeBack, UndoGoesBackOverTheComputersRepliesAndPassesAndRedoReplaysThem)
{
    // kPassGame's 59 moves: black passes after white's 56th move, white
    // after black's 58th. Black (the player) is to move after 58 moves.
    Table t;
    t.takeOverPassGame(58);
    struct Step {
        int command;
        std::size_t moves; // on the board afterwards
    };
    const Step steps[] = {
        {ids::kMenuUndo, 57}, // black's 58th: black moves twice in a row
        {ids::kMenuUndo, 54}, // black's 55th, white's 56th and 57th
        {ids::kMenuUndo, 52}, {ids::kMenuRedo, 54}, {ids::kMenuRedo, 57},
        {ids::kMenuRedo, 58}, {ids::kMenuUndo, 57},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.moves);
        t.view.calls.clear();
        t.run(step.command);
        EXPECT_EQ(t.program.kept.record.moves.size(), step.moves);
        EXPECT_EQ(t.program.match.board, passGameAfter(step.moves));
        EXPECT_EQ(t.view.position, passGameAfter(step.moves));
        EXPECT_EQ(t.view.callsOf("showCell").size(), 0u) << "shown at once";
        EXPECT_EQ(t.view.callsOf("playSound").size(), 0u);
        EXPECT_EQ(t.view.callsOf("pause").size(), 0u);
        EXPECT_EQ(t.program.match.myTurn, 1);
        EXPECT_EQ(t.program.match.blackCount + t.program.match.whiteCount,
                  countCells(passGameAfter(step.moves), kBlack) +
                      countCells(passGameAfter(step.moves), kWhite));
    }
    EXPECT_EQ(t.program.kept.ahead.size(), 1u);
    EXPECT_TRUE(t.offered(ids::kMenuRedo));

    // Not under a box, nor on the computer's turn, nor in a network game.
    t.dialog.whileOpen = [&](const FakeDialog::Box&) { EXPECT_FALSE(t.offered(ids::kMenuUndo)); };
    t.dialog.showInformation("box");
    t.program.match.myTurn = 0;
    EXPECT_FALSE(t.offered(ids::kMenuUndo));
    t.run(ids::kMenuUndo);
    EXPECT_EQ(t.program.kept.record.moves.size(), 57u);
    t.program.match.myTurn = 1;
    t.program.match.vsComputer = 0;
    EXPECT_FALSE(t.offered(ids::kMenuUndo));
    EXPECT_FALSE(t.offered(ids::kMenuRedo));
    t.program.match.vsComputer = 1;

    // A move of its own drops the moves taken back.
    MatchState copy = t.program.match;
    const int recorded = readTranscript(kPassGame).cells[57];
    int other = -1;
    for (int cell : legalCells(copy, kBlack))
        if (cell != recorded)
            other = cell;
    ASSERT_NE(other, -1);
    t.click(other);
    EXPECT_TRUE(t.program.kept.ahead.empty());
    EXPECT_FALSE(t.offered(ids::kMenuRedo));
    EXPECT_EQ(t.program.kept.record.moves.at(57), other);
}

TEST(GameRecords, AGameMarkedKeptCopiedSavedOpenedAndReplayed)
{
    Table t;
    t.startAsBlack();
    // Marks: off by default, then the legal cells of the start and the last move.
    updateMarks(t.program);
    EXPECT_EQ(t.view.marks, MoveMarks{});
    t.run(ids::kMenuMarkLegalMoves);
    t.run(ids::kMenuMarkLastMove);
    EXPECT_EQ(t.view.marks.legal, (1ull << 19) | (1ull << 26) | (1ull << 37) | (1ull << 44));
    EXPECT_EQ(t.view.marks.last, -1);
    EXPECT_EQ(readBytes(t.dir / "kestrelbay-preferences.txt"),
              "kestrelbay preferences 1\nlevel=0\nmark-legal-moves=1\nmark-last-move=1\n");
    t.click(37);
    updateMarks(t.program);
    const std::vector<int>& moves = t.program.kept.record.moves;
    ASSERT_EQ(moves.size(), 2u) << "the player's move and the computer's reply";
    EXPECT_EQ(t.view.marks.last, moves[1]);
    EXPECT_NE(t.view.marks.legal, 0u);

    // Played out; the finished game is kept among the recent ones.
    while (t.program.match.myTurn == 1) {
        MatchState copy = t.program.match;
        t.click(legalCells(copy, kBlack).front());
    }
    ASSERT_EQ(t.program.kept.state, KeptGame::State::Over);
    const Board final = t.program.match.board;
    const RecentGames recent = loadRecentGames(t.dir / "");
    ASSERT_EQ(recent.games.size(), 1u);
    EXPECT_EQ(recent.games[0].moves, moves);
    EXPECT_EQ(recent.games[0].blackCount, t.program.match.blackCount);
    updateMarks(t.program);
    EXPECT_EQ(t.view.marks.legal, 0u) << "nobody may play any more";

    // Copied: the transcript replays to the final board.
    t.run(ids::kMenuCopyRecord);
    ASSERT_EQ(t.dialog.copied.size(), 1u);
    EXPECT_EQ(readTranscript(t.dialog.copied[0]).replay.steps.back().board, final);

    // Saved, under the name the dialog suggested, and opened again.
    const std::string saved = t.dir / "game.txt";
    t.dialogs.onSaveRecord = [&] { return saved; };
    t.run(ids::kMenuSaveRecord);
    EXPECT_EQ(t.dialogs.suggestedName.rfind("kestrelbay-", 0), 0u);
    t.dialogs.onOpenRecord = [&] { return saved; };
    t.run(ids::kMenuOpenRecord);
    ASSERT_TRUE(t.program.replay.has_value());
    EXPECT_EQ(t.view.position, startBoard());
    EXPECT_EQ(t.view.marks.last, -1);
    const std::size_t count = moves.size();
    const std::pair<int, std::size_t> steps[] = {
        {ids::kMenuReplayLast, count},    {ids::kMenuReplayBack, count - 1}, {ids::kMenuReplayForward, count},
        {ids::kMenuReplayForward, count}, {ids::kMenuReplayFirst, 0},        {ids::kMenuReplayForward, 1}};
    for (const auto& [command, shown] : steps) {
        t.run(command);
        EXPECT_EQ(t.program.replay->shown, shown);
    }
    t.run(ids::kMenuReplayLast);
    EXPECT_EQ(t.view.position, final);
    EXPECT_EQ(t.view.marks.last, moves.back());
    EXPECT_EQ(t.view.status.rfind(SJ("棋譜の再生　") + std::to_string(count) + SJ("／"), 0), 0u);

    // A bad transcript: its box names the move, and the replay shown stays.
    writeBytes(t.dir / "bad.txt", "f5d6c3d3c4f4f6f3e6e7d7a1\n");
    t.dialogs.onOpenRecord = [&] { return t.dir / "bad.txt"; };
    t.view.calls.clear();
    t.run(ids::kMenuOpenRecord);
    ASSERT_EQ(t.dialog.boxes.size(), 1u);
    EXPECT_NE(t.dialog.boxes[0].text.find("12"), std::string::npos) << fromCp932(t.dialog.boxes[0].text);
    EXPECT_TRUE(t.view.callsOf("showPosition").empty());
    EXPECT_EQ(t.program.replay->shown, count);

    // The recent game opens the same moves; leaving puts the game's board back.
    updateBoardMenu(t.program);
    ASSERT_TRUE(t.dialog.isEnabled(ids::kMenuRecentGames));
    t.run(ids::kMenuFirstRecent);
    EXPECT_EQ(t.program.replay->record.moves, moves);
    EXPECT_EQ(t.view.position, startBoard());
    t.run(ids::kMenuReplayLeave);
    EXPECT_FALSE(t.program.replay.has_value());
    EXPECT_EQ(t.view.position, final);
}

} // namespace
} // namespace kestrel::testing
