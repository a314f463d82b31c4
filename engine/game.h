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

struct Game {
    MatchState& match;
    GameView& view;
    PeerLink& link;
};

} // namespace kestrel
