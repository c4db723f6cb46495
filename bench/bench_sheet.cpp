#include "BenchSupport.h"
#include "core/sheet/Sheet.h"
#include "gui/widgets/SheetView.h"

#include <QImage>
#include <QPainter>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

constexpr int kCols = 32;
constexpr int kRows = 32770;
constexpr int kHeaderRows = 3;

// The largest sheet a window shows: a mark and a colour in every data row.
void fillSheet(Sheet& s) {
    s.setSize(kCols, kRows);
    s.setVisibleExtent(kCols, 53);
    s.setFrozen(0, kHeaderRows);
    s.setScrollBars(ScrollBars::Both);
    s.setColWidth(-1, 2.5);
    s.setRowHeight(-1, 10);
    s.setBorder(CellRange::all(), BorderAll);
    for (int r = kHeaderRows + 1; r <= kRows; ++r) {
        const int c = 1 + (r * 7) % kCols;
        s.setText(c, r, u"●"_s);
        s.setBackColor(CellRange::cell(c, r), rgb(255, 255, 128));
    }
}

void BM_BuildSheet(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        Sheet s;
        fillSheet(s);
        bytes = s.memoryUsage();
        benchmark::DoNotOptimize(s);
    }
    state.counters["MB"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BuildSheet)->Unit(benchmark::kMillisecond);

void BM_PaintScreen(benchmark::State& state) {
    Sheet s;
    fillSheet(s);
    SheetView view;
    view.setSheet(&s);
    const int first = int(state.range(0));
    const int last = first + 52;
    QImage img(view.rangeSize(1, first, kCols, last), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        view.paint(&p, 1, first, kCols, last);
    }
}
BENCHMARK(BM_PaintScreen)->Arg(1)->Arg(kRows - 52)->Unit(benchmark::kMillisecond);

void BM_PaintViewport(benchmark::State& state) {
    Sheet s;
    fillSheet(s);
    SheetView view;
    view.setSheet(&s);
    view.show();
    for (auto _ : state)
        benchmark::DoNotOptimize(view.viewport()->grab());
}
BENCHMARK(BM_PaintViewport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runBenchmarks(argc, argv);
}
