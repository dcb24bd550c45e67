// The moon table's loader and lookup on any bytes as moondata.dat. Beyond "no crash": the loader
// takes exactly the lines that are records, the table is never empty, and every lookup gives a
// lunation fraction from 0 to 1 with the new moons around the time it was asked for.

#include "moon/MoonRecord.h"
#include "moon/MoonTable.h"
#include "ScratchFile.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

struct LineCount {
    std::size_t records = 0;
    std::size_t nonEmpty = 0;
};

// The lines as the loader sees them: CR, LF and CR LF end a line, a leading byte-order mark is not
// part of the first, and a line longer than a record can be is no record.
LineCount CountLines(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    LineCount count;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        const std::string_view line = bytes.substr(start, i - start);
        if (!line.empty()) {
            ++count.nonEmpty;
            if (line.size() <= vx::kMaxMoonRecordLength && vx::ParseMoonRecord(line))
                ++count.records;
        }
        start = i + 1;
    }
    return count;
}

void CheckLookup(vx::MoonTable& table, vx::DateValue t)
{
    const double phase = table.GetMoonPhase(t);
    Check(std::isfinite(phase) && phase >= 0.0 && phase <= 1.0);
    if (phase != 0.5 || (table.LastNewMoon() != 0.0 && table.LastNewMoon() != table.NextNewMoon())) {
        Check(table.LastNewMoon() <= t);
        Check(table.NextNewMoon() > t || table.NextNewMoon() == table.LastNewMoon());
    }
    const double bright = vx::MoonTable::GetBrightRatio(phase);
    Check(bright >= 0.0 && bright <= 1.0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const vx::fuzz::ScratchFile file("moondata.dat");
    file.Write(data, size);

    vx::MoonTable table;
    const vx::MoonTable::LoadResult result = table.Load(file.path());
    Check(result.fileRead);
    Check(!table.MoonData().empty());
    const LineCount expected = CountLines(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(result.records == expected.records);
    Check(result.records + result.skippedLines == expected.nonEmpty);
    Check(result.records == 0 ? table.MoonData() == std::vector<vx::DateValue>{0.0}
                              : table.MoonData().size() == result.records);

    // At each record, an hour either side, and in between; then a present-day time.
    const std::vector<vx::DateValue> entries = table.MoonData();
    for (std::size_t i = 0; i < entries.size() && i < 64; ++i) {
        for (const double offset : {0.0, -1.0 / 24, 1.0 / 24})
            CheckLookup(table, entries[i] + offset);
        if (i + 1 < entries.size())
            CheckLookup(table, (entries[i] + entries[i + 1]) / 2);
    }
    CheckLookup(table, 46364.875); // 8 December 2026, 21:00
    return 0;
}
