#include "app/AppDir.h"
#include "app/AppIcon.h"
#include "app/MainForm.h"
#include "app/PlatformChoice.h"
#include "note/AppState.h"
#include "platform/UnixSignals.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    const QByteArray platform = PreferredPlatform(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinora"));
    // No display name: Qt would append it to every window title on X11, and the
    // program's captions are exactly what each window sets.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(PinoraIcon());

    AppState state;
    state.AppDir = AppDir::GetAppDir();
    MainForm::Services services;
    services.notesCopiedFrom = AppDir::GetAppDirChoice().notesCopiedFrom;
    MainForm mainForm(state, services);
    QObject::connect(&mainForm, &MainForm::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    // A log-off and the usual termination signals end the program as its own
    // exit command does, from the event loop.
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::received, &mainForm, &MainForm::ShutdownApp);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                     [&mainForm](QSessionManager&) { mainForm.ShutdownApp(); });

    if (!mainForm.Form_Load())
        return 0;
    return app.exec();
}
