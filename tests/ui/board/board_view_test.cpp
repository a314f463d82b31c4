// The board view on real widgets (offscreen): layout, hit test, animation
// frames and sounds in order, counts, status and the notice box.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "text/cp932.h"
#include "ui/board/board_view.h"

namespace kestrel {
namespace {

// No sound comes out of these tests: the sound server named here does not exist.
const bool kNoSoundServer = (setenv("PULSE_SERVER", "unix:/nonexistent/kestrel-view-test", 1), true);

const char* name(Picture p)
{
    static const char* const names[] = {"empty",       "black",       "white",       "placeBlack1",
                                        "placeBlack2", "placeWhite1", "placeWhite2", "toBlack1",
                                        "toBlack2",    "toWhite1",    "toWhite2"};
    return names[static_cast<int>(p)];
}

const char* name(Sound s)
{
    static const char* const names[] = {"placeSound", "flipSound", "winSound", "loseSound"};
    return names[static_cast<int>(s)];
}

// A main window's client area with a board view whose pauses only advance a clock.
struct Board {
    QWidget client;
    std::unique_ptr<BoardView> view;
    std::vector<std::string> log; // "k:picture", "sound", "pause N" in the order they happened
    int clock = 0;

    explicit Board(bool withLabels = true)
    {
        client.resize(523, 340);
        if (withLabels)
            for (int id : {1084, 1091, 1092, 1065, 1066})
                (new QLabel(&client))->setObjectName(QString::number(id));
        view = std::make_unique<BoardView>(&client);
        view->setPauseFunction([this](int ms) {
            clock += ms;
            log.push_back("pause " + std::to_string(ms));
        });
        view->onPicture = [this](int cell, Picture p) {
            log.push_back(std::to_string(cell) + ":" + name(p));
        };
        view->onSound = [this](Sound s) { log.push_back(name(s)); };
        view->layoutBoard();
    }

    QLabel* label(int id) { return client.findChild<QLabel*>(QString::number(id)); }
    QImage shownOn(int cell) { return view->cellLabel(cell)->pixmap().toImage(); }
    QImage picture(Picture p) { return view->picture(p).toImage(); }
};

TEST(BoardView, CreatesTheBoardControlsWhereTheWindowHasNone)
{
    (void)kNoSoundServer;
    Board board;
    for (int k = 0; k < 64; ++k) {
        QLabel* cell = board.label(1001 + k);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell, board.view->cellLabel(k));
        EXPECT_EQ(cell->parentWidget(), &board.client);
        EXPECT_TRUE(cell->testAttribute(Qt::WA_TransparentForMouseEvents));
        EXPECT_EQ(board.shownOn(k), board.picture(Picture::Empty));
    }
    EXPECT_EQ(board.label(1001 + 8 * 2 + 3)->accessibleName(), QStringLiteral("3行4列 空き"));
    ASSERT_NE(board.client.findChild<QWidget*>("1067"), nullptr);
    ASSERT_NE(board.label(1079), nullptr);
    EXPECT_EQ(board.label(1079)->alignment(), Qt::AlignCenter);
    // the opponent's line says what it is to a screen reader, and follows its text
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(board.label(1079));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->role(), QAccessible::StaticText);
    EXPECT_EQ(line->text(QAccessible::Name), QStringLiteral("対戦相手"));
    board.label(1079)->setText(QStringLiteral("はなこ"));
    EXPECT_EQ(line->text(QAccessible::Name), QStringLiteral("対戦相手：はなこ"));
    board.label(1079)->setText(QStringLiteral("<b>x</b>"));
    EXPECT_EQ(board.label(1079)->textFormat(), Qt::PlainText);
    EXPECT_EQ(line->text(QAccessible::Name), QStringLiteral("対戦相手：<b>x</b>"));
    // the piece samples beside the names
    EXPECT_EQ(board.label(1065)->pixmap().toImage(), board.picture(Picture::Black));
    EXPECT_EQ(board.label(1066)->pixmap().toImage(), board.picture(Picture::White));
}

