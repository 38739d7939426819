#include "platform/DesktopServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>

Q_LOGGING_CATEGORY(lcDesktop, "pinora.platform.desktop", QtCriticalMsg)

void OpenWithDesktop(const QString& path, std::function<void(bool opened)> done, int timeoutMs) {
    // Once, whichever comes first: the launcher's end, its failure to start, the time bound.
    auto report = [done = std::move(done), reported = std::make_shared<bool>(false)](bool opened) {
        if (!*reported) {
            *reported = true;
            done(opened);
        }
    };
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (path.isEmpty() || launcher.isEmpty()) {
        const bool opened = !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        QTimer::singleShot(0, qApp, [report, opened] { report(opened); });
        return;
    }
    // Without a parent: a launcher still running when the program ends is left to run.
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(process, &QProcess::finished, process,
                     [process, report, path](int code, QProcess::ExitStatus how) {
                         qCDebug(lcDesktop) << "the launcher for" << path << "ended with" << code;
                         report(how == QProcess::NormalExit && code == 0);
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        report(false);
        process->deleteLater();
    });
    QTimer::singleShot(timeoutMs, qApp, [report] { report(true); });
    process->start(launcher, {path});
}

bool StartFirstProgramFound(const QList<QStringList>& commands) {
    for (const QStringList& command : commands) {
        const QString program = QStandardPaths::findExecutable(command.value(0));
        if (!program.isEmpty() && QProcess::startDetached(program, command.mid(1)))
            return true;
    }
    return false;
}
