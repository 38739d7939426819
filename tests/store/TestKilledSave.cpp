// A save killed at any moment leaves the old data file or the new one whole, and
// the temporary file it may leave behind is cleared at the next start.
#include "platform/SafeFile.h"
#include "store/NoteFile.h"
#include "store/NoteFileIO.h"

#include "FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr const char* kSaverVariable = "PINORA_TEST_SAVE_FOREVER";

// Notes large enough that a save takes a while; the text says which save wrote it.
QList<NoteRecord> notesOfSave(int save) {
    QList<NoteRecord> records;
    for (int i = 1; i <= 3; ++i) {
        NoteRecord r;
        r.Index = i;
        r.TextRTF = "{\\rtf1 save " + QByteArray::number(save) + "}" + QByteArray(200000, 'x');
        r.CreatedAt = "26/12/07 05:10:00";
        r.VisibleFlag = "T";
        r.PlaceOnShowFlag = "F";
        records.append(r);
    }
    records.append(NoteRecord{});
    return records;
}

// The child: saves over and over until it is killed, telling the parent once it has begun.
int saveForever(const QString& path) {
    for (int save = 0;; ++save) {
        QList<NoteRecord> records = notesOfSave(save);
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

private slots:
    void killedSavesLeaveAWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.dat");
        int leftoversSeen = 0;
        for (int trial = 0; trial < 30; ++trial) {
            QProcess saver;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(kSaverVariable, path);
            saver.setProcessEnvironment(env);
            saver.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(saver.waitForReadyRead(10000));
            QTest::qSleep(QRandomGenerator::global()->bounded(1, 40));
            ::kill(pid_t(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished(10000));

            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const std::optional<NoteFile::Contents> contents = NoteFile::decode(file.readAll());
            QVERIFY(contents);
            QVERIFY(!contents->damaged);
            QCOMPARE(contents->count, 3);
            // All three notes come from one and the same save.
            const QByteArray firstLine = contents->records.at(0).TextRTF.left(20);
            QCOMPARE(contents->records.at(2).TextRTF.left(20), firstLine);

            const QStringList left = SafeFile::leftovers(path);
            leftoversSeen += left.size();
            QCOMPARE(SafeFile::removeLeftovers(path), left);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Pinora.dat"});
        }
        qInfo("%d of 30 kills left a temporary file", leftoversSeen);
        // Most kills land in the middle of a save; the clearing must have had work to do.
        QVERIFY2(leftoversSeen > 0, "no kill left a temporary file, so clearing them went untested");
    }

    void onlyTheProgramsOwnTemporaryFilesAreCleared() {
        QTemporaryDir dir;
        const QStringList names{"Pinora.dat.saving-ab12cd", "Pinora.dat.backup",        "Pinora.dat.saving-ab12c",
                                "Pinora.dat.saving-AB12CD", "Pinora.ini.saving-ab12cd", "Pinora.dat.XyZabc"};
        for (const QString& name : names)
            QVERIFY(writeBytes(dir.filePath(name), "x"));
        // A directory with our name is not a file we wrote.
        QVERIFY(QDir(dir.path()).mkdir("Pinora.dat.saving-dir123"));
        QCOMPARE(SafeFile::removeLeftovers(dir.filePath("Pinora.dat")), QStringList{dir.filePath(names.first())});
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), names.size());
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsSet(kSaverVariable))
        return saveForever(qEnvironmentVariable(kSaverVariable));
    QCoreApplication app(argc, argv);
    TestKilledSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestKilledSave.moc"
