#include "settings/IniFile.h"

#include "base/FileAccess.h"
#include "settings/IniText.h"
#include "settings/IniTextCache.h"
#include "settings/WriteLock.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace vx {

namespace fs = std::filesystem;

namespace {

// The clock reads on its window's thread, but the store may be used from any thread: the kept
// text is shared, so it is looked at and changed under this lock only.
std::mutex& TextCacheMutex()
{
    static std::mutex mutex;
    return mutex;
}

IniTextCache& TextCache()
{
    static IniTextCache cache;
    return cache;
}

std::int64_t WallClockNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::optional<std::string> IniGet(const std::string& path, std::string_view section, std::string_view key)
{
    if (path.empty())
        return std::nullopt;
    const std::lock_guard<std::mutex> guard(TextCacheMutex());
    IniTextCache& cache = TextCache();
    try {
        if (const std::optional<FileStamp> now = StampOfUtf8(path))
            if (const std::string* text = cache.Find(path, *now))
                return IniGetText(*text, section, key);
        const fs::path file = PathFromUtf8(path);
        const std::int64_t readAt = WallClockNanoseconds();
        std::string bytes;
        std::optional<FileStamp> stamp;
        if (ReadWholeFile(file, bytes, kMaxIniFileBytes, &stamp) != FileResult::Done) {
            cache.Forget();
            return std::nullopt;
        }
        std::optional<std::string> value = IniGetText(bytes, section, key);
        if (stamp)
            cache.Keep(path, *stamp, std::move(bytes), readAt);
        else
            cache.Forget();
        return value;
    } catch (...) {
        cache.Forget();
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
        // Whatever comes of the write, the next read goes to the file.
        {
            const std::lock_guard<std::mutex> guard(TextCacheMutex());
            TextCache().Forget();
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
