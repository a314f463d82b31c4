#include "session/match_messages.h"

#include "engine/board.h"
#include "engine/turn_flow.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/game_records.h"
#include "session/handshake.h"
#include "session/opponent.h"
#include "session/peers.h"
#include "session/pending.h"
#include "session/program.h"
#include "session/send.h"
#include "text/cp932.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {

namespace {

// The name line of a chat line: the sender's listed name. An unlisted sender
// is the opponent when a request named it (its name is known from there),
// or else is shown by its address.
std::string chatName(const Program& program, const std::string& sender)
{
    const int row = findPeer(program.peers, sender);
    if (row >= 0)
        return program.peers.rows[static_cast<std::size_t>(row)].name;
    const MatchState& match = program.match;
    if (match.vsComputer == 0 && match.peerAddress == sender)
        return match.opponentName;
    return sender;
}

// Fixes the order of the coming game with the local player on `mySide`:
// order controls off, game start for black only, the names by the colours.
void fixOrder(Program& program, Side mySide)
{
    MatchState& match = program.match;
    Dialog& dialog = program.dialog;
    match.orderDecided = 1;
    match.mySide = mySide;
    for (int id : {ids::kFirstBlack, ids::kSecondWhite, ids::kDecide})
        dialog.enable(id, false);
    const bool black = mySide == kBlack;
    dialog.enable(ids::kGameStart, black);
    program.view.setStatus(black ? SJ("ゲーム開始ボタンを押して下さい")
                                 : SJ("相手のゲーム開始を待っています"));
    dialog.setChecked(ids::kFirstBlack, black);
    dialog.setChecked(ids::kSecondWhite, !black);
    const std::string& me = program.settings.playerName;
    dialog.setText(ids::kBlackName, black ? me : match.opponentName);
    dialog.setText(ids::kWhiteName, black ? match.opponentName : me);
}

void showGameUnderWay(Program& program)
{
    program.dialog.enable(ids::kGameStart, false);
    program.dialog.enable(ids::kGameEnd, true);
}

// A move's cell: one or two decimal digits, 0-63, as "%d" writes it.
bool readCellIndex(const std::string& payload, int& k)
{
    if (payload.empty() || payload.size() > 2)
        return false;
    for (char c : payload)
        if (c < '0' || c > '9')
            return false;
    k = decimalValue(payload);
    return isCellIndex(k);
}

// The opponent has moved, so our last move or pass has arrived, whether or
// not its answer did: it must not be offered for resending, which would give
// the opponent a second turn.
void completeAnsweredTurn(Program& program)
{
    for (const PendingMessage& slot : program.pending.slots)
        if (slot.seq != 0 && (slot.type == MSG_MOVE || slot.type == MSG_PASS))
            completePending(program, std::to_string(slot.seq));
}

// After the opponent's move: this side's turn, a pass back to the mover, or
// the end of the game when nobody can move.
void decideTurnAfterMove(Program& program, const std::string& mover)
{
    MatchState& match = program.match;
    const Side me = match.mySide;
    if (hasLegalMove(match, me)) {
        match.myTurn = 1;
        program.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
        return;
    }
    Game game = program.game();
    if (!hasLegalMove(match, 3 - me)) {
        match.myTurn = 0;
        finishGame(game);
        return;
    }
    match.myTurn = 0;
    program.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
    // The same move again (a resend, or a flood) while the notice is open:
    // the open notice sends the one pass when it closes.
    if (program.boxes.passNotice)
        return;
    const Board before = match.board;
    {
        BoxOpen notice(program.boxes.passNotice);
        program.view.showNotice(SJ("コマが置けないのでパスします"));
    }
    // The notice handles events: a new game or the end of the connection may have come.
    if (match.board != before)
        return;
    sendDatagram(program, mover, MSG_PASS, "pass");
}

} // namespace

