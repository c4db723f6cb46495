#include "support/AnalysisSheets.h"

#include "core/analysis/AnalysisRegistry.h"
#include "support/TestHistory.h"

using namespace Qt::StringLiterals;

namespace peridon::test {

Sheet buildSheet(const QString& window, const DrawHistory& history) {
    const AnalysisInfo* info = findAnalysis(window);
    if (!info)
        qFatal("no window %s", qPrintable(window));
    const StartupStats stats = StartupStats::compute(history);
    Sheet sheet;
    info->build(AnalysisInput{history, stats}, sheet);
    return sheet;
}

Sheet buildSheet(const QString& window, const QString& draws) {
    return buildSheet(window, history(draws));
}

QString colourText(Rgb c) {
    return u"%1,%2,%3"_s.arg(red(c)).arg(green(c)).arg(blue(c));
}

} // namespace peridon::test
