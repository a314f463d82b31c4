// The main window's commands on the fakes: the chat line as it goes out and
// into the log, the order, start and end of a network game, and what Connect
// and Settings put back when their dialogs are cancelled.
#include <gtest/gtest.h>

#include "session/commands.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "tests/support/fake_machine.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::FakeMachine;
using testing::FakeSecondaryDialogs;
using testing::ip;

struct Rig : FakeMachine {
    FakeSecondaryDialogs dialogs;
    int exits = 0;

    Rig()
    {
        program.settings.playerName = "taro";
        program.match.broadcastAddress = "10.0.0.255";
        applyInitialControlStates(program);
    }
    void run(int id)
    {
        runCommand(program, dialogs, id, [this] { ++exits; });
    }
    void connectTo(const std::string& name, const std::string& address)
    {
        program.match.connected = 1;
        program.match.opponentName = name;
        program.match.peerAddress = address;
    }
};

TEST(Commands, ChatLinesAreCutOnACharacterBoundaryAndLogged)
{
    const std::string a994(994, 'a');
    const std::string a995(995, 'a');
    const std::string aa = SJ("あ");
    struct Case {
        std::string typed;
        std::string sent;
    } cases[] = {
        {std::string(1200, 'a'), a995 + "//\r\n"},
        {std::string(2500, 'b'), std::string(995, 'b') + "//\r\n"},
        {a995, a995 + "//\r\n"},
        {a994, a994},
        // Byte 995 is the second half of "あ": the whole character goes.
        {a994 + aa + aa, a994 + "//\r\n"},
        {std::string(993, 'a') + aa + aa, std::string(993, 'a') + aa + "//\r\n"},
    };
    Rig rig;
    rig.connectTo("hanako", "10.0.0.2");
    int seq = 0;
    for (const Case& c : cases) {
        rig.dialog.texts[ids::kChatInput] = c.typed;
        rig.dialog.texts[ids::kChatLog].clear();
        rig.run(ids::kSend);
        ASSERT_EQ(rig.transport.sent.size(), static_cast<std::size_t>(++seq));
        const auto& sent = rig.transport.sent.back();
        EXPECT_EQ(sent.bytes, std::to_string(seq) + "|9|" + c.sent) << c.typed.size();
        EXPECT_EQ(sent.address, ip(10, 0, 0, 2));
        EXPECT_LE(c.sent.size(), 999u);
        EXPECT_EQ(rig.dialog.text(ids::kChatLog), SJ("【taro】") + "\r\n" + c.sent + "\r\n");
        EXPECT_EQ(rig.dialog.text(ids::kChatInput), "");
        EXPECT_EQ(rig.dialog.focused, ids::kChatInput);
        EXPECT_TRUE(rig.timers.isRunning(seq)); // chat is delivered reliably
    }

    // An empty input: the box, nothing sent or logged.
    rig.dialog.focused = 0;
    rig.run(ids::kSend);
    ASSERT_EQ(rig.dialog.boxes.size(), 1u);
    EXPECT_EQ(rig.dialog.boxes[0].kind, "error");
    EXPECT_EQ(rig.dialog.boxes[0].text, SJ("メッセージがありません"));
    EXPECT_EQ(rig.dialog.focused, ids::kChatInput);
    EXPECT_EQ(rig.transport.sent.size(), std::size(cases));

    // Not connected: dropped quietly, the input emptied.
    rig.program.match.connected = 0;
    rig.dialog.texts[ids::kChatLog].clear();
    rig.dialog.texts[ids::kChatInput] = "hello";
    rig.run(ids::kSend);
    EXPECT_EQ(rig.transport.sent.size(), std::size(cases));
    EXPECT_EQ(rig.dialog.text(ids::kChatLog), "");
    EXPECT_EQ(rig.dialog.text(ids::kChatInput), "");
    EXPECT_EQ(rig.dialog.boxes.size(), 1u);
}

