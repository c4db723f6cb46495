#pragma once

#include "core/analysis/AnalysisRegistry.h"

// The sheet builders of the analysis windows, one per window class. Each
// runs a class local to its file that writes the sheet in named steps
// (SetupGrid, WriteHeader, FillGrid); windows that differ only in a table of
// groups or digit classes share one file.
namespace peridon::builders {

void appearanceFrequency(const AnalysisInput& in, Sheet& sheet); // 出現頻度分析
void appearanceByCount(const AnalysisInput& in, Sheet& sheet);   // 回数別出現分析
void appearanceCount(const AnalysisInput& in, Sheet& sheet);     // 出現回数分析
void appearanceInterval(const AnalysisInput& in, Sheet& sheet);  // 出現間隔分析
void numberInterval(const AnalysisInput& in, Sheet& sheet);      // 数字間隔分析
void dispersion(const AnalysisInput& in, Sheet& sheet);          // バラツキ分析
void digitSum(const AnalysisInput& in, Sheet& sheet);            // 数字合計分析
void pull(const AnalysisInput& in, Sheet& sheet);                // 引っ張り分析
void consecutive(const AnalysisInput& in, Sheet& sheet);         // 連番飛び石分析
void evenOddPattern(const AnalysisInput& in, Sheet& sheet); // 偶数奇数の組合せパターン分析
void lowHighPattern(const AnalysisInput& in, Sheet& sheet); // 低数字高数字の組合せパターン分析
void split3(const AnalysisInput& in, Sheet& sheet);            // 分割3データ分析
void split5(const AnalysisInput& in, Sheet& sheet);            // 分割5データ分析
void split10(const AnalysisInput& in, Sheet& sheet);           // 分割10データ分析
void fiveSplitTendency(const AnalysisInput& in, Sheet& sheet); // 分割5傾向分析

} // namespace peridon::builders
