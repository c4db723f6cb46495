#include "gui/entry/EntryWindow.h"

#include "core/entry/EntryModel.h"
#include "core/store/DrawFile.h"
#include "core/store/DrawTextParser.h"
#include "core/store/Store.h"
#include "gui/entry/DigitDelegate.h"
#include "gui/widgets/ChildWindow.h"
#include "gui/widgets/Fonts.h"
#include "gui/widgets/Messages.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <set>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

constexpr int kVisibleRows = 50;
// Column widths in character widths of the grid's font.
constexpr int kDrawNoWidth = 5;
constexpr int kDigitWidth = 7;
constexpr int kDefaultWidth = 4;

} // namespace

QWidget* createEntryWindow(ChildHost& host) {
    WaitCursor wait;
    QCoreApplication::processEvents();
    // Opened before anything else so that a database that cannot be opened
    // leaves propEnd as it was; the caller reports the DbError.
    auto model = std::make_unique<EntryModel>(host.store().connectString());
    return new 当選データ入力(host, model.release());
}

当選データ入力::当選データ入力(ChildHost& host, EntryModel* model, QWidget* parent)
    : QWidget(parent), m_host(host), m_model(model) {
    WaitCursor wait;
    m_model->setParent(this);
    m_host.setPropEnd(false);
    setObjectName(u"当選データ入力"_s);
    setWindowTitle(u"当選データ入力"_s);
    createControls();
    createMenus();
    applyLayout();
    connect(m_model, &EntryModel::writeRefused, this, &当選データ入力::showRefusal);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &当選データ入力::updateEmptyState);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &当選データ入力::updateEmptyState);
    connect(m_model, &QAbstractItemModel::modelReset, this, &当選データ入力::updateEmptyState);
    updateEmptyState();
}

当選データ入力::~当選データ入力() {
    // Deleted without being closed (the main window going away).
    if (!m_unloaded)
        m_host.setPropEnd(true);
}

void 当選データ入力::createControls() {
    m_description =
        new QLabel(u"当選数字を開催回数毎に入力します（分析対象データとなります）"_s, this);
    m_description->setObjectName(u"Label1"_s);

    m_table = new QTableView(this);
    m_table->setObjectName(u"fpSpread1"_s);
    m_table->setModel(m_model);
    m_table->setItemDelegate(new DigitDelegate(m_table));

    // Shown over the empty table: where the first draw comes from.
    m_emptyHint = new QLabel(u"行追加 (Ctrl+A) で最初の回を追加するか、"
                             "貼り付け (Ctrl+V) か当選データの取り込み（データ管理メニュー）で"
                             "読み込みます"_s,
                             m_table->viewport());
    m_emptyHint->setObjectName(u"emptyHint"_s);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setWordWrap(true);
    m_emptyHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_emptyHint->setForegroundRole(QPalette::PlaceholderText);

    m_closeButton = new QPushButton(u"閉じる"_s, this);
    m_closeButton->setObjectName(u"Command1"_s);
    m_closeButton->setAutoDefault(false);
    connect(m_closeButton, &QPushButton::clicked, this, &当選データ入力::Command1_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_description);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
}

