#include "settings/IniTextCache.h"

#include <utility>

namespace vx {

const std::string* IniTextCache::Find(const std::string& path, const FileStamp& now) const
{
    return trusted_ && now == stamp_ && path == path_ ? &text_ : nullptr;
}

void IniTextCache::Keep(const std::string& path, const FileStamp& stamp, std::string text, std::int64_t readAt)
{
    const std::int64_t changedAt = stamp.changedSeconds * 1'000'000'000 + stamp.changedNanoseconds;
    path_ = path;
    stamp_ = stamp;
    // A change time ahead of the clock (a clock set back, a file server's own clock) is never old enough.
    trusted_ = readAt - changedAt >= kRecentNanoseconds;
    text_ = std::move(text);
}

void IniTextCache::Forget()
{
    path_.clear();
    trusted_ = false;
    text_.clear();
}

} // namespace vx
