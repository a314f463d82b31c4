#pragma once
// The main window's timers by identifier on QTimer. Each expiry calls one
// callback with the identifier; the main window hands it to onRetryTimer.

#include <QObject>
#include <functional>
#include <map>
#include <memory>

#include "session/ports.h"

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

    void start(int id, int ms) override;
    void stop(int id) override;
    bool isRunning(int id) const;
    int runningCount() const;

    // Divides every interval started from now on. Tests over a lossy link use
    // it to ask about resends sooner, as the board view's pause function
    // shortens animations; the program never does.
    void setIntervalDivisor(int divisor) { divisor_ = divisor > 0 ? divisor : 1; }

private:
    void expire(int id);

    std::function<void(int id)> onExpiry_;
    Mode mode_;
    int divisor_ = 1;
    std::map<int, QTimer*> timers_;
};

} // namespace kestrel