void 当選データ入力::createMenus() {
    m_editMenu = new QMenu(u"編集(&E)"_s, this);
    m_editMenu->setObjectName(u"mnuEdit"_s);
    m_addLineAction = m_editMenu->addAction(u"行追加"_s);
    m_addLineAction->setObjectName(u"mnuAddLine"_s);
    m_addLineAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_deleteLineAction = m_editMenu->addAction(u"行削除"_s);
    m_deleteLineAction->setObjectName(u"mnuDelLine"_s);
    m_deleteLineAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_editMenu->addSeparator();
    m_copyAction = m_editMenu->addAction(u"コピー(&C)"_s);
    m_copyAction->setObjectName(u"mnuCopy"_s);
    m_copyAction->setShortcut(QKeySequence::Copy);
    m_pasteAction = m_editMenu->addAction(u"貼り付け(&P)"_s);
    m_pasteAction->setObjectName(u"mnuPaste"_s);
    m_pasteAction->setShortcut(QKeySequence::Paste);
    // The shortcuts work wherever the focus is inside this window, whether or
    // not the menu is on the main window's menu bar at the moment.
    for (QAction* action : {m_addLineAction, m_deleteLineAction, m_copyAction, m_pasteAction}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    connect(m_addLineAction, &QAction::triggered, this, &当選データ入力::mnuAddLine_Click);
    connect(m_deleteLineAction, &QAction::triggered, this, &当選データ入力::mnuDelLine_Click);
    connect(m_copyAction, &QAction::triggered, this, &当選データ入力::mnuCopy_Click);
    connect(m_pasteAction, &QAction::triggered, this, &当選データ入力::mnuPaste_Click);
}

void 当選データ入力::applyLayout() {
    QTableView* t = m_table;
    t->setFont(gridFont());
    t->horizontalHeader()->hide();
    t->verticalHeader()->show();
    t->setWordWrap(false);
    t->setShowGrid(true);
    t->setGridStyle(Qt::SolidLine);
    t->setStyleSheet(u"QTableView#fpSpread1 { gridline-color: #000000; }"_s);
    t->setSelectionBehavior(QAbstractItemView::SelectItems);
    t->setSelectionMode(QAbstractItemView::ContiguousSelection);
    t->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                       QAbstractItemView::AnyKeyPressed);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    const QFontMetrics fm(t->font());
    const int rowHeight = fm.height() + 4;
    QHeaderView* rows = t->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setFont(t->font());
    rows->viewport()->installEventFilter(this);
    t->installEventFilter(this);

    const int charWidth = fm.horizontalAdvance(QLatin1Char('0'));
    auto widthOf = [&](int chars) { return chars * charWidth + 10; };
    QHeaderView* cols = t->horizontalHeader();
    cols->setSectionResizeMode(QHeaderView::Fixed);
    cols->setMinimumSectionSize(widthOf(1));
    t->setColumnWidth(EntryModel::kDrawNoColumn, widthOf(kDrawNoWidth));
    for (int c = EntryModel::kFirstDigitColumn; c <= EntryModel::kLastDigitColumn; ++c)
        t->setColumnWidth(c, widthOf(kDigitWidth));
    t->setColumnWidth(EntryModel::kColumns - 1, widthOf(kDefaultWidth));

    // Every column stays in sight; the rows scroll.
    int width =
        2 * t->frameWidth() + rows->sizeHint().width() + t->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < EntryModel::kColumns; ++c)
        width += t->columnWidth(c);
    t->setMinimumWidth(width);
    t->setMinimumHeight(5 * rowHeight);

    t->viewport()->installEventFilter(this);

    // The next draw is added below the newest one: the window opens there.
    if (m_model->rowCount() > 0)
        t->setCurrentIndex(m_model->index(m_model->rowCount() - 1, EntryModel::kFirstDigitColumn));
}

void 当選データ入力::showNewest() {
    m_table->scrollToBottom();
    if (m_table->currentIndex().isValid())
        m_table->scrollTo(m_table->currentIndex());
}

void 当選データ入力::updateEmptyState() {
    const bool empty = m_model->rowCount() == 0;
    m_emptyHint->setGeometry(m_table->viewport()->rect());
    m_emptyHint->setVisible(empty);
    m_deleteLineAction->setEnabled(!empty);
}

QSize 当選データ入力::sizeHint() const {
    // Room for fifty rows of the table when the screen allows it.
    const int tableHeight =
        kVisibleRows * m_table->verticalHeader()->defaultSectionSize() + 2 * m_table->frameWidth();
    const QSize base = QWidget::sizeHint();
    return {base.width(), base.height() - m_table->sizeHint().height() + tableHeight};
}

QList<QMenu*> 当選データ入力::windowMenus() const {
    return {m_editMenu};
}

void 当選データ入力::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    placeAtOrigin();
    // The area may place a new window itself once it is shown: place it again
    // after that.
    QMetaObject::invokeMethod(
        this,
        [this] {
            placeAtOrigin();
            showNewest();
        },
        Qt::QueuedConnection);
    showNewest();
    m_table->setFocus();
}

