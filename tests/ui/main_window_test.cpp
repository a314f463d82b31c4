// The real main window, offscreen: its controls, their states and places,
// the menu, keyboard handling and the Dialog interface (the boxes are in
// tests/app/message_boxes_test.cpp).
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>

#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/program.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"
#include "text/cp932.h"
#include "ui/board/board_view.h"
#include "ui/main_window.h"

namespace kestrel {
namespace {

using testing::FakeTimers;
using testing::FakeTransport;
using testing::FakeView;

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

struct Fixture {
    MainWindow window;
    FakeView view;
    FakeTransport transport;
    FakeTimers timers;
    Program program{view, window, transport, timers};

    Fixture() { applyInitialControlStates(program); }

    template <typename T = QWidget> T* get(int id)
    {
        auto* w = qobject_cast<T*>(window.control(id));
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }
    void show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

struct Control {
    int id;
    QRect dialogUnits;
};

// Every control of the window with an id, at its place in dialog units.
const Control kControls[] = {
    {ids::kChatLog, {168, 98, 126, 56}},    {ids::kChatInput, {168, 156, 100, 44}},
    {ids::kSend, {270, 156, 24, 42}},       {ids::kStatus, {4, 202, 292, 12}},
    {ids::kFirstBlack, {174, 10, 38, 12}},  {ids::kSecondWhite, {214, 10, 38, 12}},
    {ids::kDecide, {256, 8, 34, 14}},       {ids::kGameStart, {168, 28, 50, 14}},
    {ids::kGameEnd, {220, 28, 50, 14}},     {ids::kBlackSymbol, {168, 46, 19, 23}},
    {ids::kWhiteSymbol, {168, 72, 19, 23}}, {ids::kBlackCount, {192, 52, 16, 12}},
    {ids::kBlackName, {212, 52, 82, 12}},   {ids::kWhiteCount, {192, 76, 16, 12}},
    {ids::kWhiteName, {212, 76, 82, 12}},
};

TEST(MainWindow, ControlsAfterInitialisation)
{
    Fixture f;
    EXPECT_EQ(f.window.windowTitle(), u("ケストレルベイ"));

    const std::pair<int, const char*> buttons[] = {
        {ids::kSend, "送信"},          {ids::kDecide, "決定"},           {ids::kGameStart, "ゲーム開始"},
        {ids::kGameEnd, "ゲーム終了"}, {ids::kFirstBlack, "先攻（黒）"}, {ids::kSecondWhite, "後攻（白）"}};
    for (auto [id, text] : buttons) {
        auto* button = f.get<QAbstractButton>(id);
        EXPECT_EQ(button->text(), u(text));
        EXPECT_FALSE(button->isEnabled()) << id;
    }
    EXPECT_TRUE(f.get<QRadioButton>(ids::kFirstBlack)->isChecked());
    EXPECT_FALSE(f.get<QRadioButton>(ids::kSecondWhite)->isChecked());

    EXPECT_EQ(f.window.text(ids::kBlackCount), "0");
    EXPECT_EQ(f.window.text(ids::kWhiteCount), "0");
    for (int id : {ids::kStatus, ids::kBlackName, ids::kWhiteName, ids::kChatLog, ids::kChatInput})
        EXPECT_EQ(f.window.text(id), "") << id;
    EXPECT_TRUE(f.get<QPlainTextEdit>(ids::kChatLog)->isReadOnly());
    EXPECT_FALSE(f.get<QPlainTextEdit>(ids::kChatInput)->isReadOnly());
    for (int id : {ids::kChatLog, ids::kChatInput})
        EXPECT_EQ(f.get<QPlainTextEdit>(id)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    auto* group = f.window.client()->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), u("順番の決定"));

