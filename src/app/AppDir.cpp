#include "app/AppDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace AppDir {

namespace {

QString& cachedAppDir() {
    static QString dir;
    return dir;
}

QString withTrailingSlash(const QString& dir) {
    QString out = QDir::cleanPath(dir);
    if (!out.endsWith(QLatin1Char('/')))
        out += QLatin1Char('/');
    return out;
}

// Permission bits say little for root or a read-only mount; creating a file does.
bool canCreateFilesIn(const QString& dir) {
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".pinora-probe-XXXXXX")));
    return probe.open();
}

} // namespace

QString ResolveAppDir(const QString& executableDir) {
    if (!executableDir.isEmpty() && canCreateFilesIn(executableDir))
        return withTrailingSlash(executableDir);
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString dir = QDir(dataHome).filePath(QStringLiteral("pinora"));
    QDir().mkpath(dir);
    return withTrailingSlash(dir);
}

QString GetAppDir() {
    QString& dir = cachedAppDir();
    if (dir.isEmpty())
        dir = ResolveAppDir(QCoreApplication::applicationDirPath());
    return dir;
}

void SetAppDirForTesting(const QString& dir) {
    cachedAppDir() = withTrailingSlash(dir);
}

} // namespace AppDir
