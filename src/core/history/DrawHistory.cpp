#include "core/history/DrawHistory.h"

#include <algorithm>

namespace peridon {

DrawHistory::DrawHistory(std::vector<DrawRow> rows) : m_rows(std::move(rows)) {
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const DrawRow& a, const DrawRow& b) { return a.drawNo < b.drawNo; });
}

} // namespace peridon
