#include "net/NetworkSettingsWindow.h"

#include "net/NoteReceiver.h"
#include "note/AppState.h"
#include "platform/DatagramSocket.h"
#include "platform/HostBrowser.h"
#include "platform/ListNotice.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A port number from the box, or 0: the digits must also make a port.
qint32 portFromText(const QString& text) {
    if (text.isEmpty() || !IsValidPort(text) || text.size() > 10)
        return 0;
    const qint64 value = text.toLongLong();
    return value >= 1 && value <= 65535 ? qint32(value) : 0;
}

} // namespace

bool IsValidPort(const QString& text) {
    for (const QChar c : text) {
        if (!QStringLiteral("1234567890").contains(c))
            return false;
    }
    return true;
}

NetworkSettingsWindow::NetworkSettingsWindow(AppState& state, DatagramSocket& socket, const HostBrowser* browser)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_state(state)
    , m_socket(socket)
    , m_browser(browser) {
    setObjectName(QStringLiteral("NetworkSettingsWindow"));
    setWindowTitle(QStringLiteral("ネットワーク設定"));
    resize(Twips::toPixelsX(2760), Twips::toPixelsY(1080));
    m_portCaption = new QLabel(QStringLiteral("ポート番号"), this);
    m_portCaption->setObjectName(QStringLiteral("portCaption"));
    m_portCaption->setGeometry(Twips::toPixels(105, 120, 885, 195));
    m_portField = new QLineEdit(this);
    m_portField->setObjectName(QStringLiteral("portField"));
    m_portField->setGeometry(Twips::toPixels(1065, 75, 1575, 270));
    m_addressNote = new QLabel(QStringLiteral("アドレスは設定の必要はありません。自動的に判定されます。"), this);
    m_addressNote->setObjectName(QStringLiteral("addressNote"));
    m_addressNote->setWordWrap(true);
    m_addressNote->setGeometry(Twips::toPixels(225, 600, 2325, 405));
    // The note takes more lines in today's Japanese fonts than the window gave it;
    // it grows downwards rather than being cut off.
    const int lacking = m_addressNote->heightForWidth(m_addressNote->width()) - m_addressNote->height();
    if (lacking > 0) {
        m_addressNote->resize(m_addressNote->width(), m_addressNote->height() + lacking);
        resize(width(), height() + lacking);
    }

    // Below: whose notes are received. Laid out by Qt, under what the window had.
    auto* receiving = new QWidget(this);
    auto* layout = new QVBoxLayout(receiving);
    layout->setContentsMargins(Twips::toPixelsX(105), 0, Twips::toPixelsX(105), Twips::toPixelsY(105));
    auto* caption = new QLabel(QStringLiteral("受け取る付箋紙"), receiving);
    m_receiveFromEveryone = new QRadioButton(QStringLiteral("すべてのコンピュータから受け取る"), receiving);
    m_receiveFromChosen = new QRadioButton(QStringLiteral("チェックしたコンピュータからだけ受け取る"), receiving);
    m_chosenList = new QListWidget(receiving);
    m_receiveFromNobody = new QRadioButton(QStringLiteral("受け取らない（このコンピュータを知らせない）"), receiving);
    m_receiveFromEveryone->setObjectName(QStringLiteral("receiveFromEveryone"));
    m_receiveFromChosen->setObjectName(QStringLiteral("receiveFromChosen"));
    m_receiveFromNobody->setObjectName(QStringLiteral("receiveFromNobody"));
    m_chosenList->setObjectName(QStringLiteral("chosenList"));
    m_chosenList->setFixedHeight(Twips::toPixelsY(1200));
    m_emptyListNotice = AddListNotice(*m_chosenList);
    m_emptyListNotice->setObjectName(QStringLiteral("emptyListNotice"));
    for (QWidget* w : std::initializer_list<QWidget*>{caption, m_receiveFromEveryone, m_receiveFromChosen, m_chosenList,
                                                      m_receiveFromNobody})
        layout->addWidget(w);
    connect(m_receiveFromChosen, &QRadioButton::toggled, m_chosenList, &QWidget::setEnabled);
    const int top = m_addressNote->geometry().bottom() + Twips::toPixelsY(120);
    const int wide = std::max(width(), layout->sizeHint().width());
    receiving->setGeometry(0, top, wide, layout->sizeHint().height());
    // A fixed size also tells the window manager that there is nothing to maximise.
    setFixedSize(wide, receiving->geometry().bottom() + 1);
}

