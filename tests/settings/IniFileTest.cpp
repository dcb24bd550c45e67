#include "settings/IniFile.h"

#include "support/PlatformFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vx {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

const std::vector<std::string> kOnlyTheIni = {"velmorax.ini"};

TEST(IniFile, FirstWriteCreatesTheFileAndLeavesNoTemporaryFile)
{
    test::TempDir dir;
    const std::string path = dir.file("velmorax.ini");
    EXPECT_EQ(IniGet(path, "TaskTray", "Setting"), std::nullopt);
    ASSERT_TRUE(IniSet(path, "TaskTray", "Setting", "0"));
    ASSERT_TRUE(IniSet(path, "frmMain", "NowSize", "0"));
    EXPECT_EQ(dir.read("velmorax.ini"), test::AsNewFile("[TaskTray]\nSetting=0\n\n[frmMain]\nNowSize=0\n"));
    EXPECT_EQ(IniGet(path, "frmmain", "nowsize"), "0");
    EXPECT_EQ(FilesIn(dir.path()), kOnlyTheIni);
}

TEST(IniFile, RewriteKeepsPermissionBitsAndEveryOtherByte)
{
    test::TempDir dir;
    const std::string before = "\xEF\xBB\xBF; hand-edited\r\n[frmMain]\r\nTop=1\r\n[Mine]\r\nx = y\r\n";
    dir.write("velmorax.ini", before);
    const std::string path = dir.file("velmorax.ini");
#ifndef _WIN32
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
#endif
    ASSERT_TRUE(IniSet(path, "frmMain", "Top", "1185"));
    EXPECT_EQ(dir.read("velmorax.ini"), "\xEF\xBB\xBF; hand-edited\r\n[frmMain]\r\nTop=1185\r\n[Mine]\r\nx = y\r\n");
    // Windows keeps no mode bits beyond read-only.
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
    EXPECT_EQ(FilesIn(dir.path()), kOnlyTheIni);
}

TEST(IniFile, WriteThroughASymbolicLinkKeepsTheLink)
{
    test::TempDir dir;
    dir.write("real.ini", "[s]\nk=1\n");
    std::error_code linkError;
    fs::create_symlink(dir.path() / "real.ini", dir.path() / "velmorax.ini", linkError);
    if (linkError)
        GTEST_SKIP() << "no symbolic links here (Windows gives them to administrators only): " << linkError.message();
    ASSERT_TRUE(IniSet(dir.file("velmorax.ini"), "s", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "velmorax.ini"));
    EXPECT_EQ(dir.read("real.ini"), "[s]\nk=2\n");
}

