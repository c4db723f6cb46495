#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace peridon {

// The About window: a separate top-level window over a 491 x 379 picture
// painted here, with the program's name, version and catch phrase. (No
// Q_OBJECT: moc cannot read a Japanese class name; it needs no signal.)
class バージョン情報 final : public QWidget {
public:
    explicit バージョン情報(QWidget* owner = nullptr);

    // The background picture, 491 x 379, drawn by code.
    // The background picture, drawn for a screen with this many pixels per
    // unit; its size in units is always 491 x 379.
    static QImage backgroundPicture(qreal devicePixelRatio = 1.0);

    // Called when the window has closed, so the owner can take focus back.
    void setOnClosed(std::function<void()> f) { m_onClosed = std::move(f); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    QImage m_background;
    std::function<void()> m_onClosed;
};

} // namespace peridon
