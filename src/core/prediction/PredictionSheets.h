#pragma once

#include "core/history/AnalysisInput.h"
#include "core/prediction/PredictionSettings.h"
#include "core/sheet/Sheet.h"
#include "core/sheet/SheetPrint.h"

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

// The option flags buildPredictionSheets uses for reflect.
ReflectFlags reflectFlagsFor(int reflect);

// The caption above each of the four grids.
inline constexpr std::array<const char16_t*, 4> kPredictionGridCaptions{
    u"●周期法による予想(この予想数字を組合わせて購入します)",
    u"●消去法による予想(この予想数字を組合わせて購入します)",
    u"●連発ペリドン予想(この予想数字を組む合わせて購入します)",
    u"●一発ペリドン予想",
};

// The printout of the prediction window: the options as they are reflected,
// then the four grids with their captions, on one page.
PrintDocument predictionPrintDocument(const std::vector<const Sheet*>& grids,
                                      const ReflectFlags& flags, int lastDrawNo);

} // namespace peridon
