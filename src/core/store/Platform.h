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

// Gives the file at from the name to, only when nothing has that name: an
// existing file is never replaced, also when another process creates it at
// the same moment (QFile::rename checks first and then falls back to copying
// over the file, which can truncate a database another process is writing).
// Returns false with problem set when it did not happen; exists is true when
// the reason is a file already there.
bool moveWithoutReplacing(const QString& from, const QString& to, bool& exists, QString& problem);

// Standard output and error take bytes as they are: no CR LF translation on
// Windows, and the console shows UTF-8. A closed pipe on standard output
// becomes a write error the program reports instead of a silent death by
// signal.
void setUpStandardStreams();

} // namespace peridon
