// Floods that arrive while a box is open: each box handles events, so every
// datagram of a flood is dispatched inside it, and without a bound each
// would open a box of its own inside the last.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/receive.h"
#include "tests/support/board_builder.h"
#include "tests/support/memory_network.h"
#include "text/cp932.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/message_type.h"
#include "wire/receive_queue.h"

namespace kestrel::testing {
namespace {

constexpr Ipv4 kOpponent = ip(10, 0, 0, 2);

// A machine whose boxes dispatch what waits, as the nested event loop of a
// real box does: the innermost open box takes every datagram queued.
struct Flood {
    FakeMachine m;
    std::deque<std::function<void()>> waiting;
    int depth = 0;   // boxes open now
    int deepest = 0; // most boxes open at once

    Flood()
    {
        m.program.settings.playerName = "taro";
        applyInitialControlStates(m.program);
        auto open = [this] {
            deepest = std::max(deepest, ++depth);
            while (!waiting.empty()) {
                auto next = std::move(waiting.front());
                waiting.pop_front();
                next();
            }
            --depth;
        };
        m.dialog.whileOpen = [open](const FakeDialog::Box&) { open(); };
        m.view.onNotice = [open](const std::string&) { open(); };
    }
    void queue(const std::string& text, Ipv4 from = kOpponent)
    {
        waiting.push_back([this, text, from] { receive(text, from); });
    }
    void receive(const std::string& text, Ipv4 from = kOpponent) { receiveDatagram(m.program, text, from); }
    // Datagrams sent of a type, in order.
    std::vector<std::string> sentOfType(int type) const
    {
        std::vector<std::string> out;
        for (const FakeTransport::Sent& s : m.transport.sent) {
            ParsedDatagram d;
            if (parseDatagram(s.bytes, d) && d.type == type)
                out.push_back(std::string(d.payload));
        }
        return out;
    }
    void connect()
    {
        m.program.match.connected = 1;
        m.program.match.peerAddress = addressText(kOpponent);
        m.program.match.opponentName = "hanako";
        resetForNewGame(m.program);
    }
};

TEST(Flood, RequestsUnderAnOpenQuestionOpenAFewQuestionsAndAreRefusedBeyond)
{
    Flood f;
    f.m.dialog.answers = {true};
    // Behind the first request: 30 other players ask, and the first asks twice more.
    for (int i = 0; i < 30; ++i)
        f.queue(std::to_string(100 + i) + "|4|p" + std::to_string(i), ip(10, 0, 1, 1 + i));
    f.queue("12|4|hanako");
    f.queue("13|4|hanako");
    f.receive("11|4|hanako");

    // The first question and, inside it, questions for 7 more players, one
    // inside the other; the other 23 are refused at once.
    EXPECT_EQ(f.deepest, 8);
    EXPECT_EQ(f.m.dialog.boxes.size(), 8u);
    const std::vector<std::string> refused = f.sentOfType(MSG_CONNECT_REFUSE);
    ASSERT_EQ(refused.size(), 30u);
    EXPECT_EQ(refused.front(), "107"); // the 8th other player: no question left for it
    // The first player's Yes answers its latest request; the 7 questions
    // inside it were answered No (the fake's default).
    EXPECT_EQ(f.sentOfType(MSG_CONNECT_ACCEPT), std::vector<std::string>{"13"});
    EXPECT_EQ(f.m.program.match.peerAddress, "10.0.0.2");
    EXPECT_TRUE(f.m.program.boxes.requests.empty());
}

TEST(Flood, DisconnectsAndMovesUnderTheirNoticeOpenOneNoticeAndAreEachAnswered)
{
    Flood f;
    f.connect();
    // White to move next, with no move; black (the opponent) plays 2, which
    // leaves white without a move and black with one (16).
    MatchState& match = f.m.program.match;
    match.board = boardFromPicture("xo...... o....... ........ ........"
                                   "........ ........ ........ .......o");
    match.mySide = kWhite;
    match.orderDecided = 1;
    for (int i = 0; i < 50; ++i)
        f.queue(std::to_string(30 + i) + "|17|61"); // cell 2 turned by 180 degrees
    f.receive("29|17|61");
    EXPECT_EQ(f.deepest, 1);
    EXPECT_EQ(f.m.view.callsOf("showNotice").size(), 1u);
    EXPECT_EQ(f.sentOfType(MSG_MOVE_ACK).size(), 51u);
    EXPECT_EQ(f.sentOfType(MSG_PASS), std::vector<std::string>{"pass"});

    for (int i = 0; i < 50; ++i)
        f.queue(std::to_string(90 + i) + "|7|hanako", ip(10, 0, 2, 1 + i % 5));
    f.receive("89|7|hanako");
    EXPECT_EQ(f.deepest, 1);
    EXPECT_EQ(f.m.dialog.boxes.size(), 1u);
    EXPECT_EQ(f.sentOfType(MSG_DISCONNECT_ACK).size(), 51u);
    EXPECT_EQ(match.connected, 0);

    // The opponent asking again and again (found by fuzzing): the first
    // request ends our side and opens one question, which answers the
    // others; its No refuses the latest.
    f.connect();
    f.m.dialog.boxes.clear();
    f.deepest = 0;
    for (int i = 0; i < 50; ++i)
        f.queue(std::to_string(150 + i) + "|4|hanako");
    f.receive("149|4|hanako");
    EXPECT_EQ(f.deepest, 1);
    ASSERT_EQ(f.m.dialog.boxes.size(), 1u);
    EXPECT_EQ(f.m.dialog.boxes[0].kind, "question");
    EXPECT_EQ(f.sentOfType(MSG_CONNECT_REFUSE), std::vector<std::string>{"199"});
    EXPECT_EQ(match.connected, 0);

    // The opponent leaving and, under the notice, asking again: refused,
    // since the reset after the notice would end a connection made under it.
    f.connect();
    f.m.dialog.answers = {true};
    f.queue("201|4|hanako");
    f.receive("200|7|hanako");
    EXPECT_EQ(f.m.dialog.boxes.back().text, SJ("相手が接続を終了しました"));
    EXPECT_EQ(f.sentOfType(MSG_CONNECT_REFUSE).back(), "201");
    EXPECT_TRUE(f.sentOfType(MSG_CONNECT_ACCEPT).empty());
    EXPECT_EQ(match.connected, 0);
}

TEST(Flood, FailingAnswersShowEachErrorTextOnceAtATime)
{
    Flood f;
    f.m.transport.failing = {ip(10, 0, 3, 1), ip(10, 0, 3, 2)};
    for (int i = 0; i < 100; ++i)
        f.queue(std::to_string(i) + "|1|x$0", ip(10, 0, 3, 1 + i % 2));
    f.waiting.push_back([&] { f.m.transport.failCode = 10051; });
    f.queue("200|1|x$0", ip(10, 0, 3, 1));
    f.receive("1|1|x$0", ip(10, 0, 3, 1));
    // The box for 10065 and, inside it, the one for 10051.
    EXPECT_EQ(f.deepest, 2);
    ASSERT_EQ(f.m.dialog.boxes.size(), 2u);
    EXPECT_EQ(f.m.dialog.boxes[1].text, SJ("相手への送信失敗 : 10051"));
    // Once closed, the same failure shows its box again.
    f.receive("300|1|x$0", ip(10, 0, 3, 2));
    EXPECT_EQ(f.m.dialog.boxes.size(), 3u);
}

// Found by fuzzing: an answer whose send fails shows its box, and a
// disconnect handled inside the box ends the connection. The handler must
// not go on as if it were still connected.
TEST(Flood, AnAnswerWhoseErrorBoxSeesTheConnectionEndChangesNothingAfter)
{
    Flood pass;
    pass.connect();
    pass.m.program.match.orderDecided = 1;
    pass.m.transport.failing = {kOpponent};
    pass.queue("8|7|hanako");
    pass.receive("7|20|pass");
    EXPECT_EQ(pass.m.program.match.connected, 0);
    EXPECT_EQ(pass.m.program.match.myTurn, 0);

    Flood request;
    request.m.dialog.answers = {true};
    request.m.transport.failing = {ip(10, 0, 0, 5)};
    request.m.dialog.whileOpen = [&](const FakeDialog::Box& box) {
        if (box.kind == "error")
            request.receive("8|7|x", ip(10, 0, 0, 6));
    };
    request.receive("7|4|saburo", ip(10, 0, 0, 5));
    EXPECT_EQ(request.m.program.match.connected, 0);
    EXPECT_FALSE(request.m.dialog.isEnabled(ids::kDecide)); // no order to choose without an opponent
    EXPECT_EQ(request.m.program.match.board, Board{});
}

TEST(Flood, TheReceiveQueueKeepsItsBoundAndCountsWhatItDrops)
{
    ReceiveQueue queue;
    for (std::size_t i = 0; i < ReceiveQueue::kMaxItems + 10; ++i)
        queue.push({ReceivedItem::Kind::Datagram, ip(10, 0, 0, 2), std::to_string(i), 0});
    EXPECT_EQ(queue.size(), ReceiveQueue::kMaxItems);
    EXPECT_EQ(queue.dropped(), 10u);
    EXPECT_EQ(queue.pop()->bytes, "0"); // oldest first; the newest were dropped
    EXPECT_TRUE(queue.push({}));
}

} // namespace
} // namespace kestrel::testing