void onChat(Program& program, const std::string& sender, const std::string& text, std::int32_t seq)
{
    answerRequest(program, sender, MSG_CHAT_ACK, seq);
    if (!inNetworkMatch(program.match))
        return;
    program.dialog.appendText(ids::kChatLog,
                              SJ("【") + chatName(program, sender) + SJ("】") + "\r\n" + text + "\r\n");
    program.dialog.bringToFront();
    program.dialog.focus(ids::kChatInput);
}

void onOrder(Program& program, const std::string& sender, const std::string& payload, std::int32_t seq)
{
    MatchState& match = program.match;
    if (match.orderDecided == 1) {
        // The opponent asks again for the side it already has here: our
        // answer was lost, and without one its "決定" would never take.
        // A different wish is left unanswered.
        if (decimalValue(payload) == 3 - match.mySide)
            answerRequest(program, sender, MSG_ORDER_ACK, seq);
        return;
    }
    program.dialog.restoreIfMinimised();
    // The sender takes the side it names; anything but 1 leaves black to us.
    fixOrder(program, decimalValue(payload) == kBlack ? kWhite : kBlack);
    answerRequest(program, sender, MSG_ORDER_ACK, seq);
}

void onOrderAck(Program& program)
{
    if (program.match.orderDecided == 1)
        return;
    fixOrder(program, program.match.mySide == kBlack ? kBlack : kWhite);
}

void onGameStart(Program& program, const std::string& sender, std::int32_t seq)
{
    // Our "決定" for white whose answer was lost: the opponent starting as
    // black shows it was taken. Left undecided, this side would answer the
    // opponent's first move without playing it, and both would wait.
    if (program.match.orderDecided == 0 && program.match.mySide == kWhite)
        fixOrder(program, kWhite);
    program.dialog.restoreIfMinimised();
    program.match.myTurn = 0;
    showGameUnderWay(program);
    program.view.setStatus(SJ("ゲーム開始が開始されました　相手が先攻です"));
    beginGameRecord(program);
    answerRequest(program, sender, MSG_GAME_START_ACK, seq);
}

void onGameStartAck(Program& program, const std::string& payload)
{
    completePending(program, payload);
    program.match.myTurn = 1;
    program.match.moveAwaitingAck.reset();
    showGameUnderWay(program);
    program.view.setStatus(SJ("コマを置いて下さい"));
    beginGameRecord(program);
}

