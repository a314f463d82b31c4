// The real main window with its real dialogs, offscreen, the socket on
// loopback only, driven by mouse clicks and keys: whole games against the
// computer, the connect dialog under a request accepted meanwhile, one
// dialog at a time, and the end of the program while a dialog is open.
#include "tests/support/running_program.h"

#include <QAction>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest/qtestspontaneevent.h>
#include <csignal>
#include <filesystem>

#include "app/signal_exit.h"
#include "engine/board.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/dialogs/dialog_ids.h"
#include "tests/support/game_driver.h"
#include "text/cp932.h"
#include "ui/dialogs/about_window.h"

namespace kestrel {
namespace {

using testing::click;
using testing::waitFor;

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// A key for the widget that has the focus in `window`.
void key(QWidget* window, Qt::Key k)
{
    QTest::keyClick(window->focusWidget() != nullptr ? window->focusWidget() : window, k);
    QCoreApplication::processEvents(); // a command or a press on the board runs from the event loop
}

// On a loopback port of its own, logged in as root.
struct Running : testing::RunningProgram {
    Running() : RunningProgram(testing::freeLoopbackPort(), testing::kLoopback)
    {
        EXPECT_TRUE(main->start("root"));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }
};

enum class Phase { Unconnected, ChoosingOrder, OrderDecided, Playing };

// Which controls can be used in each phase against the computer, written
// down from the table of control states; Exit, Help and About always can.
void expectPhase(Running& r, Phase phase, const char* where)
{
    SCOPED_TRACE(where);
    const bool opponent = phase != Phase::Unconnected;
    const std::pair<int, bool> states[] = {
        {ids::kMenuExit, true},
        {ids::kMenuHelp, true},
        {ids::kMenuAbout, true},
        {ids::kMenuConnect, !opponent},
        {ids::kMenuSettings, !opponent},
        {ids::kMenuDisconnect, opponent},
        {ids::kSend, false}, // never against the computer
        {ids::kFirstBlack, phase == Phase::ChoosingOrder},
        {ids::kSecondWhite, phase == Phase::ChoosingOrder},
        {ids::kDecide, phase == Phase::ChoosingOrder},
        {ids::kGameStart, phase == Phase::OrderDecided},
        {ids::kGameEnd, phase == Phase::Playing},
    };
    for (auto [id, enabled] : states) {
        QAction* item = r.window().menuItem(id);
        EXPECT_EQ(item != nullptr ? item->isEnabled() : r.control(id)->isEnabled(), enabled) << id;
    }
    EXPECT_EQ(r.window().text(ids::kOpponentLine), opponent ? SJ("コンピュータ") : "");
    if (phase == Phase::ChoosingOrder) {
        EXPECT_TRUE(r.window().isChecked(ids::kFirstBlack));
        EXPECT_EQ(r.window().text(ids::kBlackCount) + r.window().text(ids::kWhiteCount), "22");
        EXPECT_EQ(r.window().text(ids::kBlackName), "");
    }
}

// The arrow keys that lead the keyboard mark from one cell to another.
std::vector<Qt::Key> arrowsBetween(int from, int to)
{
    std::vector<Qt::Key> keys;
    for (int r = from / 8; r != to / 8; r += r < to / 8 ? 1 : -1)
        keys.push_back(r < to / 8 ? Qt::Key_Down : Qt::Key_Up);
    for (int c = from % 8; c != to % 8; c += c < to % 8 ? 1 : -1)
        keys.push_back(c < to % 8 ? Qt::Key_Right : Qt::Key_Left);
    return keys;
}

// One game against the computer from the order box to its result, on the
// first legal cell each turn: every command and move by mouse clicks, or by
// keys alone (Tab from the chat input to the one button that can be pressed
// and Enter; on the board, arrows and Enter). Then the same moves on the
// engine alone must reach the same board with as many of the computer's
// one-second pauses.
void playOneGame(Running& r, Side side, bool byKeys)
{
    SCOPED_TRACE(byKeys ? "by keys" : side == kBlack ? "by clicks as black" : "by clicks as white");
    Program& p = r.program();
    auto command = [&](int id) {
        if (!byKeys)
            return click(r.control(id));
        key(&r.window(), Qt::Key_Tab);
        EXPECT_EQ(r.window().focusWidget(), r.control(id));
        key(&r.window(), Qt::Key_Return);
    };
    QElapsedTimer clock;
    clock.start();
    r.pauses.clear();
    if (side == kWhite)
        click(r.control(ids::kSecondWhite));
    command(ids::kDecide);
    if (side == kBlack) {
        expectPhase(r, Phase::OrderDecided, "black decided");
        EXPECT_EQ(r.window().text(ids::kStatus), SJ("ゲーム開始ボタンを押して下さい"));
        EXPECT_EQ(r.window().text(ids::kBlackName), "taro");
        EXPECT_EQ(r.window().text(ids::kWhiteName), SJ("コンピュータ"));
        command(ids::kGameStart);
    } else {
        EXPECT_EQ(r.window().text(ids::kBlackName), SJ("コンピュータ"));
        EXPECT_EQ(r.window().text(ids::kWhiteName), "taro");
        EXPECT_EQ(r.window().text(ids::kBlackCount) + r.window().text(ids::kWhiteCount), "41")
            << "the computer opened";
        EXPECT_EQ(r.window().text(ids::kStatus), SJ("自分の番です　コマを置いて下さい"));
    }
    expectPhase(r, Phase::Playing, "game started");
    if (byKeys) { // over ゲーム終了 onto the board
        key(&r.window(), Qt::Key_Tab);
        key(&r.window(), Qt::Key_Tab);
        ASSERT_EQ(r.window().focusWidget(), r.main->view().cellLabel(BoardKeys::kFirstMarked));
    }

    std::vector<int> played;
    while (p.match.myTurn == 1 && played.size() < 64) {
        MatchState copy = p.match;
        const std::vector<int> legal = testing::legalCells(copy, side);
        ASSERT_FALSE(legal.empty());
        played.push_back(legal.front());
        if (!byKeys) {
            r.clickCell(legal.front());
            continue;
        }
        for (Qt::Key k : arrowsBetween(r.main->view().keys().marked(), legal.front()))
            key(&r.window(), k);
        ASSERT_EQ(r.window().focusWidget(), r.main->view().cellLabel(legal.front())) << played.size();
        key(&r.window(), Qt::Key_Return);
    }
    const MatchState& m = p.match;
    EXPECT_EQ(m.myTurn, 0) << "the game is over";
    const GameResult result = resultOf(m.blackCount, m.whiteCount);
    EXPECT_EQ(r.window().text(ids::kStatus), resultText(result));
    EXPECT_EQ(r.window().text(ids::kBlackCount), std::to_string(m.blackCount));
    EXPECT_EQ(r.window().text(ids::kWhiteCount), std::to_string(m.whiteCount));
    const bool lost = result == (side == kBlack ? GameResult::WhiteWins : GameResult::BlackWins);
    EXPECT_EQ(r.sounds.back(), lost ? Sound::Lose : Sound::Win);
    expectPhase(r, Phase::Playing, "game over");

    testing::Table alone;
    alone.startComputerGame(side);
    for (int k : played)
        alone.click(k);
    EXPECT_EQ(m.board, alone.match.board);
    const auto seconds = std::count(r.pauses.begin(), r.pauses.end(), 1000);
    EXPECT_GT(seconds, 0);
    EXPECT_EQ(seconds,
              std::count_if(alone.view.calls.begin(), alone.view.calls.end(),
                            [](const testing::ViewCall& c) { return c.op == "pause" && c.a == 1000; }));
    std::printf("a game %s: %zu moves, %d to %d, %lld ms\n", byKeys ? "by keys" : "by clicks", played.size(),
                m.blackCount, m.whiteCount, static_cast<long long>(clock.elapsed()));
}

TEST(DialogsWindow, WholeGamesAgainstTheComputerByClicksAsBlackAndWhiteThenByKeys)
{
    Running r;
    int sent = 0;
    expectPhase(r, Phase::Unconnected, "after the start");
    r.inNextDialog([](DialogWindow& w) { click(w.control(dlg::kComputer)); });
    r.clickMenu(ids::kMenuConnect);
    expectPhase(r, Phase::ChoosingOrder, "computer chosen");
    EXPECT_EQ(r.window().text(ids::kStatus), SJ("先攻・後攻を決定して下さい"));
    r.main->socket().onSent = [&](Ipv4, std::string_view) { ++sent; };

    for (Side side : {kBlack, kWhite}) {
        playOneGame(r, side, false);
        click(r.control(ids::kGameEnd));
        expectPhase(r, Phase::ChoosingOrder, "game ended");
        EXPECT_EQ(r.window().text(ids::kStatus),
                  SJ("ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
    }
    r.clickMenu(ids::kMenuDisconnect);
    expectPhase(r, Phase::Unconnected, "disconnected");
    EXPECT_EQ(sent, 0) << "nothing goes to the network against the computer";

    // By keys alone: 接続 from the menu bar (Alt, one to the right, Enter);
    // in the dialog the focus is in the list of players, Tab leads to
    // リスト更新 and Right on to the computer's button. Pass notices, if
    // any, are closed with Enter too.
    r.boxes.byKeys = true;
    QApplication::setActiveWindow(&r.window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&r.window()));
    r.inNextDialog([](DialogWindow& w) {
        key(&w, Qt::Key_Tab);
        key(&w, Qt::Key_Right);
        EXPECT_EQ(w.focusWidget(), w.control(dlg::kComputer));
        key(&w, Qt::Key_Return);
    });
    for (Qt::Key k : {Qt::Key_Alt, Qt::Key_Right, Qt::Key_Return})
        key(&r.window(), k);
    expectPhase(r, Phase::ChoosingOrder, "computer chosen by keys");
    // The window manager gives the main window the keyboard back as the dialog closes.
    QApplication::setActiveWindow(&r.window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&r.window()));
    playOneGame(r, kBlack, true);

    // Notices of passes, if any, were the program's own.
    for (const QString& caption : r.boxes.captions)
        EXPECT_EQ(caption, u("情報"));
    r.clickMenu(ids::kMenuExit);
    EXPECT_TRUE(r.main->exited());
}

TEST(DialogsWindow, ConnectDialogUnderARequestAcceptedMeanwhile)
{
    Running r;
    // Another player on 127.0.0.2, on the same port as every copy of the program.
    testing::LoopbackUdp peer;
    ASSERT_TRUE(peer.bind(testing::kLoopback + 1, r.port)); // 127.0.0.2
    auto say = [&](const char* text) { peer.sendTo(testing::kLoopback, r.port, text); };
    say("1|1|hanako$0");
    ASSERT_TRUE(waitFor([&] { return r.program().peers.count == 1; }));

    bool checked = false;
    r.inNextDialog([&](DialogWindow& w) {
        auto* list = qobject_cast<QListWidget*>(w.control(dlg::kPeerList));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), u("hanako"));
        EXPECT_EQ(w.text(dlg::kPortLabel), std::to_string(r.port));

        // "リスト更新" empties the list; the answers fill it again.
        click(w.control(dlg::kRefresh));
        EXPECT_EQ(list->count(), 0);
        say("3|2|hanako$0");
        ASSERT_TRUE(waitFor([&] { return list->count() == 1; }));

        // hanako's request is accepted meanwhile, as its handler does it.
        QTimer::singleShot(0, &r.window(), [&] {
            MatchState& m = r.program().match;
            m.connected = 1;
            m.opponentName = "hanako";
            m.peerAddress = "127.0.0.2";
            resetForNewGame(r.program());
        });
        ASSERT_TRUE(waitFor([&] { return r.program().match.connected == 1; }));
        list->setCurrentRow(0);
        click(w.control(dlg::kOk));
        ASSERT_TRUE(waitFor([&] { return r.boxes.texts.size() == 1; }));
        EXPECT_EQ(r.boxes.texts[0], u("すでに接続をしています"));
        EXPECT_TRUE(w.isVisible());
        checked = true;
        click(w.control(dlg::kCancel));
    });
    r.clickMenu(ids::kMenuConnect);
    EXPECT_TRUE(checked);
    // The connection the request made stays, and the window is in its phase.
    const MatchState& m = r.program().match;
    EXPECT_EQ(m.opponentName + " " + m.peerAddress + " " + std::to_string(m.connected), "hanako 127.0.0.2 1");
    EXPECT_EQ(r.program().openConnectDialog, nullptr);
    EXPECT_TRUE(r.control(ids::kSend)->isEnabled() && r.control(ids::kDecide)->isEnabled());
    EXPECT_FALSE(r.window().menuItem(ids::kMenuConnect)->isEnabled());
    r.main->exit();
}

