// The program's whole main window under a thousand players, for
// load_test.sh, which runs these in the program's network namespace with
// KESTREL_LOAD_PORT and KESTREL_LOAD_COUNT (burst) or KESTREL_LOAD_SECONDS
// (flood). Never run anywhere else.
#include "tests/support/running_program.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QPlainTextEdit>
#include <fstream>

#include "session/control_ids.h"
#include "session/dialogs/dialog_ids.h"
#include "tools/peer/peer_options.h"

namespace kestrel {
namespace {

using testing::waitFor;

int loadValue(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : 0;
}

// The window as it really blocks: the view's pauses sleep in full. `decide`
// answers the message boxes (NoButton leaves one open).
struct Loaded : testing::RunningProgram {
    explicit Loaded(testing::BoxAnswerer::Decide decide = {})
        : RunningProgram(static_cast<std::uint16_t>(loadValue("KESTREL_LOAD_PORT")), kAnyIpv4,
                         std::move(decide))
    {
        main->view().setPauseFunction([](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); });
        EXPECT_TRUE(main->start("taro"));
    }
};

bool readyToRun()
{
    if (loadValue("KESTREL_LOAD_PORT") == 0 || !peer::inSeparateNetworkNamespace()) {
        ADD_FAILURE() << "run by load_test.sh in a namespace of its own";
        return false;
    }
    return true;
}

// COUNT rows in the peer list after the start-up announcement (the players
// who answered it, and the program itself, which hears its own broadcast);
// then in the connect dialog "リスト更新", answered by all at once while the
// computer's pause and four placing animations block the window. Prints
// "LISTED <start> <after refresh> <list box> <blocked ms>".
TEST(WindowUnderLoad, EveryPlayerOfABurstIsListedAlsoWhileTheWindowIsBlocked)
{
    if (!readyToRun())
        return;
    const int count = loadValue("KESTREL_LOAD_COUNT");
    Loaded w;
    Program& program = w.program();
    waitFor([&] { return program.peers.count >= count; }, 20000);
    const int atStart = program.peers.count;
    w.inNextDialog([&](DialogWindow& dialog) {
        auto* list = qobject_cast<QListWidget*>(dialog.control(dlg::kPeerList));
        qobject_cast<QAbstractButton*>(dialog.control(dlg::kRefresh))->click();
        QElapsedTimer blocked;
        blocked.start();
        w.main->view().pause(1000);
        for (int cell : {27, 28, 35, 36})
            w.main->view().showCell(cell, 1 + cell % 2);
        const qint64 blockedMs = blocked.elapsed();
        waitFor([&] { return list->count() >= count; }, 20000);
        std::printf("LISTED %d %d %d %lld\n", atStart, program.peers.count, list->count(),
                    static_cast<long long>(blockedMs));
        EXPECT_EQ(atStart, count);
        EXPECT_EQ(program.peers.count, count);
        EXPECT_EQ(list->count(), count);
        dialog.reject();
    });
    w.clickMenu(ids::kMenuConnect);
}

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

// Says Yes to the first request, then for SECONDS prints once a second
// "SAMPLE <s> <rss kB> <pss kB> <queued> <dropped> <peers> <chat lines>
// <boxes open>" while a flood comes in; leaves any later box open, as a
// player away from the screen would. Ends the process from inside those
// boxes once the samples are taken.
TEST(WindowUnderLoad, MemoryIsSampledUnderAFlood)
{
    if (!readyToRun())
        return;
    const int seconds = loadValue("KESTREL_LOAD_SECONDS");
    bool answered = false;
    Loaded w([&](const QMessageBox& box) {
        if (answered || !box.text().contains(QString::fromUtf8("申し込み")))
            return QMessageBox::NoButton;
        answered = true;
        return QMessageBox::Yes;
    });
    auto* log = qobject_cast<QPlainTextEdit*>(w.control(ids::kChatLog));
    int second = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        const auto [rss, pss] = memory();
        qsizetype boxes = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            boxes += qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible();
        std::printf("SAMPLE %d %ld %ld %zu %llu %d %d %lld\n", second, rss, pss,
                    w.main->socket().queue().size(),
                    static_cast<unsigned long long>(w.main->socket().queue().dropped()),
                    w.program().peers.count, log->document()->blockCount(), static_cast<long long>(boxes));
        std::fflush(stdout);
        if (++second > seconds)
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    });
    sample.start(1000);
    waitFor([] { return false; }, (seconds + 30) * 1000);
    ADD_FAILURE() << "the samples were not taken";
}

} // namespace
} // namespace kestrel
