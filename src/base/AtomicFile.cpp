#include "base/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace vx {

namespace {

bool WriteAll(std::FILE* f, const std::string& text)
{
    if (std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fflush(f) != 0 || std::ferror(f))
        return false;
#ifndef _WIN32
    // On the disk before the rename, so a crash cannot leave an empty file in the old one's place.
    if (fsync(fileno(f)) != 0)
        return false;
#endif
    return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error)
{
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        return false;
    }
    const bool written = WriteAll(f, text);
    const int savedErrno = errno;
    if (std::fclose(f) != 0 || !written) {
        error = "cannot write " + temp + ": " + std::strerror(written ? errno : savedErrno);
        std::remove(temp.c_str());
        return false;
    }
#ifdef _WIN32
    // rename does not replace an existing file there.
    std::remove(path.c_str());
#endif
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

} // namespace vx
