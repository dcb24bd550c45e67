#include "settings/IniFile.h"

#include "base/FileAccess.h"
#include "settings/IniText.h"
#include "settings/WriteLock.h"

#include <filesystem>
#include <system_error>

namespace vx {

namespace fs = std::filesystem;

std::optional<std::string> IniGet(const std::string& path, std::string_view section, std::string_view key)
{
    if (path.empty())
        return std::nullopt;
    try {
        std::string bytes;
        if (ReadWholeFile(PathFromUtf8(path), bytes, kMaxIniFileBytes) != FileResult::Done)
            return std::nullopt;
        return IniGetText(bytes, section, key);
    } catch (...) {
        return std::nullopt;
    }
}

bool IniSet(const std::string& path, std::string_view section, std::string_view key, std::string_view value)
{
    if (path.empty())
        return false;
    try {
        fs::path target = PathFromUtf8(path);
        std::error_code ec;
        // Write through a link to the file it names instead of replacing the link.
        if (fs::is_symlink(target, ec)) {
            const fs::path resolved = fs::canonical(target, ec);
            if (!ec)
                target = resolved;
        }
        // Read, change and replace under the lock, so that another writer's change is read first.
        const WriteLock lock(target);
        std::string old;
        const FileResult read = ReadWholeFile(target, old, kMaxIniFileBytes);
        if (read == FileResult::Failed)
            return false; // rewriting what could not be read would lose it
        const bool oldExists = read == FileResult::Done;
        if (!IniKeyIsStorable(key))
            return false;
        const std::string updated = IniSetText(old, section, key, value);
        if (oldExists && updated == old)
            return true;
        if (oldExists && !MayWrite(target))
            return false; // a read-only settings file is kept as it is
        const FileResult replaced = ReplaceFile(target, updated, oldExists, lock.held());
        // A folder the user may not write to can still hold a settings file an administrator
        // made writable: it is rewritten where it stands, as a classic writer does.
        if (replaced == FileResult::Refused && oldExists)
            return WriteInPlace(target, updated) == FileResult::Done;
        return replaced == FileResult::Done;
    } catch (...) {
        return false;
    }
}

} // namespace vx
