#include "net/NoteReceiver.h"

#include "net/TransferMessage.h"
#include "note/AppState.h"
#include "note/NoteBuilder.h"
#include "platform/CodePage.h"
#include "platform/DatagramSocket.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"
#include "store/NoteFile.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>

#include <algorithm>

Q_LOGGING_CATEGORY(lcNet, "pinora.net", QtCriticalMsg)

namespace {

// A size from the network is nobody's promise: a window wider or higher than the
// largest screen, or of no size at all, is no note anybody can use.
QSizeF sensibleSize(qint32 width, qint32 height) {
    QSize largest;
    for (const QScreen* screen : QGuiApplication::screens())
        largest = largest.expandedTo(screen->availableGeometry().size());
    if (largest.isEmpty())
        largest = QSize(1024, 768);
    const double minimum = 15 * Twips::perPixelX();
    return QSizeF(std::clamp(double(width), minimum, Twips::fromPixelsX(largest.width())),
                  std::clamp(double(height), minimum, Twips::fromPixelsY(largest.height())));
}

} // namespace

bool BindTransferSocket(DatagramSocket& socket, qint32 port) {
    socket.Close();
    if (port < 1 || port > 65535) {
        qCWarning(lcNet) << "no port" << port << "to bind";
        return false;
    }
    socket.setRemotePort(quint16(port));
    return socket.Bind(quint16(port));
}

QString BindFailureMessage(qint32 port, const QString& reason) {
    const QString why = port < 1 || port > 65535
                            ? QStringLiteral("ポート番号は 1 から 65535 までです。")
                            : QStringLiteral("他のプログラムが使っているのかもしれません。（%1）").arg(reason);
    return QStringLiteral("ポート %1 で付箋紙を受け取る準備ができませんでした。%2\n"
                          "このままでは付箋紙を受け取れません。トレイメニューの「ネットワーク設定」で"
                          "別のポート番号を選んでください。")
        .arg(QString::number(port), why);
}

QString PortKeptMessage(qint32 port, const QString& reason, qint32 kept) {
    return QStringLiteral("ポート %1 で付箋紙を受け取る準備ができませんでした。"
                          "他のプログラムが使っているのかもしれません。（%2）\n"
                          "これまでどおりポート %3 で受け取ります。")
        .arg(QString::number(port), reason, QString::number(kept));
}

FusenForm* CreateReceivedNote(AppState& state, const ReceivedFields& fields) {
    if (!fields.isNote())
        return nullptr;
    const QSizeF size = sensibleSize(fields.width, fields.height);
    // The body came off the wire as code page 932; as bytes again it is the RTF.
    return BuildReceivedNote(state, CodePage::encodeCp932(fields.body), fields.colour & kColourMask, size.width(),
                             size.height());
}

NoteReceiver::NoteReceiver(AppState& state, DatagramSocket& socket, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_socket(socket) {
    connect(&socket, &DatagramSocket::DataArrival, this, &NoteReceiver::Winsock1_DataArrival);
}

void NoteReceiver::Winsock1_DataArrival(qint64 bytesTotal) {
    if (m_state.ShuttingDown)
        return;
    if (bytesTotal == 1) {
        if (m_reportBox) {
            qCDebug(lcNet) << "another undelivered note while the message is open";
            return;
        }
        m_reportBox = MessageBox::notify(QStringLiteral("送信できなかったマシンがありました"));
        return;
    }
    const QString sender = m_socket.RemoteHostIP();
    if (!roomForAnother(sender))
        return; // dropped unread
    const std::optional<ReceivedFields> fields = ParseTransferMessage(m_socket.GetData());
    if (fields && CreateReceivedNote(m_state, *fields))
        m_accepted.append({m_state.Now(), sender});
    else
        qCInfo(lcNet) << "dropped a datagram of" << bytesTotal << "bytes from" << sender << "that is no note";
}

bool NoteReceiver::roomForAnother(const QString& sender) {
    const QDateTime now = m_state.Now();
    while (!m_accepted.isEmpty() && m_accepted.first().at.secsTo(now) >= 60)
        m_accepted.removeFirst();
    const auto fromSender = std::count_if(m_accepted.cbegin(), m_accepted.cend(),
                                          [&sender](const Accepted& a) { return a.sender == sender; });
    const bool full = m_accepted.size() >= kNotesPerMinute || fromSender >= kNotesPerSenderPerMinute;
    const bool noSlot = m_state.NoteCount >= NoteFile::kMaxNotes;
    if (!full && !noSlot)
        return true;
    qCInfo(lcNet) << "dropped a note from" << sender << "-" << (noSlot ? "no slot left" : "too many in a minute");
    // Told once per burst: a burst ends with a minute without drops.
    const bool tell = !m_lastDrop.isValid() || m_lastDrop.secsTo(now) >= 60;
    m_lastDrop = now;
    if (tell)
        MessageBox::notify(noSlot ? QStringLiteral("付箋紙の数が上限に達しているため、ネットワークから届いた付箋紙を"
                                                   "受け取れませんでした。")
                                  : QStringLiteral("短い間にネットワークからたくさんの付箋紙が届いたため、"
                                                   "1 分間に %1 枚（1 台のコンピュータからは %2 枚）を超えた分は"
                                                   "受け取らずに捨てました。")
                                        .arg(kNotesPerMinute)
                                        .arg(kNotesPerSenderPerMinute));
    return false;
}
