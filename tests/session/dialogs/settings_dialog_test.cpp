// The settings dialog through the Settings command on the fakes, with both
// files written for real into a temporary folder and read back byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "session/commands.h"
#include "session/control_ids.h"
#include "session/dialogs/dialog_ids.h"
#include "session/dialogs/settings_dialog.h"
#include "tests/support/fake_dialog_controls.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::FakeDialogControls;
using testing::FakeMachine;
using testing::FakeSecondaryDialogs;
using testing::ip;
using testing::readBytes;
using Names = std::vector<std::string>;

// The 72 bytes of "lumenini.fil", spelled out: name zero-filled to 64, then
// port and dial-up flag, little-endian.
std::string settingsFile(const std::string& name, unsigned port, unsigned dialUp)
{
    std::string bytes = name + std::string(64 - name.size(), '\0');
    for (unsigned value : {port, dialUp})
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string record(const std::string& address)
{
    return address + std::string(16 - address.size(), '\0');
}

struct Rig : FakeMachine {
    testing::TempDir dir;
    FakeDialogControls controls;
    FakeSecondaryDialogs dialogs;

    Rig()
    {
        Settings& s = program.settings;
        s.settingsFilePath = dir / "lumenini.fil";
        s.addressListPath = dir / "lumenip.fil";
        s.playerName = "taro";
        s.loginUserName = "root";
        s.port = 20000;
        program.match.broadcastAddress = "10.0.0.255";
    }
    Shortcut shortcut() const
    {
        Shortcut made;
        made.path = dir / "Desktop/kestrelbay.desktop";
        made.target = "/opt/kb/corvidae";
        made.workingDirectory = "/opt/kb/";
        return made;
    }
    // The Settings command; `player` acts in the open dialog.
    void openSettings(const std::function<void(SettingsDialog&)>& player)
    {
        controls = FakeDialogControls{};
        dialogs.onSettings = [&] {
            SettingsDialog dialog(program, controls, shortcut());
            dialog.initialise();
            player(dialog);
        };
        runCommand(program, dialogs, ids::kMenuSettings, [] {});
    }
    bool filesWritten() const
    {
        return std::filesystem::exists(program.settings.settingsFilePath) ||
               std::filesystem::exists(program.settings.addressListPath);
    }
    Names lastBoxes() const
    {
        Names texts;
        for (const auto& box : dialog.boxes)
            texts.push_back(box.text);
        return texts;
    }
};

// OK takes the name (63 bytes at most, cut on a character boundary; the
// login name or "No Name" for an empty box), then the port, read like atoi
// from seven characters, in 1000-30000. A refused port keeps the dialog open,
// and Cancel then puts the typed-over name back and writes nothing.
TEST(SettingsDialog, NameAndPortAreTakenAsOkReadsThem)
{
    const std::string a = SJ("あ");
    std::string a32;
    for (int i = 0; i < 32; ++i)
        a32 += a;
    struct Case {
        std::string name, login, port;
        std::string savedName;
        int savedPort; // 0: refused
    } cases[] = {
        {"hanako", "root", "999", "", 0},
        {"hanako", "root", "1000", "hanako", 1000},
        {"hanako", "root", "30000", "hanako", 30000},
        {"hanako", "root", "30001", "", 0},
        {"hanako", "root", "", "", 0},
        {"hanako", "root", "port", "", 0},
        {"hanako", "root", " 2000x", "hanako", 2000},
        {"hanako", "root", "12345678", "", 0}, // read as 1234567
        {std::string(70, 'x'), "root", "20000", std::string(63, 'x'), 20000},
        {a32, "root", "20000", a32.substr(0, 62), 20000},                         // 31 characters
        {std::string(62, 'x') + a, "root", "20000", std::string(62, 'x'), 20000}, // lead byte at offset 62
        {"", "root", "20000", "root", 20000},
        {"", "", "20000", "No Name", 20000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.size());
        SCOPED_TRACE(c.port);
        Rig rig;
        rig.program.settings.loginUserName = c.login;
        rig.openSettings([&](SettingsDialog& d) {
            rig.controls.texts[dlg::kNameBox] = c.name;
            rig.controls.texts[dlg::kPortBox] = c.port;
            d.onOk();
            if (c.savedPort == 0) {
                EXPECT_EQ(rig.lastBoxes(), (Names{SJ("ポート番号が範囲外です")}));
                EXPECT_EQ(rig.controls.focused, dlg::kPortBox);
                EXPECT_EQ(rig.controls.closeCount, 0);
                EXPECT_EQ(rig.program.settings.playerName, c.name); // taken before the port
                d.onCancel();
            }
        });
        const Settings& s = rig.program.settings;
        if (c.savedPort == 0) {
            EXPECT_EQ(s.playerName, "taro");
            EXPECT_EQ(s.port, 20000);
            EXPECT_FALSE(rig.filesWritten());
            EXPECT_TRUE(rig.transport.sent.empty());
            continue;
        }
        EXPECT_EQ(rig.controls.closeCount, 1);
        EXPECT_EQ(rig.program.match.dialogAccepted, 1);
        EXPECT_EQ(s.playerName, c.savedName);
        EXPECT_EQ(s.port, c.savedPort);
        EXPECT_EQ(readBytes(s.settingsFilePath),
                  settingsFile(c.savedName, static_cast<unsigned>(c.savedPort), 0));
        EXPECT_EQ(readBytes(s.addressListPath), "");
    }
}

TEST(SettingsDialog, AddressesKeepTextOrderAndAreSavedAndAnnouncedTo)
{
    Rig rig;
    rig.program.settings.extraAddresses = {"192.168.1.5"};
    rig.program.settings.dialUp = 0;
    rig.openSettings([&](SettingsDialog& d) {
        FakeDialogControls& c = rig.controls;
        EXPECT_EQ(c.text(dlg::kNameBox), "taro");
        EXPECT_EQ(c.text(dlg::kPortBox), "20000");
        EXPECT_FALSE(c.isChecked(dlg::kDialUp));
        EXPECT_FALSE(c.isChecked(dlg::kDesktopShortcut));
        EXPECT_EQ(c.focused, dlg::kNameBox);
        for (const char* typed : {"10.0.0.2", "10.0.0.10", "10.0.0.2", "", "192.168.100.200x"}) {
            c.texts[dlg::kAddressBox] = typed;
            d.onAddAddress();
            EXPECT_EQ(c.focused, dlg::kAddressBox);
            EXPECT_EQ(c.text(dlg::kAddressBox), "");
        }
        EXPECT_EQ(c.items(dlg::kAddressList),
                  (Names{"10.0.0.10", "10.0.0.2", "10.0.0.2", "192.168.1.5", "192.168.100.200"}));
        d.onDeleteAddress(); // nothing selected
        EXPECT_EQ(c.items(dlg::kAddressList).size(), 5u);
        c.selectItem(dlg::kAddressList, 4);
        d.onDeleteAddress();
        EXPECT_EQ(c.items(dlg::kAddressList).size(), 4u);

        c.texts[dlg::kPortBox] = "25000";
        d.onStandardPort();
        EXPECT_EQ(c.text(dlg::kPortBox), "20000");
        EXPECT_EQ(c.focused, dlg::kOk);
        c.checked[dlg::kDialUp] = true;
        d.onOk();
    });
    const Settings& s = rig.program.settings;
    EXPECT_EQ(readBytes(s.settingsFilePath), settingsFile("taro", 20000, 1));
    EXPECT_EQ(readBytes(s.addressListPath),
              record("10.0.0.10") + record("10.0.0.2") + record("10.0.0.2") + record("192.168.1.5"));
    EXPECT_EQ(s.extraAddresses, (Names{"10.0.0.10", "10.0.0.2", "10.0.0.2", "192.168.1.5"}));
    // The new name and flag go to the broadcast address and every listed address.
    std::vector<std::pair<Ipv4, std::string>> sent;
    for (const auto& d : rig.transport.sent)
        sent.emplace_back(d.address, d.bytes);
    EXPECT_EQ(sent, (std::vector<std::pair<Ipv4, std::string>>{{ip(10, 0, 0, 255), "1|1|taro$1"},
                                                               {ip(10, 0, 0, 10), "2|1|taro$1"},
                                                               {ip(10, 0, 0, 2), "3|1|taro$1"},
                                                               {ip(10, 0, 0, 2), "4|1|taro$1"},
                                                               {ip(192, 168, 1, 5), "5|1|taro$1"}}));
}

TEST(SettingsDialog, AFileThatCannotBeWrittenKeepsTheDialogOpen)
{
    Rig rig;
    std::filesystem::create_directory(rig.program.settings.settingsFilePath); // a folder in the file's place
    std::filesystem::create_directory(rig.dir / "Desktop");
    rig.openSettings([&](SettingsDialog& d) {
        rig.controls.texts[dlg::kPortBox] = "21000";
        rig.controls.checked[dlg::kDesktopShortcut] = true;
        d.onOk();
        EXPECT_EQ(rig.lastBoxes(), (Names{SJ("ファイルをオープンできません")}));
        EXPECT_EQ(rig.controls.closeCount, 0);
        d.onCancel();
    });
    EXPECT_EQ(rig.program.settings.port, 20000);
    EXPECT_FALSE(std::filesystem::exists(rig.program.settings.addressListPath));
    EXPECT_FALSE(shortcutExists(rig.shortcut())); // nothing after the failed step
    EXPECT_TRUE(rig.transport.sent.empty());
}

TEST(SettingsDialog, ShortcutBoxFollowsTheFileAndNoSocketMeansNoAnnouncement)
{
    Rig rig;
    rig.program.match.socketFailed = 1; // the port could not be bound at start-up
    std::filesystem::create_directory(rig.dir / "Desktop");
    for (bool tick : {true, false}) {
        rig.openSettings([&](SettingsDialog& d) {
            EXPECT_EQ(rig.controls.isChecked(dlg::kDesktopShortcut), !tick);
            rig.controls.checked[dlg::kDesktopShortcut] = tick;
            d.onOk();
        });
        EXPECT_EQ(shortcutExists(rig.shortcut()), tick);
    }
    EXPECT_TRUE(rig.dialog.boxes.empty());
    EXPECT_TRUE(rig.transport.sent.empty());
}

} // namespace
} // namespace kestrel
