#include "core/store/DrawImport.h"

using namespace Qt::StringLiterals;

namespace peridon {

bool holdsSameDraw(const StoredDraw& stored, const CsvDraw& incoming) {
    return stored.digits == incoming.digits &&
           (incoming.date.isEmpty() || incoming.date == stored.date);
}

std::vector<CsvDraw> ImportPlan::drawsToWrite(bool replace) const {
    std::vector<CsvDraw> out = added;
    if (replace) {
        for (const DrawDifference& d : differing)
            out.push_back(d.incoming);
    }
    return out;
}

ImportPlan planImport(Database& db, const std::vector<CsvDraw>& draws) {
    ImportPlan plan;
    Statement find =
        db.prepare("SELECT 第1数字, 第2数字, 第3数字, 抽せん日 FROM 当選データ WHERE 回数 = ?1");
    for (const CsvDraw& d : draws) {
        find.reset();
        find.bind(1, d.drawNo);
        if (!find.step()) {
            plan.added.push_back(d);
            continue;
        }
        StoredDraw stored;
        for (int k = 0; k < 3; ++k) {
            const int v = find.isNull(k) ? -1 : find.columnInt(k);
            stored.digits[std::size_t(k)] = std::int8_t(v >= 0 && v <= 9 ? v : -1);
        }
        stored.date = find.columnText(3);
        if (holdsSameDraw(stored, d))
            ++plan.identical;
        else
            plan.differing.push_back({d, stored});
    }
    return plan;
}

QString digitsText(const std::array<std::int8_t, 3>& digits) {
    QStringList parts;
    for (std::int8_t d : digits)
        parts << (d < 0 ? u"-"_s : QString::number(d));
    return parts.join(u' ');
}

} // namespace peridon
