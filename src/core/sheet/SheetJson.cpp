#include "core/sheet/SheetJson.h"

namespace peridon {

namespace {

void appendHex(QByteArray& out, Rgb c) {
    static const char digits[] = "0123456789abcdef";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4)
        out += digits[(c >> shift) & 0xf];
}

void appendString(QByteArray& out, const QString& s) {
    out += '"';
    for (const char c : s.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                qsnprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

QByteArray sheetsToJson(const QString& window, const QString& caption,
                        const std::vector<const Sheet*>& grids) {
    QByteArray out;
    out += "{\"window\":";
    appendString(out, window);
    out += ",\"caption\":";
    appendString(out, caption);
    out += ",\"grids\":[";
    int index = 0;
    for (const Sheet* s : grids) {
        if (index > 0)
            out += ',';
        out += "{\"index\":" + QByteArray::number(index++);
        out += ",\"cols\":" + QByteArray::number(s->cols());
        out += ",\"rows\":" + QByteArray::number(s->rows());
        out += ",\"cells\":[";
        bool first = true;
        for (int r = 1; r <= s->rows(); ++r) {
            for (int c = 1; c <= s->cols(); ++c) {
                const Rgb bg = s->backColor(c, r);
                if (!s->hasText(c, r) && bg == kWhite)
                    continue;
                if (!first)
                    out += ',';
                first = false;
                out += "{\"col\":" + QByteArray::number(c) + ",\"row\":" + QByteArray::number(r) +
                       ",\"text\":";
                appendString(out, s->text(c, r));
                out += ",\"fg\":\"";
                appendHex(out, s->foreColor(c, r));
                out += "\",\"bg\":\"";
                appendHex(out, bg);
                out += "\"}";
            }
        }
        out += "]}";
    }
    out += "]}";
    return out;
}

} // namespace peridon
