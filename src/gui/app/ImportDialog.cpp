#include "gui/app/ImportDialog.h"

#include "core/store/DrawTable.h"
#include "gui/widgets/Messages.h"
#include "gui/widgets/RecentFolders.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// The side-by-side list shows this many differing draws at most; the count
// above it always tells the whole number.
constexpr int kMaxListedDifferences = 1000;

QString rangeText(const std::vector<CsvDraw>& draws) {
    if (draws.empty())
        return {};
    int lo = draws.front().drawNo;
    int hi = lo;
    for (const CsvDraw& d : draws) {
        lo = std::min(lo, d.drawNo);
        hi = std::max(hi, d.drawNo);
    }
    return lo == hi ? u"（第%1回）"_s.arg(lo) : u"（第%1回～第%2回）"_s.arg(lo).arg(hi);
}

QString chooseImportFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, u"当選データの取り込み"_s,
                                        recentFolder(FolderKind::Data),
                                        u"当選データ (*.csv *.tsv *.txt);;すべてのファイル (*)"_s);
}

QString summaryText(const ImportPlan& plan, const QString& fileName) {
    return u"ファイル：%1\n\n新しい回：%2回%3\n登録済みで同じ回：%4回\n"
           "登録済みで内容が異なる回：%5回"_s.arg(fileName)
               .arg(plan.added.size())
               .arg(rangeText(plan.added))
               .arg(plan.identical)
               .arg(int(plan.differing.size()));
}

// The first `listed` differing draws side by side, the file's side in bold
// where it differs.
void fillDifferences(QTableWidget* table, const std::vector<DrawDifference>& differing,
                     int listed) {
    table->setColumnCount(5);
    table->setHorizontalHeaderLabels({u"回数"_s, u"登録済みの数字"_s, u"登録済みの抽せん日"_s,
                                      u"ファイルの数字"_s, u"ファイルの抽せん日"_s});
    table->setRowCount(listed);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    // Tab goes on to the choice below, as in any other dialog.
    table->setTabKeyNavigation(false);
    QFont changed = table->font();
    changed.setBold(true);
    for (int r = 0; r < listed; ++r) {
        const DrawDifference& d = differing[std::size_t(r)];
        const QString cells[5] = {QString::number(d.incoming.drawNo), digitsText(d.stored.digits),
                                  d.stored.date, digitsText(d.incoming.digits),
                                  d.incoming.date.isEmpty() ? d.stored.date : d.incoming.date};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignCenter);
            table->setItem(r, c, item);
        }
        if (d.incoming.digits != d.stored.digits) {
            table->item(r, 3)->setFont(changed);
            table->item(r, 3)->setForeground(Qt::red);
        }
        if (!d.incoming.date.isEmpty() && d.incoming.date != d.stored.date) {
            table->item(r, 4)->setFont(changed);
            table->item(r, 4)->setForeground(Qt::red);
        }
    }
    table->resizeColumnsToContents();
}

// A file that cannot be read, has lines that cannot be read or holds no
// draws is refused with the reason; nothing is written.
bool importable(QWidget* parent, const DrawFile& file) {
    if (!file.failure.isEmpty()) {
        messages::stop(parent, u"取り込めません。何も書き込みませんでした。\n\n"_s + file.failure);
        return false;
    }
    if (!file.errors.isEmpty()) {
        messages::stop(parent, u"取り込めない行が%1行あります。何も書き込みませんでした。\n\n%2"_s
                                   .arg(file.errors.size())
                                   .arg(listLineErrors(file.errors)));
        return false;
    }
    if (file.draws.empty()) {
        messages::stop(parent, u"ファイルに当選データがありません。何も書き込みませんでした。"_s);
        return false;
    }
    return true;
}

// Writes the draws the user chose; what was written, or empty when the
// database changed since the preview and nothing was written.
QString writeImport(QWidget* parent, DrawTable& table, const std::vector<CsvDraw>& draws,
                    bool replace) {
    ImportResult r;
    {
        WaitCursor wait;
        r = table.writeDraws(draws, replace);
    }
    if (!r.errors.isEmpty()) {
        messages::stop(parent,
                       u"データベースの内容が確認のあとで変わったため、何も書き込みませんでした。"
                       "\n\n%1"_s.arg(listLineErrors(r.errors)));
        return {};
    }
    return u"当選データを取り込みました（追加 %1回、置き換え %2回）。"_s.arg(r.added).arg(
        r.replaced);
}

