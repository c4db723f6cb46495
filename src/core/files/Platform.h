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

// Gives a file made owner-only the permissions of a new document: what the
// process's file-creation mask leaves of read and write for everyone, or the
// permissions of the file at replaced when it takes that file's name.
void giveDocumentPermissions(const QString& path, const QString& replaced);

// Gives the file at from the name to, replacing a file of that name in one
// step: there is no moment without a file under to.
bool replaceWithFile(const QString& from, const QString& to, QString& problem);

// Flushes a file's contents, or a folder's entries, from the system's caches
// to the disk. A folder is synced after a name in it changed, so that the
// change survives a power cut; Windows has no such call for folders, and
// there it does nothing.
bool syncFileToDisk(const QString& path, QString& problem);
void syncFolderToDisk(const QString& folder);

// Whether a failure to write in folder came from a full disk: the error
// number saved right after the failed call, or a disk with no byte free.
bool isDiskFull(int savedErrno, const QString& folder);
// The system's last error number, saved right after a failed call.
int lastErrorNumber();

// What makes a folder or a file unsafe to keep private data in: other users
// may write to it, or it belongs to another user. Empty when nothing does
// (and always on Windows, whose access lists say more than any bit here).
QString sharedPlaceProblem(const QString& path);

// Standard output and error take bytes as they are: no CR LF translation on
// Windows, and the console shows UTF-8. A closed pipe on standard output
// becomes a write error the program reports instead of a silent death by
// signal.
void setUpStandardStreams();

} // namespace peridon
