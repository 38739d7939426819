#include <QRandomGenerator>
#include <QTextDocument>
#include <QtTest>

#include "RtfDocumentProbe.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

namespace {

QByteArray repeated(const QByteArray& piece, int times) {
    return piece.repeated(times);
}

QByteArray junk(quint32 seed, int size) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = static_cast<char>(generator.bounded(256));
    return bytes;
}

} // namespace

// Input that no writer produces, from a damaged data file or a datagram from anyone. Every row
// must read to the end without crashing (the sanitizer build checks memory as well); where
// some text must survive the damage, the row says which. A hang shows as the test's timeout.
class TestRtfHostileInput : public QObject {
    Q_OBJECT

private slots:
    void readsWithoutFailing_data();
    void readsWithoutFailing();
    void deepGroupsKeepTheirBalance();
    void hugeNumbersAreClamped_data();
    void hugeNumbersAreClamped();
};

void TestRtfHostileInput::readsWithoutFailing_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("mustContain");

    QTest::newRow("100000 unterminated groups") << "{\\rtf1 a" + repeated("{", 100000) + "b" << QStringLiteral("ab");
    QTest::newRow("100000 nested groups, balanced")
        << "{\\rtf1 a" + repeated("{\\b", 100000) + " b" + repeated("}", 100000) + "c}" << QStringLiteral("abc");
    QTest::newRow("100000 nested ignorable groups")
        << "{\\rtf1 a" + repeated("{\\*\\x", 100000) + repeated("}", 100000) + "b}" << QStringLiteral("ab");
    QTest::newRow("100000 nested upr") << "{\\rtf1 a" + repeated("{\\upr{", 100000) + "}b}" << QStringLiteral("a");
    QTest::newRow("more closing than opening braces") << "{\\rtf1 a}" + repeated("}", 1000) << QStringLiteral("a");
    QTest::newRow("unterminated font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 abc") << QString();
    QTest::newRow("unterminated picture") << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e47") << QStringLiteral("a");
    QTest::newRow("bin longer than the input")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xyz}}") << QStringLiteral("a");
    QTest::newRow("bin beyond 32 bits") << QByteArray("{\\rtf1 a\\bin99999999999999999999 xyz}") << QStringLiteral("a");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringLiteral("ab");
    QTest::newRow("bin in a skipped group swallows braces")
        << QByteArray("{\\rtf1 a{\\*\\x\\bin3 }}}}b}") << QStringLiteral("ab");
    QTest::newRow("huge uc") << QByteArray("{\\rtf1\\uc99999999999\\u26085 abc}") << QString();
    QTest::newRow("huge u") << QByteArray("{\\rtf1 \\u99999999999?\\u-99999999999?a}") << QStringLiteral("a");
    QTest::newRow("hundred thousand tab stops")
        << "{\\rtf1\\pard" + repeated("\\tx720", 100000) + " a}" << QStringLiteral("a");
    QTest::newRow("huge indents") << QByteArray("{\\rtf1\\li2147483647\\ri-2147483648\\fi99999999999 a}")
                                  << QStringLiteral("a");
    QTest::newRow("colour components out of range")
        << QByteArray("{\\rtf1{\\colortbl;\\red999\\green-5\\blue99999999999;}\\cf1 a}") << QStringLiteral("a");
    QTest::newRow("negative indices") << QByteArray("{\\rtf1\\f-5\\cf-3\\highlight-2\\deff-9 a}")
                                      << QStringLiteral("a");
    QTest::newRow("very long control word") << "{\\rtf1\\" + repeated("a", 100000) + " b}" << QStringLiteral("b");
    QTest::newRow("very long number") << "{\\rtf1\\fs" + repeated("9", 100000) + " b}" << QStringLiteral("b");
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    QTest::newRow("hex escape at the end") << QByteArray("{\\rtf1 a\\'8") << QStringLiteral("a");
    QTest::newRow("stray hex escapes") << QByteArray("{\\rtf1 a\\'\\'zz\\'g b}") << QStringLiteral("a");
    QTest::newRow("lone lead bytes") << QByteArray("{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 "
                                                   "\\'82\\par\\'82}")
                                     << QString();
    QTest::newRow("unknown code page") << QByteArray("{\\rtf1\\ansicpg77777{\\fonttbl{\\f0\\cpg12345 X;}}\\f0 \\'e9a}")
                                       << QStringLiteral("a");
    QTest::newRow("only the magic") << QByteArray("{\\rtf") << QString();
    QTest::newRow("NULs inside") << QByteArray("{\\rtf1 a\0\0b}", 12) << QStringLiteral("ab");
    QTest::newRow("garbage picture data")
        << "{\\rtf1 a{\\pict\\pngblip " + junk(7, 5000).toHex() + "}b}" << QStringLiteral("ab");
    QTest::newRow("png header claiming a huge image")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e470d0a1a0a0000000d494844520000fffe0000fffe0806000000}b}")
        << QStringLiteral("ab");
    QTest::newRow("binary junk after the magic") << "{\\rtf1 " + junk(1, 200000) << QString();
    QTest::newRow("binary junk with many braces") << "{\\rtf1 " + junk(2, 200000).replace('\\', '{') << QString();
    QTest::newRow("binary junk as plain text") << junk(3, 200000) << QString();
}

