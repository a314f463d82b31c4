#pragma once
// What the engine works on: the match record, the view, and the way to the
// opponent in a network match.

#include "engine/game_view.h"
#include "engine/match_state.h"

namespace kestrel {

// How the turn flow reaches the network opponent. Implemented by the
// program record (session/program.h) over sendDatagram.
class PeerLink {
public:
    virtual ~PeerLink() = default;
    // MSG_MOVE with the local cell index, to peerAddress.
    virtual void sendMove(int cell) = 0;
    // MSG_RESULT with the Shift-JIS result text, to peerAddress.
    virtual void sendResult(const std::string& text) = 0;
};

// A computer opponent stronger than the program's own player: it thinks
// during the turn's pause and gives its move when the pause ends. Implemented
// by the program record over the search (session/computer.h).
class ComputerOpponent {
public:
    virtual ~ComputerOpponent() = default;
    // The computer's turn begins, before its pause: starts choosing the move
    // of `side` on `board`. False when the program's own player is to choose
    // this turn (move() is then not asked).
    virtual bool begin(const Board& board, Side side) = 0;
    // The pause is over: the cell to play on the board given to begin().
    virtual int move() = 0;
};

// Where the moves of a game are kept (the program record's game record).
// Implemented by the program record (session/program.h).
class GameLog {
public:
    virtual ~GameLog() = default;
    // `side` has placed a piece at `cell` (of the local board) and every
    // piece it turns stands turned.
    virtual void moved(int cell, Side side) = 0;
    // finishGame has shown the result on the current counts.
    virtual void finished() = 0;
};

struct Game {
    MatchState& match;
    GameView& view;
    PeerLink& link;
    // Null: the program's own player chooses every computer move.
    ComputerOpponent* computer = nullptr;
    // Null: the moves are kept nowhere.
    GameLog* log = nullptr;
};

} // namespace kestrel
