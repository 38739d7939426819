#include "app/InstanceLock.h"
#include "app/Settings.h"
#include "app/StartMode.h"

#include "FileBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestStartMode : public QObject {
    Q_OBJECT

private slots:
    void startMode_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QList<bool>>("running"); // what each look at the other copy finds
        QTest::addColumn<bool>("proceeds");
        QTest::addColumn<int>("waits");
        QTest::addColumn<QByteArray>("after");
        const QByteArray on = "[ピノラ]\n開始モード=1\n";
        const QByteArray off = "[ピノラ]\n開始モード=0\n";
        QTest::newRow("first start, no file") << QByteArray() << QList<bool>{false} << true << 0 << on;
        QTest::newRow("another copy runs: end at once, file untouched") << on << QList<bool>{true} << false << 0 << on;
        QTest::newRow("left at 1 by a crash: two waits, then start")
            << on << QList<bool>{false, false, false} << true << 2 << on;
        QTest::newRow("a copy still starting up that then finishes")
            << off << QList<bool>{true, false} << true << 1 << on;
        QTest::newRow("a copy running with the flag at 0 keeps its data file")
            << off << QList<bool>{true, true, true} << false << 2 << off;
    }
    void startMode() {
        QFETCH(QByteArray, ini);
        QFETCH(QList<bool>, running);
        QFETCH(bool, proceeds);
        QFETCH(int, waits);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath("Pinora.ini");
        QVERIFY(ini.isEmpty() || writeBytes(path, ini));
        int looks = 0;
        QList<int> sleeps;
        const bool result = CheckStartMode(
            ProfileFile(path), [&] { return running.value(looks++, running.last()); }, [&](int ms) { sleeps << ms; });
        QCOMPARE(result, proceeds);
        QCOMPARE(sleeps, QList<int>(waits, 1000));
        QCOMPARE(readBytes(path), after);
    }

    void lockTellsARunningCopyFromADeadOne() {
        QTemporaryDir dir;
        const QString appDir = dir.path() + QLatin1Char('/');
        InstanceLock first(appDir);
        QVERIFY(!first.otherInstanceRunning()); // takes the lock
        QVERIFY(!first.otherInstanceRunning()); // asking again is still "no"
        InstanceLock second(appDir);
        QVERIFY(second.otherInstanceRunning());

        // A lock file left by a process that is gone does not block the next start.
        QTemporaryDir other;
        QVERIFY(writeBytes(other.filePath("Pinora.lock"),
                           "999999999\nPinora\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        InstanceLock after(other.path() + QLatin1Char('/'));
        QVERIFY(!after.otherInstanceRunning());
    }
};

QTEST_GUILESS_MAIN(TestStartMode)
#include "TestStartMode.moc"
