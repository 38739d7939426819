#include "app/AppDir.h"
#include "app/AppIcon.h"
#include "app/PlatformChoice.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "app/ToolkitTranslation.h"
#include "note/AppState.h"
#include "platform/UnixSignals.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    const QByteArray platform = PreferredPlatform(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinora"));
    // No display name: Qt would append it to every window title on X11, and the
    // program's captions are exactly what each window sets.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(PinoraWindowIcon());
    InstallToolkitTranslation();

    // A log-off and the usual termination signals end the program as its own
    // exit command does, from the event loop, or stop the start-up early.
    UnixSignals unixSignals;

    AppState state;
    state.appDir = AppDir::GetAppDir();
    Program::Services services;
    services.notesCopiedFrom = AppDir::GetAppDirChoice().notesCopiedFrom;
    services.notesCopiedBecause = AppDir::GetAppDirChoice().reason;
    services.stopRequested = [&unixSignals] { return unixSignals.pending(); };
    Program mainForm(state, services);
    QObject::connect(&mainForm, &Program::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    QObject::connect(&unixSignals, &UnixSignals::received, &mainForm, &Program::shutDown);
    // Every change is already on the disk; what a busy event loop could keep from
    // happening in time is only the running flag.
    unixSignals.setDeadline(std::chrono::milliseconds(1500), [appDir = state.appDir] {
        WriteRunningFlag(ProfileFile(appDir + Settings::kFileName), false);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                     [&mainForm](QSessionManager&) { mainForm.shutDown(); });

    if (!mainForm.start())
        return 0;
    const int status = app.exec();
    // Every change is on the disk and the running flag is cleared by now. Taking the
    // windows of thousands of notes down one by one would keep the window system
    // busy for seconds; ending the process releases them all at once.
    std::fflush(nullptr);
    std::_Exit(status);
}
