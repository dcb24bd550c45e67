#pragma once

// Where Windows rightly answers otherwise than POSIX, said once for every test: the separator a
// folder path ends with, the line end of a file that a write creates, what a private folder's
// mode bits show, and the stand-in for a path that is no regular file.

#include "support/TempDir.h"

#include <filesystem>
#include <string>
#include <string_view>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vx::test {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
inline constexpr std::string_view kNewFileLineEnd = "\r\n"; // as the platform's own INI writer
// Access there is a matter of lists, not mode bits: a folder shows every bit but a read-only one.
inline constexpr std::filesystem::perms kPrivateFolderPermissions = std::filesystem::perms::all;
#else
inline constexpr char kSeparator = '/';
inline constexpr std::string_view kNewFileLineEnd = "\n";
inline constexpr std::filesystem::perms kPrivateFolderPermissions = std::filesystem::perms::owner_all;
#endif

// The text written with "\n" line ends, as a file that a write creates holds it here.
inline std::string AsNewFile(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += kNewFileLineEnd;
        else
            out += c;
    }
    return out;
}

// A path that names no regular file, made for the test: a FIFO in the folder, whose reader
// waiting for data would hang; Windows has none in folders, and its null device stands in.
inline std::string NonRegularFile(const TempDir& dir, const std::string& name)
{
#ifdef _WIN32
    (void)dir;
    (void)name;
    return "NUL";
#else
    const std::string path = dir.file(name);
    return ::mkfifo(path.c_str(), 0600) == 0 ? path : std::string();
#endif
}

} // namespace vx::test
