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

struct SeenBox {
    bool open = false;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QFont font;
    Qt::WindowModality modality = Qt::NonModal;
    bool onTop = false;
    bool hasParent = true;
};

// Runs `open` and, once a box is the active modal widget, records and closes it.
SeenBox openAndClose(const std::function<void()>& open)
{
    SeenBox seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen = {true,
                box->windowTitle(),
                box->text(),
                box->icon(),
                box->textFormat(),
                box->font(),
                box->windowModality(),
                box->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                box->parent() != nullptr};
        box->done(0);
    });
    // Whatever goes wrong, no box stays open.
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                box->done(0);
    });
    poll.start(5);
    failSafe.start(5000);
    open();
    return seen;
}

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
        const SeenBox seen = openAndClose(c.open);
        ASSERT_TRUE(seen.open) << c.name;
        EXPECT_EQ(seen.title, QString::fromUtf8(c.title)) << c.name;
        EXPECT_EQ(seen.icon, c.icon) << c.name;
        EXPECT_EQ(seen.text, c.text) << c.name;
        EXPECT_EQ(seen.format, Qt::PlainText) << c.name;
        EXPECT_EQ(seen.font.families().value(0), QString::fromUtf8("ＭＳ Ｐゴシック")) << c.name;
        EXPECT_EQ(seen.font.pointSize(), 9) << c.name;
        EXPECT_EQ(seen.font, window.font()) << c.name;
        EXPECT_EQ(seen.modality, Qt::WindowModal) << c.name;
        EXPECT_TRUE(seen.onTop) << c.name;
        EXPECT_FALSE(seen.hasParent) << c.name;
    }
}

} // namespace
} // namespace kestrel
