#pragma once
// One program record on the recording fakes: a "machine" for tests and
// benchmarks that runs the logic without a display, a network or a clock.

#include "fakes/fake_platform.h"
#include "fakes/fake_view.h"
#include "net/program.h"

namespace kestrel::testing {

struct FakeMachine {
    FakeMachine() = default;
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;

    FakeView view;
    FakeDialog dialog;
    FakeTransport transport;
    FakeTimers timers;
    Program program{view, dialog, transport, timers};
};

}  // namespace kestrel::testing
