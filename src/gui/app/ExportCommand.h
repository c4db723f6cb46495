#pragma once

#include "core/store/Database.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace peridon {

// Where and how the draws are written: a CSV file that Excel opens either
// way, UTF-8 with a BOM or Shift-JIS.
struct ExportTarget {
    QString path;
    bool shiftJis = false;
};

struct ExportHooks {
    // Asks for the file; nothing when the user cancels. Default: a save dialog.
    std::function<std::optional<ExportTarget>(QWidget* parent)> chooseFile;
};

// The export CSV (the same lines as peridon-cli export) in the chosen
// encoding; nothing when Shift-JIS cannot hold some text of it.
std::optional<QByteArray> encodeExport(const QByteArray& utf8Csv, bool shiftJis);

// The export from the menu: asks for the file, writes every stored draw to
// it (replacing it only once the new file is complete) and tells the user the
// outcome. True when the file was written.
bool runExport(QWidget* parent, const ConnectString& cs, const ExportHooks& hooks = {});

} // namespace peridon
