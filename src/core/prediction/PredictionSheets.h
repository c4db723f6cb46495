#pragma once

#include "core/sheet/Sheet.h"
#include "core/store/AnalysisInput.h"

#include <vector>

namespace peridon {

// The prediction window's class name and caption.
inline constexpr const char16_t* kPredictionClass = u"一発ペリドン";
inline constexpr const char16_t* kPredictionCaption = u"一発ペリドン予想";

// The four grids of the prediction window (0 cycle, 1 elimination,
// 2 rapid-fire, 3 one-shot) as on its first opening after start-up. reflect
// is the number of leading options set to 反映する (0..10), or -1 to take the
// options from the settings file of this run (settingsFilePath()).
std::vector<Sheet> buildPredictionSheets(const AnalysisInput& input, int reflect);

} // namespace peridon
