// Kills a process that is editing the draw table through the entry model at a
// random moment, twenty times over, and checks after each kill that the file
// is sound and holds every change that was reported as written.
//
// The child is this test program run with --child: it prints "B <change>"
// before each change and "D" once the model reported it written, so the
// parent knows every finished change and at most one that was under way.

#include "core/entry/EntryModel.h"
#include "core/files/Platform.h"
#include "core/store/Database.h"
#include "core/store/DrawTable.h"
#include "support/TestDatabase.h"
#include "support/WorkingDirectory.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <array>
#include <cstdio>
#include <map>
#include <optional>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

using Digits = std::array<QString, 3>; // "" for an empty field
using Table = std::map<int, Digits>;

Table readTable(const ConnectString& cs) {
    Database db(cs, Database::Mode::OpenExisting);
    Table table;
    for (const EntryRow& row : DrawTable(db).readRows()) {
        Digits d;
        for (int k = 0; k < 3; ++k)
            d[std::size_t(k)] =
                row.digits[std::size_t(k)].isNull() ? QString() : row.digits[std::size_t(k)];
        table[row.drawNo] = d;
    }
    return table;
}

// Applies one change line ("set N P V", "ins N", "del N") as the model does.
void applyChange(Table& table, const QString& change) {
    const QStringList parts = change.split(u' ');
    const int drawNo = parts.value(1).toInt();
    if (parts[0] == QLatin1String("set")) {
        const QString value = parts.value(3) == QLatin1String("-") ? QString() : parts.value(3);
        // An added line is written with its first digit; clearing a field of
        // a line never written writes nothing.
        if (!value.isEmpty() || table.count(drawNo))
            table[drawNo][std::size_t(parts.value(2).toInt())] = value;
    } else if (parts[0] == QLatin1String("ins")) {
        // An added line is not written until a digit is entered.
    } else if (parts[0] == QLatin1String("del")) {
        table.erase(drawNo);
    }
}

void say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The child: edits without end until it is killed.
int runChild(const QString& path, quint32 seed) {
    EntryModel model(connectStringFor(path));
    QRandomGenerator rng(seed);
    say("ready");
    for (;;) {
        const int rows = model.rowCount();
        const int pick = int(rng.bounded(100));
        const int row = rows > 0 ? int(rng.bounded(rows)) : -1;
        if (pick < 80 && row >= 0) {
            const int position = int(rng.bounded(3));
            const int value = int(rng.bounded(11)); // 10: clear the field
            const QString text = value == 10 ? QString() : QString::number(value);
            say(u"B set %1 %2 %3"_s.arg(model.drawNoAt(row))
                    .arg(position)
                    .arg(value == 10 ? u"-"_s : text)
                    .toUtf8());
            say(model.setData(model.index(row, position + 1), text) ? "D" : "F");
        } else if (pick < 90 || rows < 20) {
            say(u"B ins %1"_s.arg(row >= 0 ? model.drawNoAt(row) : 0).toUtf8());
            say(model.addLineAfter(row) >= 0 ? "D" : "F");
        } else {
            say(u"B del %1"_s.arg(model.drawNoAt(row)).toUtf8());
            say(model.deleteLine(row) ? "D" : "F");
        }
    }
}

QString describe(const Table& table) {
    QStringList out;
    for (const auto& [no, d] : table)
        out << u"%1:%2,%3,%4"_s.arg(no).arg(d[0], d[1], d[2]);
    return out.join(u' ');
}

} // namespace

class TestEntryCrash : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void killedWhileEditingLosesNothingReported();
};

void TestEntryCrash::killedWhileEditingLosesNothingReported() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Numbers3Peridon.mdb"_s);
    QStringList draws;
    for (int no = 1; no <= 300; ++no)
        if (no % 17 != 0) // gaps for inserted rows to fill
            draws << u"%1:%2%3%4"_s.arg(no).arg(no % 10).arg(no / 10 % 10).arg(no % 7);
    const ConnectString cs = test::makeDatabase(path, draws.join(u' '));

    QRandomGenerator rng(20240607);
    int reported = 0;
    for (int round = 0; round < 20; ++round) {
        Table expected = readTable(cs);
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--child"_s, path, QString::number(rng.generate())});
        QVERIFY2(child.waitForStarted(10000), "the child did not start");
        // However slow the child (a sanitizer build on a busy machine), it
        // is killed only after it has reported a random number of finished
        // changes, the first included, and then a random few microseconds
        // into whatever it does next: no round ends with nothing to check.
        QByteArray out;
        const int waitFor = int(rng.bounded(1u, 8u));
        while (out.count("\nD\n") < waitFor) {
            QVERIFY2(child.waitForReadyRead(30000), child.readAllStandardError().constData());
            out += child.readAllStandardOutput();
        }
        QThread::usleep(rng.bounded(0u, 3000u));
        child.kill(); // SIGKILL: no chance to finish anything
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        out += child.readAllStandardOutput();

        // Replay what the child reported.
        int reportedThisRound = 0;
        std::optional<QString> pending;
        for (QByteArray raw : out.split('\n')) {
            // Windows' text-mode output ends lines with CR LF.
            if (raw.endsWith('\r'))
                raw.chop(1);
            const QString line = QString::fromUtf8(raw);
            if (line.startsWith(QLatin1String("B "))) {
                pending = line.mid(2);
            } else if (line == QLatin1String("D")) {
                QVERIFY(pending);
                applyChange(expected, *pending);
                pending.reset();
                ++reported;
                ++reportedThisRound;
            } else if (line == QLatin1String("F")) {
                QFAIL(qPrintable(u"a change was refused: "_s + pending.value_or(QString())));
            }
        }
        QVERIFY(reportedThisRound >= waitFor);

        {
            Database db(cs, Database::Mode::OpenExisting);
            Statement check = db.prepare("PRAGMA integrity_check");
            QVERIFY(check.step());
            QCOMPARE(check.columnText(0), u"ok"_s);
        }
        // Every reported change is there; the one under way may or may not be.
        const Table stored = readTable(cs);
        if (stored != expected) {
            QVERIFY2(pending, qPrintable(u"round %1: stored %2\nexpected %3"_s.arg(round).arg(
                                  describe(stored), describe(expected))));
            applyChange(expected, *pending);
            QVERIFY2(stored == expected,
                     qPrintable(u"round %1: stored %2\nexpected %3"_s.arg(round).arg(
                         describe(stored), describe(expected))));
        }
    }
    qInfo("%d changes reported as written over 20 kills", reported);
}

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0) {
        // The path comes from arguments(), which decodes it correctly on
        // every system (argv is in the ANSI code page on Windows).
        QCoreApplication app(argc, argv);
        // Lines end in LF alone also on Windows, whose C runtime would write
        // CR LF: the parent counts reports by "\nD\n".
        setUpStandardStreams();
        const QStringList args = QCoreApplication::arguments();
        return runChild(args[2], args[3].toUInt());
    }
    QCoreApplication app(argc, argv);
    TestEntryCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_entry_crash.moc"
