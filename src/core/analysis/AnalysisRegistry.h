#pragma once

#include "core/history/AnalysisInput.h"
#include "core/sheet/Sheet.h"

#include <QString>

#include <vector>

namespace peridon {

using SheetBuilder = void (*)(const AnalysisInput& input, Sheet& sheet);

// One analysis window as the program computes it: its key (the window
// class, which peridon-cli names and the GUI finds its layout by), its
// caption and the builder of its sheet.
struct AnalysisInfo {
    QString className; // the window class, e.g. 出現頻度分析
    QString caption;   // window caption
    SheetBuilder build;
};

// Every analysis window, in the order of the main window's menu.
const std::vector<AnalysisInfo>& analysisRegistry();
// The entry of a window class, or nullptr.
const AnalysisInfo* findAnalysis(const QString& className);

} // namespace peridon
