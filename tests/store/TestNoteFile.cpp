#include "FileSizeLimit.h"
#include "store/NoteFile.h"
#include "store/NoteFileIO.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

NoteRecord exampleNote() {
    NoteRecord r;
    r.Index = 1;
    r.Left = 1200;
    r.Top = 900;
    r.Height = 1500;
    r.Width = 3000;
    r.BackColor = 0x0098FFFF;
    r.TextRTF = "{\\rtf1 a}";
    r.CreatedAt = "04/07/01 09:15:00";
    r.VisibleFlag = "T";
    r.PlaceOnShowFlag = "F";
    return r;
}

NoteRecord noteNumbered(qint32 index, const QByteArray& rtf) {
    NoteRecord r = exampleNote();
    r.Index = index;
    r.TextRTF = rtf;
    return r;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
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
        QCOMPARE(readAll(path), expected);
        QList<NoteRecord> read;
        count = 99;
        QCOMPARE(NoteFileIO(count, path, false, read), -1);
        QCOMPARE(count, 1);
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.at(0), exampleNote());
        QCOMPARE(read.at(1), NoteRecord{});
    }

    void noNotesIsFourBytes() {
        QCOMPARE(NoteFile::encode(0, {}), QByteArray(4, '\0'));
        // Records handed in with a zero count are not written either.
        QCOMPARE(NoteFile::encode(0, {exampleNote()}), QByteArray(4, '\0'));
        const std::optional<NoteFile::Contents> back = NoteFile::decode(QByteArray(4, '\0'));
        QVERIFY(back);
        QCOMPARE(back->count, 0);
        QVERIFY(back->records.isEmpty());
    }

    void missingRecordsAreWrittenEmpty() {
        // A caller that forgets the filler still gets a well-formed file.
        QCOMPARE(NoteFile::encode(1, {exampleNote()}), NoteFile::encode(1, {exampleNote(), NoteRecord{}}));
    }

    void shortFileReadsMissingPartAsEmpty_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("wholeNotes");
        const QByteArray full = threeNotesFile();
        const int secondStart = int(full.indexOf("{\\rtf1 two}")) - 26;
        const int thirdStart = int(full.indexOf("{\\rtf1 three}")) - 26;
        QTest::newRow("only the header") << 4 << 0;
        QTest::newRow("inside the first record's integers") << 10 << 0;
        QTest::newRow("right after the first record") << secondStart << 1;
        QTest::newRow("inside the second record's RTF") << secondStart + 30 << 1;
        QTest::newRow("right after the second record") << thirdStart << 2;
        QTest::newRow("filler missing") << int(full.size() - 32) << 3;
    }
    void shortFileReadsMissingPartAsEmpty() {
        QFETCH(int, cut);
        QFETCH(int, wholeNotes);
        const std::optional<NoteFile::Contents> back = NoteFile::decode(threeNotesFile().left(cut));
        QVERIFY(back);
        QCOMPARE(back->count, 3);
        QCOMPARE(back->records.size(), 4);
        for (int i = 0; i < wholeNotes; ++i)
            QCOMPARE(back->records.at(i), threeNotes().at(i));
        // The record the cut runs through keeps what it has; the rest are empty.
        for (int i = wholeNotes + 1; i < 4; ++i)
            QCOMPARE(back->records.at(i), NoteRecord{});
    }

    void unreadableBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("negative count") << QByteArray::fromHex("ffffffff");
        QTest::newRow("count past what the program can hold") << QByteArray::fromHex("00800000");
        QTest::newRow("huge count") << QByteArray::fromHex("ffffff7f");
        QTest::newRow("truncated count") << QByteArray::fromHex("0100");
        QTest::newRow("text file") << QByteArray("These are not notes.\n");
        QByteArray longStamp = NoteFile::encode(1, {exampleNote(), {}});
        longStamp.replace("04/07/01 09:15:00", "04/07/01 09:15:000");
        longStamp[4 + 24 + 2 + 9] = 18;
        QTest::newRow("time stamp longer than a Tag holds") << longStamp;
        NoteRecord twoCharFlag = exampleNote();
        twoCharFlag.VisibleFlag = "TT";
        QTest::newRow("flag of two characters") << NoteFile::encode(1, {twoCharFlag, {}});
    }
    void unreadableBytes() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!NoteFile::decode(bytes));
    }

    void emptyFileHasNoNotes() {
        const std::optional<NoteFile::Contents> back = NoteFile::decode(QByteArray());
        QVERIFY(back);
        QCOMPARE(back->count, 0);
    }

    void longStringsSurvive_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("32767, the plain layout") << 32767;
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

    void readRenumbersIndex() {
        const QString path = m_tempDir->filePath("Pinora.dat");
        writeAll(path, NoteFile::encode(3, {noteNumbered(7, "a"), noteNumbered(7, "b"), noteNumbered(-2, "c"), {}}));
        qint32 count = 0;
        QList<NoteRecord> records;
        QCOMPARE(NoteFileIO(count, path, false, records), -1);
        QCOMPARE(count, 3);
        QCOMPARE(records.at(0).Index, 1);
        QCOMPARE(records.at(1).Index, 2);
        QCOMPARE(records.at(2).Index, 3);
        QCOMPARE(records.at(2).TextRTF, QByteArray("c"));
    }

    void missingFileFailsWithNoNotes() {
        qint32 count = 5;
        QList<NoteRecord> records{exampleNote()};
        QCOMPARE(NoteFileIO(count, m_tempDir->filePath("nothing.dat"), false, records), 0);
        QCOMPARE(count, 0);
        QVERIFY(records.isEmpty());
        const NoteFileLoad load = LoadNoteFile(m_tempDir->filePath("nothing.dat"), QDateTime::currentDateTime());
        QCOMPARE(load.status, NoteFileLoad::Status::Missing);
        QCOMPARE(load.count, 0);
    }

    void unreadableFileIsKeptAsideAndSurvivesTheNextSave() {
        const QString path = m_tempDir->filePath("Pinora.dat");
        const QByteArray garbage = QByteArray::fromHex("ffffffff") + "precious but damaged";
        writeAll(path, garbage);
        const QDateTime now(QDate(2026, 12, 6), QTime(21, 35, 12));
        const NoteFileLoad load = LoadNoteFile(path, now);
        QCOMPARE(load.status, NoteFileLoad::Status::Unreadable);
        QCOMPARE(load.count, 0);
        QCOMPARE(load.keptAsidePath, m_tempDir->filePath("Pinora-unreadable-20261206-213512.dat"));
        QVERIFY(!QFile::exists(path));

        // The first save after start-up writes a fresh file beside the kept one.
        qint32 count = 0;
        QList<NoteRecord> none;
        QCOMPARE(NoteFileIO(count, path, true, none), -1);
        QCOMPARE(readAll(load.keptAsidePath), garbage);

        // A second bad start in the same second does not overwrite the first one kept.
        writeAll(path, "still bad");
        const NoteFileLoad again = LoadNoteFile(path, now);
        QCOMPARE(again.keptAsidePath, m_tempDir->filePath("Pinora-unreadable-20261206-213512-2.dat"));
        QCOMPARE(readAll(load.keptAsidePath), garbage);
        QCOMPARE(readAll(again.keptAsidePath), QByteArray("still bad"));
    }

    void failedWriteLeavesOldFileWhole() {
        const QString path = m_tempDir->filePath("Pinora.dat");
        QList<NoteRecord> old{exampleNote(), {}};
        qint32 count = 1;
        QCOMPARE(NoteFileIO(count, path, true, old), -1);
        const QByteArray before = readAll(path);

        QList<NoteRecord> bigger{noteNumbered(1, QByteArray(4000, 'x')), {}};
        {
            FileSizeLimit diskFull(1000);
            QVERIFY(diskFull.active());
            QCOMPARE(NoteFileIO(count, path, true, bigger), 0);
        }
        QCOMPARE(readAll(path), before);
        // No half-written file is left beside it.
        QCOMPARE(QDir(m_tempDir->path()).entryList(QDir::Files), QStringList{"Pinora.dat"});

        // A directory that is not there fails cleanly too.
        QCOMPARE(NoteFileIO(count, m_tempDir->filePath("no/such/dir/Pinora.dat"), true, bigger), 0);
        // So does a negative count, which could never be read back.
        count = -1;
        QCOMPARE(NoteFileIO(count, path, true, bigger), 0);
        QCOMPARE(readAll(path), before);
    }

private:
    std::unique_ptr<QTemporaryDir> m_tempDir;
};

QTEST_GUILESS_MAIN(TestNoteFile)
#include "TestNoteFile.moc"
