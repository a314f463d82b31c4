#pragma once
// The static estimate of a position: the expected final disc difference for
// the side to move, in hundredths of a disc. A sum of features of the
// position and of values for the contents of lines of cells, weighted for
// the stage of the game; the weights are fitted to played games by
// tools/engine/tune.sh.

#include <array>
#include <cstdint>

#include "engine/search/position.h"

namespace kestrel::search {

// Hundredths of a disc: a finished game of +n discs scores n * kDiscScale.
inline constexpr int kDiscScale = 100;
// Beyond every estimate and every final score.
inline constexpr int kInfinity = 30000;

// What the estimate is made of; each is own minus the opponent's unless said.
enum Feature : int {
    kMobility,          // legal moves
    kCornerMobility,    // legal moves onto a corner
    kPotentialMobility, // empty cells next to the other side's discs
    kFrontier,          // discs next to an empty cell
    kCornerDiscs,       // discs on corners
    kXSquareDiscs,      // discs diagonally next to an empty corner
    kCSquareDiscs,      // discs beside an empty corner on the edge
    kStable,            // discs that can no longer be turned
    kEdgeDiscs,         // discs on the edges, corners not counted
    kDiscs,             // all discs
    kParity,            // +1 when the number of empty cells is odd, else -1
    kTempo,             // always 1: being the side to move
    kFeatureCount
};

using Features = std::array<int, kFeatureCount>;

Features featuresOf(const Position& position);

// Lines of eight cells valued by their contents as a whole: the four edges,
// the four lines next to them, and the two long diagonals. Contents are read
// from one end to the other as a number in base 3 (0 empty, 1 own disc, 2 the
// opponent's; the first cell lowest).
enum LineKind : int { kEdgeLine, kSecondLine, kDiagonalLine, kLineKinds };
inline constexpr int kLineCount = 10;
inline constexpr std::array<LineKind, kLineCount> kLineKindOf{
    kEdgeLine,   kEdgeLine,   kEdgeLine,   kEdgeLine,     kSecondLine,
    kSecondLine, kSecondLine, kSecondLine, kDiagonalLine, kDiagonalLine};
inline constexpr int kLineContents = 6561;
// A line and the same line read the other way round share one value: the
// number of such pairs (and palindromes).
inline constexpr int kLineClasses = 3321;

// The contents of the ten lines, in the order of kLineKindOf.
std::array<int, kLineCount> linesOf(const Position& position);
// The class of a line's contents: the same for both reading directions.
int lineClassOf(int contents);

// The stages the fit divides the game into by number of empty cells.
inline constexpr int kStageCount = 10;
constexpr int stageOf(int empties)
{
    constexpr std::array<int, kStageCount - 1> kFirstEmpties{13, 18, 23, 28, 33, 38, 43, 48, 53};
    int stage = 0;
    while (stage < kStageCount - 1 && empties >= kFirstEmpties[static_cast<std::size_t>(stage)])
        ++stage;
    return stage;
}

using FeatureWeights = std::array<std::int16_t, kFeatureCount>;
using LineWeights = std::array<std::array<std::int16_t, kLineClasses>, kLineKinds>;

// The weights of one fitted stage, in hundredths of a disc.
struct StageWeights {
    FeatureWeights features{};
    LineWeights lines{};
};

// The worth in hundredths of a disc of one unit of each feature by number of
// empty cells (0-60), and of each class of line contents by stage.
struct EvaluationWeights {
    std::array<FeatureWeights, 61> features{};
    std::array<LineWeights, kStageCount> lines{};
};

// The fitted weights the levels play with.
const EvaluationWeights& fittedWeights();

// Within (-64, 64) discs.
int evaluate(const Position& position, const EvaluationWeights& weights);

inline int evaluate(const Position& position)
{
    return evaluate(position, fittedWeights());
}

} // namespace kestrel::search
