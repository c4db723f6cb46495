#include "core/store/DrawFile.h"

#include "core/files/Platform.h"

#include "core/store/DrawTextParser.h"
#include "core/store/TextEncoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

DrawFile failed(const QString& why) {
    DrawFile f;
    f.failure = why;
    return f;
}

} // namespace

DrawFile readDrawBytes(const QByteArray& bytes) {
    // Cheap checks over the bytes first, so that a large file of another kind
    // is refused without being decoded and parsed.
    int lines = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        if (c == '\n') {
            if (i - lineStart > kMaxDrawLineBytes)
                return failed(
                    u"%1行目が長すぎます（%2バイト）。当選データの1行は短い一行です。"_s.arg(lines)
                        .arg(i - lineStart));
            if (++lines > kMaxDrawFileLines)
                return failed(
                    u"行が多すぎます（%1行を超えています）。当選データのファイルではありません。"_s
                        .arg(kMaxDrawFileLines));
            lineStart = i + 1;
        } else if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F) {
            return failed(
                u"テキストファイルではありません（%1行目に文字以外のデータがあります）。"_s.arg(
                    lines));
        }
    }
    if (bytes.size() - lineStart > kMaxDrawLineBytes)
        return failed(
            u"%1行目が長すぎます（%2バイト）。当選データの1行は短い一行です。"_s.arg(lines).arg(
                bytes.size() - lineStart));
    const std::optional<QString> text = decodeUtf8OrShiftJis(bytes);
    if (!text)
        return failed(
            u"文字コードを読み取れません。UTF-8またはShift-JISのテキストファイルにしてください。"_s);

    DrawFile out;
    // A CSV file as the export writes it (which may hold rows with empty
    // digits) first; otherwise the lines as they are copied from a
    // spreadsheet or a results page. Of two failures the one that found
    // fewer bad lines explains the file better.
    CsvParse csv = parseDrawCsv(bytes);
    if (!csv.errors.isEmpty()) {
        CsvParse lineForms = parseDrawText(*text);
        if (lineForms.errors.size() < csv.errors.size())
            csv = std::move(lineForms);
    }
    out.draws = std::move(csv.draws);
    out.errorCount = std::max(csv.errorCount, csv.errors.size());
    out.errors = std::move(csv.errors);
    return out;
}

QString listLineErrors(const QStringList& errors) {
    constexpr int kShown = 20;
    QString text = errors.mid(0, kShown).join(u'\n');
    if (errors.size() > kShown)
        text += u"\n（ほかに%1行）"_s.arg(errors.size() - kShown);
    return text;
}

DrawFile readDrawFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    // A named pipe or a device is refused without blocking on it.
    QFile file;
    QString problem;
    if (!openRegularFileForReading(file, path, problem))
        return failed(u"ファイルを読めません。%1\n%2"_s.arg(problem, shown));
    if (file.size() > kMaxDrawFileBytes)
        return failed(
            u"ファイルが大きすぎます（%1 MB）。当選データのファイルは%2 MBまでです。\n%3"_s
                .arg(file.size() / (qint64{1024} * 1024))
                .arg(kMaxDrawFileBytes / (qint64{1024} * 1024))
                .arg(shown));
    const QByteArray bytes = file.read(kMaxDrawFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failed(u"ファイルを読めません。\n%1\n%2"_s.arg(shown, file.errorString()));
    if (bytes.size() > kMaxDrawFileBytes)
        return failed(u"ファイルが大きすぎます。\n%1"_s.arg(shown));
    return readDrawBytes(bytes);
}

} // namespace peridon
