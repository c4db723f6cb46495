#pragma once

#include <QTemporaryDir>
#include <QWidget>

class QHelpEngine;
class QLineEdit;
class QTextBrowser;

namespace peridon {

// The help window: the index of the help file on the left (with a filter
// box) and the chosen topic on the right, with buttons to go back, forward
// and to the introduction.
class HelpViewer final : public QWidget {
    Q_OBJECT
public:
    // helpFile must exist (the launcher checks).
    explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);
    ~HelpViewer() override;

    // Filters the index by the keyword and shows the topic filed under it.
    void showKeyword(const QString& keyword);
    // Shows the topic filed under a keyword, leaving the index and the
    // 目次 button as they are. False when no topic is filed under it.
    bool showTopic(const QString& keyword);

    QString indexFilter() const;
    // The keywords the index shows, in its order.
    QStringList indexKeywords() const;
    QUrl currentTopic() const;
    bool isReady() const { return m_ready; }

private:
    void createControls();
    QWidget* createIndexPane(QWidget* parent);
    QWidget* createTopicPane(QWidget* parent);
    void connectIndex();
    void applyFilter();
    void sortIndex();

    QTemporaryDir m_collectionDir;
    QHelpEngine* m_engine = nullptr;
    QLineEdit* m_filter = nullptr;
    QTextBrowser* m_browser = nullptr;
    QString m_pendingFilter;
    // The keyword of the introduction, where the 目次 button leads.
    QString m_homeKeyword;
    bool m_indexReady = false;
    bool m_ready = false;
};

} // namespace peridon
