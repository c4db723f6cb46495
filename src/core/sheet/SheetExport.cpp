#include "core/sheet/SheetExport.h"

#include "core/files/PublishFile.h"

#include "core/sheet/SheetPainter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <utility>
#include <vector>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

QRect clipped(const Sheet& sheet, const QRect& cells) {
    return cells.intersected(QRect(1, 1, sheet.cols(), sheet.rows()));
}

// The field in double quotes with its quotes doubled when it holds one of
// the characters that would otherwise end it.
void appendField(QString& out, const QString& text, const QString& special) {
    bool quote = false;
    for (const QChar ch : text)
        if (special.contains(ch)) {
            quote = true;
            break;
        }
    if (!quote) {
        out += text;
        return;
    }
    out += u'"';
    for (const QChar ch : text) {
        if (ch == u'"')
            out += u'"';
        out += ch;
    }
    out += u'"';
}

// A header text without the spaces, ideographic or not, that pad it out to
// its place on screen ("　　当 選 数 字     " gives "当 選 数 字").
QString withoutPadding(const QString& text) {
    auto isPad = [](QChar ch) { return ch == u' ' || ch == QChar(0x3000); };
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isPad(text[from]))
        ++from;
    while (to > from && isPad(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// Rows of the block joined by separator and ended by lineEnd. With
// trimHeaders, the texts of the header cells (the frozen rows and columns,
// or the first row of a sheet without frozen rows) lose their padding.
QString delimited(const Sheet& sheet, const QRect& block, QChar separator, const QString& lineEnd,
                  const QString& special, bool trimHeaders = false) {
    const int headerRows = sheet.frozenRows() > 0 ? sheet.frozenRows() : 1;
    const int headerCols = sheet.frozenCols();
    QString out;
    if (block.isEmpty())
        return out;
    Sheet::RowCursor cursor(sheet);
    for (int r = block.top(); r <= block.bottom(); ++r) {
        cursor.seek(r);
        for (int c = block.left(); c <= block.right(); ++c) {
            if (c > block.left())
                out += separator;
            const QString& text = sheet.textOf(cursor.textId(c));
            const bool header = trimHeaders && (r <= headerRows || c <= headerCols);
            appendField(out, header ? withoutPadding(text) : text, special);
        }
        out += lineEnd;
    }
    return out;
}

QString htmlColour(Rgb c) {
    return u"#%1"_s.arg(uint(c & 0xffffff), 6, 16, QChar(u'0'));
}

// "012": a number a spreadsheet would read as 12.
bool hasLeadingZero(const QString& text) {
    if (text.size() < 2 || text.front() != u'0')
        return false;
    for (const QChar ch : text)
        if (!ch.isDigit())
            return false;
    return true;
}

// Writes the bytes as every file is published: a failure leaves what was
// there before.
bool saveBytes(const QString& path, const QByteArray& bytes, QString& error) {
    const PublishResult r = publishBytes(path, bytes, PublishOptions{.kind = u"CSVファイル"_s});
    if (!r)
        error = r.message();
    return r.ok();
}

// Rows of each image part below the frozen header rows: bands of whole rows
// no taller than room (a band holds at least one row).
std::vector<std::pair<int, int>> imageBands(const Sheet& sheet, const SheetPainter& sp,
                                            int maxPartHeight) {
    const int fr = qMin(sheet.frozenRows(), sheet.rows());
    if (sp.totalHeight() <= maxPartHeight)
        return {{fr + 1, sheet.rows()}};
    const int room = maxPartHeight - sp.frozenHeight();
    std::vector<std::pair<int, int>> bands;
    int r = fr + 1;
    while (r <= sheet.rows()) {
        const int start = r;
        int used = sp.rowHeightPx(r++);
        while (r <= sheet.rows() && used + sp.rowHeightPx(r) <= room)
            used += sp.rowHeightPx(r++);
        bands.emplace_back(start, r - 1);
    }
    return bands;
}

QStringList partPaths(const QString& path, int parts) {
    if (parts <= 1)
        return {path};
    QString base = path;
    if (base.endsWith(u".png"_s, Qt::CaseInsensitive))
        base.chop(4);
    // Numbered with zeros in front (-01 ... -13) so that they sort in order.
    const int width = std::max(2, int(QString::number(parts).size()));
    QStringList out;
    for (int i = 1; i <= parts; ++i)
        out << u"%1-%2.png"_s.arg(base).arg(i, width, 10, QChar(u'0'));
    return out;
}

} // namespace

QString sheetTsv(const Sheet& sheet, const QRect& cells) {
    return delimited(sheet, clipped(sheet, cells), u'\t', u"\n"_s, u"\t\r\n\""_s);
}

QString sheetHtml(const Sheet& sheet, const QRect& cells) {
    const QRect block = clipped(sheet, cells);
    // Old-style attributes (bgcolor, align, font color) are the ones every
    // spreadsheet reads from pasted HTML.
    QString out = u"<html><head><meta charset=\"utf-8\"></head><body>\n"
                  "<table border=\"1\" cellspacing=\"0\" style=\"border-collapse:collapse\">\n"_s;
    Sheet::RowCursor cursor(sheet);
    for (int r = block.top(); r <= block.bottom() && !block.isEmpty(); ++r) {
        cursor.seek(r);
        out += u"<tr>"_s;
        for (int c = block.left(); c <= block.right(); ++c) {
            const QString text = sheet.textOf(cursor.textId(c));
            const Rgb back = cursor.backColor(c);
            const Rgb fore = cursor.foreColor(c);
            out += u"<td"_s;
            if (back != kWhite)
                out += u" bgcolor=\""_s + htmlColour(back) + u'"';
            switch (sheet.hAlign(c, r)) {
            case HAlign::Left:
                out += u" align=\"left\""_s;
                break;
            case HAlign::Right:
                out += u" align=\"right\""_s;
                break;
            case HAlign::Center:
                out += u" align=\"center\""_s;
                break;
            }
            if (hasLeadingZero(text))
                out += u" style=\"mso-number-format:'\\@'\""_s;
            out += u'>';
            if (!text.isEmpty()) {
                if (fore != kBlack)
                    out += u"<font color=\""_s + htmlColour(fore) + u"\">"_s;
                out += text.toHtmlEscaped();
                if (fore != kBlack)
                    out += u"</font>"_s;
            }
            out += u"</td>"_s;
        }
        out += u"</tr>\n"_s;
    }
    out += u"</table>\n</body></html>\n"_s;
    return out;
}

QByteArray sheetCsv(const Sheet& sheet) {
    const QString text = delimited(sheet, QRect(1, 1, sheet.cols(), sheet.rows()), u',', u"\r\n"_s,
                                   u",\r\n\""_s, true);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool writeSheetCsv(const Sheet& sheet, const QString& path, QString& error) {
    return saveBytes(path, sheetCsv(sheet), error);
}

QStringList sheetImagePaths(const Sheet& sheet, const QFont& font, const QString& path,
                            int maxPartHeight) {
    SheetPainter sp(font);
    sp.setSheet(&sheet);
    return partPaths(path, int(imageBands(sheet, sp, maxPartHeight).size()));
}

bool writeSheetImages(const Sheet& sheet, const QFont& font, const QString& path,
                      QStringList& written, QString& error, int maxPartHeight) {
    written.clear();
    SheetPainter sp(font);
    sp.setShowActiveCell(false);
    sp.setSheet(&sheet);
    if (sheet.cols() == 0 || sheet.rows() == 0 || sp.totalWidth() == 0 || sp.totalHeight() == 0) {
        error = u"表に何もないため、画像を保存できません"_s;
        return false;
    }
    if (sp.totalWidth() > kMaxImageWidth) {
        error = u"表の幅が %1 ピクセルあり、画像にするには大きすぎます"_s.arg(sp.totalWidth());
        return false;
    }
    const auto bands = imageBands(sheet, sp, maxPartHeight);
    const QStringList paths = partPaths(path, int(bands.size()));
    const int fr = qMin(sheet.frozenRows(), sheet.rows());
    const int fh = sp.frozenHeight();
    const int width = sp.totalWidth();
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const auto [r1, r2] = bands[i];
        const int bodyH = r1 <= r2 ? sp.rowY(r2 + 1) - sp.rowY(r1) : 0;
        QImage image(width, fh + bodyH, QImage::Format_RGB32);
        if (image.isNull()) {
            error = u"画像を作るためのメモリが足りません"_s;
        } else {
            image.fill(Qt::white);
            QPainter p(&image);
            const auto part = [&](int y, int height, int first, int last) {
                if (height <= 0 || first > last)
                    return;
                p.save();
                p.setClipRect(QRect(0, y, width, height));
                p.translate(0, y);
                sp.paint(&p, 1, first, sheet.cols(), last);
                p.restore();
            };
            part(0, fh, 1, fr);
            part(fh, bodyH, r1, r2);
            p.end();
            const PublishResult r = publishWith(
                paths[qsizetype(i)],
                [&](QFile& file, QString&) { return image.save(&file, "PNG"); },
                PublishOptions{.kind = u"画像ファイル"_s});
            if (r) {
                written << paths[qsizetype(i)];
                continue;
            }
            error = r.message();
        }
        // One part failed: the ones already written go again, so that no
        // incomplete set of parts is left.
        for (const QString& done : std::as_const(written))
            QFile::remove(done);
        written.clear();
        return false;
    }
    return true;
}

} // namespace peridon
