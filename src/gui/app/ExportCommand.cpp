#include "gui/app/ExportCommand.h"

#include "core/files/PublishFile.h"
#include "core/store/DrawCsv.h"
#include "core/store/TextEncoding.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/RecentFolders.h"

#include <QDir>
#include <QFileDialog>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

const QString kUtf8Filter = u"CSV（UTF-8 BOM付き） (*.csv)"_s;
const QString kShiftJisFilter = u"CSV（Shift-JIS） (*.csv)"_s;

std::optional<ExportTarget> chooseExportFile(QWidget* parent) {
    QFileDialog dialog(parent, u"当選データの書き出し"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kUtf8Filter, kShiftJisFilter});
    dialog.setDefaultSuffix(u"csv"_s);
    dialog.setDirectory(recentFolder(FolderKind::Data));
    dialog.selectFile(u"当選データ.csv"_s);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ExportTarget{dialog.selectedFiles().first(),
                        dialog.selectedNameFilter() == kShiftJisFilter};
}

} // namespace

std::optional<QByteArray> encodeExport(const QByteArray& utf8Csv, bool shiftJis) {
    if (!shiftJis)
        return QByteArray("\xEF\xBB\xBF") + utf8Csv;
    return encodeShiftJis(QString::fromUtf8(utf8Csv));
}

bool runExport(QWidget* parent, const ConnectString& cs, const ExportHooks& hooks) {
    const std::optional<ExportTarget> target =
        hooks.chooseFile ? hooks.chooseFile(parent) : chooseExportFile(parent);
    if (!target || target->path.isEmpty())
        return false;
    rememberFolder(FolderKind::Data, target->path);
    const QString shown = QDir::toNativeSeparators(target->path);
    QByteArray csv;
    try {
        WaitCursor wait;
        Database db(cs, Database::Mode::OpenExisting);
        csv = exportDrawCsv(db);
    } catch (const DbError& e) {
        messages::stop(parent, u"当選データを読めませんでした。\n\n"_s + e.message());
        return false;
    }
    const std::optional<QByteArray> bytes = encodeExport(csv, target->shiftJis);
    if (!bytes) {
        messages::stop(parent, u"Shift-JISで表せない文字があるため、書き出せません。"
                               "UTF-8で書き出してください。"_s);
        return false;
    }
    if (const PublishResult r =
            publishBytes(target->path, *bytes, PublishOptions{.kind = u"CSVファイル"_s});
        !r) {
        messages::stop(parent, r.message());
        return false;
    }
    const int draws = int(csv.count('\n')) - 1;
    messages::information(
        parent, u"当選データ %1回分を書き出しました。\n%2"_s.arg(draws).arg(shown), kAppTitle);
    return true;
}

} // namespace peridon
