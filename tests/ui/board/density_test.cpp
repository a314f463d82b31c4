// The main window moved between a screen of one device pixel to a pixel and
// one of two: the board and the piece samples use the pictures drawn for
// each density, and the double-size ones are what reaches the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/match_state.h"
#include "ui/board/board_view.h"
#include "ui/main_window.h"

namespace kestrel {
namespace {

// Set before main() creates the application: two offscreen screens side by
// side, the right one twice as dense. No sound server, so nothing is heard.
const bool kTwoScreens = (setenv("QT_QPA_PLATFORM", "offscreen:configfile=" KESTREL_TWO_SCREENS, 1),
                          setenv("PULSE_SERVER", "unix:/nonexistent/kestrel-density-test", 1), true);

QImage asImage(const QPixmap& pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

QImage drawn(Picture p, int scale)
{
    return QImage(picturePath(p, scale)).convertToFormat(QImage::Format_RGB32);
}

// The density of the pictures every cell and both samples hold, or 0 when they differ.
qreal heldDensity(BoardView& view, MainWindow& window)
{
    qreal ratio = view.cellLabel(0)->pixmap().devicePixelRatio();
    for (int k = 0; k < kCellCount; ++k)
        if (view.cellLabel(k)->pixmap().devicePixelRatio() != ratio)
            return 0;
    for (int id : {1065, 1066})
        if (static_cast<QLabel*>(window.control(id))->pixmap().devicePixelRatio() != ratio)
            return 0;
    return ratio;
}

void moveTo(MainWindow& window, int x)
{
    window.move(x, 10);
    QApplication::processEvents();
}

TEST(BoardDensity, PicturesFollowTheWindowBetweenScreensOfTwoDensities)
{
    (void)kTwoScreens;
    ASSERT_EQ(QApplication::screens().size(), 2);
    MainWindow window;
    BoardView view(window.client());
    view.setPauseFunction([](int) {});
    std::vector<qreal> frameDensities;
    view.onPicture = [&](int cell, Picture) {
        frameDensities.push_back(view.cellLabel(cell)->pixmap().devicePixelRatio());
    };
    view.layoutBoard();
    window.move(10, 10);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Plain screen: the 34x34 pictures, drawn pixel for pixel.
    ASSERT_EQ(window.devicePixelRatioF(), 1.0);
    EXPECT_EQ(heldDensity(view, window), 1.0);
    EXPECT_EQ(asImage(view.cellLabel(0)->grab()), drawn(Picture::Empty, 1));

    // Dense screen: every picture is the 68x68 one, and the screen gets its pixels unchanged.
    moveTo(window, 900);
    ASSERT_EQ(window.devicePixelRatioF(), 2.0);
    EXPECT_EQ(heldDensity(view, window), 2.0);
    view.showCell(19, kBlack);
    view.showFlip(27, kWhite);
    EXPECT_EQ(frameDensities, std::vector<qreal>(6, 2.0));
    const QPixmap cell = view.cellLabel(19)->grab();
    EXPECT_EQ(cell.size(), QSize(68, 68));
    EXPECT_EQ(asImage(cell), drawn(Picture::Black, 2));
    EXPECT_EQ(asImage(view.cellLabel(27)->grab()), drawn(Picture::White, 2));
    EXPECT_EQ(asImage(static_cast<QLabel*>(window.control(1066))->grab()).copy(0, 0, 66, 68),
              drawn(Picture::White, 2).copy(0, 0, 66, 68)); // the sample is 33 pixels wide

    // The keyboard mark is drawn at the screen's density: 4 pixels wide, nothing blended.
    view.showMark(19);
    const QImage marked = asImage(view.cellLabel(19)->grab());
    const QImage plain = drawn(Picture::Black, 2);
    int red = 0, other = 0;
    for (int y = 0; y < 68; ++y)
        for (int x = 0; x < 68; ++x)
            if (marked.pixel(x, y) != plain.pixel(x, y))
                ++(marked.pixel(x, y) == qRgb(255, 0, 0) ? red : other);
    EXPECT_EQ(red, 60 * 60 - 52 * 52);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(marked.pixel(4, 4), qRgb(255, 0, 0));
    EXPECT_EQ(marked.pixel(3, 3), plain.pixel(3, 3));
    view.showMark(-1);

    // Back on the plain screen the board keeps what it showed, at 34x34 again.
    moveTo(window, 10);
    EXPECT_EQ(heldDensity(view, window), 1.0);
    EXPECT_EQ(asImage(view.cellLabel(19)->grab()), drawn(Picture::Black, 1));
    EXPECT_EQ(asImage(view.cellLabel(27)->grab()), drawn(Picture::White, 1));
    EXPECT_EQ(view.pictureAt(27), Picture::White);
}

} // namespace
} // namespace kestrel
