#include "core/prediction/PredictionSheets.h"

#include "core/prediction/PredictionEngine.h"
#include "core/prediction/SettingsLocation.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace peridon {

ReflectFlags reflectFlagsFor(int reflect) {
    ReflectFlags flags{};
    if (reflect < 0) {
        if (const QString path = settingsFilePath(); !path.isEmpty())
            readSettingsFile(path, flags);
    } else {
        for (int i = 0; i < kOptionCount; ++i)
            flags[std::size_t(i)] = i < reflect;
    }
    return flags;
}

PrintDocument predictionPrintDocument(const std::vector<const Sheet*>& grids,
                                      const ReflectFlags& flags, int lastDrawNo) {
    PrintDocument doc;
    doc.caption = QString::fromUtf16(kPredictionCaption);
    doc.lastDrawNo = lastDrawNo;
    doc.notes << u"データ分析オプション"_s;
    for (int i = 0; i < kOptionCount; ++i)
        doc.notes << u"%1：%2"_s.arg(
            QString::fromUtf16(predictionOptions()[std::size_t(i)].caption),
            flags[std::size_t(i)] ? u"反映する"_s : u"反映しない"_s);
    for (std::size_t i = 0; i < grids.size() && i < kPredictionGridCaptions.size(); ++i)
        doc.grids.push_back({grids[i], QString::fromUtf16(kPredictionGridCaptions[i])});
    return doc;
}

std::vector<Sheet> buildPredictionSheets(const AnalysisInput& input, int reflect) {
    auto engine = std::make_unique<PredictionEngine>();
    engine->reflectFlags() = reflectFlagsFor(reflect);
    engine->InitGridsAndScan(input);
    std::vector<Sheet> sheets;
    sheets.reserve(PredictionEngine::kGridCount);
    for (int i = 0; i < PredictionEngine::kGridCount; ++i)
        sheets.push_back(engine->grid(i));
    return sheets;
}

} // namespace peridon
