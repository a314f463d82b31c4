#pragma once
// The headless peer's screen and dialog: everything the program would show
// becomes one line on stdout, out before the peer waits for anything, so a
// test can follow it live.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "engine/game_view.h"
#include "session/ports.h"

namespace kestrel::peer {

// Shift-JIS bytes as one printable UTF-8 line: CR, LF, backslash and other
// control bytes are escaped (\r, \n, \\, \xNN).
std::string printable(std::string_view cp932);

// Writes one line to stdout and flushes it (see flushLinesWhenIdle).
void printLine(const std::string& line);

// From now on lines are written in one go whenever the event loop is about
// to wait, instead of one system call each: a test still reads every line
// before the peer waits for anything. Needs the application's event loop.
void flushLinesWhenIdle();

// From now on every line begins with CLOCK_MONOTONIC in microseconds and a
// space, so that the logs of two peers on one machine can be laid side by side.
void beginLinesWithClock();

class TextView : public GameView {
public:
    void layoutBoard() override {}
    void showCell(int cell, int state) override;
    void showFlip(int cell, int side) override;
    void showCounts(int black, int white) override;
    void setStatus(const std::string& text) override;
    void showNotice(const std::string& text) override;
    void playSound(Sound) override {}
    int cellAt(int, int) const override { return -1; }
    // Nothing is animated without a screen, so there is nothing to wait for.
    void pause(int) override {}
    // The peer asks for no hint and has no screen reader to tell.
    void showHintMark(int) override {}
    void announce(const std::string&) override {}
    // Nor does it undo, replay or mark moves: BOARD lines show the board.
    void showPosition(const Board&) override {}
    void showMoveMarks(const MoveMarks&) override {}
};

class ScriptedDialog : public Dialog {
public:
    explicit ScriptedDialog(std::deque<bool> answers) : answers_(std::move(answers)) {}

    void enable(int id, bool on) override { enabled_[id] = on; }
    void setChecked(int id, bool on) override { checked_[id] = on; }
    bool isChecked(int id) const override;
    void setText(int id, const std::string& text) override;
    std::string text(int id) const override;
    void appendText(int id, const std::string& text) override;
    void focus(int) override {}
    void restoreIfMinimised() override {}
    void bringToFront() override {}
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showInformation(const std::string& text) override;
    // Its boxes are lines: none stays open. No clipboard either.
    bool boxOpen() const override { return false; }
    void copyText(const std::string&) override {}

    // When set, answers every question instead of the scripted answers.
    std::function<bool(const std::string&)> answerQuestion;

private:
    std::deque<bool> answers_;
    std::map<int, bool> enabled_;
    std::map<int, bool> checked_;
    std::map<int, std::string> texts_;
};

} // namespace kestrel::peer
