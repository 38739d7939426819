#pragma once

#include <QProcess>
#include <QTest>

#include <csignal>

// A window manager in the test's X server, as every user has one (openbox unless
// told otherwise); it goes with the object. It runs in a session of its own with a
// D-Bus session bus of its own, as KDE's and GNOME's need one.
class WindowManager {
public:
    // The command that starts it, and the name it announces on the root window.
    explicit WindowManager(QStringList command = {"openbox", "--sm-disable"}, QString name = "Openbox")
        : m_command(std::move(command))
        , m_name(std::move(name)) {}
    ~WindowManager() { stop(); }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // True once the window manager manages windows. It announces itself on the root
    // window before that (openbox drops what is mapped in between), so a window is
    // mapped until one is managed. One that ended before it announced itself (a busy
    // machine) is started again; what it said is shown when it never comes up.
    bool start() {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const bool up = QTest::qWaitFor(
            [this] {
                if (m_process.state() == QProcess::NotRunning) {
                    m_process.start(QStringLiteral("setsid"), QStringList{"dbus-run-session", "--"} + m_command);
                    m_process.waitForStarted();
                }
                return announced() == m_name && managesAWindow();
            },
            30000);
        if (!up)
            qWarning("%s did not come up within 30 s", qPrintable(m_name));
        return up;
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        const pid_t session = pid_t(m_process.processId());
        ::kill(-session, SIGTERM);
        if (!m_process.waitForFinished(5000))
            ::kill(-session, SIGKILL);
        m_process.waitForFinished(5000);
        // The session's leader may end before the window manager itself has let go.
        if (!QTest::qWaitFor([] { return announced().isEmpty(); }, 10000))
            qWarning("%s still holds the screen after it was stopped", qPrintable(m_name));
    }

    // Whether a window mapped now is managed (in the window manager's client list)
    // within a second.
    static bool managesAWindow() {
        QProcess probe;
        probe.start(QStringLiteral("xmessage"), {"-name", "pinora-wm-probe", "-geometry", "+0+0", "probe"});
        if (!probe.waitForStarted())
            return false;
        const bool managed = QTest::qWaitFor(
            [] {
                QProcess check;
                check.start(QStringLiteral("sh"), {"-c", "for w in $(xdotool search --classname pinora-wm-probe); do "
                                                         "xprop -root _NET_CLIENT_LIST | grep -qi \"$(printf "
                                                         "'0x%x' $w)\" && exit 0; done; exit 1"});
                check.waitForFinished(10000);
                return check.exitCode() == 0;
            },
            1000);
        probe.kill();
        probe.waitForFinished();
        return managed;
    }

    // The name of the window manager that runs now, from its check window.
    static QString announced() {
        QProcess xprop;
        xprop.start(QStringLiteral("sh"),
                    {"-c", "id=$(xprop -root _NET_SUPPORTING_WM_CHECK | sed -n 's/.*window id # //p') && "
                           "[ -n \"$id\" ] && xprop -id \"$id\" -notype _NET_WM_NAME 2>/dev/null"});
        xprop.waitForFinished(10000);
        const QString line = QString::fromUtf8(xprop.readAllStandardOutput());
        return line.section('"', 1, 1);
    }

private:
    QStringList m_command;
    QString m_name;
    QProcess m_process;
};
