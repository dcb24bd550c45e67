#pragma once

#include "base/DateValue.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vx {

// The table of new moons read from moondata.dat, and the lookup that turns a time into a
// lunation fraction: 0 at a new moon, growing linearly to 1 at the next, 0.5 at the full moon
// and also whenever the table cannot tell.
//
// MoonData keeps the file's order and is never sorted; it always holds at least one entry, and
// the single entry 0 means "no data". LastNewMoon and NextNewMoon hold what the latest lookup
// found; 0 in either, or the two equal, tells the moon report that the time lies outside the data.
class MoonTable {
public:
    struct LoadResult {
        bool fileRead = false;        // false: missing or unreadable, the table holds no data
        std::size_t records = 0;      // records taken into the table
        std::size_t skippedLines = 0; // non-empty lines that were not records
    };

    // Rebuilds the table from the file at path, keeping LastNewMoon and NextNewMoon.
    // A line that is not a record is skipped; a file that is missing or cannot be read
    // leaves the table with no data.
    LoadResult Load(const std::string& path);

    // The lunation fraction of t, from 0 up to but not including 1, or 0.5 when t lies
    // outside the data. Sets LastNewMoon and NextNewMoon.
    double GetMoonPhase(DateValue t);

    // The illuminated fraction of the disc for a lunation fraction p, from 0 to 1.
    static double GetBrightRatio(double p);

    const std::vector<DateValue>& MoonData() const { return moonData_; }
    DateValue LastNewMoon() const { return lastNewMoon_; }
    DateValue NextNewMoon() const { return nextNewMoon_; }

private:
    std::vector<DateValue> moonData_{0.0};
    DateValue lastNewMoon_ = 0.0;
    DateValue nextNewMoon_ = 0.0;
};

// The program-wide table and the procedures the forms call.

// Reads appDir + "moondata.dat"; appDir ends with a path separator.
void LoadMoonData(const std::string& appDir);
double GetMoonPhase(DateValue t);
double GetBrightRatio(double p);
// The values the latest lookup left.
DateValue LastNewMoon();
DateValue NextNewMoon();
// The table behind those procedures; tests may replace it with a fresh MoonTable.
MoonTable& ProgramMoonTable();

} // namespace vx