TEST(BoardView, UsesTheControlsTheWindowAlreadyHas)
{
    QWidget client;
    auto* line = new QLabel(QStringLiteral("taro"), &client);
    line->setObjectName("1079");
    auto* cell = new QLabel(&client);
    cell->setObjectName("1010");
    BoardView view(&client);
    EXPECT_EQ(client.findChildren<QLabel*>("1079").size(), 1);
    EXPECT_EQ(client.findChildren<QLabel*>("1010").size(), 1);
    EXPECT_EQ(view.cellLabel(9), cell);
    EXPECT_EQ(line->text(), QStringLiteral("taro"));
    EXPECT_TRUE(cell->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(BoardView, LayoutPlacesTheBoardInPixels)
{
    Board board;
    for (int k = 0; k < 64; ++k)
        board.label(1001 + k)->setGeometry(0, 0, 5, 5);
    board.label(1079)->setGeometry(0, 0, 1, 1);
    board.view->layoutBoard();
    EXPECT_EQ(board.label(1079)->geometry(), QRect(8, 0, 278, 20));
    EXPECT_EQ(board.client.findChild<QWidget*>("1067")->geometry(), QRect(8, 23, 278, 278));
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            EXPECT_EQ(board.label(1001 + row * 8 + column)->geometry(),
                      QRect(10 + 34 * column, 25 + 34 * row, 34, 34));
}

TEST(BoardView, CellAtTakesLeftAndTopEdgesOnly)
{
    Board board;
    const BoardView& v = *board.view;
    EXPECT_EQ(v.cellAt(10, 25), 0);
    EXPECT_EQ(v.cellAt(43, 58), 0);
    EXPECT_EQ(v.cellAt(44, 30), 1); // the edge shared by cells 0 and 1 belongs to the right one
    EXPECT_EQ(v.cellAt(20, 59), 8); // ...and the one shared by 0 and 8 to the lower one
    EXPECT_EQ(v.cellAt(44, 59), 9);
    EXPECT_EQ(v.cellAt(281, 296), 63);
    EXPECT_EQ(v.cellAt(10 + 34 * 3 + 1, 25 + 34 * 5 + 33), 43);
    // outside the 272 x 272 square
    EXPECT_EQ(v.cellAt(9, 30), -1);
    EXPECT_EQ(v.cellAt(30, 24), -1);
    EXPECT_EQ(v.cellAt(282, 30), -1);
    EXPECT_EQ(v.cellAt(30, 297), -1);
    EXPECT_EQ(v.cellAt(8, 23), -1); // the frame is not a cell
    EXPECT_EQ(v.cellAt(-5, -5), -1);
    EXPECT_EQ(v.cellAt(400, 100), -1);
}

TEST(BoardView, PlacingShowsDotDiscAndPieceWithTheClickBetween)
{
    Board board;
    board.view->showCell(19, 1);
    EXPECT_EQ(board.log, (std::vector<std::string>{"19:placeBlack1", "pause 100", "placeSound",
                                                   "19:placeBlack2", "pause 100", "19:black"}));
    EXPECT_EQ(board.shownOn(19), board.picture(Picture::Black));
    EXPECT_EQ(board.view->pictureAt(19), Picture::Black);
    EXPECT_EQ(board.label(1020)->accessibleName(), QStringLiteral("3行4列 黒"));

    board.log.clear();
    board.view->showCell(0, 2);
    EXPECT_EQ(board.log, (std::vector<std::string>{"0:placeWhite1", "pause 100", "placeSound",
                                                   "0:placeWhite2", "pause 100", "0:white"}));
    EXPECT_EQ(board.shownOn(0), board.picture(Picture::White));
    EXPECT_EQ(board.clock, 400);
}

TEST(BoardView, TurningShowsTheDiscRotatingWithTheClickBetween)
{
    Board board;
    board.view->showFlip(27, 1);
    board.view->showFlip(28, 2);
    EXPECT_EQ(board.log, (std::vector<std::string>{"27:toBlack1", "pause 100", "flipSound", "27:toBlack2",
                                                   "pause 100", "27:black", "28:toWhite1", "pause 100",
                                                   "flipSound", "28:toWhite2", "pause 100", "28:white"}));
    EXPECT_EQ(board.shownOn(27), board.picture(Picture::Black));
    EXPECT_EQ(board.shownOn(28), board.picture(Picture::White));

    // no side: nothing at all
    board.log.clear();
    board.view->showFlip(27, 0);
    board.view->showFlip(27, 3);
    board.view->showFlip(64, 1);
    board.view->showFlip(-1, 2);
    EXPECT_TRUE(board.log.empty());
    EXPECT_EQ(board.shownOn(27), board.picture(Picture::Black));
}

TEST(BoardView, AMoveThatTurnsThreePiecesTakes800Milliseconds)
{
    Board board;
    board.view->showCell(20, 1);
    for (int cell : {28, 36, 44})
        board.view->showFlip(cell, 1);
    EXPECT_EQ(board.clock, 800);
    std::vector<std::string> sounds;
    for (const auto& entry : board.log)
        if (entry.find("Sound") != std::string::npos)
            sounds.push_back(entry);
    EXPECT_EQ(sounds, (std::vector<std::string>{"placeSound", "flipSound", "flipSound", "flipSound"}));
}

TEST(BoardView, EmptyingIsImmediateAndOtherValuesOnlyRefresh)
{
    Board board;
    board.view->showCell(5, 2);
    board.log.clear();
    board.view->showCell(5, 0);
    EXPECT_EQ(board.log, std::vector<std::string>{"5:empty"});
    EXPECT_EQ(board.shownOn(5), board.picture(Picture::Empty));
    EXPECT_EQ(board.label(1006)->accessibleName(), QStringLiteral("1行6列 空き"));

    board.view->showCell(6, 1);
    board.log.clear();
    board.view->showCell(6, 7);
    board.view->showCell(64, 1);
    board.view->showCell(-1, 0);
    EXPECT_TRUE(board.log.empty());
    EXPECT_EQ(board.shownOn(6), board.picture(Picture::Black));
}

TEST(BoardView, AMissingSoundKeepsTheSameFramesAndTiming)
{
    Board withSound;
    withSound.view->showCell(9, 1);
    withSound.view->showFlip(9, 2);

    EXPECT_EQ(withSound.clock, 400);
    // both sounds went to the output, the flip cutting off the click
    EXPECT_EQ(withSound.view->soundPlayer().status().started, 2u);
    EXPECT_EQ(withSound.view->soundPlayer().status().cutOff, 1u);

    Board silent;
    silent.view->setSound(Sound::Place, QByteArray());
    silent.view->setSound(Sound::Flip, QByteArray("RIFF-not-a-wave"));
    silent.view->showCell(9, 1);
    silent.view->showFlip(9, 2);
    // the same frames and pauses in the same order ...
    EXPECT_EQ(silent.log, withSound.log);
    EXPECT_EQ(silent.clock, 400);
    EXPECT_EQ(silent.shownOn(9), silent.picture(Picture::White));
    // ... but nothing reached the output
    EXPECT_EQ(silent.view->soundPlayer().status().started, 0u);
    EXPECT_EQ(silent.view->soundPlayer().status().current, 0u);

    // only the missing one is silent
    Board halfSilent;
    halfSilent.view->setSound(Sound::Place, QByteArray());
    halfSilent.view->showCell(9, 1);
    EXPECT_EQ(halfSilent.view->soundPlayer().status().started, 0u);
    halfSilent.view->showFlip(9, 2);
    EXPECT_EQ(halfSilent.view->soundPlayer().status().started, 1u);
    EXPECT_EQ(halfSilent.log, withSound.log);
    EXPECT_EQ(halfSilent.clock, 400);
}

TEST(BoardView, TheSoundSystemOpensBeforeTheFirstPictureOfTheFirstAnimation)
{
    Board board;
    board.view->showCell(3, 0); // emptying a cell makes no sound
    board.view->setSound(Sound::Flip, QByteArray());
    board.view->showFlip(3, 1); // nor does a missing sound
    EXPECT_FALSE(board.view->soundPlayer().isOpen());
    std::vector<bool> openAtPicture;
    board.view->onPicture = [&](int, Picture) {
        openAtPicture.push_back(board.view->soundPlayer().isOpen());
    };
    board.view->showCell(19, 1);
    EXPECT_EQ(openAtPicture, (std::vector<bool>{true, true, true}));
}

TEST(BoardView, CountsAndStatusGoToTheirLabels)
{
    Board board;
    board.view->showCounts(12, 3);
    EXPECT_EQ(board.label(1091)->text(), QStringLiteral("12"));
    EXPECT_EQ(board.label(1092)->text(), QStringLiteral("3"));
    board.view->showCounts(0, 64);
    EXPECT_EQ(board.label(1091)->text(), QStringLiteral("0"));
    EXPECT_EQ(board.label(1092)->text(), QStringLiteral("64"));
    board.view->setStatus(SJ("あなたの番です①"));
    EXPECT_EQ(board.label(1084)->text(), QStringLiteral("あなたの番です①"));

    // A window without those labels: the texts go nowhere, into no other
    // control, and no label is made for them.
    Board bare(false);
    bare.label(1079)->setText(QStringLiteral("taro"));
    bare.view->showCounts(1, 2);
    bare.view->setStatus(SJ("黒の勝ち"));
    EXPECT_EQ(bare.label(1084), nullptr);
    EXPECT_EQ(bare.label(1091), nullptr);
    EXPECT_EQ(bare.label(1092), nullptr);
    for (QLabel* l : bare.client.findChildren<QLabel*>()) {
        if (l->objectName() != QStringLiteral("1079")) {
            EXPECT_TRUE(l->text().isEmpty()) << qPrintable(l->objectName()) << " " << qPrintable(l->text());
        }
    }
    EXPECT_EQ(bare.label(1079)->text(), QStringLiteral("taro"));
    EXPECT_EQ(bare.view->pictureAt(0), Picture::Empty);

    // The labels are looked up when written: once the window has them, the texts arrive.
    for (int id : {1084, 1091, 1092})
        (new QLabel(&bare.client))->setObjectName(QString::number(id));
    bare.view->showCounts(1, 2);
    bare.view->setStatus(SJ("黒の勝ちです"));
    EXPECT_EQ(bare.label(1091)->text(), QStringLiteral("1"));
    EXPECT_EQ(bare.label(1092)->text(), QStringLiteral("2"));
    EXPECT_EQ(bare.label(1084)->text(), QStringLiteral("黒の勝ちです"));
    EXPECT_EQ(bare.label(1079)->text(), QStringLiteral("taro"));
}

} // namespace
} // namespace kestrel
