#include <gtest/gtest.h>

#include "session/pending.h"
#include "session/receive.h"
#include "session/send.h"
#include "tests/support/memory_network.h"
#include "text/cp932.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel::testing {
namespace {

constexpr Ipv4 kPeer = ip(10, 0, 0, 2);

class Pending : public ::testing::Test {
protected:
    Pending()
    {
        program.match.connected = 1;
        program.match.peerAddress = "10.0.0.2";
        program.match.opponentName = toCp932("花子");
    }

    void chat(const std::string& text) { sendDatagram(program, program.match.peerAddress, MSG_CHAT, text); }
    void answer(int seq) { receiveDatagram(program, "77|10|" + std::to_string(seq), kPeer); }
    int takenSlots() const
    {
        int n = 0;
        for (const PendingMessage& slot : program.pending.slots)
            n += slot.seq != 0;
        return n;
    }
    std::vector<std::string> questions() const
    {
        std::vector<std::string> texts;
        for (const auto& box : host.dialog.boxes)
            if (box.kind == "question")
                texts.push_back(box.text);
        return texts;
    }
    const std::string question = toCp932("(花子)は受信できませんでした\r\n再送しますか");

    Host host{ip(10, 0, 0, 1)};
    Program& program = host.program;
    FakeTimers& timers = host.timers;
};

TEST_F(Pending, AnsweredInTimeLeavesNoTrace)
{
    chat("hello");
    ASSERT_EQ(program.pending.slots[0].seq, 1);
    EXPECT_EQ(program.pending.slots[0].type, MSG_CHAT);
    EXPECT_EQ(program.pending.slots[0].payload, "hello");
    EXPECT_TRUE(timers.isRunning(1));
    EXPECT_EQ(timers.started, (std::vector<std::pair<int, int>>{{1, 5000}}));

    answer(1);
    EXPECT_EQ(takenSlots(), 0);
    EXPECT_EQ(program.pending.slots[0].type, 0);
    EXPECT_EQ(program.pending.slots[0].payload, "");
    EXPECT_FALSE(timers.isRunning(1));
    EXPECT_FALSE(MemoryNetwork::expire(host, 1));
    onRetryTimer(program, 1); // a stray expiry finds nothing to ask about
    EXPECT_TRUE(host.dialog.boxes.empty());
}

TEST_F(Pending, TwoPendingOneAnswered)
{
    chat("first");
    chat("second");
    EXPECT_EQ(program.pending.slots[0].seq, 1);
    EXPECT_EQ(program.pending.slots[1].seq, 2);
    answer(2);
    EXPECT_EQ(program.pending.slots[0].seq, 1);
    EXPECT_EQ(program.pending.slots[1].seq, 0);
    EXPECT_TRUE(timers.isRunning(1));
    EXPECT_FALSE(timers.isRunning(2));
    // An answer naming nothing pending, or 0, frees nothing.
    answer(0);
    answer(42);
    completePending(program, "junk");
    EXPECT_EQ(takenSlots(), 1);
    // The next message takes the lowest free slot.
    chat("third");
    EXPECT_EQ(program.pending.slots[1].seq, 3);
}

TEST_F(Pending, NoAnswerAndNoGivesUp)
{
    chat("hello");
    host.dialog.answers = {false};
    EXPECT_TRUE(MemoryNetwork::expire(host, 1));
    EXPECT_EQ(questions(), std::vector<std::string>{question});
    EXPECT_EQ(takenSlots(), 0);
    EXPECT_FALSE(timers.isRunning(1));
    EXPECT_EQ(host.transport.sent.size(), 1u);
}

TEST_F(Pending, NoAnswerAndYesResendsWithANewSeqAndTimer)
{
    chat("hello");
    host.dialog.answers = {true, false};
    EXPECT_TRUE(MemoryNetwork::expire(host, 1));
    ASSERT_EQ(host.transport.sent.size(), 2u);
    EXPECT_EQ(host.transport.sent[1].bytes, "2|9|hello");
    EXPECT_EQ(host.transport.sent[1].address, kPeer);
    // Tracked in the next slot, the old one freed afterwards.
    EXPECT_EQ(program.pending.slots[0].seq, 0);
    EXPECT_EQ(program.pending.slots[1].seq, 2);
    EXPECT_EQ(program.pending.slots[1].payload, "hello");
    EXPECT_FALSE(timers.isRunning(1));
    EXPECT_TRUE(timers.isRunning(2));

    // The resend may be asked about in turn.
    EXPECT_TRUE(MemoryNetwork::expire(host, 2));
    EXPECT_EQ(questions().size(), 2u);
    EXPECT_EQ(takenSlots(), 0);
}

TEST_F(Pending, LateAnswerAfterTheResendChangesNothing)
{
    chat("hello");
    host.dialog.answers = {true};
    MemoryNetwork::expire(host, 1);
    answer(1);
    EXPECT_EQ(program.pending.slots[1].seq, 2);
    EXPECT_TRUE(timers.isRunning(2));
    answer(2);
    EXPECT_EQ(takenSlots(), 0);
    EXPECT_FALSE(timers.isRunning(2));
}

TEST_F(Pending, AnswerWhileTheQuestionIsOpen)
{
    chat("hello");
    host.dialog.answers = {true};
    // The answer arrives and another line is sent while the player thinks:
    // the other line takes the freed slot 0. "hello" has arrived, so Yes
    // sends nothing; the other line stays pending.
    host.dialog.whileOpen = [this](const FakeDialog::Box&) {
        host.dialog.whileOpen = nullptr;
        answer(1);
        chat("other");
    };
    MemoryNetwork::expire(host, 1);
    ASSERT_EQ(host.transport.sent.size(), 2u);
    EXPECT_EQ(host.transport.sent[1].bytes, "2|9|other");
    EXPECT_EQ(program.pending.slots[0].seq, 2);
    EXPECT_EQ(program.pending.slots[0].payload, "other");
    EXPECT_EQ(takenSlots(), 1);
}

TEST_F(Pending, ResendNamesTheOpponentAndAddressAsTheyAreWhenAnswered)
{
    chat("hello");
    host.dialog.answers = {true};
    host.dialog.whileOpen = [this](const FakeDialog::Box&) { program.match.peerAddress = "10.0.0.9"; };
    MemoryNetwork::expire(host, 1);
    ASSERT_EQ(host.transport.sent.size(), 2u);
    EXPECT_EQ(host.transport.sent[1].address, ip(10, 0, 0, 9));
}

TEST_F(Pending, YesAfterTheConnectionEndedSendsNothing)
{
    chat("hello");
    program.match.connected = 0;
    program.match.peerAddress.clear();
    program.match.opponentName.clear();
    host.dialog.answers = {true};
    MemoryNetwork::expire(host, 1);
    EXPECT_EQ(questions(), std::vector<std::string>{toCp932("()は受信できませんでした\r\n再送しますか")});
    EXPECT_EQ(host.dialog.boxes.size(), 1u); // no misleading look-up error
    EXPECT_EQ(host.transport.sent.size(), 1u);
    EXPECT_EQ(program.match.nextSeq, 1);
    EXPECT_EQ(takenSlots(), 0);
}

TEST_F(Pending, FailedResendShowsItsBoxAndStillFreesTheSlot)
{
    chat("hello");
    host.transport.failing.insert(kPeer);
    host.dialog.answers = {true};
    MemoryNetwork::expire(host, 1);
    ASSERT_EQ(host.dialog.boxes.size(), 2u);
    EXPECT_EQ(host.dialog.boxes[1].text, toCp932("相手への送信失敗 : 10065"));
    EXPECT_EQ(takenSlots(), 0);
    EXPECT_FALSE(timers.isRunning(2));
}

TEST_F(Pending, FullTableSendsButNeverAsks)
{
    for (int i = 0; i < PendingTable::kSlots; ++i)
        chat("line");
    EXPECT_EQ(takenSlots(), PendingTable::kSlots);
    chat("one too many");
    EXPECT_EQ(host.transport.sent.back().bytes, "1001|9|one too many");
    EXPECT_TRUE(timers.isRunning(1001));
    EXPECT_TRUE(MemoryNetwork::expire(host, 1001));
    EXPECT_TRUE(host.dialog.boxes.empty());
    EXPECT_FALSE(timers.isRunning(1001));
    // A freed slot is taken again by the next message.
    answer(500);
    chat("again");
    EXPECT_EQ(program.pending.slots[499].seq, 1002);
}

TEST_F(Pending, StoredPayloadIsAtMost999Bytes)
{
    trackPending(program, 8, MSG_CHAT, std::string(1200, 'x'));
    EXPECT_EQ(program.pending.slots[0].payload.size(), kMaxPayloadBytes);
}

} // namespace
} // namespace kestrel::testing
