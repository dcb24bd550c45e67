#pragma once

#include "base/DateValue.h"

#include <cstdint>
#include <ctime>
#include <string>

// The local clock of an IANA time zone with its daylight-saving history, taken from the
// system's time-zone database (TZif files under TZDIR or /usr/share/zoneinfo).

namespace vx {

struct ClockReading {
    int year;
    int month; // 1..12
    int day;
    int hour;
};

// Makes the named zone the one LocalReading uses, for the whole process. False, with a
// one-line reason in error, when the name is not a zone of the database.
bool UseZone(const std::string& zone, std::string& error);

// Keeps the machine's own zone.
void UseMachineZone();

// The local time of a POSIX time (seconds since 1970-01-01 00:00 UTC), broken down by the C
// library in its present zone.
std::tm LocalBrokenDown(std::int64_t unixSeconds);

// The local clock reading of a POSIX time (seconds since 1970-01-01 00:00 UTC) in the
// process's zone.
ClockReading LocalReading(std::int64_t unixSeconds);

// The local date value of a POSIX time given in milliseconds, in the process's zone: whole days
// from 30 December 1899 plus the milliseconds of the local day as the fraction.
DateValue LocalDateValue(std::int64_t unixMilliseconds);

// The present local date and time to the millisecond, through a LocalTimeCache: the zone is looked
// up once a minute, and a zone changed while the program runs shows from the next minute on.
DateValue LocalDateValueNow();

// The name of the zone the process's local clock follows, as the C library chooses it: the TZ
// variable when it is set ("Asia/Tokyo", ":Asia/Tokyo", a path into the database, or a rule
// such as "JST-9"), else the zone /etc/localtime links to, else /etc/timezone's. "UTC" when TZ
// is set but empty or when nothing names a zone.
std::string SystemZoneName();

// The same from the facts alone: tz is null when TZ is unset; localtimeLink is where
// /etc/localtime points (empty when it is no link); etcTimezone is /etc/timezone's text.
std::string ZoneNameFrom(const char* tz, const std::string& localtimeLink, const std::string& etcTimezone);

} // namespace vx
