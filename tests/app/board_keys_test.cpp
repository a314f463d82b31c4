// Keyboard play and what screen readers are told, on the real window and
// board view (offscreen): the board's place in the tab order, the keyboard
// mark, Enter as a click, and the announcements of moves and status texts.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "app/main_window.h"
#include "app/view/announcer.h"
#include "app/view/board_view.h"
#include "engine/match_state.h"
#include "net/control_ids.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

struct Board {
    MainWindow window;
    BoardView view{window.client()};
    std::vector<int> pressed; // the cells Enter or a click reached, through the window's own hit test

    Board()
    {
        view.setPauseFunction([](int) {});
        view.layoutBoard();
        window.onBoardPress = [this](int x, int y) { pressed.push_back(view.cellAt(x, y)); };
        view.keys().onPress = window.onBoardPress;
        for (int id : {ids::kSend, ids::kDecide, ids::kGameStart, ids::kGameEnd})
            window.enable(id, true);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    QLabel* cell(int k) const { return view.cellLabel(k); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(focused(), k, modifiers);
    }
    bool readerFocusOn(int k) const
    {
        return QAccessible::queryAccessibleInterface(cell(k))->state().focused;
    }
    Announcer* announcer() const { return window.client()->findChild<Announcer*>(); }
};

// Pixels of the shown cell that differ from its picture: all red, and how many.
int markPixels(const QLabel* cell, const QPixmap& picture)
{
    const QImage shown = cell->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage plain = picture.toImage().convertToFormat(QImage::Format_RGB32);
    int red = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != plain.pixel(x, y))
                red += shown.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 1000;
    return red;
}

TEST(BoardKeys, TheBoardIsOneTabStopAfterTheGameEndButtonAndTakesTheMarkWithTheFocus)
{
    Board b;
    b.window.focus(ids::kGameEnd);
    b.key(Qt::Key_Tab);
    ASSERT_EQ(b.focused(), b.cell(27)) << "4行4列 is marked first";
    EXPECT_EQ(b.view.shownMark(), 27);
    EXPECT_TRUE(b.readerFocusOn(27));
    // A red square 2 pixels wide, 2 pixels inside the cell; the picture itself is unchanged.
    EXPECT_EQ(markPixels(b.cell(27), b.view.picture(Picture::Empty)), 30 * 30 - 26 * 26);
    EXPECT_EQ(b.view.pictureAt(27), Picture::Empty);

    b.key(Qt::Key_Tab);
    EXPECT_EQ(b.focused(), b.window.control(ids::kChatLog));
    EXPECT_EQ(b.view.shownMark(), -1);
    EXPECT_EQ(markPixels(b.cell(27), b.view.picture(Picture::Empty)), 0);
    b.key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(b.focused(), b.cell(27));
    b.key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(b.focused(), b.window.control(ids::kGameEnd));
    EXPECT_FALSE(b.readerFocusOn(27));
}

