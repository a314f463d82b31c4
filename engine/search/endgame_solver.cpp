#include "engine/search/endgame_solver.h"

#include <algorithm>
#include <array>

#include "engine/search/stability.h"

namespace kestrel::search {

namespace {

// At this many empty cells and fewer the solver tries the cells in a fixed
// order instead of generating and sorting the moves.
constexpr int kFewEmpties = 6;
// Positions with at least this many empty cells go to the transposition table.
constexpr int kTableEmpties = 10;
// From this many empty cells on, the children are looked up in the table
// before any is searched.
constexpr int kChildProbeEmpties = 13;
// Worse than any final score.
constexpr int kBelowAll = -65;

constexpr std::array<Bitboard, 4> kQuadrants{0x000000000F0F0F0FULL, 0x00000000F0F0F0F0ULL,
                                             0x0F0F0F0F00000000ULL, 0xF0F0F0F000000000ULL};
constexpr Bitboard kXSquares = bit(9) | bit(14) | bit(49) | bit(54);
constexpr Bitboard kCSquares = bit(1) | bit(6) | bit(8) | bit(15) | bit(48) | bit(55) | bit(57) | bit(62);
// Cells from the usually best moves to the usually worst.
constexpr std::array<Bitboard, 4> kTiers{kCorners, kEdges & ~kCSquares & ~kCorners, ~kEdges & ~kXSquares,
                                         kCSquares | kXSquares};

// The quadrants holding an odd number of empty cells: moving there first
// tends to keep the last move of each region.
Bitboard oddQuadrants(Bitboard empty)
{
    Bitboard odd = 0;
    for (Bitboard quadrant : kQuadrants)
        if (countBits(empty & quadrant) & 1)
            odd |= quadrant;
    return odd;
}

} // namespace

int EndgameSolver::solve(const Position& position, int alpha, int beta)
{
    return search(position, alpha, beta, false);
}

EndgameSolver::RootResult EndgameSolver::solveRoot(const Position& position, const std::vector<int>& moves,
                                                   int alpha, int beta)
{
    RootResult best{moves.front(), kBelowAll};
    bool first = true;
    for (int cell : moves) {
        const Position child = position.play(cell);
        int score;
        if (first) {
            score = -search(child, -beta, -alpha, false);
        } else {
            score = -search(child, -alpha - 1, -alpha, false);
            if (score > alpha && score < beta)
                score = -search(child, -beta, -alpha, false);
        }
        first = false;
        if (control_.isHalted())
            break;
        if (score > best.score) {
            best = {cell, score};
            alpha = std::max(alpha, score);
            if (score >= beta)
                break;
        }
    }
    return best;
}

EndgameSolver::RootResult EndgameSolver::solveRootExactly(const Position& position, std::vector<int>& moves,
                                                          int lower, int upper, int guess)
{
    RootResult best{moves.front(), lower};
    int test = std::clamp(guess, lower, upper);
    while (lower < upper) {
        const int beta = std::max(test, lower + 1);
        const RootResult result = solveRoot(position, moves, beta - 1, beta);
        if (control_.isHalted())
            break;
        if (result.score >= beta) {
            lower = result.score;
            best = result;
            std::erase(moves, result.move);
            moves.insert(moves.begin(), result.move);
        } else {
            upper = result.score;
        }
        test = result.score;
    }
    best.score = lower;
    return best;
}

int EndgameSolver::lastMove(const Position& position, int cell)
{
    control_.halted();
    const int own = countBits(position.player);
    if (const Bitboard turned = flips(cell, position.player, position.opponent))
        return 2 * (own + countBits(turned) + 1) - 64;
    if (const Bitboard turned = flips(cell, position.opponent, position.player))
        return 2 * (own - countBits(turned)) - 64;
    // Nobody can fill the last cell: it goes to the winner.
    const int difference = 2 * own - 63;
    return difference > 0 ? difference + 1 : difference - 1;
}

int EndgameSolver::searchFew(const Position& position, int alpha, int beta, bool passed)
{
    if (control_.halted())
        return 0;
    const Bitboard empty = position.empties();
    if ((empty & (empty - 1)) == 0)
        return lastMove(position, firstCell(empty));
    const Bitboard odd = oddQuadrants(empty);
    int best = kBelowAll;
    bool moved = false;
    for (Bitboard parity : {odd, ~odd}) {
        for (Bitboard tier : kTiers) {
            Bitboard cells = empty & parity & tier;
            while (cells) {
                const int cell = popFirstCell(cells);
                const Bitboard turned = flips(cell, position.player, position.opponent);
                if (!turned)
                    continue;
                moved = true;
                const int score = -searchFew(position.play(cell, turned), -beta, -alpha, false);
                if (score > best) {
                    best = score;
                    if (score > alpha) {
                        alpha = score;
                        if (score >= beta)
                            return score;
                    }
                }
            }
        }
    }
    if (moved)
        return best;
    if (passed)
        return finalScore(position);
    return -searchFew(position.passed(), -beta, -alpha, true);
}

int EndgameSolver::orderMoves(const Position& position, Bitboard moves, int first, Candidate* out) const
{
    int n = 0;
    while (moves) {
        const int cell = popFirstCell(moves);
        const Bitboard turned = flips(cell, position.player, position.opponent);
        const Position child = position.play(cell, turned);
        const Bitboard replies = child.moves();
        // Fastest first: leave the opponent as few replies as possible.
        int key = -64 * (countBits(replies) + countBits(replies & kCorners));
        key -= 8 * countBits(neighbours(child.empties()) & child.opponent);
        if (bit(cell) & kCorners)
            key += 32;
        if (cell == first)
            key = 1 << 20;
        out[n++] = {cell, turned, key};
    }
    std::sort(out, out + n, [](const Candidate& a, const Candidate& b) { return a.key > b.key; });
    return n;
}

int EndgameSolver::search(const Position& position, int alpha, int beta, bool passed)
{
    if (control_.halted())
        return 0;
    const int empties = position.emptyCount();
    if (empties <= kFewEmpties)
        return searchFew(position, alpha, beta, passed);
    const Bitboard moves = position.moves();
    if (!moves) {
        if (passed)
            return finalScore(position);
        return -search(position.passed(), -beta, -alpha, true);
    }
    // The opponent's stable discs cap the score.
    if (alpha >= 64 - 2 * countBits(position.opponent)) {
        const int cap = 64 - 2 * countBits(stableDiscs(position.opponent, position.player));
        if (cap <= alpha)
            return cap;
    }
    int first = kPass;
    const bool useTable = empties >= kTableEmpties;
    if (useTable) {
        TranspositionTable::Hit hit;
        if (table_.probe(position, hit)) {
            if (hit.lower >= beta)
                return hit.lower;
            if (hit.upper <= alpha)
                return hit.upper;
            if (hit.lower == hit.upper)
                return hit.lower;
            first = hit.move;
            alpha = std::max(alpha, hit.lower);
            beta = std::min(beta, hit.upper);
        }
    }
    // A child already known to be bad enough for the opponent settles this node.
    if (empties >= kChildProbeEmpties) {
        for (Bitboard m = moves; m;) {
            const int cell = popFirstCell(m);
            TranspositionTable::Hit hit;
            if (table_.probe(position.play(cell), hit) && -hit.upper >= beta)
                return -hit.upper;
        }
    }
    Candidate candidates[32];
    const int n = orderMoves(position, moves, first, candidates);
    const int alpha0 = alpha;
    int best = kBelowAll;
    int bestMove = kPass;
    for (int i = 0; i < n; ++i) {
        const Position child = position.play(candidates[i].cell, candidates[i].turned);
        int score;
        if (i == 0) {
            score = -search(child, -beta, -alpha, false);
        } else {
            score = -search(child, -alpha - 1, -alpha, false);
            if (score > alpha && score < beta)
                score = -search(child, -beta, -alpha, false);
        }
        if (control_.isHalted())
            return 0;
        if (score > best) {
            best = score;
            bestMove = candidates[i].cell;
            if (score > alpha) {
                alpha = score;
                if (score >= beta)
                    break;
            }
        }
    }
    if (useTable)
        table_.store(position, empties, alpha0, beta, best, bestMove);
    return best;
}

} // namespace kestrel::search
