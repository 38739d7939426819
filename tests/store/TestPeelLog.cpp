#include "FakeNote.h"
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "SavedNote.h"
#include "store/PeelLog.h"
#include "store/PeeledNotes.h"

#include <QDir>
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

    static PeeledNote peeled(int n, const QDateTime& at) {
        NoteRecord r = SavedNote(1200 + n, 900, "{\\rtf1 peeled " + QByteArray::number(n) + "}");
        r.index = n;
        return {r, at};
    }

private slots:
    // Peeled notes are kept whole beside the data file: read back as written, a cut
    // file gives its whole notes and is copied aside, and the oldest go only when
    // both more than 500 are kept and they are older than 90 days.
    void peeledNotesAreKeptWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora-peeled.dat");
        const QDateTime now(QDate(2026, 12, 7), QTime(10, 0));
        QVERIFY(PeeledNotes::add(path, peeled(1, now.addSecs(-60))));
        QVERIFY(PeeledNotes::add(path, peeled(2, now)));
        const QByteArray bytes = readBytes(path);
        QCOMPARE(PeeledNotes::load(path, now).notes, (QList<PeeledNote>{peeled(1, now.addSecs(-60)), peeled(2, now)}));
        QCOMPARE(PeeledNotes::encode(PeeledNotes::decode(bytes).notes), bytes);

        QVERIFY(writeBytes(path, bytes.left(bytes.size() - 5)));
        const PeeledNotes::Contents cut = PeeledNotes::load(path, now);
        QVERIFY(cut.damaged);
        QCOMPARE(cut.notes, QList<PeeledNote>{peeled(1, now.addSecs(-60))});
        QCOMPARE(readBytes(dir.filePath("Pinora-peeled-damaged-20261207-100000.dat")), bytes.left(bytes.size() - 5));
        QVERIFY(PeeledNotes::decode("not ours").damaged);
        QVERIFY(PeeledNotes::load(dir.filePath("none.dat"), now).notes.isEmpty());

        QVERIFY(PeeledNotes::remove(path, {peeled(1, now.addSecs(-60))}, now));
        QVERIFY(PeeledNotes::load(path, now).notes.isEmpty());

        // Removed are exactly the notes named, wherever they are now.
        QList<PeeledNote> five;
        for (int i = 0; i < 5; ++i)
            five << peeled(i, now);
        QVERIFY(writeBytes(path, PeeledNotes::encode(five)));
        QVERIFY(PeeledNotes::remove(path, {five.at(3), peeled(7, now), five.at(1)}, now));
        QCOMPARE(PeeledNotes::load(path, now).notes, (QList<PeeledNote>{five.at(0), five.at(2), five.at(4)}));

        QList<PeeledNote> many;
        const int keep = PeeledNotes::kKeepAtLeast;
        const QDateTime old = now.addDays(-PeeledNotes::kKeepDays).addSecs(-1);
        for (int i = 0; i < keep + 3; ++i)
            many << peeled(i, old);
        QCOMPARE(PeeledNotes::pruned(many, now).size(), keep);   // 500 of the old ones
        many[1].peeledAt = now.addDays(-PeeledNotes::kKeepDays); // not older than 90 days
        QCOMPARE(PeeledNotes::pruned(many, now).constFirst(), many.at(1));
        for (PeeledNote& note : many)
            note.peeledAt = now.addDays(-1);
        QCOMPARE(PeeledNotes::pruned(many, now).size(), keep + 3); // all recent: all stay
    }

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
    }
    // Each entry is appended to what the log holds.
    void entryBytes() {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.log");
        QVERIFY(writeBytes(path, "earlier\r\n"));
        QCOMPARE(AppendPeelLog(noteWith(tag, text), path, kPeeledAt), -1);
        QCOMPARE(readBytes(path), "earlier\r\n" + expected);
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
