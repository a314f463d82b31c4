#pragma once
// The search engine: iterative deepening to a depth or a time, then the
// exact solver near the end of the game. Owns its transposition tables
// (allocated at the first search); one search at a time.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/search/evaluation.h"
#include "engine/search/position.h"
#include "engine/search/transposition_table.h"

namespace kestrel::search {

struct SearchLimits {
    int depth = 60;       // deepest midgame iteration
    int exactEmpties = 0; // solve exactly from this many empty cells down
    // Proves the result (win, draw or loss) before the exact score, so that a
    // search halted during the exact solve still plays a proven move.
    bool winLossDrawFirst = false;
    std::optional<std::chrono::milliseconds> time; // wall-clock bound
};

struct Thought {
    enum class Kind {
        Estimate,    // a midgame search to `depth`
        WinLossDraw, // the result is proven; score is an estimate within it
        Exact,       // score is the exact final disc difference
        GameOver,    // neither side can move; score is the final difference
    };
    int move = kPass;
    int score = 0; // hundredths of a disc, for the side to move
    Kind kind = Kind::Estimate;
    int depth = 0; // plies of the last complete iteration (empty cells when solved)
    std::uint64_t nodes = 0;
    std::chrono::milliseconds elapsed{0};
};

class Engine {
public:
    // About 48 MiB in all: two thirds for the midgame table, a third for the solver's.
    static constexpr std::size_t kDefaultTableBytes = std::size_t{48} << 20;

    explicit Engine(std::size_t tableBytes = kDefaultTableBytes,
                    const EvaluationWeights& weights = fittedWeights());

    using Progress = std::function<void(const Thought&)>;

    // Thinks until the limits are reached or `stop` is set, and returns the
    // best move found. `progress` hears of every better move on the way; the
    // first call (with a legal move) comes before any search.
    Thought think(const Position& position, const SearchLimits& limits,
                  const std::atomic<bool>* stop = nullptr, const Progress& progress = {});

    // The exact final disc difference under perfect play and a move reaching
    // it; as long as it takes unless `stop` is set (then kind is Estimate).
    Thought solve(const Position& position, const std::atomic<bool>* stop = nullptr);

private:
    TranspositionTable midgameTable_;
    TranspositionTable endgameTable_;
    const EvaluationWeights& weights_;
};

// Legal moves of the position, the most promising first by the static estimate.
std::vector<int> orderedMoves(const Position& position, const EvaluationWeights& weights = fittedWeights());

} // namespace kestrel::search
