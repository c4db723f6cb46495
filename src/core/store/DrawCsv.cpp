#include "core/store/DrawCsv.h"

#include "core/files/Platform.h"
#include "core/store/DrawDate.h"
#include "core/store/DrawImport.h"
#include "core/store/QuotedInput.h"
#include "core/store/TextEncoding.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// Calls f(line number, bytes) for each line until f returns false. CR, LF
// and CR LF each end a line; the bytes exclude the line end. A CR or LF byte
// never occurs inside a UTF-8 or Shift-JIS character, so lines can be split
// before decoding.
template <typename F> void forEachLine(QByteArrayView data, F&& f) {
    const char* const begin = data.data();
    const char* const end = begin + data.size();
    const char* p = begin;
    int lineNo = 0;
    while (p < end) {
        const char* eol = p;
        while (eol < end && *eol != '\n' && *eol != '\r')
            ++eol;
        ++lineNo;
        if (!f(lineNo, QByteArrayView(p, eol - p)))
            return;
        if (eol < end && *eol == '\r' && eol + 1 < end && eol[1] == '\n')
            ++eol;
        p = eol + 1;
    }
}

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::optional<QString> decodeUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// A digit field: empty, or exactly one character 0-9.
bool parseDigit(const QString& field, std::int8_t& digit) {
    const QString f = field.trimmed();
    if (f.isEmpty()) {
        digit = -1;
        return true;
    }
    if (f.size() == 1 && f[0] >= u'0' && f[0] <= u'9') {
        digit = std::int8_t(f[0].unicode() - u'0');
        return true;
    }
    return false;
}

// A header names the columns: no number stands where the draw number does.
bool isHeader(const QString& firstField) {
    return std::none_of(firstField.begin(), firstField.end(), [](QChar c) { return c.isDigit(); });
}

QString lineError(int line, const QString& reason) {
    return u"%1行目: %2"_s.arg(line).arg(reason);
}

// Collects the parse; keeps only the first errors so that a huge bad file
// cannot exhaust memory, but counts all of them.
class CsvParser {
public:
    explicit CsvParser(CsvParse& out) : m_out(out) {}

    void error(int lineNo, const QString& reason) {
        ++m_out.errorCount;
        if (m_out.errors.size() < kCsvErrorsKept)
            m_out.errors << lineError(lineNo, reason);
    }

    void line(int lineNo, const QString& line);

private:
    CsvParse& m_out;
    QHash<int, int> m_seen; // draw number -> line
    bool m_sawContent = false;
};

void CsvParser::line(int lineNo, const QString& line) {
    if (line.trimmed().isEmpty())
        return;
    const QStringList fields = line.split(u',');
    const bool first = !m_sawContent;
    m_sawContent = true;
    if (first && isHeader(fields[0].trimmed()))
        return;
    if (fields.size() != 4 && fields.size() != 5) {
        error(lineNo, u"列の数が%1です（4または5列）"_s.arg(fields.size()));
        return;
    }
    CsvDraw d;
    d.line = lineNo;
    bool ok = false;
    const QString noText = fields[0].trimmed();
    d.drawNo = noText.toInt(&ok);
    if (!ok || d.drawNo < 1 || d.drawNo > kMaxDrawNo) {
        error(lineNo, u"回数「%1」は1～%2の整数ではありません"_s.arg(quoteInput(noText),
                                                                     QString::number(kMaxDrawNo)));
        return;
    }
    for (int k = 0; k < 3; ++k) {
        if (!parseDigit(fields[k + 1], d.digits[std::size_t(k)])) {
            error(lineNo, u"第%1数字「%2」は0～9の数字1文字ではありません"_s.arg(k + 1).arg(
                              quoteInput(fields[k + 1].trimmed())));
            return;
        }
    }
    if (fields.size() == 5 && !fields[4].trimmed().isEmpty()) {
        const std::optional<QString> date = normaliseDrawDate(fields[4]);
        if (!date) {
            error(lineNo, badDrawDateReason(fields[4].trimmed()));
            return;
        }
        d.date = *date;
    }
    if (const auto it = m_seen.constFind(d.drawNo); it != m_seen.cend()) {
        error(lineNo, u"回数%1は%2行目にもあります"_s.arg(d.drawNo).arg(it.value()));
        return;
    }
    m_seen.insert(d.drawNo, lineNo);
    m_out.draws.push_back(d);
}

} // namespace

CsvParse parseDrawCsv(QByteArrayView data) {
    CsvParse out;
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    // The whole file is UTF-8 when every line is; otherwise it is Shift-JIS.
    bool utf8 = true;
    forEachLine(data, [&](int, QByteArrayView bytes) {
        utf8 = bytes.size() > kCsvLineBytes || isAscii(bytes) || decodeUtf8(bytes).has_value();
        return utf8;
    });
    CsvParser parser(out);
    forEachLine(data, [&](int lineNo, QByteArrayView bytes) {
        if (bytes.size() > kCsvLineBytes) {
            parser.error(lineNo, u"行が長すぎます（%1バイトまで）"_s.arg(kCsvLineBytes));
            return true;
        }
        std::optional<QString> text;
        if (isAscii(bytes))
            text = QString::fromLatin1(bytes);
        else
            text = utf8 ? decodeUtf8(bytes) : decodeShiftJis(bytes);
        if (!text) {
            parser.error(lineNo, u"文字コードを読み取れません（UTF-8またはShift-JISで保存して"
                                 "ください）"_s);
            return true;
        }
        parser.line(lineNo, *text);
        return true;
    });
    return out;
}

