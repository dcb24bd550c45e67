#include "app/SessionPlatform.h"

#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

TEST(SessionPlatform, AWaylandSessionWithXWaylandGoesThroughItUnlessTheUserChose)
{
    struct Case {
        SessionEnvironment session;
        const char* platform;
    };
    const Case cases[] = {
        {{"wayland-0", ":0", "", false}, "xcb;wayland"},
        // Only one window system: Qt's own choice is the only one.
        {{"wayland-0", "", "", false}, ""},
        {{"", ":0", "", false}, ""},
        {{"", "", "", false}, ""},
        // The user's choice stands, from the environment or from the command line.
        {{"wayland-0", ":0", "wayland", false}, ""},
        {{"wayland-0", ":0", "xcb", false}, ""},
        {{"wayland-0", ":0", "", true}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlatformForSession(c.session), c.platform)
            << "WAYLAND_DISPLAY='" << c.session.waylandDisplay << "' DISPLAY='" << c.session.x11Display
            << "' QT_QPA_PLATFORM='" << c.session.chosenPlatform << "' argument " << c.session.platformArgument;
}

TEST(SessionPlatform, APlatformOptionCountsOnlyWithItsValueAfterIt)
{
    struct Case {
        std::vector<const char*> argv;
        bool names;
    };
    const Case cases[] = {
        {{"velmorax"}, false},
        {{"velmorax", "-platform", "wayland"}, true},
        {{"velmorax", "--platform", "xcb"}, true},
        {{"velmorax", "-style", "fusion", "-platform", "xcb"}, true},
        {{"velmorax", "-platform"}, false}, // Qt ignores an option without its value
        {{"velmorax", "-platformpluginpath", "/tmp"}, false},
        {{"velmorax", "platform", "xcb"}, false},
        {{"velmorax", "-platform=xcb"}, false},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = c.argv;
        const int argc = static_cast<int>(argv.size());
        argv.push_back(nullptr);
        EXPECT_EQ(NamesPlatform(argc, argv.data()), c.names) << argc << " arguments, last " << argv[argc - 1];
    }
}

} // namespace
} // namespace vx
