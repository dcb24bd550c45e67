#pragma once

#include <string>

namespace vx {

// The folder's path with exactly one separator at its end: a folder that already ends
// with one (a drive or file-system root) is left as it is.
std::string WithTrailingSeparator(std::string dir);

} // namespace vx
