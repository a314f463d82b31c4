#include <gtest/gtest.h>

#include <climits>

#include "session/send.h"
#include "tests/support/memory_network.h"
#include "text/cp932.h"
#include "wire/message_type.h"

namespace kestrel::testing {
namespace {

class SendDatagram : public ::testing::Test {
protected:
    Host host{ip(10, 0, 0, 1)};
    Program& program = host.program;
    FakeTransport& transport = host.transport;
};

TEST_F(SendDatagram, NumbersEachDatagramAndSendsToThePortOfTheSettings)
{
    EXPECT_TRUE(sendDatagram(program, "10.0.0.2", MSG_HELLO, "taro$0"));
    program.settings.port = 1234;
    EXPECT_TRUE(sendDatagram(program, "10.0.0.3", MSG_RESULT, "x"));
    ASSERT_EQ(transport.sent.size(), 2u);
    EXPECT_EQ(transport.sent[0].bytes, "1|1|taro$0");
    EXPECT_EQ(transport.sent[0].address, ip(10, 0, 0, 2));
    EXPECT_EQ(transport.sent[0].port, 20000);
    EXPECT_EQ(transport.sent[1].bytes, "2|19|x");
    EXPECT_EQ(transport.sent[1].port, 1234);
    EXPECT_EQ(program.match.nextSeq, 2);
    EXPECT_TRUE(host.dialog.boxes.empty());
}

TEST_F(SendDatagram, LimitedBroadcastNeedsNoLookUpAndHostNamesAreLookedUp)
{
    transport.hosts["255.255.255.255"] = ip(1, 2, 3, 4); // must not be asked
    transport.hosts["hanako-pc"] = ip(10, 0, 0, 9);
    EXPECT_TRUE(sendDatagram(program, "255.255.255.255", MSG_HELLO, "a$0"));
    EXPECT_TRUE(sendDatagram(program, "hanako-pc", MSG_HELLO, "a$0"));
    ASSERT_EQ(transport.sent.size(), 2u);
    EXPECT_EQ(transport.sent[0].address, 0xFFFFFFFFu);
    EXPECT_EQ(transport.sent[1].address, ip(10, 0, 0, 9));
    EXPECT_EQ(transport.sent[1].bytes, "2|1|a$0");
}

TEST_F(SendDatagram, FailedLookUpShowsTheBoxAndUsesNoSeq)
{
    // Only strict dotted decimal is read here; other forms are the look-up's
    // to refuse (the real one takes no number for a host name).
    for (const char* destination : {"nowhere", "", "0x0a.0.0.1", "010.0.0.1"}) {
        host.dialog.boxes.clear();
        EXPECT_FALSE(sendDatagram(program, destination, MSG_CHAT, "hi")) << destination;
        ASSERT_EQ(host.dialog.boxes.size(), 1u) << destination;
        EXPECT_EQ(host.dialog.boxes[0].kind, "error");
        EXPECT_EQ(host.dialog.boxes[0].text, toCp932("ホストアドレス取得失敗\r\n送信できません"));
    }
    EXPECT_TRUE(transport.sent.empty());
    EXPECT_EQ(program.match.nextSeq, 0);
    EXPECT_EQ(program.pending.slots[0].seq, 0);
    EXPECT_TRUE(host.timers.started.empty());
    EXPECT_EQ(transport.lookedUp, (std::vector<std::string>{"nowhere", "0x0a.0.0.1", "010.0.0.1"}));
}

TEST_F(SendDatagram, FailedSendShowsTheCodeUsesTheSeqAndTracksNothing)
{
    transport.failing.insert(ip(10, 0, 0, 2));
    transport.failCode = 10051;
    EXPECT_FALSE(sendDatagram(program, "10.0.0.2", MSG_CHAT, "hi"));
    ASSERT_EQ(host.dialog.boxes.size(), 1u);
    EXPECT_EQ(host.dialog.boxes[0].kind, "error");
    EXPECT_EQ(host.dialog.boxes[0].text, toCp932("相手への送信失敗 : 10051"));
    EXPECT_EQ(program.match.nextSeq, 1);
    EXPECT_EQ(program.pending.slots[0].seq, 0);
    EXPECT_TRUE(host.timers.started.empty());

    EXPECT_TRUE(sendDatagram(program, "10.0.0.3", MSG_CHAT, "hi"));
    EXPECT_EQ(transport.sent.at(0).bytes, "2|9|hi");
}

TEST_F(SendDatagram, OnlyReliableTypesAreTracked)
{
    for (int type = 1; type <= 21; ++type)
        sendDatagram(program, "10.0.0.2", type, "p" + std::to_string(type));
    std::vector<std::pair<int, int>> tracked;
    for (const PendingMessage& slot : program.pending.slots) {
        if (slot.seq != 0) {
            tracked.emplace_back(slot.seq, slot.type);
            EXPECT_EQ(slot.payload, "p" + std::to_string(slot.type));
        }
    }
    // Seq equals type here, as one datagram of each type went out in order.
    const std::vector<std::pair<int, int>> expected = {{9, 9}, {13, 13}, {15, 15}, {17, 17}, {20, 20}};
    EXPECT_EQ(tracked, expected);
    const std::vector<std::pair<int, int>> timers = {
        {9, 5000}, {13, 5000}, {15, 5000}, {17, 5000}, {20, 5000}};
    EXPECT_EQ(host.timers.started, timers);
}

TEST_F(SendDatagram, SeqStartsOverAtOneAfterTheLargestNumber)
{
    program.match.nextSeq = INT32_MAX - 1;
    sendDatagram(program, "10.0.0.2", MSG_HELLO, "a$0");
    sendDatagram(program, "10.0.0.2", MSG_HELLO, "a$0");
    ASSERT_EQ(transport.sent.size(), 2u);
    EXPECT_EQ(transport.sent[0].bytes, "2147483647|1|a$0");
    EXPECT_EQ(transport.sent[1].bytes, "1|1|a$0");
}

TEST_F(SendDatagram, MovesAndResultsGoToTheOpponent)
{
    program.match.peerAddress = "10.0.0.7";
    program.sendMove(19);
    program.sendResult(toCp932("黒の勝ちです"));
    ASSERT_EQ(transport.sent.size(), 2u);
    EXPECT_EQ(transport.sent[0].bytes, "1|17|19");
    EXPECT_EQ(transport.sent[0].address, ip(10, 0, 0, 7));
    EXPECT_EQ(transport.sent[1].bytes, "2|19|" + toCp932("黒の勝ちです"));
    EXPECT_EQ(program.pending.slots[0].seq, 1); // the move waits for its answer
    EXPECT_EQ(program.pending.slots[1].seq, 0); // the result does not
}

} // namespace
} // namespace kestrel::testing
