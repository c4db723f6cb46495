// The backtest of the four prediction methods: one pass over the history and
// the scores with their exact tail probabilities for all eleven reflected
// counts, over the shipped history of real draws and at the largest size.
#include "core/prediction/Backtest.h"
#include "core/store/DrawCsv.h"
#include "core/store/Generator.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <map>

using namespace peridon;

namespace {

// The shipped history when the source tree has it, otherwise as many
// generated draws as it holds.
const DrawHistory& realHistory() {
    static const DrawHistory history = [] {
        QFile f(QString::fromUtf8(PERIDON_HISTORY_CSV));
        if (f.open(QIODevice::ReadOnly)) {
            const CsvParse csv = parseDrawCsv(f.readAll());
            std::vector<DrawRow> rows;
            for (const CsvDraw& d : csv.draws)
                rows.push_back(DrawRow{d.drawNo, d.digits});
            if (csv.errors.isEmpty() && !rows.empty())
                return DrawHistory(std::move(rows));
        }
        return generateHistory({.draws = 7054, .seed = 42});
    }();
    return history;
}

const DrawHistory& historyOf(int draws) {
    if (draws == 0)
        return realHistory();
    static std::map<int, DrawHistory> histories;
    auto it = histories.find(draws);
    if (it == histories.end())
        it = histories
                 .emplace(draws, generateHistory({.draws = draws, .seed = 42, .invalidEvery = 97}))
                 .first;
    return it->second;
}

const std::vector<int>& allReflectCounts() {
    static const std::vector<int> all = [] {
        std::vector<int> v;
        for (int r = 0; r < kReflectCounts; ++r)
            v.push_back(r);
        return v;
    }();
    return all;
}

// What peridon-cli backtest computes: from draw 101, all reflected counts.
// Argument 0 is the shipped history.
void BM_Backtest(benchmark::State& state) {
    const DrawHistory& history = historyOf(int(state.range(0)));
    for (auto _ : state) {
        const BacktestRun run = runBacktest(history);
        benchmark::DoNotOptimize(scoreBacktest(run, allReflectCounts()));
    }
}
BENCHMARK(BM_Backtest)->Arg(0)->Arg(16384)->Arg(32767)->Unit(benchmark::kMillisecond);

// The two halves: the pass, and the scores of one finished pass (all 35
// tail probabilities, whose windows grow with the square root of the
// draws).
void BM_BacktestPass(benchmark::State& state) {
    const DrawHistory& history = historyOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(runBacktest(history));
}
BENCHMARK(BM_BacktestPass)->Arg(0)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_BacktestScores(benchmark::State& state) {
    const BacktestRun run = runBacktest(historyOf(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(scoreBacktest(run, allReflectCounts()));
}
BENCHMARK(BM_BacktestScores)->Arg(0)->Arg(32767)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
