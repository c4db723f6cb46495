#include "analysis/core/Builders.h"
#include "analysis/core/ComboPattern.h"

namespace peridon::builders {

void lowHighPattern(const AnalysisInput& in, Sheet& sheet) {
    低数字高数字の組合せパターン分析(in).RunAnalysis(sheet);
}

} // namespace peridon::builders
