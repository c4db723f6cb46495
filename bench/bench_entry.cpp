// The winning-data entry window: opening it over a database file (the
// connection, reading every row, building the table and its first paint),
// and one digit written in its own transaction.
#include "entry/EntryModel.h"
#include "entry/EntryWindow.h"
#include "store/Database.h"
#include "store/Generator.h"
#include "store/Store.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace peridon;

namespace {

// A database file of generated draws and the main window as far as the entry
// window sees it.
class BenchHost final : public ChildHost {
public:
    explicit BenchHost(int draws) {
        const ConnectString cs =
            connectStringFor(m_dir.filePath(QStringLiteral("Numbers3Peridon.mdb")));
        {
            Database db(cs, Database::Mode::CreateIfMissing);
            GeneratorOptions o;
            o.draws = draws;
            o.seed = 7;
            const DrawHistory history = generateHistory(o);
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
        m_store = Store::open(cs);
        m_area.resize(1280, 1024);
        m_area.show();
        if (!QTest::qWaitForWindowExposed(&m_area))
            qWarning("the window area was never shown");
    }
    void setPropEnd(bool) override {}
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

private:
    QTemporaryDir m_dir;
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
