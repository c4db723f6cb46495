#include "core/store/QuotedInput.h"

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

bool needsEscape(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Format:    // bidirectional overrides, zero-width marks
    case QChar::Other_Surrogate: // a lone half of a pair
    case QChar::Separator_Line:  // U+2028
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString escaped(char32_t c) {
    if (c <= 0xFF)
        return u"\\x%1"_s.arg(uint(c), 2, 16, QChar(u'0'));
    return u"\\u%1"_s.arg(uint(c), 4, 16, QChar(u'0'));
}

} // namespace

QString quoteInput(QStringView text, qsizetype maxChars, bool keepLineBreaks) {
    QString out;
    out.reserve(text.size());
    qsizetype taken = 0;
    for (qsizetype i = 0; i < text.size(); ++taken) {
        if (maxChars >= 0 && taken == maxChars) {
            out += u'…';
            break;
        }
        char32_t c = text[i].unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            width = 2;
        }
        if (c == u'\n' && keepLineBreaks)
            out += u'\n';
        else if (needsEscape(c))
            out += escaped(c);
        else
            out += text.mid(i, width);
        i += width;
    }
    return out;
}

} // namespace peridon
