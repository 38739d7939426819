#include "net/NoteReceiver.h"

#include "net/TransferMessage.h"
#include "note/AppState.h"
#include "note/NoteBuilder.h"
#include "note/NoteWindow.h"
#include "platform/DatagramSocket.h"
#include "platform/HostBrowser.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"
#include "store/NoteFile.h"
#include "text/CodePage.h"

#include <QGuiApplication>
#include <QLocale>
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
    // Room to spare on every side, so that any received note can be taken by its edge,
    // moved and peeled.
    constexpr int kMargin = 48;
    largest = largest.shrunkBy(QMargins(kMargin, kMargin, kMargin, kMargin)).expandedTo(QSize(15, 15));
    const double minimum = 15 * Twips::perPixelX();
    return QSizeF(std::clamp(double(width), minimum, Twips::fromPixelsX(largest.width())),
                  std::clamp(double(height), minimum, Twips::fromPixelsY(largest.height())));
}

} // namespace

bool BindTransferSocket(DatagramSocket& socket, qint32 port) {
    socket.close();
    if (port < 1 || port > 65535) {
        qCWarning(lcNet) << "no port" << port << "to bind";
        return false;
    }
    socket.setRemotePort(quint16(port));
    return socket.bind(quint16(port));
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

NoteWindow* CreateReceivedNote(AppState& state, const ReceivedFields& fields, const QString& origin) {
    if (!fields.isNote())
        return nullptr;
    const QSizeF size = sensibleSize(fields.width, fields.height);
    // The body came off the wire as code page 932; as bytes again it is the RTF.
    NoteWindow* note = BuildReceivedNote(state, CodePage::encodeCp932(fields.body), fields.colour & kColourMask,
                                         size.width(), size.height());
    if (note && !origin.isEmpty())
        note->setOrigin(QStringLiteral("送信元: %1\n受信: %2")
                            .arg(origin, QLocale::system().toString(state.now(), QLocale::ShortFormat)));
    return note;
}

NoteReceiver::NoteReceiver(AppState& state, DatagramSocket& socket, const HostBrowser* browser, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_socket(socket)
    , m_browser(browser) {
    connect(&socket, &DatagramSocket::datagramArrived, this, &NoteReceiver::datagramArrived);
}

void NoteReceiver::datagramArrived(qint64 bytesTotal) {
    if (m_state.shuttingDown)
        return;
    if (bytesTotal == 1) {
        if (m_reportBox) {
            qCDebug(lcNet) << "another undelivered note while the message is open";
            return;
        }
        m_reportBox = MessageBox::notify(QStringLiteral("送信できなかったマシンがありました"));
        return;
    }
    const QString sender = m_socket.senderAddress();
    const QString name = m_browser && !sender.isEmpty() ? m_browser->nameOf(QHostAddress(sender)) : QString();
    if (!allowed(sender, name) || !roomForAnother(sender))
        return; // dropped unread
    const std::optional<ReceivedFields> fields = ParseTransferMessage(m_socket.receive());
    const QString origin = name.isEmpty() ? sender : QStringLiteral("%1（%2）").arg(name, sender);
    if (fields && CreateReceivedNote(m_state, *fields, origin))
        m_accepted.append({m_state.now(), sender});
    else
        qCInfo(lcNet) << "dropped a datagram of" << bytesTotal << "bytes from" << sender << "that is no note";
}

bool NoteReceiver::allowed(const QString& sender, const QString& name) const {
    using Receiving = AppState::Receiving;
    const bool refused = m_state.receiveMode == Receiving::FromNobody ||
                         (m_state.receiveMode == Receiving::FromChosen &&
                          (name.isEmpty() || !m_state.receiveFrom.contains(name, Qt::CaseInsensitive)));
    if (refused)
        qCInfo(lcNet) << "refused a note from" << sender << name << "as the user chose";
    return !refused;
}

bool NoteReceiver::roomForAnother(const QString& sender) {
    const QDateTime now = m_state.now();
    while (!m_accepted.isEmpty() && m_accepted.first().at.secsTo(now) >= 60)
        m_accepted.removeFirst();
    const auto fromSender = std::count_if(m_accepted.cbegin(), m_accepted.cend(),
                                          [&sender](const Accepted& a) { return a.sender == sender; });
    const bool full = m_accepted.size() >= kNotesPerMinute || fromSender >= kNotesPerSenderPerMinute;
    const bool noSlot = m_state.noteCount >= NoteFile::kMaxNotes;
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
