#include "platform/DatagramSocket.h"

#include "text/CodePage.h"

QByteArray DatagramSocket::toWire(const QString& text) {
    return CodePage::encodeCp932(text);
}

DatagramSocket::SendResult DatagramSocket::send(const QString& text) {
    const QByteArray bytes = toWire(text);
    if (bytes.size() > kMaxDatagram)
        return SendResult::TooLarge;
    return sendBytes(m_remoteHost, m_remotePort, bytes);
}

QString DatagramSocket::receive() {
    return CodePage::decodeCp932(readBytes());
}
