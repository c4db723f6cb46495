// The winning-data entry window: opening it over a database file (the
// connection, reading every row, building the table and its first paint),
// and one digit written in its own transaction.
#include "BenchSupport.h"
#include "core/entry/EntryModel.h"
#include "core/store/Database.h"
#include "core/store/DrawImport.h"
#include "gui/entry/EntryWindow.h"

#include <QMdiSubWindow>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace peridon;
using bench::BenchHost;

namespace {

// A database file of generated draws, opened as the main window would.
Store storeOfDatabase(int draws) {
    static QTemporaryDir dir;
    const ConnectString cs = connectStringFor(dir.filePath(u"Numbers3Peridon%1.mdb"_s.arg(draws)));
    {
        createDatabaseWithDraws(cs.path, {});
        Database db(cs, Database::Mode::OpenExisting);
        const DrawHistory history = bench::generatedHistory(draws, 7);
        Database::Transaction tx(db);
        Statement ins = db.prepare("INSERT INTO 当選データ (回数, 第1数字, 第2数字, 第3数字) "
                                   "VALUES (?1, ?2, ?3, ?4)");
        for (const DrawRow& row : history.rows()) {
            ins.bind(1, row.drawNo);
            for (int k = 0; k < 3; ++k)
                ins.bind(k + 2, int(row.digits[std::size_t(k)]));
            ins.step();
            ins.reset();
        }
        tx.commit();
    }
    return Store::open(cs);
}

BenchHost& hostFor(int draws) {
    return bench::hostFor(draws, storeOfDatabase);
}

void BM_OpenEntryWindow(benchmark::State& state) {
    BenchHost& host = hostFor(int(state.range(0)));
    for (auto _ : state) {
        QWidget* w = createEntryWindow(host);
        QMdiSubWindow* sub = host.mdiArea()->addSubWindow(w);
        sub->show();
        sub->repaint();
        state.PauseTiming();
        delete sub;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_WriteDigit(benchmark::State& state) {
    BenchHost& host = hostFor(int(state.range(0)));
    EntryModel model(host.store().connectString());
    const QModelIndex cell = model.index(model.rowCount() / 2, 2);
    int value = 0;
    for (auto _ : state) {
        if (!model.setData(cell, QString::number(value)))
            state.SkipWithError("the write was refused");
        value = (value + 1) % 10;
    }
}

} // namespace

BENCHMARK(BM_OpenEntryWindow)->Arg(7000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDigit)->Arg(7000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::runBenchmarks(argc, argv);
}
