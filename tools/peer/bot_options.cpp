#include "tools/peer/bot_options.h"

#include <algorithm>
#include <charconv>

#include "engine/search/levels.h"
#include "text/cp932.h"
#include "wire/address.h"

namespace kestrel {

namespace {

bool readCount(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 0;
}

// One option with its value (if it takes one); false with a reason.
bool apply(const std::string& name, const std::string& value, BotSetup& setup, std::string& error)
{
    BotOptions& o = setup.options;
    Ipv4 address = 0;
    if (name == "--request") {
        o.request = value;
        if (parseDottedAddress(value, address))
            return true;
        error = "--request takes a dotted IPv4 address";
    } else if (name == "--order") {
        if (value == "black" || value == "white" || value == "wait") {
            o.order = value == "black"   ? BotOptions::Order::Black
                      : value == "white" ? BotOptions::Order::White
                                         : BotOptions::Order::Wait;
            return true;
        }
        error = "--order takes black, white or wait";
    } else if (name == "--then") {
        if (value == "quit" || value == "disconnect") {
            o.then = value == "quit" ? BotOptions::Then::Quit : BotOptions::Then::Disconnect;
            return true;
        }
        error = "--then takes quit or disconnect";
    } else if (name == "--games" || name == "--end-after" || name == "--nudge") {
        int& target = name == "--games" ? o.games : name == "--end-after" ? o.endAfterMoves : setup.nudgeMs;
        if (readCount(value, target))
            return true;
        error = name + " takes a number, 0 or more";
    } else if (name == "--level") {
        if (readCount(value, o.level) && search::isLevel(o.level))
            return true;
        error = "--level takes a level from 0 to " + std::to_string(search::kStrongestLevel);
    } else if (name == "--chat-reply") {
        o.chatReply = toCp932(value);
        return true;
    }
    return false;
}

} // namespace

bool takeBotOptions(std::vector<std::string>& arguments, BotSetup& setup, std::string& error)
{
    static const std::vector<std::string> kFlags = {"--bot", "--refuse", "--no-resend", "--restart",
                                                    "--retry"};
    static const std::vector<std::string> kValued = {"--request",   "--order", "--then",       "--games",
                                                     "--end-after", "--nudge", "--chat-reply", "--level"};
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        const std::size_t equals = arg.find('=');
        const std::string name = i > 0 ? arg.substr(0, equals) : std::string();
        if (std::find(kFlags.begin(), kFlags.end(), name) != kFlags.end() && equals == std::string::npos) {
            setup.enabled = true;
            setup.options.acceptRequests = setup.options.acceptRequests && name != "--refuse";
            setup.options.resend = setup.options.resend && name != "--no-resend";
            setup.options.restart = setup.options.restart || name == "--restart";
            setup.options.retry = setup.options.retry || name == "--retry";
            continue;
        }
        if (std::find(kValued.begin(), kValued.end(), name) == kValued.end()) {
            rest.push_back(arg);
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = name + " needs a value";
            return false;
        }
        setup.enabled = true;
        if (!apply(name, value, setup, error))
            return false;
    }
    arguments = rest;
    return true;
}

} // namespace kestrel
