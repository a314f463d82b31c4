#include <gtest/gtest.h>

#include "engine/board.h"
#include "tests/support/board_builder.h"
#include "tests/support/game_driver.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::boardFromPicture;
using testing::FakeView;
using testing::legalCells;
using testing::matchOn;
using testing::NullLink;
using testing::NullView;
using testing::startingBoard;
using testing::Table;
using testing::ViewCall;

std::string hex(const std::string& bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(CountFlips, StartingPositionHasFourSingleMovesPerSide)
{
    MatchState match;
    match.board = startingBoard();
    EXPECT_EQ(legalCells(match, kBlack), (std::vector<int>{19, 26, 37, 44}));
    EXPECT_EQ(legalCells(match, kWhite), (std::vector<int>{20, 29, 34, 43}));
    for (int k : {19, 26, 37, 44})
        EXPECT_EQ(countFlips(match, k / 8, k % 8, kBlack), 1) << k;

    // hasLegalMove answers from cell 19, the first in row-major order: its
    // run (one piece downwards) is what it leaves behind.
    EXPECT_TRUE(hasLegalMove(match, kBlack));
    EXPECT_EQ(match.flipRuns, (std::array<int, 8>{0, 0, 0, 0, 0, 0, 1, 0}));
}

// Target 27 closes a run in every direction, of lengths 1 2 1 2 3 2 1 3.
constexpr const char* kStar = "...x...."
                              ".x.o.x.."
                              "..ooo..."
                              "xoo.ooox"
                              "..ooo..."
                              ".o.x.o.."
                              "x.....o."
                              ".......x";

TEST(CountFlips, RunsPerDirectionAddUpToTheTotal)
{
    MatchState match = matchOn(kStar, kBlack);
    EXPECT_EQ(countFlips(match, 3, 3, kBlack), 15);
    EXPECT_EQ(match.flipRuns, (std::array<int, 8>{1, 2, 1, 2, 3, 2, 1, 3}));

    // White has no own piece behind any of the black ones: nothing, and the
    // runs of the previous test are cleared.
    EXPECT_EQ(countFlips(match, 3, 3, kWhite), 0);
    EXPECT_EQ(match.flipRuns, (std::array<int, 8>{}));

    // An occupied target still reports the lines around it.
    match.board[27] = kWhite;
    EXPECT_EQ(countFlips(match, 3, 3, kBlack), 15);
}

TEST(CountFlips, ReachStopsRunsAtTheEdgeWithoutWrapping)
{
    // A line of opposing pieces up to the edge with no own piece behind turns nothing.
    MatchState open = matchOn("xoooooo."
                              "........"
                              "........"
                              "........"
                              "........"
                              "........"
                              "........"
                              "........",
                              kBlack);
    EXPECT_EQ(countFlips(open, 0, 7, kWhite), 0);
    EXPECT_EQ(countFlips(open, 0, 7, kBlack), 6);
    open.board[0] = kEmpty;
    EXPECT_EQ(countFlips(open, 0, 7, kBlack), 0);

    // Index steps must not wrap to the next or previous row.
    MatchState wrap = matchOn("......xo"
                              "ox......"
                              "........"
                              "........"
                              "........"
                              "........"
                              "........"
                              "........",
                              kBlack);
    EXPECT_EQ(countFlips(wrap, 0, 7, kBlack), 0); // right of 7 is no cell, not 8 and 9
    EXPECT_EQ(countFlips(wrap, 1, 0, kBlack), 0); // left of 8 is no cell, not 7 and 6

    // Row 1 has reach 1 upwards: the three upward directions are never tested.
    MatchState rowOne = matchOn("..ooo..."
                                "........"
                                "...x...."
                                "........"
                                "........"
                                "........"
                                "........"
                                "........",
                                kBlack);
    EXPECT_EQ(countFlips(rowOne, 1, 3, kBlack), 0);

    // A corner is tested only into the board: up-left, up and left of 63.
    MatchState corner = matchOn("........"
                                "........"
                                "........"
                                "........"
                                "........"
                                ".....x.x"
                                "......ox"
                                ".....xo.",
                                kBlack);
    EXPECT_EQ(countFlips(corner, 7, 7, kBlack), 2);
    EXPECT_EQ(corner.flipRuns, (std::array<int, 8>{1, 0, 0, 1, 0, 0, 0, 0}));
}

TEST(HasLegalMove, FullBoardAndWipedOutColourGiveNoMoves)
{
    MatchState full;
    for (int k = 0; k < kCellCount; ++k)
        full.board[k] = k % 3 ? kBlack : kWhite;
    EXPECT_FALSE(hasLegalMove(full, kBlack));
    EXPECT_FALSE(hasLegalMove(full, kWhite));

    MatchState onlyBlack = matchOn("xxxxxxxx"
                                   "x......x"
                                   "..xx...."
                                   "...xx..."
                                   "........"
                                   "........"
                                   "........"
                                   "x......x",
                                   kBlack);
    EXPECT_FALSE(hasLegalMove(onlyBlack, kBlack));
    EXPECT_FALSE(hasLegalMove(onlyBlack, kWhite));

    // One side blocked, the other not.
    MatchState oneSided = matchOn("xo......"
                                  "........"
                                  "........"
                                  "........"
                                  "........"
                                  "........"
                                  "........"
                                  "........",
                                  kBlack);
    EXPECT_TRUE(hasLegalMove(oneSided, kBlack));
    EXPECT_FALSE(hasLegalMove(oneSided, kWhite));
}

TEST(TurnPieces, PlaceThenFlipsInDirectionOrderNearestFirst)
{
    Table t;
    t.match = matchOn(kStar, kBlack);
    ASSERT_EQ(countFlips(t.match, 3, 3, kBlack), 15);
    setCell(t.game, 3, 3, kBlack);
    turnPieces(t.game, 3, 3, kBlack);
    updateCounts(t.game);

    std::vector<int> flipped;
    for (const ViewCall& c : t.view.callsOf("showFlip")) {
        EXPECT_EQ(c.b, kBlack);
        EXPECT_EQ(c.at, 200 + 200 * static_cast<int>(flipped.size()));
        flipped.push_back(c.a);
    }
    EXPECT_EQ(flipped, (std::vector<int>{18, 19, 11, 20, 26, 25, 28, 29, 30, 34, 41, 35, 36, 45, 54}));
    ASSERT_EQ(t.view.calls.front().op, "showCell");
    EXPECT_EQ(t.view.calls.front().a, 27);
    EXPECT_EQ(t.view.calls.front().at, 0);

    // Counts come last, after the 15th flip: 200 + 15 * 200 ms.
    const ViewCall& counts = t.view.calls.back();
    EXPECT_EQ(counts.op, "showCounts");
    EXPECT_EQ(counts.at, 3200);
    EXPECT_EQ(counts.a, 1 + 15 + 8);
    EXPECT_EQ(counts.b, 0);
    EXPECT_EQ(t.match.blackCount, 24);
    EXPECT_EQ(t.match.whiteCount, 0);
    for (int k : flipped)
        EXPECT_EQ(t.match.board[k], kBlack);
}

TEST(SetCell, EmptyShowsAtOnceAndPieceAnimates)
{
    Table t;
    t.match.board[5] = kWhite;
    setCell(t.game, 0, 5, kEmpty);
    setCell(t.game, 7, 7, kWhite);
    EXPECT_EQ(t.match.board[5], kEmpty);
    EXPECT_EQ(t.match.board[63], kWhite);
    ASSERT_EQ(t.view.calls.size(), 2u);
    EXPECT_EQ(t.view.calls[0].a, 5);
    EXPECT_EQ(t.view.calls[0].b, 0);
    EXPECT_EQ(t.view.calls[1].at, 0); // the empty picture took no time
    EXPECT_EQ(t.view.now, 200);
}

TEST(StartingPosition, EmptiesRowMajorThenFourPiecesIn1100Ms)
{
    Table t;
    t.match.board.fill(kBlack);
    setUpInitialPosition(t.game);
    EXPECT_EQ(t.match.board, startingBoard());

    const auto& calls = t.view.calls;
    ASSERT_EQ(calls.size(), 64u + 4 + 3 + 1);
    for (int k = 0; k < kCellCount; ++k) {
        EXPECT_EQ(calls[k].op, "showCell");
        EXPECT_EQ(calls[k].a, k);
        EXPECT_EQ(calls[k].b, 0);
        EXPECT_EQ(calls[k].at, 0);
    }
    struct Expected {
        std::string op;
        int a, b, at;
    };
    const std::vector<Expected> tail{{"showCell", 27, 2, 0},   {"pause", 100, 0, 200},
                                     {"showCell", 28, 1, 300}, {"pause", 100, 0, 500},
                                     {"showCell", 35, 1, 600}, {"pause", 100, 0, 800},
                                     {"showCell", 36, 2, 900}, {"showCounts", 2, 2, 1100}};
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const ViewCall& c = calls[64 + i];
        EXPECT_EQ(c.op, tail[i].op) << i;
        EXPECT_EQ(c.a, tail[i].a) << i;
        EXPECT_EQ(c.b, tail[i].b) << i;
        EXPECT_EQ(c.at, tail[i].at) << i;
    }
    EXPECT_EQ(t.view.now, 1100);
    EXPECT_EQ(t.match.blackCount, 2);
    EXPECT_EQ(t.match.whiteCount, 2);
}

