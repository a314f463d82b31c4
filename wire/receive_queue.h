#pragma once
// Datagrams taken off the socket as soon as they arrive, waiting for the GUI
// thread. The socket is drained by a thread of its own, also while the
// window is blocked by an animation or the computer's pause; the handlers
// still get one datagram at a time, in arrival order, on the GUI thread.
// This is the one place that two threads share, hence the lock.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "wire/address.h"

namespace kestrel {

// What the socket thread hands over: a datagram, a failed read (its error
// number), or a socket that can no longer be waited on.
struct ReceivedItem {
    enum class Kind { Datagram, ReadFailed, SocketFailed };
    Kind kind = Kind::Datagram;
    Ipv4 source = 0;
    std::string bytes;
    int error = 0;
};

class ReceiveQueue {
public:
    // Bound on what waits: a burst of answers from a thousand players fits
    // four times over, while a flood cannot grow the program without limit
    // (at most about 5 MB of the longest datagrams).
    static constexpr std::size_t kMaxItems = 4096;

    // Appends an item; false, and the item is dropped, when the queue is full.
    bool push(ReceivedItem item);
    // Takes the oldest item, if any.
    std::optional<ReceivedItem> pop();
    std::size_t size() const;
    // Items dropped because the queue was full, since the start.
    std::uint64_t dropped() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<ReceivedItem> items_;
    std::uint64_t dropped_ = 0;
};

} // namespace kestrel
