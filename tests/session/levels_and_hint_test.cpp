// The computer's levels and the hint on one program record: a level chosen
// from the board's context menu plays its own moves from the computer's next
// turn on, in the rhythm of every computer turn; the hint marks and names a
// move on the player's turn only, and sends nothing.
#include <gtest/gtest.h>

#include <map>

#include "session/board_menu.h"
#include "session/commands.h"
#include "session/control_ids.h"
#include "session/hint.h"
#include "tests/support/board_builder.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"

namespace kestrel::testing {
namespace {

struct Table : FakeMachine {
    explicit Table(int vsComputer = 1)
    {
        MatchState& m = program.match;
        m = matchOn(kTwelveEmpty, kBlack, vsComputer);
        m.connected = 1;
        m.orderDecided = 1;
        m.myTurn = 1;
        m.peerAddress = "10.0.0.2";
    }
    // The cells the computer (white) placed, in order.
    std::vector<int> computerMoves() const
    {
        std::vector<int> cells;
        for (const ViewCall& c : view.calls)
            if (c.op == "showCell" && c.b == kWhite)
                cells.push_back(c.a);
        return cells;
    }
    void chooseLevel(int level)
    {
        runCommand(program, dialogs, ids::kMenuFirstLevel + level, [] {});
    }
    FakeSecondaryDialogs dialogs;
};

// The calls of one computer turn that places `cell`: the second's pause,
// the counts and the status, then the placing.
void expectComputerTurnBefore(const FakeView& view, int cell)
{
    for (std::size_t i = 3; i < view.calls.size(); ++i) {
        const ViewCall& c = view.calls[i];
        if (c.op != "showCell" || c.a != cell || c.b != kWhite)
            continue;
        EXPECT_EQ(view.calls[i - 3].op + std::to_string(view.calls[i - 3].a), "pause1000");
        EXPECT_EQ(view.calls[i - 2].op, "showCounts");
        EXPECT_EQ(view.calls[i - 1].op + view.calls[i - 1].text, "setStatus" + SJ("コンピュータの番です"));
        return;
    }
    ADD_FAILURE() << "the computer never placed " << cell;
}

TEST(ComputerLevels, AChosenLevelPlaysItsMovesFromTheComputersNextTurnOn)
{
    // Level 0 throughout: the program's own player.
    Table standard;
    standard.click(51);
    EXPECT_EQ(standard.computerMoves(), (std::vector<int>{0, 17}));
    EXPECT_EQ(standard.view.callsOf("showNotice").at(0).text, SJ("コマが置けないのでパスします"));

    // Level 2 chosen while the player's pass notice is open: the reply that
    // came before stays level 0's, the computer's next move is level 2's.
    Table changed;
    // Its folder is a file: the preferences cannot be saved.
    TempDir dir;
    writeBytes(dir / "file", "");
    changed.program.settings.settingsFilePath = dir / "file/lumenini.fil";
    changed.view.onNotice = [&](const std::string&) {
        changed.chooseLevel(2);
        changed.view.onNotice = nullptr;
    };
    changed.click(51);
    EXPECT_EQ(changed.computerMoves(), (std::vector<int>{0, 16}));
    EXPECT_EQ(changed.program.computer.level(), 2);
    // The level stands for this run although it could not be saved.
    ASSERT_EQ(changed.dialog.boxes.size(), 1u);
    EXPECT_EQ(changed.dialog.boxes[0].text, SJ("ファイルをオープンできません"));
    for (int cell : {0, 16})
        expectComputerTurnBefore(changed.view, cell);
    // The turns keep their texts and sounds: the same calls but for the cells.
    auto ops = [](const FakeView& view) {
        std::vector<std::string> list;
        for (const ViewCall& c : view.calls)
            if (c.op != "showFlip" && c.op != "pause")
                list.push_back(c.op + c.text);
        return list;
    };
    EXPECT_EQ(ops(changed.view), ops(standard.view));
}

TEST(Hint, MarksAndSaysAMoveOnThePlayersTurnOnlyAndSendsNothing)
{
    // The cells black may play, by the names a reader hears.
    const std::map<int, std::string> named = {
        {51, SJ("ヒント：7行4列")}, {57, SJ("ヒント：8行2列")}, {58, SJ("ヒント：8行3列")}};
    for (int vsComputer : {1, 0}) {
        SCOPED_TRACE(vsComputer ? "against the computer" : "network game");
        Table table(vsComputer);
        const Board before = table.program.match.board;
        updateBoardMenu(table.program);
        EXPECT_TRUE(table.dialog.isEnabled(ids::kMenuHint));

        // Asked: the thinking begins, the window does not wait for it.
        // Asked again meanwhile: the answer comes when it was due.
        runCommand(table.program, table.dialogs, ids::kMenuHint, [] {});
        runCommand(table.program, table.dialogs, ids::kMenuHint, [] {});
        ASSERT_EQ(table.timers.started, (std::vector<std::pair<int, int>>{{kHintTimer, 1000}}));
        EXPECT_TRUE(table.view.calls.empty());

        table.view.now = 0;
        onHintTimer(table.program);
        EXPECT_FALSE(table.timers.isRunning(kHintTimer));
        const std::vector<ViewCall>& calls = table.view.calls;
        ASSERT_EQ(calls.size(), 8u);
        const int cell = calls[1].a;
        ASSERT_EQ(named.count(cell), 1u) << cell;
        EXPECT_EQ(calls[0].op + calls[0].text, "announce" + named.at(cell));
        // Two blinks: the mark for 250 ms, 150 ms without, 250 ms again.
        const std::pair<int, int> marks[] = {{cell, 0}, {-1, 250}, {cell, 400}, {-1, 650}};
        std::size_t seen = 0;
        for (const ViewCall& c : calls)
            if (c.op == "showHintMark" && seen < std::size(marks)) {
                EXPECT_EQ(std::make_pair(c.a, c.at), marks[seen]) << seen;
                ++seen;
            }
        EXPECT_EQ(seen, std::size(marks));
        EXPECT_EQ(table.program.match.board, before);
        EXPECT_EQ(table.program.match.myTurn, 1);
        EXPECT_TRUE(table.transport.sent.empty());

        // Not offered on the computer's turn, nor in a network game while the
        // own move waits for its answer: disabled, and the command does nothing.
        MatchState& match = table.program.match;
        match.myTurn = 1 - vsComputer;
        match.moveAwaitingAck = match.board;
        updateBoardMenu(table.program);
        EXPECT_FALSE(table.dialog.isEnabled(ids::kMenuHint));
        runCommand(table.program, table.dialogs, ids::kMenuHint, [] {});
        EXPECT_EQ(table.timers.started.size(), 1u);
    }

    // A hint whose position has gone by the time its timer expires (the
    // player moved meanwhile) is dropped.
    Table moved;
    hintCommand(moved.program);
    moved.click(51);
    const std::size_t shown = moved.view.calls.size();
    onHintTimer(moved.program);
    EXPECT_EQ(moved.view.calls.size(), shown);
}

} // namespace
} // namespace kestrel::testing
