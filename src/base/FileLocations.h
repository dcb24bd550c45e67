#pragma once

#include <string>

namespace vx {

// Where the program keeps what the design puts beside it. Every folder ends with a separator.
//
// Portable: the program's own folder holds everything, as in the build folder. Installed (the
// program runs from an install such as /usr/bin): the settings file and the user's dial
// pictures go to the user's configuration folder, the moon table to the user's data folder,
// and the help page comes from the install's shared data.
struct FileLocations {
    bool installed = false;
    std::string settingsDir; // the INI file and the user's dial pictures
    std::string moonDir;     // moondata.dat
    std::string helpPage;    // the HTML help page
};

// The user's base folders for settings and for data (XDG_CONFIG_HOME, XDG_DATA_HOME), without
// the program's own subfolder. Empty when the platform has none.
struct UserFolders {
    std::string config;
    std::string data;
};

// What the disk says about the program's folder.
struct ProgramFolderFacts {
    bool writable = false;      // the user may create files in it
    bool holdsSettings = false; // a settings file (the program's base name and ".ini") lies in it
    bool isInstall = false;     // an install's shared data lies where the install puts it
};

// The help page, relative to a program folder, and the install's shared data relative to the
// folder an install puts the program in.
inline constexpr const char* kHelpPageInFolder = "help/index.html";
const char* InstallDataFromProgramFolder();

// The folder's facts for a program of that base name.
ProgramFolderFacts ExamineProgramFolder(const std::string& programDir, const std::string& baseName);

// Portable when the folder holds a settings file, or is writable and is no install's program
// folder, or when there are no per-user folders to go to; installed otherwise.
FileLocations ChooseFileLocations(const std::string& programDir, const ProgramFolderFacts& facts,
                                  const UserFolders& user);

// Creates the folder and any missing parents, private to the user; true when it exists after.
bool MakeUserFolder(const std::string& dir);

} // namespace vx
