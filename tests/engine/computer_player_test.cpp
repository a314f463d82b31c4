#include <gtest/gtest.h>

#include "engine/computer_player.h"
#include "tests/support/board_builder.h"
#include "tests/support/game_driver.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::boardFromPicture;
using testing::legalCells;
using testing::matchOn;
using testing::pictureOf;
using testing::startingBoard;
using testing::Table;
using testing::ViewCall;

// The cell the computer placed its piece on during the recorded calls, or -1.
int placedCell(const Table& t)
{
    for (const ViewCall& c : t.view.callsOf("showCell"))
        if (c.b != 0)
            return c.a;
    return -1;
}

// Runs one computer turn for the human side `mySide` on the pictured board.
ComputerTurn computerTurnOn(Table& t, const char* picture, Side mySide)
{
    t.match = matchOn(picture, mySide);
    return computerMove(t.game);
}

TEST(ComputerChoice, CornerBeatsAnyInnerCapture)
{
    Table t;
    const char* picture = ".xo....."
                          "........"
                          "........"
                          "....xxxo"
                          "...x...."
                          "...x...."
                          "...x...."
                          "...o....";
    MatchState probe = matchOn(picture, kBlack);
    ASSERT_EQ(countFlips(probe, 0, 0, kWhite), 1);
    ASSERT_EQ(countFlips(probe, 3, 3, kWhite), 6);

    EXPECT_EQ(computerTurnOn(t, picture, kBlack), ComputerTurn::Moved);
    EXPECT_EQ(placedCell(t), 0);
    EXPECT_EQ(t.match.board[0], kWhite);
    EXPECT_EQ(t.match.board[1], kWhite);
    EXPECT_EQ(t.match.board[28], kBlack);
}

TEST(ComputerChoice, BetweenCornersMoreFlipsThenLowerIndex)
{
    struct Case {
        const char* name;
        const char* picture;
        int expected;
    };
    const Case cases[] = {
        {"7 turns two, 0 turns one",
         ".xo.oxx."
         "........"
         "........"
         "........"
         "........"
         "........"
         "........"
         "........",
         7},
        {"0 and 63 turn one each",
         ".xo....."
         "........"
         "........"
         "........"
         "........"
         "........"
         "........"
         ".....ox.",
         0},
        {"56 and 63 turn one each",
         "........"
         "........"
         "........"
         "........"
         "........"
         "........"
         "........"
         ".xo..ox.",
         56},
        {"7 and 56 turn one each, 63 two",
         ".....ox."
         "........"
         "........"
         "........"
         "........"
         "........"
         "........"
         ".xo.oxx.",
         63},
    };
    for (const Case& c : cases) {
        Table t;
        EXPECT_EQ(computerTurnOn(t, c.picture, kBlack), ComputerTurn::Moved) << c.name;
        EXPECT_EQ(placedCell(t), c.expected) << c.name;
    }
}

TEST(ComputerChoice, InnerSinglePieceBeatsEdgeFivePieces)
{
    Table t;
    const char* picture = "....xxxo"
                          "...x...."
                          "...x...."
                          "...o...."
                          "........"
                          "...xo..."
                          "........"
                          "........";
    MatchState probe = matchOn(picture, kBlack);
    ASSERT_EQ(countFlips(probe, 0, 3, kWhite), 5); // edge cell 3
    ASSERT_EQ(countFlips(probe, 5, 2, kWhite), 1); // inner cell 42

    computerTurnOn(t, picture, kBlack);
    EXPECT_EQ(placedCell(t), 42);
    EXPECT_EQ(t.match.board[43], kWhite);
    EXPECT_EQ(t.match.board[4], kBlack);
}

TEST(ComputerChoice, OpensAtNineteenAsBlack)
{
    Table t;
    t.match.board = startingBoard();
    t.match.mySide = kWhite;
    computerMove(t.game);
    EXPECT_EQ(placedCell(t), 19);
    const auto flips = t.view.callsOf("showFlip");
    ASSERT_EQ(flips.size(), 1u);
    EXPECT_EQ(flips[0].a, 27);
    EXPECT_EQ(flips[0].b, kBlack);
}

TEST(ComputerChoice, NextToCornerOnlyAsFallbackTakingTheFirstLegal)
{
    // Only 9 (one piece) and 54 (two pieces) are legal for white.
    const char* picture = "........"
                          "........"
                          "..x....."
                          "...o...."
                          "....x..."
                          ".....x.."
                          "........"
                          "........";
    MatchState probe = matchOn(picture, kBlack);
    ASSERT_EQ(legalCells(probe, kWhite), (std::vector<int>{9, 54}));
    ASSERT_EQ(countFlips(probe, 6, 6, kWhite), 2);

    Table t;
    computerTurnOn(t, picture, kBlack);
    EXPECT_EQ(placedCell(t), 9);
    EXPECT_EQ(t.match.board[18], kWhite);
    EXPECT_EQ(t.match.board[36], kBlack);

    // Without 9 the next in row-major order, 14, is taken likewise.
    Table u;
    computerTurnOn(u,
                   "........"
                   "........"
                   ".....x.."
                   "....o..."
                   "...x...."
                   "..x....."
                   "........"
                   "........",
                   kBlack);
    EXPECT_EQ(placedCell(u), 14);
}

