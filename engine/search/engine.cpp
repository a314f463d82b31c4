#include "engine/search/engine.h"

#include <algorithm>
#include <cmath>

#include "engine/search/endgame_solver.h"
#include "engine/search/evaluation.h"
#include "engine/search/midgame_search.h"
#include "engine/search/search_control.h"

namespace kestrel::search {

namespace {

using Clock = SearchControl::Clock;

// Midgame iterations before an exact solve: they order the root moves and
// give the move to play should the solve not finish.
int depthBeforeSolving(int empties)
{
    return std::clamp(empties - 12, 0, 10);
}

// With a time bound, the percentage of the time the midgame iterations may
// take before the solve begins; a solve that does not finish leaves their move.
constexpr int kShareBeforeSolving = 30;

// One call of think(): the searches of one position and what they found.
class Thinking {
public:
    Thinking(TranspositionTable& midgameTable, TranspositionTable& endgameTable, SearchControl& control,
             const EvaluationWeights& weights, const Engine::Progress& progress)
        : control_(control), weights_(weights), progress_(progress), solver_(endgameTable, control),
          midgame_(midgameTable, solver_, control, weights)
    {
    }

    Thought run(const Position& position, const SearchLimits& limits)
    {
        if (position.moves()) {
            think(position, limits);
        } else if (position.opponentMoves()) {
            // A forced pass: what matters is the opponent's reply.
            passing_ = true;
            think(position.passed(), limits);
        } else {
            current_ = {kPass, kDiscScale * finalScore(position), Thought::Kind::GameOver, 0};
            publish();
        }
        return reported();
    }

private:
    void think(const Position& position, const SearchLimits& limits)
    {
        std::vector<int> moves = orderedMoves(position, weights_);
        current_.move = moves.front();
        current_.score = -evaluate(position.play(moves.front()), weights_);
        publish();
        const int empties = position.emptyCount();
        const bool solving = empties <= limits.exactEmpties;
        // Bounded by time, the midgame iterations before a solve get a share of
        // the time instead of a depth.
        const bool timed = limits.time.has_value();
        const int lastDepth =
            std::min({limits.depth, empties, solving && !timed ? depthBeforeSolving(empties) : empties});
        for (int depth = 1; depth <= lastDepth; ++depth) {
            if (solving && timed && Clock::now() - start_ > *limits.time * kShareBeforeSolving / 100)
                break;
            const auto better = [this](int move, int score) {
                current_.move = move;
                current_.score = score;
                publish();
            };
            const MidgameSearch::RootResult result = midgame_.searchRoot(position, moves, depth, better);
            if (!result.complete)
                return;
            const bool exact = depth >= empties;
            current_ = {result.move, result.score, exact ? Thought::Kind::Exact : Thought::Kind::Estimate,
                        depth};
            publish();
            if (exact)
                return;
        }
        if (solving && !control_.isHalted())
            solve(position, moves, limits.winLossDrawFirst);
    }

    void solve(const Position& position, std::vector<int>& moves, bool winLossDrawFirst)
    {
        const int empties = position.emptyCount();
        int lower = -64, upper = 64;
        if (winLossDrawFirst) {
            const EndgameSolver::RootResult result = solver_.solveRoot(position, moves, -1, 1);
            if (control_.isHalted())
                return;
            if (result.score == 0) {
                current_ = {result.move, 0, Thought::Kind::Exact, empties};
                publish();
                return;
            }
            current_.kind = Thought::Kind::WinLossDraw;
            current_.depth = empties;
            if (result.score > 0) {
                // A proven win: play it, and look for its margin next.
                current_.move = result.move;
                current_.score = std::max(current_.score, 2 * kDiscScale);
                std::erase(moves, result.move);
                moves.insert(moves.begin(), result.move);
                lower = 2; // final scores are even
            } else {
                // Every move loses: the midgame choice stands until the margins are known.
                current_.score = std::min(current_.score, -2 * kDiscScale);
                upper = -2;
            }
            publish();
        }
        // The midgame estimate, to the nearest even score, is where the null windows start.
        const int guess = 2 * static_cast<int>(std::lround(current_.score / (2.0 * kDiscScale)));
        const EndgameSolver::RootResult result =
            solver_.solveRootExactly(position, moves, lower, upper, guess);
        if (control_.isHalted())
            return;
        current_ = {result.move, kDiscScale * result.score, Thought::Kind::Exact, empties};
        publish();
    }

    // The thought as the caller sees it: for a forced pass, the pass and the
    // score from the passing side.
    Thought reported() const
    {
        Thought thought = current_;
        if (passing_) {
            thought.move = kPass;
            thought.score = -thought.score;
        }
        thought.nodes = control_.nodes();
        thought.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
        return thought;
    }

    void publish() const
    {
        if (progress_)
            progress_(reported());
    }

    SearchControl& control_;
    const EvaluationWeights& weights_;
    const Engine::Progress& progress_;
    EndgameSolver solver_;
    MidgameSearch midgame_;
    Clock::time_point start_ = Clock::now();
    Thought current_;
    bool passing_ = false;
};

} // namespace

Engine::Engine(std::size_t tableBytes, const EvaluationWeights& weights)
    : midgameTable_(tableBytes / 3 * 2), endgameTable_(tableBytes / 3), weights_(weights)
{
}

Thought Engine::think(const Position& position, const SearchLimits& limits, const std::atomic<bool>* stop,
                      const Progress& progress)
{
    std::optional<Clock::time_point> deadline;
    if (limits.time)
        deadline = Clock::now() + *limits.time;
    SearchControl control(stop, deadline);
    midgameTable_.newSearch();
    endgameTable_.newSearch();
    Thinking thinking(midgameTable_, endgameTable_, control, weights_, progress);
    return thinking.run(position, limits);
}

Thought Engine::solve(const Position& position, const std::atomic<bool>* stop)
{
    return think(
        position,
        SearchLimits{.depth = 60, .exactEmpties = 64, .winLossDrawFirst = false, .time = std::nullopt}, stop);
}

std::vector<int> orderedMoves(const Position& position, const EvaluationWeights& weights)
{
    std::vector<std::pair<int, int>> scored; // estimate, cell
    for (Bitboard moves = position.moves(); moves;) {
        const int cell = popFirstCell(moves);
        scored.emplace_back(-evaluate(position.play(cell), weights), cell);
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<int> cells;
    for (const auto& [score, cell] : scored)
        cells.push_back(cell);
    return cells;
}

} // namespace kestrel::search
