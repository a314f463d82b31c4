// Every box of the program is built one way: each is opened through its
// real entry point and looked at as the active modal widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/already_running.h"
#include "app/main_window.h"
#include "app/view/board_view.h"
#include "text/cp932.h"

namespace kestrel {
namespace {

TEST(MessageBoxes, EveryBoxIsParentlessWindowModalTopMostPlainTextInTheDialogFont)
{
    MainWindow window;
    BoardView view(window.client());
    const std::string text = SJ("<b>たろう</b>さん\r\nパスします");
    const QString shown = QString::fromUtf8("<b>たろう</b>さん\nパスします");
    struct Case {
        const char* name;
        std::function<void()> open;
        const char* title;
        QMessageBox::Icon icon;
        QString text;
    };
    const std::vector<Case> cases = {
        {"error", [&] { window.showError(text); }, "エラー", QMessageBox::Warning, shown},
        {"question", [&] { window.askYesNo(text); }, "確認", QMessageBox::Question, shown},
        {"information", [&] { window.showInformation(text); }, "確認", QMessageBox::Information, shown},
        {"notice", [&] { view.showNotice(text); }, "情報", QMessageBox::Warning, shown},
        {"second copy", [&] { showAlreadyRunning("/opt/games/corvidae<br>"); }, "二重起動",
         QMessageBox::Warning, QString::fromUtf8("corvidae<br>\nこのプログラムは既に起動しています")},
    };
    for (const Case& c : cases) {
        int seen = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++seen;
            poll.stop();
            EXPECT_EQ(box->windowTitle(), QString::fromUtf8(c.title)) << c.name;
            EXPECT_EQ(box->icon(), c.icon) << c.name;
            EXPECT_EQ(box->text(), c.text) << c.name;
            EXPECT_EQ(box->textFormat(), Qt::PlainText) << c.name;
            EXPECT_EQ(box->font().families().value(0), QString::fromUtf8("ＭＳ Ｐゴシック")) << c.name;
            EXPECT_EQ(box->font(), window.font()) << c.name;
            EXPECT_EQ(box->windowModality(), Qt::WindowModal) << c.name;
            EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << c.name;
            EXPECT_EQ(box->parent(), nullptr) << c.name;
            box->done(0);
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
    }
}

} // namespace
} // namespace kestrel
