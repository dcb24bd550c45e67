#include "base/LocalTimeCache.h"

#include "base/LocalClock.h"

#include <ctime>

namespace vx {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return q * b > a ? q - 1 : q;
}

// Local time minus UTC at the given second, from the C library's conversion.
std::int64_t OffsetAt(std::int64_t unixSeconds)
{
    const std::tm local = LocalBrokenDown(unixSeconds);
    const std::int64_t days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)
                              - DaysFromCivil(1970, 1, 1);
    return days * 86400 + (local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec - unixSeconds;
}

} // namespace

DateValue LocalTimeCache::At(std::int64_t unixMilliseconds)
{
    const std::int64_t seconds = FloorDiv(unixMilliseconds, 1000);
    const std::int64_t minute = FloorDiv(seconds, 60) * 60;
    if (minute != minute_) {
        UseMachineZone(); // the zone may have changed since it was last read
        minute_ = minute;
        offset_ = OffsetAt(minute);
        // No zone changes its offset twice within a minute: the same offset at both ends holds
        // all through it.
        steady_ = OffsetAt(minute + 59) == offset_;
    }
    if (!steady_)
        return LocalDateValue(unixMilliseconds);
    const std::int64_t local = seconds + offset_;
    const std::int64_t days = FloorDiv(local, 86400);
    const std::int64_t msOfDay = (local - days * 86400) * 1000 + (unixMilliseconds - seconds * 1000);
    return static_cast<double>(days + DaysFromCivil(1970, 1, 1)) + static_cast<double>(msOfDay) / 86400000.0;
}

} // namespace vx
