#include "app/AppDir.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestAppDir : public QObject {
    Q_OBJECT

private slots:
    void writableExecutableDirectory() {
        QTemporaryDir dir;
        const QString resolved = AppDir::ResolveAppDir(dir.path());
        QCOMPARE(resolved, dir.path() + QLatin1Char('/'));
        // A trailing slash is not doubled.
        QCOMPARE(AppDir::ResolveAppDir(dir.path() + QLatin1Char('/')), resolved);
        // The probe leaves nothing behind.
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }

    void readOnlyDirectoryFallsBackToDataHome() {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        // /proc refuses new files even to root, like a read-only installation.
        const QString resolved = AppDir::ResolveAppDir(QStringLiteral("/proc"));
        QCOMPARE(resolved, home.path() + QStringLiteral("/pinora/"));
        QVERIFY(QFileInfo(resolved).isDir());
        // A directory that does not exist is no better.
        QCOMPARE(AppDir::ResolveAppDir(home.path() + QStringLiteral("/gone")), resolved);
        qunsetenv("XDG_DATA_HOME");
    }

    void answerIsKept() {
        QTemporaryDir dir;
        AppDir::SetAppDirForTesting(dir.path());
        QCOMPARE(AppDir::GetAppDir(), dir.path() + QLatin1Char('/'));
        QCOMPARE(AppDir::GetAppDir(), AppDir::GetAppDir());
    }
};

QTEST_GUILESS_MAIN(TestAppDir)
#include "TestAppDir.moc"
