#pragma once
// What a screen reader is told about the board: each move once its last
// piece has turned ("黒が3行4列に置き、1枚返しました（黒4、白1）"). The view
// reports what it shows; one placement, its flips and then anything other
// than an animation (the counts, a status text, a notice) make a move. More
// placements before that are no move but a new board being set up.

#include <string>

namespace kestrel {

// The text of one move, code page 932.
std::string moveText(int side, int cell, int flips, int black, int white);

class MoveReport {
public:
    // A piece of `side` placed on `cell`.
    void placed(int cell, int side);
    // One piece turned.
    void flipped();
    // The animations have ended: the text of the move they showed, or an
    // empty text when they showed no single move. black and white: the
    // pieces on the board now.
    std::string finish(int black, int white);

private:
    int placements_ = 0;
    int cell_ = -1;
    int side_ = 0;
    int flips_ = 0;
};

} // namespace kestrel