CsvParse readDrawCsvFile(const QString& path) {
    CsvParse out;
    const auto refuse = [&](const QString& reason) {
        out.unreadable = true;
        out.errorCount = 1;
        out.errors << u"%1\n%2"_s.arg(reason, QDir::toNativeSeparators(path));
        return out;
    };
    QFile file;
    QString problem;
    if (!openRegularFileForReading(file, path, problem))
        return refuse(u"CSVファイルを読めません。"_s + problem);
    if (file.size() > kCsvFileBytes)
        return refuse(u"CSVファイルが大きすぎます（%1MBまで）。"_s.arg(kCsvFileBytes >> 20));
    // Read at most one byte past the limit: a file that grows meanwhile is
    // refused instead of read without end.
    const QByteArray data = file.read(kCsvFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(u"CSVファイルを読めません（%1）。"_s.arg(file.errorString()));
    if (data.size() > kCsvFileBytes)
        return refuse(u"CSVファイルが大きすぎます（%1MBまで）。"_s.arg(kCsvFileBytes >> 20));
    return parseDrawCsv(data);
}

ImportResult importDraws(Database& db, const std::vector<CsvDraw>& draws, bool replace) {
    ImportResult r;
    Database::Transaction tx(db);
    // Writing into a damaged file would only spread the damage.
    db.checkIntegrity();
    // The same comparison the import window shows before it writes, read
    // inside the transaction that writes.
    const ImportPlan plan = planImport(db, draws);
    if (!replace && !plan.differing.empty()) {
        r.errors = conflictErrors(plan);
        return r; // the transaction rolls back
    }
    Statement insert = db.prepare("INSERT INTO 当選データ (回数, 第1数字, 第2数字, 第3数字, "
                                  "抽せん日) VALUES (?1, ?2, ?3, ?4, ?5)");
    // A line without a date keeps the stored one.
    Statement update = db.prepare("UPDATE 当選データ SET 第1数字 = ?2, 第2数字 = ?3, 第3数字 = ?4, "
                                  "抽せん日 = coalesce(?5, 抽せん日) WHERE 回数 = ?1");
    auto write = [](Statement& st, const CsvDraw& d) {
        st.reset();
        st.bind(1, d.drawNo);
        for (int k = 0; k < 3; ++k) {
            if (d.digits[std::size_t(k)] < 0)
                st.bindNull(k + 2);
            else
                st.bind(k + 2, int(d.digits[std::size_t(k)]));
        }
        st.bind(5, d.date.isEmpty() ? QString() : d.date);
        st.step();
    };
    for (const CsvDraw& d : plan.added)
        write(insert, d);
    if (replace) {
        for (const DrawDifference& d : plan.differing)
            write(update, d.incoming);
        r.replaced = int(plan.differing.size());
    }
    r.added = int(plan.added.size());
    r.unchanged = plan.identical;
    tx.commit();
    return r;
}

QByteArray exportDrawCsv(Database& db) {
    // Only values the table allows are written: a row another program has
    // changed into something else is named, never written as a guess.
    // Lines end in CR LF, as in the grids' CSV files (spreadsheets read both).
    QByteArray out = QByteArray(kCsvHeader) + "\r\n";
    QStringList problems;
    Statement st = db.prepare(
        "SELECT 回数, 第1数字, 第2数字, 第3数字, 抽せん日 FROM 当選データ ORDER BY 回数");
    while (st.step()) {
        const int drawNo = st.columnInt(0);
        if (drawNo < 1 || drawNo > kMaxDrawNo) {
            problems << u"回数%1は1～%2の範囲にありません"_s.arg(drawNo).arg(kMaxDrawNo);
            continue;
        }
        QByteArray line = QByteArray::number(drawNo);
        for (int k = 1; k <= 3; ++k) {
            line += ',';
            const Statement::Type type = st.columnType(k);
            if (type == Statement::Type::Null)
                continue;
            const int digit = st.columnInt(k);
            if (type != Statement::Type::Integer || digit < 0 || digit > 9) {
                problems
                    << u"回数%1の第%2数字「%3」は0～9の数字ではありません"_s.arg(drawNo).arg(k).arg(
                           st.columnText(k));
                continue;
            }
            line += QByteArray::number(digit);
        }
        line += ',';
        const Statement::Type dateType = st.columnType(4);
        const QString date = st.columnText(4);
        if (dateType != Statement::Type::Null &&
            (dateType != Statement::Type::Text ||
             date.contains(QRegularExpression(u"[,\"\r\n]"_s)))) {
            problems << u"回数%1の抽せん日「%2」はCSVに書けない値です"_s.arg(drawNo).arg(date);
            continue;
        }
        line += date.toUtf8();
        out += line + "\r\n";
    }
    if (!problems.isEmpty()) {
        QString message =
            u"データベースに許されない値の行が%1行あります。書き出しませんでした。"_s.arg(
                problems.size());
        for (const QString& p : problems.mid(0, 20))
            message += u'\n' + p;
        throw DbError(message);
    }
    return out;
}

} // namespace peridon
