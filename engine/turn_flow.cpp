#include "engine/turn_flow.h"

#include "engine/board.h"
#include "engine/computer_player.h"
#include "text/cp932.h"

namespace kestrel {

namespace {

void logMove(Game& game, int cell, Side side)
{
    if (game.log != nullptr)
        game.log->moved(cell, side);
}

// True while a sent move is still waiting for its acknowledgement on the
// unchanged board; a stale wait (the board has changed) is dropped.
bool waitingForMoveAck(MatchState& match)
{
    if (!match.moveAwaitingAck)
        return false;
    if (*match.moveAwaitingAck == match.board)
        return true;
    match.moveAwaitingAck.reset();
    return false;
}

void playNetworkMove(Game& game, int row, int col, PieceCounts before, int flips)
{
    MatchState& match = game.match;
    // A failed send shows an error box, which handles events while it is
    // open: hold clicks back from now on, and keep this move's runs.
    const Board placed = match.board;
    const std::array<int, 8> runs = match.flipRuns;
    match.moveAwaitingAck = placed;
    game.link.sendMove(cellIndex(row, col));
    if (match.board != placed)
        return; // a new game or the end of the connection came meanwhile
    match.flipRuns = runs;
    turnPieces(game, row, col, match.mySide);
    updateCounts(game);
    assertCountsMatchBoard(match);
    assertMoveApplied(match, match.mySide, before, flips);
    match.moveAwaitingAck = match.board;
    logMove(game, cellIndex(row, col), match.mySide);
    // myTurn stays 1 until onMoveAck.
}

// The computer answers until the player can move again or the game is over.
void replyLoop(Game& game)
{
    MatchState& match = game.match;
    const Side computer = 3 - match.mySide;
    for (;;) {
        match.myTurn = 0;
        game.view.setStatus(SJ("コンピュータの番です"));
        const ComputerTurn turn = computerMove(game);
        if (turn == ComputerTurn::GameOver || turn == ComputerTurn::Abandoned)
            return; // the game is finished already, or another one has begun
        updateCounts(game);
        assertCountsMatchBoard(match);
        if (hasLegalMove(match, match.mySide)) {
            match.myTurn = 1;
            game.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
            return;
        }
        if (!hasLegalMove(match, computer)) {
            match.myTurn = 0;
            finishGame(game);
            return;
        }
        const Board before = match.board;
        game.view.showNotice(SJ("コマが置けないのでパスします"));
        // The notice handles events: a new game may have begun under it.
        if (match.board != before)
            return;
    }
}

void playComputerGameMove(Game& game, int row, int col, PieceCounts before, int flips)
{
    MatchState& match = game.match;
    turnPieces(game, row, col, match.mySide);
    updateCounts(game);
    assertCountsMatchBoard(match);
    assertMoveApplied(match, match.mySide, before, flips);
    logMove(game, cellIndex(row, col), match.mySide);
    if (match.blackCount + match.whiteCount == kCellCount) {
        match.myTurn = 0;
        finishGame(game);
        return;
    }
    replyLoop(game);
}

} // namespace

void onBoardClick(Game& game, std::uint16_t x, std::uint16_t y)
{
    if (game.match.myTurn != 1)
        return;
    playLocalMove(game, game.view.cellAt(x, y));
}

void playLocalMove(Game& game, int k)
{
    MatchState& match = game.match;
    if (match.myTurn != 1)
        return;
    if (!match.vsComputer && waitingForMoveAck(match))
        return;
    if (!isCellIndex(k))
        return;
    const int row = k / 8, col = k % 8;
    if (match.board[k] != kEmpty)
        return;
    const int flips = countFlips(match, row, col, match.mySide);
    if (flips == 0)
        return;
    const PieceCounts before = piecesOn(match.board);
    setCell(game, row, col, match.mySide);
    if (match.vsComputer)
        playComputerGameMove(game, row, col, before, flips);
    else
        playNetworkMove(game, row, col, before, flips);
}

void finishGame(Game& game)
{
    const MatchState& match = game.match;
    const GameResult result = resultOf(match.blackCount, match.whiteCount);
    const bool localWon = (result == GameResult::BlackWins && match.mySide == kBlack) ||
                          (result == GameResult::WhiteWins && match.mySide == kWhite);
    game.view.playSound(result == GameResult::Draw || localWon ? Sound::Win : Sound::Lose);
    const std::string& text = resultText(result);
    game.view.setStatus(text);
    if (!match.vsComputer)
        game.link.sendResult(text);
    if (game.log != nullptr)
        game.log->finished();
}

} // namespace kestrel
