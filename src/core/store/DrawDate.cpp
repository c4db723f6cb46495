#include "core/store/DrawDate.h"

#include "core/store/QuotedInput.h"

#include <QDate>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace peridon {

std::optional<QString> normaliseDrawDate(QStringView text) {
    // One separator style per date: 2026/08-24 is a typing slip, not a date.
    static const QRegularExpression forms(
        uR"(^([0-9]{4})(?:-([0-9]{1,2})-([0-9]{1,2})|/([0-9]{1,2})/([0-9]{1,2})|年([0-9]{1,2})月([0-9]{1,2})日)$)"_s);
    const QRegularExpressionMatch m = forms.match(text.trimmed().toString());
    if (!m.hasMatch())
        return std::nullopt;
    const int year = m.capturedView(1).toInt();
    int month = 0;
    int day = 0;
    for (int group = 2; group <= 6; group += 2) {
        if (m.hasCaptured(group)) {
            month = m.capturedView(group).toInt();
            day = m.capturedView(group + 1).toInt();
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date.toString(Qt::ISODate);
}

QString badDrawDateReason(const QString& text) {
    return u"抽せん日「%1」は日付ではありません（YYYY-MM-DD、YYYY/MM/DD、YYYY年M月D日）"_s.arg(
        quoteInput(text));
}

} // namespace peridon
