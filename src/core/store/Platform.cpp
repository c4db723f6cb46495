#include "core/store/Platform.h"

#include <QFileInfo>
#include <QRandomGenerator>

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
        const QString name =
            u"%1.%2%3"_s.arg(base)
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
