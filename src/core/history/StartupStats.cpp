#include "core/history/StartupStats.h"

namespace peridon {

StartupStats StartupStats::compute(const DrawHistory& history) {
    StartupStats s;
    if (history.empty())
        return s;
    for (const DrawRow& row : history.rows()) {
        if (!row.valid())
            continue;
        for (int k = 0; k < 3; ++k)
            ++s.digitCount[std::size_t(row.digit(k))];
        s.lastDrawNo = row.drawNo;
    }
    s.maxCount = 0;
    s.countRows = 1;
    for (int d = 0; d < 10; ++d) {
        const int c = s.digitCount[std::size_t(d)];
        if (c > s.maxCount)
            s.maxCount = c;
        if (s.digitsByCount.size() < std::size_t(s.maxCount) + 1)
            s.digitsByCount.resize(std::size_t(s.maxCount) + 1);
        QString& entry = s.digitsByCount[std::size_t(c)];
        if (entry.isEmpty()) {
            entry = QString::number(d);
            ++s.countRows;
        } else {
            entry += u',' + QString::number(d);
        }
    }
    return s;
}

} // namespace peridon
