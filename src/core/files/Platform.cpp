#include "core/files/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#else
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace peridon {

bool openRegularFileForReading(QFile& file, const QString& path, QString& problem) {
    const QFileInfo info(path);
    if (!info.exists()) {
        problem = u"ファイルがありません。"_s;
        return false;
    }
    if (!info.isFile()) {
        problem = u"通常のファイルではありません（フォルダ、デバイス、名前付きパイプなど）。"_s;
        return false;
    }
#ifdef Q_OS_WIN
    // Windows has no FIFOs or devices among ordinary paths: the check above
    // is enough.
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = u"ファイルを開けません（%1）。"_s.arg(file.errorString());
        return false;
    }
    return true;
#else
    // The name may be swapped for a FIFO between the check and the open: open
    // without blocking, then check what was actually opened.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        problem = u"ファイルを開けません（%1）。"_s.arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        problem = u"通常のファイルではありません（フォルダ、デバイス、名前付きパイプなど）。"_s;
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        problem = u"ファイルを開けません（%1）。"_s.arg(file.errorString());
        return false;
    }
    return true;
#endif
}

FileKind fileKindAt(const QString& path) {
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (info.isSymbolicLink() || info.isJunction())
        return FileKind::SymbolicLink;
    if (!info.exists())
        return FileKind::Missing;
    if (info.isDir())
        return FileKind::Directory;
    return info.isFile() ? FileKind::Regular : FileKind::Other;
#else
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Other;
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    if (S_ISLNK(st.st_mode))
        return FileKind::SymbolicLink;
    if (S_ISDIR(st.st_mode))
        return FileKind::Directory;
    if (S_ISFIFO(st.st_mode))
        return FileKind::Fifo;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return FileKind::Device;
    return FileKind::Other;
#endif
}

QString fileKindText(FileKind kind) {
    switch (kind) {
    case FileKind::Missing:
        return u"ファイルなし"_s;
    case FileKind::Regular:
        return u"通常のファイル"_s;
    case FileKind::SymbolicLink:
        return u"シンボリックリンク"_s;
    case FileKind::Directory:
        return u"フォルダー"_s;
    case FileKind::Fifo:
        return u"名前付きパイプ"_s;
    case FileKind::Device:
        return u"デバイス"_s;
    case FileKind::Other:
        break;
    }
    return u"特殊なファイル"_s;
}

QString createPrivateFileBeside(const QString& base, const QString& suffix, QString& problem) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        QString name = u"%1.%2%3"_s.arg(base)
                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                           .arg(suffix);
#ifdef Q_OS_WIN
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.close();
            QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            return name;
        }
        if (QFileInfo::exists(name))
            continue;
        problem = file.errorString();
        return {};
#else
        // Owner-only from the first moment, not changed afterwards.
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno == EEXIST)
            continue;
        problem = QString::fromLocal8Bit(strerror(errno));
        return {};
#endif
    }
    problem = u"一時ファイルの名前が見つかりません。"_s;
    return {};
}

bool moveWithoutReplacing(const QString& from, const QString& to, bool& exists, QString& problem) {
    exists = false;
#ifdef Q_OS_WIN
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                    reinterpret_cast<const wchar_t*>(to.utf16()), MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = GetLastError();
    exists = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    problem = exists ? u"同じ名前のファイルがあります。"_s
                     : u"名前を変えられません（エラー %1）。"_s.arg(error);
    return false;
#else
    // A hard link fails atomically when the name is taken; the temporary
    // name is removed once the file has its own.
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    exists = errno == EEXIST;
    problem =
        exists ? u"同じ名前のファイルがあります。"_s : QString::fromLocal8Bit(strerror(errno));
    return false;
#endif
}

void giveDocumentPermissions(const QString& path, const QString& replaced) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    Q_UNUSED(replaced);
#else
    mode_t mode = 0;
    struct stat st {};
    if (!replaced.isEmpty() && ::stat(QFile::encodeName(replaced).constData(), &st) == 0) {
        mode = st.st_mode & 0777;
    } else {
        // The mask is read, not set: umask() would change it for every
        // thread while it is read.
        mode_t mask = 022;
        QFile status(u"/proc/self/status"_s);
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:")) {
                    bool ok = false;
                    const uint v = line.mid(6).trimmed().toUInt(&ok, 8);
                    if (ok)
                        mask = mode_t(v);
                }
            }
        }
        mode = 0666 & ~mask;
    }
    ::chmod(QFile::encodeName(path).constData(), mode);
#endif
}

bool replaceWithFile(const QString& from, const QString& to, QString& problem) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                    reinterpret_cast<const wchar_t*>(to.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    problem = u"名前を変えられません（エラー %1）。"_s.arg(GetLastError());
    return false;
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    problem = QString::fromLocal8Bit(strerror(errno));
    return false;
#endif
}

bool syncFileToDisk(const QString& path, QString& problem) {
#ifdef Q_OS_WIN
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        problem = u"ファイルを開けません（エラー %1）。"_s.arg(GetLastError());
        return false;
    }
    const bool ok = FlushFileBuffers(h);
    if (!ok)
        problem = u"ディスクに書き込めません（エラー %1）。"_s.arg(GetLastError());
    CloseHandle(h);
    return ok;
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    if (!ok)
        problem = QString::fromLocal8Bit(strerror(errno));
    ::close(fd);
    return ok;
#endif
}

void syncFolderToDisk(const QString& folder) {
#ifndef Q_OS_WIN
    // Best effort: some file systems refuse fsync on a folder, and the file
    // itself is already on the disk.
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

int lastErrorNumber() {
#ifdef Q_OS_WIN
    return int(GetLastError());
#else
    return errno;
#endif
}

bool isDiskFull(int savedErrno, const QString& folder) {
#ifdef Q_OS_WIN
    if (savedErrno == ERROR_DISK_FULL || savedErrno == ERROR_HANDLE_DISK_FULL)
        return true;
#else
    if (savedErrno == ENOSPC || savedErrno == EDQUOT)
        return true;
#endif
    const QStorageInfo storage(folder);
    return storage.isValid() && storage.isReady() && storage.bytesAvailable() == 0;
}

QString sharedPlaceProblem(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return {};
#else
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (st.st_uid != ::geteuid())
        return u"ほかの利用者のものです"_s;
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return u"ほかの利用者も書き込めます"_s;
    return {};
#endif
}

void setUpStandardStreams() {
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#else
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

} // namespace peridon
