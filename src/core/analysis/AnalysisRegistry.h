#pragma once

#include "core/sheet/Sheet.h"
#include "core/store/AnalysisInput.h"

#include <QString>

#include <vector>

namespace peridon {

using SheetBuilder = void (*)(const AnalysisInput& input, Sheet& sheet);

// The small picture and label some windows show beside the description.
enum class Legend {
    None,
    Ball13,       // 13x13 blue ball + "：当選数字"
    Ball19,       // 19x19 blue ball + "：当選数字"
    PullPrevious, // colour sample RGB(128,255,255) + ":前回の数字"
};

// Where the buttons stand: the usual top-right pair, or the small
// appearance-by-draw-count window's own places.
enum class ButtonLayout { TopRight, CountWindow };

// One analysis window: everything the main window's menu, the window frame,
// peridon-cli and the tests need to know about it.
struct AnalysisInfo {
    QString className;   // the window class, e.g. 出現頻度分析
    QString menuName;    // object name of the main window's command that opens it
    QString menuCaption; // that command's text
    // The submenu of データ分析 the command sits in (object name and text);
    // empty when it sits directly in データ分析. Consecutive entries with the
    // same submenu share it.
    QString submenuName;
    QString submenuCaption;
    QString caption;     // window caption
    QString description; // Label1
    int widthTwips;
    int heightTwips;
    bool hasPrint; // Command2 "印刷"
    Legend legend;
    ButtonLayout buttons;
    SheetBuilder build;
};

// Every analysis window, in menu order of the main window.
const std::vector<AnalysisInfo>& analysisRegistry();
// The entry of a window class, or nullptr.
const AnalysisInfo* findAnalysis(const QString& className);

} // namespace peridon
