// Shift-JIS as the settings file and draw CSV files use it: the converter
// must exist, map the characters Windows maps, and refuse what it cannot map.
#include "core/store/TextEncoding.h"
#include "support/WorkingDirectory.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace peridon;

class TestTextEncoding : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryWorkingDirectory(); }
    void converterIsAvailable() {
        // Without a converter the settings file could be neither read nor
        // written; that must fail here, not go unnoticed on a user's machine.
        QVERIFY2(encodeShiftJis(u"回数").has_value(), "no Shift-JIS encoder on this system");
        QVERIFY2(decodeShiftJis("\x89\xf1\x90\x94").has_value(),
                 "no Shift-JIS decoder on this system");
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << u"abc=1\r\n"_s << QByteArray("abc=1\r\n");
        QTest::newRow("full-width hyphen-minus") << u"\uFF0D"_s << QByteArray("\x81\x7C");
        QTest::newRow("kanji") << u"回数"_s << QByteArray("\x89\xF1\x90\x94");
        QTest::newRow("half-width kana") << u"\uFF76"_s << QByteArray("\xB6");
        QTest::newRow("wave dash as Windows has it") << u"\uFF5E"_s << QByteArray("\x81\x60");
        QTest::newRow("NEC circled one") << u"\u2460"_s << QByteArray("\x87\x40");
        QTest::newRow("embedded NUL") << u"a\0b"_s << QByteArray("a\0b", 3);
    }
    void roundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const auto encoded = encodeShiftJis(text);
        QVERIFY(encoded.has_value());
        QCOMPARE(*encoded, bytes);
        const auto decoded = decodeShiftJis(bytes);
        QVERIFY(decoded.has_value());
        QCOMPARE(*decoded, text);
    }

    void invalidBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lead byte cut off at the end") << QByteArray("a\x81");
        QTest::newRow("lead byte before a line end") << QByteArray("\x81\n");
        QTest::newRow("unassigned double byte") << QByteArray("\x85\x40");
        QTest::newRow("lead byte before a space") << QByteArray("\x81 ");
    }
    void invalidBytes() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!decodeShiftJis(bytes).has_value());
    }

    void unmappableCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("euro sign") << u"\u20AC"_s;
        QTest::newRow("emoji") << u"\U0001F600"_s;
        QTest::newRow("hangul") << u"\uD55C"_s;
        QTest::newRow("lone high surrogate") << u"a"_s + QChar(0xD800);
        QTest::newRow("lone low surrogate") << QString(QChar(0xDC00)) + u"b"_s;
    }
    void unmappableCharacters() {
        QFETCH(QString, text);
        QVERIFY(!encodeShiftJis(text).has_value());
    }
};

QTEST_APPLESS_MAIN(TestTextEncoding)
#include "tst_store_encoding.moc"