    // The menu bar: six commands, no submenus, Disconnect grayed.
    const std::tuple<int, const char*, bool> items[] = {
        {ids::kMenuExit, "終了", true},        {ids::kMenuConnect, "接続", true},
        {ids::kMenuDisconnect, "切断", false}, {ids::kMenuSettings, "設定", true},
        {ids::kMenuHelp, "説明", true},        {ids::kMenuAbout, "情報", true}};
    const QList<QAction*> actions = f.window.menuBar()->actions();
    ASSERT_EQ(actions.size(), 6);
    for (int i = 0; i < 6; ++i) {
        auto [id, text, on] = items[i];
        EXPECT_EQ(actions[i], f.window.menuItem(id)) << id;
        EXPECT_EQ(actions[i]->text(), u(text));
        EXPECT_EQ(actions[i]->isEnabled(), on) << id;
        EXPECT_EQ(actions[i]->menu(), nullptr) << id;
    }
}

TEST(MainWindow, FontIsTheDialogFontOrItsJapaneseStandIn)
{
    Fixture f;
    const QFont font = f.get(ids::kStatus)->font();
    ASSERT_FALSE(font.families().isEmpty());
    EXPECT_EQ(font.families().front(), u("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.pointSize(), 9);
    const QString used = QFontInfo(font).family();
    EXPECT_TRUE(used == u("ＭＳ Ｐゴシック") || used == QLatin1String("IPAPGothic")) << used.toStdString();
}

TEST(MainWindow, GeometryFollowsTheDialogUnits)
{
    Fixture f;
    f.window.show();
    EXPECT_EQ(f.window.client()->size(), QSize(kClientWidth, kClientHeight));
    EXPECT_EQ(fromDialogUnits(0, 0, 299, 227).size(), QSize(523, 340));
    EXPECT_EQ(f.window.client()->y(), f.window.menuBar()->height());
    // Fixed size, minimise box, no maximise box.
    EXPECT_EQ(f.window.minimumSize(), f.window.maximumSize());
    EXPECT_TRUE(f.window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f.window.windowFlags() & Qt::WindowMaximizeButtonHint);

    for (const Control& c : kControls) {
        QWidget* w = f.get(c.id);
        const QRect px = fromDialogUnits(c.dialogUnits.x(), c.dialogUnits.y(), c.dialogUnits.width(),
                                         c.dialogUnits.height());
        EXPECT_EQ(w->pos(), px.topLeft()) << c.id;
        // A picture control takes the size of its picture, as a bitmap static does.
        const bool picture = c.id == ids::kBlackSymbol || c.id == ids::kWhiteSymbol;
        EXPECT_EQ(w->size(), picture ? QSize(34, 34) : px.size()) << c.id;
        EXPECT_TRUE(f.window.client()->rect().contains(w->geometry())) << c.id;
    }
    EXPECT_EQ(f.get(ids::kStatus)->geometry(), QRect(7, 303, 511, 18));
    EXPECT_EQ(f.get(ids::kSend)->geometry(), QRect(472, 234, 42, 63));

    // No two controls overlap, and none reaches into the board (frame at 8, 23, 278 x 278).
    const QRect board(8, 0, 278, 301);
    for (const Control& a : kControls) {
        EXPECT_FALSE(f.get(a.id)->geometry().intersects(board)) << a.id;
        for (const Control& b : kControls)
            if (a.id < b.id) {
                EXPECT_FALSE(f.get(a.id)->geometry().intersects(f.get(b.id)->geometry()))
                    << a.id << " and " << b.id;
            }
    }
    // The group box frames the radio buttons and the decide button, and nothing else.
    const QRect group = f.window.client()->findChild<QGroupBox*>()->geometry();
    for (const Control& c : kControls) {
        const bool inside = c.id == ids::kFirstBlack || c.id == ids::kSecondWhite || c.id == ids::kDecide;
        EXPECT_EQ(group.contains(f.get(c.id)->geometry()), inside) << c.id;
        EXPECT_EQ(group.intersects(f.get(c.id)->geometry()), inside) << c.id;
    }
}

TEST(MainWindow, TextsFitTheirControls)
{
    Fixture f;
    for (int id : {ids::kFirstBlack, ids::kSecondWhite}) {
        auto* radio = f.get<QRadioButton>(id);
        const QStyle* style = radio->style();
        const int needed = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio) +
                           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio) +
                           radio->fontMetrics().horizontalAdvance(radio->text());
        EXPECT_LE(needed, radio->width()) << id;
    }
    for (int id : {ids::kSend, ids::kDecide, ids::kGameStart, ids::kGameEnd}) {
        auto* button = f.get<QPushButton>(id);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width()) << id;
    }
    auto* group = f.window.client()->findChild<QGroupBox*>();
    EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()) + 10, group->width());

    // The longest status text, and names of the longest kind, on one line.
    const std::pair<int, const char*> texts[] = {
        {ids::kStatus, "ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい"},
        {ids::kBlackName, "たろう＠会議室ＡＢＣ"},
        {ids::kBlackCount, "64"}};
    for (auto [id, text] : texts) {
        auto* label = f.get<QLabel>(id);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(u(text)), label->contentsRect().width()) << id;
        EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height()) << id;
    }
}

