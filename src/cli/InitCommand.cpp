// peridon-cli init: a new draw database from the history shipped with the
// program.
#include "cli/Commands.h"
#include "core/store/ShippedHistory.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace peridon::cli {

int cmdInit(const Args& a) {
    if (!a.positional.isEmpty())
        return extraWords(a.positional);
    const ConnectString cs = a.connection();
    createDatabaseFromShippedHistory(cs.path);
    markDataWritten(u"データベースの作成は完了しました"_s);
    writeOut(u"当選データ（同梱の履歴）からデータベースを作成しました: %1\n"_s
                 .arg(QDir::toNativeSeparators(QFileInfo(cs.path).absoluteFilePath()))
                 .toUtf8());
    return 0;
}

} // namespace peridon::cli
