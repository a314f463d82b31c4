#include <gtest/gtest.h>

#include <random>
#include <set>

#include "session/pending.h"
#include "session/receive.h"
#include "session/send.h"
#include "tests/support/memory_network.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/message_type.h"

namespace kestrel::testing {
namespace {

// What must hold after any datagram, however malformed.
void expectConsistent(const Program& program, const FakeTransport& transport)
{
    const PeerList& peers = program.peers;
    ASSERT_GE(peers.count, 0);
    ASSERT_LE(peers.count, PeerList::kRows);
    std::set<std::string> addresses;
    for (int i = 0; i < PeerList::kRows; ++i) {
        const PeerEntry& row = peers.rows[static_cast<std::size_t>(i)];
        if (i < peers.count) {
            Ipv4 a = 0;
            ASSERT_TRUE(parseDottedAddress(row.address, a)) << row.address;
            ASSERT_LE(row.name.size(), 63u);
            ASSERT_FALSE(row.name.empty());
            ASSERT_TRUE(addresses.insert(row.address).second) << "twice: " << row.address;
        } else {
            ASSERT_TRUE(row.address.empty() && row.name.empty() && row.dialUp == 0) << "row " << i;
        }
    }
    for (const PendingMessage& slot : program.pending.slots) {
        ASSERT_LE(slot.payload.size(), kMaxPayloadBytes);
        if (slot.seq == 0) {
            ASSERT_TRUE(slot.type == 0 && slot.payload.empty());
        }
    }
    ASSERT_EQ(program.match.nextSeq, static_cast<std::int32_t>(transport.sent.size()));
}

std::string randomBytes(std::mt19937& rng, std::size_t length)
{
    // Mostly the bytes that matter to the parser, some of everything else.
    static const char kAlphabet[] = "||||$$$0123456789-+ \t\0aZ\x81\x7C\xFF";
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
    std::uniform_int_distribution<int> any(0, 255);
    std::string text(length, '\0');
    for (char& c : text)
        c = rng() % 4 == 0 ? static_cast<char>(any(rng)) : kAlphabet[pick(rng)];
    return text;
}

std::string mutate(std::mt19937& rng, std::string text)
{
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < edits; ++i) {
        std::size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
        switch (rng() % 4) {
        case 0:
            text.insert(at, randomBytes(rng, 1 + rng() % 8));
            break;
        case 1:
            if (at < text.size())
                text.erase(at, 1 + rng() % 4);
            break;
        case 2:
            if (at < text.size())
                text[at] = static_cast<char>(rng());
            break;
        default:
            text.insert(at, std::string(rng() % 1200, "|$9"[rng() % 3]));
            break;
        }
    }
    return text;
}

TEST(Fuzz, RandomAndMutatedDatagramsKeepTheStateConsistent)
{
    Host host{ip(10, 0, 0, 1)};
    Program& program = host.program;
    program.settings.playerName = "taro";
    program.match.peerAddress = "10.0.0.2";
    const std::string seeds[] = {"1|1|hanako$1", "2|2|jiro$0", "3|3|x$0",
                                 "4|10|1",       "5|10|2",     "5||1|a$1",
                                 "7|9|a|b",      "9|1|$$$",    "10|1|" + std::string(70, 'n') + "$1"};
    std::mt19937 rng(20261208);
    for (int round = 0; round < 4000; ++round) {
        if (round % 50 == 0)
            sendDatagram(program, "10.0.0.2", MSG_CHAT, "line"); // something to answer
        std::string text;
        if (round % 3 == 0)
            text = randomBytes(rng, rng() % 1300);
        else
            text = mutate(rng, seeds[rng() % std::size(seeds)]);
        Ipv4 from = ip(10, 0, 0, 2 + rng() % 6);

        const auto peersBefore = program.peers.count;
        const auto sentBefore = host.transport.sent.size();
        receiveDatagram(program, text, from);
        ASSERT_NO_FATAL_FAILURE(expectConsistent(program, host.transport)) << "round " << round;

        // What the parser rejects changes nothing.
        ParsedDatagram parsed;
        std::string_view view(text);
        bool accepted = view.size() <= kMaxDatagramBytes && parseDatagram(view, parsed) &&
                        parsed.payload.size() <= kMaxPayloadBytes;
        if (!accepted) {
            ASSERT_EQ(program.peers.count, peersBefore) << "round " << round;
            ASSERT_EQ(host.transport.sent.size(), sentBefore) << "round " << round;
        }
        // Only what the parser takes is answered, and to its sender; the
        // result of a game a fuzzed move has ended goes to the opponent.
        for (std::size_t i = sentBefore; i < host.transport.sent.size(); ++i) {
            ASSERT_TRUE(accepted);
            ParsedDatagram out;
            ASSERT_TRUE(parseDatagram(host.transport.sent[i].bytes, out));
            ASSERT_EQ(host.transport.sent[i].address, out.type == MSG_RESULT ? ip(10, 0, 0, 2) : from);
        }
    }
    EXPECT_GT(program.peers.count, 0); // the fuzzer did reach the handlers
    for (const FakeDialog::Box& box : host.dialog.boxes)
        EXPECT_NE(box.kind, "error") << box.text;
}

} // namespace
} // namespace kestrel::testing
