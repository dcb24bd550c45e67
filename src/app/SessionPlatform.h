#pragma once

#include <string>

namespace vx {

// What the environment says about the desktop session the program starts in.
struct SessionEnvironment {
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string x11Display;     // DISPLAY
    std::string chosenPlatform; // QT_QPA_PLATFORM
    bool platformArgument = false; // a -platform option on the command line
};

// The window-system plugins to try, in order, for this session; empty leaves the choice to Qt.
// On a Wayland session that also offers XWayland, and where the user has chosen nothing, the
// clock goes through XWayland: a Wayland client can neither place itself nor stay on top, and
// there the window system itself cuts the window round. The native plugin stays as the fall-back for an
// XWayland that will not start.
std::string PlatformForSession(const SessionEnvironment& session);

// This process's environment and arguments.
SessionEnvironment SessionFromEnvironment(int argc, const char* const* argv);

// Whether the arguments choose a window-system plugin (-platform NAME, or --platform NAME, as Qt
// reads them).
bool NamesPlatform(int argc, const char* const* argv);

} // namespace vx
