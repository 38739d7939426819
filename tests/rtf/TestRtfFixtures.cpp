#include <QDir>
#include <QHash>
#include <QTextDocument>
#include <QtTest>

#include "FileBytes.h"
#include "rtf/RtfPlainText.h"
#include "rtf/RtfReader.h"

namespace {

const QString kShared = QStringLiteral(PINORA_SHARED_FIXTURES "/rtf");
const QString kOwn = QStringLiteral(PINORA_TEST_DATA "/rtf");

// Where LibreOffice's reading of a shared fixture is not the document's text, what the text is.
struct Disagreement {
    QString text;
    const char* reason;
};

const QHash<QString, Disagreement>& disagreements() {
    static const QHash<QString, Disagreement> table = {
        {QStringLiteral("test10001Encoding.rtf"),
         {QStringLiteral("お読みください\n"),
          "the bullet and indent are LibreOffice's rendering of the \\listtable numbering, not text of the document"}},
        {QStringLiteral("test437Encoding.rtf"),
         {QStringLiteral("Test Document\n\nTest Title: \t(Test Subtitle)\n\nTest Heading:  \nTest Text.  \n"),
          "the source has two plain spaces after \"Test Heading:\" and \"Test Text.\"; LibreOffice writes four "
          "characters, two of them U+2006"}},
        {QStringLiteral("testJapaneseUtf8Encoding.rtf"),
         {QStringLiteral("中國\n"),
          "the font says \\cpg65001, so the bytes are UTF-8; LibreOffice decodes them as Windows-1252"}},
        {QStringLiteral("testSpecialChars.rtf"),
         {QString::fromUtf8(readBytes(kShared + QStringLiteral("/testSpecialChars.txt")))
              .replace(QStringLiteral("Emspace: \n"), QStringLiteral("Emspace: \u2003\n"))
              .replace(QStringLiteral("Enspace: \n"), QStringLiteral("Enspace: \u2002\n"))
              .replace(QStringLiteral("Qmspace: \n"), QStringLiteral("Qmspace: \u2005\n")),
          "\\emspace, \\enspace and \\qmspace are spaces (U+2003, U+2002, U+2005); LibreOffice drops them"}},
    };
    return table;
}

QString readLines(const QByteArray& rtf) {
    QTextDocument document;
    RtfReader::read(rtf, document);
    return RtfPlainText::lines(document);
}

// The shared fixtures live beside the repository, not in it; a clone of its own runs without them.
bool sharedFixturesMissing() {
    return !QDir(kShared).exists();
}
constexpr const char* kNoSharedFixtures = "../shared/fixtures is not beside this repository: the shared RTF "
                                          "fixtures are not read";

void addFixtureRows(const QString& directory) {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    if (directory == kShared && sharedFixturesMissing()) {
        QTest::newRow("no shared fixtures") << QString() << QString();
        return;
    }
    const QStringList files = QDir(directory).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString path = directory + u'/' + file;
        QString expected = QString::fromUtf8(readBytes(path.chopped(4) + QStringLiteral(".txt")));
        QByteArray name = file.toUtf8();
        if (directory == kShared && disagreements().contains(file)) {
            expected = disagreements().value(file).text;
            name += " (not as LibreOffice: ";
            name += disagreements().value(file).reason;
            name += ')';
        }
        QTest::newRow(name.constData()) << path << expected;
    }
}

} // namespace

class TestRtfFixtures : public QObject {
    Q_OBJECT

private slots:
    // Rows come from the directories: without them every row-driven case would pass empty.
    void fixturesArePresent() {
        QVERIFY(QDir(kOwn).entryList({QStringLiteral("*.rtf")}, QDir::Files).size() >= 5);
        if (sharedFixturesMissing())
            QSKIP(kNoSharedFixtures);
        QVERIFY2(QDir(kShared).entryList({QStringLiteral("*.rtf")}, QDir::Files).size() >= 21, qPrintable(kShared));
    }
    void readsSharedFixtures_data() { addFixtureRows(kShared); }
    void readsSharedFixtures() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        if (path.isEmpty())
            QSKIP(kNoSharedFixtures);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(readLines(readBytes(path)), expected);
    }
    void readsOwnFixtures_data() { addFixtureRows(kOwn); }
    void readsOwnFixtures() { readsSharedFixtures(); }
};

QTEST_MAIN(TestRtfFixtures)
#include "TestRtfFixtures.moc"
