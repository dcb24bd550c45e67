#include "moon/MoonTable.h"

#include "moon/MoonRecord.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace vx {

namespace {

// Two pi to eight digits, as the phase-to-brightness formula has always used it.
constexpr double kTwoPi8 = 6.2831853;

constexpr std::size_t kReadChunk = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

MoonTable::LoadResult MoonTable::Load(const std::string& path)
{
    LoadResult result;
    moonData_.assign(1, 0.0);

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return result;

    std::vector<DateValue> records;
    // One line at a time, never more than a record's length of it: a huge file without line
    // ends costs no more memory than a short one.
    std::string line;
    bool lineTooLong = false;
    bool atFileStart = true;
    auto endLine = [&] {
        if (lineTooLong) {
            ++result.skippedLines;
        } else if (!line.empty()) {
            if (const auto value = ParseMoonRecord(line))
                records.push_back(*value);
            else
                ++result.skippedLines;
        }
        line.clear();
        lineTooLong = false;
    };

    std::vector<char> chunk(kReadChunk);
    for (;;) {
        std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        const char* p = chunk.data();
        const char* end = p + got;
        // An editor's UTF-8 byte-order mark is not part of the first record.
        if (atFileStart && got >= 3 && static_cast<unsigned char>(p[0]) == 0xEF
            && static_cast<unsigned char>(p[1]) == 0xBB && static_cast<unsigned char>(p[2]) == 0xBF)
            p += 3;
        if (got > 0)
            atFileStart = false;
        for (; p != end; ++p) {
            const char c = *p;
            // CR LF, LF and a lone CR all end a line; the empty line between CR and LF is skipped.
            if (c == '\n' || c == '\r') {
                endLine();
            } else if (!lineTooLong) {
                if (line.size() < kMaxMoonRecordLength)
                    line.push_back(c);
                else
                    lineTooLong = true;
            }
        }
        if (got < chunk.size())
            break;
    }
    if (std::ferror(file.get())) {
        // A file that cannot be read through counts as missing.
        result.skippedLines = 0;
        return result;
    }
    endLine();

    result.fileRead = true;
    result.records = records.size();
    if (!records.empty())
        moonData_ = std::move(records);
    return result;
}

double MoonTable::GetMoonPhase(DateValue t)
{
    const std::size_t n = moonData_.size();
    // A plain scan from the first entry: the table's order is the file's, and an entry equal
    // to t counts as the last new moon.
    std::size_t i = 0;
    for (; i < n; ++i) {
        if (moonData_[i] > t)
            break;
        lastNewMoon_ = moonData_[i];
    }
    if (i == 0) {
        // Earlier than the first record: no last new moon is known, and a stale one from an
        // earlier lookup would give a fraction of some other lunation.
        lastNewMoon_ = 0.0;
        nextNewMoon_ = moonData_[0];
        return 0.5;
    }
    nextNewMoon_ = i < n ? moonData_[i] : lastNewMoon_;
    if (lastNewMoon_ == 0.0 || lastNewMoon_ == nextNewMoon_)
        return 0.5;
    return (t - lastNewMoon_) / (nextNewMoon_ - lastNewMoon_);
}

double MoonTable::GetBrightRatio(double p)
{
    return (1.0 - std::cos(kTwoPi8 * p)) / 2.0;
}

MoonTable& ProgramMoonTable()
{
    static MoonTable table;
    return table;
}

void LoadMoonData(const std::string& appDir)
{
    ProgramMoonTable().Load(appDir + "moondata.dat");
}

double GetMoonPhase(DateValue t)
{
    return ProgramMoonTable().GetMoonPhase(t);
}

double GetBrightRatio(double p)
{
    return MoonTable::GetBrightRatio(p);
}

DateValue LastNewMoon()
{
    return ProgramMoonTable().LastNewMoon();
}

DateValue NextNewMoon()
{
    return ProgramMoonTable().NextNewMoon();
}

} // namespace vx
