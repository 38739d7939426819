#include "app/AppDir.h"
#include "app/AppIcon.h"
#include "app/MainForm.h"
#include "note/AppState.h"
#include "platform/UnixSignals.h"

#include <QApplication>
#include <QSessionManager>

namespace {

// Notes are placed by the program, which Wayland does not let a client do; the X
// server of the Wayland session does. A platform the user chose is left alone.
void preferX11UnderWayland() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
                         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11UnderWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinora"));
    QApplication::setApplicationDisplayName(QStringLiteral("ピノラ"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(PinoraIcon());

    AppState state;
    state.AppDir = AppDir::GetAppDir();
    MainForm mainForm(state, {});
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
