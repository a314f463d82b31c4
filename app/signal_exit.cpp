#include "app/signal_exit.h"

#include <QCoreApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kestrel {
namespace {

int pipeEnds[2] = {-1, -1};
std::function<void()> action;

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

void installOnce()
{
    if (pipeEnds[0] >= 0)
        return;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    // Lives as long as the application object.
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char buffer[16];
        while (::read(pipeEnds[0], buffer, sizeof buffer) > 0) {
        }
        if (action)
            action();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        sigaction(sig, &sa, nullptr);
}

} // namespace

void runOnTerminationSignal(std::function<void()> onSignalAction)
{
    installOnce();
    action = std::move(onSignalAction);
}

void closeOnTerminationSignal(QDialog* box)
{
    QPointer<QDialog> guarded(box);
    runOnTerminationSignal([guarded] {
        if (guarded)
            guarded->done(0);
    });
}

} // namespace kestrel
