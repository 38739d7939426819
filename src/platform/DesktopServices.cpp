#include "platform/DesktopServices.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

bool OpenWithDesktop(const QString& path) {
    if (path.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool StartFirstProgramFound(const QList<QStringList>& commands) {
    for (const QStringList& command : commands) {
        const QString program = QStandardPaths::findExecutable(command.value(0));
        if (!program.isEmpty() && QProcess::startDetached(program, command.mid(1)))
            return true;
    }
    return false;
}
