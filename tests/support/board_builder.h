#pragma once
// Positions for engine tests, written as pictures: eight rows of eight cells,
// 'x' black, 'o' white, '.' empty; spaces and line breaks are ignored.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/board.h"
#include "engine/match_state.h"

namespace kestrel::testing {

// Black to move with twelve empty cells and 51, 57 and 58 legal; an exact
// solve makes 57 ("8行2列") the one best move. Black's 51 is answered by
// white's corner 0 at level 0; black must then pass and white moves again:
// level 0 takes 17, while 16 alone is best for the remaining ten cells.
inline constexpr const char* kTwelveEmpty = ".xxxooxx"
                                            "..xxooox"
                                            "..xoxoox"
                                            ".xxxxxox"
                                            ".xxooxox"
                                            ".xxoxoxx"
                                            ".xo.oxxx"
                                            "x..ooooo";

inline Board boardFromPicture(std::string_view picture)
{
    Board board{};
    int k = 0;
    for (char c : picture) {
        if (c == ' ' || c == '\n')
            continue;
        if (k == kCellCount)
            throw std::invalid_argument("board picture has more than 64 cells");
        if (c == 'x')
            board[k] = kBlack;
        else if (c == 'o')
            board[k] = kWhite;
        else if (c != '.')
            throw std::invalid_argument(std::string("unknown cell in board picture: ") + c);
        ++k;
    }
    if (k != kCellCount)
        throw std::invalid_argument("board picture has fewer than 64 cells");
    return board;
}

// The picture of a board, one row per line, for failure messages.
inline std::string pictureOf(const Board& board)
{
    std::string out;
    for (int k = 0; k < kCellCount; ++k) {
        out += board[k] == kBlack ? 'x' : board[k] == kWhite ? 'o' : '.';
        if (k % 8 == 7)
            out += '\n';
    }
    return out;
}

// A match on the pictured board with the counts already taken, as after
// updateCounts.
inline MatchState matchOn(std::string_view picture, Side mySide, int vsComputer = 1)
{
    MatchState match;
    match.board = boardFromPicture(picture);
    match.blackCount = countCells(match.board, kBlack);
    match.whiteCount = countCells(match.board, kWhite);
    match.mySide = mySide;
    match.vsComputer = vsComputer;
    return match;
}

inline Board startingBoard()
{
    return boardFromPicture("........"
                            "........"
                            "........"
                            "...ox..."
                            "...xo..."
                            "........"
                            "........"
                            "........");
}

// The empty cells where `side` may move, in ascending order.
inline std::vector<int> legalCells(MatchState& match, Side side)
{
    std::vector<int> cells;
    for (int k = 0; k < kCellCount; ++k)
        if (match.board[k] == kEmpty && countFlips(match, k / 8, k % 8, side) > 0)
            cells.push_back(k);
    return cells;
}

} // namespace kestrel::testing
