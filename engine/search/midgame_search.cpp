#include "engine/search/midgame_search.h"

#include <algorithm>

#include "engine/search/evaluation.h"

namespace kestrel::search {

namespace {

// From this remaining depth on, moves are ordered by a search of their own,
// half as deep less two plies; from kEstimateOrderingDepth on, by the static
// estimate after the move; below it, by the opponent's replies (fewest first).
constexpr int kSearchOrderingDepth = 7;
constexpr int kEstimateOrderingDepth = 3;

constexpr int orderingSearchDepth(int depth)
{
    return depth / 2 - 2;
}
// Nodes this close to the horizon are too many and too cheap to remember.
constexpr int kTableDepth = 2;

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int ceilDiv(int a, int b)
{
    return -floorDiv(-a, b);
}

} // namespace

int MidgameSearch::exactScore(const Position& position, int alpha, int beta)
{
    // Final scores are whole discs: a disc window covering (alpha, beta) keeps
    // the bounds right on both sides.
    return kDiscScale * solver_.solve(position, floorDiv(alpha, kDiscScale), ceilDiv(beta, kDiscScale));
}

int MidgameSearch::orderMoves(const Position& position, Bitboard moves, int first, int depth, Candidate* out)
{
    int n = 0;
    while (moves) {
        const int cell = popFirstCell(moves);
        const Bitboard turned = flips(cell, position.player, position.opponent);
        const Position child = position.play(cell, turned);
        int key;
        if (cell == first)
            key = 2 * kInfinity;
        else if (depth >= kSearchOrderingDepth)
            key = -search(child, orderingSearchDepth(depth), -kInfinity, kInfinity, false);
        else if (depth >= kEstimateOrderingDepth)
            key = -evaluate(child, weights_);
        else
            key = -64 * (countBits(child.moves()) + countBits(child.moves() & kCorners)) +
                  (bit(cell) & kCorners ? 32 : 0);
        out[n++] = {cell, turned, key};
    }
    std::sort(out, out + n, [](const Candidate& a, const Candidate& b) { return a.key > b.key; });
    return n;
}

int MidgameSearch::search(const Position& position, int depth, int alpha, int beta, bool passed)
{
    if (control_.halted())
        return 0;
    if (depth <= 0)
        return evaluate(position, weights_);
    const int empties = position.emptyCount();
    if (depth >= empties)
        return exactScore(position, alpha, beta);
    const Bitboard moves = position.moves();
    if (!moves) {
        if (passed)
            return kDiscScale * finalScore(position);
        return -search(position.passed(), depth, -beta, -alpha, true);
    }
    int first = kPass;
    TranspositionTable::Hit hit;
    const bool useTable = depth >= kTableDepth;
    if (useTable && table_.probe(position, hit)) {
        if (hit.depth >= depth) {
            if (hit.lower >= beta)
                return hit.lower;
            if (hit.upper <= alpha)
                return hit.upper;
            if (hit.lower == hit.upper)
                return hit.lower;
        }
        first = hit.move;
    }
    Candidate candidates[32];
    const int n = orderMoves(position, moves, first, depth, candidates);
    if (control_.isHalted())
        return 0;
    const int alpha0 = alpha;
    int best = -kInfinity;
    int bestMove = kPass;
    for (int i = 0; i < n; ++i) {
        const Position child = position.play(candidates[i].cell, candidates[i].turned);
        int score;
        if (i == 0) {
            score = -search(child, depth - 1, -beta, -alpha, false);
        } else {
            score = -search(child, depth - 1, -alpha - 1, -alpha, false);
            if (score > alpha && score < beta)
                score = -search(child, depth - 1, -beta, -alpha, false);
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
        table_.store(position, depth, alpha0, beta, best, bestMove);
    return best;
}

MidgameSearch::RootResult MidgameSearch::searchRoot(const Position& position, std::vector<int>& moves,
                                                    int depth,
                                                    const std::function<void(int, int)>& onBetterMove)
{
    RootResult result{moves.front(), -kInfinity, false};
    std::vector<std::pair<int, int>> scored; // score, move
    int alpha = -kInfinity;
    const int beta = kInfinity;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const Position child = position.play(moves[i]);
        int score;
        if (i == 0) {
            score = -search(child, depth - 1, -beta, -alpha, false);
        } else {
            score = -search(child, depth - 1, -alpha - 1, -alpha, false);
            if (score > alpha && !control_.isHalted())
                score = -search(child, depth - 1, -beta, -alpha, false);
        }
        if (control_.isHalted())
            return result;
        scored.emplace_back(score, moves[i]);
        if (score > result.score) {
            result.move = moves[i];
            result.score = score;
            alpha = score;
            if (i > 0 && onBetterMove)
                onBetterMove(result.move, score);
        }
    }
    // Best first; the others in the order of their (bounded) scores.
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < moves.size(); ++i)
        moves[i] = scored[i].second;
    result.complete = true;
    return result;
}

} // namespace kestrel::search
