#include <gtest/gtest.h>

#include "session/peers.h"
#include "tests/support/fake_peer_list_view.h"
#include "tests/support/memory_network.h"
#include "text/cp932.h"
#include "wire/message_type.h"

namespace kestrel::testing {
namespace {

std::vector<std::string> listed(const Program& program)
{
    std::vector<std::string> rows;
    for (int i = 0; i < program.peers.count; ++i) {
        const PeerEntry& row = program.peers.rows[static_cast<std::size_t>(i)];
        rows.push_back(row.address + " " + row.name + " " + std::to_string(row.dialUp));
    }
    return rows;
}

void announce(Host& host, int type = MSG_HELLO)
{
    sendToAll(host.program, type, announcementPayload(host.program.settings));
}

class Discovery : public ::testing::Test {
protected:
    MemoryNetwork lan;
    Host& taro = lan.add(1, "taro");
    Host& hanako = lan.add(2, toCp932("花子"), 1);
};

TEST_F(Discovery, TwoProgramsListEachOtherAndThemselves)
{
    announce(taro);
    lan.deliverAll();
    const std::string hanakoRow = "10.0.0.2 " + toCp932("花子") + " 1";
    EXPECT_EQ(listed(taro.program), (std::vector<std::string>{"10.0.0.1 taro 0", hanakoRow}));
    EXPECT_EQ(listed(hanako.program), (std::vector<std::string>{"10.0.0.1 taro 0"}));
    // taro's broadcast reached taro too, which answered itself.
    ASSERT_EQ(taro.transport.sent.size(), 2u);
    EXPECT_EQ(taro.transport.sent[0].bytes, "1|1|taro$0");
    EXPECT_EQ(taro.transport.sent[1].bytes, "2|2|taro$0");
    EXPECT_EQ(taro.transport.sent[1].address, ip(10, 0, 0, 1));
    EXPECT_EQ(hanako.transport.sent.at(0).bytes, "1|2|" + toCp932("花子") + "$1");

    announce(hanako);
    lan.deliverAll();
    EXPECT_EQ(listed(taro.program), listed(hanako.program));
    EXPECT_EQ(listed(hanako.program).size(), 2u);
}

TEST_F(Discovery, DialUpPeerIsAnnouncedToDirectlyAndByeRemovesEveryone)
{
    announce(hanako);
    lan.deliverAll();
    taro.transport.sent.clear();
    announce(taro);
    // broadcast, then hanako directly because she declared dial-up
    ASSERT_EQ(taro.transport.sent.size(), 2u);
    EXPECT_EQ(taro.transport.sent[1].address, ip(10, 0, 0, 2));
    lan.deliverAll();
    EXPECT_EQ(listed(hanako.program).size(), 2u);

    FakePeerListView dialog;
    dialog.items = {toCp932("花子"), "taro"}; // hanako heard herself first
    hanako.program.openConnectDialog = &dialog;
    announce(taro, MSG_BYE);
    lan.deliverAll();
    EXPECT_EQ(listed(hanako.program), std::vector<std::string>{"10.0.0.2 " + toCp932("花子") + " 1"});
    EXPECT_EQ(dialog.items, std::vector<std::string>{toCp932("花子")});
    EXPECT_EQ(listed(taro.program), std::vector<std::string>{"10.0.0.2 " + toCp932("花子") + " 1"});
}

TEST_F(Discovery, LostAnnouncementLeavesBothUnlisted)
{
    lan.dropNext(1);
    announce(taro);
    lan.deliverAll();
    EXPECT_TRUE(listed(taro.program).empty());
    EXPECT_TRUE(listed(hanako.program).empty());
}

TEST_F(Discovery, ExtraAddressReachesAHostTheBroadcastMisses)
{
    Host& far = lan.add(3, "far");
    taro.program.match.broadcastAddress = "10.9.9.255"; // a broadcast that reaches no one here
    taro.program.settings.extraAddresses = {"10.0.0.3"};
    announce(taro);
    lan.deliverAll();
    EXPECT_EQ(listed(far.program), std::vector<std::string>{"10.0.0.1 taro 0"});
    EXPECT_EQ(listed(taro.program), std::vector<std::string>{"10.0.0.3 far 0"});
    EXPECT_TRUE(listed(hanako.program).empty());
}

} // namespace
} // namespace kestrel::testing
