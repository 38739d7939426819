#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

// The object fcitx5 exports as its controller, reduced to the calls Pinora makes.
// It lives in a thread of its own: the program calls it synchronously from the main
// thread, which could not answer while it waits.
class FakeFcitx5ControllerObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.fcitx.Fcitx.Controller1")

public:
    int m_state = 1;
    bool m_silent = false;
    mutable QMutex m_mutex;

public slots:
    Q_SCRIPTABLE int State() {
        QMutexLocker lock(&m_mutex);
        if (m_silent)
            setDelayedReply(true); // and never reply: the caller runs into its timeout
        return m_state;
    }
    // As fcitx5 does, only an input context that has the focus is switched on.
    Q_SCRIPTABLE void Activate() {
        if (m_state != 0)
            switchTo(2);
    }
    Q_SCRIPTABLE void Deactivate() { switchTo(1); }

private:
    void switchTo(int newState) {
        QMutexLocker lock(&m_mutex);
        if (m_silent)
            setDelayedReply(true);
        else
            m_state = newState;
    }
};

// A stand-in for fcitx5 on a (private) bus: owns fcitx5's service name and serves
// its controller object while published.
class FakeFcitx5Controller {
public:
    explicit FakeFcitx5Controller(const QString& busAddress)
        : m_address(busAddress) {
        m_object->moveToThread(&m_thread);
        m_thread.start();
    }
    ~FakeFcitx5Controller() {
        withdraw();
        m_thread.quit();
        m_thread.wait();
    }
    FakeFcitx5Controller(const FakeFcitx5Controller&) = delete;
    FakeFcitx5Controller& operator=(const FakeFcitx5Controller&) = delete;

    // Connects to the bus and takes the service name; false when either fails.
    bool publish() {
        bool published = false;
        QMetaObject::invokeMethod(
            m_object.get(),
            [&] {
                m_connectionName = QStringLiteral("fake-fcitx5-%1").arg(++m_connections);
                QDBusConnection bus = QDBusConnection::connectToBus(m_address, m_connectionName);
                published = bus.isConnected() &&
                            bus.registerObject(QStringLiteral("/controller"), m_object.get(),
                                               QDBusConnection::ExportScriptableSlots) &&
                            bus.registerService(QStringLiteral("org.fcitx.Fcitx5"));
            },
            Qt::BlockingQueuedConnection);
        return published;
    }

    // Leaves the bus, as fcitx5 does when it exits: the name and the object are gone.
    void withdraw() {
        if (m_connectionName.isEmpty())
            return;
        QMetaObject::invokeMethod(
            m_object.get(), [&] { QDBusConnection::disconnectFromBus(m_connectionName); },
            Qt::BlockingQueuedConnection);
        m_connectionName.clear();
    }

    void setState(int state) {
        QMutexLocker lock(&m_object->m_mutex);
        m_object->m_state = state;
    }
    int state() const {
        QMutexLocker lock(&m_object->m_mutex);
        return m_object->m_state;
    }
    // Keeps the service name but answers nothing any more.
    void setSilent(bool silent) {
        QMutexLocker lock(&m_object->m_mutex);
        m_object->m_silent = silent;
    }

private:
    QString m_address;
    QString m_connectionName;
    int m_connections = 0;
    QThread m_thread;
    std::unique_ptr<FakeFcitx5ControllerObject> m_object = std::make_unique<FakeFcitx5ControllerObject>();
};
