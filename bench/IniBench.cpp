#include "settings/Ini.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The file the program leaves after a few days of use: every key of the settings table.
constexpr const char* kTypicalFile = "[TaskTray]\r\nSetting=0\r\n\r\n"
                                     "[frmMain]\r\nUseLineMojiban=False\r\nMitikake=True\r\nTop=1185\r\n"
                                     "Left=-300\r\nNowSize=0\r\nAlwaysOnTop=True\r\nNT=False\r\n\r\n"
                                     "[Setting]\r\nYearOrClock=Clock\r\n\r\n"
                                     "[Color]\r\nYear=41152\r\nClock=16752640\r\n";

class TypicalIni {
public:
    TypicalIni()
    {
        dir_ = std::filesystem::temp_directory_path() / ("velmorax-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "velmorax.ini", std::ios::binary) << kTypicalFile;
        vx::ini::SetIniPath(dir_.string(), "velmorax");
    }
    ~TypicalIni()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        vx::ini::IniPath.clear();
    }

private:
    std::filesystem::path dir_;
};

// The clock face reads two keys like this every second.
void BM_ReadIniTypicalFile(benchmark::State& state)
{
    TypicalIni ini;
    for (auto _ : state)
        benchmark::DoNotOptimize(vx::ini::ReadIni("Color", "Clock", "16752640"));
}
BENCHMARK(BM_ReadIniTypicalFile);

// A menu command's write: read, edit, write a temporary file, flush it to disk, rename.
void BM_WriteIniTypicalFile(benchmark::State& state)
{
    TypicalIni ini;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        benchmark::DoNotOptimize(vx::ini::WriteIni("Setting", "YearOrClock", flip ? "Year" : "Clock"));
    }
}
BENCHMARK(BM_WriteIniTypicalFile)->Unit(benchmark::kMicrosecond);

} // namespace
