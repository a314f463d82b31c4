// The program's whole main window (MainDialog: window, board view, socket
// with its receive thread, dialogs, program record), offscreen, for the
// load tests in network namespaces (load_test.sh). Only ever started there.
//
//   program-under-load FOLDER PORT burst COUNT
//       Waits for COUNT rows in the peer list after the start-up
//       announcement (the players who answered it, and the program itself,
//       which hears its own broadcast), then
//       opens the connect dialog, presses "リスト更新" and blocks the window
//       at once with the computer's pause and four placing animations.
//       Prints "LISTED <start> <after refresh> <list box> <blocked ms>";
//       exit status 0 when all three are COUNT.
//   program-under-load FOLDER PORT flood SECONDS
//       Says Yes to the first request, then for SECONDS prints once a second
//       "SAMPLE <s> <rss kB> <pss kB> <queued> <dropped> <peers> <chat lines>
//       <boxes open>" while a flood comes in; leaves any later box open, as
//       a player away from the screen would.
#include "net/program.h" // before Qt: the pending table has a member named like Qt's "slots"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/main_dialog.h"
#include "net/control_ids.h"
#include "settings/dialog_ids.h"
#include "settings/qt/connect_window.h"

namespace kestrel {
namespace {

// Rss and Pss of this process in kB.
std::pair<long, long> memory()
{
    std::ifstream rollup("/proc/self/smaps_rollup");
    std::string line;
    long rss = 0, pss = 0;
    while (std::getline(rollup, line)) {
        if (line.rfind("Rss:", 0) == 0)
            rss = std::atol(line.c_str() + 4);
        else if (line.rfind("Pss:", 0) == 0)
            pss = std::atol(line.c_str() + 4);
    }
    return {rss, pss};
}

std::vector<QMessageBox*> openBoxes()
{
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible())
            boxes.push_back(box);
    return boxes;
}

void processEventsFor(int ms, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

[[noreturn]] void finish(int status)
{
    std::fflush(stdout);
    std::_Exit(status);
}

int burst(MainDialog& main, int count)
{
    Program& program = main.program();
    processEventsFor(20000, [&] { return program.peers.count >= count; });
    const int atStart = program.peers.count;

    // Inside the connect dialog, once it is on screen.
    auto* poll = new QTimer(&main.window());
    QObject::connect(poll, &QTimer::timeout, [&main, poll, count, atStart] {
        auto* dialog = static_cast<ConnectWindow*>(main.dialogs().openDialog());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        poll->stop();
        auto* list = qobject_cast<QListWidget*>(dialog->control(dlg::kPeerList));
        qobject_cast<QAbstractButton*>(dialog->control(dlg::kRefresh))->click();
        // The window is blocked while the answers come: the computer's
        // pause, then the placing animations of the starting position.
        QElapsedTimer blocked;
        blocked.start();
        main.view().pause(1000);
        for (int cell : {27, 28, 35, 36})
            main.view().showCell(cell, 1 + cell % 2);
        const qint64 blockedMs = blocked.elapsed();
        processEventsFor(20000, [&] { return list->count() >= count; });
        const int listed = main.program().peers.count;
        std::printf("LISTED %d %d %d %lld\n", atStart, listed, list->count(),
                    static_cast<long long>(blockedMs));
        finish(atStart == count && listed == count && list->count() == count ? 0 : 1);
    });
    poll->start(20);
    main.window().onCommand(ids::kMenuConnect);
    return 1; // the dialog ended without the check
}

int flood(MainDialog& main, int seconds)
{
    Program& program = main.program();
    bool answered = false;
    auto* yes = new QTimer(&main.window());
    QObject::connect(yes, &QTimer::timeout, [&answered, yes] {
        for (QMessageBox* box : openBoxes()) {
            if (!answered && box->text().contains(QString::fromUtf8("申し込み"))) {
                answered = true;
                yes->stop();
                box->button(QMessageBox::Yes)->click();
                return;
            }
        }
    });
    yes->start(10);

    auto* log = qobject_cast<QPlainTextEdit*>(main.window().control(ids::kChatLog));
    auto* sample = new QTimer(&main.window());
    int second = 0;
    QObject::connect(sample, &QTimer::timeout, [&, sample] {
        const auto [rss, pss] = memory();
        std::printf("SAMPLE %d %ld %ld %zu %llu %d %d %zu\n", second, rss, pss, main.socket().queue().size(),
                    static_cast<unsigned long long>(main.socket().queue().dropped()), program.peers.count,
                    log->document()->blockCount(), openBoxes().size());
        std::fflush(stdout);
        if (++second > seconds)
            finish(0);
    });
    sample->start(1000);
    return QCoreApplication::exec();
}

} // namespace
} // namespace kestrel

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: program-under-load FOLDER PORT burst COUNT | flood SECONDS\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int one = 1;
    QApplication app(one, argv);
    const std::string folder = argv[1];
    const int port = std::atoi(argv[2]);
    std::string file(72, '\0');
    file.replace(0, 4, "taro");
    file[64] = static_cast<char>(port & 0xFF);
    file[65] = static_cast<char>(port >> 8);
    std::ofstream(folder + "/lumenini.fil", std::ios::binary).write(file.data(), 72);

    kestrel::MainDialog main(folder + "/corvidae");
    if (!main.start("taro"))
        return 3;
    const std::string mode = argv[3];
    return mode == "burst" ? kestrel::burst(main, std::atoi(argv[4]))
                           : kestrel::flood(main, std::atoi(argv[4]));
}
