#include "engine/turn_flow.h"

#include "engine/board.h"
#include "engine/computer_player.h"
#include "text/cp932.h"

namespace kestrel {

namespace {

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
    game.link.sendMove(cellIndex(row, col));
    turnPieces(game, row, col, match.mySide);
    updateCounts(game);
    assertCountsMatchBoard(match);
    assertMoveApplied(match, match.mySide, before, flips);
    match.moveAwaitingAck = match.board;
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
        if (computerMove(game) == ComputerTurn::GameOver)
            return; // computerMove has finished the game already
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
        game.view.showNotice(SJ("コマが置けないのでパスします"));
    }
}

void playComputerGameMove(Game& game, int row, int col, PieceCounts before, int flips)
{
    MatchState& match = game.match;
    turnPieces(game, row, col, match.mySide);
    updateCounts(game);
    assertCountsMatchBoard(match);
    assertMoveApplied(match, match.mySide, before, flips);
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
    MatchState& match = game.match;
    if (match.myTurn != 1)
        return;
    if (!match.vsComputer && waitingForMoveAck(match))
        return;
    const int k = game.view.cellAt(x, y);
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
}

} // namespace kestrel
