#pragma once
// The computer's levels and the hint, for the program record: the thinking
// behind the computer's moves above level 0, and the hint's thinking while
// the player considers a move. Both share one search on one thread of its
// own (engine/search/thinker.h); whatever starts ends the thinking before.

#include <optional>

#include "engine/game.h"
#include "engine/search/thinker.h"
#include "settings/preferences.h"

namespace kestrel {

class Computer final : public ComputerOpponent {
public:
    // The level is read from the player's preferences at each computer turn.
    explicit Computer(const Preferences& preferences) : preferences_(preferences) {}

    // The chosen level when it is one of the search's levels, else the default one.
    int level() const;

    // ComputerOpponent: level 0 leaves the turn to the program's own player;
    // the others think during the pause.
    bool begin(const Board& board, Side side) override;
    int move() override;

    // The move `level` plays for `side`, thought about on the calling thread
    // (the strongest level for its whole second); -1 when it cannot move.
    int chooseMove(const Board& board, Side side, int level);

    // Starts thinking about the move the strongest level would play for
    // `side`; false, and nothing changes, when that thinking is under way.
    bool startHint(const Board& board, Side side);
    // Ends the hint's thinking and gives its cell, when the hint was being
    // thought about for this very position; nothing otherwise.
    std::optional<int> takeHint(const Board& board, Side side);

    // Ends any thinking without a move (a new game, the end of the program);
    // its thread has ended on return.
    void cancel();

private:
    struct Position {
        Board board;
        Side side;
        bool operator==(const Position&) const = default;
    };

    const Preferences& preferences_;
    search::ComputerThinker thinker_;
    std::optional<Position> hint_; // the position the hint is thought about for
};

} // namespace kestrel
