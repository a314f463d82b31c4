#pragma once
// The static estimate of a position: the expected final disc difference for
// the side to move, in hundredths of a disc. A sum of features of the
// position, each weighted for the stage of the game (the number of empty
// cells); the weights are fitted to played games by tools/engine/tune.sh.

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

// For each number of empty cells 0-60, the worth of one unit of each feature
// in hundredths of a disc.
using FeatureWeights = std::array<std::int16_t, kFeatureCount>;
using EvaluationWeights = std::array<FeatureWeights, 61>;

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
