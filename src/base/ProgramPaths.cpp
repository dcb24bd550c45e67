#include "base/ProgramPaths.h"

namespace vx {

std::string WithTrailingSeparator(std::string dir)
{
#ifdef _WIN32
    constexpr char kSeparator = '\\';
    const bool endsWithSeparator = !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
#else
    constexpr char kSeparator = '/';
    const bool endsWithSeparator = !dir.empty() && dir.back() == '/';
#endif
    if (!endsWithSeparator)
        dir += kSeparator;
    return dir;
}

} // namespace vx
