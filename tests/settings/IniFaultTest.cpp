// The settings file against crashes and against a second copy of the program: writers killed at
// any moment, and two processes writing one file at once, through the real WriteIni.

#include "settings/Ini.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vx {
namespace {

namespace fs = std::filesystem;

// A folder on a memory file system where there is one. A kill ends the process, not the machine, so
// what it may leave behind is the same on any file system; without the disk's flushes, a thousand
// kills take seconds.
class FastDir {
public:
    FastDir()
    {
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                            ? fs::path("/dev/shm")
                            : fs::temp_directory_path();
        std::random_device rd;
        do
            path_ = base / ("velmorax-fault-" + std::to_string(rd()));
        while (!fs::create_directory(path_, ec));
    }
    ~FastDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    FastDir(const FastDir&) = delete;
    FastDir& operator=(const FastDir&) = delete;

    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A file as a person and the program leave it: comments, other programs' sections, and enough of it
// (some 200 KB) that writing it takes long enough for kills to land inside the write.
std::string HandWrittenFile()
{
    std::string text = "; Velmorax settings, edited by hand\r\n[frmMain]\r\nTop=1185\r\nLeft=-300\r\nNowSize=0\r\n\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "[Other" + std::to_string(i) + "]\r\nkey=" + std::string(80, static_cast<char>('a' + i % 26)) + "\r\n";
    return text + "[Count]\r\nn=0\r\n";
}

// The value the n-th write of the loop stores: its number, and a tail whose length changes from one
// write to the next, so that a file cut short or mixed from two writes cannot pass for a whole one.
std::string CountValue(long long n)
{
    return std::to_string(n) + "-" + std::string(static_cast<std::size_t>(n * 37 % 200), 'x');
}

// Tells the parent through the pipe that the writing starts now, then writes until it is killed.
[[noreturn]] void WriteForEver(long long from, int ready)
{
    const char byte = 1;
    (void)!::write(ready, &byte, 1);
    for (long long n = from;; ++n)
        ini::WriteIni("Count", "n", CountValue(n));
}

TEST(IniFault, WriterKilledAtRandomMomentsLeavesTheOldOrTheNewFileWhole)
{
    FastDir dir;
    const std::string path = dir.file("velmorax.ini");
    ini::SetIniPath(dir.str(), "velmorax");
    WriteAll(path, HandWrittenFile());

    // The kills fall within the first few writes after the child starts writing, however long a
    // write takes on this machine (and in this build).
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < 20; ++n)
        ini::WriteIni("Count", "n", CountValue(0));
    const auto write = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) / 20;
    // At least kKills kills, and on until kEnough of them have landed among the writes and kEnough
    // inside one: on a loaded machine fewer land there per kill. Bounded by kMaxKills and a time.
    constexpr int kKills = 1000;
    constexpr int kEnough = kKills / 20;
    constexpr int kMaxKills = 20 * kKills;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<long long> delayMicros(0, 6 * write.count());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    int changed = 0;
    int midWrite = 0; // kills that caught a new text half-written beside the file
    long long last = 0;
    int kills = 0;
    const auto enough = [&] { return changed > kEnough && midWrite > kEnough; };
    for (int kill = 0; kill < kKills || (!enough() && kill < kMaxKills && std::chrono::steady_clock::now() < giveUp);
         ++kill) {
        kills = kill + 1;
        const std::string before = ReadAll(path);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            WriteForEver(last + 1, ready[1]);
        char byte;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::usleep(static_cast<useconds_t>(delayMicros(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        if (fs::exists(dir.file(".velmorax.ini.tmp")))
            ++midWrite;
        // Whole: either untouched, or exactly the text one complete write makes of the old one.
        const std::string after = ReadAll(path);
        if (after == before)
            continue;
        const std::optional<std::string> value = IniGetText(after, "Count", "n");
        ASSERT_TRUE(value.has_value()) << "kill " << kill << ": the count is gone";
        const long long n = std::stoll(*value);
        ASSERT_GT(n, last) << "kill " << kill;
        ASSERT_EQ(*value, CountValue(n)) << "kill " << kill;
        ASSERT_EQ(after, IniSetText(before, "Count", "n", *value)) << "kill " << kill << ": torn file";
        last = n;
        ++changed;
    }
    // Most kills must have fallen among the writes, and some inside one, or the test proves nothing.
    EXPECT_GT(changed, kEnough) << "after " << kills << " kills";
    EXPECT_GT(midWrite, kEnough) << "after " << kills << " kills";
    // A killed writer may leave its temporary file and the lock file; never more than one of each.
    EXPECT_LE(dir.Names().size(), 3u);
    std::printf("%d kills, the file whole after each; %d after one or more complete writes (%lld writes in all, "
                "%lld us each), %d halfway through writing the new text; files left in the folder: %zu\n",
                kills, changed, last, static_cast<long long>(write.count()), midWrite, dir.Names().size());
    ::close(ready[0]);
    ::close(ready[1]);
    // The next write clears what the killed ones left.
    ASSERT_TRUE(IniSet(path, "Count", "n", "done"));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"velmorax.ini"});
    ini::IniPath.clear();
}

// Two copies of the program in one folder: each reads its own keys (a missing one is written back
// with its default, as at start-up) and writes others, all at the same time.
TEST(IniFault, TwoProgramsWritingOneFileLoseNoKey)
{
    FastDir dir;
    const std::string path = dir.file("velmorax.ini");
    ini::SetIniPath(dir.str(), "velmorax");
    WriteAll(path, "[frmMain]\nTop=1185\n");
    constexpr int kKeysEach = 400;

    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (const char* copy : {"A", "B"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            char byte;
            ::close(go[1]);
            (void)!::read(go[0], &byte, 1); // both start together
            for (int i = 0; i < kKeysEach; ++i) {
                const std::string key = std::string(copy) + std::to_string(i);
                if (i % 2 == 0)
                    ini::ReadIni("frmMain", key, "default " + key);
                else
                    ini::WriteIni(i % 3 == 0 ? "Setting" : "frmMain", key, "value " + key);
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    ::close(go[0]);
    ::close(go[1]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const std::string text = ReadAll(path);
    int lost = 0;
    for (const char* copy : {"A", "B"}) {
        for (int i = 0; i < kKeysEach; ++i) {
            const std::string key = std::string(copy) + std::to_string(i);
            const char* section = i % 2 == 0 || i % 3 != 0 ? "frmMain" : "Setting";
            const std::string expected = (i % 2 == 0 ? "default " : "value ") + key;
            if (IniGetText(text, section, key) != expected)
                ++lost;
        }
    }
    EXPECT_EQ(lost, 0) << "keys lost of " << 2 * kKeysEach;
    EXPECT_EQ(IniGetText(text, "frmMain", "Top"), "1185");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"velmorax.ini"});
    ini::IniPath.clear();
}

TEST(IniFault, WriterWaitsForAStuckHolderOfTheLockOnlyAboutASecond)
{
    FastDir dir;
    const std::string path = dir.file("velmorax.ini");
    WriteAll(path, "[s]\nk=1\n");
    // Another copy holds the lock and does not let go.
    const int held = ::open(dir.file(".velmorax.ini.lock").c_str(), O_RDONLY | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(IniSet(path, "s", "k", "2"));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_LT(waited, std::chrono::seconds(3));
    EXPECT_EQ(ReadAll(path), "[s]\nk=2\n");
    ::close(held);
}

} // namespace
} // namespace vx
