#include "core/prediction/PredictionSettings.h"

#include "core/store/TextEncoding.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>

#include <optional>

namespace peridon {

namespace {

// Anything larger is not a settings file this program wrote; reading it
// would only cost time and memory.
constexpr qint64 kMaxSettingsBytes = 1 << 20;

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

// The program writes Shift-JIS; a file saved again by an editor is often
// UTF-8. Valid UTF-8 is taken as such (Japanese Shift-JIS text almost never
// is), anything else as Shift-JIS.
std::optional<QString> decodeSettingsText(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeShiftJis(bytes);
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

void decodeSettings(const QByteArray& contents, ReflectFlags& flags) {
    const std::optional<QString> decoded = decodeSettingsText(contents);
    if (!decoded)
        return;
    const QString& text = *decoded;
    // CR LF is what we write; a lone LF or CR from an edited file ends a line too.
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        for (QStringView part : line.split(u'\r')) {
            const qsizetype eq = part.indexOf(u'=');
            if (eq < 0)
                continue;
            const QStringView key = part.left(eq);
            QStringView value = part.mid(eq + 1);
            const qsizetype next = value.indexOf(u'=');
            if (next >= 0)
                value = value.left(next);
            for (int i = 0; i < kOptionCount; ++i) {
                if (key != QStringView(predictionOptions()[std::size_t(i)].key))
                    continue;
                if (const auto flag = parseFlag(value))
                    flags[std::size_t(i)] = *flag;
                break;
            }
        }
    }
}

bool readSettingsFile(const QString& path, ReflectFlags& flags) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > kMaxSettingsBytes)
        return false;
    const QByteArray contents = file.read(kMaxSettingsBytes);
    if (file.error() != QFileDevice::NoError)
        return false;
    decodeSettings(contents, flags);
    return true;
}

bool writeSettingsFile(const QString& path, const ReflectFlags& flags) {
    const QByteArray bytes = encodeSettings(flags);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace peridon
