// The real input method: fcitx5 with mozc on a private session bus. Opening the
// editor switches it on, Japanese typed through it goes into the note, and creating
// the note or closing the editor switches it back off. mozc refuses to run as root,
// so as root the session and the program run as nobody.
#include "FileBytes.h"
#include "Settle.h"
#include "WindowManager.h"
#include "X11Windows.h"

#include <QDir>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

const QString kQtFrontend = QStringLiteral(
    "/usr/lib/x86_64-linux-gnu/qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so");

QString run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {}) {
    return X11Windows::run(program, arguments, env);
}

} // namespace

class TestInputMethodE2E : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_asUser; // the command prefix that runs a program as the session's user
    QProcessEnvironment m_env;
    QProcess m_session;
    WindowManager m_windowManager;

    // fcitx5's controller State: 0 no focused input context, 1 off, 2 on; -1 no answer.
    int imeState() {
        const QString reply = run(m_asUser.isEmpty() ? "dbus-send" : m_asUser.first(),
                                  m_asUser.mid(1) + QStringList{"dbus-send", "--session", "--print-reply",
                                                                "--reply-timeout=2000", "--dest=org.fcitx.Fcitx5",
                                                                "/controller", "org.fcitx.Fcitx.Controller1.State"},
                                  m_env);
        const qsizetype at = reply.indexOf("int32 ");
        return at < 0 ? -1 : reply.mid(at + 6).trimmed().toInt();
    }
    QRect statusWindow() {
        for (const QString& id : X11Windows::search({"--class", "Pinora"}))
            if (const QRect r = X11Windows::geometry(id); X11Windows::isSmall(r))
                return r;
        return {};
    }
    void openEditor() {
        const QPoint at = statusWindow().center();
        run("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat", "2",
                        "--delay", "60", "1"});
    }

private slots:
    void initTestCase() {
        for (const char* tool : {"fcitx5", "dbus-daemon", "dbus-send", "setsid", "xdotool"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QStringLiteral("needs %1 (fcitx5, dbus, util-linux, xdotool)").arg(tool)));
        if (!QFile::exists("/usr/lib/mozc/mozc_server") || !QFile::exists(kQtFrontend))
            QSKIP("needs fcitx5-mozc and fcitx5-frontend-qt6");
        QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7777));
        m_env = QProcessEnvironment::systemEnvironment();
        if (::geteuid() == 0) {
            m_asUser = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
            // The X server's cookie, where that user can read it.
            const QString cookie = m_dir.filePath("Xauthority");
            if (m_env.contains("XAUTHORITY") && QFile::copy(m_env.value("XAUTHORITY"), cookie)) {
                QFile::setPermissions(cookie,
                                      QFileDevice::ReadOwner | QFileDevice::ReadOther | QFileDevice::WriteOwner);
                m_env.insert("XAUTHORITY", cookie);
            }
        }
        QVERIFY(m_windowManager.start());
        m_session.setProcessEnvironment(m_env);
        m_session.setProcessChannelMode(QProcess::ForwardedChannels);
        m_session.start("setsid", m_asUser + QStringList{QStringLiteral(PINORA_INPUT_METHOD_SESSION), m_dir.path()});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir.filePath("bus")), kSettle);
        m_env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(readBytes(m_dir.filePath("bus"))).trimmed());
        m_env.insert("HOME", m_dir.filePath("home"));
        m_env.insert("XDG_RUNTIME_DIR", m_dir.filePath("run"));
        QTRY_VERIFY_WITH_TIMEOUT(imeState() >= 0, kSettle);
    }
    void cleanupTestCase() {
        if (m_session.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_session.processId()), SIGTERM);
            m_session.waitForFinished(5000);
        }
    }

    void japaneseThroughTheInputMethod() {
        const QString dir = m_dir.filePath("pinora");
        QVERIFY(QDir().mkpath(dir));
        QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
        QVERIFY(QFile::copy(QStringLiteral(PINORA_EXECUTABLE), dir + "/Pinora"));
        QProcessEnvironment env = m_env;
        env.insert("QT_IM_MODULE", "fcitx");
        QProcess pinora;
        pinora.setProcessEnvironment(env);
        pinora.setProcessChannelMode(QProcess::ForwardedChannels);
        pinora.start(m_asUser.isEmpty() ? dir + "/Pinora" : m_asUser.first(),
                     m_asUser.mid(1) + QStringList{dir + "/Pinora"});
        QTRY_VERIFY_WITH_TIMEOUT(statusWindow().isValid(), kSettle);
        const int before = imeState();
        QVERIFY(before == 0 || before == 1); // off, or no input context focused

        openEditor();
        QTRY_COMPARE_WITH_TIMEOUT(imeState(), 2, kSettle);
        run("xdotool", {"type", "--delay", "100", "nihon"});
        run("xdotool", {"key", "--delay", "300", "space", "Return", "ctrl+n"});
        // 日本 in the note, as Shift-JIS escapes in its RTF; the input method off again.
        QTRY_VERIFY_WITH_TIMEOUT(readBytes(dir + "/Pinora.dat").contains("\\'93\\'fa\\'96\\'7b"), kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(imeState(), 1, kSettle);

        // Opened again and closed without a change: on while open, off after.
        openEditor();
        QTRY_COMPARE_WITH_TIMEOUT(imeState(), 2, kSettle);
        run("xdotool", {"key", "alt+F4"});
        QTRY_COMPARE_WITH_TIMEOUT(imeState(), 1, kSettle);

        ::kill(pid_t(pinora.processId()), SIGTERM);
        QVERIFY(pinora.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestInputMethodE2E)
#include "TestInputMethodE2E.moc"
