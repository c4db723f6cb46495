#include "core/sheet/SheetJson.h"

#include <algorithm>
#include <charconv>

namespace peridon {

namespace {

constexpr qsizetype kPieceBytes = 64 * 1024;

void appendHex(QByteArray& out, Rgb c) {
    static const char digits[] = "0123456789abcdef";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4)
        out += digits[(c >> shift) & 0xf];
}

// The JSON string body of s, without the quotes.
void appendEscaped(QByteArray& out, const QString& s) {
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

void appendString(QByteArray& out, const QString& s) {
    out += '"';
    appendEscaped(out, s);
    out += '"';
}

void appendNumber(QByteArray& out, int n) {
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
    out.append(buf, end - buf);
}

// Collects the document and hands it on a piece at a time.
class PieceWriter {
public:
    explicit PieceWriter(const ByteWriter& write) : m_write(write) {
        m_buf.reserve(kPieceBytes + 4096);
    }
    QByteArray& buf() { return m_buf; }
    // Passes the collected bytes on once there are enough of them.
    bool step() { return m_buf.size() < kPieceBytes || flush(); }
    bool flush() {
        if (!m_buf.isEmpty() && !m_write(QByteArrayView(m_buf)))
            return false;
        m_buf.clear();
        return true;
    }

private:
    const ByteWriter& m_write;
    QByteArray m_buf;
};

// The cells of one grid. Every text and every style is turned into JSON once:
// a cell is then a few copies of bytes made before.
bool writeCells(PieceWriter& w, const Sheet& s) {
    std::vector<QByteArray> styleTails; // by style id: ,"fg":"#..","bg":"#.."}
    std::vector<QByteArray> texts;      // by interned text id: "..."
    const auto tail = [&](Sheet::StyleId id, Rgb fg, Rgb bg) -> const QByteArray& {
        if (id >= styleTails.size())
            styleTails.resize(std::size_t(id) + 1);
        QByteArray& t = styleTails[id];
        if (t.isEmpty()) {
            t += ",\"fg\":\"";
            appendHex(t, fg);
            t += "\",\"bg\":\"";
            appendHex(t, bg);
            t += "\"}";
        }
        return t;
    };
    const auto appendText = [&](QByteArray& out, Sheet::TextId id) {
        if (id == 0) {
            out += "\"\"";
            return;
        }
        if (id < 0x80000000u) {
            if (id >= texts.size())
                texts.resize(std::size_t(id) + 1);
            QByteArray& t = texts[id];
            if (t.isEmpty())
                appendString(t, s.textOf(id));
            out += t;
            return;
        }
        // A number, made on the spot: plain ASCII needs no escaping.
        const QString text = s.textOf(id);
        const bool plain = std::all_of(text.begin(), text.end(), [](QChar ch) {
            return ch.unicode() >= 0x20 && ch.unicode() < 0x80 && ch != u'"' && ch != u'\\';
        });
        if (!plain) {
            appendString(out, text);
            return;
        }
        out += '"';
        for (QChar ch : text)
            out += char(ch.unicode());
        out += '"';
    };

    Sheet::RowCursor cursor(s);
    bool first = true;
    for (int r = 1; r <= s.rows(); ++r) {
        cursor.seek(r);
        for (int c = 1; c <= s.cols(); ++c) {
            const Rgb bg = cursor.backColor(c);
            const Sheet::TextId text = cursor.textId(c);
            if (text == 0 && bg == kWhite)
                continue;
            QByteArray& out = w.buf();
            if (!first)
                out += ',';
            first = false;
            out += "{\"col\":";
            appendNumber(out, c);
            out += ",\"row\":";
            appendNumber(out, r);
            out += ",\"text\":";
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
    QByteArray& out = w.buf();
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
