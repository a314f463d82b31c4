// Renders the main window with its board view into PNG files, for looking at
// the layout: the window as it starts, in the middle of a network game, the
// board's context menu with its levels open, a hint's mark, the move marks,
// and a question box.
// Usage: window_screenshot <output directory>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "engine/board.h"
#include "engine/search/position.h"
#include "session/board_menu.h"
#include "session/control_ids.h"
#include "session/control_states.h"
#include "session/hint.h"
#include "session/program.h"
#include "tests/support/fake_ports.h"
#include "text/cp932.h"
#include "ui/board/board_menu.h"
#include "ui/board/board_view.h"
#include "ui/main_window.h"

namespace kestrel {
namespace {

bool save(MainWindow& window, const QString& path)
{
    QApplication::processEvents();
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A network game under way: names, counts, a chat, a long status text and
// every button enabled, so that each text can be checked for fit.
void playSomeMoves(Program& program, MainWindow& window)
{
    MatchState& m = program.match;
    m.connected = 1;
    m.opponentName = SJ("はなこ（隣の部屋）");
    m.peerAddress = "127.0.0.2";
    resetForNewGame(program);
    Game game = program.game();
    const int moves[][3] = {{2, 3, 1}, {2, 2, 2}, {3, 2, 1}, {2, 4, 2}, {5, 5, 1}};
    for (const auto& mv : moves) {
        if (countFlips(m, mv[0], mv[1], mv[2]) > 0) {
            setCell(game, mv[0], mv[1], mv[2]);
            turnPieces(game, mv[0], mv[1], mv[2]);
        }
    }
    updateCounts(game);
    window.setText(ids::kBlackName, SJ("たろう＠会議室ＡＢＣ"));
    window.setText(ids::kWhiteName, m.opponentName);
    window.appendText(ids::kChatLog, SJ("【たろう】\r\nよろしくお願いします\r\n【はなこ（隣の部屋）】\r\n"
                                        "こちらこそ。負けませんよ①～\r\n"));
    window.setText(ids::kChatInput, SJ("次は白で"));
    program.view.setStatus(SJ("ゲームを終了しました　再開する場合は、先攻後攻の決定から行って下さい"));
    for (int id : {ids::kGameStart, ids::kGameEnd})
        window.enable(id, true);
}

// The screen around the window, where the menus open beside it.
bool saveScreen(MainWindow& window, const QString& path)
{
    QApplication::processEvents();
    const QRect area = window.frameGeometry().adjusted(0, 0, 200, 220);
    if (!window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The board's context menu as a right click on cell 43 opens it, with the
// computer's levels shown.
bool saveBoardMenu(MainWindow& window, const QString& dir)
{
    BoardMenu& menu = window.boardMenu();
    menu.openAt(window.client()->mapToGlobal(QPoint(10 + 34 * 3 + 17, 25 + 34 * 5 + 17)));
    auto* levels = menu.findChild<QMenu*>();
    bool ok = QTest::qWaitForWindowExposed(&menu);
    menu.setActiveAction(levels->menuAction());
    QTest::keyClick(&menu, Qt::Key_Right);
    ok = QTest::qWaitForWindowExposed(levels) && ok;
    QTest::qWait(100);
    ok = saveScreen(window, dir + QStringLiteral("/window-menu.png")) && ok;
    menu.close();
    return ok;
}

// A hint on the player's turn, grabbed while its mark is shown.
bool saveHint(Program& program, BoardView& view, MainWindow& window, const QString& dir)
{
    program.match.mySide = kBlack;
    program.match.myTurn = 1;
    program.view.setStatus(SJ("自分の番です　コマを置いて下さい"));
    bool ok = false;
    view.setPauseFunction([&](int ms) {
        if (ms == kHintMarkMs && !ok)
            ok = save(window, dir + QStringLiteral("/window-hint.png"));
    });
    hintCommand(program);
    QTest::qWait(kHintThinkingMs);
    onHintTimer(program);
    view.setPauseFunction([](int) {});
    return ok;
}

// Both move marks on the player's turn: the cells black may play, and the
// last piece white placed.
bool saveMarks(Program& program, BoardView& view, MainWindow& window, const QString& dir)
{
    const Board& board = program.match.board;
    MoveMarks marks;
    marks.legal = search::positionOf(board, kBlack).moves();
    for (int k = kCellCount - 1; k >= 0 && marks.last < 0; --k)
        if (board[static_cast<std::size_t>(k)] == kWhite)
            marks.last = k;
    view.showMoveMarks(marks);
    const bool ok = save(window, dir + QStringLiteral("/window-marks.png"));
    view.showMoveMarks({});
    return ok;
}

} // namespace
} // namespace kestrel

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_screenshot <output directory>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);

    kestrel::MainWindow window;
    kestrel::BoardView view(window.client());
    view.setPauseFunction([](int) {});
    view.setSound(kestrel::Sound::Place, {});
    view.setSound(kestrel::Sound::Flip, {});
    kestrel::testing::FakeTransport transport;
    kestrel::testing::FakeTimers timers;
    kestrel::Program program(view, window, transport, timers);
    view.layoutBoard();
    kestrel::applyInitialControlStates(program);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    window.boardMenu().onOpen = [&] { kestrel::updateBoardMenu(program); };
    bool ok = kestrel::save(window, dir + QStringLiteral("/window-start.png"));
    kestrel::playSomeMoves(program, window);
    ok = kestrel::save(window, dir + QStringLiteral("/window-game.png")) && ok;
    ok = kestrel::saveBoardMenu(window, dir) && ok;
    ok = kestrel::saveHint(program, view, window, dir) && ok;
    ok = kestrel::saveMarks(program, view, window, dir) && ok;
    // A question box as the program asks it, grabbed while it is open.
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                const QString path = dir + QStringLiteral("/window-question.png");
                ok = box->grab().save(path) && ok;
                std::printf("%s\n", qPrintable(path));
                box->button(QMessageBox::No)->click();
            }
        }
    });
    window.askYesNo(SJ("はなこ（隣の部屋）さんから対戦の申し込みがありました\r\n受けますか？"));
    return ok ? 0 : 1;
}
