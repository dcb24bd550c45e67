#include "app/SessionPlatform.h"

#include <cstdlib>
#include <string_view>

namespace vx {

std::string PlatformForSession(const SessionEnvironment& session)
{
    // An empty variable is as good as none: Qt itself ignores an empty platform name, and an empty
    // display names no server.
    if (!session.chosenPlatform.empty() || session.platformArgument)
        return {};
    if (session.waylandDisplay.empty() || session.x11Display.empty())
        return {};
    return "xcb;wayland";
}

SessionEnvironment SessionFromEnvironment(int argc, const char* const* argv)
{
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    return {variable("WAYLAND_DISPLAY"), variable("DISPLAY"), variable("QT_QPA_PLATFORM"), NamesPlatform(argc, argv)};
}

bool NamesPlatform(int argc, const char* const* argv)
{
    // Qt reads its options up to the end of the list, and the last one needs a value after it.
    for (int i = 1; i + 1 < argc; ++i) {
        if (!argv[i])
            break;
        const std::string_view arg(argv[i]);
        if (arg == "-platform" || arg == "--platform")
            return true;
    }
    return false;
}

} // namespace vx
