#include "base/FileLocations.h"

#include "base/ProgramPaths.h"

#include <filesystem>

#ifdef _WIN32
#include <cstdio>
#else
#include <unistd.h>
#endif

// The build says where an install puts its shared data, relative to the program.
#ifndef VELMORAX_DATA_FROM_BIN
#define VELMORAX_DATA_FROM_BIN "../share/velmorax"
#endif

namespace vx {

namespace {

namespace fs = std::filesystem;

bool IsWritableFolder(const std::string& dir)
{
#ifdef _WIN32
    // Access rights there are lists, not bits: try it.
    const std::string probe = WithTrailingSeparator(dir) + ".velmorax-probe";
    std::FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f)
        return false;
    std::fclose(f);
    std::remove(probe.c_str());
    return true;
#else
    return access(dir.c_str(), W_OK | X_OK) == 0;
#endif
}

std::string Normal(const std::string& path)
{
    return fs::path(path).lexically_normal().string();
}

// A path given with "/" inside the folder, in the platform's own spelling.
std::string InFolder(const std::string& dir, std::string relative)
{
#ifdef _WIN32
    for (char& c : relative)
        if (c == '/')
            c = '\\';
#endif
    return dir + relative;
}

std::string SubFolder(const std::string& base)
{
    return WithTrailingSeparator(WithTrailingSeparator(base) + "velmorax");
}

} // namespace

const char* InstallDataFromProgramFolder()
{
    return VELMORAX_DATA_FROM_BIN;
}

ProgramFolderFacts ExamineProgramFolder(const std::string& programDir, const std::string& baseName)
{
    const std::string dir = WithTrailingSeparator(programDir);
    std::error_code ec;
    ProgramFolderFacts facts;
    facts.writable = IsWritableFolder(dir);
    facts.holdsSettings = fs::is_regular_file(dir + baseName + ".ini", ec);
    facts.isInstall = fs::is_regular_file(
        dir + InstallDataFromProgramFolder() + "/" + kHelpPageInFolder, ec);
    return facts;
}

FileLocations ChooseFileLocations(const std::string& programDir, const ProgramFolderFacts& facts,
                                  const UserFolders& user)
{
    const std::string dir = WithTrailingSeparator(programDir);
    FileLocations files;
    // A settings file beside the program marks a folder of its own, writable or not; an
    // install's folder is not one even where the user may write to it (root, a prefix in home).
    const bool portable = facts.holdsSettings || (facts.writable && !facts.isInstall) ||
                          user.config.empty() || user.data.empty();
    if (portable) {
        files.settingsDir = dir;
        files.moonDir = dir;
        files.helpPage = InFolder(dir, kHelpPageInFolder);
        return files;
    }
    files.installed = true;
    files.settingsDir = SubFolder(user.config);
    files.moonDir = SubFolder(user.data);
    files.helpPage = Normal(dir + InstallDataFromProgramFolder() + "/" + kHelpPageInFolder);
    return files;
}

bool MakeUserFolder(const std::string& dir)
{
    std::error_code ec;
    const fs::path path(dir);
    if (fs::is_directory(path, ec))
        return true;
    fs::create_directories(path, ec);
    if (ec)
        return false;
    // Settings are the user's business alone.
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::replace, ec);
    return fs::is_directory(path, ec);
}

} // namespace vx
