#pragma once

// What the benchmark programs of the windows share: a generated history, the
// main window as far as a child window sees it, and a main() that runs the
// registered benchmarks inside an offscreen application.
#include "core/store/Generator.h"
#include "core/store/Store.h"
#include "gui/widgets/ChildHost.h"
#include "gui/widgets/Fonts.h"

#include <QApplication>
#include <QMdiArea>
#include <QTest>

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>

namespace peridon::bench {

// A synthetic history of draws rows made from seed.
inline DrawHistory generatedHistory(int draws, int seed) {
    GeneratorOptions o;
    o.draws = draws;
    o.seed = seed;
    return generateHistory(o);
}

// The main window as far as a child window sees it: a shown window area of a
// large screen's size over one store.
class BenchHost final : public ChildHost {
public:
    explicit BenchHost(Store store) : m_store(std::move(store)) {
        m_area.resize(1280, 1024);
        m_area.show();
        if (!QTest::qWaitForWindowExposed(&m_area))
            qWarning("the window area was never shown");
    }
    void setPropEnd(bool) override {}
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

private:
    Store m_store;
    QMdiArea m_area;
};

// The hosts made so far, one per history size. They hold widgets, so they
// must go before the application does: runBenchmarks() empties this.
inline std::map<int, std::unique_ptr<BenchHost>>& benchHosts() {
    static std::map<int, std::unique_ptr<BenchHost>> hosts;
    return hosts;
}

// The host over draws rows, its store made by makeStore on first use and
// kept for the whole run.
inline BenchHost& hostFor(int draws, const std::function<Store(int draws)>& makeStore) {
    auto& h = benchHosts()[draws];
    if (!h)
        h = std::make_unique<BenchHost>(makeStore(draws));
    return *h;
}

// Runs the registered benchmarks inside an application on the offscreen
// platform (unless another one is asked for) with the program's font
// substitutions, and returns main()'s exit code.
inline int runBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchHosts().clear();
    return 0;
}

} // namespace peridon::bench