TEST(LayoutBoard, ClearsBoardAndRunsWithoutShowingCells)
{
    Table t;
    t.match.board = startingBoard();
    t.match.flipRuns = {1, 2, 3, 4, 5, 6, 1, 2};
    layoutBoard(t.game);
    EXPECT_EQ(t.match.board, Board{});
    EXPECT_EQ(t.match.flipRuns, (std::array<int, 8>{}));
    ASSERT_EQ(t.view.calls.size(), 1u);
    EXPECT_EQ(t.view.calls[0].op, "layoutBoard");
}

TEST(GameResult, DecidedOnCountsWithShiftJisTexts)
{
    EXPECT_EQ(resultOf(32, 32), GameResult::Draw);
    EXPECT_EQ(resultOf(0, 0), GameResult::Draw);
    EXPECT_EQ(resultOf(13, 0), GameResult::BlackWins);
    EXPECT_EQ(resultOf(20, 21), GameResult::WhiteWins);
    EXPECT_EQ(hex(resultText(GameResult::Draw)), "88f882ab95aa82af82c582b7");
    EXPECT_EQ(hex(resultText(GameResult::BlackWins)), "8d9582cc8f9f82bf82c582b7");
    EXPECT_EQ(hex(resultText(GameResult::WhiteWins)), "949282cc8f9f82bf82c582b7");
}

