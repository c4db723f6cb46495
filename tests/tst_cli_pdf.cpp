// peridon-cli pdf: the printout of every window as a PDF file.
#include "core/analysis/AnalysisRegistry.h"
#include "core/prediction/PredictionSheets.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace peridon;

namespace {

struct Run {
    int status = -1;
    QString err;
};

Run run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

Run cli(const QStringList& args) {
    return run(qEnvironmentVariable("PERIDON_CLI"), args);
}

QString pageText(const QString& pdf, int page) {
    QProcess p;
    p.start(u"pdftotext"_s, {u"-f"_s, QString::number(page), u"-l"_s, QString::number(page),
                             u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString& pdf) {
    QProcess p;
    p.start(u"pdfinfo"_s, {pdf});
    p.waitForFinished(60000);
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return 0;
}

constexpr char kCsv[] = "回数,第1数字,第2数字,第3数字\n1,1,1,2\n2,1,,3\n3,1,3,3\n5,9,0,9\n"
                        "6,0,4,7\n7,5,5,5\n";

} // namespace

class TestCliPdf final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyWindow_data();
    void everyWindow();
    void refusals_data();
    void refusals();
    void realHistory();

private:
    QString importCsv(const QString& csv, const QString& name);
    QTemporaryDir m_dir;
    QString m_db;
    bool m_poppler = false;
};

QString TestCliPdf::importCsv(const QString& csv, const QString& name) {
    const QString db = m_dir.filePath(name);
    const Run r = cli({u"import"_s, csv, u"--db"_s, db});
    return r.status == 0 ? db : QString();
}

void TestCliPdf::initTestCase() {
    QVERIFY(!qEnvironmentVariable("PERIDON_CLI").isEmpty());
    QVERIFY(m_dir.isValid());
    const QString csv = m_dir.filePath(u"draws.csv"_s);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(kCsv);
    f.close();
    m_db = importCsv(csv, u"当選データ.mdb"_s);
    QVERIFY(!m_db.isEmpty());
    m_poppler = !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty() &&
                !QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty();
}

void TestCliPdf::everyWindow_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    for (const AnalysisInfo& info : analysisRegistry())
        QTest::newRow(qPrintable(info.className)) << info.className << info.caption;
    QTest::newRow("prediction") << QString::fromUtf16(kPredictionClass)
                                << QString::fromUtf16(kPredictionCaption);
}

void TestCliPdf::everyWindow() {
    QFETCH(QString, window);
    QFETCH(QString, caption);
    const QString out = m_dir.filePath(window + u".pdf"_s);
    const Run r = cli({u"pdf"_s, window, out, u"--db"_s, m_db});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
    if (!m_poppler)
        return;
    const QString text = pageText(out, 1);
    QVERIFY2(text.contains(caption), qPrintable(text.left(300)));
    QVERIFY(text.contains(u"第7回"_s));
}

void TestCliPdf::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown window")
        << QStringList{u"ない分析"_s, u"x.pdf"_s} << 2 << u"不明なウィンドウです"_s;
    QTest::newRow("no output name") << QStringList{u"バラツキ分析"_s} << 2 << u"使い方"_s;
    QTest::newRow("reflect on an analysis")
        << QStringList{u"バラツキ分析"_s, u"x.pdf"_s, u"--reflect"_s, u"3"_s} << 2
        << u"--reflect"_s;
    QTest::newRow("missing folder")
        << QStringList{u"バラツキ分析"_s, u"ない/x.pdf"_s} << 1 << u"PDFファイル"_s;
}

// Refusals give their message and leave no file behind.
void TestCliPdf::refusals() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir out;
    for (QString& a : args)
        if (a.endsWith(u".pdf"_s))
            a = out.filePath(a);
    const Run r = cli(QStringList{u"pdf"_s} + args + QStringList{u"--db"_s, m_db});
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(QDir(out.path()).isEmpty());
}

// The largest grid over the real history: the header on the first and the
// last page, and the last draw on the last page.
void TestCliPdf::realHistory() {
    const QString csv = QString::fromUtf8(PERIDON_HISTORY_CSV);
    if (!QFile::exists(csv))
        QSKIP("the history of real draws is not in this tree");
    if (!m_poppler)
        QSKIP("pdftotext/pdfinfo (poppler-utils) are not installed");
    const QString db = importCsv(csv, u"real.mdb"_s);
    QVERIFY(!db.isEmpty());
    const QString out = m_dir.filePath(u"split10.pdf"_s);
    const Run r = cli({u"pdf"_s, u"分割10データ分析"_s, out, u"--db"_s, db});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const int pages = pageCount(out);
    QVERIFY(pages > 10);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().trimmed().split('\n');
    const QString last = QString::fromUtf8(lines.back().split(',').front()).trimmed();
    QVERIFY(pageText(out, 1).contains(u"回数"_s));
    const QString lastPage = pageText(out, pages);
    QVERIFY(lastPage.contains(u"回数"_s));
    QVERIFY(lastPage.contains(u"\n%1\n"_s.arg(last)));
}

QTEST_MAIN(TestCliPdf)
#include "tst_cli_pdf.moc"
