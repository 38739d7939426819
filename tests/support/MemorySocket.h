#pragma once

#include "platform/DatagramSocket.h"
#include "platform/HostBrowser.h"

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QSet>

// A socket without a network: it keeps what is sent, and arrive() hands it a
// datagram as the real one would, with datagramArrived and then dropping what the
// handler left unread.
class MemorySocket : public DatagramSocket {
public:
    struct Sent {
        QString host;
        quint16 port;
        QByteArray bytes;
    };

    QList<Sent> sent;
    QList<quint16> bindings; // every Bind, in order
    QSet<quint16> portsInUse;
    bool bound = false;
    int unreadDropped = 0;

    void close() override { bound = false; }
    bool bind(quint16 port) override {
        bindings.append(port);
        bound = !portsInUse.contains(port);
        return bound;
    }
    bool isBound() const override { return bound; }
    QString errorString() const override { return bound ? QString() : QStringLiteral("Address already in use"); }

    void arrive(const QByteArray& bytes, const QString& sender = QStringLiteral("10.0.0.1")) {
        setRemoteHostIP(sender);
        m_waiting = bytes;
        m_hasWaiting = true;
        emit datagramArrived(bytes.size());
        if (m_hasWaiting)
            ++unreadDropped;
        m_hasWaiting = false;
    }

protected:
    SendResult sendBytes(const QString& host, quint16 port, const QByteArray& bytes) override {
        if (!bound)
            return SendResult::NotBound;
        sent.append({host, port, bytes});
        return SendResult::Sent;
    }
    QByteArray readBytes() override {
        if (!m_hasWaiting)
            return {};
        m_hasWaiting = false;
        return m_waiting;
    }

private:
    QByteArray m_waiting;
    bool m_hasWaiting = false;
};

// The computers of a network that exists only in the test.
class FixedHostBrowser : public HostBrowser {
public:
    bool running = true;
    QStringList names;
    QHash<QString, QList<QHostAddress>> addresses;
    quint16 published = 0;

    bool available() const override { return running; }
    QStringList hostNames() const override { return running ? names : QStringList(); }
    QList<QHostAddress> addressesOf(const QString& name) const override { return addresses.value(name); }
    void publish(quint16 port) override { published = port; }
};