TEST(BoardKeys, ArrowsMoveTheMarkAndStopAtTheEdgesEnterAndSpacePressTheMarkedCell)
{
    Board b;
    b.view.showCell(19, kBlack);
    b.view.keys().mark(27);
    b.cell(27)->setFocus();
    struct Step {
        Qt::Key key;
        int times;
        int cell; // marked afterwards
    };
    const Step steps[] = {
        {Qt::Key_Up, 1, 19},   {Qt::Key_Left, 1, 18}, {Qt::Key_Up, 5, 2},    {Qt::Key_Left, 5, 0},
        {Qt::Key_Right, 9, 7}, {Qt::Key_Down, 9, 63}, {Qt::Key_Left, 1, 62},
    };
    for (const Step& s : steps) {
        for (int i = 0; i < s.times; ++i)
            b.key(s.key);
        EXPECT_EQ(b.view.keys().marked(), s.cell) << s.cell;
        EXPECT_EQ(b.focused(), b.cell(s.cell)) << s.cell;
        EXPECT_EQ(b.view.shownMark(), s.cell);
        EXPECT_TRUE(b.readerFocusOn(s.cell)) << s.cell;
    }
    // Only the marked cell carries the mark and is read as focused.
    EXPECT_FALSE(b.readerFocusOn(63));
    EXPECT_EQ(markPixels(b.cell(63), b.view.picture(Picture::Empty)), 0);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(b.cell(62))->text(QAccessible::Name), u("8行7列 空き"));

    b.key(Qt::Key_Return);
    b.key(Qt::Key_Up);
    b.key(Qt::Key_Space);
    b.key(Qt::Key_Enter, Qt::KeypadModifier);
    b.key(Qt::Key_Return, Qt::ControlModifier); // not a press
    EXPECT_EQ(b.pressed, (std::vector<int>{62, 54, 54}));

    // Over a piece the mark goes with the pictures of an animation, and the
    // cell's name changes once, to what it holds at the end.
    b.view.keys().mark(19);
    EXPECT_EQ(markPixels(b.cell(19), b.view.picture(Picture::Black)), 224);
    b.view.showFlip(19, kWhite);
    EXPECT_EQ(markPixels(b.cell(19), b.view.picture(Picture::White)), 224);
    EXPECT_EQ(b.cell(19)->accessibleName(), u("3行4列 白"));
}

TEST(BoardAnnouncements, MovesAndStatusTextsAreSaidInTheOrderTheyHappen)
{
    Board b;
    Announcer* announcer = b.announcer();
    ASSERT_NE(announcer, nullptr);
    EXPECT_EQ(announcer->size(), QSize(0, 0)); // never drawn

    // The starting position is no move; the status text set by the commands is said.
    for (auto [cell, side] : {std::pair{27, kWhite}, {28, kBlack}, {35, kBlack}, {36, kWhite}})
        b.view.showCell(cell, side);
    b.view.showCounts(2, 2);
    b.window.setText(ids::kStatus, SJ("コマを置いて下さい"));
    // The player's move ends at the counts; the computer's at the status text after it.
    b.view.showCell(19, kBlack);
    b.view.showFlip(27, kBlack);
    b.view.showCounts(4, 1);
    b.view.setStatus(SJ("コンピュータの番です"));
    b.view.setStatus(SJ("コンピュータの番です")); // set again with nothing in between: said once
    b.view.showCell(18, kWhite);
    b.view.showFlip(27, kWhite);
    b.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
    b.view.showCounts(3, 3);
    EXPECT_EQ(announcer->texts(),
              (QStringList{u("コマを置いて下さい"), u("黒が3行4列に置き、1枚返しました（黒4、白1）"),
                           u("コンピュータの番です"), u("白が3行3列に置き、1枚返しました（黒3、白3）"),
                           u("自分の番です　コマを置いて下さい")}));
    // Each is a notification of its own that readers meet as it is shown.
    const QList<QWidget*> notices = announcer->findChildren<QWidget*>();
    ASSERT_EQ(notices.size(), 5);
    QAccessibleInterface* last = QAccessible::queryAccessibleInterface(notices.last());
    EXPECT_EQ(last->role(), QAccessible::Notification);
    EXPECT_EQ(last->text(QAccessible::Name), u("自分の番です　コマを置いて下さい"));
    EXPECT_TRUE(notices.last()->isVisible());

    // The status bar is what readers read on request.
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(b.window.control(ids::kStatus));
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    EXPECT_EQ(status->text(QAccessible::Name), u("状態：自分の番です　コマを置いて下さい"));

    // The last few are kept; an empty status says nothing.
    for (int i = 0; i < 20; ++i)
        announcer->announce(QString::number(i));
    b.window.setText(ids::kStatus, "");
    EXPECT_EQ(announcer->texts().size(), Announcer::kKept);
    EXPECT_EQ(announcer->texts().last(), u("19"));
}

} // namespace
} // namespace kestrel
