// Whether a start can open its display: the platforms the window system
// library tries for an environment, and the X displays tried before it starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/display.h"

using namespace kestrel;

TEST(Display, DecidedFromThePlatformsTriedBeforeTheLibraryStarts)
{
    using D = DisplayCheck;
    struct Case {
        DisplayEnvironment env; // QT_QPA_PLATFORM, XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY
        std::vector<std::string> platforms;
        bool xAnswers;
        DisplayCheck expected;
        std::vector<std::string> asked;
    };
    const std::vector<Case> cases = {
        {{"", "", "", ":0"}, {"xcb"}, true, D::Usable, {":0"}},
        {{"", "", "", ":8"}, {"xcb"}, false, D::Unreachable, {":8"}},
        {{"", "x11", "", ""}, {"xcb"}, true, D::NoDisplay, {}},
        // A Wayland compositor comes first; whether it answers is the library's affair.
        {{"", "", "wayland-0", ":8"}, {"wayland", "xcb"}, false, D::Usable, {}},
        {{"", "wayland", "", ""}, {"wayland", "xcb"}, false, D::Usable, {}},
        // QT_QPA_PLATFORM decides alone; options and case do not matter.
        {{"offscreen", "", "", ""}, {"offscreen"}, false, D::Usable, {}},
        {{"XCB:dpi=96", "wayland", "wayland-0", ":8"}, {"xcb"}, false, D::Unreachable, {":8"}},
        {{"xcb;offscreen", "", "", ":8"}, {"xcb", "offscreen"}, false, D::Usable, {":8"}},
        {{";:", "", "", ":8"}, {}, false, D::Usable, {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(platformsTried(c.env), c.platforms) << "case " << i;
        std::vector<std::string> asked;
        EXPECT_EQ(checkDisplay(c.env,
                               [&](const std::string& display) {
                                   asked.push_back(display);
                                   return c.xAnswers;
                               }),
                  c.expected)
            << "case " << i;
        EXPECT_EQ(asked, c.asked) << "case " << i;
    }
}
