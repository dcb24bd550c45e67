#include "about/VersionText.h"

namespace vx {

std::string VersionText(int major, int minor, int revision)
{
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

std::string ProgramVersionText()
{
    return VersionText(VELMORAX_VERSION_MAJOR, VELMORAX_VERSION_MINOR, VELMORAX_VERSION_PATCH);
}

} // namespace vx
