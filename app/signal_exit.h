#pragma once
// Termination signals (SIGTERM at shut-down, SIGHUP at log-off, SIGINT)
// turned into a call on the event loop, so that the program ends through
// its own Exit command instead of dying mid-way.

#include <functional>

class QDialog;

namespace kestrel {

// From now on each of these signals runs `onSignal` from the event loop.
// A later call replaces the earlier action.
void runOnTerminationSignal(std::function<void()> onSignal);

// While `box` is open, a termination signal closes it.
void closeOnTerminationSignal(QDialog* box);

} // namespace kestrel
