#include "moon/MoonTable.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::TempDir;

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the generator as a user would, from a shell.
RunResult RunMoondata(const std::string& args, const std::string& env = {})
{
    TempDir dir;
    const std::string command = env + " \"" VX_MOONDATA_EXE "\" " + args + " 2>\"" + dir.file("stderr") + "\"";
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = dir.read("stderr");
    return result;
}

TEST(MoondataTool, PrintsTheNewMoonsOfTwoYearsInTokyoAndNothingElse)
{
    // The catalogue's UT instants of 2026-2027 (see NewMoonTest.cpp) plus nine hours,
    // cut to the hour. The January 2026 new moon falls on the 18th in UT, the 19th in Tokyo.
    const std::string expected = "2026/01/19 04\n2026/02/17 21\n2026/03/19 10\n2026/04/17 20\n"
                                 "2026/05/17 05\n2026/06/15 11\n2026/07/14 18\n2026/08/13 02\n"
                                 "2026/09/11 12\n2026/10/11 00\n2026/11/09 16\n2026/12/09 09\n"
                                 "2027/01/08 05\n2027/02/07 00\n2027/03/08 18\n2027/04/07 08\n"
                                 "2027/05/06 19\n2027/06/05 04\n2027/07/04 12\n2027/08/02 19\n"
                                 "2027/09/01 02\n2027/09/30 11\n2027/10/29 22\n2027/11/28 12\n"
                                 "2027/12/28 05\n";
    const RunResult run = RunMoondata("--from 2026 --to 2027 --tz Asia/Tokyo");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
}

TEST(MoondataTool, FollowsDaylightSavingTime)
{
    // 2026-01-18 19:52 UT is 14:52 EST; 2026-07-14 09:44 UT is 05:44 EDT.
    const RunResult run = RunMoondata("--from=2026 --to=2026 --tz=America/New_York");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("2026/01/18 14\n"), std::string::npos);
    EXPECT_NE(run.out.find("2026/07/14 05\n"), std::string::npos);
}

TEST(MoondataTool, DefaultsToTheMachinesZoneAndTwoCenturies)
{
    const RunResult run = RunMoondata("", "TZ=UTC");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.substr(0, 14), "1900/01/01 13\n");
    EXPECT_NE(run.out.find("2026/01/18 19\n"), std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.size() - 14), "2100/12/30 23\n"); // catalogue: Dec 30 23:58 UT
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2487);
}

TEST(MoondataTool, WritesATableTheClockReads)
{
    TempDir dir;
    const RunResult run = RunMoondata("--from 2026 --to 2026 --tz Asia/Tokyo --out \"" + dir.file("moondata.dat") + "\"");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    MoonTable table;
    const MoonTable::LoadResult loaded = table.Load(dir.file("moondata.dat"));
    EXPECT_EQ(loaded.records, 12u);
    EXPECT_EQ(loaded.skippedLines, 0u);
    EXPECT_EQ(dir.names(), std::set<std::string>{"moondata.dat"}) << "no temporary file is left";
    table.GetMoonPhase(MakeDateValue(2026, 12, 8, 23, 15));
    EXPECT_EQ(table.LastNewMoon(), MakeDateValue(2026, 11, 9, 16));
    EXPECT_EQ(table.NextNewMoon(), MakeDateValue(2026, 12, 9, 9));
}

TEST(MoondataTool, SaysWhichFileItCouldNotWriteAndWhy)
{
    TempDir dir;
    const std::string out = dir.file("no-such-folder") + "/moondata.dat";
    const RunResult run = RunMoondata("--from 2026 --to 2026 --out \"" + out + "\"");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "moondata: cannot write " + out + ": No such file or directory\n");
    EXPECT_TRUE(dir.names().empty());
}

TEST(MoondataTool, RejectsBadOptionsWithOneLineAndFailure)
{
    const std::vector<std::string> cases = {
        "--from",                     // no value
        "--from abc",                 // not a year
        "--from 20260",
        "--to 1599",                  // outside the years it can compute
        "--from 2030 --to 2020",      // empty span
        "--tz Mars/Olympus",          // no such zone
        "--tz ../../../etc/passwd",   // not a zone name
        "--tz /etc/localtime",
        "--tz Asia",                  // a folder of the database, not a zone
        "--tz=",
        "--bogus",
        "2026",
    };
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        const RunResult run = RunMoondata(args);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(run.out, "");
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.rfind("moondata: ", 0), 0u);
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

} // namespace
} // namespace vx
