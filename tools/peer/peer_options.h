#pragma once
// Command line of the headless peer, and the guard that keeps it off the
// machine's real network.

#include <QStringList>
#include <deque>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace kestrel::peer {

struct PeerOptions {
    std::string name; // Shift-JIS, at most 63 bytes
    int port = kStandardPort;
    bool dialUp = false;
    std::vector<std::string> extraAddresses;
    std::string bindAddress; // empty: every IPv4 address of this host
    int quitAfterMs = -1;    // -1: run until SIGTERM
    bool log = false;
    bool clock = false;       // each line begins with the monotonic clock in microseconds
    int timeDivisor = 1;      // retry intervals divided by this (tests over lossy links)
    std::deque<bool> answers; // answers to questions, in order; then No
};

// True for dotted text in 127.0.0.0/8.
bool isLoopbackAddress(const std::string& text);

// Reads the arguments (argv[0] first). False with a reason on bad input.
bool parsePeerOptions(const QStringList& arguments, PeerOptions& options, std::string& error);

// Why the peer must not start here, or empty when it may. Without the
// namespace flag it must be bound to a loopback address and send only to
// loopback; with it, it must really be in a network namespace of its own.
std::string startRefusal(const PeerOptions& options, bool namespaceFlag, bool inSeparateNamespace);

// True when this process's network namespace differs from the machine's own,
// that of init (PID 1), or of the kernel's threads where init's cannot be
// read: a namespace test started it, directly with `ip netns exec` or from a
// shell inside the namespace.
bool inSeparateNetworkNamespace();

} // namespace kestrel::peer
