#include "analysis/core/Builders.h"

namespace peridon::builders {

// Not built yet: an empty sheet.
void pull(const AnalysisInput& in, Sheet& sheet) {
    Q_UNUSED(in);
    sheet.setSize(0, 0);
}

} // namespace peridon::builders
