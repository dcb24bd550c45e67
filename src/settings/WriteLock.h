#pragma once

#include <filesystem>

namespace vx {

// Two copies of the program share one settings file, and each write is a read, a change and a
// rename: without a lock around the three, the later rename drops the other copy's change. The
// lock is advisory and bounded: a writer that cannot have it in time (a folder it may not write
// to, a holder that hangs) goes on without it rather than wait for ever. It is held on the hidden
// file ".<name>.lock" beside the file, removed again as the lock is let go.
class WriteLock {
public:
    explicit WriteLock(const std::filesystem::path& file);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool held() const;

private:
    std::filesystem::path path_;
#ifdef _WIN32
    void* handle_ = nullptr; // the lock file's HANDLE while the lock is held
#else
    int fd_ = -1;
#endif
};

} // namespace vx
