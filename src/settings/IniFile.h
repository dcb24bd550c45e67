#pragma once

// The settings file itself: a value read from it, a value written into it. The text is handled by
// the INI text model (IniText.h); the file by base/FileAccess.h and WriteLock.h.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// A settings file bigger than this is not a settings file; it is neither read nor rewritten.
constexpr std::size_t kMaxIniFileBytes = std::size_t{256} << 20;

// The value from the file; nullopt when the file, the section or the key is missing, or the
// file cannot be read (or is not a regular file, or is beyond kMaxIniFileBytes).
std::optional<std::string> IniGet(const std::string& path, std::string_view section, std::string_view key);

// Sets the value in the file, creating the file and the section as needed. The file is
// replaced atomically: a crash leaves either the old or the new file, never a torn one. The
// file's permission bits are kept, and a symbolic link is followed, not replaced. Where the
// folder may not be written to but the file may, the file is rewritten in place instead (and
// flushed to the disk). Returns false when nothing was written: the key cannot be stored, the
// old file exists but cannot be read or written, or the folder cannot take a new file. Never
// throws and never prints.
// Writers in several processes do not lose each other's keys: the read, the change and the
// replacement happen under an advisory lock on the hidden file ".<name>.lock" beside the file,
// removed again as the lock is let go. A writer waits at most about a second for it and then
// writes without it.
bool IniSet(const std::string& path, std::string_view section, std::string_view key, std::string_view value);

} // namespace vx
