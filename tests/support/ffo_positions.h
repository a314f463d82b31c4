#pragma once
// Public endgame test positions FFO #40-#44 with their published results:
// the exact final disc difference for the side to move under perfect play
// (empty cells to the winner) and every move reaching it.

#include <array>
#include <string_view>
#include <vector>

namespace kestrel::testing {

struct SolvedPosition {
    int number;
    std::string_view line; // the common text form: a1..h8, then the side to move
    int score;
    std::vector<std::string_view> bestMoves;
};

inline const std::array<SolvedPosition, 5> kFfoPositions{{
    {40, "O--OOOOX-OOOOOOXOOXXOOOXOOXOOOXXOOOOOOXX---OOOOX----O--X-------- X", 38, {"a2"}},
    {41, "-OOOOO----OOOOX--OOOOOO-XXXXXOO--XXOOX--OOXOXX----OXXO---OOO--O- X", 0, {"h4"}},
    {42, "--OOO-------XX-OOOOOOXOO-OOOOXOOX-OOOXXO---OOXOO---OOOXO--OOOO-- X", 6, {"g2"}},
    {43, "--XXXXX---XXXX---OOOXX---OOXXXX--OOXXXO-OOOOXOO----XOX----XXXXX- O", -12, {"g3", "c7"}},
    {44, "--O-X-O---O-XO-O-OOXXXOOOOOOXXXOOOOOXX--XXOOXO----XXXX-----XXX-- O", -14, {"d2", "b8"}},
}};

} // namespace kestrel::testing
