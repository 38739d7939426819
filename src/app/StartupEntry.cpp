#include "app/StartupEntry.h"

#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace StartupEntry {

namespace {

// One argument of an Exec line: in double quotes when it holds anything a shell
// would read, with ", `, $ and \ escaped inside them.
QString quotedArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The Exec key is a string value too: its backslashes are escaped once more, and a
// percent sign would be a field code.
QString execValue(const QString& executable) {
    return quotedArgument(executable)
        .replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("%%"));
}

} // namespace

QString autostartDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QByteArray desktopEntry(const QString& executable) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=ピノラ\n"
                          "Comment=Sticky notes on the desktop\n"
                          "Comment[ja]=デスクトップに付箋紙を貼ります\n"
                          "Exec=%1\n"
                          "Icon=pinora\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execValue(executable))
        .toUtf8();
}

QString entryPath(const QString& name) {
    return autostartDir() + QLatin1Char('/') + name;
}

namespace {

bool isThere(const QString& path) {
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

} // namespace

Result CreateStartupShortcut(const QString& target, const QString& name, QString* error) {
    const QString folder = autostartDir();
    const QString path = entryPath(name);
    if (isThere(path))
        return Result::AlreadyThere;
    QString failure;
    if (!QDir().mkpath(folder))
        failure = QStringLiteral("cannot create %1").arg(folder);
    else if (!SafeFile::write(path, desktopEntry(target)))
        failure = QStringLiteral("cannot write %1").arg(path);
    else
        return Result::Created;
    if (error)
        *error = failure;
    return Result::Failed;
}

Removal RemoveStartupShortcut(const QString& name) {
    const QString path = entryPath(name);
    if (!isThere(path))
        return Removal::NotThere;
    return QFile::remove(path) ? Removal::Removed : Removal::Failed;
}

} // namespace StartupEntry
