// Network matches between program records on the in-memory LAN: whole games
// from the request to the result, the order of play, the end of a game, lost
// datagrams, and boxes under which the other side goes on.
#include <gtest/gtest.h>

#include <algorithm>

#include "session/pending.h"
#include "session/receive.h"
#include "tests/support/lan_match.h"
#include "text/cp932.h"

namespace kestrel::testing {
namespace {
using NetworkMatch = MatchLan;

bool hasTurn(const Host& host)
{
    return host.program.match.myTurn == 1 && !host.program.match.moveAwaitingAck;
}

// Plays until nobody has the turn. The player to move clicks its legal cell
// number (own moves * step + offset) modulo their count, in ascending order
// of its own cells. Both boards must agree after every move.
void playOut(MemoryNetwork& lan, Host& black, Host& white, int step, int offset)
{
    int moves[3] = {};
    while (Host* mover = hasTurn(black) ? &black : hasTurn(white) ? &white : nullptr) {
        MatchState& m = mover->program.match;
        const std::vector<int> cells = legalCells(m, m.mySide);
        ASSERT_FALSE(cells.empty());
        mover->click(cells[(moves[m.mySide]++ * step + offset) % cells.size()]);
        lan.deliverAll();
        ASSERT_TRUE(turnedBy180(black.program.match.board, white.program.match.board))
            << pictureOf(black.program.match.board) << pictureOf(white.program.match.board);
    }
}

long countOf(const std::vector<std::string>& texts, const std::string& text)
{
    return std::count(texts.begin(), texts.end(), text);
}

TEST_F(NetworkMatch, FromTheRequestToTheResultAndOnToTheNextGames)
{
    hanako.dialog.answers = {true};
    request(taro, hanako, false);
    const std::int32_t requestSeq = t.nextSeq;
    lan.deliverAll();
    EXPECT_EQ(hanako.dialog.boxes.back().text,
              SJ("（taro）からの申し込みがきています。\r\n申し込みを受けますか"));
    EXPECT_EQ(hanako.dialog.bringToFrontCount, 1);
    EXPECT_EQ(sentOfType(MSG_CONNECT_ACCEPT).at(0).bytes,
              std::to_string(h.nextSeq) + "|5|" + std::to_string(requestSeq));
    EXPECT_EQ(taro.dialog.text(ids::kOpponentLine), "hanako");
    EXPECT_EQ(hanako.dialog.text(ids::kOpponentLine), "taro");
    EXPECT_EQ(taro.view.status, SJ("先攻・後攻を決定して下さい"));
    EXPECT_EQ(hanako.view.status, SJ("先攻・後攻を決定して下さい"));

    // "決定" whose answer is lost: hanako has taken white, taro has decided
    // nothing. Pressed again, it is answered again, and taro takes black.
    lan.dropIf = [](const Flight& f) { return f.bytes.find("|12|") != std::string::npos; };
    decide(taro, kBlack);
    lan.dropIf = nullptr;
    EXPECT_EQ(t.orderDecided, 0);
    EXPECT_EQ(h.mySide, kWhite);
    decide(taro, kBlack);
    EXPECT_EQ(sentOfType(MSG_ORDER).size(), 2u);
    EXPECT_EQ(sentOfType(MSG_ORDER_ACK).size(), 2u);
    EXPECT_EQ(t.mySide, kBlack);
    EXPECT_EQ(h.mySide, kWhite);
    EXPECT_TRUE(taro.dialog.isEnabled(ids::kGameStart));
    EXPECT_FALSE(hanako.dialog.isEnabled(ids::kGameStart) || hanako.dialog.isEnabled(ids::kDecide));
    EXPECT_EQ(taro.view.status, SJ("ゲーム開始ボタンを押して下さい"));
    EXPECT_EQ(hanako.view.status, SJ("相手のゲーム開始を待っています"));
    for (Host* host : {&taro, &hanako}) {
        EXPECT_EQ(host->dialog.text(ids::kBlackName), "taro");
        EXPECT_EQ(host->dialog.text(ids::kWhiteName), "hanako");
    }

    command(taro, gameStartCommand);
    EXPECT_EQ(hanako.view.status, SJ("ゲーム開始が開始されました　相手が先攻です"));
    EXPECT_EQ(taro.view.status, SJ("コマを置いて下さい"));
    EXPECT_EQ(t.myTurn, 1);
    EXPECT_EQ(h.myTurn, 0);
    EXPECT_TRUE(taro.dialog.isEnabled(ids::kGameEnd) && hanako.dialog.isEnabled(ids::kGameEnd));

    // A game with passes both ways that fills the board. The answer to each
    // move that leads to a pass is lost: the pass ends the mover's wait all
    // the same. The status while a pass notice is open is noted.
    std::vector<std::string> statusUnderNotice;
    Ipv4 passer = 0;
    for (Host* host : {&taro, &hanako})
        host->view.onNotice = [&, host](const std::string&) {
            statusUnderNotice.push_back(host->view.status);
            passer = host->address;
        };
    lan.dropIf = [&](const Flight& f) {
        const bool lost = f.from == passer && f.bytes.find("|18|") != std::string::npos;
        passer = lost ? 0 : passer;
        return lost;
    };
    playOut(lan, taro, hanako, 2, 10);
    lan.dropIf = nullptr;
    EXPECT_EQ(passer, 0u);
    // The passes showed the moves arrived: none is left to be asked about.
    for (Host* host : {&taro, &hanako})
        EXPECT_TRUE(std::all_of(host->program.pending.slots.begin(), host->program.pending.slots.end(),
                                [](const PendingMessage& slot) { return slot.seq == 0; }));
    const std::string pass = SJ("コマが置けないのでパスします");
    EXPECT_EQ(textsOf(taro.view, "showNotice"), std::vector<std::string>(2, pass));
    EXPECT_EQ(textsOf(hanako.view, "showNotice"), std::vector<std::string>(1, pass));
    EXPECT_EQ(statusUnderNotice, std::vector<std::string>(3, SJ("自分の番です　コマを置いて下さい")));
    EXPECT_EQ(countOf(textsOf(taro.view, "setStatus"), SJ("パスしました　相手の番です")), 2);
    EXPECT_EQ(countOf(textsOf(hanako.view, "setStatus"),
                      SJ("相手がパスしました　自分の番です　コマを置いて下さい")),
              2);
    EXPECT_EQ(countCells(t.board, kEmpty), 0);
    EXPECT_EQ(t.blackCount, 36);
    EXPECT_EQ(h.whiteCount, 28);
    EXPECT_EQ(taro.view.status, SJ("黒の勝ちです"));
    EXPECT_EQ(hanako.view.status, SJ("黒の勝ちです"));
    EXPECT_EQ(sentOfType(MSG_RESULT).size(), 2u); // the mover on the answer, the other on the move
    EXPECT_EQ(taro.view.callsOf("playSound").back().a, static_cast<int>(Sound::Win));
    EXPECT_EQ(hanako.view.callsOf("playSound").back().a, static_cast<int>(Sound::Lose));

    // Hanako ends the game; a chat line on the way is logged, then cleared.
    hanako.dialog.texts[ids::kChatInput] = SJ("もう一局");
    command(hanako, sendCommand);
    EXPECT_EQ(taro.dialog.text(ids::kChatLog), SJ("【hanako】\r\nもう一局\r\n"));
    EXPECT_EQ(taro.dialog.focused, ids::kChatInput);
    command(hanako, gameEndCommand);
    EXPECT_EQ(hanako.view.status, SJ("ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
    EXPECT_EQ(taro.view.status, SJ("ゲームが終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
    EXPECT_EQ(t.board, startingBoard());
    EXPECT_EQ(taro.dialog.text(ids::kChatLog), "");
    EXPECT_TRUE(taro.dialog.isEnabled(ids::kDecide) && hanako.dialog.isEnabled(ids::kDecide));

    // Hanako takes black; white is wiped out with empty cells left. Taro
    // receives the last move and ends the game; hanako, the mover, finds
    // that nobody can move when the answer comes and ends it too, with its
    // sound; taro's result then repeats the same words.
    decide(hanako, kBlack);
    command(hanako, gameStartCommand);
    const int wipeOut[] = {19, 18, 17, 11, 4, 43, 51, 20, 29};
    for (int i = 0; i < 9; ++i) {
        (i % 2 == 0 ? hanako : taro).click(i % 2 == 0 ? wipeOut[i] : 63 - wipeOut[i]);
        lan.deliverAll();
        ASSERT_TRUE(turnedBy180(t.board, h.board)) << i;
    }
    EXPECT_EQ(t.board[44], kBlack); // hanako's 19
    EXPECT_GT(countCells(t.board, kEmpty), 0);
    EXPECT_EQ(countCells(t.board, kWhite), 0);
    EXPECT_EQ(taro.view.status, SJ("黒の勝ちです"));
    EXPECT_EQ(taro.view.callsOf("playSound").back().a, static_cast<int>(Sound::Lose));
    const std::vector<std::string> statuses = textsOf(hanako.view, "setStatus");
    EXPECT_EQ(std::vector<std::string>(statuses.end() - 2, statuses.end()),
              (std::vector<std::string>{SJ("黒の勝ちです"), SJ("黒の勝ちです")}));
    EXPECT_EQ(hanako.view.callsOf("playSound").back().a, static_cast<int>(Sound::Win));

    // Game end during a game: taro ends it after two moves.
    command(taro, gameEndCommand);
    decide(taro, kBlack);
    command(taro, gameStartCommand);
    play(taro, 19);
    play(hanako, legalCells(h, kWhite).front());
    command(taro, gameEndCommand);
    EXPECT_EQ(t.board, startingBoard());
    EXPECT_EQ(h.board, startingBoard());
    EXPECT_EQ(t.myTurn + h.myTurn + t.orderDecided + h.orderDecided, 0);
    EXPECT_EQ(hanako.view.status, SJ("ゲームが終了しました　再開する場合は、先攻後攻の決定から行って下さい"));

    // Both press "決定" for black at once: each takes the other's order
    // first, both become white and wait; the answers change nothing.
    decide(taro, kBlack, false);
    decide(hanako, kBlack);
    for (Host* host : {&taro, &hanako}) {
        EXPECT_EQ(host->program.match.mySide, kWhite);
        EXPECT_EQ(host->view.status, SJ("相手のゲーム開始を待っています"));
        EXPECT_FALSE(host->dialog.isEnabled(ids::kGameStart));
    }
    EXPECT_EQ(sentOfType(MSG_ORDER_ACK).size(), 4u + 2u);
    command(taro, gameEndCommand);

    // Taro asks for white and the answer is lost; hanako, black, starts and
    // moves before taro asks again: the start shows taro's order was taken,
    // and the move is played.
    lan.dropIf = [](const Flight& f) { return f.bytes.find("|12|") != std::string::npos; };
    decide(taro, kWhite);
    lan.dropIf = nullptr;
    EXPECT_EQ(t.orderDecided, 0);
    command(hanako, gameStartCommand);
    play(hanako, 19);
    EXPECT_EQ(t.orderDecided, 1);
    EXPECT_EQ(t.board[44], kBlack);
    EXPECT_TRUE(turnedBy180(t.board, h.board));
    EXPECT_EQ(t.myTurn, 1);

    // Taro leaves: hanako is told, answers, and keeps the chat readable.
    hanako.dialog.texts[ids::kChatLog] = "kept";
    command(taro, disconnectCommand);
    EXPECT_EQ(hanako.dialog.boxes.back().text, SJ("相手が接続を終了しました"));
    EXPECT_EQ(sentOfType(MSG_DISCONNECT_ACK).size(), 1u);
    EXPECT_EQ(h.connected, 0);
    EXPECT_EQ(countCells(h.board, kEmpty), 64);
    EXPECT_EQ(hanako.dialog.text(ids::kChatLog), "kept");
    EXPECT_TRUE(hanako.dialog.isEnabled(ids::kMenuConnect));
}

TEST_F(NetworkMatch, LostDatagramsBadMovesAndAGameEndedUnderThePassNotice)
{
    startGame(taro, hanako);

    // Moves that name no cell are dropped unanswered.
    const std::size_t sentBefore = hanako.transport.sent.size();
    for (const char* bad : {"90|17|64", "91|17|-1", "92|17|x", "93|17|7a", "94|17| 7", "95|17|123"})
        receiveDatagram(hanako.program, bad, taro.address);
    EXPECT_EQ(hanako.transport.sent.size(), sentBefore);
    EXPECT_EQ(h.board, startingBoard());

    // A lost move: clicks wait for its answer; the resend is played.
    lan.dropNext(1);
    taro.click(19);
    const std::int32_t move = t.nextSeq;
    lan.deliverAll();
    const Board sent = t.board;
    taro.click(legalCells(t, kBlack).front());
    EXPECT_EQ(t.board, sent);
    taro.dialog.answers = {true};
    ASSERT_TRUE(MemoryNetwork::expire(taro, move));
    EXPECT_EQ(taro.dialog.boxes.back().text, SJ("(hanako)は受信できませんでした\r\n再送しますか"));
    lan.deliverAll();
    EXPECT_TRUE(turnedBy180(t.board, h.board));
    EXPECT_EQ(taro.view.status, SJ("相手の番です"));

    // A lost answer while the mover waits: the resend finds its cell taken,
    // leaves the board and hanako's turn as they are, and is answered.
    int dropAnswers = 1;
    lan.dropIf = [&](const Flight& f) {
        return f.bytes.find("|18|") != std::string::npos && dropAnswers-- > 0;
    };
    hanako.click(legalCells(h, kWhite).front());
    const std::int32_t hanakoMove = h.nextSeq;
    lan.deliverAll();
    const Board afterMove = t.board;
    hanako.dialog.answers = {true};
    ASSERT_TRUE(MemoryNetwork::expire(hanako, hanakoMove));
    lan.deliverAll();
    EXPECT_EQ(t.board, afterMove);
    EXPECT_EQ(t.myTurn, 1);
    EXPECT_EQ(h.myTurn, 0);
    EXPECT_EQ(hanako.view.status, SJ("相手の番です"));

    // A lost answer, but the opponent moves before the retry time: that move
    // shows ours arrived, so nothing is offered for resending.
    dropAnswers = 1;
    taro.click(legalCells(t, kBlack).front());
    const std::int32_t taroMove = t.nextSeq;
    lan.deliverAll();
    play(hanako, legalCells(h, kWhite).front());
    EXPECT_FALSE(MemoryNetwork::expire(taro, taroMove));
    EXPECT_EQ(t.myTurn, 1);
    EXPECT_TRUE(turnedBy180(t.board, h.board));

    // A late answer, or a pass while hanako can still move (a repeat from
    // before taro's last move), is answered and leaves taro's turn alone.
    receiveDatagram(taro.program, "98|18|" + std::to_string(taroMove), hanako.address);
    receiveDatagram(taro.program, "99|20|pass", hanako.address);
    EXPECT_EQ(taro.transport.sent.back().bytes, std::to_string(t.nextSeq) + "|21|99");
    EXPECT_EQ(t.myTurn, 1);

    // Taro's move and hanako's answer to it are held back; she moves, and
    // her move reaches taro while he is asked about his: Yes sends nothing,
    // since her move shows his arrived.
    dropAnswers = 1;
    taro.click(legalCells(t, kBlack).front());
    const std::int32_t asked = t.nextSeq;
    lan.deliverAll();
    hanako.click(legalCells(h, kWhite).front());
    taro.dialog.answers = {true};
    taro.dialog.whileOpen = [&](const FakeDialog::Box&) { lan.deliverAll(); };
    const std::size_t taroSent = taro.transport.sent.size();
    ASSERT_TRUE(MemoryNetwork::expire(taro, asked));
    taro.dialog.whileOpen = nullptr;
    lan.deliverAll();
    ASSERT_EQ(taro.transport.sent.size(), taroSent + 1);
    EXPECT_NE(taro.transport.sent.back().bytes.find("|18|"), std::string::npos)
        << "her move answered, no more";
    EXPECT_EQ(t.myTurn, 1);
    EXPECT_TRUE(turnedBy180(t.board, h.board));

    // Hanako's answer to taro's move and her next move are both lost. His
    // move, sent again, finds his piece already on her board: she has moved
    // since, so she only answers it and gets no second turn. Her move, sent
    // again, is played and taro moves on.
    int lost = 2;
    lan.dropIf = [&](const Flight& f) { return f.from == hanako.address && lost-- > 0; };
    taro.click(legalCells(t, kBlack).front());
    const std::int32_t resent = t.nextSeq;
    lan.deliverAll();
    hanako.click(legalCells(h, kWhite).front());
    const std::int32_t held = h.nextSeq;
    lan.deliverAll();
    lan.dropIf = nullptr;
    taro.dialog.answers = {true};
    const std::size_t statuses = hanako.view.callsOf("setStatus").size();
    ASSERT_TRUE(MemoryNetwork::expire(taro, resent));
    lan.deliverAll();
    EXPECT_FALSE(hasTurn(hanako)) << "still waiting for the answer to her move";
    EXPECT_EQ(hanako.view.callsOf("setStatus").size(), statuses) << "her turn was not decided again";
    EXPECT_EQ(t.myTurn, 0);
    hanako.dialog.answers = {true};
    ASSERT_TRUE(MemoryNetwork::expire(hanako, held));
    lan.deliverAll();
    EXPECT_EQ(t.myTurn, 1);
    EXPECT_TRUE(turnedBy180(t.board, h.board));

    // A new game; taro ends it while hanako's first pass notice is open: no
    // pass is sent for the game that is gone.
    command(taro, gameEndCommand);
    decide(taro, kBlack);
    command(taro, gameStartCommand);
    hanako.view.onNotice = [&](const std::string&) { command(taro, gameEndCommand); };
    taro.view.onNotice = hanako.view.onNotice;
    playOut(lan, taro, hanako, 2, 10);
    EXPECT_EQ(textsOf(taro.view, "showNotice").size() + textsOf(hanako.view, "showNotice").size(), 1u);
    EXPECT_TRUE(sentOfType(MSG_PASS).empty());
    EXPECT_EQ(t.board, startingBoard());
    EXPECT_EQ(h.board, startingBoard());
    EXPECT_EQ(t.myTurn + h.myTurn, 0);
}

// Outside a network match (no connection, or a game against the computer),
// messages of a match, a disconnect, an acceptance and a refusal are answered
// where an answer is due and change nothing. A request of a game and an
// acceptance come from a player that believes it is connected to us: each
// is told that it is not.
TEST_F(NetworkMatch, StrayMessagesOutsideAMatchChangeNothing)
{
    for (bool vsComputer : {false, true}) {
        FakeMachine m;
        m.program.settings.playerName = "taro";
        applyInitialControlStates(m.program);
        if (vsComputer) {
            m.program.match.connected = 1;
            m.program.match.vsComputer = 1;
            m.program.match.opponentName = SJ("コンピュータ");
            resetForNewGame(m.program);
        }
        const Board board = m.program.match.board;
        const std::string status = m.view.status;
        const auto enabled = m.dialog.enabled;
        const auto texts = m.dialog.texts;
        for (const char* datagram :
             {"1|11|1", "2|12|1", "3|13|game start", "4|14|9", "5|15|game end", "6|16|9", "7|17|19", "8|18|9",
              "9|20|pass", "10|21|9", "11|19|\x8d\x95", "12|9|hi", "13|7|x", "14|5|1", "15|6|1"})
            receiveDatagram(m.program, datagram, ip(10, 0, 0, 9));
        EXPECT_EQ(m.program.match.connected, vsComputer ? 1 : 0);
        EXPECT_TRUE(m.dialog.boxes.empty());
        EXPECT_EQ(m.program.match.board, board);
        EXPECT_EQ(m.view.status, status);
        EXPECT_EQ(m.dialog.enabled, enabled);
        EXPECT_EQ(m.dialog.texts, texts);
        EXPECT_EQ(m.program.match.orderDecided, 0);
        std::vector<std::string> answers;
        for (const auto& sent : m.transport.sent)
            answers.push_back(sent.bytes);
        EXPECT_EQ(answers,
                  (std::vector<std::string>{"1|7|taro", "2|14|3", "3|7|taro", "4|16|5", "5|7|taro", "6|18|7",
                                            "7|7|taro", "8|21|9", "9|7|taro", "10|10|12", "11|7|taro"}))
            << vsComputer;
    }

    // Connected, but no order decided for this game (the side is the last
    // game's): a move is answered and not played.
    FakeMachine m;
    m.program.match.connected = 1;
    m.program.match.peerAddress = "10.0.0.9";
    m.program.match.mySide = kWhite;
    resetForNewGame(m.program);
    const Board start = m.program.match.board;
    receiveDatagram(m.program, "7|17|19", ip(10, 0, 0, 9));
    EXPECT_EQ(m.program.match.board, start);
    ASSERT_EQ(m.transport.sent.size(), 1u);
    EXPECT_EQ(m.transport.sent[0].bytes, "1|18|7");
}

} // namespace
} // namespace kestrel::testing
