// Keyboard play and what screen readers are told, on the real window and
// board view (offscreen): the board's place in the tab order, the keyboard
// mark, Enter as a click, and the announcements of moves and status texts.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "engine/match_state.h"
#include "session/control_ids.h"
#include "text/cp932.h"
#include "ui/announcer.h"
#include "ui/board/board_view.h"
#include "ui/main_window.h"

namespace kestrel {
namespace {

struct Board {
    MainWindow window;
    BoardView view{window.client()};
    std::vector<int> pressed; // the cells Enter reached, through the window's own hit test

    Board()
    {
        view.setPauseFunction([](int) {});
        view.layoutBoard();
        window.onBoardPress = [this](int x, int y) { pressed.push_back(view.cellAt(x, y)); };
        view.keys().onPress = window.onBoardPress;
        window.enable(ids::kGameEnd, true);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(focused(), k, m); }
    // The focus, for readers too, and the mark on cell k: a red square 2
    // pixels wide, 2 pixels inside the cell, over its picture p.
    void expectMarkOn(int k, Picture p)
    {
        SCOPED_TRACE(k);
        EXPECT_EQ(focused(), view.cellLabel(k));
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(view.cellLabel(k))->state().focused);
        const QImage shown = view.cellLabel(k)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage plain = view.picture(p).toImage().convertToFormat(QImage::Format_RGB32);
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) != plain.pixel(x, y))
                    differing += shown.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 1000;
        EXPECT_EQ(differing, 30 * 30 - 26 * 26);
        EXPECT_EQ(view.pictureAt(k), p); // the mark is drawn over the picture, not into it
    }
};

TEST(BoardKeys, OneTabStopAfterGameEndWhoseArrowsMoveTheMarkAndWhoseEnterIsAClick)
{
    Board b;
    b.view.showCell(19, kBlack);
    b.window.focus(ids::kGameEnd);
    b.key(Qt::Key_Tab);
    b.expectMarkOn(27, Picture::Empty); // 4行4列 first
    b.key(Qt::Key_Tab);
    EXPECT_EQ(b.focused(), b.window.control(ids::kChatLog));
    EXPECT_EQ(b.view.shownMark(), -1); // the mark goes with the focus
    EXPECT_EQ(b.view.cellLabel(27)->pixmap().toImage(), b.view.picture(Picture::Empty).toImage());
    b.key(Qt::Key_Tab, Qt::ShiftModifier);
    b.key(Qt::Key_Up);
    b.expectMarkOn(19, Picture::Black); // over a piece too
    b.key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(b.focused(), b.window.control(ids::kGameEnd));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(b.view.cellLabel(19))->state().focused);

    // The arrows stop at the edges.
    b.view.cellLabel(19)->setFocus();
    const struct {
        Qt::Key key;
        int times, cell;
    } steps[] = {{Qt::Key_Left, 1, 18}, {Qt::Key_Up, 5, 2},    {Qt::Key_Left, 5, 0},
                 {Qt::Key_Right, 9, 7}, {Qt::Key_Down, 9, 63}, {Qt::Key_Left, 1, 62}};
    for (const auto& s : steps) {
        for (int i = 0; i < s.times; ++i)
            b.key(s.key);
        EXPECT_EQ(b.view.keys().marked(), s.cell);
    }
    b.expectMarkOn(62, Picture::Empty);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(b.view.cellLabel(62))->text(QAccessible::Name),
              QString::fromUtf8("8行7列 空き"));

    b.key(Qt::Key_Return);
    b.key(Qt::Key_Up);
    b.key(Qt::Key_Space);
    b.key(Qt::Key_Enter, Qt::KeypadModifier);
    b.key(Qt::Key_Return, Qt::ControlModifier); // not a press
    EXPECT_EQ(b.pressed, (std::vector<int>{62, 54, 54}));

    // An animation under the mark keeps it, and the cell is renamed once, at its end.
    b.view.keys().mark(19);
    b.view.showFlip(19, kWhite);
    b.expectMarkOn(19, Picture::White);
    EXPECT_EQ(b.view.cellLabel(19)->accessibleName(), QString::fromUtf8("3行4列 白"));
}

TEST(BoardAnnouncements, MovesAndStatusTextsAreSaidInTheOrderTheyHappen)
{
    Board b;
    Announcer* announcer = b.window.client()->findChild<Announcer*>();
    ASSERT_NE(announcer, nullptr);
    EXPECT_EQ(announcer->size(), QSize(0, 0)); // never drawn

    // The starting position is no move; the status text set by a command is said.
    for (auto [cell, side] : {std::pair{27, kWhite}, {28, kBlack}, {35, kBlack}, {36, kWhite}})
        b.view.showCell(cell, side);
    b.view.showCounts(2, 2);
    b.window.setText(ids::kStatus, SJ("コマを置いて下さい"));
    // The player's move ends at the counts; the computer's at the status text that follows it.
    b.view.showCell(19, kBlack);
    b.view.showFlip(27, kBlack);
    b.view.showCounts(4, 1);
    b.view.setStatus(SJ("コンピュータの番です"));
    b.view.setStatus(SJ("コンピュータの番です")); // again with nothing in between: said once
    b.view.showCell(0, kWhite);                   // rows and columns count from 1
    for (int cell : {1, 2, 3})
        b.view.showFlip(cell, kWhite);
    b.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
    b.view.showCounts(4, 5);
    b.view.showCell(19, kEmpty); // an emptied cell is no move
    b.view.showCounts(3, 5);
    const char* said[] = {"コマを置いて下さい", "黒が3行4列に置き、1枚返しました（黒4、白1）",
                          "コンピュータの番です", "白が1行1列に置き、3枚返しました（黒4、白5）",
                          "自分の番です　コマを置いて下さい"};
    ASSERT_EQ(announcer->texts().size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(announcer->texts()[i], QString::fromUtf8(said[i]));
    // Each is a notification of its own that readers meet as it is shown.
    QWidget* last = announcer->findChildren<QWidget*>().last();
    EXPECT_TRUE(last->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(last)->role(), QAccessible::Notification);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(last)->text(QAccessible::Name),
              QString::fromUtf8(said[4]));
    // The status bar is what readers read on request.
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(b.window.control(ids::kStatus));
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    EXPECT_EQ(status->text(QAccessible::Name), QString::fromUtf8("状態：自分の番です　コマを置いて下さい"));

    // The last few are kept; an empty status says nothing.
    for (int i = 0; i < 20; ++i)
        announcer->announce(QString::number(i));
    b.window.setText(ids::kStatus, "");
    EXPECT_EQ(announcer->texts().size(), Announcer::kKept);
    EXPECT_EQ(announcer->texts().last(), QStringLiteral("19"));
}

} // namespace
} // namespace kestrel
