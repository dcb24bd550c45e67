#include "app/ProgramFiles.h"

#include "app/Platform.h"
#include "moon/UserMoonTable.h"

#include <cstdio>

namespace vx {

FileLocations LocateProgramFiles(Platform& platform)
{
    const std::string programDir = platform.ProgramDir();
    const FileLocations files = ChooseFileLocations(
        programDir, ExamineProgramFolder(programDir, platform.ProgramBaseName()), platform.PerUserFolders());
    if (!files.installed)
        return files;

    if (!MakeUserFolder(files.settingsDir))
        std::fprintf(stderr, "velmorax: cannot make the settings folder %s\n", files.settingsDir.c_str());
    if (!MakeUserFolder(files.moonDir)) {
        std::fprintf(stderr, "velmorax: cannot make the data folder %s\n", files.moonDir.c_str());
        return files;
    }
    const UserMoonTableOutcome table =
        PrepareUserMoonTable(files.moonDir, platform.TimeZoneName(),
                             [&platform](std::int64_t seconds) { return platform.LocalClock(seconds); });
    if (table.kind == UserMoonTableOutcome::Failed)
        std::fprintf(stderr, "velmorax: the moon table: %s\n", table.error.c_str());
    return files;
}

} // namespace vx
