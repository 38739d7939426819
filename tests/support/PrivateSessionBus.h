#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>

// A D-Bus session bus of the test's own: a dbus-daemon listening in a temporary
// directory, with no services it could start unless given a directory of them. The daemon dies with the test process,
// even when that crashes.
class PrivateSessionBus {
public:
    explicit PrivateSessionBus(const QString& serviceDir = QString()) {
        if (!m_dir.isValid()) {
            m_error = QStringLiteral("no temporary directory");
            return;
        }
        const QString configPath = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile config(configPath);
        if (!config.open(QIODevice::WriteOnly)) {
            m_error = QStringLiteral("cannot write ") + configPath;
            return;
        }
        const QString services =
            serviceDir.isEmpty() ? QString() : QStringLiteral("  <servicedir>%1</servicedir>\n").arg(serviceDir);
        config.write(QStringLiteral("<busconfig>\n"
                                    "  <type>session</type>\n"
                                    "  <listen>unix:dir=%1</listen>\n"
                                    "  <auth>EXTERNAL</auth>\n"
                                    "%2"
                                    "  <policy context=\"default\">\n"
                                    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                    "    <allow eavesdrop=\"true\"/>\n"
                                    "    <allow own=\"*\"/>\n"
                                    "  </policy>\n"
                                    "</busconfig>\n")
                         .arg(m_dir.path(), services)
                         .toUtf8());
        config.close();

        m_daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + configPath,
                                                       QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted()) {
            m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
            return;
        }
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
        if (m_address.isEmpty())
            m_error = QStringLiteral("dbus-daemon printed no address: ") +
                      QString::fromLocal8Bit(m_daemon.readAllStandardError());
    }

    ~PrivateSessionBus() {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
        m_daemon.waitForFinished();
    }

    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};
