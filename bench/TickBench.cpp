#include "BenchWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

// Counts the paint events the window receives, to show that a tick paints once.
class PaintCounter final : public QObject {
public:
    long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// One tick of the clock face as the timer gives it: the timer's signal runs the window's tick
// handler (DrawWatch: two settings reads, the hands computed, the timer re-armed, the changed part
// repainted: the dial layer and the hands over it), then the event loop goes round once, on a
// clock one second further each time so the hands really move.
void BM_Tick(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const int nowSize = side == 60 ? -1 : side == 120 ? 0 : 1;
    vx::bench::Window window(nowSize, "Clock");
    vx::FrmMain& main = window.main();
    PaintCounter counter;
    main.installEventFilter(&counter);
    for (auto _ : state) {
        window.platform().AdvanceSeconds(1);
        QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection);
        QCoreApplication::processEvents();
    }
    main.removeEventFilter(&counter);
    state.counters["paints"] = benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
    state.SetLabel(std::to_string(side) + " px");
}
BENCHMARK(BM_Tick)->Arg(60)->Arg(120)->Arg(240)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

} // namespace
