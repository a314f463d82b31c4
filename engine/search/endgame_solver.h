#pragma once
// Exact solving of the last part of the game: the final disc difference for
// the side to move under perfect play by both sides, the empty cells going to
// the winner.

#include <vector>

#include "engine/search/position.h"
#include "engine/search/search_control.h"
#include "engine/search/transposition_table.h"

namespace kestrel::search {

class EndgameSolver {
public:
    EndgameSolver(TranspositionTable& table, SearchControl& control) : table_(table), control_(control) {}

    // The score if it lies inside (alpha, beta), otherwise a bound on the
    // side it fell (at most alpha, at least beta). Meaningless once the
    // control has halted.
    int solve(const Position& position, int alpha, int beta);

    struct RootResult {
        int move = kPass;
        int score = 0;
    };
    // The best of `moves` (legal, best guess first) with its score within
    // (alpha, beta), as solve() bounds it.
    RootResult solveRoot(const Position& position, const std::vector<int>& moves, int alpha, int beta);

    // The exact score, known to lie in [lower, upper], and a move reaching
    // it: null-window searches from `guess` until the bounds meet. Moves the
    // best move found to the front of `moves`.
    RootResult solveRootExactly(const Position& position, std::vector<int>& moves, int lower, int upper,
                                int guess);

private:
    struct Candidate {
        int cell;
        Bitboard turned;
        int key;
    };

    int search(const Position& position, int alpha, int beta, bool passed);
    int searchFew(const Position& position, int alpha, int beta, bool passed);
    int lastMove(const Position& position, int cell);
    int orderMoves(const Position& position, Bitboard moves, int first, Candidate* out) const;

    TranspositionTable& table_;
    SearchControl& control_;
};

} // namespace kestrel::search
