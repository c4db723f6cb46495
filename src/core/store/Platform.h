#pragma once

// The few things that differ between Windows and POSIX systems, behind one
// interface: the rest of the program stays with Qt's portable calls.
#include <QFile>
#include <QString>

namespace peridon {

// Opens path for reading only when it is a regular file (or a link to one).
// A FIFO or a device is refused without ever blocking on it. On failure,
// problem holds the reason in Japanese.
bool openRegularFileForReading(QFile& file, const QString& path, QString& problem);

// What stands under a name, without following a symbolic link and without
// opening it.
enum class FileKind { Missing, Regular, SymbolicLink, Directory, Fifo, Device, Other };
FileKind fileKindAt(const QString& path);
// The kind in words, for messages ("シンボリックリンク", "フォルダー", ...).
QString fileKindText(FileKind kind);

// Creates a new empty file beside base, named base + ".<random>" + suffix,
// readable and writable by its owner only, and returns its name; empty (with
// problem set) when it cannot be created. The file is closed again, so any
// library can open it by name.
QString createPrivateFileBeside(const QString& base, const QString& suffix, QString& problem);

// Standard output and error take bytes as they are: no CR LF translation on
// Windows, and the console shows UTF-8. A closed pipe on standard output
// becomes a write error the program reports instead of a silent death by
// signal.
void setUpStandardStreams();

} // namespace peridon
