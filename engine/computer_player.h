#pragma once
// The computer opponent: looks one move ahead, prefers board regions in a
// fixed order and, within a region, the move that turns the most pieces.

#include <array>
#include <span>

#include "engine/game.h"

namespace kestrel {

// The regions the computer searches, in this order. Cells 9, 14, 49 and 54
// (diagonally next to a corner) are in none: they are played only when
// nothing else is legal.
inline constexpr std::array<int, 4> kCornerCells{0, 7, 56, 63};
inline constexpr std::array<int, 32> kInnerCells{10, 11, 12, 13, 17, 18, 19, 20, 21, 22, 25,
                                                 26, 27, 28, 29, 30, 33, 34, 35, 36, 37, 38,
                                                 41, 42, 43, 44, 45, 46, 50, 51, 52, 53};
inline constexpr std::array<int, 16> kEdgeCells{2, 3, 4, 5, 16, 23, 24, 31, 32, 39, 40, 47, 58, 59, 60, 61};
inline constexpr std::array<int, 8> kNextToCornerCells{1, 6, 8, 15, 48, 55, 57, 62};
inline constexpr std::array<std::span<const int>, 4> kCandidateGroups{
    std::span<const int>(kCornerCells), std::span<const int>(kInnerCells), std::span<const int>(kEdgeCells),
    std::span<const int>(kNextToCornerCells)};

// How a computer turn ended. Abandoned: the board was replaced (a new game,
// the end of the connection) while the pass notice was open.
enum class ComputerTurn { Moved, Passed, GameOver, Abandoned };

// The cell the computer (side `side`) plays on this board, or -1 when it has
// no legal move. Overwrites flipRuns.
int chooseComputerMove(MatchState& match, Side side);

// One turn of the computer (side 3 - mySide): pause, then a move, a pass with
// its notice (myTurn 0), or the end of the game. Its caller counts after a
// move. The move is game.computer's when it thought about this turn, else
// chooseComputerMove's.
ComputerTurn computerMove(Game& game);

} // namespace kestrel
