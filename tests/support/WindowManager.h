#pragma once

#include <QProcess>
#include <QTest>

// openbox in the test's X server, as every user has a window manager; it goes
// with the object.
class WindowManager {
public:
    WindowManager() = default;
    ~WindowManager() {
        m_process.kill();
        m_process.waitForFinished();
    }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // True once the window manager has announced itself on the root window.
    // An openbox that ended before it announced itself (a busy machine) is started
    // again; what it said is shown when it never comes up.
    bool start() {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const bool up = QTest::qWaitFor(
            [this] {
                if (m_process.state() == QProcess::NotRunning) {
                    m_process.start(QStringLiteral("openbox"), {"--sm-disable"});
                    m_process.waitForStarted();
                }
                return QProcess::execute("sh", {"-c", "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"}) ==
                       0;
            },
            30000);
        if (!up)
            qWarning("openbox did not announce itself on the root window within 30 s");
        return up;
    }

private:
    QProcess m_process;
};
