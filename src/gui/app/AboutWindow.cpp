#include "gui/app/AboutWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QtMath>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {
constexpr int kWidth = 491;
constexpr int kHeight = 379;
constexpr int kBandTop = 232; // the dark band the white catch phrase stands on

void drawBall(QPainter& p, QPointF centre, qreal radius, QColor colour, const QString& digit) {
    QRadialGradient g(centre - QPointF(radius / 3, radius / 3), radius * 1.3);
    g.setColorAt(0, Qt::white);
    g.setColorAt(0.35, colour.lighter(130));
    g.setColorAt(1, colour.darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    QFont f(u"Arial"_s);
    f.setBold(true);
    f.setPixelSize(int(radius * 1.1));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
               Qt::AlignCenter, digit);
}
} // namespace

QImage バージョン情報::backgroundPicture(qreal devicePixelRatio) {
    // Drawn for the screen's pixels, so that it stays sharp at 150 % or
    // 200 % instead of being scaled up; 491 x 379 in the window's units.
    const qreal ratio = qMax(1.0, devicePixelRatio);
    QImage img(qCeil(kWidth * ratio), qCeil(kHeight * ratio), QImage::Format_RGB888);
    img.setDevicePixelRatio(ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Light sky above for the red title and the blue version...
    QLinearGradient sky(0, 0, 0, kBandTop);
    sky.setColorAt(0, QColor(255, 252, 236));
    sky.setColorAt(1, QColor(214, 232, 250));
    p.fillRect(0, 0, kWidth, kBandTop, sky);
    // ...soft rays from the top right corner...
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        QPainterPath ray;
        ray.moveTo(kWidth, 0);
        ray.lineTo(kWidth - 120 - i * 70, kBandTop);
        ray.lineTo(kWidth - 150 - i * 70, kBandTop);
        ray.closeSubpath();
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawPath(ray);
    }
    // ...and a deep blue band below for the white catch phrase.
    QLinearGradient band(0, kBandTop, 0, kHeight);
    band.setColorAt(0, QColor(20, 40, 110));
    band.setColorAt(1, QColor(8, 16, 56));
    p.fillRect(0, kBandTop, kWidth, kHeight - kBandTop, band);
    p.fillRect(0, kBandTop, kWidth, 3, QColor(230, 180, 40));
    // Three numbered balls, the three digits of a draw.
    drawBall(p, QPointF(150, 165), 34, QColor(220, 40, 40), u"3"_s);
    drawBall(p, QPointF(245, 165), 34, QColor(30, 90, 210), u"7"_s);
    drawBall(p, QPointF(340, 165), 34, QColor(30, 150, 60), u"1"_s);
    // A few stars in the band.
    p.setBrush(QColor(255, 255, 255, 150));
    const QPointF stars[] = {{30, 360}, {90, 345}, {200, 368}, {300, 352}, {460, 245}, {20, 250}};
    for (const QPointF& s : stars)
        p.drawEllipse(s, 1.5, 1.5);
    return img;
}

バージョン情報::バージョン情報(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(u"バージョン情報"_s);
    setWindowTitle(u"バージョン情報"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowSystemMenuHint);
    m_background = backgroundPicture(devicePixelRatioF());
    setFixedSize(kWidth, kHeight);
    createControls();
}

void バージョン情報::createControls() {
    auto* title = new QLabel(u"ナンバーズ３ペリドン"_s, this);
    title->setObjectName(u"Label1"_s);
    QFont titleFont(u"HGS明朝E"_s);
    titleFont.setPointSizeF(20.25);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(u"color: rgb(255, 0, 0); background: transparent;"_s);
    title->setGeometry(24, 30, 300, 44);

    auto* version = new QLabel(u" Ver"_s + QLatin1StringView(PERIDON_VERSION), this);
    version->setObjectName(u"Label3"_s);
    QFont versionFont(u"ＭＳ Ｐゴシック"_s);
    versionFont.setPointSizeF(14.25);
    versionFont.setBold(true);
    version->setFont(versionFont);
    version->setStyleSheet(u"color: rgb(0, 0, 255); background: transparent;"_s);
    version->setGeometry(330, 38, 130, 32);

    auto* catchPhrase =
        new QLabel(u"　　　　　一発ペリドンと高額当選を狙う！！　　　　　　　　　　「ナンバーズ"
                   "３次世代攻略ソフト」"_s,
                   this);
    catchPhrase->setObjectName(u"Label4"_s);
    QFont catchPhraseFont(u"ＭＳ Ｐゴシック"_s);
    catchPhraseFont.setPointSizeF(12);
    catchPhrase->setFont(catchPhraseFont);
    catchPhrase->setWordWrap(true);
    catchPhrase->setStyleSheet(u"color: rgb(255, 255, 255); background: transparent;"_s);
    catchPhrase->setGeometry(28, 250, 435, 60);

    auto* closeButton = new QPushButton(u"閉じる"_s, this);
    closeButton->setObjectName(u"Command1"_s);
    closeButton->setGeometry(kWidth - 110, kHeight - 44, 90, 28);
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

void バージョン情報::paintEvent(QPaintEvent*) {
    // The screen (and with it the pixel ratio) may change while it is open.
    if (!qFuzzyCompare(m_background.devicePixelRatio(), qMax(1.0, devicePixelRatioF())))
        m_background = backgroundPicture(devicePixelRatioF());
    QPainter p(this);
    p.drawImage(QPointF(0, 0), m_background);
}

void バージョン情報::keyPressEvent(QKeyEvent* event) {
    // Escape closes the window, as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void バージョン情報::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_onClosed)
        m_onClosed();
}

} // namespace peridon
