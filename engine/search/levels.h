#pragma once
// The computer's levels of play. Level 0 is the program's own computer
// player, looking one move ahead; the others search. Names are UTF-8.

#include <array>
#include <chrono>
#include <optional>
#include <string_view>

#include "engine/search/engine.h"

namespace kestrel::search {

struct Level {
    int number;
    std::string_view name; // UTF-8; the program converts it for its window
    SearchLimits limits;   // unused for level 0
    bool searches() const { return number > 0; }
    // Depth-bounded levels give the same move on the same position every time.
    bool deterministic() const { return !limits.time; }
};

// The computer's turn pauses this long; the strongest level thinks throughout.
inline constexpr std::chrono::milliseconds kTurnPause{1000};

inline constexpr std::array<Level, 4> kLevels{{
    {0, "標準", {.depth = 0, .exactEmpties = 0, .winLossDrawFirst = false, .time = std::nullopt}},
    {1, "中級", {.depth = 2, .exactEmpties = 8, .winLossDrawFirst = false, .time = std::nullopt}},
    {2, "上級", {.depth = 6, .exactEmpties = 14, .winLossDrawFirst = false, .time = std::nullopt}},
    {3, "達人", {.depth = 60, .exactEmpties = 22, .winLossDrawFirst = true, .time = kTurnPause}},
}};

inline constexpr int kDefaultLevel = 0;
inline constexpr int kStrongestLevel = static_cast<int>(kLevels.size()) - 1;

constexpr bool isLevel(int number)
{
    return number >= 0 && number <= kStrongestLevel;
}

// The level of that number; isLevel(number) must hold.
constexpr const Level& levelAt(int number)
{
    return kLevels[static_cast<std::size_t>(number)];
}

} // namespace kestrel::search
