#pragma once
// One program record on the recording fakes: a "machine" for tests and
// benchmarks that runs the logic without a display, a network or a clock.

#include <cstdint>

#include "engine/turn_flow.h"
#include "session/control_ids.h"
#include "session/program.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fake_view.h"

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

    // The player's click on cell k, through the board's hit test.
    void click(int k)
    {
        Game game = program.game();
        onBoardClick(game, static_cast<std::uint16_t>(view.xOf(k)), static_cast<std::uint16_t>(view.yOf(k)));
    }
    // The order's radio buttons as the player leaves them for `side`.
    void choose(Side side)
    {
        dialog.checked[ids::kFirstBlack] = side == kBlack;
        dialog.checked[ids::kSecondWhite] = side != kBlack;
    }
};

} // namespace kestrel::testing
