#include "support/CliRun.h"

#include <QFile>
#include <QProcess>

namespace peridon::test {

CliRun finishCli(QProcess& process) {
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {-1, process.readAllStandardOutput(),
                QString::fromUtf8(process.readAllStandardError())};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

QString writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

CliRun runCli(const QStringList& args, const QString& outFile) {
    QProcess process;
    if (!outFile.isEmpty())
        process.setStandardOutputFile(outFile);
    process.start(qEnvironmentVariable("PERIDON_CLI"), args);
    return finishCli(process);
}

} // namespace peridon::test
