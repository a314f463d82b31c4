#pragma once
// The common one-line text form of test positions: 64 cells a1..h1, a2..h2,
// ..., h8, then the side to move. Black is X (or x, *), white O (or o), an
// empty cell - (or .); one or more spaces or tabs separate the board from
// the side to move (X or O); anything from a ';' on is a comment.

#include <string>
#include <string_view>

#include "engine/match_state.h"
#include "engine/search/position.h"

namespace kestrel::search {

struct PositionLine {
    enum class Kind {
        Position, // board and side are set
        Blank,    // nothing but spaces or a comment
        Fault,    // fault says what is wrong
    };
    Kind kind = Kind::Blank;
    Board board{};
    Side side = kBlack;
    std::string fault;
};

PositionLine readPositionLine(std::string_view line);

// The line for a board with `side` to move, in the X / O / - letters.
std::string positionLineOf(const Board& board, Side side);

// "a1" .. "h8" for cells 0-63, "pass" for kPass.
std::string moveName(int move);

} // namespace kestrel::search
