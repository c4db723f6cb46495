#pragma once

#include <QString>
#include <QStringList>

namespace peridon {

// A file in the program's folder that, with a writable folder, keeps the
// database and the settings file beside the program even before a database
// exists there (an unpacked portable folder).
inline constexpr const char16_t* kPortableMarkerName = u"portable";
// The per-user data folder's name (under the system's application data
// location).
inline constexpr const char16_t* kUserFolderName = u"peridon";

// Where this run keeps its files.
struct AppPaths {
    // The folder of the settings file, and of the database unless --db
    // moved it.
    QString dataFolder;
    QString databasePath;
    // The folder of the settings file: the data folder, or with --db the
    // database's own folder, so that two databases never share options.
    QString settingsFolder;
    // The files stay beside the program.
    bool portable = false;
    // The database was named on the command line.
    bool databaseGiven = false;
};

// Whether a file can be created in folder: tried, not read from permission
// bits, which say little on network drives and Windows ACLs.
bool isWritableFolder(const QString& folder);

// The rules, from the folders they depend on. Portable when programFolder
// holds the database, or holds the portable marker and is writable
// (programFolderWritable); otherwise the per-user folder userFolder.
// databaseOverride (--db, empty when not given) replaces the database path,
// and the settings file is the one beside that database.
AppPaths resolveAppPaths(const QString& programFolder, bool programFolderWritable,
                         const QString& userFolder, const QString& databaseOverride = {});

// The per-user data folder of this system (not created here).
QString userDataFolder();

// The rules for this process: the executable's folder and this user's data
// folder.
AppPaths appPaths(const QString& databaseOverride = {});

// Makes the per-user data folder when this run uses it (a portable folder
// and the folder of a --db file are the user's and are left as they are).
// Throws DbError with a message for the user when it cannot be made.
void prepareDataFolder(const AppPaths& paths);
// prepareDataFolder, then, when no --db was given and there is no database
// yet, creates it from the shipped history. Returns whether it created one
// (the caller tells the user, once: later starts find it). Throws DbError
// with a message for the user when that fails; an existing database is never
// touched.
bool prepareDatabase(const AppPaths& paths);
// What the user is told after prepareDatabase created the database.
QString firstStartMessage(const AppPaths& paths);

// Warnings, one a place, when the data folder, the database's folder or the
// database may be written by other users or belong to another user: someone
// else could then put a database or a backup of their own in the user's
// place. Empty when none applies.
QStringList sharedPlaceWarnings(const AppPaths& paths);

// The database named on a program's command line: "--db PATH" or
// "--db=PATH" (arguments[0] is the program). Returns false with problem set
// when --db lacks its path or an argument is not understood.
bool parseDatabaseArgument(const QStringList& arguments, QString& database, QString& problem);

} // namespace peridon
