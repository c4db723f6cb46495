// peridon-cli pdf: the printout of any window as a PDF file.
#include "cli/Commands.h"
#include "core/analysis/AnalysisRegistry.h"
#include "core/history/StartupStats.h"
#include "core/prediction/PredictionSheets.h"
#include "core/sheet/SheetPrint.h"
#include "core/store/QuotedInput.h"

using namespace Qt::StringLiterals;

namespace peridon::cli {

int cmdPdf(const Args& a) {
    if (a.positional.size() != 2)
        return usage(u"pdf にはウィンドウ名と出力ファイル名を指定します"_s);
    QString problem;
    const auto reflect = a.integer(u"--reflect"_s, 0, 10, problem);
    if (!problem.isEmpty())
        return usage(problem);
    const QString name = a.positional[0];
    const QString out = a.positional[1];
    const AnalysisInfo* info = findAnalysis(name);
    const bool prediction = name == QString::fromUtf16(kPredictionClass);
    if (!info && !prediction) {
        QStringList names;
        for (const AnalysisInfo& i : analysisRegistry())
            names << i.className;
        names << QString::fromUtf16(kPredictionClass);
        printErr(u"不明なウィンドウです: %1\nウィンドウ名:\n  %2"_s.arg(quoteInput(name),
                                                                        names.join(u"\n  "_s)));
        return kUsageStatus;
    }
    if (reflect && !prediction)
        return usage(u"--reflect は 一発ペリドン だけに使えます"_s);
    Database db(a.connection(), Database::Mode::OpenExisting);
    const DrawHistory history = db.readHistory();
    const StartupStats stats = StartupStats::compute(history);
    const AnalysisInput input{history, stats};

    Sheet sheet;
    std::vector<Sheet> sheets;
    PrintDocument doc;
    if (prediction) {
        const int count = int(reflect.value_or(-1));
        if (!reflect)
            noteSettingsFileProblem();
        sheets = buildPredictionSheets(input, count);
        std::vector<const Sheet*> grids;
        grids.reserve(sheets.size());
        for (const Sheet& s : sheets)
            grids.push_back(&s);
        doc = predictionPrintDocument(grids, reflectFlagsFor(count), stats.lastDrawNo);
    } else {
        info->build(input, sheet);
        doc.caption = info->caption;
        doc.lastDrawNo = stats.lastDrawNo;
        doc.grids.push_back({&sheet, QString()});
    }
    QString error;
    if (!writePdf(doc, out, error)) {
        printErr(error);
        return kFailStatus;
    }
    return 0;
}

} // namespace peridon::cli
