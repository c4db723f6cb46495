#include "core/store/ShippedHistory.h"

#include "core/store/Database.h"
#include "core/store/DrawCsv.h"
#include "core/store/DrawImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// The shipped history is about 150 kB; anything far larger is not it.
constexpr qint64 kMaxHistoryBytes = qint64{64} * 1024 * 1024;

QString native(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString shippedHistoryPath() {
    const QString exeDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString name = QString::fromUtf16(kShippedHistoryFileName);
    const QStringList candidates{
        QDir(exeDir).filePath(name),
        QDir(exeDir).filePath(u"../share/peridon/"_s + name),
    };
    for (const QString& c : candidates) {
        const QFileInfo info(c);
        if (info.isFile())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

void createDatabaseFromShippedHistory(const QString& dbPath) {
    const QString csv = shippedHistoryPath();
    if (csv.isEmpty())
        throw DbError(u"同梱の当選データ（%1）が見つかりません。\n"
                      "プログラムのフォルダーに置いてください。"_s.arg(
                          QString::fromUtf16(kShippedHistoryFileName)));
    createDatabaseFromHistoryFile(dbPath, csv);
}

void createDatabaseFromHistoryFile(const QString& dbPath, const QString& csvPath) {
    checkNewDatabaseName(dbPath);
    QFile file(csvPath);
    if (!QFileInfo(csvPath).isFile() || !file.open(QIODevice::ReadOnly))
        throw DbError(u"当選データのファイルを読めません。\n%1"_s.arg(native(csvPath)));
    if (file.size() > kMaxHistoryBytes)
        throw DbError(u"当選データのファイルが大きすぎます。\n%1"_s.arg(native(csvPath)));
    const CsvParse parsed = parseDrawCsv(file.read(kMaxHistoryBytes + 1));
    if (!parsed.errors.isEmpty())
        throw DbError(u"当選データのファイルに誤りがあります。\n%1\n%2"_s.arg(
            native(csvPath), parsed.errors.mid(0, 5).join(u'\n')));
    if (!createDatabaseWithDraws(dbPath, parsed.draws))
        throwDatabaseExists(dbPath);
}

} // namespace peridon