// Compares the file's draws with the database, shows the preview and writes
// what the user chose, after asking about draws the import would leave
// missing.
QString importDraws(QWidget* parent, const ConnectString& cs, const ImportHooks& hooks,
                    const std::vector<CsvDraw>& fileDraws, const QString& fileName) {
    Database db(cs, Database::Mode::OpenExisting);
    DrawTable table(db);
    ImportPlan plan;
    {
        WaitCursor wait;
        plan = table.plan(fileDraws);
    }
    if (plan.added.empty() && plan.differing.empty()) {
        messages::information(
            parent,
            u"ファイルの%1回分はすべて登録済みで、内容も同じです。何も書き込みませんでした。"_s.arg(
                plan.identical));
        return {};
    }
    ImportPreviewDialog dialog(plan, fileName, parent);
    const int answer = hooks.runPreview ? hooks.runPreview(dialog) : dialog.exec();
    if (answer != QDialog::Accepted)
        return {};
    const bool replace = dialog.replace();
    const std::vector<CsvDraw> draws = plan.drawsToWrite(replace);
    if (draws.empty())
        return {};
    if (const auto gaps = missingDrawsAfter(db, draws); !gaps.empty()) {
        if (!messages::confirmGaps(parent, gaps))
            return {};
    }
    return writeImport(parent, table, draws, replace);
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(const ImportPlan& plan, const QString& fileName,
                                         QWidget* parent)
    : QDialog(parent), m_plan(plan) {
    setObjectName(u"ImportPreviewDialog"_s);
    setWindowTitle(u"当選データの取り込み"_s);
    auto* layout = new QVBoxLayout(this);

    const int differing = int(plan.differing.size());
    m_summary = new QLabel(this);
    m_summary->setObjectName(u"Label概要"_s);
    // A long file name wraps instead of widening the dialog past the screen.
    m_summary->setWordWrap(true);
    m_summary->setText(summaryText(plan, fileName));
    layout->addWidget(m_summary);

    createDifferenceControls();
    if (differing > 0) {
        addDifferences(layout);
    } else {
        m_differences->hide();
        m_replace->hide();
        m_keep->hide();
    }
    addButtons(layout);
    if (differing > 0)
        fitToScreen(parent);
}

// The list of differing draws and the choice between the file and what is
// stored.
void ImportPreviewDialog::createDifferenceControls() {
    m_differences = new QTableWidget(this);
    m_differences->setObjectName(u"fpSpread1"_s);
    m_replace = new QRadioButton(u"ファイルの内容で置き換える(&R)"_s, this);
    m_replace->setObjectName(u"Opt置き換える"_s);
    m_keep = new QRadioButton(u"登録済みの内容を残す（新しい回だけ追加する）(&K)"_s, this);
    m_keep->setObjectName(u"Opt置き換えない"_s);
    m_keep->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(m_replace);
    group->addButton(m_keep);
}

// Fills the list with the differing draws and shows it with the choice.
void ImportPreviewDialog::addDifferences(QVBoxLayout* layout) {
    const int differing = int(m_plan.differing.size());
    const int listed = std::min(differing, kMaxListedDifferences);
    fillDifferences(m_differences, m_plan.differing, listed);
    layout->addWidget(
        new QLabel(u"登録済みで内容が異なる回（左：登録済み、右：ファイル）"_s, this));
    layout->addWidget(m_differences, 1);
    if (differing > listed)
        layout->addWidget(new QLabel(u"（ほかに%1回）"_s.arg(differing - listed), this));
    layout->addWidget(m_replace);
    layout->addWidget(m_keep);
}

void ImportPreviewDialog::addButtons(QVBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(u"取り込む"_s, QDialogButtonBox::AcceptRole);
    m_import->setObjectName(u"Cmd取り込む"_s);
    QPushButton* cancel = buttons->addButton(u"キャンセル"_s, QDialogButtonBox::RejectRole);
    cancel->setObjectName(u"Cmdキャンセル"_s);
    // Enter writes, wherever the focus is (the button is greyed out when
    // there is nothing to write).
    m_import->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_replace, &QRadioButton::toggled, this, &ImportPreviewDialog::updateButton);
    updateButton();
}

// Room for the list, but never beyond the screen: at 150 % a small screen is
// only about 500 points high, and a taller dialog would hide its buttons
// below the edge. The list gives up the height.
void ImportPreviewDialog::fitToScreen(QWidget* parent) {
    QSize size(std::max(sizeHint().width(), 560), 480);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        size = size.boundedTo(QSize(room.width() * 9 / 10, room.height() * 9 / 10));
    }
    resize(size.expandedTo(minimumSizeHint()));
}

bool ImportPreviewDialog::replace() const {
    return m_replace->isChecked();
}

void ImportPreviewDialog::updateButton() {
    // Keeping every stored draw with nothing new leaves nothing to write.
    m_import->setEnabled(!m_plan.drawsToWrite(replace()).empty());
}

DrawFile readDrawFileWithProgress(QWidget* parent, const QString& path) {
    auto result = std::make_shared<DrawFile>();
    std::unique_ptr<QThread> worker(QThread::create([result, path] {
        try {
            *result = readDrawFile(path);
        } catch (const std::exception&) {
            result->failure = u"ファイルを読み込むためのメモリが足りません。"_s;
        }
    }));
    QProgressDialog progress(u"ファイルを読み込んでいます…"_s, QString(), 0, 0, parent);
    progress.setObjectName(u"ImportProgress"_s);
    progress.setWindowTitle(u"当選データの取り込み"_s);
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(500);
    QEventLoop loop;
    // Queued from the worker, so a quick finish still ends the loop below.
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    return std::move(*result);
}

QString runImport(QWidget* parent, const ConnectString& cs, const ImportHooks& hooks) {
    const QString path = hooks.chooseFile ? hooks.chooseFile(parent) : chooseImportFile(parent);
    if (path.isEmpty())
        return {};
    rememberFolder(FolderKind::Data, path);
    const DrawFile file = readDrawFileWithProgress(parent, path);
    if (!importable(parent, file))
        return {};
    try {
        return importDraws(parent, cs, hooks, file.draws, QFileInfo(path).fileName());
    } catch (const DbError& e) {
        messages::stop(parent,
                       u"当選データを書き込めませんでした。データベースは変更していません。\n\n"_s +
                           e.message());
        return {};
    }
}

} // namespace peridon
