// The connect dialog's decisions on the fakes: the list in step with the
// peer list while open, the 30-second refresh window driven through the
// timer interface, and the ways out.
#include <gtest/gtest.h>

#include "session/dialogs/connect_dialog.h"
#include "session/dialogs/dialog_ids.h"
#include "session/dispatch.h"
#include "tests/support/fake_dialog_controls.h"
#include "tests/support/fake_machine.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::FakeDialogControls;
using testing::FakeMachine;
using testing::FakeTimers;
using testing::ip;
using Names = std::vector<std::string>;

struct Rig : FakeMachine {
    FakeDialogControls controls;
    FakeTimers dialogTimers;

    Rig()
    {
        program.settings.playerName = "taro";
        program.settings.port = 20000;
        program.match.broadcastAddress = "10.0.0.255";
        hear(7, "1|1|hanako$0");
        hear(8, "1|1|jiro$1");
    }
    // A datagram from 10.0.0.<host>.
    void hear(unsigned host, const std::string& text) { dispatchDatagram(program, text, ip(10, 0, 0, host)); }
    const Names& shown() const { return controls.items(dlg::kPeerList); }
    int hellosSent() const
    {
        int n = 0;
        for (const auto& sent : transport.sent)
            n += sent.bytes.find("|1|taro$0") != std::string::npos && sent.address == ip(10, 0, 0, 255);
        return n;
    }
};

TEST(ConnectDialog, ListFollowsThePeerListAndARefreshEmptiesItOncePerWindow)
{
    Rig rig;
    ConnectDialog dialog(rig.program, rig.controls, rig.dialogTimers);
    dialog.initialise();
    EXPECT_EQ(rig.shown(), (Names{"hanako", "jiro"}));
    EXPECT_EQ(rig.controls.text(dlg::kPortLabel), "20000");
    EXPECT_EQ(rig.controls.focused, dlg::kPeerList);
    EXPECT_EQ(rig.program.openConnectDialog, &dialog);

    // An answer while open lands at the end; a goodbye closes the gap.
    rig.hear(9, "4|2|saburo$0");
    EXPECT_EQ(rig.shown(), (Names{"hanako", "jiro", "saburo"}));
    rig.hear(8, "5|3|jiro$1");
    EXPECT_EQ(rig.shown(), (Names{"hanako", "saburo"}));

    dialog.onRefresh(); // t = 0
    EXPECT_TRUE(rig.shown().empty());
    EXPECT_EQ(rig.program.peers.count, 0);
    EXPECT_TRUE(rig.program.peers.rows[1].name.empty());
    EXPECT_EQ(rig.dialogTimers.started.back(), std::make_pair(kRefreshTimerId, 30000));
    EXPECT_EQ(rig.hellosSent(), 1);
    EXPECT_EQ(rig.controls.focused, dlg::kOk);
    rig.hear(7, "6|2|hanako$0");
    EXPECT_EQ(rig.shown(), (Names{"hanako"}));

    dialog.onRefresh(); // t = 10 s: the list stays, the window starts again
    EXPECT_EQ(rig.shown(), (Names{"hanako"}));
    EXPECT_EQ(rig.program.peers.count, 1);
    EXPECT_EQ(rig.dialogTimers.started.size(), 2u);
    EXPECT_TRUE(rig.dialogTimers.isRunning(kRefreshTimerId));
    EXPECT_EQ(rig.hellosSent(), 2);

    dialog.onRefreshTimer(kRefreshTimerId); // t = 40 s
    EXPECT_FALSE(rig.dialogTimers.isRunning(kRefreshTimerId));
    EXPECT_FALSE(dialog.refreshActive());
    dialog.onRefresh(); // t = 45 s
    EXPECT_TRUE(rig.shown().empty());
    EXPECT_EQ(rig.hellosSent(), 3);
}

TEST(ConnectDialog, OkWantsASelectionAndNoConnectionMadeMeanwhile)
{
    Rig rig;
    {
        ConnectDialog dialog(rig.program, rig.controls, rig.dialogTimers);
        dialog.initialise();
        dialog.onRefresh();
        rig.hear(8, "7|2|jiro$1");
        rig.hear(7, "8|2|hanako$0");
        dialog.onOk();
        ASSERT_EQ(rig.dialog.boxes.size(), 1u);
        EXPECT_EQ(rig.dialog.boxes[0].text, SJ("リストから選択して下さい"));

        // A peer's request was accepted while the dialog was open.
        rig.controls.selectItem(dlg::kPeerList, 1);
        rig.program.match.connected = 1;
        dialog.onOk();
        ASSERT_EQ(rig.dialog.boxes.size(), 2u);
        EXPECT_EQ(rig.dialog.boxes[1].text, SJ("すでに接続をしています"));
        dialog.onComputer(); // does nothing, says nothing
        EXPECT_EQ(rig.dialog.boxes.size(), 2u);
        EXPECT_EQ(rig.program.match.vsComputer, 0);
        EXPECT_EQ(rig.controls.closeCount, 0);

        rig.program.match.connected = 0;
        rig.program.match.dialogAccepted = 0;
        dialog.onOk();
        EXPECT_EQ(rig.controls.closeCount, 1);
        EXPECT_EQ(rig.program.openConnectDialog, nullptr);
        EXPECT_FALSE(rig.dialogTimers.isRunning(kRefreshTimerId));
    }
    const MatchState& m = rig.program.match;
    EXPECT_EQ(m.dialogAccepted, 1);
    EXPECT_EQ(m.connected, 1);
    EXPECT_EQ(m.vsComputer, 0);
    EXPECT_EQ(m.opponentName, "hanako"); // row 1 since the refresh
    EXPECT_EQ(m.peerAddress, "10.0.0.7");
}

TEST(ConnectDialog, ComputerCancelAndTheProgramsEndCloseTheDialog)
{
    for (const char* way : {"computer", "cancel", "exit"}) {
        Rig rig;
        rig.program.match.opponentName = "before";
        {
            ConnectDialog dialog(rig.program, rig.controls, rig.dialogTimers);
            dialog.initialise();
            dialog.onRefresh();
            if (std::string(way) == "computer")
                dialog.onComputer();
            else if (std::string(way) == "cancel")
                dialog.onCancel();
        } // "exit": the dialog goes without a button
        const MatchState& m = rig.program.match;
        const bool computer = std::string(way) == "computer";
        EXPECT_EQ(rig.controls.closeCount, std::string(way) == "exit" ? 0 : 1) << way;
        EXPECT_EQ(m.dialogAccepted, computer ? 1 : 0) << way;
        EXPECT_EQ(m.connected + m.vsComputer, computer ? 2 : 0) << way;
        EXPECT_EQ(m.opponentName, computer ? SJ("コンピュータ") : "before") << way;
        // The list that is gone is no longer written to, and its timer is stopped.
        EXPECT_EQ(rig.program.openConnectDialog, nullptr) << way;
        EXPECT_FALSE(rig.dialogTimers.isRunning(kRefreshTimerId)) << way;
        rig.hear(9, "9|2|saburo$0");
        EXPECT_TRUE(rig.shown().empty()) << way;
    }
}

} // namespace
} // namespace kestrel
