#pragma once
// The main window's timers by identifier on QTimer. Each expiry calls one
// callback with the identifier; the main window hands it to onRetryTimer.

#include <QObject>
#include <functional>
#include <map>
#include <memory>

#include "net/platform.h"

class QTimer;

namespace kestrel {

class QtTimers : public QObject, public Timers {
    Q_OBJECT
public:
    enum class Mode { Repeating, SingleShot };

    // Repeating timers fire every ms until stopped, as window timers do.
    explicit QtTimers(std::function<void(int id)> onExpiry, Mode mode = Mode::Repeating,
                      QObject* parent = nullptr);
    ~QtTimers() override;

    // The kind of QTimer used from now on (coarse by default). Precise
    // timers for intervals that are part of the behaviour.
    void setTimerType(Qt::TimerType type) { timerType_ = type; }

    void start(int id, int ms) override;
    void stop(int id) override;
    bool isRunning(int id) const;
    int runningCount() const;

private:
    void expire(int id);

    std::function<void(int id)> onExpiry_;
    Mode mode_;
    Qt::TimerType timerType_ = Qt::CoarseTimer;
    std::map<int, QTimer*> timers_;
};

} // namespace kestrel
