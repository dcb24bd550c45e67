#include "BenchWindow.h"
#include "face/DialLayer.h"
#include "moon/ShadeKernel.h"

#include <benchmark/benchmark.h>

#include <cstdint>
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
// The kernel alone, on a buffer: what ShadeMoon's bulk write costs before the repaint it ends with.
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

// The whole call on the clock window: the shading written into the dial layer (in one buffer, or
// pixel by pixel) and the Refresh it ends with, a repaint of the whole face with the hands.
void BM_ShadeMoon240(benchmark::State& state)
{
    vx::bench::Window window;
    vx::FrmMain& main = window.main();
    const int perPixel = static_cast<int>(state.range(0));
    for (auto _ : state)
        vx::ShadeMoon(main.picBack[2], main, kPhase, perPixel);
    state.SetLabel(perPixel != 0 ? "point by point, with its repaint" : "bulk, with its repaint");
}
BENCHMARK(BM_ShadeMoon240)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// The dial layer alone, built without a window: the picture, the shaded moon and the 144 marks.
void BM_BuildDialLayer240(benchmark::State& state)
{
    vx::bench::EnsureApplication();
    const QImage& picture = vx::BuiltInDials()[2];
    const vx::DialLayerParts parts{true, kPhase, vx::ShadePath::Bulk, true};
    QImage layer;
    for (auto _ : state)
        vx::BuildDialLayer(layer, kSide, picture, QColor(240, 240, 240), parts);
}
BENCHMARK(BM_BuildDialLayer240)->Unit(benchmark::kMicrosecond);

// A rebuild of the dial layer in the window: the user picture looked for, the layer built, and
// the repaint.
void BM_DrawMojiban240(benchmark::State& state)
{
    vx::bench::Window window;
    vx::FrmMain& main = window.main();
    for (auto _ : state)
        main.DrawMojiban();
}
BENCHMARK(BM_DrawMojiban240)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

} // namespace
