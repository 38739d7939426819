// The data file byte for byte, the Tag each note carries, and the records a save
// builds from the note windows.
#include "store/DailyBackup.h"
#include "store/DataFile.h"
#include "store/NoteFile.h"
#include "store/NoteRecord.h"
#include "store/SaveAllNotes.h"
#include "store/Tag.h"

#include "FakeNote.h"
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "SavedNote.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

NoteRecord exampleNote() {
    return SavedNote(1200, 900, "{\\rtf1 a}");
}

NoteRecord noteNumbered(qint32 index, const QByteArray& rtf) {
    NoteRecord r = exampleNote();
    r.index = index;
    r.textRtf = rtf;
    return r;
}

FakeNote note(qint32 slot, const QString& flags, QRectF geometry = QRectF(1200, 900, 3000, 1500)) {
    FakeNote n;
    n.m_tag = QStringLiteral("%1%04/07/01 09:15:0%2%").arg(slot, 10, 10, QLatin1Char('0')).arg(slot % 10) + flags;
    n.m_geometry = geometry;
    n.m_backColor = 0x0098FFFF;
    n.m_rtf = "{\\rtf1 note " + QByteArray::number(slot) + "}";
    return n;
}

} // namespace

class TestNoteFile : public QObject {
    Q_OBJECT

