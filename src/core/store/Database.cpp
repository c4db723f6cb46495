#include "core/store/Database.h"

#include "core/files/PublishFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/store/Sqlite.h"

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// The database password, kept as a number and turned into its decimal text at
// run time.
constexpr int kPassword = 583190;

// The CHECK's upper bound is kMaxDrawNo; the text stays literal because it is
// stored in every database file.
const char* const kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS 当選データ (
    回数 INTEGER PRIMARY KEY CHECK (typeof(回数) = 'integer' AND 回数 BETWEEN 1 AND 32767),
    第1数字 INTEGER NULL CHECK (第1数字 IS NULL OR (typeof(第1数字) = 'integer' AND 第1数字 BETWEEN 0 AND 9)),
    第2数字 INTEGER NULL CHECK (第2数字 IS NULL OR (typeof(第2数字) = 'integer' AND 第2数字 BETWEEN 0 AND 9)),
    第3数字 INTEGER NULL CHECK (第3数字 IS NULL OR (typeof(第3数字) = 'integer' AND 第3数字 BETWEEN 0 AND 9)),
    抽せん日 TEXT NULL
);
CREATE VIEW IF NOT EXISTS 全データ選択クエリ AS
    SELECT 回数, 第1数字, 第2数字, 第3数字 FROM 当選データ;
)SQL";

QString sqliteMessage(sqlite3* db, int rc) {
    if (rc == SQLITE_CORRUPT)
        return QString::fromUtf16(kDamagedMessage);
    if (rc == SQLITE_NOTADB)
        return u"パスワードが違うか、データベースファイルではありません。"_s;
    if (rc == SQLITE_CONSTRAINT)
        return u"値が許される範囲にありません（回数は1～%1、数字は0～9）。"_s.arg(kMaxDrawNo);
    if (rc == SQLITE_FULL)
        return u"ディスクの空きがありません。"_s;
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return u"データベースが他のプログラムで使用中です。"_s;
    if (rc == SQLITE_READONLY || rc == SQLITE_PERM || rc == SQLITE_CANTOPEN)
        return u"データベースファイルに書き込めません。"_s;
    const char* msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return u"データベースのエラーです（%1）。"_s.arg(QString::fromUtf8(msg));
}

// A digit field as stored: integer 0..9, or -1 for an empty or unusable value.
std::int8_t digitOf(sqlite3_stmt* st, int column) {
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(st, column);
        return (v >= 0 && v <= 9) ? std::int8_t(v) : std::int8_t(-1);
    }
    case SQLITE_TEXT: {
        const QString t =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)))
                .trimmed();
        bool ok = false;
        const int v = t.toInt(&ok);
        return (ok && v >= 0 && v <= 9) ? std::int8_t(v) : std::int8_t(-1);
    }
    default:
        return -1;
    }
}

} // namespace

ConnectString connectStringFor(const QString& path) {
    return ConnectString{path, QString::number(kPassword)};
}

ConnectString defaultConnectString() {
    const QString dir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return connectStringFor(QDir(dir).filePath(QString::fromUtf16(kDatabaseFileName)));
}

// ---- Statement ----

Statement& Statement::operator=(Statement&& o) noexcept {
    if (this != &o) {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_db = std::exchange(o.m_db, nullptr);
        m_stmt = std::exchange(o.m_stmt, nullptr);
    }
    return *this;
}

