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
    bool start() {
        m_process.start(QStringLiteral("openbox"), {"--sm-disable"});
        if (!m_process.waitForStarted())
            return false;
        return QTest::qWaitFor(
            [] {
                return QProcess::execute("sh", {"-c", "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"}) ==
                       0;
            },
            30000);
    }

private:
    QProcess m_process;
};