    static QList<NoteRecord> threeNotes() {
        return {
            noteNumbered(1, "{\\rtf1 one}"), noteNumbered(2, "{\\rtf1 two}"), noteNumbered(3, "{\\rtf1 three}"), {}};
    }
    static QByteArray threeNotesFile() { return NoteFile::encode(3, threeNotes()); }

private slots:
    void init() {
        m_tempDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tempDir->isValid());
    }

    void exampleFileByteForByte() {
        const QByteArray expected = QByteArray::fromHex("01000000"  // N
                                                        "01000000"  // Index
                                                        "b0040000"  // Left 1200
                                                        "84030000"  // Top 900
                                                        "dc050000"  // Height 1500
                                                        "b80b0000"  // Width 3000
                                                        "ffff9800") // BackColor
                                    + QByteArray::fromHex("0900") + "{\\rtf1 a}" + QByteArray::fromHex("1100") +
                                    "04/07/01 09:15:00" + QByteArray::fromHex("010054") +
                                    QByteArray::fromHex("010046") + QByteArray(24, '\0') + QByteArray(8, '\0');
        QCOMPARE(expected.size(), 96);
        QCOMPARE(NoteFile::encode(1, {exampleNote(), NoteRecord{}}), expected);

        // The same through the file, and back.
        const QString path = m_tempDir->filePath("Pinora.dat");
        QList<NoteRecord> records{exampleNote(), NoteRecord{}};
        qint32 count = 1;
        QCOMPARE(NoteFileIO(count, path, true, records), -1);
        QCOMPARE(readBytes(path), expected);
        // Reading numbers the notes by their place in the file, whatever Index says.
        QVERIFY(writeBytes(path, DataFileOf({noteNumbered(7, "a"), noteNumbered(7, "b"), noteNumbered(-2, "c")})));
        count = 0;
        QCOMPARE(NoteFileIO(count, path, false, records), -1);
        QCOMPARE(count, 3);
        QCOMPARE(std::tuple(records.at(0).index, records.at(1).index, records.at(2).index), std::tuple(1, 2, 3));
        QCOMPARE(records.at(2).textRtf, QByteArray("c"));
    }

    // No notes is the count alone, whatever records are handed in, and reads back as
    // no notes, as an empty file does; a forgotten filler is written all the same.
    void edgesOfTheLayout() {
        QCOMPARE(NoteFile::encode(0, {exampleNote()}), QByteArray(4, '\0'));
        for (const QByteArray& bytes : {QByteArray(4, '\0'), QByteArray()}) {
            const std::optional<NoteFile::Contents> back = NoteFile::decode(bytes);
            QVERIFY(back && back->count == 0 && back->records.isEmpty());
        }
        QCOMPARE(NoteFile::encode(1, {exampleNote()}), NoteFile::encode(1, {exampleNote(), NoteRecord{}}));
    }

    // A file that holds less than its count and string lengths promise gives the
    // notes before the first one that is not whole, never empty stand-ins.
    void damagedFileGivesItsWholeNotes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("wholeNotes");
        const QByteArray full = threeNotesFile();
        const int secondStart = int(full.indexOf("{\\rtf1 two}")) - 26;
        const int thirdStart = int(full.indexOf("{\\rtf1 three}")) - 26;
        QTest::newRow("first record one byte short") << full.left(secondStart - 1) << 0;
        QTest::newRow("right after the first record") << full.left(secondStart) << 1;
        QTest::newRow("right after the third record: filler missing") << full.left(full.size() - 32) << 3;
        QByteArray longLength = full;
        longLength[secondStart + 24] = char(0xFE);
        longLength[secondStart + 25] = char(0xFF);
        QTest::newRow("second text length turned into FE FF") << longLength << 1;
        QByteArray hugeCount = full;
        hugeCount[0] = char(0xFF);
        hugeCount[1] = char(0x7F);
        QTest::newRow("count 32767 in a small file") << hugeCount << 3;
        QByteArray longStamp = full;
        longStamp.insert(thirdStart + 26 + 13 + 2, '0');
        longStamp[thirdStart + 26 + 13] = 18;
        QTest::newRow("third time stamp longer than a Tag holds") << longStamp << 2;
        NoteRecord twoCharFlag = exampleNote();
        twoCharFlag.visibleFlag = "TT";
        QTest::newRow("flag of two characters") << NoteFile::encode(1, {twoCharFlag, {}}) << 0;
        // The count falls short of the notes: the note read where the empty filler
        // belongs is a note all the same; bytes after the filler are damage too.
        QByteArray shortCount = full;
        shortCount[0] = 2;
        QTest::newRow("count 2 of 3 notes") << shortCount << 3;
        QTest::newRow("bytes after the filler") << full + "x" << 3;
    }
    void damagedFileGivesItsWholeNotes() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, wholeNotes);
        const std::optional<NoteFile::Contents> back = NoteFile::decode(bytes);
        QVERIFY(back && back->damaged);
        QCOMPARE(back->count, wholeNotes);
        QList<NoteRecord> expected = threeNotes().first(wholeNotes);
        if (wholeNotes > 0)
            expected.append(NoteRecord{});
        QCOMPARE(back->records, expected);
        // A whole file is not damaged.
        QVERIFY(!NoteFile::decode(threeNotesFile())->damaged);
    }

    void unreadableBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("negative count") << QByteArray::fromHex("ffffffff");
        QTest::newRow("count past what the program can hold") << QByteArray::fromHex("00800000");
        QTest::newRow("text file") << QByteArray("These are not notes.\n");
    }
    void unreadableBytes() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!NoteFile::decode(bytes));
    }

    void longStringsSurvive_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("32768") << 32768;
        QTest::newRow("65534, the last plain count") << 65534;
        QTest::newRow("65535, the marker itself") << 65535;
        QTest::newRow("a 3 MB picture") << 3 * 1024 * 1024;
    }
    void longStringsSurvive() {
        QFETCH(int, length);
        QByteArray rtf(length, 'x');
        rtf[0] = '{';
        rtf[length - 1] = '}';
        const QList<NoteRecord> notes{noteNumbered(1, rtf), noteNumbered(2, "{\\rtf1 after}"), {}};
        const QByteArray bytes = NoteFile::encode(2, notes);
        const std::optional<NoteFile::Contents> back = NoteFile::decode(bytes);
        QVERIFY(back);
        QCOMPARE(back->records, notes);
        const bool plain = length < 65535;
        QCOMPARE(bytes.size(), 4 + 3 * 32 + length + 13 + 2 * (17 + 1 + 1) + (plain ? 0 : 4));
        QCOMPARE(quint8(bytes.at(4 + 24)), plain ? quint8(length & 0xff) : quint8(0xff));
    }

    void missingFileFailsWithNoNotes() {
        qint32 count = 5;
        QList<NoteRecord> records{exampleNote()};
        QCOMPARE(NoteFileIO(count, m_tempDir->filePath("nothing.dat"), false, records), 0);
        QVERIFY(count == 0 && records.isEmpty());
        const NoteFileLoad load = LoadNoteFile(m_tempDir->filePath("nothing.dat"), {});
        QVERIFY(load.status == NoteFileLoad::Status::Missing && load.count == 0);
    }

    // Every byte of a file that is not read whole is kept aside before the first
    // save: an unreadable one is renamed, a damaged one copied, and the data file
    // written again afterwards leaves the kept bytes alone.
    void badFileIsKeptAsideAndSurvivesTheNextSave_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<int>("notes");
        QTest::newRow("unreadable") << QByteArray::fromHex("ffffffff") + "precious but damaged" << false << 0;
        QTest::newRow("cut inside the third note") << threeNotesFile().left(threeNotesFile().size() - 40) << true << 2;
    }
    void badFileIsKeptAsideAndSurvivesTheNextSave() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, damaged);
        QFETCH(int, notes);
        const QString path = m_tempDir->filePath("Pinora.dat");
        QVERIFY(writeBytes(path, bytes));
        const QDateTime now(QDate(2026, 12, 6), QTime(21, 35, 12));
        const QString why = damaged ? "damaged" : "unreadable";
        const NoteFileLoad load = LoadNoteFile(path, now);
        QCOMPARE(load.status, damaged ? NoteFileLoad::Status::Damaged : NoteFileLoad::Status::Unreadable);
        QCOMPARE(load.count, notes);
        QCOMPARE(load.records.mid(0, notes), threeNotes().mid(0, notes));
        QCOMPARE(load.keptAsidePath, m_tempDir->filePath("Pinora-" + why + "-20261206-213512.dat"));
        QCOMPARE(readBytes(load.keptAsidePath), bytes);
        // A damaged file stays until the first save replaces it; no crash in between loses it.
        QCOMPARE(QFile::exists(path), damaged);
        if (damaged)
            QCOMPARE(readBytes(path), bytes);

        // The first save after start-up writes a fresh file beside the kept one.
        qint32 count = 0;
        QList<NoteRecord> none;
        QCOMPARE(NoteFileIO(count, path, true, none), -1);
        QCOMPARE(readBytes(load.keptAsidePath), bytes);

        // A second bad start in the same second does not overwrite the first one kept.
        QVERIFY(writeBytes(path, damaged ? bytes.left(10) : QByteArray("still bad")));
        const NoteFileLoad again = LoadNoteFile(path, now);
        QCOMPARE(again.keptAsidePath, m_tempDir->filePath("Pinora-" + why + "-20261206-213512-2.dat"));
        QCOMPARE(readBytes(load.keptAsidePath), bytes);
    }

    // A damaged file that had to be renamed aside (no room for a copy) gives its notes
    // at every start until a save writes the data file again: the newest one kept.
    void notesRenamedAsideComeBackUntilSaved() {
        const QString path = m_tempDir->filePath("Pinora.dat");
        const QByteArray cut = threeNotesFile().left(threeNotesFile().size() - 40);
        QVERIFY(writeBytes(m_tempDir->filePath("Pinora-damaged-20261201-090000.dat"), threeNotesFile().left(40)));
        QVERIFY(writeBytes(m_tempDir->filePath("Pinora-damaged-20261206-213512.dat"), cut));
        QVERIFY(writeBytes(m_tempDir->filePath("Pinora-unreadable-20261207-080000.dat"), "not notes"));
        for (int start = 0; start < 2; ++start) {
            const NoteFileLoad load = LoadNoteFile(path, QDateTime::currentDateTime());
            QCOMPARE(load.status, NoteFileLoad::Status::Recovered);
            QCOMPARE(load.count, 2);
            QCOMPARE(load.records.mid(0, 2), threeNotes().mid(0, 2));
            QCOMPARE(load.keptAsidePath, m_tempDir->filePath("Pinora-damaged-20261206-213512.dat"));
            QVERIFY(!QFile::exists(path));
        }
        qint32 count = 0;
        QList<NoteRecord> none;
        QCOMPARE(NoteFileIO(count, path, true, none), -1);
        QCOMPARE(LoadNoteFile(path, QDateTime::currentDateTime()).status, NoteFileLoad::Status::Loaded);
        QCOMPARE(readBytes(m_tempDir->filePath("Pinora-damaged-20261206-213512.dat")), cut);
    }

    void failedWriteLeavesOldFileWhole() {
        const QString path = m_tempDir->filePath("Pinora.dat");
        QList<NoteRecord> old{exampleNote(), {}};
        qint32 count = 1;
        QCOMPARE(NoteFileIO(count, path, true, old), -1);
        const QByteArray before = readBytes(path);

        QList<NoteRecord> bigger{noteNumbered(1, QByteArray(4000, 'x')), {}};
        {
            FileSizeLimit diskFull(1000);
            QVERIFY(diskFull.active());
            QCOMPARE(NoteFileIO(count, path, true, bigger), 0);
        }
        QCOMPARE(readBytes(path), before);
        // No half-written file is left beside it.
        QCOMPARE(QDir(m_tempDir->path()).entryList(QDir::Files), QStringList{"Pinora.dat"});

        // A directory that is not there fails cleanly too.
        QCOMPARE(NoteFileIO(count, m_tempDir->filePath("no/such/dir/Pinora.dat"), true, bigger), 0);
        // So does a negative count, which could never be read back.
        count = -1;
        QCOMPARE(NoteFileIO(count, path, true, bigger), 0);
        QCOMPARE(readBytes(path), before);
    }

    void layoutOfANewTag() {
        const QString tag = Tag::MakeNewTag(42, QDateTime(QDate(2004, 7, 1), QTime(9, 5, 3)));
        QCOMPARE(tag, QStringLiteral("0000000042%04/07/01 09:05:03%T%T"));
        QCOMPARE(Tag::NoteIdOf(tag), 42);
        QCOMPARE(Tag::CreatedAtOf(tag), QStringLiteral("04/07/01 09:05:03"));
        QVERIFY(Tag::GetTagFlag(tag, Tag::kVisibleFlag) && Tag::GetTagFlag(tag, Tag::kPlaceOnShowFlag));
        // Two-digit year, 24 hours.
        QCOMPARE(Tag::FormatTimeStamp(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59))),
                 QStringLiteral("99/12/31 23:59:59"));
    }

    void placeholderTag() {
        const QString tag = Tag::PlaceholderTag();
        QCOMPARE(tag.size(), 33);
        QVERIFY(tag.endsWith(QLatin1Char('%')));
        QCOMPARE(Tag::NoteIdOf(tag), 0);
        QVERIFY(!Tag::GetTagFlag(tag, Tag::kVisibleFlag) && !Tag::GetTagFlag(tag, Tag::kPlaceOnShowFlag));
    }

    void getTagFlag_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("expected");
        const QString base = QStringLiteral("0000000001%04/07/01 09:15:00%");
        QTest::newRow("F") << base + "T%F" << 32 << false;
        QTest::newRow("anything but F counts as set") << base + "x%?" << 32 << true;
        QTest::newRow("lower-case f is not F") << base + "f%f" << 30 << true;
        QTest::newRow("a 30-character Tag ending in %") << base + "%" << 30 << true;
        QTest::newRow("position past the end") << base + "%" << 32 << false;
        QTest::newRow("empty Tag") << QString() << 30 << false;
    }
    void getTagFlag() {
        QFETCH(QString, tag);
        QFETCH(int, position);
        QFETCH(bool, expected);
        QCOMPARE(Tag::GetTagFlag(tag, position), expected);
    }

    void setTagFlag_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("value");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("result");
        const QString base = QStringLiteral("0000000001%04/07/01 09:15:00%");
        QTest::newRow("replace in place") << base + "T%T" << 30 << false << base + "F%T" << -1;
        QTest::newRow("second flag") << base + "T%T" << 32 << false << base + "T%F" << -1;
        QTest::newRow("32 on a 30-character Tag pads with %") << base + "%" << 32 << true << base + "%%T" << -1;
        QTest::newRow("30 on a 29-character Tag appends") << base << 30 << false << base + "F" << -1;
        QTest::newRow("32 on a short Tag") << QStringLiteral("0000000001") << 32 << false
                                           << QStringLiteral("0000000001") + QString(21, '%') + "F" << -1;
        QTest::newRow("empty Tag stays empty") << QString() << 30 << true << QString() << 0;
    }
    void setTagFlag() {
        QFETCH(QString, before);
        QFETCH(int, position);
        QFETCH(bool, value);
        QFETCH(QString, after);
        QFETCH(int, result);
        QString tag = before;
        QCOMPARE(Tag::SetTagFlag(tag, position, value), result);
        QCOMPARE(tag, after);
        QCOMPARE(Tag::GetTagFlag(tag, position), value && result == -1);
    }

    void tagFromRecord() {
        NoteRecord r;
        r.index = 3;
        r.createdAt = "04/07/01 09:15:00";
        r.visibleFlag = "F";
        r.placeOnShowFlag = "T";
        QCOMPARE(Tag::TagFromRecord(r), QStringLiteral("0000000003%04/07/01 09:15:00%F%T"));

        // Empty flags give 30 characters: shown, and never to be centred.
        r.visibleFlag.clear();
        r.placeOnShowFlag.clear();
        const QString tag = Tag::TagFromRecord(r);
        QCOMPARE(tag, QStringLiteral("0000000003%04/07/01 09:15:00%%"));
        QVERIFY(Tag::GetTagFlag(tag, Tag::kVisibleFlag) && !Tag::GetTagFlag(tag, Tag::kPlaceOnShowFlag));

        // An empty record still yields a Tag, so the note is not taken for a dead slot.
        QCOMPARE(Tag::TagFromRecord(NoteRecord{}), QStringLiteral("0000000000%%%"));
    }

    void deadSlotsAreSkippedAndIndexRunsWithoutGaps() {
        FakeNote placeholder;
        placeholder.m_tag = Tag::PlaceholderTag();
        FakeNote a = note(1, "T%F"), b = note(2, "T%F"), c = note(3, "F%T"), d = note(4, "T%T"), spare;
        b.m_tag.clear(); // peeled
        const QList<const NoteView*> windows{&placeholder, &a, &b, &c, nullptr, &d, &spare};
        const QList<NoteRecord> records = BuildNoteRecords(windows, 5);

        QCOMPARE(records.size(), 4); // a, c, d and the filler
        for (int i : {0, 1, 2})
            QCOMPARE(std::pair(records.at(i).index, records.at(i).textRtf),
                     std::pair(i + 1, QByteArray("{\\rtf1 note ") + "134"[i] + "}"));
        const NoteRecord& r = records.at(1);
        QCOMPARE(r.createdAt + r.visibleFlag + r.placeOnShowFlag, QByteArray("04/07/01 09:15:03FT"));
        QCOMPARE(records.last(), NoteRecord{});
    }

    void geometryIsRoundedToWholeTwips() {
        FakeNote n = note(1, "T%F", QRectF(1199.6, -14.4, 3000.5, 1501.5));
        NoteRecord r = BuildNoteRecords({nullptr, &n}, 1).at(0);
        // Halves go to the even neighbour.
        QCOMPARE(std::tuple(r.left, r.top, r.width, r.height), std::tuple(1200, -14, 3000, 1502));
        // A Tag cut short gives empty fields.
        n.m_tag = QStringLiteral("0000000001%04/07");
        r = BuildNoteRecords({nullptr, &n}, 1).at(0);
        QCOMPARE(r.createdAt + r.visibleFlag + r.placeOnShowFlag, QByteArray("04/07"));
    }

    void saveAndRestoreGiveTheSameNotes() {
        const QString path = m_tempDir->filePath("Pinora.dat");
        FakeNote a = note(1, "T%F"), gone = note(2, "T%F"), c = note(3, "F%F");
        gone.m_tag.clear();
        QCOMPARE(SaveAllNotes({nullptr, &gone}, 1, path), -1);
        QCOMPARE(readBytes(path), QByteArray(4, '\0')); // all peeled: the count alone
        QCOMPARE(SaveAllNotes({nullptr, &a, &gone, &c}, 3, path), -1);
        const NoteFileLoad load = LoadNoteFile(path, {});
        QVERIFY(load.status == NoteFileLoad::Status::Loaded && load.count == 2);
        // After the restart the survivors' NoteIds are their new slots.
        QCOMPARE(Tag::TagFromRecord(load.records.at(0)), QStringLiteral("0000000001%04/07/01 09:15:01%T%F"));
        QCOMPARE(Tag::TagFromRecord(load.records.at(1)), QStringLiteral("0000000002%04/07/01 09:15:03%F%F"));
        QCOMPARE(load.records.at(1).textRtf, c.m_rtf);
    }

    // The first save of each day keeps the file as it stood, byte for byte; later saves
    // that day leave that copy alone; a week of copies stays, nothing else is touched.
    // A copy that cannot be written (a full disk) is written at the next save, with
    // the day's first state; copies dated after today never push out today's.
    void aCopyForEachDay() {
        QTemporaryDir& dir = *m_tempDir;
        const QString path = dir.filePath("Pinora.dat");
        auto write = [&dir](const QString& name, const QByteArray& bytes) {
            return writeBytes(dir.filePath(name), bytes);
        };
        using Result = DailyBackup::Keeper::Result;
        DailyBackup::Keeper keeper;
        const QDate day(2026, 12, 1);
        QCOMPARE(keeper.beforeSave(path, day), Result::NotDue); // no file yet: nothing to copy
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());

        const QByteArray morning = DataFileOf({SavedNote(0, 0, "{\\rtf1 morning}")});
        const QByteArray noon = DataFileOf({SavedNote(0, 0, "{\\rtf1 noon}")});
        QVERIFY(write("Pinora.dat", morning));
        QCOMPARE(keeper.beforeSave(path, day), Result::Kept);
        QVERIFY(write("Pinora.dat", noon));
        QCOMPARE(keeper.beforeSave(path, day), Result::NotDue);
        QCOMPARE(readBytes(dir.filePath("Pinora-backup-20261201.dat")), morning);

        // A damaged file is not copied.
        QVERIFY(write("Pinora.dat", morning.left(morning.size() - 3)));
        QCOMPARE(keeper.beforeSave(path, day.addDays(1)), Result::NotDue);
        QVERIFY(!QFile::exists(dir.filePath("Pinora-backup-20261202.dat")));

        QVERIFY(write("Pinora.dat", morning));
        {
            FileSizeLimit diskFull(10);
            QCOMPARE(keeper.beforeSave(path, day.addDays(2)), Result::Failed);
        }
        QVERIFY(!QFile::exists(dir.filePath("Pinora-backup-20261203.dat")));
        QVERIFY(write("Pinora.dat", noon)); // the save went through
        QCOMPARE(keeper.beforeSave(path, day.addDays(2)), Result::Kept);
        QCOMPARE(readBytes(dir.filePath("Pinora-backup-20261203.dat")), morning);

        QVERIFY(write("Pinora-damaged-20261101-120000.dat", "kept aside"));
        QVERIFY(write("Pinora-backup-notes.dat", "the user's own"));
        for (int i = 1; i <= DailyBackup::kKept; ++i)
            QVERIFY(write(QStringLiteral("Pinora-backup-2099010%1.dat").arg(i), "a clock set ahead"));
        QCOMPARE(keeper.beforeSave(path, day.addDays(3)), Result::Kept);
        QVERIFY(QFile::exists(dir.filePath("Pinora-backup-20261204.dat")));
        for (int i = 4; i < 12; ++i)
            QCOMPARE(keeper.beforeSave(path, day.addDays(i)), Result::Kept);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"Pinora-backup-20261206.dat", "Pinora-backup-20261207.dat", "Pinora-backup-20261208.dat",
                              "Pinora-backup-20261209.dat", "Pinora-backup-20261210.dat", "Pinora-backup-20261211.dat",
                              "Pinora-backup-20261212.dat", "Pinora-backup-notes.dat",
                              "Pinora-damaged-20261101-120000.dat", "Pinora.dat"}));
    }

private:
    std::unique_ptr<QTemporaryDir> m_tempDir;
};

QTEST_GUILESS_MAIN(TestNoteFile)
#include "TestNoteFile.moc"
