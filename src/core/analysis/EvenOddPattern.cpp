#include "core/analysis/Builders.h"
#include "core/analysis/ComboPattern.h"

namespace peridon::builders {

void evenOddPattern(const AnalysisInput& in, Sheet& sheet) {
    偶数奇数の組合せパターン分析(in).RunAnalysis(sheet);
}

} // namespace peridon::builders
