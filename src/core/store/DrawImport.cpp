#include "core/store/DrawImport.h"

#include "core/files/Platform.h"
#include "core/files/PublishFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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

QStringList conflictErrors(const ImportPlan& plan) {
    QStringList errors;
    for (const DrawDifference& d : plan.differing)
        errors
            << u"%1行目: %2"_s.arg(d.incoming.line)
                   .arg(
                       (d.stored.digits == d.incoming.digits
                            ? u"回数%1は登録済みで抽せん日が異なります（置き換えるには --replace）"_s
                            : u"回数%1は登録済みで数字が異なります（置き換えるには --replace）"_s)
                           .arg(d.incoming.drawNo));
    return errors;
}

void throwDatabaseExists(const QString& dbPath) {
    throw DbError(u"データベースファイルが既にあります。上書きしません。\n%1"_s.arg(
        QDir::toNativeSeparators(QFileInfo(dbPath).absoluteFilePath())));
}

void checkNewDatabaseName(const QString& dbPath) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(dbPath).absoluteFilePath());
    const FileKind kind = fileKindAt(dbPath);
    if (kind == FileKind::Missing)
        return;
    if (kind == FileKind::Regular || kind == FileKind::SymbolicLink)
        throwDatabaseExists(dbPath);
    if (kind == FileKind::Directory)
        throw DbError(
            u"データベースを作成できません。同じ名前のフォルダーがあります。\n%1"_s.arg(shown));
    throw DbError(
        u"データベースを作成できません。同じ名前の%1があり、通常のファイルではありません。\n%2"_s
            .arg(fileKindText(kind), shown));
}

bool createDatabaseWithDraws(const QString& dbPath, const std::vector<CsvDraw>& draws) {
    checkNewDatabaseName(dbPath);
    const QString shown = QDir::toNativeSeparators(QFileInfo(dbPath).absoluteFilePath());
    PublishResult published;
    try {
        published = publishBuilt(
            dbPath,
            [&](const QString& tmp, QString&) {
                Database db(connectStringFor(tmp), Database::Mode::FillEmptyFile);
                const ImportResult r = importDraws(db, draws, false);
                if (!r.errors.isEmpty())
                    throw DbError(r.errors.mid(0, 5).join(u'\n'));
                return true;
            },
            PublishOptions{.replace = false, .privateFile = true});
    } catch (const DbError& e) {
        throw DbError(u"データベースを作成できません。\n%1\n%2"_s.arg(shown, e.message()),
                      e.code());
    }
    if (published.nameTaken())
        return false;
    if (!published)
        throw DbError(u"データベースを作成できません。\n%1\n%2"_s.arg(shown, published.reason()));
    return true;
}

std::vector<DrawRange> missingDrawsAfter(int lastStored, std::vector<int> incoming) {
    std::sort(incoming.begin(), incoming.end());
    incoming.erase(std::unique(incoming.begin(), incoming.end()), incoming.end());
    std::vector<DrawRange> gaps;
    if (incoming.empty())
        return gaps;
    // Each new number above the last one held so far leaves the numbers
    // between them missing.
    int held = lastStored > 0 ? lastStored : incoming.front();
    for (int no : incoming) {
        if (no <= held)
            continue;
        if (no > held + 1)
            gaps.push_back({held + 1, no - 1});
        held = no;
    }
    return gaps;
}

int lastStoredDrawNo(Database& db) {
    Statement last = db.prepare("SELECT MAX(回数) FROM 当選データ");
    return last.step() && !last.isNull(0) ? last.columnInt(0) : 0;
}

std::vector<DrawRange> missingDrawsAfter(Database& db, const std::vector<CsvDraw>& draws) {
    std::vector<int> numbers;
    numbers.reserve(draws.size());
    for (const CsvDraw& d : draws)
        numbers.push_back(d.drawNo);
    return missingDrawsAfter(lastStoredDrawNo(db), std::move(numbers));
}

QString missingDrawsText(const std::vector<DrawRange>& ranges) {
    constexpr std::size_t kShown = 5;
    QStringList parts;
    for (std::size_t i = 0; i < ranges.size() && i < kShown; ++i) {
        const DrawRange& r = ranges[i];
        parts << (r.first == r.last ? u"第%1回"_s.arg(r.first)
                                    : u"第%1回～第%2回"_s.arg(r.first).arg(r.last));
    }
    QString text = parts.join(u'、');
    if (ranges.size() > kShown)
        text += u"（ほか%1か所）"_s.arg(ranges.size() - kShown);
    return text;
}

QString digitsText(const std::array<std::int8_t, 3>& digits) {
    QStringList parts;
    for (std::int8_t d : digits)
        parts << (d < 0 ? u"-"_s : QString::number(d));
    return parts.join(u' ');
}

} // namespace peridon
