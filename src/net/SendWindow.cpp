#include "net/SendWindow.h"

#include "net/TransferMessage.h"
#include "note/AppState.h"
#include "note/NoteWindow.h"
#include "platform/DatagramSocket.h"
#include "platform/HostBrowser.h"
#include "platform/ListNotice.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSysInfo>
#include <QWindow>

Q_DECLARE_LOGGING_CATEGORY(lcNet)

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
}

} // namespace

SendWindow::SendWindow(AppState& state, DatagramSocket& socket, HostBrowser& browser)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_state(state)
    , m_socket(socket)
    , m_browser(browser) {
    setObjectName(QStringLiteral("SendWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ピノラ"));
    resize(Twips::toPixelsX(3525), Twips::toPixelsY(3615));
    m_caption = new QLabel(QStringLiteral("送信先コンピュータをチェックします"), this);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setGeometry(Twips::toPixels(165, 90, 3180, 180));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setGeometry(Twips::toPixels(120, 345, 3285, 2790));
    m_noBrowserNotice = AddListNotice(*m_list, QStringLiteral("コンピュータを探すサービス（Avahi）が動いていないため、"
                                                              "送信先のコンピュータを一覧にできません。"));
    m_noBrowserNotice->setObjectName(QStringLiteral("noBrowserNotice"));
    m_refreshButton =
        button(this, "refreshButton", QStringLiteral("最新情報に更新"), Twips::toPixels(210, 3240, 1395, 315));
    m_sendButton = button(this, "sendButton", QStringLiteral("送信"), Twips::toPixels(1905, 3240, 1395, 315));
    setTabOrder(m_list, m_refreshButton);
    setTabOrder(m_refreshButton, m_sendButton);
    connect(m_refreshButton, &QPushButton::clicked, this, &SendWindow::refreshComputerList);
    connect(m_sendButton, &QPushButton::clicked, this, &SendWindow::sendToCheckedComputers);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &SendWindow::programWindowActivated);
    Twips::centreOnScreen(*this);
}

void SendWindow::programWindowActivated(QWindow* window) {
    // Another application taking the focus leaves none of ours active; coming back
    // from there is no new activation.
    if (!window)
        return;
    const bool ours = window == windowHandle();
    if (ours && !m_wasActive)
        refreshComputerList();
    m_wasActive = ours;
}

void SendWindow::refreshComputerList() {
    const QString ownName = QSysInfo::machineHostName().toUpper();
    m_list->clear();
    for (const QString& name : m_browser.hostNames()) {
        if (name == ownName)
            continue;
        auto* item = new QListWidgetItem(name, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_noBrowserNotice->setVisible(!m_browser.available());
    QStringList listed;
    for (int i = 0; i < m_list->count(); ++i)
        listed << m_list->item(i)->text();
    qCDebug(lcNet) << "computers listed:" << listed.join(QLatin1Char(','));
}

void SendWindow::sendToCheckedComputers() {
    int checked = 0;
    for (int i = 0; i < m_list->count(); ++i)
        checked += m_list->item(i)->checkState() == Qt::Checked;
    NoteWindow* note = m_state.noteToSend;
    // A note peeled while this window was open has nothing left to send.
    if (note && !note->tag().isEmpty()) {
        qint16 sent = 0;
        for (int i = 0; i < m_list->count() && sent < checked; ++i) {
            QListWidgetItem* item = m_list->item(i);
            if (item->checkState() != Qt::Checked)
                continue;
            qCDebug(lcNet) << "sending to" << item->text();
            m_socket.setRemoteHost(item->text());
            const QString message = BuildTransferMessage(*note);
            if (m_socket.send(message) == DatagramSocket::SendResult::TooLarge) {
                // The same note is too large for every destination: nothing went out.
                MessageBox::show(QStringLiteral("この付箋紙は大きすぎるため送信できません。\n"
                                                "送信できるのは %1 KB までですが、この付箋紙は %2 KB あります。"
                                                "画像などを減らしてから送信してください。")
                                     .arg(DatagramSocket::kMaxDatagram / 1024)
                                     .arg((DatagramSocket::toWire(message).size() + 1023) / 1024),
                                 this);
                break;
            }
            ++sent;
        }
    }
    close();
}
