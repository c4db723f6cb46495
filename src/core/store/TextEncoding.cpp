#include "core/store/TextEncoding.h"

#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <QStringEncoder>
#endif

#include <limits>

namespace peridon {

namespace {

// Neither converter complains about a lone surrogate; it would be dropped
// or replaced silently.
bool hasLoneSurrogate(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return true;
            ++i;
        } else if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

} // namespace

#ifdef Q_OS_WIN

// Qt's official Windows builds come without ICU and so without Shift-JIS;
// the system's own code page 932 is always there.
constexpr UINT kCodePage = 932;

std::optional<QString> decodeShiftJis(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return QString();
    if (bytes.size() > std::numeric_limits<int>::max())
        return std::nullopt;
    const int inSize = int(bytes.size());
    const int outSize =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), inSize, nullptr, 0);
    if (outSize <= 0)
        return std::nullopt;
    QString text(outSize, Qt::Uninitialized);
    const int written = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), inSize,
                                            reinterpret_cast<wchar_t*>(text.data()), outSize);
    if (written != outSize)
        return std::nullopt;
    return text;
}

std::optional<QByteArray> encodeShiftJis(QStringView text) {
    if (text.isEmpty())
        return QByteArray();
    if (text.size() > std::numeric_limits<int>::max() || hasLoneSurrogate(text))
        return std::nullopt;
    const auto* in = reinterpret_cast<const wchar_t*>(text.utf16());
    const int inSize = int(text.size());
    // No best fit: "−" must not quietly become "-"; a character without a
    // code in 932 is an error, found through the default-character flag.
    BOOL usedDefault = FALSE;
    const int outSize = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, in, inSize, nullptr, 0,
                                            nullptr, &usedDefault);
    if (outSize <= 0 || usedDefault)
        return std::nullopt;
    QByteArray bytes(outSize, Qt::Uninitialized);
    const int written = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, in, inSize,
                                            bytes.data(), outSize, nullptr, &usedDefault);
    if (written != outSize || usedDefault)
        return std::nullopt;
    return bytes;
}

#else

// Qt built with ICU offers "Shift_JIS" by name (and it behaves as code page
// 932); a Qt without ICU gives an invalid converter, which is reported as no
// result. Stateless makes a lead byte cut off at the end an error instead of
// something silently kept for a next call.

std::optional<QString> decodeShiftJis(QByteArrayView bytes) {
    QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QByteArray> encodeShiftJis(QStringView text) {
    if (hasLoneSurrogate(text))
        return std::nullopt;
    QStringEncoder encoder("Shift_JIS", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

#endif

std::optional<QString> decodeUtf8OrShiftJis(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeShiftJis(bytes);
}

} // namespace peridon
