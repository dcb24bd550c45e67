#include "app/FrmMain.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "moon/ShadeKernel.h"
#include "moon/ShadeMoon.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The shading's cost on the largest dial, 240 x 240: a disc of radius 60, about 11,300 pixels.
constexpr int kSide = 240;
constexpr double kPhase = 0.3;

std::vector<std::uint32_t> DialPixels()
{
    std::vector<std::uint32_t> pixels(kSide * kSide);
    std::mt19937 random(7);
    for (std::uint32_t& p : pixels)
        p = random() & 0xFFFFFF;
    return pixels;
}

void BM_ShadeKernelBulk240(benchmark::State& state)
{
    const std::vector<std::uint32_t> source = DialPixels();
    std::vector<std::uint32_t> target = source;
    for (auto _ : state) {
        vx::ShadeMoonInto({source.data(), kSide, kSide, kSide}, kSide, {target.data(), kSide, kSide, kSide}, kPhase);
        benchmark::DoNotOptimize(target.data());
    }
}
BENCHMARK(BM_ShadeKernelBulk240)->Unit(benchmark::kMicrosecond);

void BM_ShadeKernelPoints240(benchmark::State& state)
{
    const std::vector<std::uint32_t> source = DialPixels();
    std::uint64_t sum = 0;
    for (auto _ : state) {
        vx::ShadeMoonPixels({source.data(), kSide, kSide, kSide}, kSide, kSide, kSide, kPhase,
                            [&sum](int, int, std::uint32_t rgb) { sum += rgb; });
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ShadeKernelPoints240)->Unit(benchmark::kMicrosecond);

// The clock window needs an application; one serves every benchmark and is never torn down.
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "velmorax_bench";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

class BenchPlatform final : public vx::Platform {
public:
    explicit BenchPlatform(std::string dir) : dir_(std::move(dir)) {}
    vx::DateValue Now() override { return vx::MakeDateValue(2026, 12, 8, 21, 0, 0); }
    std::string ProgramDir() override { return dir_; }
    std::string ProgramBaseName() override { return "velmorax"; }
    void MsgBox(const std::string&, const std::string&) override {}
    void OpenUrl(const std::string&) override {}
    void OpenFile(const std::string&) override {}
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& defaultValue) override
    {
        return defaultValue;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    double TwipsPerPixelX() override { return 15.0; }
    double TwipsPerPixelY() override { return 15.0; }
    bool HasNotificationArea() override { return false; }

private:
    std::string dir_;
};

// The clock window at the double size on a program folder of its own, with the marks on.
class Window {
public:
    Window()
    {
        EnsureApplication();
        dir_ = std::filesystem::temp_directory_path() / "velmorax-shade-bench";
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "velmorax.ini", std::ios::trunc) << "[frmMain]\nNowSize=1\nUseLineMojiban=True\n";
        std::ofstream(dir_ / "moondata.dat", std::ios::trunc) << "2026/11/30 03\n2026/12/30 03\n";
        platform_ = std::make_unique<BenchPlatform>(dir_.string());
        program_ = std::make_unique<vx::Program>(*platform_);
        program_->SetOnEnd([] {});
        program_->Start();
    }
    ~Window()
    {
        program_.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    vx::FrmMain& main() { return *program_->frmMain; }

private:
    std::filesystem::path dir_;
    std::unique_ptr<BenchPlatform> platform_;
    std::unique_ptr<vx::Program> program_;
};

void BM_ShadeMoon240(benchmark::State& state)
{
    Window window;
    vx::FrmMain& main = window.main();
    const int perPixel = static_cast<int>(state.range(0));
    for (auto _ : state)
        vx::ShadeMoon(main.picBack[2], main, kPhase, perPixel);
    state.SetLabel(perPixel != 0 ? "point by point" : "bulk");
}
BENCHMARK(BM_ShadeMoon240)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DrawMojiban240(benchmark::State& state)
{
    Window window;
    vx::FrmMain& main = window.main();
    for (auto _ : state)
        main.DrawMojiban();
}
BENCHMARK(BM_DrawMojiban240)->Unit(benchmark::kMicrosecond);

} // namespace
