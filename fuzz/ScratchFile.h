#pragma once

// A file of the fuzzer's own for the bytes under test, on a memory file system where there is one:
// the code under test reads files by name, as the program does.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace vx::fuzz {

class ScratchFile {
public:
    explicit ScratchFile(const std::string& name)
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        folder_ = base / ("velmorax-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(folder_, ec);
        path_ = (folder_ / name).string();
    }
    ~ScratchFile()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }
    std::string folder() const { return folder_.string(); }

    void Write(const std::uint8_t* data, std::size_t size) const
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            std::abort(); // a scratch file that cannot be written tests nothing
    }

private:
    std::filesystem::path folder_;
    std::string path_;
};

} // namespace vx::fuzz
