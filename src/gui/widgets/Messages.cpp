#include "gui/widgets/Messages.h"

#include "gui/widgets/PhraseLines.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>

namespace peridon {

namespace messages {

namespace {

TestHandler& handler() {
    static TestHandler h;
    return h;
}

QMessageBox::Icon toBoxIcon(Icon icon) {
    switch (icon) {
    case Icon::Stop:
        return QMessageBox::Critical;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

QMessageBox::StandardButton show(QWidget* parent, const Request& request) {
    if (handler())
        return handler()(request);
    QMessageBox box(toBoxIcon(request.icon), request.title, QString(), request.buttons, parent);
    // Lines are broken at phrase ends, never inside a word, and a line that
    // quotes a file or what the user gave stays whole; the text is escaped,
    // so nothing in it is taken for markup.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QFontMetrics fm(box.font());
    int width = 30 * fm.horizontalAdvance(QChar(0x5B57));
    if (screen)
        width = qMin(width, screen->availableSize().width() / 2 - 40);
    box.setTextFormat(Qt::RichText);
    box.setText(
        messageHtml(request.text, fm, qMax(width, 8 * fm.horizontalAdvance(QChar(0x5B57)))));
    // The buttons speak Japanese like the rest of the program, whatever Qt
    // translations are installed.
    static const struct {
        QMessageBox::StandardButton button;
        const char16_t* text;
    } kButtonTexts[] = {{QMessageBox::Yes, u"はい(&Y)"},
                        {QMessageBox::No, u"いいえ(&N)"},
                        {QMessageBox::Cancel, u"キャンセル"}};
    for (const auto& b : kButtonTexts) {
        if (QAbstractButton* button = box.button(b.button))
            button->setText(QString::fromUtf16(b.text));
    }
    if (request.defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(request.defaultButton);
        box.setEscapeButton(request.defaultButton);
    }
    // A message must be readable even while a wait cursor is up.
    const bool overridden = QGuiApplication::overrideCursor() != nullptr;
    if (overridden)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = QMessageBox::StandardButton(box.exec());
    if (overridden)
        QGuiApplication::restoreOverrideCursor();
    return answer;
}

void stop(QWidget* parent, const QString& text, const QString& title) {
    show(parent, {Icon::Stop, title, text, QMessageBox::Ok, QMessageBox::Ok});
}

void warning(QWidget* parent, const QString& text, const QString& title) {
    show(parent, {Icon::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok});
}

void information(QWidget* parent, const QString& text, const QString& title) {
    show(parent, {Icon::Information, title, text, QMessageBox::Ok, QMessageBox::Ok});
}

bool confirm(QWidget* parent, const QString& text, const QString& title) {
    return show(parent, {Icon::Warning, title, text, QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::No}) == QMessageBox::Yes;
}

bool confirmGaps(QWidget* parent, const std::vector<DrawRange>& missing) {
    return confirm(parent, missingDrawsText(missing) + u"がありません。このまま追加しますか？"_s,
                   kAppTitle);
}

void setTestHandler(TestHandler h) {
    handler() = std::move(h);
}

Recorder::Recorder(QMessageBox::StandardButton answer) : m_answer(answer), m_previous(handler()) {
    handler() = [this](const Request& r) {
        m_requests.append(r);
        return m_answer;
    };
}

Recorder::~Recorder() {
    handler() = std::move(m_previous);
}

} // namespace messages

WaitCursor::WaitCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QGuiApplication::restoreOverrideCursor();
}

} // namespace peridon
