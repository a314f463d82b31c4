// The program's start and end on the recording fakes: what is loaded, shown
// and sent, in which order, and what happens when the socket cannot open.

#include <gtest/gtest.h>

#include <vector>

#include "session/commands.h"
#include "session/control_ids.h"
#include "session/initialisation.h"
#include "session/program.h"
#include "settings/paths.h"
#include "tests/support/fake_machine.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::FakeDialog;
using testing::FakeTimers;
using testing::FakeTransport;
using testing::FakeView;
using testing::ip;
using testing::TempDir;

struct Rig : testing::FakeMachine {
    TempDir dir;
    std::vector<int> commands;
    SocketOpenResult socketResult = SocketOpenResult::Ok;

    Rig()
    {
        fillPaths(program.settings, dir / "corvidae");
        // Every control state the start must set is first the other way round.
        for (int id : {ids::kMenuDisconnect, ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide,
                       ids::kGameStart, ids::kGameEnd})
            dialog.enable(id, true);
        for (int id :
             {ids::kMenuExit, ids::kMenuConnect, ids::kMenuSettings, ids::kMenuHelp, ids::kMenuAbout})
            dialog.enable(id, false);
        dialog.setChecked(ids::kFirstBlack, false);
        dialog.setChecked(ids::kSecondWhite, true);
    }

    bool start(const std::string& login)
    {
        InitialisationHooks hooks;
        hooks.loginName = login;
        hooks.openSocket = [this] {
            // The socket works out the broadcast address as it opens.
            program.match.broadcastAddress = "10.0.0.255";
            return socketResult;
        };
        hooks.command = [this](int id) { commands.push_back(id); };
        return initialiseMainDialog(program, hooks);
    }
};

TEST(Initialisation, WithoutSettingsFilesAnnouncesTheLoginName)
{
    Rig rig;
    ASSERT_TRUE(rig.start("taro"));

    ASSERT_EQ(rig.transport.sent.size(), 1u);
    EXPECT_EQ(rig.transport.sent[0].bytes, "1|1|taro$0");
    EXPECT_EQ(rig.transport.sent[0].address, ip(10, 0, 0, 255));
    EXPECT_EQ(rig.transport.sent[0].port, 20000);
    EXPECT_EQ(rig.program.settings.playerName, "taro");
    EXPECT_EQ(rig.program.settings.loginUserName, "taro");

    // Board laid out empty and counted; controls of the phase without an opponent.
    EXPECT_EQ(rig.view.callsOf("layoutBoard").size(), 1u);
    EXPECT_EQ(rig.view.shownBlack, 0);
    EXPECT_EQ(rig.view.shownWhite, 0);
    EXPECT_TRUE(rig.view.callsOf("showCell").empty());
    for (int id : {ids::kMenuExit, ids::kMenuConnect, ids::kMenuSettings, ids::kMenuHelp, ids::kMenuAbout})
        EXPECT_TRUE(rig.dialog.isEnabled(id)) << id;
    EXPECT_FALSE(rig.dialog.isEnabled(ids::kMenuDisconnect));
    for (int id :
         {ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide, ids::kGameStart, ids::kGameEnd})
        EXPECT_FALSE(rig.dialog.isEnabled(id)) << id;
    EXPECT_TRUE(rig.dialog.isChecked(ids::kFirstBlack));
    EXPECT_FALSE(rig.dialog.isChecked(ids::kSecondWhite));
    EXPECT_EQ(rig.dialog.focused, ids::kChatInput);
    EXPECT_TRUE(rig.dialog.boxes.empty());
    EXPECT_TRUE(rig.commands.empty());
    EXPECT_EQ(rig.program.match.socketFailed, 0);
}

