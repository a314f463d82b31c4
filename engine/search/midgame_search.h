#pragma once
// Depth-limited search with static estimates at the horizon: alpha-beta in
// its principal-variation form, a transposition table and move ordering by
// shallower searches. Where the depth reaches the end of the game it hands
// over to the exact solver.

#include <functional>
#include <vector>

#include "engine/search/endgame_solver.h"
#include "engine/search/evaluation.h"
#include "engine/search/position.h"
#include "engine/search/search_control.h"
#include "engine/search/transposition_table.h"

namespace kestrel::search {

class MidgameSearch {
public:
    MidgameSearch(TranspositionTable& table, EndgameSolver& solver, SearchControl& control,
                  const EvaluationWeights& weights)
        : table_(table), solver_(solver), control_(control), weights_(weights)
    {
    }

    // Score in hundredths of a disc within (alpha, beta), or a bound beyond
    // the side it fell. Meaningless once the control has halted.
    int search(const Position& position, int depth, int alpha, int beta, bool passed);

    struct RootResult {
        int move = kPass;
        int score = 0;
        bool complete = false; // every move searched before the control halted
    };
    // Searches the legal `moves` to `depth`, the first with the full window
    // and the others with null windows, and sorts them best first for the
    // next iteration. `onBetterMove` hears of each later move proven better
    // than those before it, so that a halted search still gives its best.
    RootResult searchRoot(const Position& position, std::vector<int>& moves, int depth,
                          const std::function<void(int move, int score)>& onBetterMove);

private:
    struct Candidate {
        int cell;
        Bitboard turned;
        int key;
    };

    int orderMoves(const Position& position, Bitboard moves, int first, int depth, Candidate* out);
    int exactScore(const Position& position, int alpha, int beta);

    TranspositionTable& table_;
    EndgameSolver& solver_;
    SearchControl& control_;
    const EvaluationWeights& weights_;
};

} // namespace kestrel::search
