// Building the pattern and split analysis sheets from a full history, with
// the memory the finished sheet holds.
#include "analysis/core/AnalysisRegistry.h"
#include "store/Generator.h"

#include <benchmark/benchmark.h>

#include <map>

using namespace peridon;

namespace {

struct Fixture {
    DrawHistory history;
    StartupStats stats;
};

const Fixture& fixtureOf(int draws) {
    static std::map<int, Fixture> made;
    auto it = made.find(draws);
    if (it == made.end()) {
        GeneratorOptions options;
        options.draws = draws;
        options.seed = 7;
        options.invalidEvery = 97;
        Fixture f{generateHistory(options), {}};
        f.stats = StartupStats::compute(f.history);
        it = made.emplace(draws, std::move(f)).first;
    }
    return it->second;
}

void BM_Sheet(benchmark::State& state, const char16_t* window) {
    const AnalysisInfo* info = findAnalysis(QString::fromUtf16(window));
    const Fixture& f = fixtureOf(int(state.range(0)));
    const AnalysisInput input{f.history, f.stats};
    std::size_t bytes = 0;
    for (auto _ : state) {
        Sheet sheet;
        info->build(input, sheet);
        bytes = sheet.memoryUsage();
        benchmark::DoNotOptimize(sheet);
    }
    state.counters["MB"] = double(bytes) / (1024.0 * 1024.0);
}

#define PATTERN_BENCH(name, window)                                                                \
    BENCHMARK_CAPTURE(BM_Sheet, name, window)->Arg(7000)->Arg(32767)->Unit(benchmark::kMillisecond)

PATTERN_BENCH(pull, u"引っ張り分析");
PATTERN_BENCH(consecutive, u"連番飛び石分析");
PATTERN_BENCH(evenOdd, u"偶数奇数の組合せパターン分析");
PATTERN_BENCH(lowHigh, u"低数字高数字の組合せパターン分析");
PATTERN_BENCH(split3, u"分割3データ分析");
PATTERN_BENCH(split5, u"分割5データ分析");
PATTERN_BENCH(split10, u"分割10データ分析");
PATTERN_BENCH(fiveSplitTendency, u"分割5傾向分析");

} // namespace

BENCHMARK_MAIN();
