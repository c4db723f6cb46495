// Opening the prediction window (history scan, four methods, grids) and one
// option click, over synthetic histories of typical and maximum size.
#include "core/prediction/PredictionEngine.h"
#include "core/store/Generator.h"
#include "core/store/Store.h"
#include "gui/prediction/PredictionForm.h"
#include "gui/prediction/PredictionWindow.h"
#include "gui/widgets/ChildHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <benchmark/benchmark.h>

#include <map>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

const Store& storeOf(int draws) {
    static std::map<int, Store> stores;
    auto it = stores.find(draws);
    if (it == stores.end())
        it = stores
                 .emplace(draws, Store::fromHistory(generateHistory(
                                     {.draws = draws, .seed = 42, .invalidEvery = 97})))
                 .first;
    return it->second;
}

class BenchHost final : public ChildHost {
public:
    explicit BenchHost(const Store& store) : m_store(store) {}
    void setPropEnd(bool) override {}
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

private:
    QMdiArea m_area;
    const Store& m_store;
};

// The computation of a load: fresh grids, the scan and the four methods.
void BM_OpenEngine(benchmark::State& state) {
    const Store& store = storeOf(int(state.range(0)));
    PredictionEngine engine;
    engine.reflectFlags()[0] = true;
    for (auto _ : state) {
        engine.InitGridsAndScan(store.input());
        benchmark::DoNotOptimize(engine.grid(3).text(2, 2));
    }
}
BENCHMARK(BM_OpenEngine)->Arg(7000)->Arg(32767)->Unit(benchmark::kMillisecond);

// The whole window: controls, scan, methods, grids shown, then closed again.
void BM_OpenWindow(benchmark::State& state) {
    const Store& store = storeOf(int(state.range(0)));
    BenchHost host(store);
    一発ペリドン yoso(host);
    for (auto _ : state) {
        yoso.showWindow();
        state.PauseTiming();
        yoso.subWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenWindow)->Arg(7000)->Arg(32767)->Unit(benchmark::kMillisecond);

// One option click on the open window: three grids emptied and recomputed,
// the views refreshed.
void BM_OptionClick(benchmark::State& state) {
    const Store& store = storeOf(int(state.range(0)));
    BenchHost host(store);
    一発ペリドン yoso(host);
    yoso.showWindow();
    auto* on = yoso.form()->findChild<QAbstractButton*>(u"Opt反映する_4"_s);
    auto* off = yoso.form()->findChild<QAbstractButton*>(u"Opt反映しない_4"_s);
    bool flip = false;
    for (auto _ : state) {
        (flip ? off : on)->click();
        flip = !flip;
    }
}
BENCHMARK(BM_OptionClick)->Arg(7000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
