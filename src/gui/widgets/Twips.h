#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QWidget>
#include <QtMath>

namespace peridon {

// Window positions and sizes are given in twips (1/1440 inch): 15 twips make
// one pixel on a 96 DPI screen, fewer pixels-per-twip on a smaller logical
// DPI and more on a larger one. Qt already scales logical pixels for HiDPI
// screens, so the screen's logical DPI is all that matters here.
constexpr int kTwipsPerInch = 1440;

inline int twipsToPixels(int twips, qreal logicalDpi) {
    return qRound(qreal(twips) * logicalDpi / kTwipsPerInch);
}

// The logical DPI of the screen a widget is on (or the primary screen), 96
// when there is no screen at all.
inline qreal logicalDpiFor(const QWidget* widget = nullptr) {
    const QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

inline int twipsToPixels(int twips, const QWidget* widget = nullptr) {
    return twipsToPixels(twips, logicalDpiFor(widget));
}

inline QSize twipsToPixels(int widthTwips, int heightTwips, const QWidget* widget) {
    const qreal dpi = logicalDpiFor(widget);
    return {twipsToPixels(widthTwips, dpi), twipsToPixels(heightTwips, dpi)};
}

inline QRect twipsRect(int left, int top, int width, int height, const QWidget* widget = nullptr) {
    const qreal dpi = logicalDpiFor(widget);
    return {twipsToPixels(left, dpi), twipsToPixels(top, dpi), twipsToPixels(width, dpi),
            twipsToPixels(height, dpi)};
}

} // namespace peridon
