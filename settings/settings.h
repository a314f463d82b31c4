#pragma once
// What the player sets once and keeps between runs, plus the paths of the
// program's files.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

// The player's name in Shift-JIS bytes: the settings file's field of 64
// bytes holds it with its terminating zero, and every name taken from the
// network or the login is cut to the same.
constexpr std::size_t kMaxNameBytes = 63;
// An extra address: a record of 16 bytes of the address list file, with its zero.
constexpr std::size_t kMaxAddressBytes = 15;
// The UDP port: the standard one, and the range a player may choose from.
constexpr std::int32_t kStandardPort = 20000;
constexpr std::int32_t kLowestPort = 1000;
constexpr std::int32_t kHighestPort = 30000;

struct Settings {
    static constexpr int kMaxAddresses = 1000;
    std::string playerName; // at most kMaxNameBytes
    std::int32_t port = kStandardPort;
    std::int32_t dialUp = 0;
    std::vector<std::string> extraAddresses; // at most 1000 rows of at most kMaxAddressBytes
    std::string loginUserName;               // at most kMaxNameBytes; empty when not obtained

    std::string exePath;
    std::string exeDirectory; // ends in the path separator
    // The two files lie together: beside the executable, or in the user's
    // configuration folder when the executable's folder cannot hold them.
    std::string settingsFilePath; // <folder>/lumenini.fil
    std::string addressListPath;  // <folder>/lumenip.fil
};

} // namespace kestrel
