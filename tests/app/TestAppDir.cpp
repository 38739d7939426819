#include "app/AppDir.h"

#include "FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestAppDir : public QObject {
    Q_OBJECT

private slots:
    void readOnlyDirectoryFallsBackToDataHome() {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        // /proc refuses new files even to root, like a read-only installation.
        const AppDir::Choice resolved = AppDir::ResolveAppDir(QStringLiteral("/proc"));
        QCOMPARE(resolved.dir, home.path() + QStringLiteral("/pinora/"));
        QVERIFY(QFileInfo(resolved.dir).isDir());
        QVERIFY(resolved.notesCopiedFrom.isEmpty()); // no notes there to carry over
        QCOMPARE(resolved.reason, AppDir::Choice::Reason::NotWritable);
        // A directory that does not exist is no better.
        QCOMPARE(AppDir::ResolveAppDir(home.path() + QStringLiteral("/gone")).dir, resolved.dir);
        // Nor is an installed copy's bin folder, even where root could write to it.
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/pinora"));
        QVERIFY(writeBytes(prefix.filePath("share/pinora/Pinora.html"), "<html/>"));
        const AppDir::Choice installed = AppDir::ResolveAppDir(prefix.filePath("bin"));
        QCOMPARE(installed.dir, resolved.dir);
        QCOMPARE(installed.reason, AppDir::Choice::Reason::InstalledCopy);
        // A writable folder of its own is used as it is.
        QCOMPARE(AppDir::ResolveAppDir(home.path()).reason, AppDir::Choice::Reason::None);
        qunsetenv("XDG_DATA_HOME");
    }

    // Notes beside a read-only executable are copied into the fallback once; the
    // originals are never touched, and once the fallback has notes of its own they win.
    void notesAreCarriedOverOnce() {
        QTemporaryDir readOnly;
        QTemporaryDir fallback;
        const QByteArray notes = QByteArray::fromHex("01000000") + QByteArray(64, 'n');
        const QByteArray ini = "[ピノラ]\r\n開始モード=1\r\nドラッグモード=3\r\n";
        const QByteArray log = "26/12/06 21:35:00\r\n";
        QVERIFY(writeBytes(readOnly.filePath("Pinora.dat"), notes));
        QVERIFY(writeBytes(readOnly.filePath("Pinora.ini"), ini));
        QVERIFY(writeBytes(readOnly.filePath("Pinora.log"), log));
        const QDateTime modified = QFileInfo(readOnly.filePath("Pinora.dat")).lastModified();

        QVERIFY(AppDir::CarryOverNotes(readOnly.path(), fallback.path()));
        QCOMPARE(readBytes(fallback.filePath("Pinora.dat")), notes);
        QCOMPARE(readBytes(fallback.filePath("Pinora.log")), log);
        // The copy's settings are the user's, but no copy of the program runs on them.
        QCOMPARE(readBytes(fallback.filePath("Pinora.ini")),
                 QByteArray("[ピノラ]\r\n開始モード=0\r\nドラッグモード=3\r\n"));
        QCOMPARE(readBytes(readOnly.filePath("Pinora.dat")), notes);
        QCOMPARE(readBytes(readOnly.filePath("Pinora.ini")), ini);
        QCOMPARE(QFileInfo(readOnly.filePath("Pinora.dat")).lastModified(), modified);
        QCOMPARE(QDir(readOnly.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);

        // The fallback's own notes, changed since, are not replaced by the old ones.
        QVERIFY(writeBytes(fallback.filePath("Pinora.dat"), QByteArray(4, '\0')));
        QVERIFY(!AppDir::CarryOverNotes(readOnly.path(), fallback.path()));
        QCOMPARE(readBytes(fallback.filePath("Pinora.dat")), QByteArray(4, '\0'));

        // Settings alone are not notes: nothing is copied.
        QTemporaryDir settingsOnly;
        QTemporaryDir empty;
        QVERIFY(writeBytes(settingsOnly.filePath("Pinora.ini"), ini));
        QVERIFY(!AppDir::CarryOverNotes(settingsOnly.path(), empty.path()));
        QVERIFY(QDir(empty.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAppDir)
#include "TestAppDir.moc"
