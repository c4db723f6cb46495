#include "core/store/DrawCsv.h"

#include "core/store/DrawDate.h"
#include "core/store/DrawImport.h"
#include "core/store/TextEncoding.h"

#include <QDate>
#include <QHash>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// UTF-8 (a BOM is dropped) when the bytes are valid UTF-8, else Shift-JIS;
// no result when they are neither.
std::optional<QString> decode(const QByteArray& data) {
    QByteArrayView bytes = data;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeShiftJis(bytes);
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

QString lineError(int line, const QString& reason) {
    return u"%1行目: %2"_s.arg(line).arg(reason);
}

} // namespace

CsvParse parseDrawCsv(const QByteArray& data) {
    CsvParse out;
    const std::optional<QString> decoded = decode(data);
    if (!decoded) {
        out.errors << u"文字コードを読み取れません（UTF-8またはShift-JISで保存してください）"_s;
        return out;
    }
    const QString& text = *decoded;
    const QStringList lines = text.split(u'\n');
    QHash<int, int> seen; // draw number -> line
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const int lineNo = i + 1;
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = line.split(u',');
        if (out.draws.empty() && out.errors.isEmpty() && seen.isEmpty() &&
            fields[0].trimmed() == u"回数")
            continue; // header
        if (fields.size() != 4 && fields.size() != 5) {
            out.errors << lineError(lineNo, u"列の数が%1です（4または5列）"_s.arg(fields.size()));
            continue;
        }
        CsvDraw d;
        d.line = lineNo;
        bool ok = false;
        const QString noText = fields[0].trimmed();
        d.drawNo = noText.toInt(&ok);
        if (!ok || d.drawNo < 1 || d.drawNo > kMaxDrawNo) {
            out.errors << lineError(lineNo, u"回数「%1」は1～%2の整数ではありません"_s.arg(
                                                noText, QString::number(kMaxDrawNo)));
            continue;
        }
        bool digitsOk = true;
        for (int k = 0; k < 3; ++k) {
            if (!parseDigit(fields[k + 1], d.digits[std::size_t(k)])) {
                out.errors << lineError(
                    lineNo, u"第%1数字「%2」は0～9の数字1文字ではありません"_s.arg(k + 1).arg(
                                fields[k + 1].trimmed()));
                digitsOk = false;
                break;
            }
        }
        if (!digitsOk)
            continue;
        if (fields.size() == 5 && !fields[4].trimmed().isEmpty()) {
            const std::optional<QString> date = normaliseDrawDate(fields[4]);
            if (!date) {
                out.errors << lineError(lineNo, badDrawDateReason(fields[4].trimmed()));
                continue;
            }
            d.date = *date;
        }
        if (seen.contains(d.drawNo)) {
            out.errors << lineError(
                lineNo, u"回数%1は%2行目にもあります"_s.arg(d.drawNo).arg(seen[d.drawNo]));
            continue;
        }
        seen.insert(d.drawNo, lineNo);
        out.draws.push_back(d);
    }
    return out;
}

ImportResult importDraws(Database& db, const std::vector<CsvDraw>& draws, bool replace) {
    ImportResult r;
    Database::Transaction tx(db);
    Statement find =
        db.prepare("SELECT 第1数字, 第2数字, 第3数字, 抽せん日 FROM 当選データ WHERE 回数 = ?1");
    Statement insert = db.prepare("INSERT INTO 当選データ (回数, 第1数字, 第2数字, 第3数字, "
                                  "抽せん日) VALUES (?1, ?2, ?3, ?4, ?5)");
    // A line without a date keeps the stored one.
    Statement update = db.prepare("UPDATE 当選データ SET 第1数字 = ?2, 第2数字 = ?3, 第3数字 = ?4, "
                                  "抽せん日 = coalesce(?5, 抽せん日) WHERE 回数 = ?1");
    auto bindRow = [](Statement& st, const CsvDraw& d) {
        st.bind(1, d.drawNo);
        for (int k = 0; k < 3; ++k) {
            if (d.digits[std::size_t(k)] < 0)
                st.bindNull(k + 2);
            else
                st.bind(k + 2, int(d.digits[std::size_t(k)]));
        }
        st.bind(5, d.date.isEmpty() ? QString() : d.date);
    };
    for (const CsvDraw& d : draws) {
        find.reset();
        find.bind(1, d.drawNo);
        if (find.step()) {
            StoredDraw stored;
            for (int k = 0; k < 3; ++k)
                stored.digits[std::size_t(k)] =
                    std::int8_t(find.isNull(k) ? -1 : find.columnInt(k));
            stored.date = find.columnText(3);
            if (holdsSameDraw(stored, d)) {
                ++r.unchanged;
                continue;
            }
            if (!replace) {
                r.errors << lineError(
                    d.line,
                    (stored.digits == d.digits
                         ? u"回数%1は登録済みで抽せん日が異なります（置き換えるには --replace）"_s
                         : u"回数%1は登録済みで数字が異なります（置き換えるには --replace）"_s)
                        .arg(d.drawNo));
                continue;
            }
            update.reset();
            bindRow(update, d);
            update.step();
            ++r.replaced;
        } else {
            insert.reset();
            bindRow(insert, d);
            insert.step();
            ++r.added;
        }
    }
    if (!r.errors.isEmpty()) {
        r.added = r.replaced = r.unchanged = 0;
        return r; // the transaction rolls back
    }
    tx.commit();
    return r;
}

QByteArray exportDrawCsv(Database& db) {
    QByteArray out = QByteArray(kCsvHeader) + '\n';
    Statement st = db.prepare(
        "SELECT 回数, 第1数字, 第2数字, 第3数字, 抽せん日 FROM 当選データ ORDER BY 回数");
    while (st.step()) {
        out += QByteArray::number(st.columnInt(0));
        for (int k = 1; k <= 3; ++k) {
            out += ',';
            if (!st.isNull(k))
                out += QByteArray::number(st.columnInt(k));
        }
        out += ',';
        out += st.columnText(4).toUtf8();
        out += '\n';
    }
    return out;
}

} // namespace peridon
