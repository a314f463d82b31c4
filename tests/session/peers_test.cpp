#include <gtest/gtest.h>

#include "session/peers.h"
#include "session/send.h"
#include "tests/support/fake_peer_list_view.h"
#include "tests/support/memory_network.h"
#include "text/cp932.h"
#include "wire/message_type.h"

namespace kestrel::testing {
namespace {

class Peers : public ::testing::Test {
protected:
    Peers()
    {
        program.settings.playerName = "taro";
        program.match.broadcastAddress = "10.0.0.255";
    }

    void hello(const std::string& from, const std::string& payload)
    {
        onHello(program, MSG_HELLO, from, payload);
    }
    void openDialog()
    {
        for (int i = 0; i < program.peers.count; ++i)
            list.items.push_back(program.peers.rows[static_cast<std::size_t>(i)].name);
        program.openConnectDialog = &list;
    }
    std::vector<std::string> sentBytes() const
    {
        std::vector<std::string> out;
        for (const auto& s : host.transport.sent)
            out.push_back(s.bytes);
        return out;
    }

    Host host{ip(10, 0, 0, 1)};
    Program& program = host.program;
    FakePeerListView list;
};

TEST_F(Peers, AnnouncementPayload)
{
    EXPECT_EQ(announcementPayload(program.settings), "taro$0");
    program.settings.dialUp = 1;
    program.settings.playerName = toCp932("花子");
    EXPECT_EQ(announcementPayload(program.settings), "\x89\xD4\x8E\x71$1");
    program.settings.playerName.clear();
    EXPECT_EQ(announcementPayload(program.settings), "$1");
}

TEST_F(Peers, FirstHelloAddsARowTheListItemAndAnswers)
{
    openDialog();
    hello("10.0.0.2", "hanako$1");
    ASSERT_EQ(program.peers.count, 1);
    EXPECT_EQ(program.peers.rows[0].address, "10.0.0.2");
    EXPECT_EQ(program.peers.rows[0].name, "hanako");
    EXPECT_EQ(program.peers.rows[0].dialUp, 1);
    EXPECT_EQ(list.items, std::vector<std::string>{"hanako"});
    ASSERT_EQ(host.transport.sent.size(), 1u);
    EXPECT_EQ(host.transport.sent[0].address, ip(10, 0, 0, 2));
    EXPECT_EQ(host.transport.sent[0].bytes, "1|2|taro$0");

    hello("10.0.0.3", "jiro$0");
    EXPECT_EQ(list.items, (std::vector<std::string>{"hanako", "jiro"}));
    // A reply is listed but not answered.
    onHello(program, MSG_HELLO_REPLY, "10.0.0.4", "saburo$0");
    EXPECT_EQ(program.peers.count, 3);
    EXPECT_EQ(host.transport.sent.size(), 2u);
}

TEST_F(Peers, ReplyIsTheGoldenDatagramAfterSixOthers)
{
    program.settings.playerName = "hanako";
    program.settings.dialUp = 1;
    for (int i = 0; i < 6; ++i)
        sendDatagram(program, "10.0.0.9", MSG_RESULT, "x");
    hello("10.0.0.2", "taro$0");
    EXPECT_EQ(host.transport.sent.back().bytes, "7|2|hanako$1");
    EXPECT_EQ(host.transport.sent.back().bytes.size(), 12u);
}

TEST_F(Peers, RenamedRowIsReplacedInPlaceKeepingItsSelection)
{
    hello("10.0.0.2", "hanako$0");
    hello("10.0.0.3", "jiro$0");
    hello("10.0.0.4", "saburo$0");
    openDialog();
    list.selected = 1;
    hello("10.0.0.3", "jiro2$0");
    EXPECT_EQ(program.peers.rows[1].name, "jiro2");
    EXPECT_EQ(list.items, (std::vector<std::string>{"hanako", "jiro2", "saburo"}));
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(list.log, (std::vector<std::string>{"delete 1", "insert 1 jiro2", "select 1"}));

    // An unselected row stays unselected; a change of the dial-up flag alone
    // or the same name again does not touch the list.
    list.log.clear();
    hello("10.0.0.4", "saburo2$0");
    EXPECT_EQ(list.log, (std::vector<std::string>{"delete 2", "insert 2 saburo2"}));
    EXPECT_EQ(list.selected, 1);
    list.log.clear();
    hello("10.0.0.2", "hanako$1");
    hello("10.0.0.2", "hanako$1");
    EXPECT_TRUE(list.log.empty());
    EXPECT_EQ(program.peers.rows[0].dialUp, 1);
    EXPECT_EQ(program.peers.count, 3);
}

TEST_F(Peers, NamesAndDialUpAreSplitAtTheFirstDollar)
{
    struct Case {
        const char* payload;
        const char* name;
        int dialUp;
    };
    const Case cases[] = {
        {"$", "No Name", 0},    {"$$$", "No Name", 0},   {"ta$ro$1", "ta", 0},
        {"taro$1x", "taro", 1}, {"$12", "12", 0},        {"$$12$1", "12", 1},
        {"taro", "taro", 0},    {"taro$", "taro", 0},    {"taro$$1", "taro", 0},
        {"taro$ 1", "taro", 1}, {"taro$-3", "taro", -3}, {"taro$99999999999", "taro", INT32_MAX},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string address = "10.0.1." + std::to_string(++n);
        hello(address, c.payload);
        int row = findPeer(program.peers, address);
        ASSERT_GE(row, 0) << c.payload;
        EXPECT_EQ(program.peers.rows[static_cast<std::size_t>(row)].name, c.name) << c.payload;
        EXPECT_EQ(program.peers.rows[static_cast<std::size_t>(row)].dialUp, c.dialUp) << c.payload;
    }
    EXPECT_EQ(host.transport.sent.size(), std::size(cases));
}

TEST_F(Peers, NoNameForAKnownRowLeavesTheListItemAlone)
{
    hello("10.0.0.2", "hanako$1");
    openDialog();
    hello("10.0.0.2", "$");
    EXPECT_EQ(program.peers.rows[0].name, "No Name");
    EXPECT_EQ(program.peers.rows[0].dialUp, 0);
    EXPECT_TRUE(list.log.empty());
    // A new row with no name is listed as "No Name".
    hello("10.0.0.3", "$$");
    EXPECT_EQ(list.items, (std::vector<std::string>{"hanako", "No Name"}));
}

TEST_F(Peers, LongNamesAreCutTo63BytesOnACharacterBoundary)
{
    hello("10.0.0.2", std::string(63, 'a') + "$0");
    hello("10.0.0.3", std::string(64, 'b') + "$1");
    hello("10.0.0.4", std::string(500, 'c') + "$1");
    std::string kanji;
    for (int i = 0; i < 40; ++i)
        kanji += toCp932("漢"); // 80 bytes of double-byte characters
    hello("10.0.0.5", "x" + kanji + "$0");
    EXPECT_EQ(program.peers.rows[0].name, std::string(63, 'a'));
    EXPECT_EQ(program.peers.rows[1].name, std::string(63, 'b'));
    EXPECT_EQ(program.peers.rows[1].dialUp, 1);
    EXPECT_EQ(program.peers.rows[2].name, std::string(63, 'c'));
    EXPECT_EQ(program.peers.rows[3].name, "x" + kanji.substr(0, 62));
    // The same long name again is no change.
    openDialog();
    hello("10.0.0.3", std::string(70, 'b') + "$1");
    EXPECT_TRUE(list.log.empty());
}

TEST_F(Peers, ByeMovesLaterRowsUp)
{
    hello("10.0.0.2", "hanako$1");
    hello("10.0.0.3", "jiro$0");
    hello("10.0.0.4", "saburo$1");
    openDialog();
    onBye(program, "10.0.0.2");
    EXPECT_EQ(program.peers.count, 2);
    EXPECT_EQ(program.peers.rows[0].address, "10.0.0.3");
    EXPECT_EQ(program.peers.rows[0].name, "jiro");
    EXPECT_EQ(program.peers.rows[1].address, "10.0.0.4");
    EXPECT_EQ(program.peers.rows[1].dialUp, 1);
    EXPECT_EQ(program.peers.rows[2].address, "");
    EXPECT_EQ(program.peers.rows[2].name, "");
    EXPECT_EQ(program.peers.rows[2].dialUp, 0);
    EXPECT_EQ(list.items, (std::vector<std::string>{"jiro", "saburo"}));

    onBye(program, "10.0.0.9"); // not listed: nothing
    onBye(program, "");
    EXPECT_EQ(program.peers.count, 2);
    onBye(program, "10.0.0.4");
    onBye(program, "10.0.0.3");
    EXPECT_EQ(program.peers.count, 0);
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(findPeer(program.peers, ""), -1); // empty rows are not found
    EXPECT_EQ(host.transport.sent.size(), 3u);  // bye is not answered
}

TEST_F(Peers, FullListDropsNewAddressesButServesKnownOnes)
{
    for (int i = 0; i < PeerList::kRows; ++i)
        hello("10.1." + std::to_string(i / 256) + "." + std::to_string(i % 256), "p$0");
    ASSERT_EQ(program.peers.count, PeerList::kRows);
    openDialog();
    const auto sent = host.transport.sent.size();
    hello("10.2.0.1", "late$0");
    EXPECT_EQ(program.peers.count, PeerList::kRows);
    EXPECT_EQ(findPeer(program.peers, "10.2.0.1"), -1);
    EXPECT_EQ(host.transport.sent.size(), sent);
    EXPECT_TRUE(list.log.empty());

    hello("10.1.3.231", "last$1"); // row 999
    EXPECT_EQ(program.peers.rows[999].name, "last");
    EXPECT_EQ(host.transport.sent.size(), sent + 1);
    EXPECT_EQ(list.items[999], "last");
}

TEST_F(Peers, SendToAllServesBroadcastsExtrasThenDialUpPeersWithConsecutiveSeqs)
{
    host.transport.hosts["jiro-pc"] = ip(192, 168, 5, 5);
    program.settings.extraAddresses = {"172.16.0.9", "jiro-pc"};
    onHello(program, MSG_HELLO_REPLY, "10.0.0.2", "hanako$0");
    onHello(program, MSG_HELLO_REPLY, "10.0.0.3", "dial$1");
    program.match.nextSeq = 10;
    sendToAll(program, MSG_HELLO, announcementPayload(program.settings));
    ASSERT_EQ(host.transport.sent.size(), 4u);
    EXPECT_EQ(sentBytes(),
              (std::vector<std::string>{"11|1|taro$0", "12|1|taro$0", "13|1|taro$0", "14|1|taro$0"}));
    EXPECT_EQ(host.transport.sent[0].address, ip(10, 0, 0, 255));
    EXPECT_EQ(host.transport.sent[1].address, ip(172, 16, 0, 9));
    EXPECT_EQ(host.transport.sent[2].address, ip(192, 168, 5, 5));
    EXPECT_EQ(host.transport.sent[3].address, ip(10, 0, 0, 3));
    EXPECT_TRUE(host.dialog.boxes.empty());

    // On a host with two more networks their broadcasts follow the first, each with its own seq.
    host.transport.sent.clear();
    program.match.otherBroadcastAddresses = {"192.168.9.255", "10.200.255.255"};
    sendToAll(program, MSG_BYE, "taro$0");
    std::vector<std::pair<Ipv4, std::string>> sent;
    for (const auto& datagram : host.transport.sent)
        sent.emplace_back(datagram.address, datagram.bytes);
    EXPECT_EQ(sent, (std::vector<std::pair<Ipv4, std::string>>{{ip(10, 0, 0, 255), "15|3|taro$0"},
                                                               {ip(192, 168, 9, 255), "16|3|taro$0"},
                                                               {ip(10, 200, 255, 255), "17|3|taro$0"},
                                                               {ip(172, 16, 0, 9), "18|3|taro$0"},
                                                               {ip(192, 168, 5, 5), "19|3|taro$0"},
                                                               {ip(10, 0, 0, 3), "20|3|taro$0"}}));
}

TEST_F(Peers, FailingDestinationDoesNotStopTheRest)
{
    // An empty row is no destination: skipped without a box.
    program.settings.extraAddresses = {"172.16.0.9", "", "no-such-host", "172.16.0.10"};
    onHello(program, MSG_HELLO_REPLY, "10.0.0.3", "dial$1");
    host.transport.failing.insert(ip(172, 16, 0, 9));
    sendToAll(program, MSG_BYE, "taro$0");
    EXPECT_EQ(sentBytes(), (std::vector<std::string>{"1|3|taro$0", "3|3|taro$0", "4|3|taro$0"}));
    EXPECT_EQ(host.transport.sent[1].address, ip(172, 16, 0, 10));
    EXPECT_EQ(host.transport.sent[2].address, ip(10, 0, 0, 3));
    ASSERT_EQ(host.dialog.boxes.size(), 2u);
    EXPECT_EQ(host.dialog.boxes[0].text, toCp932("相手への送信失敗 : 10065"));
    EXPECT_EQ(host.dialog.boxes[1].text, toCp932("ホストアドレス取得失敗\r\n送信できません"));
}

TEST_F(Peers, SendToAllSurvivesTheListChangingUnderAnErrorBox)
{
    onHello(program, MSG_HELLO_REPLY, "10.0.0.3", "dial$1");
    onHello(program, MSG_HELLO_REPLY, "10.0.0.4", "dial2$1");
    program.settings.extraAddresses = {"no-such-host"};
    // While the look-up error is open, the first dial-up peer says goodbye.
    host.dialog.whileOpen = [this](const FakeDialog::Box&) { onBye(program, "10.0.0.3"); };
    sendToAll(program, MSG_HELLO, "taro$0");
    ASSERT_EQ(host.transport.sent.size(), 2u);
    EXPECT_EQ(host.transport.sent[1].address, ip(10, 0, 0, 4));
}

} // namespace
} // namespace kestrel::testing
