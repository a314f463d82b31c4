#include "ui/board/move_report.h"

#include "engine/board.h"
#include "engine/match_state.h"
#include "text/cp932.h"

namespace kestrel {

std::string moveText(int side, int cell, int flips, int black, int white)
{
    std::string text = (side == kBlack ? SJ("黒") : SJ("白")) + SJ("が") + cellName(cell);
    text += flips > 0 ? SJ("に置き、") + std::to_string(flips) + SJ("枚返しました") : SJ("に置きました");
    return text + SJ("（黒") + std::to_string(black) + SJ("、白") + std::to_string(white) + SJ("）");
}

void MoveReport::placed(int cell, int side)
{
    ++placements_;
    cell_ = cell;
    side_ = side;
}

void MoveReport::flipped()
{
    ++flips_;
}

std::string MoveReport::finish(int black, int white)
{
    std::string text = placements_ == 1 ? moveText(side_, cell_, flips_, black, white) : std::string();
    *this = MoveReport();
    return text;
}

} // namespace kestrel
