// peridon-cli sheet: the grid of any window as JSON.
#include "cli/Commands.h"
#include "core/analysis/AnalysisRegistry.h"
#include "core/history/StartupStats.h"
#include "core/prediction/PredictionSheets.h"
#include "core/sheet/SheetJson.h"
#include "core/store/QuotedInput.h"

using namespace Qt::StringLiterals;

namespace peridon::cli {

int cmdSheet(const Args& a) {
    const auto listWindows = [] {
        QStringList names;
        for (const AnalysisInfo& info : analysisRegistry())
            names << info.className;
        names << QString::fromUtf16(kPredictionClass);
        printErr(u"ウィンドウ名:\n  "_s + names.join(u"\n  "_s));
    };
    if (a.positional.size() != 1) {
        listWindows();
        return kUsageStatus;
    }
    QString problem;
    const auto reflect = a.integer(u"--reflect"_s, 0, 10, problem);
    if (!problem.isEmpty())
        return usage(problem);
    const QString name = a.positional[0];
    const AnalysisInfo* info = findAnalysis(name);
    const bool prediction = name == QString::fromUtf16(kPredictionClass);
    if (!info && !prediction) {
        printErr(u"不明なウィンドウです: %1"_s.arg(quoteInput(name)));
        listWindows();
        return kUsageStatus;
    }
    // The document goes out while it is written; a write that fails ends it
    // (the program's end reports the lost output).
    const auto print = [](const QString& window, const QString& caption,
                          const std::vector<const Sheet*>& grids) {
        const bool written =
            writeSheetsJson(writeOut, window, caption, grids) && writeOut(QByteArrayView("\n", 1));
        return written ? 0 : kFailStatus;
    };
    Database db(a.connection(), Database::Mode::OpenExisting);
    const DrawHistory history = db.readHistory();
    const StartupStats stats = StartupStats::compute(history);
    const AnalysisInput input{history, stats};
    if (prediction) {
        if (!reflect)
            noteSettingsFileProblem();
        const std::vector<Sheet> sheets = buildPredictionSheets(input, int(reflect.value_or(-1)));
        std::vector<const Sheet*> grids;
        grids.reserve(sheets.size());
        for (const Sheet& s : sheets)
            grids.push_back(&s);
        return print(name, QString::fromUtf16(kPredictionCaption), grids);
    }
    if (reflect)
        return usage(u"--reflect は 一発ペリドン だけに使えます"_s);
    Sheet sheet;
    info->build(input, sheet);
    return print(info->className, info->caption, {&sheet});
}

} // namespace peridon::cli