void NetworkSettingsWindow::showReceiving() {
    using Receiving = AppState::Receiving;
    m_receiveFromEveryone->setChecked(m_state.receiveMode == Receiving::FromEveryone);
    m_receiveFromChosen->setChecked(m_state.receiveMode == Receiving::FromChosen);
    m_receiveFromNobody->setChecked(m_state.receiveMode == Receiving::FromNobody);
    m_chosenList->setEnabled(m_receiveFromChosen->isChecked());
    QStringList names = m_browser ? m_browser->hostNames() : QStringList();
    for (const QString& chosen : std::as_const(m_state.receiveFrom))
        if (!names.contains(chosen, Qt::CaseInsensitive))
            names << chosen;
    m_chosenList->clear();
    for (const QString& name : std::as_const(names)) {
        auto* item = new QListWidgetItem(name, m_chosenList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(m_state.receiveFrom.contains(name, Qt::CaseInsensitive) ? Qt::Checked : Qt::Unchecked);
    }
    m_emptyListNotice->setText(m_browser && m_browser->available()
                                   ? QStringLiteral("ピノラが動いているほかのコンピュータは、まだ見つかっていません。")
                                   : QStringLiteral("コンピュータを探すサービス（Avahi）が動いていないため、"
                                                    "コンピュータを一覧にできません。"));
    m_emptyListNotice->setVisible(names.isEmpty());
}

void NetworkSettingsWindow::applyReceiving() {
    using Receiving = AppState::Receiving;
    const Receiving mode = m_receiveFromNobody->isChecked()   ? Receiving::FromNobody
                           : m_receiveFromChosen->isChecked() ? Receiving::FromChosen
                                                              : Receiving::FromEveryone;
    QStringList chosen;
    for (int i = 0; i < m_chosenList->count(); ++i)
        if (m_chosenList->item(i)->checkState() == Qt::Checked)
            chosen << m_chosenList->item(i)->text();
    if (mode == m_state.receiveMode && chosen == m_state.receiveFrom)
        return;
    m_state.receiveMode = mode;
    m_state.receiveFrom = chosen;
    emit receivingApplied();
}

void NetworkSettingsWindow::showWithPortNumber() {
    m_portField->setText(QString::number(m_state.portNumber));
    showReceiving();
    Twips::centreOnScreen(*this);
    show();
    raise();
    activateWindow();
}

void NetworkSettingsWindow::closeEvent(QCloseEvent* event) {
    const QString text = m_portField->text();
    const qint32 port = portFromText(text);
    if (port == 0) {
        // While the program ends nobody is there to correct it; it is not applied.
        if (m_state.shuttingDown)
            return;
        MessageBox::show(QStringLiteral("有効なポート番号を入力してください"), this);
        event->ignore();
        return;
    }
    if (!m_state.shuttingDown)
        applyReceiving();
    const qint32 previous = m_state.portNumber;
    const bool wasBound = m_socket.isBound();
    const bool bound = BindTransferSocket(m_socket, port);
    if (!bound && wasBound && port != previous && !m_state.shuttingDown) {
        // The port in use until now is taken again: a port that cannot be had is no
        // reason to stop receiving. Nothing changes, the settings included.
        const QString reason = m_socket.errorString();
        if (BindTransferSocket(m_socket, previous)) {
            MessageBox::show(PortKeptMessage(port, reason, previous), this);
            return;
        }
    }
    m_state.portNumber = port;
    emit portApplied(text, bound);
    if (!bound && !m_state.shuttingDown)
        MessageBox::show(BindFailureMessage(port, m_socket.errorString()), this);
}