TEST(Commands, NetworkOrderStartAndEndOnlyAskTheOpponent)
{
    Rig rig;
    rig.connectTo("hanako", "10.0.0.2");
    resetForNewGame(rig.program);
    rig.choose(kWhite);
    const auto before = rig.dialog.enabled;
    const std::string status = rig.view.status;

    rig.run(ids::kDecide);
    rig.run(ids::kDecide); // each press asks again
    rig.run(ids::kGameStart);
    rig.run(ids::kGameEnd);

    std::vector<std::string> sent;
    for (const auto& s : rig.transport.sent)
        sent.push_back(s.bytes);
    EXPECT_EQ(sent, (std::vector<std::string>{"1|11|2", "2|11|2", "3|13|game start", "4|15|game end"}));
    EXPECT_EQ(rig.program.match.mySide, kWhite);
    EXPECT_EQ(rig.program.match.orderDecided, 0);
    EXPECT_EQ(rig.dialog.enabled, before);
    EXPECT_EQ(rig.view.status, status);
    EXPECT_TRUE(rig.timers.isRunning(3) && rig.timers.isRunning(4));
    EXPECT_FALSE(rig.timers.isRunning(1));
}

TEST(Commands, CancelledDialogsPutBackWhatTheyChanged)
{
    Rig rig;
    MatchState& m = rig.program.match;
    m.opponentName = "old";
    m.peerAddress = "10.0.0.7";

    // Cancelled: the previous opponent comes back, unconnected.
    rig.dialogs.onConnect = [&] { EXPECT_EQ(m.connected, 0); };
    rig.run(ids::kMenuConnect);
    EXPECT_EQ(m.connected, 0);
    EXPECT_EQ(m.opponentName, "old");
    EXPECT_EQ(m.peerAddress, "10.0.0.7");

    // Cancelled after a peer's request was accepted meanwhile: that connection stays.
    rig.dialogs.onConnect = [&] { rig.connectTo("hanako", "10.0.0.3"); };
    rig.run(ids::kMenuConnect);
    EXPECT_EQ(m.connected, 1);
    EXPECT_EQ(m.opponentName, "hanako");
    EXPECT_EQ(m.peerAddress, "10.0.0.3");
    EXPECT_TRUE(rig.transport.sent.empty());

    // A player chosen: the request goes out, the controls wait for the answer.
    m.connected = 0;
    rig.dialogs.onConnect = [&] {
        rig.connectTo("jiro", "10.0.0.4");
        m.dialogAccepted = 1;
    };
    rig.run(ids::kMenuConnect);
    ASSERT_EQ(rig.transport.sent.size(), 1u);
    EXPECT_EQ(rig.transport.sent[0].bytes, "1|4|taro");
    EXPECT_EQ(rig.transport.sent[0].address, ip(10, 0, 0, 4));
    EXPECT_TRUE(rig.dialog.isEnabled(ids::kMenuConnect));
    EXPECT_FALSE(rig.dialog.isEnabled(ids::kMenuDisconnect));

    // Settings: Cancel puts back the name and the port, not the dial-up flag.
    Settings& s = rig.program.settings;
    rig.dialogs.onSettings = [&] {
        s.playerName = "typed";
        s.port = 999;
        s.dialUp = 1;
    };
    rig.dialog.focused = 0;
    rig.run(ids::kMenuSettings);
    EXPECT_EQ(s.playerName, "taro");
    EXPECT_EQ(s.port, 20000);
    EXPECT_EQ(s.dialUp, 1);
    EXPECT_EQ(rig.dialog.focused, 0); // the focus stays where it was
    rig.dialogs.onSettings = [&] {
        s.playerName = "saved";
        m.dialogAccepted = 1;
    };
    rig.run(ids::kMenuSettings);
    EXPECT_EQ(s.playerName, "saved");

    rig.run(ids::kMenuHelp);
    rig.run(ids::kMenuAbout);
    rig.run(2); // the Cancel id (Escape): nothing
    rig.run(ids::kMenuExit);
    EXPECT_EQ(rig.dialogs.opened, (std::vector<std::string>{"connect", "connect", "connect", "settings",
                                                            "settings", "help", "about"}));
    EXPECT_EQ(rig.exits, 1);
}

} // namespace
} // namespace kestrel
