#include "platform/display.h"

#include <algorithm>
#include <cctype>

namespace kestrel {
namespace {

std::string lowerCase(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

} // namespace

std::vector<std::string> platformsTried(const DisplayEnvironment& env)
{
    if (env.qpaPlatform.empty()) {
        if (!env.waylandDisplay.empty() || env.sessionType == "wayland")
            return {"wayland", "xcb"};
        return {"xcb"};
    }
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= env.qpaPlatform.size()) {
        std::size_t end = env.qpaPlatform.find(';', start);
        if (end == std::string::npos)
            end = env.qpaPlatform.size();
        const std::string entry = env.qpaPlatform.substr(start, end - start);
        const std::string name = lowerCase(entry.substr(0, entry.find(':')));
        if (!name.empty())
            names.push_back(name);
        start = end + 1;
    }
    return names;
}

DisplayCheck checkDisplay(const DisplayEnvironment& env,
                          const std::function<bool(const std::string& display)>& xDisplayAnswers)
{
    // An empty list is the library's own failure, caught as it happens.
    DisplayCheck result = DisplayCheck::Usable;
    for (const std::string& platform : platformsTried(env)) {
        if (platform != "xcb")
            return DisplayCheck::Usable;
        if (env.display.empty()) {
            if (result == DisplayCheck::Usable)
                result = DisplayCheck::NoDisplay;
            continue;
        }
        if (xDisplayAnswers(env.display))
            return DisplayCheck::Usable;
        result = DisplayCheck::Unreachable;
    }
    return result;
}

std::string displayProblemText(DisplayCheck check, const DisplayEnvironment& env)
{
    switch (check) {
    case DisplayCheck::Usable:
        return "";
    case DisplayCheck::NoDisplay:
        return "no graphical display (DISPLAY is not set); start the program from a desktop session";
    case DisplayCheck::Unreachable:
        return "cannot open the display \"" + env.display + "\" (no X server accepted the connection)";
    }
    return "";
}

} // namespace kestrel
