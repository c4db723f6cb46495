#include "core/store/DrawTextParser.h"

#include "core/history/DrawHistory.h"
#include "core/store/DrawDate.h"
#include "core/store/QuotedInput.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// The part of a line shown in a message: long lines are cut, and control
// characters shown as escapes.
QString excerpt(QStringView line) {
    return quoteInput(line.trimmed());
}

} // namespace

std::optional<CsvDraw> parseDrawLine(QStringView rawLine, QString& reason) {
    // NFKC turns full-width digits, letters, spaces and brackets into ASCII.
    const QString line = rawLine.toString().normalized(QString::NormalizationForm_KC).trimmed();

    static const QRegularExpression head(uR"(^(?:第\s*)?([0-9]+)(?:\s*回)?)"_s);
    const QRegularExpressionMatch number = head.match(line);
    if (!number.hasMatch()) {
        reason = u"回数が行の先頭にありません"_s;
        return std::nullopt;
    }
    CsvDraw draw;
    bool ok = false;
    const QStringView noText = number.capturedView(1);
    draw.drawNo = noText.toInt(&ok);
    if (!ok || draw.drawNo < 1 || draw.drawNo > kMaxDrawNo) {
        reason = u"回数「%1」は1～%2の整数ではありません"_s.arg(quoteInput(noText)).arg(kMaxDrawNo);
        return std::nullopt;
    }
    QString rest = line.mid(number.capturedEnd());

    // A date: four digits, then month and day after -, / or 年 and 月. Checked
    // strictly once found, so that 2026/13/45 is an error and not digits.
    static const QRegularExpression dateLike(
        uR"([0-9]{4}\s*[-/年]\s*[0-9]{1,2}\s*[-/月]\s*[0-9]{1,2}(\s*日)?)"_s);
    const QRegularExpressionMatch dm = dateLike.match(rest);
    if (dm.hasMatch()) {
        QString dateText = dm.captured(0);
        dateText.remove(QRegularExpression(uR"(\s)"_s));
        const std::optional<QString> date = normaliseDrawDate(dateText);
        if (!date) {
            reason = badDrawDateReason(dm.captured(0));
            return std::nullopt;
        }
        draw.date = *date;
        rest.remove(dm.capturedStart(), dm.capturedLength());
    }
    // The day of the week that results pages put after the date: (月).
    static const QRegularExpression weekday(uR"(\(\s*[月火水木金土日]\s*\))"_s);
    rest.remove(weekday);

    static const QRegularExpression separators(uR"([\s,;()]+)"_s);
    const QStringList tokens = rest.split(separators, Qt::SkipEmptyParts);
    static const QRegularExpression threeDigits(u"^[0-9]{3}$"_s);
    static const QRegularExpression oneDigit(u"^[0-9]$"_s);
    QString digits;
    if (tokens.size() == 1 && threeDigits.match(tokens[0]).hasMatch())
        digits = tokens[0];
    else if (tokens.size() == 3 && std::all_of(tokens.begin(), tokens.end(), [](const QString& t) {
                 return oneDigit.match(t).hasMatch();
             }))
        digits = tokens.join(QString());
    if (digits.isEmpty()) {
        reason = tokens.isEmpty() ? u"当選番号がありません"_s
                                  : u"当選番号を3つの数字（123 または 1 2 3）として読めません"_s;
        return std::nullopt;
    }
    for (int k = 0; k < 3; ++k)
        draw.digits[std::size_t(k)] = std::int8_t(digits[k].unicode() - u'0');
    return draw;
}

CsvParse parseDrawText(QStringView text) {
    CsvParse out;
    QHash<int, int> seen; // draw number -> line
    int lineNo = 0;
    for (QStringView line : text.tokenize(u'\n')) {
        ++lineNo;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(u"回数"))
            continue;
        QString reason;
        std::optional<CsvDraw> draw = parseDrawLine(line, reason);
        if (!draw) {
            out.errors << u"%1行目: %2「%3」"_s.arg(lineNo).arg(reason, excerpt(line));
            continue;
        }
        if (const auto it = seen.constFind(draw->drawNo); it != seen.constEnd()) {
            out.errors
                << u"%1行目: 回数%2は%3行目にもあります"_s.arg(lineNo).arg(draw->drawNo).arg(*it);
            continue;
        }
        seen.insert(draw->drawNo, lineNo);
        draw->line = lineNo;
        out.draws.push_back(*draw);
    }
    return out;
}

} // namespace peridon