TEST(ComputerChoice, GroupOrderHoldsForEveryGroupAndChoiceIsLegal)
{
    // From random positions reached by play, the chosen cell is legal, lies in
    // the first group that has a legal cell, and turns the most in that group.
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        Table t;
        t.startComputerGame(kBlack);
        std::mt19937 random(seed);
        while (t.match.myTurn == 1) {
            MatchState probe = t.match;
            const Side computer = kWhite;
            const int choice = chooseComputerMove(probe, computer);
            const std::vector<int> legal = legalCells(probe, computer);
            if (legal.empty()) {
                EXPECT_EQ(choice, -1);
            } else {
                ASSERT_NE(choice, -1) << pictureOf(probe.board);
                bool found = false;
                for (auto group : kCandidateGroups) {
                    int best = 0;
                    for (int k : group)
                        if (probe.board[k] == kEmpty)
                            best = std::max(best, countFlips(probe, k / 8, k % 8, computer));
                    if (best == 0)
                        continue;
                    found = true;
                    EXPECT_NE(std::find(group.begin(), group.end(), choice), group.end());
                    EXPECT_EQ(countFlips(probe, choice / 8, choice % 8, computer), best);
                    break;
                }
                if (!found) {
                    EXPECT_EQ(choice, legal.front());
                }
            }
            std::vector<int> mine = legalCells(t.match, kBlack);
            t.click(mine[random() % mine.size()]);
        }
    }
}

TEST(ComputerMove, PausesCountsAndReportsAroundItsMove)
{
    Table t;
    t.match.board = startingBoard();
    t.match.mySide = kWhite;
    t.match.blackCount = 9; // stale: computerMove counts first
    computerMove(t.game);
    const auto& calls = t.view.calls;
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].op, "pause");
    EXPECT_EQ(calls[0].a, 1000);
    EXPECT_EQ(calls[1].op, "showCounts");
    EXPECT_EQ(calls[1].a, 2);
    EXPECT_EQ(calls[1].at, 1000);
    EXPECT_EQ(calls[2].op, "setStatus");
    EXPECT_EQ(calls[2].text, SJ("コンピュータの番です"));
    EXPECT_EQ(calls[3].op, "showCell");
    EXPECT_EQ(calls[3].at, 1000);
    EXPECT_EQ(calls[4].op, "showFlip");
    EXPECT_EQ(calls[4].at, 1200);
    EXPECT_EQ(calls[5].op, "setStatus");
    EXPECT_EQ(calls[5].text, SJ("自分の番です　コマを置いて下さい"));
    EXPECT_EQ(calls[5].at, 1400);
    // It leaves counting its own move to its caller.
    EXPECT_EQ(t.match.blackCount, 2);
    EXPECT_EQ(t.match.myTurn, 1);
    EXPECT_EQ(t.link.sent, 0);
}

TEST(ComputerMove, PassesWithNoticeWhenOnlyTheHumanCanMove)
{
    Table t;
    const char* picture = "xo......"
                          "........"
                          "........"
                          "........"
                          "........"
                          "........"
                          "........"
                          "........";
    t.match = matchOn(picture, kBlack);
    t.match.myTurn = 0;
    int boardChangesDuringNotice = 0;
    t.view.onNotice = [&](const std::string&) {
        // A click while the notice is open changes nothing: myTurn is 0.
        t.click(2);
        boardChangesDuringNotice += t.match.board != boardFromPicture(picture);
    };
    EXPECT_EQ(computerMove(t.game), ComputerTurn::Passed);
    EXPECT_EQ(boardChangesDuringNotice, 0);
    EXPECT_EQ(t.match.board, boardFromPicture(picture));
    EXPECT_EQ(t.match.myTurn, 0);
    const auto notices = t.view.callsOf("showNotice");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, SJ("コンピュータはパスしました"));
    EXPECT_TRUE(t.view.callsOf("showCell").empty());
    EXPECT_TRUE(t.view.callsOf("showFlip").empty());
}

TEST(ComputerMove, EndsTheGameWhenNobodyCanMove)
{
    Table t;
    t.match = matchOn("xx......"
                      "........"
                      "........"
                      "........"
                      "........"
                      "........"
                      "........"
                      "........",
                      kWhite);
    t.match.myTurn = 1;
    EXPECT_EQ(computerMove(t.game), ComputerTurn::GameOver);
    EXPECT_EQ(t.match.myTurn, 0);
    const auto sounds = t.view.callsOf("playSound");
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].a, static_cast<int>(Sound::Lose)); // the human played white
    EXPECT_EQ(t.view.status, SJ("黒の勝ちです"));
    EXPECT_EQ(t.link.sent, 0);
}

} // namespace
} // namespace kestrel
