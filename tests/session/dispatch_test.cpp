#include <gtest/gtest.h>

#include "session/pending.h"
#include "session/receive.h"
#include "tests/support/memory_network.h"
#include "text/cp932.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel::testing {
namespace {

constexpr Ipv4 kHanako = ip(10, 0, 0, 2);

class Dispatch : public ::testing::Test {
protected:
    Dispatch() { program.settings.playerName = "taro"; }

    void receive(std::string_view bytes, Ipv4 from = kHanako) { receiveDatagram(program, bytes, from); }
    // Nothing observable happened: no row, no datagram, no box.
    void expectUntouched(const std::string& what)
    {
        EXPECT_EQ(program.peers.count, 0) << what;
        EXPECT_TRUE(host.transport.sent.empty()) << what;
        EXPECT_TRUE(host.dialog.boxes.empty()) << what;
        EXPECT_EQ(program.match.nextSeq, 0) << what;
    }

    Host host{ip(10, 0, 0, 1)};
    Program& program = host.program;
};

TEST_F(Dispatch, HelloIsListedAndAnsweredToItsSender)
{
    receive("1|1|hanako$1");
    ASSERT_EQ(program.peers.count, 1);
    EXPECT_EQ(program.peers.rows[0].address, "10.0.0.2");
    EXPECT_EQ(program.peers.rows[0].name, "hanako");
    EXPECT_EQ(program.peers.rows[0].dialUp, 1);
    ASSERT_EQ(host.transport.sent.size(), 1u);
    EXPECT_EQ(host.transport.sent[0].bytes, "1|2|taro$0");
    EXPECT_EQ(host.transport.sent[0].address, kHanako);

    receive("9|2|jiro$0", ip(10, 0, 0, 3)); // a reply is listed, not answered
    EXPECT_EQ(program.peers.count, 2);
    EXPECT_EQ(host.transport.sent.size(), 1u);

    receive("10|3|hanako$1");
    EXPECT_EQ(program.peers.count, 1);
    EXPECT_EQ(program.peers.rows[0].name, "jiro");
}

TEST_F(Dispatch, PayloadRunsToTheEndAndEmptyFieldsArePassedOver)
{
    receive("7|1|a|b");
    receive("5||1|hi$1", ip(10, 0, 0, 3));
    ASSERT_EQ(program.peers.count, 2);
    EXPECT_EQ(program.peers.rows[0].name, "a|b");
    EXPECT_EQ(program.peers.rows[1].name, "hi");
    EXPECT_EQ(program.peers.rows[1].dialUp, 1);
}

TEST_F(Dispatch, MalformedDatagramsAndUnknownTypesAreIgnored)
{
    for (const char* text :
         {"7|1|", "7|1", "|1|x", "1|0|taro$0", "1|22|taro$0", "1|-1|taro$0", "1|4294967297|taro$0",
          "1|99999999999999|taro$0", "1|-4294967295|taro$0", "1|x|taro$0", "no separators at all", "|||||"}) {
        receive(text);
        expectUntouched(text);
    }
}

TEST_F(Dispatch, AnswerWithASeqOfNoDigitsOrHugeNumbersStillFreesItsSlot)
{
    trackPending(program, 5, MSG_CHAT, "hi");
    trackPending(program, 6, MSG_CHAT, "ho");
    receive("abc|10|5");
    EXPECT_EQ(program.pending.slots[0].seq, 0);
    receive("99999999999999999999|10|6");
    EXPECT_EQ(program.pending.slots[1].seq, 0);
    EXPECT_FALSE(host.timers.isRunning(5));
    EXPECT_FALSE(host.timers.isRunning(6));
}

TEST_F(Dispatch, PayloadOf999BytesIsTakenAndOf1000BytesDropped)
{
    std::string name999 = std::string(997, 'n') + "$1";
    receive("1|1|" + name999);
    ASSERT_EQ(program.peers.count, 1);
    EXPECT_EQ(program.peers.rows[0].name, std::string(63, 'n'));
    EXPECT_EQ(program.peers.rows[0].dialUp, 1);

    std::string name1000 = std::string(998, 'm') + "$1";
    receive("2|1|" + name1000, ip(10, 0, 0, 3));
    receive("3|1|" + std::string(1100, 'm'), ip(10, 0, 0, 4));
    EXPECT_EQ(program.peers.count, 1);
    EXPECT_EQ(host.transport.sent.size(), 1u);
}

TEST_F(Dispatch, ReceivePathTakesAtMost1159BytesUpToTheFirstZero)
{
    // Leading separators are skipped, so long datagrams with small payloads can be made.
    const std::string tail = "1|1|taro$0";
    receive(std::string(kMaxDatagramBytes - tail.size(), '|') + tail);
    EXPECT_EQ(program.peers.count, 1);

    receive(std::string(kMaxDatagramBytes + 1 - tail.size(), '|') + tail, ip(10, 0, 0, 3));
    receive(std::string(65507 - tail.size(), '|') + tail, ip(10, 0, 0, 4));
    EXPECT_EQ(program.peers.count, 1);

    receive(std::string("\0"
                        "1|1|jiro$0",
                        11),
            ip(10, 0, 0, 5));
    receive(std::string_view(), ip(10, 0, 0, 6));
    EXPECT_EQ(program.peers.count, 1);

    receive(std::string("1|1|jiro$0\0"
                        "garbage|with|bars",
                        28),
            ip(10, 0, 0, 7));
    ASSERT_EQ(program.peers.count, 2);
    EXPECT_EQ(program.peers.rows[1].name, "jiro");
    EXPECT_EQ(program.peers.rows[1].dialUp, 0);
}

TEST_F(Dispatch, ShiftJisNamesArriveByteForByte)
{
    const std::string pochi = toCp932("ポチ"); // trail byte 0x7C, the separator
    ASSERT_EQ(pochi, "\x83\x7C\x83\x60");
    receive("4|1|" + pochi + "$0");
    ASSERT_EQ(program.peers.count, 1);
    EXPECT_EQ(program.peers.rows[0].name, pochi);
}

} // namespace
} // namespace kestrel::testing
