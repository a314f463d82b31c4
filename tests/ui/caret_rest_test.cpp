// The caret's rest after the player's last input, on the real style hints.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QTest>

#include "ui/caret_rest.h"

namespace kestrel {
namespace {

TEST(CaretRest, StandsStillAfterTheIdleTimeAndBlinksAgainAtTheNextInput)
{
    QStyleHints* hints = QGuiApplication::styleHints();
    hints->setCursorFlashTime(1000);
    QPlainTextEdit edit;
    edit.show();
    {
        CaretRest rest(0); // no idle time: rests at the next turn of the event loop
        EXPECT_FALSE(rest.resting());
        ASSERT_TRUE(QTest::qWaitFor([&] { return rest.resting(); }, 1000));
        EXPECT_EQ(hints->cursorFlashTime(), 0);

        // Painting, timers and focus changes are no input.
        edit.repaint();
        edit.setFocus();
        QCoreApplication::processEvents();
        EXPECT_TRUE(rest.resting());

        QTest::keyClick(&edit, Qt::Key_A);
        EXPECT_FALSE(rest.resting());
        EXPECT_EQ(hints->cursorFlashTime(), 1000);

        ASSERT_TRUE(QTest::qWaitFor([&] { return rest.resting(); }, 1000));
        QTest::mouseClick(edit.viewport(), Qt::LeftButton);
        EXPECT_EQ(hints->cursorFlashTime(), 1000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rest.resting(); }, 1000));
    }
    // Gone while resting: the blink is the desktop's again.
    EXPECT_EQ(hints->cursorFlashTime(), 1000);

    // A desktop whose caret never blinks is left alone.
    hints->setCursorFlashTime(0);
    CaretRest never(0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(never.resting());
}

} // namespace
} // namespace kestrel
