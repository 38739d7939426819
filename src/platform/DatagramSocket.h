#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The program's one UDP socket, as the note transfer uses it: bound to one port on
// every local address, it sends a text as one datagram to a named computer at the
// same port and reports each waiting datagram on the event loop. Texts travel as
// code page 932 bytes, as Windows copies of the program send and expect them.
class DatagramSocket : public QObject {
    Q_OBJECT

public:
    enum class SendResult {
        Sent,
        Resolving,  // the name is being looked up; the datagram leaves when it is known
        TooLarge,   // more than one datagram can carry; nothing was sent
        Unresolved, // no address is known for the name
        Refused,    // the system did not take the datagram
        NotBound,
    };

    // The most a UDP datagram over IPv4 can carry.
    static constexpr qsizetype kMaxDatagram = 65507;

    using QObject::QObject;

    // Stops receiving; allowed in any state.
    virtual void close() = 0;
    // Closes, then binds to the port on every local address. False when the port
    // cannot be had; the reason is in errorString().
    virtual bool bind(quint16 port) = 0;
    virtual bool isBound() const = 0;
    virtual QString errorString() const = 0;

    void setRemoteHost(const QString& host) { m_remoteHost = host; }
    QString remoteHost() const { return m_remoteHost; }
    void setRemotePort(quint16 port) { m_remotePort = port; }
    quint16 remotePort() const { return m_remotePort; }

    // Sends the text to the remote host at the remote port as one datagram.
    SendResult send(const QString& text);
    // The waiting datagram as text; an empty text when none waits. A datagram that
    // the receiver of datagramArrived leaves unread is dropped after the event.
    QString receive();

    // Where the waiting (or last read) datagram came from; empty when nobody knows.
    QString senderAddress() const { return m_remoteHostIP; }

    // The bytes a text becomes on the network.
    static QByteArray toWire(const QString& text);

signals:
    // One datagram waits and holds that many bytes; 1 also stands for the report
    // that a datagram sent earlier could not be delivered.
    void datagramArrived(qint64 bytesTotal);

protected:
    virtual SendResult sendBytes(const QString& host, quint16 port, const QByteArray& bytes) = 0;
    virtual QByteArray readBytes() = 0;
    void setRemoteHostIP(const QString& address) { m_remoteHostIP = address; }

private:
    QString m_remoteHost;
    quint16 m_remotePort = 0;
    QString m_remoteHostIP;
};
