// A save killed at any moment leaves the old data file or the new one whole, and
// the temporary file it may leave behind is cleared at the next start. A peel killed
// at any moment leaves the note among the notes or among the peeled notes.
#include "platform/SafeFile.h"
#include "store/NoteFile.h"
#include "store/NoteFileIO.h"
#include "store/PeeledNotes.h"

#include "FileBytes.h"
#include "SavedNote.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr const char* kSaverVariable = "PINORA_TEST_SAVE_FOREVER";
constexpr const char* kPeelerVariable = "PINORA_TEST_PEEL_ALL";
constexpr int kPeeledNotes = 6;

NoteRecord numbered(int n) {
    NoteRecord r = SavedNote(0, 0, "{\\rtf1 note " + QByteArray::number(n) + "}" + QByteArray(100000, 'x'));
    r.Index = n;
    return r;
}

// The child: peels the notes one by one as the program does (kept among the peeled
// notes first, then the data file saved without it), telling the parent once it has begun.
int peelAll(const QString& dir) {
    QList<NoteRecord> notes;
    for (int n = 1; n <= kPeeledNotes; ++n)
        notes << numbered(n);
    fputs("peeling\n", stdout);
    fflush(stdout);
    while (!notes.isEmpty()) {
        if (!PeeledNotes::add(dir + "/Pinora-peeled.dat", {notes.takeFirst(), QDateTime::currentDateTime()}))
            return 1;
        QList<NoteRecord> records = notes;
        records.append(NoteRecord{});
        qint32 count = qint32(notes.size());
        if (NoteFileIO(count, dir + "/Pinora.dat", true, records) != -1)
            return 1;
    }
    return 0;
}

// The child: saves over and over until it is killed, telling the parent once it has begun.
int saveForever(const QString& path) {
    for (int save = 0;; ++save) {
        // Notes large enough that a save takes a while; the text says which save wrote it.
        QList<NoteRecord> records(
            3, SavedNote(0, 0, "{\\rtf1 save " + QByteArray::number(save) + "}" + QByteArray(200000, 'x')));
        records.append(NoteRecord{});
        qint32 count = 3;
        if (NoteFileIO(count, path, true, records) != -1)
            return 1;
        if (save == 0) {
            fputs("saving\n", stdout);
            fflush(stdout);
        }
    }
}

} // namespace

class TestKilledSave : public QObject {
    Q_OBJECT

    // Starts this program as the child the variable names, working on target, and
    // kills it at a random moment of its first maxMs after it has begun.
    static bool runAndKill(const char* variable, const QString& target, int maxMs) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(variable, target);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        if (!child.waitForReadyRead(10000))
            return false;
        QTest::qSleep(QRandomGenerator::global()->bounded(1, maxMs));
        ::kill(pid_t(child.processId()), SIGKILL);
        return child.waitForFinished(10000);
    }

private slots:
    void killedSavesLeaveAWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.dat");
        int leftoversSeen = 0;
        for (int trial = 0; trial < 30; ++trial) {
            QVERIFY(runAndKill(kSaverVariable, path, 40));

            const std::optional<NoteFile::Contents> contents = NoteFile::decode(readBytes(path));
            QVERIFY(contents && !contents->damaged && contents->count == 3);
            // All three notes come from one and the same save.
            QCOMPARE(contents->records.at(2).TextRTF.left(20), contents->records.at(0).TextRTF.left(20));

            const QStringList left = SafeFile::leftovers(path);
            leftoversSeen += left.size();
            QCOMPARE(SafeFile::removeLeftovers(path), left);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Pinora.dat"});
        }
        qInfo("%d of 30 kills left a temporary file", leftoversSeen);
        // Most kills land in the middle of a save; the clearing must have had work to do.
        QVERIFY2(leftoversSeen > 0, "no kill left a temporary file, so clearing them went untested");
    }

    void killedPeelsLoseNoNote() {
        for (int trial = 0; trial < 20; ++trial) {
            QTemporaryDir dir;
            QList<NoteRecord> all;
            for (int n = 1; n <= kPeeledNotes; ++n)
                all << numbered(n);
            QVERIFY(writeBytes(dir.filePath("Pinora.dat"), DataFileOf(all)));
            QVERIFY(runAndKill(kPeelerVariable, dir.path(), 60));

            QSet<QByteArray> kept;
            const std::optional<NoteFile::Contents> notes = NoteFile::decode(readBytes(dir.filePath("Pinora.dat")));
            QVERIFY(notes && !notes->damaged);
            for (qint32 i = 0; i < notes->count; ++i)
                kept << notes->records.at(i).TextRTF.left(20);
            const PeeledNotes::Contents peeled = PeeledNotes::decode(readBytes(dir.filePath("Pinora-peeled.dat")));
            QVERIFY(!peeled.damaged);
            for (const PeeledNote& note : peeled.notes)
                kept << note.record.TextRTF.left(20);
            for (const NoteRecord& note : all)
                QVERIFY2(kept.contains(note.TextRTF.left(20)), note.TextRTF.left(20).constData());
        }
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsSet(kSaverVariable))
        return saveForever(qEnvironmentVariable(kSaverVariable));
    if (qEnvironmentVariableIsSet(kPeelerVariable))
        return peelAll(qEnvironmentVariable(kPeelerVariable));
    QCoreApplication app(argc, argv);
    TestKilledSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestKilledSave.moc"
