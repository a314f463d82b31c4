#pragma once
// The one record of the game and the connection. Every handler reads and
// writes it directly; the program holds exactly one (inside Program).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// Content of one cell; the numbers double as side numbers and travel on the wire.
enum CellState : std::uint8_t { kEmpty = 0, kBlack = 1, kWhite = 2 };

// A player colour: 1 black, 2 white. The opponent of s is 3 - s.
using Side = int;

constexpr int kCellCount = 64;

// Row-major: index = row * 8 + column, row 0 at the top as the local player sees it.
using Board = std::array<CellState, kCellCount>;

struct MatchState {
    Board board{};
    std::array<int, 8> flipRuns{}; // per direction, pieces the last countFlips found to turn
    int blackCount = 0;
    int whiteCount = 0;
    Side mySide = 0;
    int myTurn = 0; // 1 while a click on the board may make a move
    int vsComputer = 0;
    int connected = 0;
    int orderDecided = 0;
    int socketFailed = 0;
    std::string opponentName;     // Shift-JIS, at most 63 bytes
    std::string peerAddress;      // dotted decimal, at most 15 bytes
    std::int32_t nextSeq = 0;     // last sequence number used
    std::string broadcastAddress; // dotted decimal, at most 15 bytes
    // The directed broadcasts of the host's other running networks, announced
    // to right after broadcastAddress; empty on a host with one network.
    std::vector<std::string> otherBroadcastAddresses;
    int dialogAccepted = 0;
    // Seq of the MSG_CONNECT_REQUEST waiting for its answer, 0 when none. The
    // answer names it in its payload: an answer to an older or a foreign
    // request must not make or end a connection.
    std::int32_t connectRequestSeq = 0;
    // In a network match: the board as it stood after the local move was sent,
    // until that move's MSG_MOVE_ACK arrives (onMoveAck resets it). Clicks are
    // refused meanwhile, since a second move would put the boards out of step.
    // A board that has changed since (the opponent's move, a new game) ends the
    // wait as well. myTurn keeps its meaning.
    std::optional<Board> moveAwaitingAck;
};

} // namespace kestrel
