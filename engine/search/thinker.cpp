#include "engine/search/thinker.h"

#include "engine/computer_player.h"
#include "engine/search/evaluation.h"

namespace kestrel::search {

namespace {

int cellOrNone(int move)
{
    return move == kPass ? -1 : move;
}

} // namespace

Thought standardThought(const Board& board, Side side)
{
    Thought thought;
    const Position position = positionOf(board, side);
    const int cell = standardMove(board, side);
    if (cell >= 0) {
        thought.move = cell;
        thought.score = -evaluate(position.play(cell));
        thought.depth = 1;
    } else if (position.gameOver()) {
        thought.kind = Thought::Kind::GameOver;
        thought.score = kDiscScale * finalScore(position);
    } else {
        thought.score = -evaluate(position.passed());
    }
    return thought;
}

int standardMove(const Board& board, Side side)
{
    MatchState scratch;
    scratch.board = board;
    return chooseComputerMove(scratch, side);
}

ComputerThinker::ComputerThinker() = default;

ComputerThinker::~ComputerThinker()
{
    cancel();
}

Engine& ComputerThinker::engine()
{
    if (!engine_)
        engine_ = std::make_unique<Engine>();
    return *engine_;
}

void ComputerThinker::record(const Thought& thought)
{
    const std::lock_guard lock(mutex_);
    thought_ = thought;
}

void ComputerThinker::start(const Board& board, Side side, int level,
                            std::optional<std::chrono::milliseconds> timeBound)
{
    cancel();
    const Position position = positionOf(board, side);
    const Level& chosen = levelAt(level);
    if (!chosen.searches() || !position.moves()) {
        record(standardThought(board, side));
        return;
    }
    // A legal move is ready before the thread has searched anything.
    Thought first;
    first.move = firstCell(position.moves());
    record(first);
    Engine& searcher = engine();
    stop_ = false;
    SearchLimits limits = chosen.limits;
    if (timeBound && limits.time)
        limits.time = timeBound;
    waitForWorker_ = chosen.deterministic();
    worker_ = std::thread([this, &searcher, position, limits] {
        record(searcher.think(position, limits, &stop_, [this](const Thought& t) { record(t); }));
    });
}

int ComputerThinker::takeMove()
{
    if (worker_.joinable()) {
        if (!waitForWorker_)
            stop_ = true;
        worker_.join();
    }
    return cellOrNone(lastThought().move);
}

void ComputerThinker::cancel()
{
    if (worker_.joinable()) {
        stop_ = true;
        worker_.join();
    }
    record(Thought{});
}

Thought ComputerThinker::lastThought() const
{
    const std::lock_guard lock(mutex_);
    return thought_;
}

int ComputerThinker::chooseMove(const Board& board, Side side, int level,
                                std::optional<std::chrono::milliseconds> timeBound)
{
    start(board, side, level, timeBound);
    if (worker_.joinable())
        worker_.join();
    return cellOrNone(lastThought().move);
}

int ComputerThinker::hint(const Board& board, Side side, std::chrono::milliseconds budget)
{
    cancel();
    const Position position = positionOf(board, side);
    if (!position.moves())
        return -1;
    SearchLimits limits = levelAt(kStrongestLevel).limits;
    limits.time = budget;
    const Thought thought = engine().think(position, limits);
    record(thought);
    return cellOrNone(thought.move);
}

} // namespace kestrel::search
