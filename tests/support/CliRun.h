#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QProcess;

namespace peridon::test {

// What a run of peridon-cli left: its exit status (-1 when it crashed or
// did not end within two minutes), standard output and standard error.
struct CliRun {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs peridon-cli (the program PERIDON_CLI names) with args; with outFile,
// its standard output goes to that file instead.
CliRun runCli(const QStringList& args, const QString& outFile = QString());
// Writes content as the file at path (an input for the program) and
// returns path.
QString writeFile(const QString& path, const QByteArray& content);
// Waits for a started process and collects what it left.
CliRun finishCli(QProcess& process);

} // namespace peridon::test
