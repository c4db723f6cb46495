#include "support/TestDatabase.h"

#include "core/store/DrawImport.h"
#include "core/store/DrawTable.h"
#include "support/TestHistory.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace peridon::test {

Database openOrCreateDatabase(const ConnectString& cs) {
    if (!QFileInfo::exists(cs.path))
        createDatabaseWithDraws(cs.path, {});
    return Database(cs, Database::Mode::OpenExisting);
}

ConnectString makeDatabase(const QString& path, const QString& historyText) {
    const ConnectString cs = connectStringFor(path);
    Database db = openOrCreateDatabase(cs);
    const DrawHistory rows = history(historyText);
    Database::Transaction tx(db);
    Statement ins = db.prepare(
        "INSERT INTO 当選データ (回数, 第1数字, 第2数字, 第3数字) VALUES (?1, ?2, ?3, ?4)");
    for (const DrawRow& row : rows.rows()) {
        ins.bind(1, row.drawNo);
        for (int k = 0; k < 3; ++k) {
            if (row.digits[std::size_t(k)] < 0)
                ins.bindNull(k + 2);
            else
                ins.bind(k + 2, int(row.digits[std::size_t(k)]));
        }
        ins.step();
        ins.reset();
    }
    tx.commit();
    return cs;
}

QString storedRows(const ConnectString& cs) {
    Database db(cs, Database::Mode::OpenExisting);
    QStringList out;
    for (const EntryRow& row : DrawTable(db).readRows()) {
        QString digits;
        for (const QString& d : row.digits)
            digits += d.isEmpty() ? u"-"_s : d;
        out << u"%1:%2"_s.arg(row.drawNo).arg(digits);
    }
    return out.join(u' ');
}

} // namespace peridon::test