TEST(MainWindow, FocusStartsInTheChatInputAndTabFollowsTheOrder)
{
    Fixture f;
    f.show();
    EXPECT_EQ(QApplication::focusWidget(), f.get(ids::kChatInput));

    for (int id :
         {ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide, ids::kGameStart, ids::kGameEnd})
        f.window.enable(id, true);
    f.window.focus(ids::kChatLog);
    const int order[] = {ids::kChatInput, ids::kSend,    ids::kDecide,
                         ids::kGameStart, ids::kGameEnd, ids::kChatLog};
    for (int id : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), f.get(id)) << "expected " << id;
    }
    // Disabled controls are skipped.
    f.window.enable(ids::kSend, false);
    f.window.enable(ids::kGameStart, false);
    f.window.focus(ids::kChatInput);
    for (int id : {ids::kDecide, ids::kGameEnd}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), f.get(id)) << "expected " << id;
    }
    // Enter in the chat input is a line break, not a command.
    int commands = 0;
    f.window.onCommand = [&](int) { ++commands; };
    f.window.focus(ids::kChatInput);
    QTest::keyClicks(f.get(ids::kChatInput), "ab");
    QTest::keyClick(f.get(ids::kChatInput), Qt::Key_Return);
    QTest::keyClicks(f.get(ids::kChatInput), "c");
    QCoreApplication::processEvents(); // commands run from the event loop
    EXPECT_EQ(f.window.text(ids::kChatInput), "ab\r\nc");
    EXPECT_EQ(commands, 0);
    // On a button Enter presses it; in the chat log it does nothing.
    f.window.focus(ids::kDecide);
    QTest::keyClick(f.get(ids::kDecide), Qt::Key_Return);
    f.window.focus(ids::kChatLog);
    QTest::keyClick(f.get(ids::kChatLog), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(commands, 1);
}

TEST(MainWindow, EscapeNeverClosesAndTheCloseBoxAsksTheExitCommand)
{
    Fixture f;
    f.show();
    int closes = 0;
    f.window.onClose = [&] { ++closes; };
    QTest::keyClick(f.get(ids::kChatInput), Qt::Key_Escape);
    QTest::keyClick(&f.window, Qt::Key_Escape);
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_EQ(closes, 0);

    // The close box: a close request from the window system.
    QCloseEvent closeBox;
    QSpontaneKeyEvent::setSpontaneous(&closeBox);
    QApplication::instance()->notify(&f.window, &closeBox);
    EXPECT_FALSE(closeBox.isAccepted());
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_EQ(closes, 1);

    // Ending the event loop closes the window without asking again.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    guard.start(10000);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(f.window.isVisible());
    EXPECT_EQ(closes, 1);
}

