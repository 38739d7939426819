#include "platform/DatagramSocket.h"

#include "text/CodePage.h"

QByteArray DatagramSocket::toWire(const QString& text) {
    return CodePage::encodeCp932(text);
}

DatagramSocket::SendResult DatagramSocket::SendData(const QString& text) {
    const QByteArray bytes = toWire(text);
    if (bytes.size() > kMaxDatagram)
        return SendResult::TooLarge;
    return sendBytes(m_remoteHost, m_remotePort, bytes);
}

QString DatagramSocket::GetData() {
    return CodePage::decodeCp932(readBytes());
}
