#include "tools/peer/bot.h"

#include "engine/board.h"
#include "engine/computer_player.h"
#include "engine/transcript.h"
#include "engine/turn_flow.h"
#include "session/commands.h"
#include "session/control_ids.h"
#include "session/peers.h"
#include "session/program.h"
#include "text/cp932.h"

namespace kestrel {

namespace {

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string pictureOf(const Board& board)
{
    std::string out;
    for (CellState cell : board)
        out += cell == kBlack ? 'x' : cell == kWhite ? 'o' : '.';
    return out;
}

// True while a move sent from this board still waits for its answer.
bool waitingForAnswer(const MatchState& match)
{
    return match.moveAwaitingAck && *match.moveAwaitingAck == match.board;
}

// The connect dialog as the bot uses it: the player at one address chosen,
// by its listed name, or by its address when it is not listed.
class ChooseOpponent : public SecondaryDialogs {
public:
    ChooseOpponent(Program& program, const std::string& address) : program_(program), address_(address) {}
    void runConnectDialog() override
    {
        MatchState& match = program_.match;
        const int row = findPeer(program_.peers, address_);
        match.connected = 1;
        match.opponentName = row >= 0 ? program_.peers.rows[static_cast<std::size_t>(row)].name : address_;
        match.peerAddress = address_;
        match.dialogAccepted = 1;
    }
    void runSettingsDialog() override {}
    void runHelpDialog() override {}
    void runAboutDialog() override {}
    std::string runSaveRecordDialog(const std::string&) override { return {}; }
    std::string runOpenRecordDialog() override { return {}; }
    bool raiseOpenDialog() override { return false; }

private:
    Program& program_;
    const std::string& address_;
};

} // namespace

Bot::Bot(Program& program, BotOptions options, Log log)
    : program_(program), options_(std::move(options)), log_(std::move(log))
{
}

bool Bot::answer(const std::string& question) const
{
    if (endsWith(question, SJ("申し込みを受けますか")))
        return options_.acceptRequests;
    if (endsWith(question, SJ("再送しますか")))
        return options_.resend;
    return false;
}

void Bot::act()
{
    if (finished_)
        return;
    logBoard();
    const MatchState& match = program_.match;
    if (match.connected != 1 || match.vsComputer == 1) {
        actUnconnected();
        return;
    }
    if (match.connectRequestSeq != 0)
        return; // waiting for the answer to our request
    if (!connected_) {
        connected_ = true;
        log_("BOT CONNECTED " + match.peerAddress);
    }
    replyToChat();
    actInGame();
}

void Bot::nudge()
{
    if (finished_)
        return;
    const MatchState& match = program_.match;
    const bool asking = !options_.request.empty();
    // Not yet listed, or no answer: ask (again) all the same.
    if (asking && ((!requested_ && match.connected == 0) || match.connectRequestSeq != 0)) {
        request();
        return;
    }
    // The order or its answer may be lost: "決定" once more.
    if (connected_ && match.orderDecided == 0 && round_.orderPressed)
        pressDecide();
}

void Bot::actUnconnected()
{
    if (connected_) {
        connected_ = false;
        round_ = Round{};
        gamesPlayed_ = 0;
        log_("BOT ALONE");
    }
    if (options_.request.empty())
        return; // waiting to be asked
    if (retryOnNudge_)
        return;
    if (requested_ && options_.retry && !playedAGame_) {
        requested_ = false;
        retryOnNudge_ = true;
        return;
    }
    if (requested_) {
        // Refused, or the connection we asked for has ended.
        finished_ = true;
        log_("BOT DONE");
        return;
    }
    if (findPeer(program_.peers, options_.request) >= 0)
        request();
}

void Bot::actInGame()
{
    const MatchState& match = program_.match;
    if (match.orderDecided == 0) {
        if (round_.decided) {
            // The game has been ended, by the opponent if not by us: a new one is set up.
            const bool counted = round_.over || round_.ending;
            round_ = Round{};
            if (!counted)
                gameDone(true);
            if (finished_ || match.connected != 1)
                return;
        }
        if (!round_.orderPressed && options_.order != BotOptions::Order::Wait)
            pressDecide();
        return;
    }
    if (!round_.decided) {
        round_.decided = true;
        log_(std::string("BOT SIDE ") + (match.mySide == kBlack ? "black" : "white"));
    }
    if (round_.over || round_.ending)
        return;
    if (gameOver()) {
        round_.over = true;
        log_("RESULT " + resultText(resultOf(match.blackCount, match.whiteCount)) + " " +
             std::to_string(match.blackCount) + " " + std::to_string(match.whiteCount));
        // The game's moves as this side's board shows them, for comparing records.
        log_("RECORD " + transcriptText(program_.kept.record.moves));
        gameDone(false);
        return;
    }
    if (match.mySide == kBlack && !round_.startPressed) {
        round_.startPressed = true;
        gameStartCommand(program_);
        return;
    }
    if (match.myTurn == 1 && !waitingForAnswer(match)) {
        playMove();
        return;
    }
    const bool turnDone = match.myTurn == 0 && !waitingForAnswer(match);
    if (options_.endAfterMoves > 0 && round_.ownMoves >= options_.endAfterMoves && turnDone) {
        round_.ending = true;
        log_("BOT ENDED " + std::to_string(round_.ownMoves));
        gameEndCommand(program_);
        gameDone(true);
    }
}

void Bot::request()
{
    requested_ = true;
    retryOnNudge_ = false;
    ChooseOpponent dialogs(program_, options_.request);
    connectCommand(program_, dialogs);
    log_("BOT REQUEST " + options_.request);
}

void Bot::pressDecide()
{
    round_.orderPressed = true;
    const bool black = options_.order != BotOptions::Order::White;
    program_.dialog.setChecked(ids::kFirstBlack, black);
    program_.dialog.setChecked(ids::kSecondWhite, !black);
    decideOrderCommand(program_);
}

void Bot::playMove()
{
    MatchState& match = program_.match;
    MatchState scratch = match; // the choice overwrites flipRuns
    const int k = options_.level == 0
                      ? chooseComputerMove(scratch, match.mySide)
                      : program_.computer.chooseMove(match.board, match.mySide, options_.level);
    if (k < 0)
        return; // a pass handed us a turn without a move: nothing to play
    ++round_.ownMoves;
    log_("BOT MOVE " + std::to_string(k));
    Game game = program_.game();
    playLocalMove(game, k);
    logBoard();
}

// After a result, or after the bot ended a game: the next game, or the end.
void Bot::gameDone(bool endedEarly)
{
    ++gamesPlayed_;
    playedAGame_ = true;
    log_("BOT GAMES " + std::to_string(gamesPlayed_));
    if (options_.games > 0 && gamesPlayed_ >= options_.games) {
        if (options_.then == BotOptions::Then::Quit)
            leave();
        else
            disconnectCommand(program_);
        return;
    }
    if (!endedEarly && options_.restart)
        gameEndCommand(program_);
}

void Bot::leave()
{
    if (program_.match.connected == 1)
        disconnectCommand(program_);
    finished_ = true;
    log_("BOT DONE");
}

// Answers the latest chat line in the log, the part after its name line.
void Bot::replyToChat()
{
    const std::string chat = program_.dialog.text(ids::kChatLog);
    if (chat.size() < chatSeen_)
        chatSeen_ = 0; // a new game emptied the log
    if (options_.chatReply.empty() || chat.size() == chatSeen_) {
        chatSeen_ = chat.size();
        return;
    }
    std::string line = chat.substr(chatSeen_);
    const std::size_t nameEnd = line.find("\r\n");
    line = nameEnd == std::string::npos ? line : line.substr(nameEnd + 2);
    if (endsWith(line, "\r\n"))
        line.resize(line.size() - 2);
    std::string reply = options_.chatReply;
    if (const std::size_t at = reply.find("%s"); at != std::string::npos)
        reply.replace(at, 2, line);
    program_.dialog.setText(ids::kChatInput, reply);
    sendCommand(program_);
    chatSeen_ = program_.dialog.text(ids::kChatLog).size();
}

void Bot::logBoard()
{
    const MatchState& match = program_.match;
    if (match.board == lastBoard_)
        return;
    lastBoard_ = match.board;
    log_("BOARD " + pictureOf(match.board) + " " + std::to_string(countCells(match.board, kBlack)) + " " +
         std::to_string(countCells(match.board, kWhite)));
}

// Nobody can move, and no move of ours is still on its way.
bool Bot::gameOver() const
{
    MatchState scratch = program_.match;
    if (scratch.myTurn == 1 || waitingForAnswer(scratch))
        return false;
    return !hasLegalMove(scratch, kBlack) && !hasLegalMove(scratch, kWhite);
}

} // namespace kestrel
