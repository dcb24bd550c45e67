#include "moon/MoonRecord.h"
#include "moon/MoonTable.h"
#include "moon/NewMoon.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A program folder holding the table of 1900-2100 (UTC hours; the zone does not change the cost).
class MoonTableFolder {
public:
    MoonTableFolder()
    {
        dir_ = std::filesystem::temp_directory_path() / "velmorax-moon-bench";
        std::filesystem::create_directories(dir_);
        std::ofstream out(dir_ / "moondata.dat", std::ios::binary | std::ios::trunc);
        for (long long k = vx::NewMoonIndexNear(1900); k <= vx::NewMoonIndexNear(2101); ++k) {
            const vx::DateParts p = vx::SplitDate(vx::DateValueFromJd(vx::NewMoonJdUt(k)));
            if (p.year >= 1900 && p.year <= 2100)
                out << vx::FormatMoonRecord(p.year, p.month, p.day, p.hour) << '\n';
        }
    }
    ~MoonTableFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string AppDir() const { return dir_.string() + "/"; }

private:
    std::filesystem::path dir_;
};

const MoonTableFolder& Folder()
{
    static const MoonTableFolder folder;
    return folder;
}

void BM_LoadMoonData(benchmark::State& state)
{
    const std::string appDir = Folder().AppDir();
    for (auto _ : state) {
        vx::LoadMoonData(appDir);
        benchmark::DoNotOptimize(vx::ProgramMoonTable().MoonData().data());
    }
    state.counters["records"] = static_cast<double>(vx::ProgramMoonTable().MoonData().size());
}
BENCHMARK(BM_LoadMoonData)->Unit(benchmark::kMicrosecond);

void BM_GetMoonPhaseNow(benchmark::State& state)
{
    vx::LoadMoonData(Folder().AppDir());
    // A present time: the scan walks about 1,570 of the 2,487 entries.
    const vx::DateValue now = vx::MakeDateValue(2026, 12, 8, 14, 15, 30);
    for (auto _ : state)
        benchmark::DoNotOptimize(vx::GetMoonPhase(now));
}
BENCHMARK(BM_GetMoonPhaseNow);

} // namespace
