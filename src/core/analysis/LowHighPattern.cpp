#include "core/analysis/Builders.h"
#include "core/analysis/ComboPattern.h"

namespace peridon::builders {

void lowHighPattern(const AnalysisInput& in, Sheet& sheet) {
    低数字高数字の組合せパターン分析(in).RunAnalysis(sheet);
}

} // namespace peridon::builders
