#pragma once

#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>

class QPainter;
class QRect;
class QTextLayout;

namespace peridon {

// Draws cell texts where and as QPainter::drawText(rect, flags, text) draws
// them, from a layout made once per text: laying a text out (shaping it)
// costs more than drawing it, and a grid shows the same few texts over and
// over. Texts are known by a key the caller gives (the same key must always
// come with the same text). Anything drawText() would place differently
// (line breaks, tabs, a painter that scales or rotates) is left to it.
class CellTextLayouts final {
public:
    void draw(QPainter& painter, const QRect& rect, int flags, std::uint32_t key,
              const QString& text);
    // Forgets every layout (when the keys come to mean other texts).
    void clear() { m_layouts.clear(); }

private:
    // Layouts by key, for the font the painter drew them in. Shared, so that
    // a copy of the owner keeps them.
    std::unordered_map<std::uint32_t, std::shared_ptr<const QTextLayout>> m_layouts;
    QFont m_font;
};

} // namespace peridon
