#include "platform/qt_timers.h"

#include <QTimer>

namespace kestrel {

QtTimers::QtTimers(std::function<void(int id)> onExpiry, Mode mode, QObject* parent)
    : QObject(parent), onExpiry_(std::move(onExpiry)), mode_(mode)
{
}

QtTimers::~QtTimers() = default; // the QTimers are children and go with this object

void QtTimers::start(int id, int ms)
{
    QTimer*& timer = timers_[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        timer->setSingleShot(mode_ == Mode::SingleShot);
        // The interval is part of the behaviour: a coarse timer may fire 5 %
        // early, and a retry question must not come before its 5 seconds (nor
        // the connect dialog's refresh window end before its 30).
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { expire(id); });
    }
    // start() on a running timer restarts it with the new interval.
    timer->start(ms / divisor_);
}

void QtTimers::stop(int id)
{
    // Identifiers are sequence numbers and never come back, so a stopped
    // timer is freed rather than kept. Later, because stop() may come from
    // inside the timer's own expiry.
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

bool QtTimers::isRunning(int id) const
{
    return timers_.count(id) != 0;
}

int QtTimers::runningCount() const
{
    return static_cast<int>(timers_.size());
}

void QtTimers::expire(int id)
{
    if (mode_ == Mode::SingleShot)
        stop(id);
    if (onExpiry_)
        onExpiry_(id);
}

} // namespace kestrel
