#include "app/ProgramFiles.h"

#include "base/Platform.h"
#include "base/ProgramPaths.h"
#include "moon/UserMoonTable.h"

#include <cstdio>
#include <filesystem>

namespace vx {

namespace {

bool IsFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// A user whose data folder cannot be written still gets the table that lies beside the
// program, if one does, as a program folder of its own would.
void FallBackToTheProgramsTable(FileLocations& files, const std::string& programDir)
{
    const std::string besideProgram = WithTrailingSeparator(programDir);
    if (!IsFile(files.moonDir + kMoonTableFileName) && IsFile(besideProgram + kMoonTableFileName))
        files.moonDir = besideProgram;
}

} // namespace

FileLocations LocateProgramFiles(Platform& platform)
{
    const std::string programDir = platform.ProgramDir();
    FileLocations files = ChooseFileLocations(
        programDir, ExamineProgramFolder(programDir, platform.ProgramBaseName()), platform.PerUserFolders());
    if (!files.installed)
        return files;

    if (!MakeUserFolder(files.settingsDir))
        std::fprintf(stderr, "velmorax: cannot make the settings folder %s\n", files.settingsDir.c_str());
    if (!MakeUserFolder(files.moonDir)) {
        std::fprintf(stderr, "velmorax: cannot make the data folder %s\n", files.moonDir.c_str());
        FallBackToTheProgramsTable(files, programDir);
        return files;
    }
    const UserMoonTableOutcome table =
        PrepareUserMoonTable(files.moonDir, platform.TimeZoneName(),
                             [&platform](std::int64_t seconds) { return platform.LocalClock(seconds); });
    if (table.kind == UserMoonTableOutcome::Failed) {
        std::fprintf(stderr, "velmorax: the moon table: %s\n", table.error.c_str());
        FallBackToTheProgramsTable(files, programDir);
    }
    return files;
}

} // namespace vx