void onGameEnd(Program& program, const std::string& sender, std::int32_t seq)
{
    program.dialog.restoreIfMinimised();
    resetForNewGame(program);
    program.view.setStatus(SJ("ゲームが終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
    answerRequest(program, sender, MSG_GAME_END_ACK, seq);
}

void onGameEndAck(Program& program, const std::string& payload)
{
    completePending(program, payload);
    resetForNewGame(program);
    program.view.setStatus(SJ("ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
}

void onMove(Program& program, const std::string& sender, const std::string& payload, std::int32_t seq)
{
    // The program sends nothing else. A move that names no cell is dropped
    // unanswered: its sender is then asked about it instead of being told it
    // arrived, and neither the board nor the turn changes on either side.
    int k = 0;
    if (!readCellIndex(payload, k))
        return;
    MatchState& match = program.match;
    program.dialog.restoreIfMinimised();
    const Board before = match.board;
    // Answered before the board is touched: the animations take time.
    answerRequest(program, sender, MSG_MOVE_ACK, seq);
    if (match.board != before || !isOpponent(match, sender))
        return; // a send error box handled events: a new game or another opponent
    // No order decided for this game (mySide may still be the last game's):
    // there is no game to play in. A move the opponent made in a game we
    // have ended already would land on the new starting position.
    if (match.orderDecided != 1 || (match.mySide != kBlack && match.mySide != kWhite))
        return;
    const Side opponent = 3 - match.mySide;
    const int i = 63 - k, row = i / 8, col = i % 8;
    // A piece of the opponent's there already: a move played before, sent
    // again because its answer was lost. The turn has been decided since (we
    // may have moved already), so deciding it again would hand out a second turn.
    if (match.board[i] == opponent)
        return;
    Game game = program.game();
    if (match.board[i] == kEmpty && countFlips(match, row, col, opponent) > 0) {
        completeAnsweredTurn(program);
        setCell(game, row, col, opponent);
        turnPieces(game, row, col, opponent);
        program.moved(i, opponent);
    }
    updateCounts(game);
    decideTurnAfterMove(program, sender);
}

void onMoveAck(Program& program, const std::string& payload)
{
    completePending(program, payload);
    MatchState& match = program.match;
    // Only the answer to the move still waited for ends our turn. A late or
    // repeated answer (the opponent has moved or passed since) must not take
    // away the turn it has given us.
    if (!match.moveAwaitingAck || *match.moveAwaitingAck != match.board)
        return;
    match.myTurn = 0;
    match.moveAwaitingAck.reset();
    // Nobody can move: the game is over here too, whether or not the
    // opponent's result, which is never repeated, arrives.
    if (!hasLegalMove(match, kBlack) && !hasLegalMove(match, kWhite)) {
        Game game = program.game();
        finishGame(game);
        return;
    }
    program.view.setStatus(SJ("相手の番です"));
}

void onPass(Program& program, const std::string& sender, std::int32_t seq)
{
    program.dialog.restoreIfMinimised();
    answerRequest(program, sender, MSG_PASS_ACK, seq);
    // A send error box handles events: the connection may have ended meanwhile.
    if (!isOpponent(program.match, sender))
        return;
    MatchState& match = program.match;
    // A pass is true only while the opponent has no move on our board. One
    // sent again after we have moved since (its answer was lost) is stale:
    // believing it would give us a second move.
    const bool sided = match.mySide == kBlack || match.mySide == kWhite;
    if (sided && hasLegalMove(match, 3 - match.mySide))
        return;
    // The pass answers our move: the wait for that move's answer ends here
    // too, and the move is not offered for resending.
    completeAnsweredTurn(program);
    match.moveAwaitingAck.reset();
    program.match.myTurn = 1;
    program.view.setStatus(SJ("相手がパスしました　自分の番です　コマを置いて下さい"));
}

void onPassAck(Program& program, const std::string& payload)
{
    completePending(program, payload);
    program.match.myTurn = 0;
    program.view.setStatus(SJ("パスしました　相手の番です"));
}

void onResult(Program& program, const std::string& text)
{
    program.view.setStatus(text);
}

void onStrayGameMessage(Program& program, int type, const std::string& sender, const std::string& payload,
                        std::int32_t seq)
{
    int k = 0;
    if (type == MSG_MOVE && !readCellIndex(payload, k))
        return; // not one of ours, from whomever: dropped unanswered
    if (type == MSG_ORDER || isReliable(type)) {
        // The reliable requests are answered as always, so that the sender
        // is not asked to send them again. MSG_ORDER is not: its answer would
        // have the sender fix an order for a game nobody plays with it, and
        // it is sent once, so nothing waits for an answer.
        if (type != MSG_ORDER)
            answerRequest(program, sender, type + 1, seq); // each answer's type follows its request's
        // Only a player that believes it is in a match with us sends these
        // (a former opponent that missed our MSG_DISCONNECT, which is never
        // repeated): without the news it would wait for us for ever.
        tellNotConnected(program, sender);
        return;
    }
    // An answer, or a result. After the connection has ended a late answer
    // still frees the slot of the message it answers; in a network match an
    // answer from anyone but the opponent must not free the opponent's slots.
    const bool answersReliable = type == MSG_GAME_START_ACK || type == MSG_GAME_END_ACK ||
                                 type == MSG_MOVE_ACK || type == MSG_PASS_ACK;
    if (answersReliable && !inNetworkMatch(program.match))
        completePending(program, payload);
}

} // namespace kestrel