TEST(CellIndex, OnlySixtyFourCells)
{
    EXPECT_TRUE(isCellIndex(0));
    EXPECT_TRUE(isCellIndex(63));
    EXPECT_FALSE(isCellIndex(-1));
    EXPECT_FALSE(isCellIndex(64));
    EXPECT_FALSE(isCellIndex(1000));
#ifdef NDEBUG
    // Release builds also refuse rows and columns off the board (debug builds assert).
    MatchState match;
    match.board = startingBoard();
    EXPECT_EQ(countFlips(match, 8, 0, kBlack), 0);
    EXPECT_EQ(countFlips(match, -1, 3, kBlack), 0);
    Table t;
    t.match.board = startingBoard();
    setCell(t.game, 0, 8, kBlack);
    EXPECT_EQ(t.match.board, startingBoard());
    EXPECT_TRUE(t.view.calls.empty());
#endif
}

// Leaf nodes of the move tree at `depth` plies, playing every legal move
// with the engine's own operations on copies. A side without a move passes.
long long perft(MatchState& match, Side side, int depth)
{
    if (depth == 0)
        return 1;
    NullView view;
    NullLink link;
    long long leaves = 0;
    bool moved = false;
    for (int k = 0; k < kCellCount; ++k) {
        if (match.board[k] != kEmpty || countFlips(match, k / 8, k % 8, side) == 0)
            continue;
        moved = true;
        MatchState child = match; // carries the runs just counted
        Game game{child, view, link};
        setCell(game, k / 8, k % 8, side);
        turnPieces(game, k / 8, k % 8, side);
        leaves += perft(child, 3 - side, depth - 1);
    }
    if (moved)
        return leaves;
    if (hasLegalMove(match, 3 - side))
        return perft(match, 3 - side, depth - 1);
    return 1; // game over before the depth: one leaf
}

TEST(MoveGeneration, LeafCountsFromTheStartingPosition)
{
    const std::vector<long long> expected{1, 4, 12, 56, 244, 1396, 8200, 55092};
    for (int depth = 1; depth < static_cast<int>(expected.size()); ++depth) {
        MatchState match;
        match.board = startingBoard();
        EXPECT_EQ(perft(match, kBlack, depth), expected[depth]) << "depth " << depth;
    }
}

} // namespace
} // namespace kestrel
