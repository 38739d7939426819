// Termination signals reach the event loop, can be asked about by work that keeps
// the loop busy, and end the process after the deadline when nothing else does.
#include "platform/UnixSignals.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

constexpr const char* kBusyChildVariable = "PINORA_TEST_BUSY_AFTER_SIGTERM";

// The child: a deadline, then a signal, then an event loop that never gets a turn.
int busyAfterSigterm(const QString& marker) {
    UnixSignals unixSignals;
    unixSignals.setDeadline(std::chrono::milliseconds(200), [marker] {
        QFile file(marker);
        if (file.open(QIODevice::WriteOnly))
            file.write("last words");
    });
    ::raise(SIGTERM);
    QThread::sleep(30);
    return 3;
}

} // namespace

class TestUnixSignals : public QObject {
    Q_OBJECT

private slots:
    void signalIsPendingUntilTheLoopTakesIt() {
        UnixSignals unixSignals;
        QSignalSpy received(&unixSignals, &UnixSignals::received);
        QVERIFY(!unixSignals.pending());
        ::raise(SIGHUP);
        QVERIFY(unixSignals.pending());
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toInt(), SIGHUP);
        QVERIFY(!unixSignals.pending());
    }

    void deadlineEndsABusyProcessAfterItsLastWords() {
        QTemporaryDir dir;
        const QString marker = dir.filePath("last-words");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kBusyChildVariable, marker);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(10000)); // long before its 30 s of sleep are over
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QFile file(marker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("last words"));
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kBusyChildVariable))
        return busyAfterSigterm(qEnvironmentVariable(kBusyChildVariable));
    TestUnixSignals test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestUnixSignals.moc"
