#pragma once
// The computer's thinking as the program uses it: started when the computer's
// turn begins, it searches on a thread of its own during the turn's pause,
// and gives the move to play when the pause ends. Also the hint: the move the
// strongest level would play for the player.

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "engine/match_state.h"
#include "engine/search/engine.h"
#include "engine/search/levels.h"

namespace kestrel::search {

class ComputerThinker {
public:
    // The search tables (about 48 MiB) are allocated when a searching level is first used.
    ComputerThinker();
    ~ComputerThinker(); // stops any thinking and waits for its thread
    ComputerThinker(const ComputerThinker&) = delete;
    ComputerThinker& operator=(const ComputerThinker&) = delete;

    // Begins choosing the move of `side` on `board` at `level` (isLevel()).
    // Level 0 and a side without a legal move are decided at once, on this
    // thread; the other levels think on their own thread. Ends any earlier
    // thinking first. `timeBound` replaces a time-bounded level's own bound.
    void start(const Board& board, Side side, int level,
               std::optional<std::chrono::milliseconds> timeBound = std::nullopt);

    // The move to play now: a cell 0-63, or -1 when the side has no legal
    // move (or nothing was started). A time-bounded level stops and gives its
    // best move so far; a depth-bounded one is waited for (it finishes well
    // within the pause).
    int takeMove();

    // Ends the thinking without a move (a new game, the window closing).
    void cancel();

    // The last thought of the current or last thinking: the move as a cell
    // or kPass, the estimate and how it was reached.
    Thought lastThought() const;

    // start() and takeMove() in one: the move of that level after its own
    // bound (the full pause for a time-bounded level, or `timeBound`).
    int chooseMove(const Board& board, Side side, int level,
                   std::optional<std::chrono::milliseconds> timeBound = std::nullopt);

    // The move the strongest level would play for `side`, thought about on
    // this thread for at most `budget`; -1 when the side cannot move.
    int hint(const Board& board, Side side, std::chrono::milliseconds budget = kTurnPause);

private:
    Engine& engine();
    void record(const Thought& thought);

    std::unique_ptr<Engine> engine_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    bool waitForWorker_ = false;
    mutable std::mutex mutex_; // guards thought_
    Thought thought_;
};

// The cell of the program's computer player (level 0) for `side`, or -1.
int standardMove(const Board& board, Side side);

// Level 0's move as a thought: the estimate is the engine's static one after
// that move (the player itself does not estimate).
Thought standardThought(const Board& board, Side side);

} // namespace kestrel::search
