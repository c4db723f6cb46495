#include "core/prediction/PredictionSettings.h"

#include "core/files/Platform.h"
#include "core/files/PublishFile.h"
#include "core/store/TextEncoding.h"

#include <QFile>
#include <QLocale>

#include <optional>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

std::optional<bool> parseFlag(QStringView text) {
    const QStringView v = text.trimmed();
    if (v.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = QLocale::c().toDouble(v, &ok);
    if (!ok)
        return std::nullopt;
    return number != 0.0;
}

} // namespace

const std::array<PredictionOption, kOptionCount>& predictionOptions() {
    static const std::array<PredictionOption, kOptionCount> options{{
        {u"Frame4", u"■頻度分析（出現頻度分析、回数出現分析）", u"頻度分析Opt"},
        {u"Frame5", u"■間隔分析（出現間隔分析、数字間隔分析）", u"間隔分析Opt"},
        {u"Frame6", u"■出現回数分析", u"出現回数分析Opt"},
        {u"Frame7", u"■バラツキ分析", u"バラツキ分析Opt"},
        {u"Frame8", u"■引っ張り分析", u"引っ張り分析Opt"},
        {u"Frame9", u"■連番・飛び石分析", u"連番飛び石分析Opt"},
        {u"Frame10", u"■数字合計分析", u"数字合計分析Opt"},
        {u"Frame11", u"■組合せパターン分析", u"組合せパターン分析Opt"},
        // The caption says four groups but the key has always said five;
        // existing settings files depend on the key.
        {u"Frame12", u"■4分割傾向分析", u"5分割傾向分析Opt"},
        {u"Frame13", u"■分割データ分析", u"分割データ分析Opt"},
    }};
    return options;
}

QByteArray encodeSettings(const ReflectFlags& flags) {
    QString text;
    for (int i = 0; i < kOptionCount; ++i) {
        text += QString::fromUtf16(predictionOptions()[std::size_t(i)].key);
        text += flags[std::size_t(i)] ? u"=True\r\n" : u"=False\r\n";
    }
    return encodeShiftJis(text).value_or(QByteArray());
}

SettingsDecode decodeSettings(QByteArrayView contents, ReflectFlags& flags) {
    SettingsDecode result;
    // The program writes Shift-JIS; a file saved again by an editor is often UTF-8.
    const std::optional<QString> decoded = decodeUtf8OrShiftJis(contents);
    if (!decoded)
        return result;
    result.decoded = true;
    const QString& text = *decoded;
    int lineNo = 0;
    // CR LF is what we write; a lone LF or CR from an edited file ends a line too.
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        for (QStringView part : line.split(u'\r')) {
            ++lineNo;
            if (part.trimmed().isEmpty())
                continue;
            bool applied = false;
            if (const qsizetype eq = part.indexOf(u'='); eq >= 0) {
                const QStringView key = part.left(eq);
                QStringView value = part.mid(eq + 1);
                const qsizetype next = value.indexOf(u'=');
                if (next >= 0)
                    value = value.left(next);
                for (int i = 0; i < kOptionCount; ++i) {
                    if (key != QStringView(predictionOptions()[std::size_t(i)].key))
                        continue;
                    if (const auto flag = parseFlag(value)) {
                        flags[std::size_t(i)] = *flag;
                        applied = true;
                    }
                    break;
                }
            }
            if (!applied && result.firstBadLine == 0)
                result.firstBadLine = lineNo;
        }
    }
    return result;
}

SettingsFileState loadSettingsFile(const QString& path, ReflectFlags& flags) {
    SettingsFileState state;
    state.kind = fileKindAt(path);
    switch (state.kind) {
    case FileKind::Missing:
        state.understood = true;
        return state;
    case FileKind::Regular:
    case FileKind::SymbolicLink:
        break;
    default:
        state.problem = u"通常のファイルではありません（%1）。"_s.arg(fileKindText(state.kind));
        return state;
    }
    // The name may have changed since it was looked at: the open itself
    // refuses anything but a regular file, without blocking on a FIFO.
    QFile file;
    QString problem;
    if (!openRegularFileForReading(file, path, problem)) {
        state.problem = state.kind == FileKind::SymbolicLink
                            ? u"シンボリックリンクの先を読めません。%1"_s.arg(problem)
                            : problem;
        return state;
    }
    if (file.size() > kMaxSettingsBytes) {
        state.problem =
            u"ファイルが大きすぎます（%1バイト。設定ファイルは1 MiBまでです）。"_s.arg(file.size());
        return state;
    }
    const QByteArray contents = file.read(kMaxSettingsBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        state.problem = u"ファイルを読めません（%1）。"_s.arg(file.errorString());
        return state;
    }
    if (contents.size() > kMaxSettingsBytes) {
        state.problem = u"ファイルが大きすぎます（設定ファイルは1 MiBまでです）。"_s;
        return state;
    }
    const SettingsDecode decode = decodeSettings(contents, flags);
    state.read = decode.decoded;
    state.understood = decode.understood();
    if (!decode.decoded)
        state.problem = u"文字コードを読み取れません（Shift-JISでもUTF-8でもありません）。"_s;
    else if (!state.understood)
        state.problem = u"%1行目を読み取れません。"_s.arg(decode.firstBadLine);
    return state;
}

bool readSettingsFile(const QString& path, ReflectFlags& flags) {
    return loadSettingsFile(path, flags).read;
}

QString settingsBackupPath(const QString& path) {
    for (int n = 1; n <= 9; ++n) {
        QString name = n == 1 ? path + u".bak"_s : u"%1.bak%2"_s.arg(path).arg(n);
        if (fileKindAt(name) == FileKind::Missing)
            return name;
    }
    return {};
}

SettingsSave saveSettingsFile(const QString& path, const ReflectFlags& flags) {
    SettingsSave result;
    const QByteArray bytes = encodeSettings(flags);
    if (bytes.isEmpty()) {
        result.problem = u"Shift-JISに変換できないため書き込めません。"_s;
        return result;
    }
    ReflectFlags ignored{};
    const SettingsFileState before = loadSettingsFile(path, ignored);
    if (!before.replaceable()) {
        result.refused = true;
        result.problem = u"通常のファイルではない（%1）ため、そのままにしました。"_s.arg(
            fileKindText(before.kind));
        return result;
    }
    // Written beside the old file first, so that nothing has changed when
    // the folder cannot take a new file. A file that could not be wholly
    // read may hold what this program does not know: once the new file is
    // complete, the old one is kept under a new name, never overwritten, and
    // owner-only like every file the program makes.
    const PublishResult published = publishWith(
        path,
        [&](QFile& file, QString& problem) {
            if (file.write(bytes) != bytes.size() || !file.flush())
                return false;
            if (!before.needsBackup())
                return true;
            const QString backup = settingsBackupPath(path);
            bool exists = false;
            QString moveProblem;
            if (backup.isEmpty() || !moveWithoutReplacing(path, backup, exists, moveProblem)) {
                result.backupFailed = true;
                problem =
                    u"読み取れなかった設定ファイルを別の名前で残せないため、書き込みませんでした。"_s;
                return false;
            }
            QFile::setPermissions(backup, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            result.backup = backup;
            return true;
        },
        PublishOptions{.replace = true, .privateFile = true, .kind = u"設定ファイル"_s});
    if (!published) {
        result.problem = result.backupFailed ? published.reason()
                                             : u"書き込めません（%1）"_s.arg(published.reason());
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace peridon
