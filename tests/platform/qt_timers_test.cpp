#include "platform/qt_timers.h"

#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace kestrel {
namespace {

constexpr int kWaitMs = 5000;

TEST(QtTimers, ARepeatingTimerFiresUntilStoppedAndStopIsSafeAnyTime)
{
    std::vector<int> fired;
    QtTimers timers([&](int id) { fired.push_back(id); });
    timers.stop(99); // never started
    timers.start(7, 1);
    EXPECT_TRUE(timers.isRunning(7));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired.size() >= 2; }, kWaitMs));
    EXPECT_EQ(fired[0], 7);
    EXPECT_EQ(fired[1], 7);

    timers.stop(7);
    timers.stop(7);
    EXPECT_FALSE(timers.isRunning(7));
    EXPECT_EQ(timers.runningCount(), 0);
}

TEST(QtTimers, StoppingFromTheExpiryCallbackFiresOnceAndFreesTheTimer)
{
    std::vector<int> fired;
    QtTimers* self = nullptr;
    QtTimers timers([&](int id) {
        fired.push_back(id);
        self->stop(id); // the retry handler stops its timer first
    });
    self = &timers;
    timers.start(3, 1);
    timers.start(4, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired.size() == 2; }, kWaitMs));
    EXPECT_EQ(timers.runningCount(), 0);
    std::sort(fired.begin(), fired.end());
    EXPECT_EQ(fired, (std::vector<int>{3, 4}));
}

TEST(QtTimers, StartingARunningIdReplacesItsInterval)
{
    std::vector<int> fired;
    QtTimers timers([&](int id) { fired.push_back(id); }, QtTimers::Mode::SingleShot);
    timers.start(5, 3600 * 1000);
    timers.start(5, 1);
    EXPECT_EQ(timers.runningCount(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fired.empty(); }, kWaitMs));
    EXPECT_EQ(fired, std::vector<int>{5});
    // A single-shot timer is done after its one expiry.
    EXPECT_FALSE(timers.isRunning(5));
    EXPECT_EQ(timers.runningCount(), 0);
}

TEST(QtTimers, AStoppedTimerNeverFires)
{
    std::vector<int> fired;
    QtTimers timers([&](int id) { fired.push_back(id); });
    timers.start(1, 1);
    timers.start(2, 1);
    timers.stop(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired.size() >= 3; }, kWaitMs));
    for (int id : fired)
        EXPECT_EQ(id, 2);
}

// A coarse timer may fire up to 5 % early: a retry question at 4.75 s
// instead of 5 s. Every timer, either mode, is a precise one.
TEST(QtTimers, RetryTimersArePrecise)
{
    for (const auto mode : {QtTimers::Mode::Repeating, QtTimers::Mode::SingleShot}) {
        QtTimers timers([](int) {}, mode);
        timers.start(1, 5000);
        timers.start(2, 5000);
        const QList<QTimer*> created = timers.findChildren<QTimer*>();
        ASSERT_EQ(created.size(), 2);
        for (const QTimer* timer : created) {
            EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
            EXPECT_EQ(timer->interval(), 5000);
            EXPECT_TRUE(timer->isActive());
        }
    }
}

} // namespace
} // namespace kestrel
