#include "base/LocalClock.h"

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

TEST(LocalDateValue, PresentTimeFollowsAZoneChangedWhileRunning)
{
    ZoneForTest zone("UTC");
    const auto unixMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const double utc = LocalDateValueNow();
    EXPECT_LE(std::abs(utc - LocalDateValue(unixMs())), 2.0 / 86400);
    // Only the variable changes; the reading must look at the zone again by itself.
    ZoneForTest::Set("Asia/Tokyo");
    const double tokyo = LocalDateValueNow();
    EXPECT_NEAR(tokyo - utc, 9.0 / 24, 2.0 / 86400);
}

} // namespace
} // namespace vx
