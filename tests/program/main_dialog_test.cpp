// The real window after a real start, with the socket on loopback only.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include "app/already_running.h"
#include "app/main_dialog.h"
#include "net/control_ids.h"
#include "support/temp_dir.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

// A port nobody holds on loopback right now.
quint16 freeLoopbackPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

// A settings file naming "taro" on `port`, beside the executable.
void writeSettings(const testing::TempDir& dir, quint16 port)
{
    std::string file(72, '\0');
    file.replace(0, 4, "taro");
    file[64] = static_cast<char>(port & 0xFF);
    file[65] = static_cast<char>(port >> 8);
    testing::writeBytes(dir / "lumenini.fil", file);
}

// Runs the event loop until `done` holds, for at most five seconds.
template <typename Condition>
bool waitFor(Condition done)
{
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(10);
    return done();
}

bool enabled(MainDialog& dialog, int id)
{
    if (QAction* item = dialog.window().menuItem(id))
        return item->isEnabled();
    return dialog.window().control(id)->isEnabled();
}

TEST(AlreadyRunning, NamesTheExecutableInAWarningBox)
{
    QMessageBox* seen = nullptr;
    QString caption, text;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                seen = box;
                caption = box->windowTitle();
                text = box->text();
                EXPECT_EQ(box->icon(), QMessageBox::Warning);
                EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                box->accept();
            }
    });
    showAlreadyRunning("/opt/games/corvidae");
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(caption, QString::fromUtf8("二重起動"));
    EXPECT_EQ(text, QString::fromUtf8("corvidae\nこのプログラムは既に起動しています"));
}

TEST(MainDialog, StartsInThePhaseWithoutAnOpponentAndHearsTheNetwork)
{
    testing::TempDir dir;
    const quint16 port = freeLoopbackPort();
    writeSettings(dir, port);
    MainDialog dialog(dir / "corvidae", QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(dialog.start("root"));
    Program& program = dialog.program();
    EXPECT_EQ(program.settings.playerName, "taro");
    EXPECT_EQ(program.match.broadcastAddress, "127.255.255.255");
    EXPECT_TRUE(dialog.window().isVisible());

    for (int id : {ids::kMenuExit, ids::kMenuConnect, ids::kMenuSettings, ids::kMenuHelp, ids::kMenuAbout})
        EXPECT_TRUE(enabled(dialog, id)) << id;
    EXPECT_FALSE(enabled(dialog, ids::kMenuDisconnect));
    for (int id : {ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide, ids::kGameStart, ids::kGameEnd})
        EXPECT_FALSE(enabled(dialog, id)) << id;
    EXPECT_TRUE(dialog.window().isChecked(ids::kFirstBlack));
    EXPECT_FALSE(dialog.window().isChecked(ids::kSecondWhite));
    EXPECT_EQ(dialog.window().text(ids::kBlackCount), "0");
    EXPECT_EQ(dialog.window().text(ids::kWhiteCount), "0");
    for (int id : {ids::kStatus, ids::kOpponentLine, ids::kBlackName, ids::kWhiteName, ids::kChatLog, ids::kChatInput})
        EXPECT_EQ(dialog.window().text(id), "") << id;
    for (int k = 0; k < kCellCount; ++k)
        EXPECT_EQ(dialog.view().pictureAt(k), Picture::Empty) << k;

    dialog.window().activateWindow();
    EXPECT_TRUE(waitFor([&] { return QApplication::focusWidget() == dialog.window().control(ids::kChatInput); }));

    // An announcement from loopback reaches the receive path and lists its sender.
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress::LocalHost, 0));
    other.writeDatagram(QByteArray("5|1|jiro$1"), QHostAddress::LocalHost, port);
    ASSERT_TRUE(waitFor([&] { return program.peers.count == 1; }));
    EXPECT_EQ(program.peers.rows[0].address, "127.0.0.1");

    dialog.exit();
    EXPECT_TRUE(dialog.exited());
    EXPECT_FALSE(dialog.window().isVisible());
}

TEST(MainDialog, PortInUseEndsTheStartWithTheBox)
{
    testing::TempDir dir;
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0));
    writeSettings(dir, holder.localPort());
    MainDialog dialog(dir / "corvidae", QHostAddress(QHostAddress::LocalHost));

    QString shown;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                shown = box->text();
                box->accept();
            }
    });
    EXPECT_FALSE(dialog.start("root"));
    EXPECT_TRUE(shown.startsWith(QString::fromUtf8("ポート番号%1番は使えません").arg(holder.localPort()))) << shown.toStdString();
    EXPECT_TRUE(dialog.exited());
    EXPECT_EQ(dialog.program().match.socketFailed, 1);
}

}  // namespace
}  // namespace kestrel
