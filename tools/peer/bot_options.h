#pragma once
// The headless peer's options for playing as a bot.

#include <string>
#include <vector>

#include "tools/peer/bot.h"

namespace kestrel {

struct BotSetup {
    bool enabled = false; // any bot option given
    BotOptions options;
    int nudgeMs = 0; // ask again after this much silence; 0: never
};

// Takes the bot's options out of the arguments (argv[0] first) and leaves
// the others for the peer's own parser. False with a reason on a bad value.
bool takeBotOptions(std::vector<std::string>& arguments, BotSetup& setup, std::string& error);

} // namespace kestrel
