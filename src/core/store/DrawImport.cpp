#include "core/store/DrawImport.h"

#include "core/files/Platform.h"
#include "core/files/PublishFile.h"

#include <QDir>
#include <QFileInfo>

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

QString digitsText(const std::array<std::int8_t, 3>& digits) {
    QStringList parts;
    for (std::int8_t d : digits)
        parts << (d < 0 ? u"-"_s : QString::number(d));
    return parts.join(u' ');
}

} // namespace peridon
