#include "moon/NewMoonTable.h"

#include "base/FileAccess.h"
#include "moon/MoonRecord.h"
#include "moon/NewMoon.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace vx {

std::string NewMoonTableText(int from, int to, const LocalClockOf& localClock)
{
    std::string text;
    // A lunation or two of margin either side; the local year decides.
    const long long first = NewMoonIndexNear(from) - 2;
    const long long last = NewMoonIndexNear(to + 1) + 2;
    text.reserve(static_cast<std::size_t>(last - first + 1) * 14);
    for (long long k = first; k <= last; ++k) {
        // The clock hour in which the instant falls: whole seconds, rounded down.
        const auto seconds = static_cast<std::int64_t>(std::floor(UnixSecondsFromJd(NewMoonJdUt(k))));
        const ClockReading local = localClock(seconds);
        if (local.year < from || local.year > to)
            continue;
        text += FormatMoonRecord(local.year, local.month, local.day, local.hour);
        text += '\n';
    }
    return text;
}

bool WriteMoonFile(const std::string& path, const std::string& text, std::string& error)
{
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code ec;
    const bool oldExists = std::filesystem::exists(file, ec);
    errno = 0;
    if (ReplaceFile(file, text, oldExists, false) == FileResult::Done)
        return true;
    // The replacement leaves errno as the step that failed set it.
    const int reason = errno;
    error = "cannot write " + path + (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string());
    return false;
}

} // namespace vx
