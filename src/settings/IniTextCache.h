#pragma once

// The settings file's text as last read, kept with the file's stamp at that read. The clock reads
// two keys every second; while the file stays as it was, a read then costs one stat instead of an
// open, a read and a close, and still sees every change made to the file before it.

#include "base/FileAccess.h"

#include <cstdint>
#include <string>

namespace vx {

class IniTextCache {
public:
    // A stamp as new as this, seen from the moment of the read, is not trusted: a file system
    // that keeps its times coarsely (a clock tick, or two seconds on FAT) can give an edit made in
    // that span the very stamp the file had when it was read. Such a text is read again until the
    // change lies this far back.
    static constexpr std::int64_t kRecentNanoseconds = 2'000'000'000;

    // The kept text of the file when its stamp now is the one it was read with, and that stamp
    // was old enough when it was read; null otherwise.
    const std::string* Find(const std::string& path, const FileStamp& now) const;

    // Keeps the text just read from the file with the stamp the file had, read at readAt
    // (nanoseconds since 1970-01-01 00:00 UTC, the clock the change times count on).
    void Keep(const std::string& path, const FileStamp& stamp, std::string text, std::int64_t readAt);

    // Keeps nothing: the next read goes to the file.
    void Forget();

private:
    std::string path_;
    FileStamp stamp_;
    bool trusted_ = false;
    std::string text_;
};

} // namespace vx
