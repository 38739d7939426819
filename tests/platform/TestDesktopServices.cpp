#include "platform/DesktopServices.h"

#include "FileBytes.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <optional>

// The desktop's launcher as a script on PATH, or none: the toolkit's handler then
// catches what would otherwise start the desktop's file handler.
class TestDesktopServices : public QObject {
    Q_OBJECT

    QList<QUrl> m_handled;
    QByteArray m_path;

public slots:
    void open(const QUrl& url) { m_handled.append(url); }

private slots:
    void init() {
        m_handled.clear();
        m_path = qgetenv("PATH");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
    }
    void cleanup() {
        qputenv("PATH", m_path);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    // A launcher that fails (a default editor that needs a missing terminal ends
    // xdg-open with 4) is no success; one that waits for its application is, after
    // the time bound; the program goes on meanwhile.
    void theLauncherSaysWhetherItOpened_data() {
        QTest::addColumn<QString>("launcher"); // the script's body; empty: no launcher
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("opened");
        const QString file = QStringLiteral("/tmp/ピノラ 付箋/#1 Pinora.log");
        QTest::newRow("no launcher: the toolkit's handler gets the same file") << QString() << file << true;
        QTest::newRow("no path opens nothing") << QString() << QString() << false;
        QTest::newRow("the launcher succeeds") << QStringLiteral("exit 0") << file << true;
        QTest::newRow("the launcher fails") << QStringLiteral("exit 4") << file << false;
        QTest::newRow("the launcher waits for the editor") << QStringLiteral("exec /bin/sleep 3") << file << true;
    }
    void theLauncherSaysWhetherItOpened() {
        QFETCH(QString, launcher);
        QFETCH(QString, path);
        QFETCH(bool, opened);
        QTemporaryDir bin;
        qputenv("PATH", bin.path().toLocal8Bit());
        if (!launcher.isEmpty()) {
            const QString script = bin.filePath("xdg-open");
            QVERIFY(writeBytes(script, ("#!/bin/sh\nprintf '%s' \"$1\" > \"$0.arg\"\n" + launcher + "\n").toUtf8()));
            QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        std::optional<bool> told;
        OpenWithDesktop(
            path, [&told](bool result) { told = result; }, 300);
        QVERIFY(!told); // never before the launcher or the time has answered
        QTRY_VERIFY(told.has_value());
        QCOMPARE(*told, opened);
        QTest::qWait(400); // told once, also when the time bound passes after the answer
        QCOMPARE(*told, opened);
        if (!launcher.isEmpty())
            QCOMPARE(QString::fromUtf8(readBytes(bin.filePath("xdg-open.arg"))), path);
        else if (!path.isEmpty())
            QCOMPARE(m_handled, QList<QUrl>{QUrl::fromLocalFile(path)});
    }
};

QTEST_MAIN(TestDesktopServices)
#include "TestDesktopServices.moc"
