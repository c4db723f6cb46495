// Opening the draw database and taking the start-up snapshot and statistics.
#include "core/store/DrawCsv.h"
#include "core/store/DrawImport.h"
#include "core/store/Generator.h"
#include "core/store/Store.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

// One database per size, made once for the whole run.
QString databaseOf(int draws) {
    static QTemporaryDir dir;
    static std::map<int, QString> made;
    auto it = made.find(draws);
    if (it != made.end())
        return it->second;
    const QString path = dir.filePath(u"bench%1.mdb"_s.arg(draws));
    std::vector<CsvDraw> rows;
    for (const GeneratedDraw& g : generateDraws({draws, 99, 0, 0})) {
        CsvDraw d;
        d.drawNo = g.row.drawNo;
        d.digits = g.row.digits;
        d.date = g.date.toString(Qt::ISODate);
        rows.push_back(d);
    }
    createDatabaseWithDraws(path, rows);
    return made[draws] = path;
}

void BM_OpenSnapshotAndStats(benchmark::State& state) {
    const ConnectString cs = connectStringFor(databaseOf(int(state.range(0))));
    for (auto _ : state) {
        Store store = Store::open(cs);
        benchmark::DoNotOptimize(store.stats().maxCount);
    }
}
BENCHMARK(BM_OpenSnapshotAndStats)->Arg(7000)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_StatsOnly(benchmark::State& state) {
    const DrawHistory h = generateHistory({int(state.range(0)), 5, 0, 0});
    for (auto _ : state)
        benchmark::DoNotOptimize(StartupStats::compute(h).countRows);
}
BENCHMARK(BM_StatsOnly)->Arg(7000)->Arg(32767)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
