#include "core/store/DrawTable.h"

#include <QDir>
#include <QFileInfo>

#include "core/store/Sqlite.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

QString missingRowMessage(int drawNo) {
    return u"第%1回の行がデータベースにありません。"
           "他のプログラムで削除された可能性があります。"_s.arg(drawNo);
}

} // namespace

QString DrawTable::backupPathFor(const QString& databasePath) {
    const QFileInfo db(databasePath);
    const QDir dir = db.absoluteDir();
    const QString base = db.completeBaseName();
    QString whole = dir.filePath(db.fileName() + u".bak"_s);
    if (db.suffix().compare(u"bak"_s, Qt::CaseInsensitive) == 0)
        return whole;
    // Another file that would get the same name (a.db or a beside a.mdb)
    // may be a database too: then each backup takes its database's whole
    // name, so that none replaces another's. The database's own journal,
    // the backups and their temporary files do not count.
    const QStringList others =
        dir.entryList({base, base + u".*"_s}, QDir::Files | QDir::Hidden | QDir::System);
    const QStringList journals{db.fileName() + u"-journal"_s, db.fileName() + u"-wal"_s,
                               db.fileName() + u"-shm"_s};
    for (const QString& name : others) {
        if (name == db.fileName() || journals.contains(name) ||
            name.startsWith(base + u".bak"_s, Qt::CaseInsensitive))
            continue;
        if (name == base || QFileInfo(name).completeBaseName() == base)
            return whole;
    }
    return dir.filePath(base + u".bak"_s);
}

DrawTable::DrawTable(Database& db) : m_db(db) {}

std::vector<EntryRow> DrawTable::readRows() {
    std::vector<EntryRow> rows;
    Statement st = m_db.prepare(
        "SELECT 回数, 第1数字, 第2数字, 第3数字 FROM 全データ選択クエリ ORDER BY 回数");
    while (st.step()) {
        EntryRow row;
        row.drawNo = st.columnInt(0);
        // The stored value's own text: 5 for an integer, 1.5 for a real, a
        // null string for an empty field.
        for (int k = 0; k < 3; ++k)
            row.digits[std::size_t(k)] = st.columnText(k + 1);
        rows.push_back(std::move(row));
    }
    return rows;
}

void DrawTable::ensureBackup() {
    if (m_backedUp)
        return;
    const QString path = backupPathFor(m_db.path());
    try {
        m_db.backupTo(path);
    } catch (const DbError& e) {
        throw DbError(u"バックアップファイルを作成できないため、書き込みを中止しました。"
                      "\n%1\n%2"_s.arg(QDir::toNativeSeparators(path), e.message()),
                      e.code());
    }
    m_backedUp = true;
}

void DrawTable::setDigit(int drawNo, int position, std::optional<int> value) {
    static const char* const kUpdate[3] = {
        "UPDATE 当選データ SET 第1数字 = ?1 WHERE 回数 = ?2",
        "UPDATE 当選データ SET 第2数字 = ?1 WHERE 回数 = ?2",
        "UPDATE 当選データ SET 第3数字 = ?1 WHERE 回数 = ?2",
    };
    if (position < 0 || position > 2)
        throw DbError(u"数字の位置が正しくありません。"_s);
    if (value && (*value < 0 || *value > 9))
        throw DbError(u"数字は0～9の1文字で入力してください。"_s);
    ensureBackup();
    Database::Transaction tx(m_db);
    Statement st = m_db.prepare(kUpdate[position]);
    if (value)
        st.bind(1, *value);
    else
        st.bindNull(1);
    st.bind(2, drawNo);
    st.step();
    if (sqlite3_changes(m_db.handle()) != 1)
        throw DbError(missingRowMessage(drawNo));
    tx.commit();
}

int DrawTable::freeDrawNoAfter(int afterDrawNo) {
    // The number right above, or else the top of the run of used numbers that
    // starts there plus one: the smallest free number above afterDrawNo.
    Statement find = m_db.prepare(
        "SELECT CASE WHEN NOT EXISTS (SELECT 1 FROM 当選データ WHERE 回数 = ?1 + 1) THEN ?1 + 1 "
        "ELSE (SELECT MIN(t.回数 + 1) FROM 当選データ t WHERE t.回数 > ?1 AND NOT EXISTS "
        "(SELECT 1 FROM 当選データ u WHERE u.回数 = t.回数 + 1)) END");
    find.bind(1, std::max(afterDrawNo, 0));
    if (!find.step())
        throw DbError(u"追加する行の回数を決められません。"_s);
    const int drawNo = find.columnInt(0);
    if (drawNo > kMaxDrawNo)
        throw DbError(u"回数は%1までのため、このうしろには行を追加できません。"_s.arg(kMaxDrawNo));
    return drawNo;
}

int DrawTable::insertBlankAfter(int afterDrawNo) {
    ensureBackup();
    Database::Transaction tx(m_db);
    const int drawNo = freeDrawNoAfter(afterDrawNo);
    Statement ins = m_db.prepare("INSERT INTO 当選データ (回数) VALUES (?1)");
    ins.bind(1, drawNo);
    ins.step();
    tx.commit();
    return drawNo;
}

void DrawTable::insertDraw(int drawNo, int position, int value) {
    static const char* const kInsert[3] = {
        "INSERT INTO 当選データ (回数, 第1数字) VALUES (?1, ?2)",
        "INSERT INTO 当選データ (回数, 第2数字) VALUES (?1, ?2)",
        "INSERT INTO 当選データ (回数, 第3数字) VALUES (?1, ?2)",
    };
    if (position < 0 || position > 2)
        throw DbError(u"数字の位置が正しくありません。"_s);
    if (value < 0 || value > 9)
        throw DbError(u"数字は0～9の1文字で入力してください。"_s);
    if (drawNo < 1 || drawNo > kMaxDrawNo)
        throw DbError(u"回数は1から%1までです。"_s.arg(kMaxDrawNo));
    ensureBackup();
    Database::Transaction tx(m_db);
    Statement exists = m_db.prepare("SELECT 1 FROM 当選データ WHERE 回数 = ?1");
    exists.bind(1, drawNo);
    if (exists.step())
        throw DbError(u"第%1回の行はすでにデータベースにあります。"
                      "他のプログラムで追加された可能性があります。"_s.arg(drawNo));
    Statement ins = m_db.prepare(kInsert[position]);
    ins.bind(1, drawNo);
    ins.bind(2, value);
    ins.step();
    tx.commit();
}

ImportPlan DrawTable::plan(const std::vector<CsvDraw>& draws) {
    return planImport(m_db, draws);
}

ImportResult DrawTable::writeDraws(const std::vector<CsvDraw>& draws, bool replace) {
    // A damaged file is named as such before its backup fails on the damage.
    m_db.checkIntegrity();
    ensureBackup();
    return importDraws(m_db, draws, replace);
}

void DrawTable::deleteRow(int drawNo) {
    ensureBackup();
    Database::Transaction tx(m_db);
    Statement st = m_db.prepare("DELETE FROM 当選データ WHERE 回数 = ?1");
    st.bind(1, drawNo);
    st.step();
    if (sqlite3_changes(m_db.handle()) != 1)
        throw DbError(missingRowMessage(drawNo));
    tx.commit();
}

} // namespace peridon
