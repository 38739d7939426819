#include "FakeNote.h"
#include "FileBytes.h"
#include "SavedNote.h"
#include "store/DailyBackup.h"
#include "store/NoteFile.h"
#include "store/NoteFileIO.h"
#include "store/SaveAllNotes.h"
#include "store/Tag.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

FakeNote note(qint32 slot, const QString& flags, QRectF geometry = QRectF(1200, 900, 3000, 1500)) {
    FakeNote n;
    n.m_tag = QStringLiteral("%1%04/07/01 09:15:0%2%").arg(slot, 10, 10, QLatin1Char('0')).arg(slot % 10) + flags;
    n.m_geometry = geometry;
    n.m_backColor = 0x0098FFFF;
    n.m_rtf = "{\\rtf1 note " + QByteArray::number(slot) + "}";
    return n;
}

} // namespace

class TestSaveAllNotes : public QObject {
    Q_OBJECT

private slots:
    void deadSlotsAreSkippedAndIndexRunsWithoutGaps() {
        FakeNote placeholder;
        placeholder.m_tag = Tag::PlaceholderTag();
        FakeNote a = note(1, "T%F"), b = note(2, "T%F"), c = note(3, "F%T"), d = note(4, "T%T"), spare;
        b.m_tag.clear(); // peeled
        const QList<const NoteView*> windows{&placeholder, &a, &b, &c, nullptr, &d, &spare};
        const QList<NoteRecord> records = BuildNoteRecords(windows, 5);

        QCOMPARE(records.size(), 4); // a, c, d and the filler
        for (int i : {0, 1, 2})
            QCOMPARE(std::pair(records.at(i).Index, records.at(i).TextRTF),
                     std::pair(i + 1, QByteArray("{\\rtf1 note ") + "134"[i] + "}"));
        const NoteRecord& r = records.at(1);
        QCOMPARE(r.CreatedAt + r.VisibleFlag + r.PlaceOnShowFlag, QByteArray("04/07/01 09:15:03FT"));
        QCOMPARE(records.last(), NoteRecord{});
    }

    void geometryIsRoundedToWholeTwips() {
        FakeNote n = note(1, "T%F", QRectF(1199.6, -14.4, 3000.5, 1501.5));
        NoteRecord r = BuildNoteRecords({nullptr, &n}, 1).at(0);
        // Halves go to the even neighbour.
        QCOMPARE(std::tuple(r.Left, r.Top, r.Width, r.Height), std::tuple(1200, -14, 3000, 1502));
        // A Tag cut short gives empty fields.
        n.m_tag = QStringLiteral("0000000001%04/07");
        r = BuildNoteRecords({nullptr, &n}, 1).at(0);
        QCOMPARE(r.CreatedAt + r.VisibleFlag + r.PlaceOnShowFlag, QByteArray("04/07"));
    }

    void saveAndRestoreGiveTheSameNotes() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.dat");
        FakeNote a = note(1, "T%F"), gone = note(2, "T%F"), c = note(3, "F%F");
        gone.m_tag.clear();
        QCOMPARE(SaveAllNotes({nullptr, &a, &gone, &c}, 3, path), -1);

        const NoteFileLoad load = LoadNoteFile(path, QDateTime::currentDateTime());
        QCOMPARE(load.status, NoteFileLoad::Status::Loaded);
        QCOMPARE(load.count, 2);
        // After the restart the survivors' NoteIds are their new slots.
        QCOMPARE(Tag::TagFromRecord(load.records.at(0)), QStringLiteral("0000000001%04/07/01 09:15:01%T%F"));
        QCOMPARE(Tag::TagFromRecord(load.records.at(1)), QStringLiteral("0000000002%04/07/01 09:15:03%F%F"));
        QCOMPARE(load.records.at(1).TextRTF, c.m_rtf);
    }

    void allPeeledWritesTheCountAlone() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.dat");
        FakeNote gone = note(1, "T%F");
        gone.m_tag.clear();
        QCOMPARE(SaveAllNotes({nullptr, &gone}, 1, path), -1);
        QCOMPARE(readBytes(path), QByteArray(4, '\0'));
    }

    // The first save of each day keeps the file as it stood, byte for byte; later saves
    // that day leave that copy alone; a week of copies stays, nothing else is touched.
    void aCopyForEachDay() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.dat");
        auto write = [&dir](const QString& name, const QByteArray& bytes) {
            return writeBytes(dir.filePath(name), bytes);
        };
        auto read = [&dir](const QString& name) { return readBytes(dir.filePath(name)); };
        const QDate day(2026, 12, 1);
        QVERIFY(DailyBackup::keep(path, day)); // no file yet: nothing to copy
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());

        const QByteArray morning = DataFileOf({SavedNote(0, 0, "{\\rtf1 morning}")});
        QVERIFY(write("Pinora.dat", morning));
        QVERIFY(DailyBackup::keep(path, day));
        QVERIFY(write("Pinora.dat", DataFileOf({SavedNote(0, 0, "{\\rtf1 noon}")})));
        QVERIFY(DailyBackup::keep(path, day));
        QCOMPARE(read("Pinora-backup-20261201.dat"), morning);

        // A damaged file is not copied.
        QVERIFY(write("Pinora.dat", morning.left(morning.size() - 3)));
        QVERIFY(DailyBackup::keep(path, day.addDays(1)));
        QVERIFY(!QFile::exists(dir.filePath("Pinora-backup-20261202.dat")));

        QVERIFY(write("Pinora.dat", morning));
        QVERIFY(write("Pinora-damaged-20261101-120000.dat", "kept aside"));
        QVERIFY(write("Pinora-backup-notes.dat", "the user's own"));
        for (int i = 2; i < 12; ++i)
            QVERIFY(DailyBackup::keep(path, day.addDays(i)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"Pinora-backup-20261206.dat", "Pinora-backup-20261207.dat", "Pinora-backup-20261208.dat",
                              "Pinora-backup-20261209.dat", "Pinora-backup-20261210.dat", "Pinora-backup-20261211.dat",
                              "Pinora-backup-20261212.dat", "Pinora-backup-notes.dat",
                              "Pinora-damaged-20261101-120000.dat", "Pinora.dat"}));
    }
};

QTEST_GUILESS_MAIN(TestSaveAllNotes)
#include "TestSaveAllNotes.moc"
