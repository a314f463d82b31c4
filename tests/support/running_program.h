#pragma once
// The whole program (MainDialog) inside a test, as a player meets it: started
// from a folder of its own holding a settings file for "taro" on `port`, with
// HOME and XDG_CONFIG_HOME in that folder too (the desktop launcher goes
// there), its view's pauses recorded and shortened forty times, its sounds
// recorded instead of played, and every message box answered.
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QThread>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "session/program.h"
#include "tests/support/environment.h"
#include "tests/support/loopback_udp.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_driver.h"

namespace kestrel::testing {

struct RunningProgram {
    TempDir dir;
    EnvironmentValue home{"HOME", dir.path()};
    EnvironmentValue config{"XDG_CONFIG_HOME", dir / "config"};
    std::optional<MainDialog> main;
    BoxAnswerer boxes;
    std::vector<int> pauses;
    std::vector<Sound> sounds;
    const std::uint16_t port;

    // Made but not started: a test may hook into it before `main->start`.
    RunningProgram(std::uint16_t port, Ipv4 bind, BoxAnswerer::Decide decide = {})
        : boxes(std::move(decide)), port(port)
    {
        std::string file = "taro" + std::string(68, '\0');
        file[64] = static_cast<char>(port & 0xFF);
        file[65] = static_cast<char>(port >> 8);
        writeBytes(dir / "lumenini.fil", file);
        main.emplace(dir / "corvidae", bind);
        main->view().setPauseFunction([this](int ms) {
            pauses.push_back(ms);
            QThread::usleep(static_cast<unsigned long>(ms) * 25); // ms / 40
        });
        for (Sound s : {Sound::Place, Sound::Flip, Sound::Win, Sound::Lose})
            main->view().setSound(s, {});
        main->view().onSound = [this](Sound s) { sounds.push_back(s); };
    }
    MainWindow& window() { return main->window(); }
    Program& program() { return main->program(); }
    QWidget* control(int id) { return window().control(id); }

    void clickMenu(int id)
    {
        QMenuBar* bar = window().menuBar();
        click(bar, bar->actionGeometry(window().menuItem(id)).center());
    }
    void clickCell(int k)
    {
        click(window().client(), QPoint(10 + 34 * (k % 8) + 17, 25 + 34 * (k / 8) + 17));
    }

    // Runs `action` as an event of its own once a dialog of the program is on
    // screen (a command that opens one returns only when it has closed).
    void inNextDialog(std::function<void(DialogWindow&)> action)
    {
        whenShown<DialogWindow>([this] { return main->dialogs().openDialog(); }, std::move(action));
    }
    // Chooses `path` in the next file dialog, as typed into its name box
    // (which has the focus) and accepted as by its Save or Open button.
    void inNextFileDialog(const std::string& path)
    {
        whenShown<QFileDialog>([this] { return main->dialogs().openFileDialog(); },
                               [path](QFileDialog& open) {
                                   open.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                                       ->setText(QString::fromStdString(path));
                                   static_cast<QDialog&>(open).accept();
                               });
    }

private:
    template <typename Shown> void whenShown(std::function<Shown*()> find, std::function<void(Shown&)> action)
    {
        auto* poll = new QTimer(&window());
        QObject::connect(poll, &QTimer::timeout, [poll, find, action] {
            Shown* open = find();
            if (open == nullptr || !open->isVisible())
                return;
            poll->deleteLater();
            poll->stop();
            QMetaObject::invokeMethod(
                open, [open, action] { action(*open); }, Qt::QueuedConnection);
        });
        poll->start(5);
    }
};

} // namespace kestrel::testing
