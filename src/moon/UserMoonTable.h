#pragma once

#include "moon/NewMoonTable.h"

#include <string>

namespace vx {

// The moon table of a program that runs from an install, kept in the user's data folder. Its
// times are local clock hours, so a table is right only for the zone it was written for: that
// zone's name is kept beside it in moondata.zone.
inline constexpr const char* kMoonTableFileName = "moondata.dat";
inline constexpr const char* kMoonZoneFileName = "moondata.zone";

struct UserMoonTableOutcome {
    enum Kind {
        Kept,    // the table was there for this zone, or is the user's own (no zone file)
        Written, // written for this zone just now
        Failed,  // could not be written; error says why
    };
    Kind kind = Kept;
    std::string error;
};

// Makes dir (which ends with a separator and exists) hold a table for the zone: when the table
// is missing, or the zone file names another zone, writes the new moons of 1900 to 2100 in the
// local clock localClock gives, then records the zone. A table with no zone file beside it was
// put there by the user and is left alone.
UserMoonTableOutcome PrepareUserMoonTable(const std::string& dir, const std::string& zone,
                                          const LocalClockOf& localClock);

} // namespace vx
