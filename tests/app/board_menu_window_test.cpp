// The board's context menu in the real window, offscreen, the socket on
// loopback only: the computer's level chosen by mouse and by keys and kept
// after a restart, the two settings files untouched by all of it, a whole
// game against the strongest level, and a hint.
#include "tests/support/running_program.h"

#include <QAction>
#include <QMenu>

#include "engine/board.h"
#include "engine/search/thinker.h"
#include "session/control_ids.h"
#include "session/dialogs/dialog_ids.h"
#include "session/hint.h"
#include "tests/support/board_builder.h"
#include "tests/support/game_driver.h"
#include "text/cp932.h"
#include "ui/announcer.h"
#include "ui/board/board_menu.h"

namespace kestrel {
namespace {

using testing::click;
using testing::waitFor;

// On a loopback port of its own with both settings files, logged in as root.
struct Running : testing::RunningProgram {
    Running() : RunningProgram(testing::freeLoopbackPort(), testing::kLoopback)
    {
        testing::writeBytes(dir / "lumenip.fil", "10.0.0.9" + std::string(8, '\0'));
        begin();
    }
    void begin()
    {
        EXPECT_TRUE(main->start("root"));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }
    // The program ends and starts again in the same folder.
    void restart()
    {
        main->exit();
        main.reset();
        main.emplace(dir / "corvidae", testing::kLoopback);
        main->view().setPauseFunction([this](int ms) { pauses.push_back(ms); });
        for (Sound s : {Sound::Place, Sound::Flip, Sound::Win, Sound::Lose})
            main->view().setSound(s, {});
        begin();
    }
    BoardMenu& menu() { return window().boardMenu(); }
    QAction* item(int id) { return window().menuItem(id); }
    QMenu* levels() { return menu().findChild<QMenu*>(); }
    std::string settingsFiles() { return readBytes(dir / "lumenini.fil") + readBytes(dir / "lumenip.fil"); }
    std::string readBytes(const std::string& path) { return testing::readBytes(path); }

