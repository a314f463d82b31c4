#include "engine/computer_player.h"

#include <algorithm>
#include <cassert>

#include "engine/board.h"
#include "engine/turn_flow.h"
#include "text/cp932.h"

namespace kestrel {

namespace {

// Each group is searched in ascending cell order, so ties go to the lowest index.
constexpr bool groupsAscending()
{
    for (auto group : kCandidateGroups)
        if (!std::is_sorted(group.begin(), group.end()))
            return false;
    return true;
}
static_assert(groupsAscending());

// The cell of the group that turns the most pieces (strictly more wins), or -1.
int bestInGroup(MatchState& match, std::span<const int> group, Side side)
{
    int best = 0;
    int choice = -1;
    for (int k : group) {
        if (match.board[k] != kEmpty)
            continue;
        const int n = countFlips(match, k / 8, k % 8, side);
        if (n > best) {
            best = n;
            choice = k;
        }
    }
    return choice;
}

// The first legal cell in row-major order; only 9, 14, 49, 54 remain by now.
int firstLegalCell(MatchState& match, Side side)
{
    for (int k = 0; k < kCellCount; ++k)
        if (match.board[k] == kEmpty && countFlips(match, k / 8, k % 8, side) > 0)
            return k;
    return -1;
}

} // namespace

int chooseComputerMove(MatchState& match, Side side)
{
    for (auto group : kCandidateGroups) {
        const int choice = bestInGroup(match, group, side);
        if (choice >= 0)
            return choice;
    }
    return firstLegalCell(match, side);
}

namespace {

// The cell the opponent that thought during the pause gives, when it is a
// legal one; otherwise the program's own player chooses.
int thoughtMove(Game& game, Side side)
{
    MatchState& match = game.match;
    const int k = game.computer->move();
    if (isCellIndex(k) && match.board[k] == kEmpty && countFlips(match, k / 8, k % 8, side) > 0)
        return k;
    return chooseComputerMove(match, side);
}

} // namespace

ComputerTurn computerMove(Game& game)
{
    MatchState& match = game.match;
    const Side computer = 3 - match.mySide;
    // A stronger opponent thinks on its own thread while this one waits.
    const bool thinking = game.computer != nullptr && game.computer->begin(match.board, computer);
    game.view.pause(1000);
    updateCounts(game);
    game.view.setStatus(SJ("コンピュータの番です"));

    if (hasLegalMove(match, computer)) {
        match.myTurn = 1;
        const int k = thinking ? thoughtMove(game, computer) : chooseComputerMove(match, computer);
        assert(isCellIndex(k));
        const int row = k / 8, col = k % 8;
        // The search left other cells' runs in flipRuns: count this one again.
        const int flips = countFlips(match, row, col, computer);
        const PieceCounts before = piecesOn(match.board);
        setCell(game, row, col, computer);
        turnPieces(game, row, col, computer);
        assertMoveApplied(match, computer, before, flips);
        if (game.log != nullptr)
            game.log->moved(k, computer);
        game.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
        return ComputerTurn::Moved;
    }
    if (hasLegalMove(match, match.mySide)) {
        const Board before = match.board;
        game.view.showNotice(SJ("コンピュータはパスしました"));
        // The notice handles events: a new game may have begun under it.
        if (match.board != before)
            return ComputerTurn::Abandoned;
        match.myTurn = 0;
        return ComputerTurn::Passed;
    }
    match.myTurn = 0;
    finishGame(game);
    return ComputerTurn::GameOver;
}

} // namespace kestrel
