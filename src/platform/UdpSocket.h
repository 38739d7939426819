#pragma once

#include "platform/DatagramSocket.h"

#include <QHostAddress>
#include <QList>

#include <functional>

class QSocketNotifier;

// The real socket: one non-blocking UDP socket on [::] with IPv4 mapped into it (or
// on 0.0.0.0 where the system has no IPv6). The system tells of a datagram that
// found nobody listening through an ICMP error, which an unconnected UDP socket
// only sees in its error queue; each such error becomes datagramArrived(1). So does a
// datagram that could not be sent at all (a name that does not resolve, a send the
// system refuses), since for the user it is just as undelivered.
class UdpSocket : public DatagramSocket {
    Q_OBJECT

public:
    // Addresses already known for a computer name; empty when none are, and the
    // name is then looked up through the system's resolver in the background.
    using Resolver = std::function<QList<QHostAddress>(const QString& name)>;

    explicit UdpSocket(Resolver resolver = {}, QObject* parent = nullptr);
    ~UdpSocket() override;

    void close() override;
    bool bind(quint16 port) override;
    bool isBound() const override { return m_fd >= 0; }
    QString errorString() const override { return m_error; }
    // The port actually bound (Bind(0) takes any free one).
    quint16 localPort() const;

    // A flood must not keep the event loop from everything else: after this many
    // datagrams the rest wait for the next turn of the loop.
    static constexpr int kDatagramsPerTurn = 32;

protected:
    SendResult sendBytes(const QString& host, quint16 port, const QByteArray& bytes) override;
    QByteArray readBytes() override;

private:
    void onReadable();
    int drainErrorQueue();
    void discardWaiting();
    SendResult sendTo(const QHostAddress& address, quint16 port, const QByteArray& bytes);
    void reportUndeliverable();

    Resolver m_resolver;
    int m_fd = -1;
    bool m_ipv6 = true;
    qint64 m_waiting = -1; // the size of the datagram announced and not read yet
    quint64 m_generation = 0;
    QSocketNotifier* m_notifier = nullptr;
    QString m_error;
};
