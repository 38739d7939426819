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
    Label1 = new QLabel(QStringLiteral("送信先コンピュータをチェックします"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::toPixels(165, 90, 3180, 180));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(Twips::toPixels(120, 345, 3285, 2790));
    NoBrowserLabel = AddListNotice(*List1, QStringLiteral("コンピュータを探すサービス（Avahi）が動いていないため、"
                                                          "送信先のコンピュータを一覧にできません。"));
    NoBrowserLabel->setObjectName(QStringLiteral("NoBrowserLabel"));
    Command1 = button(this, "Command1", QStringLiteral("最新情報に更新"), Twips::toPixels(210, 3240, 1395, 315));
    Command2 = button(this, "Command2", QStringLiteral("送信"), Twips::toPixels(1905, 3240, 1395, 315));
    setTabOrder(List1, Command1);
    setTabOrder(Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, &SendWindow::RefreshComputerList);
    connect(Command2, &QPushButton::clicked, this, &SendWindow::SendToCheckedComputers);
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
        RefreshComputerList();
    m_wasActive = ours;
}

void SendWindow::RefreshComputerList() {
    const QString ownName = QSysInfo::machineHostName().toUpper();
    List1->clear();
    for (const QString& name : m_browser.hostNames()) {
        if (name == ownName)
            continue;
        auto* item = new QListWidgetItem(name, List1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    NoBrowserLabel->setVisible(!m_browser.available());
    QStringList listed;
    for (int i = 0; i < List1->count(); ++i)
        listed << List1->item(i)->text();
    qCDebug(lcNet) << "computers listed:" << listed.join(QLatin1Char(','));
}

void SendWindow::SendToCheckedComputers() {
    int checked = 0;
    for (int i = 0; i < List1->count(); ++i)
        checked += List1->item(i)->checkState() == Qt::Checked;
    NoteWindow* note = m_state.NoteToSend;
    // A note peeled while this window was open has nothing left to send.
    if (note && !note->tag().isEmpty()) {
        qint16 sent = 0;
        for (int i = 0; i < List1->count() && sent < checked; ++i) {
            QListWidgetItem* item = List1->item(i);
            if (item->checkState() != Qt::Checked)
                continue;
            qCDebug(lcNet) << "sending to" << item->text();
            m_socket.setRemoteHost(item->text());
            const QString message = BuildTransferMessage(*note);
            if (m_socket.SendData(message) == DatagramSocket::SendResult::TooLarge) {
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