// The ids of a dialog's controls in the order Tab visits them.
std::vector<int> tabOrder(QWidget* dialog)
{
    std::vector<int> ids;
    for (QWidget* w = dialog->nextInFocusChain(); w != dialog; w = w->nextInFocusChain()) {
        bool numbered = false;
        const int id = w->objectName().toInt(&numbered);
        if (numbered && (w->focusPolicy() & Qt::TabFocus))
            ids.push_back(id);
    }
    return ids;
}

// What Enter, Escape and the close box do in each dialog, and how it is laid out.
TEST(DialogsWindow, EnterIsOkEscapeNothingCloseBoxCancel)
{
    struct Case {
        int menu;
        const char* caption;
        QSize size; // in pixels, from the dialog units of the resource tables
        std::vector<std::pair<int, QRect>> places;
        std::vector<int> tabs; // template order
        bool enterCloses;
    } cases[] = {
        {ids::kMenuConnect,
         "接続（相手を決める）",
         {271, 181},
         {{dlg::kOk, {203, 126, 66, 21}},
          {dlg::kComputer, {3, 156, 266, 24}},
          {dlg::kPeerList, {3, 3, 192, 144}}},
         {1065, 1066, 1075, 1078, 1095},
         false},
        {ids::kMenuSettings,
         "設定",
         {320, 337},
         {{dlg::kNameBox, {84, 30, 220, 18}},
          {dlg::kAddressList, {189, 180, 119, 126}},
          {dlg::kOk, {196, 315, 56, 21}}},
         {1065, 1066, 1071, 1072, 1073, 1074, 1068, 1069, 1070, 1080, 1092},
         true},
        {ids::kMenuHelp,
         "説明",
         {369, 280},
         {{dlg::kHelpText, {3, 3, 360, 246}}, {dlg::kOk, {280, 255, 87, 21}}},
         {1065, 1093},
         true},
        {ids::kMenuAbout,
         "情報",
         {327, 76},
         {{dlg::kMailButton, {3, 36, 269, 39}}, {dlg::kOk, {276, 36, 49, 39}}},
         {1065, 1094},
         true},
    };
    Running r;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        for (bool enter : {true, false}) {
            r.program().match.dialogAccepted = 5;
            bool stillOpenAfterEscape = false;
            r.inNextDialog([&](DialogWindow& w) {
                EXPECT_EQ(w.windowTitle(), u(c.caption));
                EXPECT_EQ(w.size(), c.size);
                for (const auto& [id, rect] : c.places)
                    EXPECT_EQ(w.control(id)->geometry(), rect) << id;
                EXPECT_EQ(tabOrder(&w), c.tabs);
                EXPECT_EQ(w.font().family(), dialogFont().family());
                EXPECT_FALSE(w.windowIcon().isNull());
                key(&w, Qt::Key_Escape);
                QTest::qWait(10);
                stillOpenAfterEscape = w.isVisible();
                if (!enter) { // the close box: a close request from the window system
                    QCloseEvent closeBox;
                    QSpontaneKeyEvent::setSpontaneous(&closeBox);
                    QApplication::instance()->notify(&w, &closeBox);
                    return;
                }
                if (c.menu == ids::kMenuSettings)
                    w.setText(dlg::kPortBox, "20000"); // the test's own port is no player's port
                key(&w, Qt::Key_Return);
                QTest::qWait(20);
                if (w.isVisible())
                    w.reject();
            });
            const qsizetype boxesBefore = r.boxes.texts.size();
            r.clickMenu(c.menu);
            EXPECT_TRUE(stillOpenAfterEscape) << enter;
            EXPECT_EQ(r.main->dialogs().openDialog(), nullptr) << enter;
            if (c.menu == ids::kMenuConnect && enter) {
                ASSERT_EQ(r.boxes.texts.size(), boxesBefore + 1);
                EXPECT_EQ(r.boxes.texts.back(), u("リストから選択して下さい"));
            }
            if (c.menu == ids::kMenuConnect || c.menu == ids::kMenuSettings) {
                EXPECT_EQ(r.program().match.dialogAccepted, enter && c.enterCloses ? 1 : 0) << enter;
            }
        }
    }
    // Enter in the settings dialog was OK: the files were written.
    EXPECT_EQ(testing::readBytes(r.dir / "lumenini.fil"),
              "taro" + std::string(60, '\0') + std::string("\x20\x4E\0\0\0\0\0\0", 8));
    EXPECT_EQ(testing::readBytes(r.dir / "lumenip.fil"), "");
}

