// Every analysis window: building its sheet from a generated history, and
// opening the window offscreen up to and including its first paint.
#include "analysis/AnalysisWindow.h"
#include "analysis/core/AnalysisRegistry.h"
#include "store/Generator.h"
#include "store/Store.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace peridon;

namespace {

constexpr int kSizes[] = {7000, 32767};

// The main window as far as an analysis window sees it, over one history.
class BenchHost final : public ChildHost {
public:
    explicit BenchHost(int draws)
        : m_store(Store::fromHistory(generateHistory(optionsFor(draws)))) {
        m_area.resize(1280, 1024);
        m_area.show();
        if (!QTest::qWaitForWindowExposed(&m_area))
            qWarning("the window area was never shown");
    }
    void setPropEnd(bool) override {}
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

private:
    static GeneratorOptions optionsFor(int draws) {
        GeneratorOptions o;
        o.draws = draws;
        o.seed = 11;
        return o;
    }
    Store m_store;
    QMdiArea m_area;
};

BenchHost& hostFor(int draws) {
    static std::map<int, std::unique_ptr<BenchHost>> hosts;
    auto& h = hosts[draws];
    if (!h)
        h = std::make_unique<BenchHost>(draws);
    return *h;
}

void BM_BuildSheet(benchmark::State& state, const AnalysisInfo* info, int draws) {
    const AnalysisInput input = hostFor(draws).store().input();
    for (auto _ : state) {
        Sheet sheet;
        info->build(input, sheet);
        benchmark::DoNotOptimize(sheet);
    }
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();

    for (const AnalysisInfo& info : analysisRegistry()) {
        for (int draws : kSizes) {
            const std::string suffix = info.className.toStdString() + "/" + std::to_string(draws);
            benchmark::RegisterBenchmark(("build/" + suffix).c_str(), BM_BuildSheet, &info, draws)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("open/" + suffix).c_str(), BM_OpenWindow, &info, draws)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