    // A game against the computer as black, up to the player's first turn.
    void startAsBlack()
    {
        inNextDialog([](DialogWindow& w) { click(w.control(dlg::kComputer)); });
        clickMenu(ids::kMenuConnect);
        click(control(ids::kDecide));
        click(control(ids::kGameStart));
        ASSERT_EQ(program().match.myTurn, 1);
    }
    // A right click at a point of the client area: the menu opens at once.
    void rightClick(QPoint client)
    {
        QTest::mouseClick(window().windowHandle(), Qt::RightButton, {},
                          window().client()->mapTo(&window(), client));
    }
    QPoint cellMiddle(int k) { return {10 + 34 * (k % 8) + 17, 25 + 34 * (k / 8) + 17}; }
    void clickItem(QMenu* in, QAction* action)
    {
        ASSERT_TRUE(in->isVisible());
        QTest::mouseClick(in->windowHandle(), Qt::LeftButton, {}, in->actionGeometry(action).center());
    }
    // A right click on a cell, "コンピュータの強さ", then the level.
    void chooseLevelByMouse(int level)
    {
        rightClick(cellMiddle(27));
        clickItem(&menu(), levels()->menuAction());
        ASSERT_TRUE(waitFor([&] { return levels()->isVisible(); }));
        clickItem(levels(), item(ids::kMenuFirstLevel + level));
        ASSERT_TRUE(waitFor([&] { return program().computer.level() == level; }));
        EXPECT_FALSE(menu().isVisible());
    }
    // Keys to the open menu (or submenu) until `action` is the active item.
    void keyTo(QMenu* in, QAction* action)
    {
        for (int i = 0; i < 8 && in->activeAction() != action; ++i)
            QTest::keyClick(in, Qt::Key_Down);
        ASSERT_EQ(in->activeAction(), action);
    }
    // Tab from wherever the focus is to the board's marked cell.
    void tabToTheBoard()
    {
        for (int i = 0;
             i < 12 && main->view().cellLabel(main->view().keys().marked()) != window().focusWidget(); ++i)
            QTest::keyClick(window().focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(window().focusWidget(), main->view().cellLabel(main->view().keys().marked()));
    }
};

TEST(BoardMenuWindow, LevelsByMouseAndByKeysKeptAfterARestart)
{
    Running r;
    const std::string settings = r.settingsFiles();
    const std::string preferences = r.dir / "kestrelbay-preferences.txt";
    EXPECT_EQ(r.program().computer.level(), 0);

    // Nothing of the menu until it is asked for.
    EXPECT_FALSE(r.menu().isVisible());
    r.rightClick({400, 300}); // beside the board, below the chat
    EXPECT_FALSE(r.menu().isVisible());

    // Before a game no hint is offered; the level in use is checked.
    r.rightClick(r.cellMiddle(19));
    ASSERT_TRUE(r.menu().isVisible());
    EXPECT_FALSE(r.item(ids::kMenuHint)->isEnabled());
    EXPECT_TRUE(r.item(ids::kMenuFirstLevel)->isChecked());
    r.menu().close();
    r.chooseLevelByMouse(2); // 上級
    EXPECT_EQ(r.readBytes(preferences),
              "kestrelbay preferences 1\nlevel=2\nmark-legal-moves=0\nmark-last-move=0\n");

    // By keys: Tab onto the board, Shift+F10, down to the levels, Right into
    // them, down to "達人", Enter. The Menu key opens it too; Escape closes it.
    r.tabToTheBoard();
    QTest::keyClick(r.window().focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(r.menu().isVisible());
    EXPECT_TRUE(r.item(ids::kMenuFirstLevel + 2)->isChecked());
    r.keyTo(&r.menu(), r.levels()->menuAction());
    QTest::keyClick(&r.menu(), Qt::Key_Right);
    ASSERT_TRUE(waitFor([&] { return r.levels()->isVisible(); }));
    r.keyTo(r.levels(), r.item(ids::kMenuFirstLevel + 3));
    QTest::keyClick(r.levels(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return r.program().computer.level() == 3; }));
    QTest::keyClick(r.window().focusWidget(), Qt::Key_Menu);
    ASSERT_TRUE(r.menu().isVisible());
    EXPECT_TRUE(r.item(ids::kMenuFirstLevel + 3)->isChecked());
    QTest::keyClick(&r.menu(), Qt::Key_Escape);
    EXPECT_FALSE(r.menu().isVisible());
    EXPECT_EQ(r.window().focusWidget(), r.main->view().cellLabel(r.main->view().keys().marked()));

    // Kept after a restart; a damaged file gives the default level.
    r.restart();
    EXPECT_EQ(r.program().computer.level(), 3);
    r.rightClick(r.cellMiddle(0));
    EXPECT_TRUE(r.item(ids::kMenuFirstLevel + 3)->isChecked());
    r.menu().close();
    testing::writeBytes(preferences, "kestrelbay preferences 1\nlevel=\xff\n");
    r.restart();
    EXPECT_EQ(r.program().computer.level(), 0);

    EXPECT_EQ(r.settingsFiles(), settings) << "the settings files are never written by the menu";
    r.main->exit();
}

// Black (the player) to move; an exact solve of its twelve empty cells makes
// 57 ("8行2列") the one best move among 51, 57 and 58.
constexpr const char* kTwelveEmpty = ".xxxooxx"
                                     "..xxooox"
                                     "..xoxoox"
                                     ".xxxxxox"
                                     ".xxooxox"
                                     ".xxoxoxx"
                                     ".xo.oxxx"
                                     "x..ooooo";

TEST(BoardMenuWindow, AWholeGameAtTheStrongestLevelThenAHint)
{
    Running r;
    const std::string settings = r.settingsFiles();
    int sent = 0;
    r.main->socket().onSent = [&](Ipv4, std::string_view) { ++sent; };
    r.chooseLevelByMouse(3); // 達人

    // Each computer turn: what the program's own player would have played
    // when the second's pause began, and what the strongest level played
    // after thinking for the pause, shortened forty times.
    r.startAsBlack();
    BoardView& view = r.main->view();
    const MatchState& match = r.program().match;
    std::vector<int> standard, played;
    view.setPauseFunction([&](int ms) {
        r.pauses.push_back(ms);
        if (ms == 1000)
            standard.push_back(search::standardMove(match.board, kWhite));
        QThread::usleep(static_cast<unsigned long>(ms) * 25);
    });
    view.onPicture = [&](int cell, Picture p) {
        if (p == Picture::PlaceWhite1)
            played.push_back(cell);
    };
    int moves = 0;
    while (match.myTurn == 1 && moves < 64) {
        MatchState copy = match;
        r.clickCell(testing::legalCells(copy, kBlack).front());
        ++moves;
    }
    EXPECT_EQ(match.myTurn, 0) << "the game is over";
    EXPECT_EQ(r.window().text(ids::kStatus), SJ("白の勝ちです"));
    EXPECT_EQ(r.sounds.back(), Sound::Lose);
    EXPECT_EQ(played.size(), standard.size()) << "one second before each of the computer's moves";
    EXPECT_NE(played, standard) << "the strongest level is not the program's own player";
    view.onPicture = nullptr;

    // The next game, on a position of twelve empty cells.
    click(r.control(ids::kGameEnd));
    click(r.control(ids::kDecide));
    click(r.control(ids::kGameStart));
    MatchState& m = r.program().match;
    m.board = testing::boardFromPicture(kTwelveEmpty);
    for (int k = 0; k < kCellCount; ++k)
        view.showPicture(k, m.board[k] == kBlack   ? Picture::Black
                            : m.board[k] == kWhite ? Picture::White
                                                   : Picture::Empty);
    const Board before = m.board;

    // A right click on a legal cell plays nothing; the hint is offered.
    r.rightClick(r.cellMiddle(57));
    ASSERT_TRUE(r.menu().isVisible());
    EXPECT_EQ(m.board, before);
    EXPECT_TRUE(r.item(ids::kMenuHint)->isEnabled());
    QTest::keyClick(&r.menu(), Qt::Key_Escape);

    // By the Menu key on the board: "ヒント" is the first item. The mark
    // blinks over 57 twice, the reader hears of it, and the board, the turn
    // and the network are left as they were.
    std::vector<std::pair<int, int>> blink; // pause, hint mark during it
    QImage marked;
    view.setPauseFunction([&](int ms) {
        blink.emplace_back(ms, view.shownHintMark());
        marked = view.cellLabel(57)->pixmap().toImage();
    });
    r.tabToTheBoard();
    QTest::keyClick(r.window().focusWidget(), Qt::Key_Menu);
    r.keyTo(&r.menu(), r.item(ids::kMenuHint));
    QTest::keyClick(&r.menu(), Qt::Key_Return);
    auto* announcer = r.window().findChild<Announcer*>();
    ASSERT_TRUE(waitFor([&] { return announcer->texts().contains("ヒント：8行2列"); }, 5000));
    EXPECT_EQ(blink, (std::vector<std::pair<int, int>>{{250, 57}, {150, -1}, {250, 57}}));
    // Drawn over the cell's picture, which is as it was once the blink is over.
    EXPECT_NE(marked, view.picture(Picture::Empty).toImage());
    EXPECT_EQ(view.shownHintMark(), -1);
    EXPECT_EQ(view.cellLabel(57)->pixmap().toImage(), view.picture(Picture::Empty).toImage());
    EXPECT_EQ(m.board, before);
    EXPECT_EQ(m.myTurn, 1);
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(r.settingsFiles(), settings);

    // Asked again, it is said again. Asked once more, the program ends
    // while the hint is being thought about: the thinking ends with it.
    for (int time = 0; time < 2; ++time) {
        r.rightClick(r.cellMiddle(0));
        r.clickItem(&r.menu(), r.item(ids::kMenuHint));
        ASSERT_TRUE(waitFor([&] { return r.main->timers().isRunning(kHintTimer); }));
    }
    ASSERT_TRUE(waitFor([&] { return announcer->texts().count("ヒント：8行2列") == 2; }, 5000));
    r.rightClick(r.cellMiddle(0));
    r.clickItem(&r.menu(), r.item(ids::kMenuHint));
    ASSERT_TRUE(waitFor([&] { return r.main->timers().isRunning(kHintTimer); }));
    blink.clear();
    r.main->exit();
    EXPECT_FALSE(r.main->timers().isRunning(kHintTimer));
    EXPECT_FALSE(waitFor([&] { return !blink.empty(); }, 1500));
}

} // namespace
} // namespace kestrel
