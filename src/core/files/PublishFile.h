#pragma once

// Every file the program writes (databases and their backups, the settings
// file, exports, PDF, CSV and PNG files) is published the same way: written
// beside its target under a unique owner-only name, flushed to the disk, and
// given the target's name in one step only when complete, and only where the
// name is free or holds a regular file. A failure leaves what was there
// before, and no temporary file.
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>

namespace peridon {

struct PublishOptions {
    // A regular file under the name is replaced; otherwise the name must be
    // free and a file there is never touched, also one made a moment before.
    bool replace = true;
    // Owner-only like the database (backups, settings), or readable as a new
    // document is by the system's defaults (exports, PDF, CSV, PNG). A
    // replaced document keeps the old file's permissions.
    bool privateFile = false;
    // What the file is, as the message names it ("PDFファイル").
    QString kind = QStringLiteral("ファイル");
};

// How publishing ended. The message names the file and the reason in
// Japanese, ready to be shown as it is.
class PublishResult {
public:
    static PublishResult success() { return PublishResult(); }
    static PublishResult failure(const QString& kind, const QString& path, const QString& reason,
                                 bool taken = false);

    bool ok() const { return m_message.isEmpty(); }
    explicit operator bool() const { return ok(); }
    QString message() const { return m_message; }
    // The reason alone, for a caller that words its own heading.
    QString reason() const { return m_reason; }
    // The name was taken and the options said not to replace it.
    bool nameTaken() const { return m_taken; }

private:
    QString m_message;
    QString m_reason;
    bool m_taken = false;
};

// Where a file written to path ends up: a symbolic link is followed to its
// final target. Fails when that target is anything but a regular file or
// nothing (a folder, a named pipe, a device, a socket, a link loop).
PublishResult resolvePublishTarget(const QString& path, QString& target,
                                   const QString& what = QStringLiteral("ファイル"));

// The bytes as the whole file.
PublishResult publishBytes(const QString& path, QByteArrayView bytes,
                           const PublishOptions& options = {});

// What write puts into the open temporary file. write returns false, with
// problem set when it knows why, to abandon the file.
using FileWriter = std::function<bool(QFile& file, QString& problem)>;
PublishResult publishWith(const QString& path, const FileWriter& write,
                          const PublishOptions& options = {});

// What build makes of the temporary file, named by its path and closed (a
// database library opens it by name). An exception from build removes the
// temporary file and goes on to the caller.
using FileBuilder = std::function<bool(const QString& temporaryPath, QString& problem)>;
PublishResult publishBuilt(const QString& path, const FileBuilder& build,
                           const PublishOptions& options = {});

} // namespace peridon
