#include "session/handshake.h"

#include <functional>

#include "session/control_states.h"
#include "session/opponent.h"
#include "session/peers.h"
#include "session/program.h"
#include "session/send.h"
#include "text/cp932.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel {

namespace {

// The name a requester is asked about and kept under: its listed name. A
// requester the list does not know (its announcement was lost, or the list
// was refreshed since) is named by its request, which comes from the same
// address an announcement would and is no less to be trusted.
std::string requesterName(const Program& program, const std::string& sender, const std::string& payload)
{
    const int row = findPeer(program.peers, sender);
    if (row >= 0)
        return program.peers.rows[static_cast<std::size_t>(row)].name;
    return cutCp932(payload, kMaxNameBytes);
}

// Waiting for the answer of the player at `sender` to a request of ours.
bool isAwaiting(const MatchState& match, const std::string& sender)
{
    return match.connectRequestSeq != 0 && isOpponent(match, sender);
}

// Our opponent in a match (not one we are still asking) asks us for a game:
// it holds no connection with us any more, since our acceptance or its
// disconnect was lost on the way. Not while a disconnect notice is open: the
// connection is ending already, and the reset after the notice would end a
// new one with the same player.
bool opponentAsksAgain(const Program& program, const std::string& sender)
{
    return isOpponent(program.match, sender) && program.match.connectRequestSeq == 0 &&
           !program.boxes.disconnectNotice;
}

// The opponent at `opponent` has left: the player is told, then no opponent
// (unless the notice saw the player disconnect or ask someone meanwhile).
// `answer` runs when the notice has closed. While the notice is open the
// connection is ending already: a further leaving opens no second notice
// (a flood would otherwise nest notices without end), only its answer. The
// opponent is taken by value: the notice may change peerAddress.
void endConnectionWith(Program& program, std::string opponent, const std::function<void()>& answer)
{
    MatchState& match = program.match;
    if (program.boxes.disconnectNotice) {
        answer();
        return;
    }
    const std::int32_t request = match.connectRequestSeq;
    program.dialog.bringToFront();
    {
        BoxOpen notice(program.boxes.disconnectNotice);
        program.dialog.showInformation(SJ("相手が接続を終了しました"));
    }
    answer();
    if (match.connected == 1 && match.peerAddress == opponent && match.connectRequestSeq == request)
        resetToUnconnected(program);
}

// The open request question of this player, if any.
OpenBoxes::Request* openRequestOf(std::vector<OpenBoxes::Request>& asking, const std::string& sender)
{
    for (OpenBoxes::Request& request : asking)
        if (request.sender == sender)
            return &request;
    return nullptr;
}

// Ends the record of this player's open question; returns the seq to answer.
std::int32_t closeRequestQuestion(std::vector<OpenBoxes::Request>& asking, const std::string& sender)
{
    OpenBoxes::Request* open = openRequestOf(asking, sender);
    const std::int32_t seq = open->seq;
    asking.erase(asking.begin() + (open - asking.data()));
    return seq;
}

} // namespace

void onConnectRequest(Program& program, const std::string& sender, const std::string& payload,
                      std::int32_t seq)
{
    MatchState& match = program.match;
    // The opponent asking again holds no connection with us any more: our
    // side ends too, and its request is asked about like any other. Without
    // "相手が接続を終了しました", which after a lost acceptance would be
    // untrue: the question says what the opponent wants, and the answer,
    // Yes or a refusal, tells it the truth.
    if (opponentAsksAgain(program, sender))
        resetToUnconnected(program);
    // Connected or waiting for an answer: refused at once, whoever asks.
    if (match.connected == 1) {
        answerRequest(program, sender, MSG_CONNECT_REFUSE, seq);
        return;
    }
    // The player asking again while its question is open gets no second
    // question: the open one answers the latest request. A flood of players
    // asking at once is refused beyond the first few questions.
    std::vector<OpenBoxes::Request>& asking = program.boxes.requests;
    if (OpenBoxes::Request* open = openRequestOf(asking, sender)) {
        open->seq = seq;
        return;
    }
    if (asking.size() >= OpenBoxes::kMaxRequestQuestions) {
        answerRequest(program, sender, MSG_CONNECT_REFUSE, seq);
        return;
    }
    const std::string name = requesterName(program, sender, payload);
    program.dialog.bringToFront();
    asking.push_back({sender, seq});
    const bool yes = program.dialog.askYesNo(SJ("（") + name +
                                             SJ("）からの申し込みがきています。\r\n申し込みを受けますか"));
    seq = closeRequestQuestion(asking, sender);
    // The question handles events: another request may have been accepted,
    // or the player may have asked someone, meanwhile. One opponent at a time.
    if (yes && isOpponent(match, sender) && match.connectRequestSeq == 0)
        return; // a later request of the same player was accepted: it needs nothing more
    if (!yes || match.connected == 1) {
        answerRequest(program, sender, MSG_CONNECT_REFUSE, seq);
        return;
    }
    match.connected = 1;
    match.vsComputer = 0;
    match.opponentName = name;
    match.peerAddress = sender;
    answerRequest(program, sender, MSG_CONNECT_ACCEPT, seq);
    // A send error box handles events: the connection may have ended meanwhile.
    if (isOpponent(match, sender))
        resetForNewGame(program);
}

void onConnectAccept(Program& program, const std::string& sender)
{
    MatchState& match = program.match;
    // The player waited for has accepted, this request or an earlier one.
    if (isOpponent(match, sender)) {
        match.connectRequestSeq = 0;
        resetForNewGame(program);
        return;
    }
    // A request given up has been accepted late: the other side now believes
    // it is connected to us.
    tellNotConnected(program, sender);
}

void onConnectRefuse(Program& program, const std::string& sender, const std::string& payload)
{
    MatchState& match = program.match;
    // A refusal of a request given up, or of someone else's, ends nothing.
    if (!isAwaiting(match, sender) || decimalValue(payload) != match.connectRequestSeq)
        return;
    match.connectRequestSeq = 0;
    program.dialog.showInformation(SJ("相手の都合によりゲームはできません"));
    // The notice handles events: the player may have asked someone else meanwhile.
    if (isOpponent(match, sender) && match.connectRequestSeq == 0)
        resetToUnconnected(program);
}

void onDisconnect(Program& program, const std::string& sender, std::int32_t seq)
{
    MatchState& match = program.match;
    // Whoever sends it ends the connection; without one nothing is answered.
    // A game against the computer has no network opponent to end it.
    if (match.connected != 1 || match.vsComputer == 1)
        return;
    // The sender is not compared: the connection with the opponent ends.
    endConnectionWith(program, match.peerAddress,
                      [&] { answerRequest(program, sender, MSG_DISCONNECT_ACK, seq); });
}

void onDisconnectAck(Program&) {}

void tellNotConnected(Program& program, const std::string& player)
{
    // Unless it has become our opponent after all (a box of the caller
    // handled events meanwhile), or its request is being asked about here:
    // the answer to that request tells it where it stands.
    if (isOpponent(program.match, player) || openRequestOf(program.boxes.requests, player) != nullptr)
        return;
    sendDatagram(program, player, MSG_DISCONNECT, program.settings.playerName);
}

} // namespace kestrel
