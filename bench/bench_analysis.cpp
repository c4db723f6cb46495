// Every analysis window: building its sheet from a generated history (with
// the memory the finished sheet holds), and opening the window offscreen up
// to and including its first paint.
#include "BenchSupport.h"
#include "core/analysis/AnalysisRegistry.h"
#include "gui/analysis/AnalysisWindow.h"

#include <QMdiSubWindow>

using namespace peridon;
using bench::BenchHost;

namespace {

// The real history's length and the most a database holds.
constexpr int kSizes[] = {7054, 32767};

BenchHost& hostFor(int draws) {
    return bench::hostFor(draws,
                          [](int n) { return Store::fromHistory(bench::generatedHistory(n, 11)); });
}

void BM_BuildSheet(benchmark::State& state, const AnalysisInfo* info, int draws) {
    const AnalysisInput input = hostFor(draws).store().input();
    std::size_t bytes = 0;
    for (auto _ : state) {
        Sheet sheet;
        info->build(input, sheet);
        bytes = sheet.memoryUsage();
        benchmark::DoNotOptimize(sheet);
    }
    state.counters["MB"] = double(bytes) / (1024.0 * 1024.0);
}

// Load (computation included), placement and the first paint of the whole
// window into the area's backing store.
void BM_OpenWindow(benchmark::State& state, const AnalysisInfo* info, int draws) {
    BenchHost& host = hostFor(draws);
    for (auto _ : state) {
        QWidget* w = createAnalysisWindow(*info, host);
        QMdiSubWindow* sub = host.mdiArea()->addSubWindow(w);
        sub->show();
        sub->repaint();
        state.PauseTiming();
        delete sub;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char** argv) {
    // The windows are known only from the registry, so the benchmarks are
    // registered here rather than with BENCHMARK().
    for (const AnalysisInfo& info : analysisRegistry()) {
        for (int draws : kSizes) {
            const std::string suffix = info.className.toStdString() + "/" + std::to_string(draws);
            benchmark::RegisterBenchmark(("build/" + suffix).c_str(), BM_BuildSheet, &info, draws)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("open/" + suffix).c_str(), BM_OpenWindow, &info, draws)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return bench::runBenchmarks(argc, argv);
}