TEST(DialogsWindow, OneDialogAtATimeAndTheWindowKeepsWorking)
{
    Running r;
    std::vector<std::string> links;
    bool mailerStarts = false;
    r.main->dialogs().openLink = [&](const std::string& link) {
        links.push_back(link);
        return mailerStarts;
    };
    r.inNextDialog([](DialogWindow& w) { click(w.control(dlg::kComputer)); });
    r.clickMenu(ids::kMenuConnect);

    bool checked = false;
    r.inNextDialog([&](DialogWindow& help) {
        EXPECT_TRUE(help.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        auto* text = qobject_cast<QPlainTextEdit*>(help.control(dlg::kHelpText));
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_GT(text->verticalScrollBar()->maximum(), 0) << "the text scrolls";
        // Choosing another dialog brings this one forward instead. (Should
        // one open after all, it is closed again so that the test fails
        // instead of waiting for ever.)
        QTimer::singleShot(1000, &help, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* about = qobject_cast<AboutWindow*>(w))
                    about->reject();
        });
        r.clickMenu(ids::kMenuAbout);
        EXPECT_EQ(r.main->dialogs().openDialog(), &help);
        // The main window takes clicks meanwhile.
        click(r.control(ids::kSecondWhite));
        EXPECT_TRUE(r.window().isChecked(ids::kSecondWhite));
        checked = true;
        click(help.control(dlg::kOk));
    });
    r.clickMenu(ids::kMenuHelp);
    EXPECT_TRUE(checked);

    // The mail button hands a lower-case link to the desktop and the dialog
    // closes; when no mail program starts, after the warning.
    for (bool starts : {false, true}) {
        mailerStarts = starts;
        r.inNextDialog([](DialogWindow& about) {
            QStringList labels;
            for (QLabel* label : about.findChildren<QLabel*>())
                labels << label->text();
            EXPECT_TRUE(labels.contains(u("ケストレルベイ  Ver 1.0"))) << labels.join(u'|').toStdString();
            EXPECT_EQ(about.text(dlg::kMailButton),
                      SJ("ご意見・ご要望はこのメールアドレスへ\r\n") + "KestrelBay-Feedback@example.jp");
            click(about.control(dlg::kMailButton));
        });
        r.clickMenu(ids::kMenuAbout);
        EXPECT_EQ(r.main->dialogs().openDialog(), nullptr);
    }
    EXPECT_EQ(links, std::vector<std::string>(2, "mailto:kestrelbay-feedback@example.jp"));
    EXPECT_EQ(r.boxes.texts, QStringList{u("メーラーを起動できませんでした")});
    r.main->exit();
}