// Each way a write can fail returns false, keeps what was there and leaves no stray file.
TEST(IniFile, FailedWritesReportFalseAndLoseNothing)
{
    test::TempDir dir;
    // The folder does not exist.
    EXPECT_FALSE(IniSet(dir.file("missing/velmorax.ini"), "s", "k", "v"));
    // The folder is a file.
    dir.write("plain", "not a folder");
    EXPECT_FALSE(IniSet(dir.file("plain/velmorax.ini"), "s", "k", "v"));
    EXPECT_EQ(dir.read("plain"), "not a folder");
    // The settings path is a folder: nothing to read, nothing replaced.
    fs::create_directory(dir.path() / "folder.ini");
    EXPECT_EQ(IniGet(dir.file("folder.ini"), "s", "k"), std::nullopt);
    EXPECT_FALSE(IniSet(dir.file("folder.ini"), "s", "k", "v"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder.ini"));
    // A pipe: reading it would wait for a writer that never comes.
    const std::string device = test::NonRegularFile(dir, "pipe.ini");
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(IniGet(device, "s", "k"), std::nullopt);
    EXPECT_FALSE(IniSet(device, "s", "k", "v"));
    // A key that cannot be stored, and no path at all.
    dir.write("velmorax.ini", "[s]\nk=1\n");
    EXPECT_FALSE(IniSet(dir.file("velmorax.ini"), "s", "a=b", "v"));
    EXPECT_FALSE(IniSet("", "s", "k", "v"));
    EXPECT_EQ(dir.read("velmorax.ini"), "[s]\nk=1\n");
    const bool deviceInFolder = device.rfind(dir.str(), 0) == 0;
    EXPECT_EQ(FilesIn(dir.path()).size(), deviceInFolder ? 4u : 3u);
}

#ifndef _WIN32
// Permission bits of folders, other users and file-size limits are POSIX's.

// IniSet as a user without root's power over permission bits: as root, in a child process that
// has become "nobody", to whom the folder and the file are then handed.
constexpr uid_t kNobody = 65534;
void OwnAsUser(const std::string& path)
{
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
}
bool SetAsUser(const std::string& path, const char* key, const char* value)
{
    if (::geteuid() != 0)
        return IniSet(path, "s", key, value);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0
                        && IniSet(path, "s", key, value)
                    ? 0
                    : 1);
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(IniFile, ReadOnlyFolderHasItsWritableFileRewrittenInPlaceAndAReadOnlyFileKept)
{
    test::TempDir dir;
    const std::string ini = dir.file("velmorax.ini");
    dir.write("velmorax.ini", "[s]\nk=1\nlong=xxxxxxxx\n");
    OwnAsUser(dir.str());
    OwnAsUser(ini);
    ASSERT_EQ(::chmod(dir.str().c_str(), 0555), 0);
    // Longer, then shorter: the file ends where the new text does.
    EXPECT_TRUE(SetAsUser(ini, "k", "22"));
    EXPECT_TRUE(SetAsUser(ini, "long", "y"));
    EXPECT_EQ(dir.read("velmorax.ini"), "[s]\nk=22\nlong=y\n");
    EXPECT_EQ(FilesIn(dir.path()), kOnlyTheIni);
    // A file made read-only by its owner is left as it is, whether the folder allows a new one or not.
    ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
    for (const mode_t folder : {0555, 0755}) {
        ASSERT_EQ(::chmod(dir.str().c_str(), folder), 0);
        EXPECT_FALSE(SetAsUser(ini, "k", "3"));
        EXPECT_EQ(dir.read("velmorax.ini"), "[s]\nk=22\nlong=y\n");
        EXPECT_EQ(FilesIn(dir.path()), kOnlyTheIni);
    }
}

// A write cut off in the middle (here by the file-size limit, which binds root as well) must
// leave the old file whole: the new text goes to a temporary file that is then thrown away.
TEST(IniFile, WriteCutOffHalfwayKeepsTheOldFileWhole)
{
    test::TempDir dir;
    const std::string old = "[frmMain]\nTop=1\n";
    dir.write("velmorax.ini", old);
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = IniSet(dir.file("velmorax.ini"), "frmMain", "Left", std::string(200, '7'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.read("velmorax.ini"), old);
    EXPECT_EQ(FilesIn(dir.path()), kOnlyTheIni);
}

#endif

// Two writers at once, and a reader beside them: every write lands and none loses another's key,
// on Windows too, where a file open for reading can stand in the way of its replacement.
TEST(IniFile, WritersSideBySideLoseNoKeyWhileAReaderReads)
{
    test::TempDir dir;
    const std::string path = dir.file("velmorax.ini");
    constexpr int kWrites = 20;
    std::atomic<bool> writing{true};
    std::atomic<int> failed{0};
    // A reader far busier than any clock (which reads twice a second), yet with a breath between
    // reads: where a rename cannot replace a file that is open (Windows before 10), a reader that
    // never lets go would hold every replacement up for as long as it read.
    std::thread reader([&] {
        while (writing) {
            (void)IniGet(path, "a", "k0");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // A breath between writes, as between a user's commands: a writer that wrote back to back
    // could keep the lock from the other for longer than it waits.
    const auto writer = [&](const char* section) {
        for (int n = 0; n < kWrites; ++n) {
            if (!IniSet(path, section, "k" + std::to_string(n), std::to_string(n)))
                ++failed;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    std::thread a(writer, "a");
    std::thread b(writer, "b");
    a.join();
    b.join();
    writing = false;
    reader.join();
    EXPECT_EQ(failed, 0);
    for (const char* section : {"a", "b"})
        for (int n = 0; n < kWrites; ++n)
            EXPECT_EQ(IniGet(path, section, "k" + std::to_string(n)), std::to_string(n)) << section << n;
    EXPECT_EQ(FilesIn(dir.path()), kOnlyTheIni);
}

TEST(IniFile, HugeGarbageFileIsReadAndRewrittenWhole)
{
    test::TempDir dir;
    std::string garbage(10u << 20, '\0');
    unsigned x = 12345;
    for (char& c : garbage) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    dir.write("velmorax.ini", garbage);
    const std::string path = dir.file("velmorax.ini");
    EXPECT_EQ(IniGet(path, "frmMain", "Top"), std::nullopt);
    ASSERT_TRUE(IniSet(path, "frmMain", "Top", "1185"));
    EXPECT_EQ(IniGet(path, "frmMain", "Top"), "1185");
    EXPECT_EQ(dir.read("velmorax.ini").substr(0, garbage.size()), garbage);
}

} // namespace
} // namespace vx
