#pragma once
// Reliable datagrams that still wait for their answer.

#include <array>
#include <cstdint>
#include <string>

namespace kestrel {

struct PendingMessage {
    std::int32_t seq = 0; // 0 marks a free slot
    std::int32_t type = 0;
    std::string payload; // at most 999 bytes
};

struct PendingTable {
    static constexpr int kSlots = 1000;
    std::array<PendingMessage, kSlots> slots{};
};

} // namespace kestrel
