// Printing and copying the largest grid, 分割10データ分析: the whole PDF
// written to a file (pages painted one after the other, so the memory it
// takes does not grow with their count), the print preview opened up to its
// first page shown, the whole grid copied and saved as CSV.
#include "BenchSupport.h"
#include "core/analysis/AnalysisRegistry.h"
#include "core/sheet/SheetExport.h"
#include "core/sheet/SheetPrint.h"
#include "gui/widgets/PrintPreview.h"

#include <QAbstractScrollArea>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

constexpr int kSizes[] = {7054, 32767};

const Sheet& split10(int draws) {
    static std::map<int, std::unique_ptr<Sheet>> sheets;
    auto& s = sheets[draws];
    if (!s) {
        const Store store = Store::fromHistory(bench::generatedHistory(draws, 11));
        s = std::make_unique<Sheet>();
        findAnalysis(u"分割10データ分析"_s)->build(store.input(), *s);
    }
    return *s;
}

PrintDocument documentFor(const Sheet& sheet, int draws) {
    PrintDocument doc;
    doc.caption = u"10分割データ分析"_s;
    doc.lastDrawNo = draws;
    doc.grids.push_back({&sheet, QString()});
    return doc;
}

void BM_WritePdf(benchmark::State& state) {
    const int draws = int(state.range(0));
    const PrintDocument doc = documentFor(split10(draws), draws);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"split10.pdf"_s);
    for (auto _ : state) {
        QString error;
        if (!writePdf(doc, path, error))
            state.SkipWithError(qPrintable(error));
    }
    SheetPrinter printer(doc);
    printer.paginate(printer.defaultPageLayout().paintRect(QPageLayout::Point).size());
    state.counters["pages"] = printer.pageCount();
    state.counters["MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_WritePdf)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond);

// From the press of 印刷 to the preview showing its first page.
void BM_OpenPreview(benchmark::State& state) {
    const int draws = int(state.range(0));
    const PrintDocument doc = documentFor(split10(draws), draws);
    int painted = 0;
    setPreviewRunner([&painted](PrintPreviewDialog& dialog, SheetPrinter&) {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            qWarning("the preview was never shown");
        auto* view = qobject_cast<QAbstractScrollArea*>(dialog.pagesView());
        if (view)
            view->viewport()->repaint();
        painted = dialog.paintedPages();
    });
    for (auto _ : state)
        showPrintPreview(nullptr, doc);
    setPreviewRunner(nullptr);
    state.counters["painted"] = painted;
}
BENCHMARK(BM_OpenPreview)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond);

// Ctrl+A and Ctrl+C on the whole grid: the tab-separated text and the HTML
// table put on the clipboard.
void BM_CopyAll(benchmark::State& state) {
    const Sheet& sheet = split10(int(state.range(0)));
    const QRect all(1, 1, sheet.cols(), sheet.rows());
    qsizetype chars = 0;
    for (auto _ : state) {
        const QString tsv = sheetTsv(sheet, all);
        const QString html = sheetHtml(sheet, all);
        chars = tsv.size() + html.size();
    }
    state.counters["MB"] = double(chars) * 2 / (1024.0 * 1024.0);
}
BENCHMARK(BM_CopyAll)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond);

// "CSVで保存..." of the whole grid.
void BM_SaveCsv(benchmark::State& state) {
    const Sheet& sheet = split10(int(state.range(0)));
    QTemporaryDir dir;
    for (auto _ : state) {
        QString error;
        if (!writeSheetCsv(sheet, dir.filePath(u"split10.csv"_s), error))
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(BM_SaveCsv)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runBenchmarks(argc, argv);
}