TEST(MainWindow, CommandsAndBoardPressesReachTheirCallbacks)
{
    Fixture f;
    f.show();
    std::vector<int> commands;
    std::vector<QPoint> presses;
    f.window.onCommand = [&](int id) { commands.push_back(id); };
    f.window.onBoardPress = [&](int x, int y) { presses.emplace_back(x, y); };

    // A command runs from the event loop, after its trigger has returned.
    f.window.menuItem(ids::kMenuConnect)->trigger();
    EXPECT_TRUE(commands.empty());
    f.window.menuItem(ids::kMenuDisconnect)->trigger();     // grayed: nothing
    QTest::mouseClick(f.get(ids::kDecide), Qt::LeftButton); // disabled: nothing
    for (int id : {ids::kSend, ids::kDecide, ids::kGameStart, ids::kGameEnd}) {
        f.window.enable(id, true);
        QTest::mouseClick(f.get(id), Qt::LeftButton);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(commands, (std::vector<int>{ids::kMenuConnect, ids::kSend, ids::kDecide, ids::kGameStart,
                                          ids::kGameEnd}));

    // A press on the client area, and one on a picture that lets the mouse through,
    // both arrive in client coordinates; other buttons do not count.
    QTest::mousePress(f.window.client(), Qt::LeftButton, {}, QPoint(50, 60));
    auto* cell = new QLabel(f.window.client());
    cell->setAttribute(Qt::WA_TransparentForMouseEvents);
    cell->setGeometry(10, 25, 34, 34);
    cell->show();
    QTest::mousePress(f.window.windowHandle(), Qt::LeftButton, {},
                      f.window.client()->mapTo(&f.window, QPoint(13, 29)));
    QTest::mousePress(f.window.client(), Qt::RightButton, {}, QPoint(70, 80));
    QCoreApplication::processEvents();
    EXPECT_EQ(presses, (std::vector<QPoint>{{50, 60}, {13, 29}}));
}

TEST(MainWindow, DialogInterfaceSetsAndReadsControls)
{
    Fixture f;
    // Texts cross as Shift-JIS with "\r\n" line breaks.
    const std::string name = SJ("はなこ①～");
    f.window.setText(ids::kBlackName, name);
    EXPECT_EQ(f.get<QLabel>(ids::kBlackName)->text(), u("はなこ①～"));
    EXPECT_EQ(f.window.text(ids::kBlackName), name);

    // A name from the network is shown as it is, never as markup.
    f.window.setText(ids::kWhiteName, "<b>x</b>");
    EXPECT_EQ(f.get<QLabel>(ids::kWhiteName)->textFormat(), Qt::PlainText);
    EXPECT_EQ(f.window.text(ids::kWhiteName), "<b>x</b>");

    // Appending goes to the end, wherever the caret was.
    f.window.setText(ids::kChatLog, SJ("【たろう】\r\nこんにちは\r\n"));
    auto* log = f.get<QPlainTextEdit>(ids::kChatLog);
    QTextCursor start = log->textCursor();
    start.movePosition(QTextCursor::Start);
    log->setTextCursor(start);
    f.window.appendText(ids::kChatLog, SJ("【はなこ】\r\nよろしく\r\n"));
    EXPECT_EQ(log->toPlainText(), u("【たろう】\nこんにちは\n【はなこ】\nよろしく\n"));
    EXPECT_EQ(f.window.text(ids::kChatLog), SJ("【たろう】\r\nこんにちは\r\n【はなこ】\r\nよろしく\r\n"));
    // A flood of lines keeps the last ones: 999 lines and the empty one after them.
    for (int i = 0; i < 700; ++i)
        f.window.appendText(ids::kChatLog, SJ("【はなこ】\r\n") + std::to_string(i) + "\r\n");
    EXPECT_EQ(log->document()->blockCount(), kChatLogLines);
    EXPECT_TRUE(log->toPlainText().startsWith(u("200\n【はなこ】\n201\n")));
    EXPECT_TRUE(log->toPlainText().endsWith(u("【はなこ】\n699\n")));

    // Radio buttons are set one by one: both may be unchecked, and checking one
    // leaves the other as it was told.
    f.window.setChecked(ids::kFirstBlack, false);
    EXPECT_FALSE(f.window.isChecked(ids::kFirstBlack));
    EXPECT_FALSE(f.window.isChecked(ids::kSecondWhite));
    f.window.setChecked(ids::kSecondWhite, true);
    f.window.setChecked(ids::kFirstBlack, false);
    EXPECT_TRUE(f.window.isChecked(ids::kSecondWhite));
    f.window.setChecked(ids::kFirstBlack, true);
    f.window.setChecked(ids::kSecondWhite, false);
    EXPECT_TRUE(f.window.isChecked(ids::kFirstBlack));
    EXPECT_FALSE(f.window.isChecked(ids::kSecondWhite));
    // Clicked by the player, they still exclude one another.
    f.window.enable(ids::kFirstBlack, true);
    f.window.enable(ids::kSecondWhite, true);
    QTest::mouseClick(f.get(ids::kSecondWhite), Qt::LeftButton);
    EXPECT_TRUE(f.window.isChecked(ids::kSecondWhite));
    EXPECT_FALSE(f.window.isChecked(ids::kFirstBlack));

    // Menu items and controls alike, by id; unknown ids are ignored.
    f.window.enable(ids::kMenuSettings, false);
    EXPECT_FALSE(f.window.menuItem(ids::kMenuSettings)->isEnabled());
    f.window.enable(ids::kGameEnd, true);
    EXPECT_TRUE(f.get(ids::kGameEnd)->isEnabled());
    f.window.enable(1094, true);
    f.window.setText(1094, "x");
    EXPECT_EQ(f.window.text(1094), "");
    EXPECT_FALSE(f.window.isChecked(1094));
}

TEST(MainWindow, MinimisedWindowIsRestoredAndBroughtToFront)
{
    Fixture f;
    f.show();
    f.window.showMinimized();
    ASSERT_TRUE(f.window.isMinimized());
    f.window.restoreIfMinimised();
    EXPECT_FALSE(f.window.isMinimized());

    // Minimised behind another window: raised, restored and made active,
    // without staying on top.
    QWidget other;
    other.show();
    f.window.showMinimized();
    other.activateWindow();
    QDeadlineTimer deadline(5000);
    while (QApplication::activeWindow() != &other && !deadline.hasExpired())
        QTest::qWait(10);
    ASSERT_EQ(QApplication::activeWindow(), &other);
    f.window.bringToFront();
    EXPECT_FALSE(f.window.isMinimized());
    deadline.setRemainingTime(5000);
    while (QApplication::activeWindow() != &f.window && !deadline.hasExpired())
        QTest::qWait(10);
    EXPECT_EQ(QApplication::activeWindow(), &f.window);
    EXPECT_FALSE(f.window.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(MainWindow, EveryControlHasAMeaningfulAccessibleName)
{
    Fixture f;
    for (const Control& c : kControls) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f.get(c.id));
        ASSERT_NE(a, nullptr) << c.id;
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << c.id;
    }
    // Labels say what they show and what it is.
    auto name = [&](int id) {
        return QAccessible::queryAccessibleInterface(f.get(id))->text(QAccessible::Name);
    };
    EXPECT_EQ(name(ids::kBlackCount), u("黒の数：0"));
    f.window.setText(ids::kStatus, SJ("コマを置いて下さい"));
    EXPECT_EQ(name(ids::kStatus), u("状態：コマを置いて下さい"));
    EXPECT_EQ(name(ids::kChatInput), u("チャットの入力"));
    EXPECT_EQ(name(ids::kSend), u("送信"));
}

TEST(MainWindow, ResetsDriveTheRealControls)
{
    Fixture f;
    MatchState& m = f.program.match;
    m.connected = 1;
    m.opponentName = SJ("はなこ");
    m.peerAddress = "10.0.0.2";
    f.window.setText(ids::kChatLog, SJ("前の話\r\n"));
    f.window.setText(ids::kBlackName, "taro");

    resetForNewGame(f.program);
    for (int id : {ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide})
        EXPECT_TRUE(f.get(id)->isEnabled()) << id;
    for (int id : {ids::kGameStart, ids::kGameEnd})
        EXPECT_FALSE(f.get(id)->isEnabled()) << id;
    EXPECT_FALSE(f.window.menuItem(ids::kMenuConnect)->isEnabled());
    EXPECT_TRUE(f.window.menuItem(ids::kMenuDisconnect)->isEnabled());
    EXPECT_FALSE(f.window.menuItem(ids::kMenuSettings)->isEnabled());
    EXPECT_TRUE(f.window.isChecked(ids::kFirstBlack));
    EXPECT_EQ(f.window.text(ids::kChatLog), "");
    EXPECT_EQ(f.window.text(ids::kBlackName), "");

    f.window.setText(ids::kChatLog, SJ("【はなこ】\r\nまたね\r\n"));
    f.window.setChecked(ids::kSecondWhite, true);
    f.window.setChecked(ids::kFirstBlack, false);
    resetToUnconnected(f.program);
    for (int id :
         {ids::kSend, ids::kFirstBlack, ids::kSecondWhite, ids::kDecide, ids::kGameStart, ids::kGameEnd})
        EXPECT_FALSE(f.get(id)->isEnabled()) << id;
    for (int id : {ids::kMenuExit, ids::kMenuConnect, ids::kMenuSettings, ids::kMenuHelp, ids::kMenuAbout})
        EXPECT_TRUE(f.window.menuItem(id)->isEnabled()) << id;
    EXPECT_FALSE(f.window.menuItem(ids::kMenuDisconnect)->isEnabled());
    EXPECT_TRUE(f.window.isChecked(ids::kFirstBlack));
    EXPECT_FALSE(f.window.isChecked(ids::kSecondWhite));
    EXPECT_EQ(f.window.text(ids::kChatLog), SJ("【はなこ】\r\nまたね\r\n"));
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

TEST(MainWindow, HoldsTheBoardViewAndPassesClicksOnCells)
{
    MainWindow window;
    BoardView view(window.client());
    view.layoutBoard();

    // The board's controls sit in the client area, clear of every other control.
    const QRect frame = window.control(ids::kBoardFrame)->geometry();
    EXPECT_EQ(frame, QRect(8, 23, 278, 278));
    EXPECT_EQ(window.control(ids::kOpponentLine)->geometry(), QRect(8, 0, 278, 20));
    EXPECT_EQ(window.control(ids::kFirstCell + 63)->geometry(), QRect(248, 263, 34, 34));
    for (const Control& c : kControls) {
        EXPECT_FALSE(window.control(c.id)->geometry().intersects(frame)) << c.id;
        EXPECT_FALSE(
            window.control(c.id)->geometry().intersects(window.control(ids::kOpponentLine)->geometry()))
            << c.id;
    }
    // The symbols show the pieces whole.
    for (int id : {ids::kBlackSymbol, ids::kWhiteSymbol}) {
        auto* symbol = qobject_cast<QLabel*>(window.control(id));
        ASSERT_FALSE(symbol->pixmap().isNull()) << id;
        EXPECT_EQ(symbol->size(), symbol->pixmap().size()) << id;
    }

    // Counts and status the view writes are the window's controls.
    view.showCounts(12, 3);
    view.setStatus(SJ("コマを置いて下さい"));
    EXPECT_EQ(window.text(ids::kBlackCount), "12");
    EXPECT_EQ(window.text(ids::kWhiteCount), "3");
    EXPECT_EQ(window.text(ids::kStatus), SJ("コマを置いて下さい"));

    // The opponent's name is shown as it came, never as markup.
    window.setText(ids::kOpponentLine, "<i>x</i>");
    EXPECT_EQ(qobject_cast<QLabel*>(window.control(ids::kOpponentLine))->textFormat(), Qt::PlainText);
    EXPECT_EQ(window.text(ids::kOpponentLine), "<i>x</i>");

    // A press on a cell goes through the picture to the window.
    // The icon comes once the window is shown, for it and every later window.
    QGuiApplication::setWindowIcon(QIcon());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.windowIcon().availableSizes().size() == 7; }, 3000));
    EXPECT_EQ(QGuiApplication::windowIcon().availableSizes().size(), 7);
    std::vector<int> cells;
    window.onBoardPress = [&](int x, int y) { cells.push_back(view.cellAt(x, y)); };
    for (int k : {0, 27, 63}) {
        const QPoint inCell = window.control(ids::kFirstCell + k)->geometry().center();
        QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, window.client()->mapTo(&window, inCell));
    }
    EXPECT_EQ(cells, (std::vector<int>{0, 27, 63}));
}

} // namespace
} // namespace kestrel
