// GNOME's compositor on Wayland (mutter, headless, with a virtual monitor): the
// program goes to XWayland by itself, a note comes back where it was saved, and
// the status window stands in for the tray GNOME does not have.
#include "store/NoteFile.h"

#include "PinoraCopy.h"
#include "SavedNote.h"
#include "Settle.h"
#include "X11Windows.h"

#include <QDir>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestWaylandE2E : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;
    QProcess m_mutter;
    QString m_log;
    QProcessEnvironment m_session;

    // Pinora's windows on the X display, as the X server has them.
    QList<QRect> pinoraWindows() {
        QList<QRect> rects;
        for (const QString& id : X11Windows::search({"--class", "Pinora"}, m_session))
            rects << X11Windows::geometry(id, m_session);
        return rects;
    }

private slots:
    void initTestCase() {
        for (const char* tool : {"mutter", "Xwayland", "dbus-run-session", "xdotool"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QStringLiteral("needs %1 (mutter, xwayland, dbus, xdotool)").arg(tool)));
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        m_mutter.setProcessEnvironment(env);
        m_mutter.setProcessChannelMode(QProcess::MergedChannels);
        connect(&m_mutter, &QProcess::readyRead, this, [this] { m_log += QString::fromUtf8(m_mutter.readAll()); });
        // A session of its own, so that mutter and its XWayland go with it at the end.
        m_mutter.start(
            "setsid", {"dbus-run-session", "--", "mutter", "--headless", "--wayland", "--virtual-monitor", "1600x900"});
        // mutter says which X display its XWayland serves, and keeps the cookie in
        // its runtime directory.
        const QRegularExpression display("Using public X11 display (:\\d+)");
        QTRY_VERIFY_WITH_TIMEOUT(display.match(m_log).hasMatch(), kSettle);
        const QStringList cookies =
            QDir(m_runtime.path()).entryList({".mutter-Xwaylandauth.*"}, QDir::Hidden | QDir::Files);
        QVERIFY2(!cookies.isEmpty(), qPrintable(m_log));
        m_session = env;
        m_session.insert("DISPLAY", display.match(m_log).captured(1));
        m_session.insert("XAUTHORITY", m_runtime.filePath(cookies.first()));
        m_session.insert("WAYLAND_DISPLAY", "wayland-0");
        m_session.insert("XDG_SESSION_TYPE", "wayland");
    }
    void cleanupTestCase() {
        if (m_mutter.state() == QProcess::NotRunning)
            return;
        const pid_t session = pid_t(m_mutter.processId());
        ::kill(-session, SIGTERM);
        if (!m_mutter.waitForFinished(5000))
            ::kill(-session, SIGKILL);
        m_mutter.waitForFinished(5000);
    }

    void aSavedNoteComesBackOnXWayland() {
        PinoraCopy pinora; // no platform chosen: the program picks XWayland
        QVERIFY(pinora.start(DataFileOf({SavedNote(1200, 900, "{\\rtf1 on Wayland}")}), {}, m_session));
        // The note where it was saved, and a small status window for the missing tray.
        QTRY_VERIFY_WITH_TIMEOUT(pinoraWindows().contains(QRect(80, 60, 200, 100)), kSettle);
        const auto statusWindowShown = [this] {
            const QList<QRect> windows = pinoraWindows();
            return std::any_of(windows.cbegin(), windows.cend(), X11Windows::isSmall);
        };
        QTRY_VERIFY_WITH_TIMEOUT(statusWindowShown(), kSettle);
        QVERIFY(pinora.stop());
        QVERIFY(readBytes(pinora.path("Pinora.ini")).contains("開始モード=0"));
    }
};

QTEST_GUILESS_MAIN(TestWaylandE2E)
#include "TestWaylandE2E.moc"
