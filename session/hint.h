#pragma once
// "ヒント" of the board's context menu: on the player's turn, against the
// computer or in a network game, the move the strongest level would play
// blinks on the board and is said to screen readers. Nothing moves and
// nothing is sent. The thinking runs on the computer's thread for one
// second while the window goes on; a hint whose position has gone by then
// (a move, a new game) is dropped.

namespace kestrel {

struct Program;

// The hint's timer; the retry timers are named by sequence numbers, from 1 up.
inline constexpr int kHintTimer = -1;
// As long as the strongest level thinks about a move of its own.
inline constexpr int kHintThinkingMs = 1000;
// The blink: the mark shown, taken away, shown again and taken away.
inline constexpr int kHintBlinks = 2;
inline constexpr int kHintMarkMs = 250;
inline constexpr int kHintGapMs = 150;

// True on the player's turn with a move to make (not while the own move
// waits for its answer in a network game).
bool hintOffered(const Program& program);

// Starts the thinking and the hint's timer; does nothing when no hint is offered.
void hintCommand(Program& program);

// The hint's timer has expired: the blink and its announcement
// ("ヒント：3行4列"), unless the position asked about is gone.
void onHintTimer(Program& program);

} // namespace kestrel
