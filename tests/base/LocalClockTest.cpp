#include "base/LocalClock.h"
#include "base/LocalTimeCache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace vx {
namespace {

TEST(SystemZone, IsNamedAsTheCLibraryChoosesIt)
{
    struct Case {
        const char* tz; // nullptr: unset
        const char* link;
        const char* etcTimezone;
        const char* zone;
    };
    const Case cases[] = {
        {"Asia/Tokyo", "", "", "Asia/Tokyo"},
        {":America/New_York", "/usr/share/zoneinfo/Europe/Berlin", "", "America/New_York"},
        {"/usr/share/zoneinfo/Europe/Paris", "", "", "Europe/Paris"},
        {":/usr/share/zoneinfo/posix/Asia/Tokyo", "", "", "Asia/Tokyo"},
        {"JST-9", "", "", "JST-9"},
        {"", "/usr/share/zoneinfo/Asia/Tokyo", "", "UTC"},
        {nullptr, "/usr/share/zoneinfo/Europe/Berlin", "Etc/UTC\n", "Europe/Berlin"},
        {nullptr, "../usr/share/zoneinfo/Australia/Sydney", "", "Australia/Sydney"},
        {nullptr, "", "Asia/Kolkata\n", "Asia/Kolkata"},
        {nullptr, "", " \tAsia/Kolkata \r\n", "Asia/Kolkata"},
        {nullptr, "", " \r\n", "UTC"},
        {nullptr, "", "", "UTC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZoneNameFrom(c.tz, c.link, c.etcTimezone), c.zone) << (c.tz ? c.tz : "(unset)") << " " << c.link;
}


#ifndef _WIN32
// The zone is set through TZ and tzset, as a POSIX system takes it.

// Sets TZ for the test's span and puts back what was there.
class ZoneForTest {
public:
    explicit ZoneForTest(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        Set(zone);
    }
    ~ZoneForTest()
    {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static void Set(const char* zone) { setenv("TZ", zone, 1); }

private:
    std::optional<std::string> old_;
};

double DayValue(int year, int month, int day, long long msOfDay)
{
    return static_cast<double>(DaysFromCivil(year, month, day)) + static_cast<double>(msOfDay) / 86400000.0;
}

TEST(LocalDateValue, CountsLocalDaysAndTheMillisecondsOfTheLocalDay)
{
    struct Case {
        const char* zone;
        long long unixMs;
        double value;
    };
    const Case cases[] = {
        {"Asia/Tokyo", 0, DayValue(1970, 1, 1, 9 * 3600000LL)},
        {"Asia/Tokyo", 1700000000123LL, DayValue(2023, 11, 15, (7 * 3600 + 13 * 60 + 20) * 1000LL + 123)},
        {"UTC", -1, DayValue(1969, 12, 31, 86400000LL - 1)},
        {"UTC", -86400000LL, DayValue(1969, 12, 31, 0)},
        // New York springs forward at 07:00 UTC on 10 March 2024: 01:59:59.999 EST, then 03:00 EDT.
        {"America/New_York", 1710053999999LL, DayValue(2024, 3, 10, 3 * 3600000LL - 1 - 3600000LL)},
        {"America/New_York", 1710054000000LL, DayValue(2024, 3, 10, 3 * 3600000LL)},
    };
    for (const Case& c : cases) {
        ZoneForTest zone(c.zone);
        tzset();
        EXPECT_EQ(LocalDateValue(c.unixMs), c.value) << c.zone << " " << c.unixMs;
    }
}

TEST(LocalTimeCache, GivesWhatTheFullConversionGivesSecondBySecondAcrossChangesOfOffset)
{
    struct Case {
        const char* zone;
        long long fromUnixMs; // two minutes from here, a reading every 250 ms plus 7
    };
    const Case cases[] = {
        {"America/New_York", 1710053999999LL - 60000},   // spring forward at 07:00 UTC, 10 March 2024
        {"America/New_York", 1730613600000LL - 60000},   // fall back at 06:00 UTC, 3 November 2024
        {"Africa/Monrovia", 63593070000LL - 75000},      // -0:44:30 to UTC at 00:44:30 UTC, 7 January 1972
        {"Asia/Tokyo", -1000LL - 60000},                 // across the start of 1970
        {"Australia/Lord_Howe", 1712415600000LL - 60000}, // half an hour back at 15:00 UTC, 6 April 2024
    };
    for (const Case& c : cases) {
        ZoneForTest zone(c.zone);
        tzset();
        LocalTimeCache cache;
        for (long long ms = c.fromUnixMs; ms < c.fromUnixMs + 120000; ms += 257)
            ASSERT_EQ(cache.At(ms), LocalDateValue(ms)) << c.zone << " at " << ms;
    }
}

TEST(LocalTimeCache, FollowsAZoneChangedWhileRunningFromTheNextMinute)
{
    ZoneForTest zone("UTC");
    LocalTimeCache cache;
    const long long minute = 1800000000000LL - 1800000000000LL % 60000;
    const double utc = cache.At(minute);
    EXPECT_EQ(utc, LocalDateValue(minute));
    // Only the variable changes, as an administrator changes the system's zone.
    ZoneForTest::Set("Asia/Tokyo");
    EXPECT_NEAR(cache.At(minute + 59999), utc + 59999.0 / 86400000.0, 1e-9);
    const double tokyo = cache.At(minute + 60000);
    EXPECT_EQ(tokyo, LocalDateValue(minute + 60000));
    EXPECT_NEAR(tokyo - utc, 9.0 / 24 + 60.0 / 86400, 1e-9);
}

TEST(LocalDateValue, PresentTimeIsTheClocksTimeInTheProcesssZone)
{
    ZoneForTest zone("Asia/Tokyo");
    tzset();
    const auto unixMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const long long before = unixMs();
    const double now = LocalDateValueNow();
    const long long after = unixMs();
    EXPECT_GE(now, LocalDateValue(before));
    EXPECT_LE(now, LocalDateValue(after));
}

#endif

} // namespace
} // namespace vx
