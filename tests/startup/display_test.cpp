// Whether a start can open its display: the platforms the window system
// library tries for an environment, and which of them are tried for an X
// connection before it starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup/display.h"

using namespace kestrel;

namespace {

struct Case {
    DisplayEnvironment env;
    std::vector<std::string> platforms;
    bool xAnswers;
    DisplayCheck expected;
    std::vector<std::string> asked; // displays an X connection was tried on
};

} // namespace

TEST(Display, DecidedFromThePlatformsTriedBeforeTheLibraryStarts)
{
    using D = DisplayCheck;
    const std::vector<Case> cases = {
        // qpaPlatform, sessionType, waylandDisplay, display
        {{"", "", "", ":0"}, {"xcb"}, true, D::Usable, {":0"}},
        {{"", "", "", ":8"}, {"xcb"}, false, D::Unreachable, {":8"}},
        {{"", "", "", ""}, {"xcb"}, true, D::NoDisplay, {}},
        {{"", "x11", "", ""}, {"xcb"}, true, D::NoDisplay, {}},
        {{"", "tty", "", "host:1"}, {"xcb"}, false, D::Unreachable, {"host:1"}},
        // A Wayland compositor comes first; whether it answers is the library's affair.
        {{"", "wayland", "", ""}, {"wayland", "xcb"}, false, D::Usable, {}},
        {{"", "", "wayland-0", ":8"}, {"wayland", "xcb"}, false, D::Usable, {}},
        {{"", "x11", "wayland-0", ""}, {"wayland", "xcb"}, false, D::Usable, {}},
        // QT_QPA_PLATFORM decides alone; options after ':' and case do not matter.
        {{"offscreen", "", "", ""}, {"offscreen"}, false, D::Usable, {}},
        {{"xcb", "wayland", "wayland-0", ":8"}, {"xcb"}, false, D::Unreachable, {":8"}},
        {{"XCB:dpi=96", "", "", ":0"}, {"xcb"}, true, D::Usable, {":0"}},
        {{"xcb;offscreen", "", "", ":8"}, {"xcb", "offscreen"}, false, D::Usable, {":8"}},
        {{"xcb;;xcb:x=1", "", "", ""}, {"xcb", "xcb"}, true, D::NoDisplay, {}},
        {{"nonesuch", "", "", ""}, {"nonesuch"}, false, D::Usable, {}},
        {{";:", "", "", ":8"}, {}, false, D::Usable, {}},
    };
    for (const Case& c : cases) {
        const std::string label = "'" + c.env.qpaPlatform + "' '" + c.env.sessionType + "' '" +
                                  c.env.waylandDisplay + "' '" + c.env.display + "'";
        EXPECT_EQ(platformsTried(c.env), c.platforms) << label;
        std::vector<std::string> asked;
        const DisplayCheck check = checkDisplay(c.env, [&](const std::string& display) {
            asked.push_back(display);
            return c.xAnswers;
        });
        EXPECT_EQ(check, c.expected) << label;
        EXPECT_EQ(asked, c.asked) << label;
        EXPECT_EQ(displayProblemText(check, c.env).empty(), check == D::Usable) << label;
    }
    EXPECT_NE(displayProblemText(D::Unreachable, {"", "", "", ":8"}).find("\":8\""), std::string::npos);
}
