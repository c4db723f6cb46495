#pragma once

#include "core/store/DrawImport.h"

#include <QList>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace peridon {

using namespace Qt::StringLiterals;

// Titles of message boxes. "メッセ－ジ" is written with a full-width
// hyphen-minus (U+FF0D), not the long-vowel mark.
inline const QString kMessageTitle = u"メッセ－ジ"_s;
inline const QString kAppTitle = u"ナンバーズ3ペリドン"_s;

namespace messages {

enum class Icon { Stop, Warning, Information, Question };

// One message box as it is asked for.
struct Request {
    Icon icon = Icon::Information;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Refusals and failed checks: stop icon, OK.
void stop(QWidget* parent, const QString& text, const QString& title = kMessageTitle);
// Warning icon, OK.
void warning(QWidget* parent, const QString& text, const QString& title = kMessageTitle);
// Information icon, OK.
void information(QWidget* parent, const QString& text, const QString& title = kMessageTitle);
// A question with Yes and No, the warning icon and No as the default button;
// true only for Yes.
bool confirm(QWidget* parent, const QString& text, const QString& title = kMessageTitle);

// Asks whether draws that leave the numbers in `missing` empty after the last
// stored draw are to be added all the same: "第7058回～第7069回がありません。
// このまま追加しますか？", No as the default.
bool confirmGaps(QWidget* parent, const std::vector<DrawRange>& missing);

// Shows any request (modal) and returns the button pressed.
QMessageBox::StandardButton show(QWidget* parent, const Request& request);

// Tests answer message boxes through this: while a handler is set, no box is
// shown and the handler's answer is returned instead. An empty function
// restores the real boxes.
using TestHandler = std::function<QMessageBox::StandardButton(const Request&)>;
void setTestHandler(TestHandler handler);

// Records every message while it lives and answers each with a fixed button
// (for confirm(): Yes or No). Restores the previous handler when it goes.
class Recorder final {
public:
    explicit Recorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    const QList<Request>& requests() const { return m_requests; }
    int count() const { return int(m_requests.size()); }
    const Request& last() const { return m_requests.back(); }
    void clear() { m_requests.clear(); }

private:
    QMessageBox::StandardButton m_answer;
    QList<Request> m_requests;
    TestHandler m_previous;
};

} // namespace messages

// Shows the hourglass for the whole application while it lives; nested ones
// stack, and the pointer comes back even when the work throws.
class WaitCursor final {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace peridon
