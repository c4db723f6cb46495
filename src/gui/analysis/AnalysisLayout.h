#pragma once

#include <QString>

#include <vector>

namespace peridon {

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

// How the main window's menu and the window frame show one analysis window
// of the registry, found by the registry's key (the window class).
struct AnalysisLayout {
    QString className;   // the registry's key, e.g. 出現頻度分析
    QString menuName;    // object name of the main window's command that opens it
    QString menuCaption; // that command's text
    // The submenu of データ分析 the command sits in (object name and text);
    // empty when it sits directly in データ分析. Consecutive entries with the
    // same submenu share it.
    QString submenuName;
    QString submenuCaption;
    QString description; // Label1
    int widthTwips;
    int heightTwips;
    bool hasPrint; // Command2 "印刷"
    Legend legend;
    ButtonLayout buttons;
};

// The layout of every analysis window, in the registry's order.
const std::vector<AnalysisLayout>& analysisLayouts();
// The layout of a window class of the registry; a plain window (no menu
// command, description, print button or legend) for a class without one.
const AnalysisLayout& analysisLayout(const QString& className);

} // namespace peridon
