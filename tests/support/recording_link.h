#pragma once
// A PeerLink that records what would go to the opponent into the fake view's
// call log, so tests can check its order against the animations.

#include <functional>
#include <string>

#include "engine/game.h"
#include "tests/support/fake_view.h"

namespace kestrel::testing {

class RecordingLink : public PeerLink {
public:
    explicit RecordingLink(FakeView& view) : view_(view) {}

    int sent = 0; // calls of either kind
    // Runs inside sendMove, as the events handled under a failed send's error box.
    std::function<void()> whileSending;

    void sendMove(int cell) override
    {
        ++sent;
        view_.calls.push_back({"sendMove", cell, 0, "", view_.now});
        if (whileSending)
            whileSending();
    }
    void sendResult(const std::string& text) override
    {
        ++sent;
        view_.calls.push_back({"sendResult", 0, 0, text, view_.now});
    }

private:
    FakeView& view_;
};

// A view that shows nothing and never pauses.
class NullView : public GameView {
public:
    void layoutBoard() override {}
    void showCell(int, int) override {}
    void showFlip(int, int) override {}
    void showCounts(int, int) override {}
    void setStatus(const std::string&) override {}
    void showNotice(const std::string&) override {}
    void playSound(Sound) override {}
    int cellAt(int x, int y) const override
    {
        const int col = (x - 10) / 34, row = (y - 25) / 34;
        return x >= 10 && y >= 25 && col < 8 && row < 8 ? row * 8 + col : -1;
    }
    void pause(int) override {}
    void showHintMark(int) override {}
    void announce(const std::string&) override {}
    void showPosition(const Board&) override {}
    void showMoveMarks(const MoveMarks&) override {}
};

class NullLink : public PeerLink {
public:
    void sendMove(int) override {}
    void sendResult(const std::string&) override {}
};

} // namespace kestrel::testing
