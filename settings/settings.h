#pragma once
// What the player sets once and keeps between runs, plus the paths of the
// program's files.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

struct Settings {
    static constexpr int kMaxAddresses = 1000;
    std::string playerName; // Shift-JIS, at most 63 bytes
    std::int32_t port = 20000;
    std::int32_t dialUp = 0;
    std::vector<std::string> extraAddresses; // at most 1000 rows of at most 15 bytes
    std::string loginUserName;               // at most 63 bytes; empty when not obtained

    std::string exePath;
    std::string exeDirectory; // ends in the path separator
    // The two files lie together: beside the executable, or in the user's
    // configuration folder when the executable's folder cannot hold them.
    std::string settingsFilePath; // <folder>/lumenini.fil
    std::string addressListPath;  // <folder>/lumenip.fil
};

} // namespace kestrel
