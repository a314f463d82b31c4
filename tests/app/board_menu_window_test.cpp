// The board's context menu in the real window, offscreen, the socket on
// loopback only: the computer's level chosen by mouse and by keys and kept
// after a restart, the two settings files untouched by all of it, a whole
// game against the strongest level, and a hint.
#include "tests/support/running_program.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>

#include "engine/board.h"
#include "engine/search/thinker.h"
#include "engine/transcript.h"
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
    // A key to the focus; the command it gives has run on return.
    void keys(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(window().focusWidget(), key, modifiers);
        QCoreApplication::processEvents();
    }
    // The board as drawn, with the keyboard's mark away from it.
    QImage boardImage()
    {
        window().focus(ids::kChatInput);
        return window().client()->grab(QRect(10, 25, 34 * 8, 34 * 8)).toImage();
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
    m.board = testing::boardFromPicture(testing::kTwelveEmpty);
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

TEST(BoardMenuWindow, UndoMarksAndRecordsFromPlayToReplay)
{
    Running r;
    BoardView& view = r.main->view();
    const MatchState& match = r.program().match;
    r.startAsBlack();
    const QImage plain = r.boardImage();

    // The legal cells' mark on and off again by the mouse: the board is then
    // the board of before, pixel for pixel.
    const auto switchByMouse = [&](int id) {
        r.rightClick(r.cellMiddle(27));
        r.clickItem(&r.menu(), r.item(id));
    };
    switchByMouse(ids::kMenuMarkLegalMoves);
    ASSERT_TRUE(waitFor([&] { return view.shownMoveMarks().legal != 0; }));
    EXPECT_EQ(view.shownMoveMarks().legal, (1ull << 19) | (1ull << 26) | (1ull << 37) | (1ull << 44));
    EXPECT_NE(r.boardImage(), plain);
    switchByMouse(ids::kMenuMarkLegalMoves);
    ASSERT_TRUE(waitFor([&] { return view.shownMoveMarks().legal == 0; }));
    EXPECT_EQ(r.boardImage(), plain);

    // Three turns, then two undos and a redo by their keys from the chat
    // input, where nothing is typed: the board of the player's second turn.
    std::vector<Board> turns;
    for (int turn = 0; turn < 3; ++turn) {
        turns.push_back(match.board);
        MatchState copy = match;
        r.clickCell(testing::legalCells(copy, kBlack).front());
        const std::size_t played = 2 * turns.size();
        ASSERT_TRUE(
            waitFor([&] { return r.program().kept.record.moves.size() == played && match.myTurn == 1; }));
    }
    // The keys go to the window active again after the menus and the boxes.
    r.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&r.window()));
    r.window().focus(ids::kChatInput);
    const std::size_t sounds = r.sounds.size();
    const std::vector<int>& moves = r.program().kept.record.moves;
    r.keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return moves.size() == 4; })) << moves.size();
    r.keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return moves.size() == 2; })) << moves.size();
    EXPECT_EQ(match.board, turns[1]);
    r.keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return moves.size() == 4; })) << moves.size();
    EXPECT_EQ(match.board, turns[2]);
    EXPECT_EQ(r.sounds.size(), sounds) << "undo and redo play no sound";
    EXPECT_EQ(match.blackCount + match.whiteCount, 8);

    // The last move's mark on by the keys: Shift+F10 on the board, down to
    // the item, Enter.
    r.tabToTheBoard();
    QTest::keyClick(r.window().focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(r.menu().isVisible());
    EXPECT_FALSE(r.item(ids::kMenuMarkLastMove)->isChecked());
    r.keyTo(&r.menu(), r.item(ids::kMenuMarkLastMove));
    QTest::keyClick(&r.menu(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return view.shownMoveMarks().last == moves.back(); }));

    // Played out, then copied and saved.
    while (match.myTurn == 1) {
        MatchState copy = match;
        r.clickCell(testing::legalCells(copy, kBlack).front());
        waitFor([&] { return match.myTurn == 1 || r.program().kept.state == KeptGame::State::Over; });
    }
    ASSERT_EQ(r.program().kept.state, KeptGame::State::Over);
    const Board final = match.board;
    r.rightClick(r.cellMiddle(0));
    r.clickItem(&r.menu(), r.item(ids::kMenuCopyRecord));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), transcriptText(moves));
    const std::string saved = r.dir / "saved game.txt";
    r.inNextFileDialog(saved);
    r.rightClick(r.cellMiddle(0));
    r.clickItem(&r.menu(), r.item(ids::kMenuSaveRecord));
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(saved); }))
        << r.boxes.texts.join("/").toStdString() << r.item(ids::kMenuSaveRecord)->isEnabled()
        << (r.main->dialogs().openFileDialog() != nullptr);

    // Opened from the file and replayed by the board's keys.
    r.inNextFileDialog(saved);
    r.rightClick(r.cellMiddle(0));
    r.clickItem(&r.menu(), r.item(ids::kMenuOpenRecord));
    ASSERT_TRUE(waitFor([&] { return r.program().replay.has_value(); }));
    EXPECT_EQ(match.board, startBoard());
    const auto key = [&](Qt::Key k) { r.keys(k); };
    key(Qt::Key_End);
    EXPECT_EQ(match.board, final);
    key(Qt::Key_Left);
    EXPECT_EQ(r.program().replay->shown, moves.size() - 1);
    key(Qt::Key_Home);
    EXPECT_EQ(match.board, startBoard());
    key(Qt::Key_Right);
    key(Qt::Key_End);
    EXPECT_EQ(match.board, final);

    // A malformed transcript: a box names the move, nothing changes.
    const std::string bad = r.dir / "bad.txt";
    testing::writeBytes(bad, "f5 d6 c3 d3 c4 f4 f6 f3 e6 e7 d7 a1\n");
    const QImage replayed = r.boardImage();
    r.inNextFileDialog(bad);
    r.rightClick(r.cellMiddle(0));
    r.clickItem(&r.menu(), r.item(ids::kMenuOpenRecord));
    ASSERT_TRUE(waitFor([&] { return !r.boxes.texts.isEmpty(); }));
    EXPECT_TRUE(r.boxes.texts.back().contains(QStringLiteral("12"))) << r.boxes.texts.back().toStdString();
    EXPECT_EQ(match.board, final);
    EXPECT_EQ(r.boardImage(), replayed);

    // From the recent games: the same game, to the same final board.
    r.rightClick(r.cellMiddle(0));
    QMenu* recent = r.item(ids::kMenuRecentGames)->menu();
    r.clickItem(&r.menu(), recent->menuAction());
    ASSERT_TRUE(waitFor([&] { return recent->isVisible(); }));
    r.clickItem(recent, r.item(ids::kMenuFirstRecent));
    ASSERT_TRUE(waitFor([&] { return r.program().replay->shown == 0; }));
    EXPECT_EQ(r.program().replay->record.moves, moves);
    r.tabToTheBoard();
    key(Qt::Key_End);
    EXPECT_EQ(match.board, final);
    key(Qt::Key_Escape);
    EXPECT_FALSE(r.program().replay.has_value());
    EXPECT_EQ(match.board, final);
    r.main->exit();
}

} // namespace
} // namespace kestrel