Statement::~Statement() {
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

Statement& Statement::bind(int index, int value) {
    sqlite3_bind_int(m_stmt, index, value);
    return *this;
}

Statement& Statement::bind(int index, const QString& value) {
    if (value.isNull())
        return bindNull(index);
    const QByteArray utf8 = value.toUtf8();
    // SQLITE_TRANSIENT is the library's own marker, (destructor)-1: SQLite
    // copies the text before bind returns.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = sqlite3_extended_errcode(m_db) & 0xff;
    const QString msg = sqliteMessage(m_db, code ? code : rc);
    sqlite3_reset(m_stmt);
    throw DbError(msg, code ? code : rc);
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

Statement::Type Statement::columnType(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

int Statement::columnInt(int column) const {
    return sqlite3_column_int(m_stmt, column);
}

QString Statement::columnText(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return p ? QString::fromUtf8(p) : QString();
}

// ---- Database ----

Database::Database(const ConnectString& cs, Mode mode) : m_path(cs.path) {
    const QFileInfo info(cs.path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (mode == Mode::OpenExisting && !info.exists())
        throw DbError(u"データベースファイルが見つかりません。\n%1"_s.arg(shown));
    if (info.exists() && !info.isFile())
        throw DbError(u"データベースファイルではありません（%1）。\n%2"_s.arg(
            info.isDir() ? u"フォルダーです"_s : u"通常のファイルではありません"_s, shown));
    // SQLite takes an empty file for an empty database and would give it the
    // schema: a file truncated by accident would silently become a new,
    // empty history.
    if (info.exists() && info.size() == 0 && mode != Mode::FillEmptyFile)
        throw DbError(
            u"データベースファイルが空です（0バイト）。データベースではありません。\n%1"_s.arg(
                shown));
    if (info.exists() && !info.isReadable())
        throw DbError(
            u"データベースを開けません。\n%1\nデータベースファイルを読み取れません（読み取りの権限がありません）。"_s
                .arg(shown));

    // SQLite takes UTF-8 file names on every system (QFile::encodeName would
    // give the ANSI code page on Windows). Never "create" here: a new file
    // is made complete under a temporary name before it gets its own, and a
    // file that vanished meanwhile must not come back empty.
    const int rc =
        sqlite3_open_v2(cs.path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = sqliteMessage(m_db, rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(u"データベースを開けません。\n%1\n%2"_s.arg(shown, msg), rc);
    }
    sqlite3_busy_timeout(m_db, 2000);
    try {
        applyKey(cs.password);
        // A wrong key or a file that is not a database shows up on the first read.
        exec("SELECT count(*) FROM sqlite_master");
        if (mode != Mode::OpenExisting)
            createSchema();
        Statement st =
            prepare("SELECT count(*) FROM sqlite_master WHERE type IN ('view','table') AND name = "
                    "'全データ選択クエリ'");
        if (!st.step() || st.columnInt(0) == 0)
            throw DbError(u"データベースに「全データ選択クエリ」がありません。"_s);
    } catch (const DbError& e) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(u"データベースを開けません。\n%1\n%2"_s.arg(shown, e.message()), e.code());
    }
}

void Database::checkIntegrity() {
    bool ok = false;
    try {
        Statement st = prepare("PRAGMA quick_check");
        ok = st.step() && st.columnText(0) == u"ok";
    } catch (const DbError& e) {
        // Busy is not damage.
        if (e.code() == SQLITE_BUSY || e.code() == SQLITE_LOCKED)
            throw;
    }
    if (!ok)
        throw DbError(QString::fromUtf16(kDamagedMessage), SQLITE_CORRUPT);
}

Database::~Database() {
    if (m_db)
        sqlite3_close_v2(m_db);
}

void Database::applyKey(const QString& password) {
    // The password is fixed in the program, so a slow key derivation would
    // protect nothing and only delay every start: the key is a SHA-256 of the
    // password text, handed to SQLCipher as a raw key.
    const QByteArray raw = QCryptographicHash::hash((u"Numbers3Peridon:"_s + password).toUtf8(),
                                                    QCryptographicHash::Sha256)
                               .toHex();
    m_key = "x'" + raw + "'";
    // Files are kept in the page format of SQLCipher 3 (Debian's library).
    // A build against SQLCipher 4 (a package manager's on Windows) would
    // otherwise neither open the files made here nor make files readable
    // here; the default setting covers attached backups too. SQLCipher 3
    // ignores these settings, as SQLite ignores every unknown PRAGMA.
    sqlite3_exec(m_db, "PRAGMA cipher_default_compatibility = 3", nullptr, nullptr, nullptr);
    const int rc = sqlite3_key(m_db, m_key.constData(), int(m_key.size()));
    if (rc != SQLITE_OK)
        fail(rc);
    sqlite3_exec(m_db, "PRAGMA cipher_compatibility = 3", nullptr, nullptr, nullptr);
}

void Database::createSchema() {
    exec(kSchema);
}

void Database::fail(int rc) const {
    throw DbError(sqliteMessage(m_db, rc), rc);
}

void Database::exec(const char* sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        fail(sqlite3_extended_errcode(m_db) & 0xff ? sqlite3_extended_errcode(m_db) & 0xff : rc);
}

Statement Database::prepare(const char* sql) {
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
    return Statement(m_db, st);
}

DrawHistory Database::readHistory() {
    std::vector<DrawRow> rows;
    // Read through the raw handle: the digit conversion needs the column type.
    sqlite3_stmt* raw = nullptr;
    const int prc = sqlite3_prepare_v2(
        m_db, "SELECT 回数, 第1数字, 第2数字, 第3数字 FROM 全データ選択クエリ ORDER BY 回数", -1,
        &raw, nullptr);
    if (prc != SQLITE_OK)
        fail(prc);
    Statement guard(m_db, raw);
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        if (sqlite3_column_type(raw, 0) != SQLITE_INTEGER)
            continue;
        const sqlite3_int64 no = sqlite3_column_int64(raw, 0);
        if (no < 1 || no > kMaxDrawNo)
            continue;
        DrawRow row;
        row.drawNo = int(no);
        for (int k = 0; k < 3; ++k)
            row.digits[std::size_t(k)] = digitOf(raw, k + 1);
        rows.push_back(row);
    }
    if (rc != SQLITE_DONE)
        fail(rc);
    return DrawHistory(std::move(rows));
}

void Database::backupTo(const QString& path) {
    // ATTACH opens the file with this connection's flags, which lack "create"
    // for an existing database; an empty file is an empty database it accepts.
    const PublishResult r = publishBuilt(
        path,
        [&](const QString& tmp, QString&) {
            Statement att = prepare("ATTACH DATABASE ?1 AS bak KEY ?2");
            att.bind(1, tmp);
            att.bind(2, QString::fromLatin1(m_key));
            att.step();
            try {
                exec("SELECT sqlcipher_export('bak')");
            } catch (...) {
                sqlite3_exec(m_db, "DETACH DATABASE bak", nullptr, nullptr, nullptr);
                throw;
            }
            exec("DETACH DATABASE bak");
            return true;
        },
        PublishOptions{.replace = true, .privateFile = true, .kind = u"バックアップファイル"_s});
    if (!r)
        throw DbError(u"バックアップファイルを書けません。\n%1\n%2"_s.arg(
            QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), r.reason()));
}

Database::Transaction::Transaction(Database& db) : m_db(db) {
    m_db.exec("BEGIN IMMEDIATE");
}

Database::Transaction::~Transaction() {
    if (!m_done)
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Database::Transaction::commit() {
    m_db.exec("COMMIT");
    m_done = true;
}

} // namespace peridon
