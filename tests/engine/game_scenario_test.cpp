#include <gtest/gtest.h>

#include "tests/support/board_builder.h"
#include "tests/support/game_driver.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::boardShownBy;
using testing::pictureOf;
using testing::Table;
using testing::ViewCall;

// Replays the view's calls and checks that each one was a sound change: pieces
// placed on empty cells, flips only from the other colour.
void expectSoundViewChanges(const std::vector<ViewCall>& calls)
{
    Board shown{};
    for (const ViewCall& c : calls) {
        if (c.op == "showCell" && c.b != 0) {
            EXPECT_EQ(shown[c.a], kEmpty) << "piece placed on an occupied cell " << c.a << " at " << c.at;
            shown[c.a] = static_cast<CellState>(c.b);
        } else if (c.op == "showCell") {
            shown[c.a] = kEmpty;
        } else if (c.op == "showFlip") {
            EXPECT_EQ(shown[c.a], 3 - c.b) << "flip of cell " << c.a << " at " << c.at;
            shown[c.a] = static_cast<CellState>(c.b);
        }
    }
}

// What a finished game against the computer must leave behind.
void expectFinishedComputerGame(Table& t)
{
    const MatchState& m = t.match;
    EXPECT_EQ(m.myTurn, 0);
    EXPECT_FALSE(hasLegalMove(t.match, kBlack));
    EXPECT_FALSE(hasLegalMove(t.match, kWhite));
    EXPECT_EQ(boardShownBy(t.view.calls), m.board) << pictureOf(m.board);
    expectSoundViewChanges(t.view.calls);
    EXPECT_EQ(t.view.shownBlack, countCells(m.board, kBlack));
    EXPECT_EQ(t.view.shownWhite, countCells(m.board, kWhite));

    const GameResult result = resultOf(m.blackCount, m.whiteCount);
    EXPECT_EQ(t.view.status, resultText(result));
    const auto sounds = t.view.callsOf("playSound");
    ASSERT_EQ(sounds.size(), 1u);
    const bool won = result == GameResult::Draw || (result == GameResult::BlackWins) == (m.mySide == kBlack);
    EXPECT_EQ(sounds[0].a, static_cast<int>(won ? Sound::Win : Sound::Lose));

    // Nothing goes to a network opponent in a game against the computer.
    EXPECT_EQ(t.link.sent, 0);
}

int noticesWith(const Table& t, const std::string& text)
{
    int n = 0;
    for (const ViewCall& c : t.view.callsOf("showNotice"))
        n += c.text == text;
    return n;
}

TEST(ComputerGame, WholeGamesEndConsistentlyOnEitherSide)
{
    int computerPasses = 0, playerPasses = 0, repeatedPlayerPasses = 0, gamesBeforeFullBoard = 0;
    for (Side side : {kBlack, kWhite}) {
        for (std::uint32_t seed = 0; seed <= 40; ++seed) {
            SCOPED_TRACE("side " + std::to_string(side) + " seed " + std::to_string(seed));
            Table t;
            t.startComputerGame(side);
            const int moves = seed == 0 ? t.playFirstLegal() : t.playRandom(seed);
            EXPECT_GT(moves, 0);
            expectFinishedComputerGame(t);

            computerPasses += noticesWith(t, SJ("コンピュータはパスしました"));
            const int passes = noticesWith(t, SJ("コマが置けないのでパスします"));
            playerPasses += passes;
            gamesBeforeFullBoard += t.match.blackCount + t.match.whiteCount < kCellCount;
            // Two player passes without a click between them: look for two pass
            // notices with no human piece placed in between.
            bool sincePass = false;
            for (const ViewCall& c : t.view.calls) {
                if (c.op == "showNotice" && c.text == SJ("コマが置けないのでパスします")) {
                    repeatedPlayerPasses += sincePass;
                    sincePass = true;
                } else if (c.op == "showCell" && c.b == side) {
                    sincePass = false;
                }
            }
        }
    }
    // The games above cover the passes on both sides and early ends.
    EXPECT_GT(computerPasses, 0);
    EXPECT_GT(playerPasses, 0);
    EXPECT_GT(repeatedPlayerPasses, 0);
    EXPECT_GT(gamesBeforeFullBoard, 0);
}

TEST(ComputerGame, DrawsPlayTheWinSound)
{
    const std::pair<Side, std::uint32_t> draws[] = {{kWhite, 2}, {kBlack, 21}};
    for (auto [side, seed] : draws) {
        Table t;
        t.startComputerGame(side);
        t.playRandom(seed);
        EXPECT_EQ(t.match.blackCount, 32);
        EXPECT_EQ(t.match.whiteCount, 32);
        EXPECT_EQ(t.view.status, SJ("引き分けです"));
        expectFinishedComputerGame(t);
    }
}

TEST(ComputerGame, WipedOutColourEndsTheGameWithEmptyCellsCountedForNobody)
{
    Table t;
    t.startComputerGame(kWhite);
    t.playRandom(225);
    EXPECT_EQ(t.match.blackCount, 13);
    EXPECT_EQ(t.match.whiteCount, 0);
    EXPECT_EQ(countCells(t.match.board, kEmpty), 51);
    EXPECT_EQ(t.view.status, SJ("黒の勝ちです"));
    expectFinishedComputerGame(t);
    EXPECT_EQ(t.view.callsOf("playSound")[0].a, static_cast<int>(Sound::Lose));
}

TEST(ComputerGame, HumanWhiteLetsTheComputerOpenAtNineteen)
{
    Table t;
    t.startComputerGame(kWhite);
    EXPECT_EQ(t.match.myTurn, 1);
    EXPECT_EQ(t.match.board[19], kBlack);
    EXPECT_EQ(t.match.board[27], kBlack);
    EXPECT_EQ(t.match.blackCount, 4);
    EXPECT_EQ(t.match.whiteCount, 1);
    // Starting position 1100 ms, the computer's pause 1000 ms, its move 400 ms.
    EXPECT_EQ(t.view.now, 2500);
    EXPECT_EQ(t.view.status, SJ("自分の番です　コマを置いて下さい"));
}

TEST(ComputerGame, SameGamePlaysTheSameCalls)
{
    auto play = [](Side side, std::uint32_t seed) {
        Table t;
        t.startComputerGame(side);
        t.playRandom(seed);
        return t.view.calls;
    };
    auto same = [](const std::vector<ViewCall>& a, const std::vector<ViewCall>& b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].op != b[i].op || a[i].a != b[i].a || a[i].b != b[i].b || a[i].text != b[i].text ||
                a[i].at != b[i].at)
                return false;
        return true;
    };
    for (std::uint32_t seed : {3u, 17u}) {
        const auto first = play(kBlack, seed);
        EXPECT_TRUE(same(first, play(kBlack, seed))) << "seed " << seed;
        EXPECT_FALSE(same(first, play(kBlack, seed + 100))) << "seed " << seed;
    }
}

} // namespace
} // namespace kestrel