void 当選データ入力::placeAtOrigin() {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub)
        return;
    placeChildWindow(sub, sub->size());
}

void 当選データ入力::closeEvent(QCloseEvent* event) {
    // A digit still being typed is kept, also when the close box is used.
    finishEditing();
    // Lines added but never filled were never written: they just go.
    m_model->dropUnsavedLines();
    if (!m_unloaded) {
        m_unloaded = true;
        m_host.setPropEnd(true);
        if (m_model->changedData())
            m_host.dataChanged(u"当選データを変更しました。"_s);
    }
    event->accept();
}

void 当選データ入力::finishEditing() {
    if (auto* delegate = qobject_cast<DigitDelegate*>(m_table->itemDelegate()))
        delegate->commitOpenEditor();
}

void 当選データ入力::showRefusal(const QString& message) {
    messages::stop(this, message);
}

void 当選データ入力::Command1_Click() {
    finishEditing();
    if (const auto bad = findBadDigitCell(*m_model)) {
        messages::stop(this, u"結果マスタの数字に誤りがあります。"_s);
        m_table->setCurrentIndex(*bad);
        m_table->scrollTo(*bad);
        m_table->setFocus();
        return;
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void 当選データ入力::mnuAddLine_Click() {
    finishEditing();
    if (!messages::confirm(this, u"選択された行のうしろに行を追加します。よろしいですか？"_s,
                           kAppTitle))
        return;
    const QModelIndex current = m_table->currentIndex();
    const int column = current.isValid() ? current.column() : EntryModel::kFirstDigitColumn;
    const int row = current.isValid() ? current.row() : m_model->rowCount() - 1;
    const int added = m_model->addLineAfter(row);
    if (added < 0)
        return;
    const QModelIndex target = m_model->index(added, column);
    m_table->setCurrentIndex(target);
    m_table->scrollTo(target);
    m_table->setFocus();
}

void 当選データ入力::mnuDelLine_Click() {
    finishEditing();
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid())
        return;
    if (!messages::confirm(this, u"選択された行を削除します。よろしいですか？"_s, kAppTitle))
        return;
    const int column = current.column();
    if (!m_model->deleteLine(current.row()))
        return;
    const int rows = m_model->rowCount();
    if (rows > 0) {
        const QModelIndex target = m_model->index(std::min(current.row(), rows - 1), column);
        m_table->setCurrentIndex(target);
        m_table->scrollTo(target);
    }
    m_table->setFocus();
}

void 当選データ入力::mnuCopy_Click() {
    finishEditing();
    std::set<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty() && m_table->currentIndex().isValid())
        rows.insert(m_table->currentIndex().row());
    if (rows.empty())
        return;
    QString text;
    for (int row : rows) {
        QStringList cells;
        for (int c = EntryModel::kDrawNoColumn; c <= EntryModel::kLastDigitColumn; ++c)
            cells << m_model->cellText(row, c);
        text += cells.join(u'\t') + u'\n';
    }
    QGuiApplication::clipboard()->setText(text);
}

void 当選データ入力::mnuPaste_Click() {
    finishEditing();
    pasteText(QGuiApplication::clipboard()->text());
}

