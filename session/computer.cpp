#include "session/computer.h"

#include "engine/search/levels.h"

namespace kestrel {

int Computer::level() const
{
    return search::isLevel(preferences_.level) ? preferences_.level : search::kDefaultLevel;
}

bool Computer::begin(const Board& board, Side side)
{
    hint_.reset();
    const int chosen = level();
    if (!search::levelAt(chosen).searches()) {
        thinker_.cancel(); // a hint still thinking
        return false;
    }
    thinker_.start(board, side, chosen);
    return true;
}

int Computer::move()
{
    return thinker_.takeMove();
}

int Computer::chooseMove(const Board& board, Side side, int level)
{
    hint_.reset();
    return thinker_.chooseMove(board, side, search::isLevel(level) ? level : search::kDefaultLevel);
}

bool Computer::startHint(const Board& board, Side side)
{
    const Position asked{board, side};
    if (hint_ == asked)
        return false;
    hint_ = asked;
    thinker_.start(board, side, search::kStrongestLevel);
    return true;
}

std::optional<int> Computer::takeHint(const Board& board, Side side)
{
    if (!hint_)
        return std::nullopt;
    const bool same = *hint_ == Position{board, side};
    hint_.reset();
    if (!same) {
        thinker_.cancel();
        return std::nullopt;
    }
    const int cell = thinker_.takeMove();
    return cell >= 0 ? std::optional<int>(cell) : std::nullopt;
}

void Computer::cancel()
{
    hint_.reset();
    thinker_.cancel();
}

} // namespace kestrel
