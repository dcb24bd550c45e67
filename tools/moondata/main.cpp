// moondata: every new moon of a span of years, as the local clock hour in which it falls,
// one "yyyy/mm/dd hh" record a line: the layout of the clock's moondata.dat.
//
//   moondata [--from YEAR] [--to YEAR] [--tz ZONE] [--out FILE]
//
// The instants come from the core's new-moon computation (Meeus, chapter 49, with ΔT); the
// conversion to local time uses the system's time-zone database.

#include "base/LocalClock.h"
#include "moon/NewMoonTable.h"

#include <cerrno>
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
        vx::UseMachineZone();
    } else if (!vx::UseZone(options.zone, error)) {
        std::fprintf(stderr, "moondata: %s\n", error.c_str());
        return 2;
    }

    const std::string text = vx::NewMoonTableText(options.from, options.to, vx::LocalReading);
    if (options.out.empty()) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
            std::fprintf(stderr, "moondata: cannot write the table: %s\n", std::strerror(errno));
            return 1;
        }
    } else if (!vx::WriteMoonFile(options.out, text, error)) {
        std::fprintf(stderr, "moondata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
