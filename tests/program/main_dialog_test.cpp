// The real window after a real start, with the socket on loopback only.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <functional>
#include <vector>

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

// Answers every message box that opens while it lives: records its caption
// and text, lets `onBox` look at it (and act, for example run the Exit
// command under the open box), then presses its default button. Each answer
// runs as an event of its own, so boxes that open inside it are answered too.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(QMessageBox*)> onBox = {}) : onBox_(std::move(onBox))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { findOpenBoxes(); });
        timer_.start(5);
    }
    QStringList captions;
    QStringList texts;

private:
    void findOpenBoxes()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr || !box->isVisible() || alreadySeen(box))
                continue;
            seen_.emplace_back(box);
            QMetaObject::invokeMethod(
                box, [this, box] { answer(box); }, Qt::QueuedConnection);
        }
    }
    void answer(QMessageBox* box)
    {
        captions << box->windowTitle();
        texts << box->text();
        if (onBox_)
            onBox_(box);
        box->done(0);
    }
    // A box that is gone leaves a null pointer, so a new box at its address counts as new.
    bool alreadySeen(QMessageBox* box) const
    {
        return std::any_of(seen_.begin(), seen_.end(),
                           [box](const QPointer<QMessageBox>& p) { return p == box; });
    }
    std::function<void(QMessageBox*)> onBox_;
    std::vector<QPointer<QMessageBox>> seen_;
    QTimer timer_;
};

// Runs the event loop until `done` holds, for at most five seconds.
template <typename Condition> bool waitFor(Condition done)
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

TEST(MainDialog, StartsInThePhaseWithoutAnOpponentAndHearsTheNetwork)
{
    testing::TempDir dir;
    const quint16 port = freeLoopbackPort();
    writeSettings(dir, port);
    MainDialog dialog(dir / "corvidae", QHostAddress(QHostAddress::LocalHost));
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
    BoxAnswerer answerer;
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
    testing::TempDir dir;
    writeSettings(dir, 0);
    MainDialog dialog(dir / "corvidae", QHostAddress(QHostAddress::LocalHost));
    int exits = 0;
    dialog.onExited = [&] { ++exits; };
    BoxAnswerer answerer([&](QMessageBox*) { dialog.exit(); });
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
