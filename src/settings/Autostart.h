#pragma once

// Starting with the desktop: an XDG autostart entry, $XDG_CONFIG_HOME/autostart/velmorax.desktop,
// that starts the program by its absolute path. The entry itself is the setting: it is on while
// the file exists.

#include "base/FileAccess.h"

#include <string>

namespace vx {

// Whether the desktop starts programs from XDG autostart entries: not on Windows or macOS, which
// keep their own lists.
#if defined(_WIN32) || defined(__APPLE__)
inline constexpr bool kAutostartEntries = false;
#else
inline constexpr bool kAutostartEntries = true;
#endif

// The entry's path under the user's configuration folder (XDG_CONFIG_HOME).
std::string AutostartEntryPath(const std::string& configHome);

// The program's path as one argument of a desktop entry's Exec key: quoted when it holds a
// character the key reserves, "%" doubled, and written with the escapes of the entry's strings.
std::string DesktopExecArgument(const std::string& path);

// The whole entry for the program at that path.
std::string AutostartEntryText(const std::string& programPath);

bool AutostartEntryExists(const std::string& configHome);

// Writes the entry (the autostart folder made when missing), replacing an old one at once.
FileResult WriteAutostartEntry(const std::string& configHome, const std::string& programPath);

// Removes the entry; true when none is left.
bool RemoveAutostartEntry(const std::string& configHome);

} // namespace vx
