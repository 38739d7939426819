#include "FakeNote.h"
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "store/PeelLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime kPeeledAt(QDate(2004, 7, 3), QTime(18, 2, 45));

FakeNote noteWith(const QString& tag, const QString& text) {
    FakeNote n;
    n.m_tag = tag;
    n.m_text = text;
    return n;
}

} // namespace

class TestPeelLog : public QObject {
    Q_OBJECT

private slots:
    void entryBytes_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        const QString tag = QStringLiteral("0000000001%04/07/01 09:15:00%T%F");
        const QByteArray created = QByteArray("[作成した日時=04/07/01 09:15:00]\r\n");
        const QByteArray peeled = QByteArray("[はがした日時=04/07/03 18:02:45]\r\n");
        QTest::newRow("two lines") << tag << QStringLiteral("a\r\nb") << created + peeled + "a\r\nb\r\n\r\n\r\n";
        QTest::newRow("empty note: three empty lines") << tag << QString() << created + peeled + "\r\n\r\n\r\n";
        QTest::newRow("Japanese text in UTF-8")
            << tag << QStringLiteral("買い物\r\n牛乳") << created + peeled + QByteArray("買い物\r\n牛乳\r\n\r\n\r\n");
        QTest::newRow("lone LF and CR become CR LF")
            << tag << QStringLiteral("a\nb\rc") << created + peeled + "a\r\nb\r\nc\r\n\r\n\r\n";
        QTest::newRow("Tag shorter than 28 characters")
            << QStringLiteral("0000000001%04/07") << QStringLiteral("x")
            << QByteArray("[作成した日時=04/07]\r\n") + peeled + "x\r\n\r\n\r\n";
        QTest::newRow("Tag without a time at all") << QStringLiteral("0000000001") << QStringLiteral("x")
                                                   << QByteArray("[作成した日時=]\r\n") + peeled + "x\r\n\r\n\r\n";
    }
    void entryBytes() {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.log");
        QCOMPARE(AppendPeelLog(noteWith(tag, text), path, kPeeledAt), -1);
        QCOMPARE(readBytes(path), expected);
    }

    void entriesAreAppended() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.log");
        const QString tag = QStringLiteral("0000000001%04/07/01 09:15:00%T%F");
        QCOMPARE(AppendPeelLog(noteWith(tag, "first"), path, kPeeledAt), -1);
        const QByteArray one = readBytes(path);
        QCOMPARE(AppendPeelLog(noteWith(tag, "second"), path, kPeeledAt.addSecs(60)), -1);
        const QByteArray two = readBytes(path);
        QVERIFY(two.startsWith(one));
        QCOMPARE(two.mid(one.size()), PeelLogEntry("04/07/01 09:15:00", kPeeledAt.addSecs(60), "second"));
    }

    void failuresReturnZero() {
        QTemporaryDir dir;
        const FakeNote n = noteWith(QStringLiteral("0000000001%04/07/01 09:15:00%T%F"), "text");
        QCOMPARE(AppendPeelLog(n, dir.filePath("missing/dir/Pinora.log"), kPeeledAt), 0);
        QCOMPARE(AppendPeelLog(n, dir.path(), kPeeledAt), 0); // a directory in the file's place

        const QString path = dir.filePath("Pinora.log");
        QCOMPARE(AppendPeelLog(n, path, kPeeledAt), -1);
        const QByteArray before = readBytes(path);
        {
            FileSizeLimit diskFull(before.size() + 10);
            QCOMPARE(AppendPeelLog(n, path, kPeeledAt), 0);
        }
        // A short write may leave part of the entry behind, but what was there stays.
        QVERIFY(readBytes(path).startsWith(before));
    }
};

QTEST_GUILESS_MAIN(TestPeelLog)
#include "TestPeelLog.moc"
