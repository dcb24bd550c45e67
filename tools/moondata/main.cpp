// moondata: every new moon of a span of years, as the local clock hour in which it falls,
// one "yyyy/mm/dd hh" record a line: the layout of the clock's moondata.dat.
//
//   moondata [--from YEAR] [--to YEAR] [--tz ZONE] [--out FILE]
//
// The instants come from the core's new-moon computation (Meeus, chapter 49, with ΔT); the
// conversion to local time uses the system's time-zone database.

#include "LocalClock.h"
#include "moon/MoonRecord.h"
#include "moon/NewMoon.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The years the ΔT polynomials cover; outside them the hours would be guesses.
constexpr int kFirstYear = 1600;
constexpr int kLastYear = 3000;

struct Options {
    int from = 1900;
    int to = 2100;
    std::string zone; // empty: the machine's zone
    std::string out;  // empty: standard output
    bool help = false;
};

const char* const kUsage =
    "usage: moondata [--from YEAR] [--to YEAR] [--tz ZONE] [--out FILE]\n"
    "Writes every new moon of the years FROM to TO (inclusive; default 1900 to 2100) as the\n"
    "local clock hour of the IANA time zone ZONE (default: the machine's zone), one\n"
    "\"yyyy/mm/dd hh\" line each, to FILE or to standard output. Years run from 1600 to 3000.\n";

bool ParseYear(const std::string& option, const std::string& text, int& year, std::string& error)
{
    const bool digits = !text.empty() && text.size() <= 4
                        && text.find_first_not_of("0123456789") == std::string::npos;
    const int value = digits ? std::stoi(text) : 0;
    if (!digits || value < kFirstYear || value > kLastYear) {
        error = option + " needs a year from " + std::to_string(kFirstYear) + " to " + std::to_string(kLastYear)
                + ", not \"" + text + "\"";
        return false;
    }
    year = value;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        if (arg != "--from" && arg != "--to" && arg != "--tz" && arg != "--out") {
            error = "unknown argument \"" + std::string(argv[i]) + "\" (see moondata --help)";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (arg == "--from") {
            if (!ParseYear(arg, value, options.from, error))
                return false;
        } else if (arg == "--to") {
            if (!ParseYear(arg, value, options.to, error))
                return false;
        } else if (value.empty()) {
            error = arg + " needs a value";
            return false;
        } else if (arg == "--tz") {
            options.zone = value;
        } else {
            options.out = value;
        }
    }
    if (options.from > options.to) {
        error = "--from " + std::to_string(options.from) + " is later than --to " + std::to_string(options.to);
        return false;
    }
    return true;
}

// The records of the new moons whose local date falls in the years from..to.
std::string MoonTableText(int from, int to)
{
    std::string text;
    // A lunation or two of margin either side; the local year decides.
    const long long first = vx::NewMoonIndexNear(from) - 2;
    const long long last = vx::NewMoonIndexNear(to + 1) + 2;
    for (long long k = first; k <= last; ++k) {
        // The clock hour in which the instant falls: whole seconds, rounded down.
        const auto seconds = static_cast<std::int64_t>(std::floor(vx::UnixSecondsFromJd(vx::NewMoonJdUt(k))));
        const vx::moondata::ClockReading local = vx::moondata::LocalReading(seconds);
        if (local.year < from || local.year > to)
            continue;
        text += vx::FormatMoonRecord(local.year, local.month, local.day, local.hour);
        text += '\n';
    }
    return text;
}

bool WriteAll(std::FILE* f, const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fflush(f) == 0 && !std::ferror(f);
}

// Writes a temporary file beside the target and renames it, so an interrupted run leaves
// the old table or the new one, never half of one.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error)
{
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        return false;
    }
    const bool written = WriteAll(f, text);
    const int savedErrno = errno;
    if (std::fclose(f) != 0 || !written) {
        error = "cannot write " + temp + ": " + std::strerror(written ? errno : savedErrno);
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "moondata: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.zone.empty()) {
        vx::moondata::UseMachineZone();
    } else if (!vx::moondata::UseZone(options.zone, error)) {
        std::fprintf(stderr, "moondata: %s\n", error.c_str());
        return 2;
    }

    const std::string text = MoonTableText(options.from, options.to);
    if (options.out.empty()) {
        if (!WriteAll(stdout, text)) {
            std::fprintf(stderr, "moondata: cannot write the table: %s\n", std::strerror(errno));
            return 1;
        }
    } else if (!WriteFileAtomically(options.out, text, error)) {
        std::fprintf(stderr, "moondata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
