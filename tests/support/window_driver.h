#pragma once
// Driving real Qt windows from a test as a player would: clicks delivered
// through the window system, waits on a condition while events run, and an
// answerer for the message boxes the program opens.

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace kestrel::testing {

// Runs the event loop until `done` holds or `ms` have passed; returns
// `done()`. The loop waits for events as the program's own does (QTest's
// qWait sleeps between turns, and a socket would overflow meanwhile).
template <typename Condition> bool waitFor(Condition done, int ms = 5000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// A click of the left button in the middle of a widget (or at `at`),
// delivered to its window as the window system would (so a blocked window
// would not get it).
inline void click(QWidget* widget, QPoint at = {-1, -1})
{
    ASSERT_NE(widget, nullptr);
    QWidget* top = widget->window();
    const QPoint local = at.x() < 0 ? widget->rect().center() : at;
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, local));
}

// Answers each message box soon after it opens, as a player would: by
// default Yes to a question and OK to the rest. Every box is noted.
class BoxAnswerer {
public:
    using Decide = std::function<QMessageBox::StandardButton(const QMessageBox&)>;

    explicit BoxAnswerer(Decide decide = {}) : decide_(std::move(decide))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { findOpenBoxes(); });
        timer_.start(5);
    }
    QStringList texts;
    QStringList captions;
    bool byKeys = false; // close each box with the Enter key on its default button

private:
    void findOpenBoxes()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr || !box->isVisible() ||
                std::find(seen_.begin(), seen_.end(), box) != seen_.end())
                continue;
            seen_.emplace_back(box);
            QMetaObject::invokeMethod(
                box,
                [this, box] {
                    captions << box->windowTitle();
                    texts << box->text();
                    if (byKeys) {
                        QTest::keyClick(box->focusWidget() != nullptr ? box->focusWidget() : box,
                                        Qt::Key_Return);
                        return;
                    }
                    const bool question = box->button(QMessageBox::Yes) != nullptr;
                    const auto press = decide_    ? decide_(*box)
                                       : question ? QMessageBox::Yes
                                                  : QMessageBox::Ok;
                    if (press != QMessageBox::NoButton) // NoButton: left open
                        box->done(press);
                },
                Qt::QueuedConnection);
        }
    }
    Decide decide_;
    std::vector<QPointer<QMessageBox>> seen_;
    QTimer timer_;
};

} // namespace kestrel::testing
