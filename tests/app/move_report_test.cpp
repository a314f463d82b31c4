// What a screen reader is told about the board, from the calls the view gets.
#include <gtest/gtest.h>

#include <functional>

#include "app/move_report.h"
#include "engine/match_state.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

TEST(MoveReport, OnePlacementAndItsFlipsAreAMoveAndNothingElseIs)
{
    struct Case {
        const char* what;
        std::function<void(MoveReport&)> calls;
        int black, white;
        std::string said;
    };
    const Case cases[] = {
        {"black's opening move", [](MoveReport& r) { r.placed(19, kBlack), r.flipped(); }, 4, 1,
         SJ("黒が3行4列に置き、1枚返しました（黒4、白1）")},
        {"white in the corner turning three",
         [](MoveReport& r) {
             r.placed(0, kWhite);
             for (int i = 0; i < 3; ++i)
                 r.flipped();
         },
         10, 9, SJ("白が1行1列に置き、3枚返しました（黒10、白9）")},
        {"the last cell, turning none", [](MoveReport& r) { r.placed(63, kBlack); }, 40, 24,
         SJ("黒が8行8列に置きました（黒40、白24）")},
        {"the starting position",
         [](MoveReport& r) {
             for (auto [cell, side] : {std::pair{27, kWhite}, {28, kBlack}, {35, kBlack}, {36, kWhite}})
                 r.placed(cell, side);
         },
         2, 2, ""},
        {"nothing placed (an emptied board, a status text)", [](MoveReport&) {}, 0, 0, ""},
        {"flips without a placement", [](MoveReport& r) { r.flipped(); }, 3, 3, ""},
    };
    for (const Case& c : cases) {
        MoveReport report;
        c.calls(report);
        EXPECT_EQ(fromCp932(report.finish(c.black, c.white)), fromCp932(c.said)) << c.what;
        // Said once: the next end of animations finds nothing new.
        EXPECT_EQ(report.finish(c.black, c.white), "") << c.what;
    }
}

} // namespace
} // namespace kestrel
