// One analysis window opened once in a fresh process, the way a user opens
// it for the first time: open_cold DRAWS [WINDOW] (default 分割10データ分析).
// Generates a history of DRAWS draws from a fixed seed and its statistics,
// then times creating the window (which computes its sheet) and one grab()
// of it, and prints one line:
//   window=... draws=N build_ms=... first_paint_ms=... rss_growth_mb=...
// where rss_growth_mb is the resident size after the paint minus the one just
// before the window was created. It does nothing else, so that it can run
// beside other programs that print the same line.
#include "core/analysis/AnalysisRegistry.h"
#include "core/store/Generator.h"
#include "core/store/Store.h"
#include "gui/analysis/AnalysisWindow.h"
#include "gui/widgets/ChildHost.h"
#include "gui/widgets/Fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QPixmap>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;
using namespace peridon;

namespace {

// Resident set size in KiB from /proc (0 where there is none).
long rssKb() {
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLong();
    }
    return 0;
}

// The main window as far as an analysis window sees it.
class ColdHost final : public ChildHost {
public:
    explicit ColdHost(Store store) : m_store(std::move(store)) {}
    void setPropEnd(bool) override {}
    QMdiArea* mdiArea() const override { return const_cast<QMdiArea*>(&m_area); }
    const Store& store() const override { return m_store; }

private:
    Store m_store;
    QMdiArea m_area;
};

int usage() {
    std::fputs("usage: open_cold DRAWS [WINDOW]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3)
        return usage();
    bool ok = false;
    const int draws = args[1].toInt(&ok);
    if (!ok || draws < 0 || draws > kMaxDrawNo)
        return usage();
    const QString name = args.size() > 2 ? args[2] : u"分割10データ分析"_s;
    const AnalysisInfo* info = findAnalysis(name);
    if (!info) {
        std::fprintf(stderr, "unknown window: %s\n", name.toUtf8().constData());
        return 2;
    }

    GeneratorOptions options;
    options.draws = draws;
    options.seed = 42;
    ColdHost host(Store::fromHistory(generateHistory(options)));

    const long rss0 = rssKb();
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<QWidget> window(createAnalysisWindow(*info, host));
    const double buildMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const QPixmap shot = window->grab();
    const double paintMs = double(timer.nsecsElapsed()) / 1e6;
    // Resident memory can shrink while the window is made; that is no growth.
    const double growthMb = double(qMax(0L, rssKb() - rss0)) / 1024.0;
    std::printf("window=%s draws=%d build_ms=%.1f first_paint_ms=%.1f rss_growth_mb=%.1f\n",
                name.toUtf8().constData(), draws, buildMs, paintMs, growthMb);
    return shot.isNull() ? 1 : 0;
}
