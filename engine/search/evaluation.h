#pragma once
// The static estimate of a position: the expected final disc difference for
// the side to move, in hundredths of a disc. A sum of features of the
// position and of a value for the contents of each edge, weighted for the
// stage of the game; the weights are fitted to played games by
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

// The contents of one edge, read from one corner to the other, as a number in
// base 3 (0 empty, 1 own disc, 2 the opponent's; the first cell lowest).
inline constexpr int kEdgeContents = 6561;
// An edge and the same edge read the other way round share one value: the
// number of such pairs (and palindromes).
inline constexpr int kEdgeClasses = 3321;

// The four edges of the position (rank 1, rank 8, file a, file h).
std::array<int, 4> edgesOf(const Position& position);
// The class of an edge's contents: the same for both reading directions.
int edgeClassOf(int contents);

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

// The worth in hundredths of a disc of one unit of each feature, and of each
// class of edge contents, with a given number of empty cells.
struct StageWeights {
    std::array<std::int16_t, kFeatureCount> features{};
    std::array<std::int16_t, kEdgeClasses> edges{};
};
// Indexed by the number of empty cells, 0-60.
using EvaluationWeights = std::array<StageWeights, 61>;

// The fitted weights the levels play with.
const EvaluationWeights& fittedWeights();
// Weights set by hand: the player whose games the fit learns from.
const EvaluationWeights& handWeights();

// Within (-64, 64) discs.
int evaluate(const Position& position, const EvaluationWeights& weights);

inline int evaluate(const Position& position)
{
    return evaluate(position, fittedWeights());
}

} // namespace kestrel::search
