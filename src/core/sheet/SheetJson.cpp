#include "core/sheet/SheetJson.h"

#include <charconv>
#include <cstring>
#include <string>

namespace peridon {

namespace {

constexpr std::size_t kPieceBytes = std::size_t{64} * 1024;

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
class CellWriter {
public:
    explicit CellWriter(const Sheet& sheet) : m_sheet(sheet) {}

    bool write(PieceWriter& w) {
        Sheet::RowCursor cursor(m_sheet);
        for (int r = 1; r <= m_sheet.rows(); ++r) {
            cursor.seek(r);
            writeRow(w.buf(), cursor, r);
            if (!w.step())
                return false;
        }
        return true;
    }

private:
    void writeRow(Bytes& out, const Sheet::RowCursor& cursor, int r) {
        // ,"row":r is the same for every cell of the row.
        char rowPart[24] = ",\"row\":";
        const char* rowEnd = std::to_chars(rowPart + 7, rowPart + sizeof rowPart, r).ptr;
        const auto rowBytes = std::size_t(rowEnd - rowPart);
        for (int c = 1; c <= m_sheet.cols(); ++c) {
            const Rgb bg = cursor.backColor(c);
            const Sheet::TextId text = cursor.textId(c);
            if (text == 0 && bg == kWhite)
                continue;
            char head[48];
            char* p = head;
            if (!m_first)
                *p++ = ',';
            m_first = false;
            std::memcpy(p, "{\"col\":", 7);
            p = std::to_chars(p + 7, head + sizeof head, c).ptr;
            std::memcpy(p, rowPart, rowBytes);
            p += rowBytes;
            std::memcpy(p, ",\"text\":", 8);
            p += 8;
            out.append(head, std::size_t(p - head));
            appendText(out, text);
            out += tail(cursor.styleId(c), cursor.foreColor(c), bg);
        }
    }

    // ,"fg":"#..","bg":"#.."} of a style.
    const Bytes& tail(Sheet::StyleId id, Rgb fg, Rgb bg) {
        if (id >= m_styleTails.size())
            m_styleTails.resize(std::size_t(id) + 1);
        Bytes& t = m_styleTails[id];
        if (t.empty()) {
            t += ",\"fg\":\"";
            appendHex(t, fg);
            t += "\",\"bg\":\"";
            appendHex(t, bg);
            t += "\"}";
        }
        return t;
    }

    void appendText(Bytes& out, Sheet::TextId id) {
        if (id == 0) {
            out += "\"\"";
            return;
        }
        int n = 0;
        int format = 0;
        if (m_sheet.numberOf(id, n, format)) {
            appendNumberText(out, n, format);
            return;
        }
        if (id >= m_texts.size())
            m_texts.resize(std::size_t(id) + 1);
        Bytes& t = m_texts[id];
        if (t.empty())
            appendString(t, m_sheet.textOf(id));
        out += t;
    }

    // A number's text is the prefix, the digits and the suffix, and escaping
    // goes character by character, so its JSON string is the three escaped
    // parts in a row.
    void appendNumberText(Bytes& out, int n, int format) {
        if (std::size_t(format) >= m_affixes.size()) {
            m_affixes.resize(std::size_t(format) + 1);
            m_haveAffixes.resize(std::size_t(format) + 1, false);
        }
        auto& [prefix, suffix] = m_affixes[std::size_t(format)];
        if (!m_haveAffixes[std::size_t(format)]) {
            appendEscaped(prefix, m_sheet.formatPrefix(format));
            appendEscaped(suffix, m_sheet.formatSuffix(format));
            m_haveAffixes[std::size_t(format)] = true;
        }
        out += '"';
        out += prefix;
        appendNumber(out, n);
        out += suffix;
        out += '"';
    }

    const Sheet& m_sheet;
    bool m_first = true;
    std::vector<Bytes> m_styleTails; // by style id
    std::vector<Bytes> m_texts;      // by interned text id: "..."
    // By number format: its escaped prefix and suffix.
    std::vector<std::pair<Bytes, Bytes>> m_affixes;
    std::vector<bool> m_haveAffixes;
};

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
        if (!CellWriter(*s).write(w))
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
