#pragma once

#include <string>

namespace vx {

// The about box's version line: "Version " and the three numbers as plain decimals joined by
// dots, with no leading zeros ("Version 1.1.68").
std::string VersionText(int major, int minor, int revision);

// The version line of this build, from the version numbers the build files keep.
std::string ProgramVersionText();

} // namespace vx