TEST(DialogsWindow, TerminationSignalWhileTheSettingsDialogIsOpenEndsTheProgram)
{
    Running r;
    int exits = 0;
    bool closedByExit = false;
    QPointer<DialogWindow> seen;
    r.main->onExited = [&] {
        ++exits;
        closedByExit = seen && !seen->isVisible();
    };
    runOnTerminationSignal([&] { r.main->exit(); });
    r.inNextDialog([&](DialogWindow& w) {
        seen = &w;
        // Japanese may be typed into the name box, as into the chat input.
        for (QWidget* box : {w.control(dlg::kNameBox), r.control(ids::kChatInput)}) {
            EXPECT_TRUE(box->testAttribute(Qt::WA_InputMethodEnabled));
            EXPECT_FALSE(box->inputMethodHints() &
                         (Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhDigitsOnly));
        }
        EXPECT_EQ(QApplication::focusWidget(), w.control(dlg::kNameBox));
        w.setText(dlg::kPortBox, "21000");
        std::raise(SIGTERM);
        QTimer::singleShot(2000, &w, [&w] { w.reject(); }); // rather fail than wait for ever
    });
    r.clickMenu(ids::kMenuSettings);
    runOnTerminationSignal([] {});
    EXPECT_TRUE(r.main->exited());
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(closedByExit);
    EXPECT_TRUE(seen.isNull()) << "the dialog is gone";
    EXPECT_EQ(r.program().settings.port, r.port) << "ended as by Cancel";
    EXPECT_FALSE(std::filesystem::exists(r.dir / "lumenip.fil"));
    // No dialog opens after the end.
    bool opened = false;
    r.inNextDialog([&](DialogWindow& w) {
        opened = true;
        w.reject();
    });
    r.window().menuItem(ids::kMenuHelp)->trigger();
    QTest::qWait(20);
    EXPECT_FALSE(opened);
}

} // namespace
} // namespace kestrel
