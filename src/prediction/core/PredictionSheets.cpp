#include "prediction/core/PredictionSheets.h"

namespace peridon {

// Not built yet: four empty grids.
std::vector<Sheet> buildPredictionSheets(const AnalysisInput& input, int reflect) {
    Q_UNUSED(input);
    Q_UNUSED(reflect);
    return std::vector<Sheet>(4);
}

} // namespace peridon
