#pragma once
// The players this copy has heard of, keyed by source address.

#include <array>
#include <cstdint>
#include <string>

namespace kestrel {

struct PeerEntry {
    std::string address; // dotted decimal, at most 15 bytes
    std::string name;    // Shift-JIS, at most 63 bytes
    std::int32_t dialUp = 0;
};

struct PeerList {
    static constexpr int kRows = 1000;
    std::array<PeerEntry, kRows> rows{};
    int count = 0; // rows 0..count-1 are in use, in order of first hearing
};

} // namespace kestrel
