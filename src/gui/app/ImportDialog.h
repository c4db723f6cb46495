#pragma once

#include "core/store/Database.h"
#include "core/store/DrawFile.h"
#include "core/store/DrawImport.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QVBoxLayout;

namespace peridon {

// Shows what an import will do before anything is written: how many draws
// are new, how many are stored as they are, and the stored draws the file
// gives otherwise, side by side, with the choice to replace those or keep
// them. Accepting means "write".
class ImportPreviewDialog final : public QDialog {
    Q_OBJECT
public:
    ImportPreviewDialog(const ImportPlan& plan, const QString& fileName, QWidget* parent = nullptr);

    // Whether the differing draws are to be replaced by the file's.
    bool replace() const;
    QLabel* summary() const { return m_summary; }
    QTableWidget* differences() const { return m_differences; }
    QRadioButton* replaceOption() const { return m_replace; }
    QRadioButton* keepOption() const { return m_keep; }
    QPushButton* importButton() const { return m_import; }

private:
    void createDifferenceControls();
    void addDifferences(QVBoxLayout* layout);
    void addButtons(QVBoxLayout* layout);
    void fitToScreen(QWidget* parent);
    void updateButton();

    const ImportPlan& m_plan;
    QLabel* m_summary = nullptr;
    QTableWidget* m_differences = nullptr;
    QRadioButton* m_replace = nullptr;
    QRadioButton* m_keep = nullptr;
    QPushButton* m_import = nullptr;
};

// What the import asks the user; tests put their own answers here.
struct ImportHooks {
    // The file to import; empty when the user cancels. Default: a file dialog.
    std::function<QString(QWidget* parent)> chooseFile;
    // Shows the preview and returns its result. Default: exec().
    std::function<int(ImportPreviewDialog& dialog)> runPreview;
};

// The import from the menu: choose a file, read it (behind a progress dialog
// when that takes more than half a second), report bad lines and stop, show
// the preview, then back the database up and write in one transaction.
// Returns what was written as a sentence for the user; empty when nothing
// was written (cancelled, refused, or nothing new), in which case the user
// has already been told why.
QString runImport(QWidget* parent, const ConnectString& cs, const ImportHooks& hooks = {});

// Reads a draw file on a worker thread while the event loop keeps running; a
// progress dialog appears when the reading takes more than half a second.
DrawFile readDrawFileWithProgress(QWidget* parent, const QString& path);

} // namespace peridon
