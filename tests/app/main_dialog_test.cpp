// The real window after a real start, with the socket on loopback only.

#include "tests/support/running_program.h"

#include <QAction>

#include "session/control_ids.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

using testing::BoxAnswerer;
using testing::RunningProgram;
using testing::waitFor;

bool enabled(MainDialog& dialog, int id)
{
    if (QAction* item = dialog.window().menuItem(id))
        return item->isEnabled();
    return dialog.window().control(id)->isEnabled();
}

TEST(MainDialog, StartsInThePhaseWithoutAnOpponentAndHearsTheNetwork)
{
    RunningProgram running(testing::freeLoopbackPort(), testing::kLoopback);
    MainDialog& dialog = *running.main;
    // Every state the start must set is first put the other way round.
    for (int id : {ids::kMenuDisconnect, ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide,
                   ids::kGameStart, ids::kGameEnd})
        dialog.window().enable(id, true);
    for (int id : {ids::kMenuExit, ids::kMenuConnect, ids::kMenuSettings, ids::kMenuHelp, ids::kMenuAbout})
        dialog.window().enable(id, false);
    dialog.window().setChecked(ids::kFirstBlack, false);
    dialog.window().setChecked(ids::kSecondWhite, true);
    dialog.window().setText(ids::kBlackCount, "7");
    dialog.window().setText(ids::kWhiteCount, "7");
    ASSERT_TRUE(dialog.start("root"));
    Program& program = dialog.program();
    EXPECT_EQ(program.settings.playerName, "taro");
    EXPECT_EQ(program.match.broadcastAddress, "127.255.255.255");
    EXPECT_TRUE(dialog.window().isVisible());

    for (int id : {ids::kMenuExit, ids::kMenuConnect, ids::kMenuSettings, ids::kMenuHelp, ids::kMenuAbout})
        EXPECT_TRUE(enabled(dialog, id)) << id;
    EXPECT_FALSE(enabled(dialog, ids::kMenuDisconnect));
    for (int id :
         {ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide, ids::kGameStart, ids::kGameEnd})
        EXPECT_FALSE(enabled(dialog, id)) << id;
    EXPECT_TRUE(dialog.window().isChecked(ids::kFirstBlack));
    EXPECT_FALSE(dialog.window().isChecked(ids::kSecondWhite));
    EXPECT_EQ(dialog.window().text(ids::kBlackCount), "0");
    EXPECT_EQ(dialog.window().text(ids::kWhiteCount), "0");
    for (int id :
         {ids::kStatus, ids::kOpponentLine, ids::kBlackName, ids::kWhiteName, ids::kChatLog, ids::kChatInput})
        EXPECT_EQ(dialog.window().text(id), "") << id;
    for (int k = 0; k < kCellCount; ++k)
        EXPECT_EQ(dialog.view().pictureAt(k), Picture::Empty) << k;

    dialog.window().activateWindow();
    EXPECT_TRUE(
        waitFor([&] { return QApplication::focusWidget() == dialog.window().control(ids::kChatInput); }));

    // An announcement from loopback reaches the receive path and lists its sender.
    testing::LoopbackUdp other;
    ASSERT_TRUE(other.bind(testing::kLoopback, 0));
    other.sendTo(testing::kLoopback, running.port, "5|1|jiro$1");
    ASSERT_TRUE(waitFor([&] { return program.peers.count == 1; }));
    EXPECT_EQ(program.peers.rows[0].address, "127.0.0.1");

    dialog.exit();
    EXPECT_TRUE(dialog.exited());
    EXPECT_FALSE(dialog.window().isVisible());
}

TEST(MainDialog, PortInUseEndsTheStartWithTheBox)
{
    testing::LoopbackUdp holder;
    ASSERT_TRUE(holder.bind(testing::kLoopback, 0));
    RunningProgram running(holder.localPort(), testing::kLoopback);
    MainDialog& dialog = *running.main;
    BoxAnswerer& answerer = running.boxes;
    // After the box the settings dialog opens for another port; the player cancels it.
    bool settingsOpened = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (DialogWindow* open = dialog.dialogs().openDialog(); open != nullptr && open->isVisible()) {
            settingsOpened = open->windowTitle() == QString::fromUtf8("設定");
            open->reject();
        }
    });
    closer.start(5);
    EXPECT_FALSE(dialog.start("root"));
    EXPECT_TRUE(settingsOpened);
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.captions[0], QString::fromUtf8("エラー"));
    EXPECT_EQ(
        answerer.texts[0],
        QString::fromUtf8("ポート番号%1番は使えません\n番号を変更してからプログラムを再起動してください")
            .arg(holder.localPort()));
    EXPECT_TRUE(dialog.exited());
    EXPECT_FALSE(dialog.window().isVisible());
    EXPECT_EQ(dialog.program().match.socketFailed, 1);
}

TEST(MainDialog, ExitUnderAnErrorBoxOfTheStartEndsTheStart)
{
    // Port 0: the socket opens on some free port, but every send to port 0
    // fails, so the first announcement opens an error box. A termination
    // signal arriving meanwhile runs the Exit command.
    int exits = 0;
    RunningProgram running(0, testing::kLoopback, [&](const QMessageBox&) {
        running.main->exit();
        return QMessageBox::Ok;
    });
    MainDialog& dialog = *running.main;
    dialog.onExited = [&] { ++exits; };
    BoxAnswerer& answerer = running.boxes;
    EXPECT_FALSE(dialog.start("root"));
    EXPECT_TRUE(dialog.exited());
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(dialog.window().isVisible());
    ASSERT_GE(answerer.texts.size(), 1);
    EXPECT_TRUE(answerer.texts[0].startsWith(QString::fromUtf8("相手への送信失敗 : ")))
        << answerer.texts[0].toStdString();
}

} // namespace
} // namespace kestrel
