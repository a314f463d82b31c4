#pragma once
// From a click on the board to a move, and on to the end of the game.

#include <cstdint>

#include "engine/game.h"

namespace kestrel {

// A left-button press at client point (x, y). Plays the local player's move
// if it is the player's turn and the cell is legal; in a network match sends
// it to the opponent, against the computer runs the computer's replies,
// passes and the end of the game before returning. Anything else is ignored
// without a message.
void onBoardClick(Game& game, std::uint16_t x, std::uint16_t y);

// The local player's move at cell k, exactly as a click on that cell makes
// it; refused in the same cases, without a message.
void playLocalMove(Game& game, int k);

// Ends the game on the current counts: result text in the status line, the
// win or lose sound for the local side, and the text to the network opponent.
void finishGame(Game& game);

} // namespace kestrel
