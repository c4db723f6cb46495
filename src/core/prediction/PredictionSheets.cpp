#include "core/prediction/PredictionSheets.h"

#include "core/prediction/PredictionEngine.h"
#include "core/prediction/SettingsLocation.h"

#include <memory>

namespace peridon {

std::vector<Sheet> buildPredictionSheets(const AnalysisInput& input, int reflect) {
    auto engine = std::make_unique<PredictionEngine>();
    if (reflect < 0) {
        if (const QString path = settingsFilePath(); !path.isEmpty())
            readSettingsFile(path, engine->reflectFlags());
    } else {
        for (int i = 0; i < kOptionCount; ++i)
            engine->reflectFlags()[std::size_t(i)] = i < reflect;
    }
    engine->InitGridsAndScan(input);
    std::vector<Sheet> sheets;
    sheets.reserve(PredictionEngine::kGridCount);
    for (int i = 0; i < PredictionEngine::kGridCount; ++i)
        sheets.push_back(engine->grid(i));
    return sheets;
}

} // namespace peridon
