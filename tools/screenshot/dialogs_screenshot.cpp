// Renders each secondary dialog, filled as a player would see it, into PNG
// files for looking at the layout. No network is used.
// Usage: dialogs_screenshot <output directory>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>

#include "session/dialogs/dialog_ids.h"
#include "tests/support/fake_machine.h"
#include "text/cp932.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/connect_window.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/settings_window.h"

namespace kestrel {
namespace {

// Opens the dialog, saves it while open, and closes it.
bool shoot(DialogWindow& window, const QString& path)
{
    bool saved = false;
    QTimer::singleShot(200, &window, [&] {
        saved = window.grab().save(path);
        std::printf("%s\n", qPrintable(path));
        window.close();
    });
    window.run(nullptr);
    return saved;
}

} // namespace
} // namespace kestrel

int main(int argc, char** argv)
{
    using namespace kestrel;
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialogs_screenshot <output directory>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);

    testing::FakeMachine machine;
    Program& program = machine.program;
    const char* players[][2] = {
        {"10.0.0.7", "はなこ（隣の部屋）"}, {"10.0.0.12", "jiro"}, {"10.0.0.31", "会議室ＡＢＣ"}};
    for (const auto& player : players) {
        PeerEntry& row = program.peers.rows[static_cast<std::size_t>(program.peers.count++)];
        row.address = player[0];
        row.name = toCp932(player[1]);
    }
    program.settings.playerName = toCp932("たろう＠会議室");
    program.settings.port = 20000;
    program.settings.dialUp = 1;
    program.settings.extraAddresses = {"192.168.1.5", "10.0.0.2", "10.0.0.10", "gameserver.example"};

    bool ok = true;
    {
        ConnectWindow window(program);
        window.selectItem(dlg::kPeerList, 1);
        ok = shoot(window, dir + QStringLiteral("/dialog-connect.png")) && ok;
    }
    {
        Shortcut shortcut; // no desktop: the box stays clear
        SettingsWindow window(program, shortcut);
        window.setText(dlg::kAddressBox, "172.16.0.9");
        window.selectItem(dlg::kAddressList, 1);
        ok = shoot(window, dir + QStringLiteral("/dialog-settings.png")) && ok;
    }
    {
        HelpWindow window;
        ok = shoot(window, dir + QStringLiteral("/dialog-help.png")) && ok;
    }
    {
        HelpWindow window; // the end of the text
        auto* text = qobject_cast<QPlainTextEdit*>(window.control(dlg::kHelpText));
        QTimer::singleShot(100, &window, [text] {
            text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
        });
        ok = shoot(window, dir + QStringLiteral("/dialog-help-end.png")) && ok;
    }
    {
        AboutWindow window(machine.dialog, [](const std::string&) { return false; });
        ok = shoot(window, dir + QStringLiteral("/dialog-about.png")) && ok;
    }
    return ok ? 0 : 1;
}
