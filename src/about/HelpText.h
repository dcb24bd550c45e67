#pragma once

#include <string>

namespace vx {

// The old help file the command opens first, when it lies beside the program and the desktop
// can open it.
inline constexpr const char* kHelpFileName = "Velmorax.hlp";

// The message shown when neither the help file nor the help page could be opened. It names the
// page, so the user can open it by hand; pageExists tells a missing page from one that no
// program on the desktop would open.
std::string HelpNotOpenedMessage(const std::string& pagePath, bool pageExists);

} // namespace vx
