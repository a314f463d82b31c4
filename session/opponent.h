#pragma once
// Who the match is with. The messages of a game (types 11-21) change the
// game only when they come from the network opponent.

#include <string>

#include "engine/match_state.h"

namespace kestrel {

// Connected to a player on the network, not to the computer (the answer to
// our request may still be awaited).
inline bool inNetworkMatch(const MatchState& match)
{
    return match.connected == 1 && match.vsComputer == 0;
}

// The sender is the network opponent. Outside a network match nobody is.
inline bool isOpponent(const MatchState& match, const std::string& sender)
{
    return inNetworkMatch(match) && match.peerAddress == sender;
}

} // namespace kestrel
