#include "gui/app/HelpViewer.h"

#include <QCollator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEngine>
#include <QHelpIndexModel>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// Shows pages of the help file: qthelp:// addresses are read from the engine.
class HelpBrowser final : public QTextBrowser {
public:
    HelpBrowser(QHelpEngine* engine, QWidget* parent) : QTextBrowser(parent), m_engine(engine) {}
    QVariant loadResource(int type, const QUrl& url) override {
        if (url.scheme() == QLatin1String("qthelp"))
            return m_engine->fileData(url);
        return QTextBrowser::loadResource(type, url);
    }

private:
    QHelpEngine* m_engine;
};

} // namespace

HelpViewer::HelpViewer(const QString& helpFile, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(u"HelpViewer"_s);
    setWindowTitle(u"ナンバーズ3ペリドン ヘルプ"_s);
    // The collection is a scratch file: the help file itself is only read.
    m_engine = new QHelpEngine(m_collectionDir.filePath(u"help.qhc"_s), this);
    m_engine->setReadOnly(false);
    connect(m_engine->indexModel(), &QHelpIndexModel::indexCreated, this, [this] {
        m_indexReady = true;
        applyFilter();
    });
    if (m_engine->setupData()) {
        const QString path = QFileInfo(helpFile).absoluteFilePath();
        const QString ns = QHelpEngineCore::namespaceName(path);
        if (!ns.isEmpty() && !m_engine->registeredDocumentations().contains(ns))
            m_engine->registerDocumentation(path);
        m_ready = !ns.isEmpty();
    }
    createControls();
    // At most as large as the screen's free area, centred on it (a small
    // screen at 150 % has room for little more than 900 x 500).
    QSize size(820, 600);
    QRect room;
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        room = screen->availableGeometry();
        size = size.boundedTo(room.size() * 9 / 10);
    }
    resize(size);
    if (room.isValid()) {
        QRect place(QPoint(), size);
        place.moveCenter(room.center());
        move(place.topLeft());
    }
}

HelpViewer::~HelpViewer() {
    // The engine keeps its collection file open; it must be closed before the
    // temporary folder is removed, as Windows cannot delete an open file and
    // would leave the folder behind each time.
    delete m_engine;
    m_engine = nullptr;
}

void HelpViewer::createControls() {
    auto* splitter = new QSplitter(this);
    QWidget* left = createIndexPane(splitter);
    QWidget* right = createTopicPane(splitter);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 590});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    connectIndex();
}

// The keyword filter above the index of keywords.
QWidget* HelpViewer::createIndexPane(QWidget* parent) {
    auto* left = new QWidget(parent);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(4, 4, 4, 4);
    leftLayout->addWidget(new QLabel(u"キーワード(&N):"_s, left));
    m_filter = new QLineEdit(left);
    m_filter->setObjectName(u"helpIndexFilter"_s);
    leftLayout->addWidget(m_filter);
    QHelpIndexWidget* index = m_engine->indexWidget();
    index->setObjectName(u"helpIndex"_s);
    index->setParent(left);
    leftLayout->addWidget(index);
    qobject_cast<QLabel*>(leftLayout->itemAt(0)->widget())->setBuddy(m_filter);
    return left;
}

// The topic with the buttons that move through the pages already shown and
// back to the introduction (links inside the pages lead away from it).
QWidget* HelpViewer::createTopicPane(QWidget* parent) {
    auto* right = new QWidget(parent);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 4, 4, 4);
    auto* buttons = new QHBoxLayout;
    auto* back = new QPushButton(u"戻る(&B)"_s, right);
    back->setObjectName(u"helpBack"_s);
    auto* forward = new QPushButton(u"進む(&F)"_s, right);
    forward->setObjectName(u"helpForward"_s);
    auto* home = new QPushButton(u"目次(&T)"_s, right);
    home->setObjectName(u"helpHome"_s);
    back->setEnabled(false);
    forward->setEnabled(false);
    for (QPushButton* b : {back, forward, home}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    rightLayout->addLayout(buttons);
    m_browser = new HelpBrowser(m_engine, right);
    m_browser->setObjectName(u"helpTopic"_s);
    rightLayout->addWidget(m_browser, 1);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(home, &QPushButton::clicked, this, [this] {
        if (!m_ready)
            return;
        const QList<QHelpLink> links = m_engine->documentsForKeyword(m_homeKeyword);
        if (!links.isEmpty())
            m_browser->setSource(links.first().url);
    });
    return right;
}

// Typing filters the index; choosing a keyword shows its topic.
void HelpViewer::connectIndex() {
    QHelpIndexWidget* index = m_engine->indexWidget();
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_pendingFilter = text;
        applyFilter();
    });
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& link, const QString&) { m_browser->setSource(link.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& links, const QString&) {
                if (!links.isEmpty())
                    m_browser->setSource(links.first().url);
            });
}

void HelpViewer::applyFilter() {
    if (!m_indexReady)
        return;
    m_engine->indexWidget()->filterIndices(m_pendingFilter);
    sortIndex();
}

void HelpViewer::sortIndex() {
    // The engine lists keywords by character code; a reader looks them up in
    // dictionary order (kana by reading order, numbers by value).
    QHelpIndexModel* model = m_engine->indexModel();
    QStringList keywords = model->stringList();
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    collator.setNumericMode(true);
    std::stable_sort(keywords.begin(), keywords.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    if (keywords != model->stringList()) {
        model->setStringList(keywords);
        // The first keyword that matches the filter stays the current one.
        QHelpIndexWidget* index = m_engine->indexWidget();
        if (model->rowCount() > 0 && !m_pendingFilter.isEmpty()) {
            for (int r = 0; r < model->rowCount(); ++r) {
                if (model->index(r).data().toString().startsWith(m_pendingFilter,
                                                                 Qt::CaseInsensitive)) {
                    index->setCurrentIndex(model->index(r));
                    break;
                }
            }
        }
    }
}

QStringList HelpViewer::indexKeywords() const {
    return m_engine->indexModel()->stringList();
}

void HelpViewer::showKeyword(const QString& keyword) {
    m_homeKeyword = keyword;
    if (m_filter->text() != keyword)
        m_filter->setText(keyword);
    else
        applyFilter();
    if (!m_ready)
        return;
    const QList<QHelpLink> links = m_engine->documentsForKeyword(keyword);
    if (!links.isEmpty())
        m_browser->setSource(links.first().url);
}

bool HelpViewer::showTopic(const QString& keyword) {
    if (!m_ready)
        return false;
    const QList<QHelpLink> links = m_engine->documentsForKeyword(keyword);
    if (links.isEmpty())
        return false;
    m_browser->setSource(links.first().url);
    return true;
}

QString HelpViewer::indexFilter() const {
    return m_filter->text();
}

QUrl HelpViewer::currentTopic() const {
    return m_browser->source();
}

} // namespace peridon
