#pragma once

#include <cstdint>
#include <string>

// The local clock of an IANA time zone with its daylight-saving history, taken from the
// system's time-zone database (TZif files under TZDIR or /usr/share/zoneinfo).

namespace vx::moondata {

struct ClockReading {
    int year;
    int month; // 1..12
    int day;
    int hour;
};

// Makes the named zone the one LocalReading uses. False, with a one-line reason in error,
// when the name is not a zone of the database.
bool UseZone(const std::string& zone, std::string& error);

// Keeps the machine's own zone.
void UseMachineZone();

// The local clock reading of a POSIX time (seconds since 1970-01-01 00:00 UTC).
ClockReading LocalReading(std::int64_t unixSeconds);

} // namespace vx::moondata
