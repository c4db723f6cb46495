#include "core/files/PublishFile.h"

#include "core/files/Platform.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// More links than this in a row is a loop, as the system itself judges.
constexpr int kMaxLinks = 40;

const QString kDiskFull = u"ディスクの空きがありません。"_s;

QString notRegularReason(FileKind kind) {
    if (kind == FileKind::Directory)
        return u"同じ名前のフォルダーがあります。"_s;
    return u"同じ名前の%1があり、通常のファイルではないため、そのままにしました。"_s.arg(
        fileKindText(kind));
}

// Why writing into folder failed: a full disk, or what the call said.
QString writeFailure(int savedErrno, const QString& folder, const QString& said) {
    if (isDiskFull(savedErrno, folder))
        return kDiskFull;
    return said.isEmpty() ? u"書き込めません。"_s : u"書き込めません（%1）。"_s.arg(said);
}

} // namespace

PublishResult PublishResult::failure(const QString& kind, const QString& path,
                                     const QString& reason, bool taken) {
    PublishResult r;
    r.m_message = u"%1を保存できません。\n%2\n%3"_s.arg(
        kind, QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
    r.m_reason = reason;
    r.m_taken = taken;
    return r;
}

PublishResult resolvePublishTarget(const QString& path, QString& target, const QString& what) {
    target = QFileInfo(path).absoluteFilePath();
    for (int hops = 0;; ++hops) {
        const FileKind kind = fileKindAt(target);
        if (kind == FileKind::Missing || kind == FileKind::Regular)
            return PublishResult::success();
        if (kind != FileKind::SymbolicLink)
            return PublishResult::failure(what, path, notRegularReason(kind));
        // A relative link is relative to the folder that holds it.
        const QString next = QFileInfo(target).symLinkTarget();
        if (hops == kMaxLinks || next.isEmpty())
            return PublishResult::failure(what, path, u"シンボリックリンクをたどれません。"_s);
        target = QDir::cleanPath(QFileInfo(target).dir().absoluteFilePath(next));
    }
}

PublishResult publishBuilt(const QString& path, const FileBuilder& build,
                           const PublishOptions& options) {
    QString target;
    if (PublishResult r = resolvePublishTarget(path, target, options.kind); !r)
        return r;
    const auto taken = [&] {
        return PublishResult::failure(
            options.kind, path, u"同じ名前のファイルが既にあります。上書きしません。"_s, true);
    };
    const bool existed = fileKindAt(target) == FileKind::Regular;
    if (existed && !options.replace)
        return taken();
    const QString folder = QFileInfo(target).absolutePath();

    QString problem;
    const QString tmp = createPrivateFileBeside(target, u".tmp"_s, problem);
    if (tmp.isEmpty())
        return PublishResult::failure(options.kind, path,
                                      writeFailure(lastErrorNumber(), folder, problem));
    const auto abandon = [&](const QString& reason) {
        QFile::remove(tmp);
        return PublishResult::failure(options.kind, path, reason);
    };
    bool built = false;
    try {
        built = build(tmp, problem);
    } catch (...) {
        QFile::remove(tmp);
        throw;
    }
    if (!built)
        return abandon(problem.isEmpty() ? writeFailure(0, folder, {}) : problem);
    if (!syncFileToDisk(tmp, problem))
        return abandon(writeFailure(lastErrorNumber(), folder, problem));
    if (!options.privateFile)
        giveDocumentPermissions(tmp, existed ? target : QString());

    // The name may have changed hands while the file was written.
    const FileKind now = fileKindAt(target);
    if (now != FileKind::Missing && now != FileKind::Regular)
        return abandon(notRegularReason(now));
    syncFolderToDisk(folder);
    if (options.replace) {
        if (!replaceWithFile(tmp, target, problem))
            return abandon(u"名前を付けられません（%1）。"_s.arg(problem));
    } else {
        bool exists = false;
        if (!moveWithoutReplacing(tmp, target, exists, problem)) {
            QFile::remove(tmp);
            return exists ? taken()
                          : PublishResult::failure(options.kind, path,
                                                   u"名前を付けられません（%1）。"_s.arg(problem));
        }
    }
    syncFolderToDisk(folder);
    return PublishResult::success();
}

PublishResult publishWith(const QString& path, const FileWriter& write,
                          const PublishOptions& options) {
    return publishBuilt(
        path,
        [&](const QString& tmp, QString& problem) {
            const QString folder = QFileInfo(tmp).absolutePath();
            QFile file(tmp);
            if (!file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly)) {
                problem = writeFailure(lastErrorNumber(), folder, file.errorString());
                return false;
            }
            QString said;
            const bool written = write(file, said) && file.flush();
            const int savedErrno = lastErrorNumber();
            if (written && file.error() == QFileDevice::NoError) {
                file.close();
                if (file.error() == QFileDevice::NoError)
                    return true;
            }
            problem =
                isDiskFull(savedErrno, folder)
                    ? kDiskFull
                    : writeFailure(savedErrno, folder, said.isEmpty() ? file.errorString() : said);
            return false;
        },
        options);
}

PublishResult publishBytes(const QString& path, QByteArrayView bytes,
                           const PublishOptions& options) {
    return publishWith(
        path,
        [&](QFile& file, QString&) {
            return file.write(bytes.data(), bytes.size()) == bytes.size();
        },
        options);
}

} // namespace peridon
