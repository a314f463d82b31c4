#pragma once
// Discovery: announcements, the peer list and its connect-dialog mirror.

#include <string>

namespace kestrel {

struct Program;
struct PeerList;
struct Settings;

// "%s$%d" of playerName and dialUp.
std::string announcementPayload(const Settings& settings);
// Sends one message to the broadcast address, the host's other networks'
// broadcast addresses, each extra address and each dial-up peer.
void sendToAll(Program& program, int type, const std::string& payload);
// MSG_HELLO (type 1) and MSG_HELLO_REPLY (type 2).
void onHello(Program& program, int type, const std::string& sender, const std::string& payload);
// MSG_BYE.
void onBye(Program& program, const std::string& sender);
// Row whose address equals `address` byte for byte, or -1.
int findPeer(const PeerList& peers, const std::string& address);

} // namespace kestrel
