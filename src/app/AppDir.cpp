#include "app/AppDir.h"

#include "app/Settings.h"
#include "platform/SafeFile.h"
#include "store/DataFile.h"
#include "store/PeelLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <optional>

namespace AppDir {

namespace {

std::optional<Choice>& cachedChoice() {
    static std::optional<Choice> choice;
    return choice;
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

bool isThere(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

bool CarryOverNotes(const QString& fromDir, const QString& toDir) {
    const QString from = withTrailingSlash(fromDir);
    const QString to = withTrailingSlash(toDir);
    const QString dataFile = QLatin1String(kNoteFileName);
    if (isThere(to + dataFile) || !QFileInfo(from + dataFile).isFile())
        return false;
    QFile original(from + dataFile);
    if (!original.open(QIODevice::ReadOnly))
        return false;
    const QByteArray notes = original.readAll();
    if (original.error() != QFileDevice::NoError)
        return false;

    // The data file comes last: once it is there, the copy is complete and wins.
    const QString iniFile = Settings::kFileName;
    if (QFileInfo(from + iniFile).isFile() && !isThere(to + iniFile) && QFile::copy(from + iniFile, to + iniFile))
        WriteRunningFlag(ProfileFile(to + iniFile), false);
    const QString logFile = QLatin1String(kPeelLogFileName);
    if (QFileInfo(from + logFile).isFile() && !isThere(to + logFile))
        QFile::copy(from + logFile, to + logFile);
    return SafeFile::write(to + dataFile, notes);
}

namespace {

// Where an installed copy's help page is, beside its executable's folder.
QString installedHelpPage(const QString& executableDir) {
    return QDir(executableDir).filePath(QStringLiteral("../share/pinora/Pinora.html"));
}

} // namespace

bool IsInstalledCopy(const QString& executableDir) {
    return QFileInfo::exists(installedHelpPage(executableDir));
}

Choice ResolveAppDir(const QString& executableDir) {
    const Choice::Reason reason = executableDir.isEmpty()            ? Choice::Reason::NotWritable
                                  : IsInstalledCopy(executableDir)   ? Choice::Reason::InstalledCopy
                                  : !canCreateFilesIn(executableDir) ? Choice::Reason::NotWritable
                                                                     : Choice::Reason::None;
    if (reason == Choice::Reason::None)
        return {withTrailingSlash(executableDir), {}};
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString dir = QDir(dataHome).filePath(QStringLiteral("pinora"));
    QDir().mkpath(dir);
    Choice choice{withTrailingSlash(dir), {}, reason};
    if (!executableDir.isEmpty() && CarryOverNotes(executableDir, dir))
        choice.notesCopiedFrom = withTrailingSlash(executableDir);
    return choice;
}

const Choice& GetAppDirChoice() {
    std::optional<Choice>& choice = cachedChoice();
    if (!choice)
        choice = ResolveAppDir(QCoreApplication::applicationDirPath());
    return *choice;
}

QString GetAppDir() {
    return GetAppDirChoice().dir;
}

void SetAppDirForTesting(const QString& dir) {
    cachedChoice() = Choice{withTrailingSlash(dir), {}};
}

} // namespace AppDir
