// Every box of the program is built one way: each is opened through its
// real entry point, looked at as the active modal widget and answered, and
// meanwhile the main window takes a click through the window system.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/already_running.h"
#include "text/cp932.h"
#include "ui/board/board_view.h"
#include "ui/main_window.h"

namespace kestrel {
namespace {

TEST(MessageBoxes, EveryBoxIsParentlessWindowModalTopMostPlainTextInTheDialogFontAndBlocksNoWindow)
{
    MainWindow window;
    BoardView view(window.client());
    view.layoutBoard();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::vector<int> pressed;
    window.onBoardPress = [&](int x, int y) { pressed.push_back(view.cellAt(x, y)); };
    const std::string text = SJ("<b>たろう</b>さん\r\nパスします");
    const QString shown = QString::fromUtf8("<b>たろう</b>さん\nパスします");
    bool yes = false;
    using Box = QMessageBox;
    struct Case {
        const char* name;
        std::function<void()> open;
        const char* title;
        Box::Icon icon;
        Box::StandardButtons buttons;
        Box::StandardButton press;
        QString text;
    };
    const std::vector<Case> cases = {
        {"error", [&] { window.showError(text); }, "エラー", Box::Warning, Box::Ok, Box::Ok, shown},
        {"question", [&] { yes = window.askYesNo(text); }, "確認", Box::Question, Box::Yes | Box::No,
         Box::Yes, shown},
        {"question", [&] { yes = window.askYesNo(text); }, "確認", Box::Question, Box::Yes | Box::No, Box::No,
         shown},
        {"information", [&] { window.showInformation(text); }, "確認", Box::Information, Box::Ok, Box::Ok,
         shown},
        {"notice", [&] { view.showNotice(text); }, "情報", Box::Warning, Box::Ok, Box::Ok, shown},
        {"second copy", [&] { showAlreadyRunning("/opt/games/corvidae<br>"); }, "二重起動", Box::Warning,
         Box::Ok, Box::Ok, QString::fromUtf8("corvidae<br>\nこのプログラムは既に起動しています")},
    };
    for (const Case& c : cases) {
        int seen = 0;
        pressed.clear();
        yes = c.press == Box::No; // the other way round for questions
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++seen;
            poll.stop();
            EXPECT_EQ(box->windowTitle(), QString::fromUtf8(c.title)) << c.name;
            EXPECT_EQ(box->icon(), c.icon) << c.name;
            EXPECT_EQ(box->standardButtons(), c.buttons) << c.name;
            EXPECT_EQ(box->text(), c.text) << c.name;
            EXPECT_EQ(box->textFormat(), Qt::PlainText) << c.name;
            EXPECT_EQ(box->font().families().value(0), QString::fromUtf8("ＭＳ Ｐゴシック")) << c.name;
            EXPECT_EQ(box->font(), window.font()) << c.name;
            EXPECT_EQ(box->windowModality(), Qt::WindowModal) << c.name;
            EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << c.name;
            EXPECT_EQ(box->parent(), nullptr) << c.name;
            // Modal to its own (absent) owner only: a click on cell 10 passes
            // the window system's modality check and reaches the window.
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                              window.client()->mapTo(&window, QPoint(10 + 34 * 2 + 5, 25 + 34 + 5)));
            box->button(c.press)->click();
        });
        // A box that never shows as the active modal widget is closed after 5 s.
        QTimer failSafe;
        QObject::connect(&failSafe, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                    box->done(0);
        });
        poll.start(5);
        failSafe.start(5000);
        c.open();
        EXPECT_EQ(seen, 1) << c.name;
        EXPECT_EQ(pressed, std::vector<int>{10}) << c.name;
        EXPECT_EQ(yes, c.press == Box::Yes) << c.name;
    }
}

} // namespace
} // namespace kestrel