void 当選データ入力::pasteText(const QString& text) {
    const CsvParse parsed = parseDrawText(text);
    if (!parsed.errors.isEmpty()) {
        messages::stop(this, u"読み取れない行が%1行あります。何も書き込みませんでした。\n\n%2"_s
                                 .arg(parsed.errors.size())
                                 .arg(listLineErrors(parsed.errors)));
        return;
    }
    if (parsed.draws.empty()) {
        messages::stop(this,
                       u"貼り付ける当選データがありません。\n"
                       "回数と3つの数字の行（例：7055<TAB>1<TAB>2<TAB>3）をコピーしてください。"_s);
        return;
    }
    ImportPlan plan;
    std::vector<DrawRange> gaps;
    try {
        plan = m_model->planDraws(parsed.draws);
        gaps = m_model->missingDraws(plan.added);
    } catch (const DbError& e) {
        showRefusal(u"当選データを読めませんでした。\n%1"_s.arg(e.message()));
        return;
    }
    if (plan.added.empty() && plan.differing.empty()) {
        messages::information(
            this, u"貼り付けた%1回分はすべて登録済みで、内容も同じです。"_s.arg(plan.identical),
            kAppTitle);
        return;
    }
    QString question =
        u"新しい回：%1回\n変更する回：%2回"_s.arg(plan.added.size()).arg(plan.differing.size());
    constexpr int kListed = 10;
    for (std::size_t i = 0; i < plan.differing.size() && i < kListed; ++i) {
        const DrawDifference& d = plan.differing[i];
        question += u"\n　第%1回　%2 → %3"_s.arg(d.incoming.drawNo)
                        .arg(digitsText(d.stored.digits), digitsText(d.incoming.digits));
        if (!d.incoming.date.isEmpty() && d.incoming.date != d.stored.date)
            question += u"（抽せん日 %1）"_s.arg(d.incoming.date);
    }
    if (plan.differing.size() > std::size_t(kListed))
        question += u"\n　（ほかに%1回）"_s.arg(plan.differing.size() - kListed);
    question += u"\n\n書き込みます。よろしいですか？"_s;
    if (!gaps.empty() && !messages::confirmGaps(this, gaps))
        return;
    if (!messages::confirm(this, question, kAppTitle))
        return;
    const std::vector<CsvDraw> draws = plan.drawsToWrite(true);
    if (!m_model->writeDraws(draws))
        return;
    // The cursor goes to the first digit of the last line pasted, with its
    // whole row in view, ready for the next draw to be typed below it.
    const int row = m_model->rowOfDraw(parsed.draws.back().drawNo);
    if (row >= 0) {
        const QModelIndex target = m_model->index(row, EntryModel::kFirstDigitColumn);
        m_table->setCurrentIndex(target);
        m_table->selectionModel()->select(target, QItemSelectionModel::ClearAndSelect);
        m_table->scrollTo(target, QAbstractItemView::EnsureVisible);
    }
    m_table->setFocus();
}

bool 当選データ入力::rowHeaderClick(QMouseEvent* event) {
    const int row = m_table->verticalHeader()->logicalIndexAt(event->position().toPoint());
    if (row < 0 || row >= m_model->rowCount())
        return false;
    // The selection must begin and end on one row.
    const QModelIndexList selected = m_table->selectionModel()->selectedIndexes();
    int selectedRow = -1;
    if (selected.isEmpty()) {
        if (!m_table->currentIndex().isValid())
            return false;
        selectedRow = m_table->currentIndex().row();
    }
    for (const QModelIndex& index : selected) {
        if (selectedRow >= 0 && index.row() != selectedRow)
            return false;
        selectedRow = index.row();
    }
    m_editMenu->popup(event->globalPosition().toPoint());
    return true;
}

bool 当選データ入力::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        m_emptyHint->setGeometry(m_table->viewport()->rect());
    // With no row at all the row headers have nowhere to be clicked: the
    // menu opens from anywhere on the empty table.
    if ((watched == m_table->viewport() || watched == m_table->verticalHeader()->viewport()) &&
        m_model->rowCount() == 0 && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            m_editMenu->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    if (watched == m_table->verticalHeader()->viewport() &&
        (event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        // Only a single click opens the menu; a double click does nothing.
        if (event->type() == QEvent::MouseButtonPress)
            rowHeaderClick(mouse);
        return true;
    }
    // Keys reach the table itself only while no cell is being edited.
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            // Delete clears the selected digit cells, each written at once.
            QModelIndexList cells = m_table->selectionModel()->selectedIndexes();
            if (cells.isEmpty() && m_table->currentIndex().isValid())
                cells << m_table->currentIndex();
            std::sort(cells.begin(), cells.end());
            for (const QModelIndex& cell : cells) {
                if ((m_model->flags(cell) & Qt::ItemIsEditable) &&
                    !m_model->setData(cell, QString()))
                    break;
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace peridon
