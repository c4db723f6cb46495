#include "support/TestHistory.h"

#include <QStringList>

#include <stdexcept>

namespace peridon::test {

DrawHistory history(const QString& text) {
    std::vector<DrawRow> rows;
    int next = 1;
    for (const QString& token : text.split(u' ', Qt::SkipEmptyParts)) {
        QString digits = token;
        const qsizetype colon = token.indexOf(u':');
        if (colon >= 0) {
            next = token.left(colon).toInt();
            digits = token.mid(colon + 1);
        }
        if (digits.size() != 3)
            throw std::invalid_argument("a draw needs three digit places");
        DrawRow row;
        row.drawNo = next++;
        for (int k = 0; k < 3; ++k) {
            const QChar c = digits[k];
            row.digits[std::size_t(k)] = c == u'-' ? std::int8_t(-1) : std::int8_t(c.digitValue());
        }
        rows.push_back(row);
    }
    return DrawHistory(std::move(rows));
}

} // namespace peridon::test