void TestRtfHostileInput::readsWithoutFailing() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, mustContain);
    QTextDocument document;
    RtfReader::read(rtf, document);
    const QString text = RtfPlainText::lines(document);
    QVERIFY2(text.contains(mustContain), qPrintable(text.left(200)));
    // Whatever was read can be written and read again.
    QTextDocument copy;
    RtfReader::read(RtfWriter::write(document), copy);
    QCOMPARE(RtfPlainText::lines(copy), text);
}

void TestRtfHostileInput::deepGroupsKeepTheirBalance() {
    // Past the nesting cap, a group's formatting is not saved, but its braces still count, so
    // the text after the deep part is back in the outer group's formatting.
    const QByteArray rtf = "{\\rtf1 a" + repeated("{", 1000) + "\\b x" + repeated("}", 1000) + "y}";
    QTextDocument document;
    RtfReader::read(rtf, document);
    QCOMPARE(RtfPlainText::lines(document), QStringLiteral("axy\n"));
    QCOMPARE(RtfDocumentProbe::property(document, 1, QStringLiteral("bold")), QStringLiteral("yes"));
    QCOMPARE(RtfDocumentProbe::property(document, 2, QStringLiteral("bold")), QStringLiteral("no"));
}

void TestRtfHostileInput::hugeNumbersAreClamped_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fs beyond 32 bits is the largest size")
        << QByteArray("{\\rtf1\\fs99999999999999 a}") << "size" << QStringLiteral("1638");
    QTest::newRow("fs beyond 64 bits") << QByteArray("{\\rtf1\\fs999999999999999999999999999 a}") << "size"
                                       << QStringLiteral("1638");
    QTest::newRow("negative fs keeps the size")
        << QByteArray("{\\rtf1\\fs20\\fs-99999999999 a}") << "size" << QStringLiteral("10");
    QTest::newRow("cf beyond 32 bits is auto") << QByteArray("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}"
                                                             "\\cf99999999999 a}")
                                               << "foreground" << QStringLiteral("auto");
    QTest::newRow("b with a huge parameter is on")
        << QByteArray("{\\rtf1\\b99999999999 a}") << "bold" << QStringLiteral("yes");
}

void TestRtfHostileInput::hugeNumbersAreClamped() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    QTextDocument document;
    RtfReader::read(rtf, document);
    QCOMPARE(RtfDocumentProbe::property(document, 0, property), expected);
}

QTEST_MAIN(TestRtfHostileInput)
#include "TestRtfHostileInput.moc"
