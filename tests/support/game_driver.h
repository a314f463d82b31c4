#pragma once
// A game table for scenario tests: the match record, the recording view and
// the recording opponent link, and ways to drive the human player by clicks.

#include <cstdint>
#include <random>
#include <vector>

#include "engine/board.h"
#include "engine/computer_player.h"
#include "engine/turn_flow.h"
#include "tests/support/board_builder.h"
#include "tests/support/fake_view.h"
#include "tests/support/recording_link.h"

namespace kestrel::testing {

struct Table {
    FakeView view;
    RecordingLink link{view};
    MatchState match;
    Game game{match, view, link};

    Table() = default;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    void click(int k)
    {
        onBoardClick(game, static_cast<std::uint16_t>(view.xOf(k)), static_cast<std::uint16_t>(view.yOf(k)));
    }

    // A game against the computer as the order and game-start commands begin it.
    void startComputerGame(Side mySide)
    {
        match.vsComputer = 1;
        match.mySide = mySide;
        setUpInitialPosition(game);
        if (mySide == kBlack) {
            match.myTurn = 1;
        } else {
            match.myTurn = 0;
            computerMove(game);
            updateCounts(game);
        }
    }

    // Plays the human side until the game is over; `pick` chooses one of the
    // legal cells (ascending). Returns the number of human moves.
    template <class Pick> int playHuman(Pick pick)
    {
        int moves = 0;
        while (match.myTurn == 1) {
            std::vector<int> cells = legalCells(match, match.mySide);
            if (cells.empty())
                break; // cannot happen: the flow hands the turn over only with a legal move
            click(cells[pick(cells)]);
            ++moves;
        }
        return moves;
    }

    int playFirstLegal()
    {
        return playHuman([](const std::vector<int>&) { return std::size_t{0}; });
    }

    int playRandom(std::uint32_t seed)
    {
        std::mt19937 random(seed);
        return playHuman([&](const std::vector<int>& cells) { return random() % cells.size(); });
    }
};

// The board as the view was told it: every showCell and showFlip replayed.
inline Board boardShownBy(const std::vector<ViewCall>& calls)
{
    Board shown{};
    for (const ViewCall& c : calls)
        if ((c.op == "showCell" && c.b >= 0 && c.b <= 2) || (c.op == "showFlip" && (c.b == 1 || c.b == 2)))
            shown[c.a] = static_cast<CellState>(c.b);
    return shown;
}

} // namespace kestrel::testing
