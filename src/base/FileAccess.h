#pragma once

// Files on disk: read whole, and replaced atomically; POSIX and Windows. The settings file and the
// moon table an installed program writes both go through here. What the text in a settings file
// means is the INI text model's affair (settings/IniText.h); keeping writers apart is WriteLock's.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// What a file operation came to; every operation here answers in this one shape.
enum class FileResult {
    Done,    // read whole, or written and in place
    Missing, // a read found no such file
    Refused, // a new file found no place: the folder may not be written to
    Failed,  // anything else; a failed replacement leaves the old file as it was
};

// A UTF-8 path as the file system's own.
std::filesystem::path PathFromUtf8(const std::string& utf8);

// The folder a file lies in; "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& file);

// What tells one state of a file from another without reading it: the device and inode it lies
// on, its size, and its change time to the nanosecond. A write to the file, a rename over its
// name and a change of its attributes all give it another change time.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t changedSeconds = 0; // since 1970-01-01 00:00 UTC
    long changedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file the path names now, links followed; nullopt when there is none,
// and on Windows, whose files keep no change time.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);
// The same for a path given in UTF-8, without building a path object: the settings are stamped
// twice a second.
std::optional<FileStamp> StampOfUtf8(const std::string& utf8);

// Reads the whole file into bytes. Failed for anything that is not a regular file and for a file
// of more than maxBytes; a path naming a pipe does not hang the reader. A stamp asked for is the
// file's as it was opened (nullopt on Windows): a change during the read gives the file another.
FileResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes,
                         std::optional<FileStamp>* stamp = nullptr);

// Whether this process may write to the existing file.
bool MayWrite(const std::filesystem::path& file);

// Puts bytes in place of the file, or creates it, atomically: they are written to a temporary file
// beside it, flushed to disk and renamed over it, so that a crash leaves the old file or the new
// one, never a torn one. An old file's permission bits (and, for root, its owner) go to the new
// one. A writer holding the lock on the file (locked) uses one fixed temporary name and clears
// what a writer killed halfway left there, so crashes leave at most one stray file.
// Refused when the folder may not be written to (no permission, a read-only file system).
FileResult ReplaceFile(const std::filesystem::path& file, std::string_view bytes, bool oldExists, bool locked);

// Rewrites the existing file where it stands: over its old bytes from the start, cut to the new
// length, and flushed to disk. For a writable file in a folder that refuses a new one; unlike a
// replacement, a crash in the middle can leave it torn.
FileResult WriteInPlace(const std::filesystem::path& file, std::string_view bytes);

} // namespace vx
