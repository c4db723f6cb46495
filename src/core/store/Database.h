#pragma once

#include "core/history/DrawHistory.h"

#include <QByteArray>
#include <QString>

#include <stdexcept>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace peridon {

// A database failure with a message in Japanese that can be shown as it is.
class DbError : public std::runtime_error {
public:
    DbError(const QString& message, int code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code) {}
    QString message() const { return m_message; }
    int code() const { return m_code; } // SQLite result code, 0 when none
private:
    QString m_message;
    int m_code;
};

// Names the draw database: its file and the key. This is the one value every
// opener uses; it is never printed or logged.
struct ConnectString {
    QString path;
    QString password;
};

// What a damaged database file is reported as, on reading and before writing.
inline constexpr const char16_t* kDamagedMessage =
    u"データベースファイルが壊れています。バックアップから戻してください。";

// The file name of the draw database beside the executable.
inline constexpr const char16_t* kDatabaseFileName = u"Numbers3Peridon.mdb";

// The connection string of the database beside the executable.
ConnectString defaultConnectString();
// The same key for another file (the CLI's --db, tests).
ConnectString connectStringFor(const QString& path);

// A prepared statement; finalised when it goes out of scope.
class Statement final {
public:
    Statement() = default;
    Statement(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
    Statement(Statement&& o) noexcept
        : m_db(std::exchange(o.m_db, nullptr)), m_stmt(std::exchange(o.m_stmt, nullptr)) {}
    Statement& operator=(Statement&& o) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, int value);
    Statement& bind(int index, const QString& value); // a null QString binds NULL
    Statement& bindNull(int index);
    // Steps once: true while a row is available, false when done.
    bool step();
    void reset();
    bool isNull(int column) const;
    // The storage class of a column's value in the current row.
    enum class Type { Integer, Real, Text, Blob, Null };
    Type columnType(int column) const;
    int columnInt(int column) const;
    QString columnText(int column) const;

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// The encrypted draw database (SQLCipher through its C API). The schema is a
// draws table plus the view 全データ選択クエリ that every reader uses.
class Database final {
public:
    enum class Mode {
        OpenExisting,  // the file must exist and hold the draws schema
        FillEmptyFile, // the file is a new, empty one made for this database
                       // under a temporary name: give it the schema. New
                       // databases are made this way by
                       // createDatabaseWithDraws (DrawImport.h), which gives
                       // the file its name only once it is complete.
    };

    Database(const ConnectString& cs, Mode mode);
    Database(Database&& o) noexcept
        : m_db(std::exchange(o.m_db, nullptr)), m_path(std::move(o.m_path)),
          m_key(std::move(o.m_key)) {}
    Database& operator=(Database&&) = delete;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    sqlite3* handle() const { return m_db; }
    const QString& path() const { return m_path; }

    void exec(const char* sql);
    Statement prepare(const char* sql);
    // Throws the DbError of a SQLite result code.
    [[noreturn]] void fail(int rc) const;

    // Checks the whole file for damage (PRAGMA quick_check); throws DbError
    // with kDamagedMessage when it is damaged. Run before writing into it.
    void checkIntegrity();

    // Every row of 全データ選択クエリ in draw-number order. Rows with an
    // empty or unusable digit are kept and marked not valid.
    DrawHistory readHistory();

    // Copies the whole database, encrypted with the same key, to another
    // file, published as every file is (PublishFile.h): a regular file of
    // that name is replaced, anything else is left alone.
    void backupTo(const QString& path);

    // A write transaction that rolls back unless committed.
    class Transaction final {
    public:
        explicit Transaction(Database& db);
        ~Transaction();
        void commit();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        Database& m_db;
        bool m_done = false;
    };

private:
    void applyKey(const QString& password);
    void createSchema();

    sqlite3* m_db = nullptr;
    QString m_path;
    QByteArray m_key;
};

} // namespace peridon