TEST(Initialisation, NoLoginNameGivesNoNameAndTheFilesOverrideTheDefaults)
{
    Rig anonymous;
    ASSERT_TRUE(anonymous.start(""));
    EXPECT_EQ(anonymous.transport.sent.at(0).bytes, "1|1|No Name$0");

    // A saved name, port and dial-up flag, and two addresses beyond the broadcast.
    Rig rig;
    std::string file(72, '\0');
    const std::string name = toCp932("花子");
    file.replace(0, name.size(), name);
    file[64] = static_cast<char>(0x30); // 20016, little-endian
    file[65] = static_cast<char>(0x4E);
    file[68] = 1;
    testing::writeBytes(rig.program.settings.settingsFilePath, file);
    std::string list(32, '\0');
    list.replace(0, 8, "10.1.0.7");
    list.replace(16, 4, "host");
    testing::writeBytes(rig.program.settings.addressListPath, list);
    rig.transport.hosts["host"] = ip(10, 2, 0, 9);

    ASSERT_TRUE(rig.start("taro"));
    ASSERT_EQ(rig.transport.sent.size(), 3u);
    const std::string payload = name + "$1";
    EXPECT_EQ(rig.transport.sent[0].bytes, "1|1|" + payload);
    EXPECT_EQ(rig.transport.sent[1].bytes, "2|1|" + payload);
    EXPECT_EQ(rig.transport.sent[1].address, ip(10, 1, 0, 7));
    EXPECT_EQ(rig.transport.sent[2].bytes, "3|1|" + payload);
    EXPECT_EQ(rig.transport.sent[2].address, ip(10, 2, 0, 9));
    for (const auto& sent : rig.transport.sent)
        EXPECT_EQ(sent.port, 20016);
}

TEST(Initialisation, SocketFailureEndsTheProgramWithoutAnnouncing)
{
    Rig port;
    port.socketResult = SocketOpenResult::PortFailed;
    EXPECT_FALSE(port.start("taro"));
    EXPECT_EQ(port.commands, (std::vector<int>{ids::kMenuSettings, ids::kMenuExit}));
    EXPECT_EQ(port.program.match.socketFailed, 1);
    EXPECT_TRUE(port.transport.sent.empty());

    Rig other;
    other.socketResult = SocketOpenResult::OtherFailed;
    EXPECT_FALSE(other.start("taro"));
    EXPECT_EQ(other.commands, (std::vector<int>{ids::kMenuExit}));

    // The Exit command after a failed start says goodbye to nobody.
    bool shutDown = false;
    exitCommand(other.program, [&] { shutDown = true; });
    EXPECT_TRUE(shutDown);
    EXPECT_TRUE(other.transport.sent.empty());
}

TEST(ExitCommand, DisconnectsFirstThenSaysGoodbyeThenClosesTheSocket)
{
    Rig rig;
    ASSERT_TRUE(rig.start("taro"));
    rig.program.match.connected = 1;
    rig.program.match.peerAddress = "10.0.0.8";
    rig.program.match.opponentName = "hanako";
    rig.program.peers.rows[0] = {"10.0.0.9", "jiro", 1};
    rig.program.peers.count = 1;

    std::size_t sentAtShutDown = 0;
    exitCommand(rig.program, [&] { sentAtShutDown = rig.transport.sent.size(); });

    ASSERT_EQ(rig.transport.sent.size(), 4u);
    EXPECT_EQ(rig.transport.sent[1].bytes, "2|7|taro");
    EXPECT_EQ(rig.transport.sent[1].address, ip(10, 0, 0, 8));
    EXPECT_EQ(rig.transport.sent[2].bytes, "3|3|taro$0");
    EXPECT_EQ(rig.transport.sent[2].address, ip(10, 0, 0, 255));
    EXPECT_EQ(rig.transport.sent[3].bytes, "4|3|taro$0"); // the dial-up peer directly
    EXPECT_EQ(rig.transport.sent[3].address, ip(10, 0, 0, 9));
    EXPECT_EQ(sentAtShutDown, 4u);
    EXPECT_EQ(rig.program.match.connected, 0);
    EXPECT_EQ(rig.program.match.peerAddress, "");

    // Against the computer nothing goes to an opponent; the goodbye still goes out.
    Rig computer;
    ASSERT_TRUE(computer.start("taro"));
    computer.program.match.connected = 1;
    computer.program.match.vsComputer = 1;
    exitCommand(computer.program, [] {});
    ASSERT_EQ(computer.transport.sent.size(), 2u);
    EXPECT_EQ(computer.transport.sent[1].bytes, "2|3|taro$0");
}

} // namespace
} // namespace kestrel
