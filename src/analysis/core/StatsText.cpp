#include "analysis/core/StatsText.h"

namespace peridon::stats {

Sheet::TextId NumberTexts::id(int n) {
    const auto make = [&] { return m_sheet.internText(m_prefix + QString::number(n) + m_suffix); };
    if (n < -kOffset || n > kMax)
        return make();
    const auto index = std::size_t(n + kOffset);
    if (index >= m_ids.size())
        m_ids.resize(index + 1, 0);
    Sheet::TextId& id = m_ids[index];
    if (id == 0)
        id = make();
    return id;
}

} // namespace peridon::stats
