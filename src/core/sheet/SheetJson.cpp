#include "core/sheet/SheetJson.h"

#include <charconv>
#include <cstring>
#include <string>

namespace peridon {

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

// The document is built in a plain byte string: appending a few bytes is a
// copy, where QByteArray's append goes through its general insert.
using Bytes = std::string;

void appendHex(Bytes& out, Rgb c) {
    static const char digits[] = "0123456789abcdef";
    char buf[7] = {'#'};
    for (int i = 0; i < 6; ++i)
        buf[1 + i] = digits[(c >> (20 - 4 * i)) & 0xf];
    out.append(buf, sizeof buf);
}

// The JSON string body of s, without the quotes.
void appendEscaped(Bytes& out, const QString& s) {
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
}

void appendString(Bytes& out, const QString& s) {
    out += '"';
    appendEscaped(out, s);
    out += '"';
}

void appendNumber(Bytes& out, int n) {
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
    out.append(buf, std::size_t(end - buf));
}

// Collects the document and hands it on a piece at a time.
class PieceWriter {
public:
    explicit PieceWriter(const ByteWriter& write) : m_write(write) {
        m_buf.reserve(kPieceBytes + 4096);
    }
    Bytes& buf() { return m_buf; }
    // Passes the collected bytes on once there are enough of them.
    bool step() { return m_buf.size() < kPieceBytes || flush(); }
    bool flush() {
        if (!m_buf.empty() && !m_write(QByteArrayView(m_buf.data(), qsizetype(m_buf.size()))))
            return false;
        m_buf.clear();
        return true;
    }

private:
    const ByteWriter& m_write;
    Bytes m_buf;
};

// The cells of one grid. Every text, number format and style is turned into
// JSON once: a cell is then a few copies of bytes made before.
bool writeCells(PieceWriter& w, const Sheet& s) {
    std::vector<Bytes> styleTails; // by style id: ,"fg":"#..","bg":"#.."}
    std::vector<Bytes> texts;      // by interned text id: "..."
    // By number format: its escaped prefix and suffix. A number's text is
    // the prefix, the digits and the suffix, and escaping goes character by
    // character, so its JSON string is the three escaped parts in a row.
    std::vector<std::pair<Bytes, Bytes>> affixes;
    std::vector<bool> haveAffixes;
    const auto tail = [&](Sheet::StyleId id, Rgb fg, Rgb bg) -> const Bytes& {
        if (id >= styleTails.size())
            styleTails.resize(std::size_t(id) + 1);
        Bytes& t = styleTails[id];
        if (t.empty()) {
            t += ",\"fg\":\"";
            appendHex(t, fg);
            t += "\",\"bg\":\"";
            appendHex(t, bg);
            t += "\"}";
        }
        return t;
    };
    const auto appendText = [&](Bytes& out, Sheet::TextId id) {
        if (id == 0) {
            out += "\"\"";
            return;
        }
        int n = 0;
        int format = 0;
        if (s.numberOf(id, n, format)) {
            if (std::size_t(format) >= affixes.size()) {
                affixes.resize(std::size_t(format) + 1);
                haveAffixes.resize(std::size_t(format) + 1, false);
            }
            auto& [prefix, suffix] = affixes[std::size_t(format)];
            if (!haveAffixes[std::size_t(format)]) {
                appendEscaped(prefix, s.formatPrefix(format));
                appendEscaped(suffix, s.formatSuffix(format));
                haveAffixes[std::size_t(format)] = true;
            }
            out += '"';
            out += prefix;
            appendNumber(out, n);
            out += suffix;
            out += '"';
            return;
        }
        if (id >= texts.size())
            texts.resize(std::size_t(id) + 1);
        Bytes& t = texts[id];
        if (t.empty())
            appendString(t, s.textOf(id));
        out += t;
    };

    Sheet::RowCursor cursor(s);
    bool first = true;
    char head[48];
    for (int r = 1; r <= s.rows(); ++r) {
        cursor.seek(r);
        // ,"row":r is the same for every cell of the row.
        char rowPart[24] = ",\"row\":";
        char* rowEnd = std::to_chars(rowPart + 7, rowPart + sizeof rowPart, r).ptr;
        for (int c = 1; c <= s.cols(); ++c) {
            const Rgb bg = cursor.backColor(c);
            const Sheet::TextId text = cursor.textId(c);
            if (text == 0 && bg == kWhite)
                continue;
            Bytes& out = w.buf();
            char* p = head;
            if (!first)
                *p++ = ',';
            first = false;
            std::memcpy(p, "{\"col\":", 7);
            p = std::to_chars(p + 7, head + sizeof head, c).ptr;
            const auto rowBytes = std::size_t(rowEnd - rowPart);
            std::memcpy(p, rowPart, rowBytes);
            p += rowBytes;
            std::memcpy(p, ",\"text\":", 8);
            p += 8;
            out.append(head, std::size_t(p - head));
            appendText(out, text);
            out += tail(cursor.styleId(c), cursor.foreColor(c), bg);
        }
        if (!w.step())
            return false;
    }
    return true;
}

} // namespace

bool writeSheetsJson(const ByteWriter& write, const QString& window, const QString& caption,
                     const std::vector<const Sheet*>& grids) {
    PieceWriter w(write);
    Bytes& out = w.buf();
    out += "{\"window\":";
    appendString(out, window);
    out += ",\"caption\":";
    appendString(out, caption);
    out += ",\"grids\":[";
    int index = 0;
    for (const Sheet* s : grids) {
        if (index > 0)
            out += ',';
        out += "{\"index\":";
        appendNumber(out, index++);
        out += ",\"cols\":";
        appendNumber(out, s->cols());
        out += ",\"rows\":";
        appendNumber(out, s->rows());
        out += ",\"cells\":[";
        if (!writeCells(w, *s))
            return false;
        out += "]}";
    }
    out += "]}";
    return w.flush();
}

QByteArray sheetsToJson(const QString& window, const QString& caption,
                        const std::vector<const Sheet*>& grids) {
    QByteArray doc;
    writeSheetsJson(
        [&doc](QByteArrayView piece) {
            doc += piece;
            return true;
        },
        window, caption, grids);
    return doc;
}

} // namespace peridon
