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
    Label1 = new QLabel(QStringLiteral("ポート番号"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::toPixels(105, 120, 885, 195));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(Twips::toPixels(1065, 75, 1575, 270));
    Label2 = new QLabel(QStringLiteral("アドレスは設定の必要はありません。自動的に判定されます。"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setGeometry(Twips::toPixels(225, 600, 2325, 405));
    // The note takes more lines in today's Japanese fonts than the window gave it;
    // it grows downwards rather than being cut off.
    const int lacking = Label2->heightForWidth(Label2->width()) - Label2->height();
    if (lacking > 0) {
        Label2->resize(Label2->width(), Label2->height() + lacking);
        resize(width(), height() + lacking);
    }

    // Below: whose notes are received. Laid out by Qt, under what the window had.
    auto* receiving = new QWidget(this);
    auto* layout = new QVBoxLayout(receiving);
    layout->setContentsMargins(Twips::toPixelsX(105), 0, Twips::toPixelsX(105), Twips::toPixelsY(105));
    auto* caption = new QLabel(QStringLiteral("受け取る付箋紙"), receiving);
    ReceiveAll = new QRadioButton(QStringLiteral("すべてのコンピュータから受け取る"), receiving);
    ReceiveChosen = new QRadioButton(QStringLiteral("チェックしたコンピュータからだけ受け取る"), receiving);
    ChosenList = new QListWidget(receiving);
    ReceiveNone = new QRadioButton(QStringLiteral("受け取らない（このコンピュータを知らせない）"), receiving);
    ReceiveAll->setObjectName(QStringLiteral("ReceiveAll"));
    ReceiveChosen->setObjectName(QStringLiteral("ReceiveChosen"));
    ReceiveNone->setObjectName(QStringLiteral("ReceiveNone"));
    ChosenList->setObjectName(QStringLiteral("ChosenList"));
    ChosenList->setFixedHeight(Twips::toPixelsY(1200));
    EmptyListNotice = AddListNotice(*ChosenList);
    EmptyListNotice->setObjectName(QStringLiteral("EmptyListNotice"));
    for (QWidget* w : std::initializer_list<QWidget*>{caption, ReceiveAll, ReceiveChosen, ChosenList, ReceiveNone})
        layout->addWidget(w);
    connect(ReceiveChosen, &QRadioButton::toggled, ChosenList, &QWidget::setEnabled);
    const int top = Label2->geometry().bottom() + Twips::toPixelsY(120);
    const int wide = std::max(width(), layout->sizeHint().width());
    receiving->setGeometry(0, top, wide, layout->sizeHint().height());
    // A fixed size also tells the window manager that there is nothing to maximise.
    setFixedSize(wide, receiving->geometry().bottom() + 1);
}

void NetworkSettingsWindow::showReceiving() {
    using Receiving = AppState::Receiving;
    ReceiveAll->setChecked(m_state.ReceiveMode == Receiving::FromEveryone);
    ReceiveChosen->setChecked(m_state.ReceiveMode == Receiving::FromChosen);
    ReceiveNone->setChecked(m_state.ReceiveMode == Receiving::FromNobody);
    ChosenList->setEnabled(ReceiveChosen->isChecked());
    QStringList names = m_browser ? m_browser->hostNames() : QStringList();
    for (const QString& chosen : std::as_const(m_state.ReceiveFrom))
        if (!names.contains(chosen, Qt::CaseInsensitive))
            names << chosen;
    ChosenList->clear();
    for (const QString& name : std::as_const(names)) {
        auto* item = new QListWidgetItem(name, ChosenList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(m_state.ReceiveFrom.contains(name, Qt::CaseInsensitive) ? Qt::Checked : Qt::Unchecked);
    }
    EmptyListNotice->setText(m_browser && m_browser->available()
                                 ? QStringLiteral("ピノラが動いているほかのコンピュータは、まだ見つかっていません。")
                                 : QStringLiteral("コンピュータを探すサービス（Avahi）が動いていないため、"
                                                  "コンピュータを一覧にできません。"));
    EmptyListNotice->setVisible(names.isEmpty());
}

void NetworkSettingsWindow::applyReceiving() {
    using Receiving = AppState::Receiving;
    const Receiving mode = ReceiveNone->isChecked()     ? Receiving::FromNobody
                           : ReceiveChosen->isChecked() ? Receiving::FromChosen
                                                        : Receiving::FromEveryone;
    QStringList chosen;
    for (int i = 0; i < ChosenList->count(); ++i)
        if (ChosenList->item(i)->checkState() == Qt::Checked)
            chosen << ChosenList->item(i)->text();
    if (mode == m_state.ReceiveMode && chosen == m_state.ReceiveFrom)
        return;
    m_state.ReceiveMode = mode;
    m_state.ReceiveFrom = chosen;
    emit receivingApplied();
}

void NetworkSettingsWindow::showWithPortNumber() {
    Text1->setText(QString::number(m_state.PortNumber));
    showReceiving();
    Twips::centreOnScreen(*this);
    show();
    raise();
    activateWindow();
}

void NetworkSettingsWindow::closeEvent(QCloseEvent* event) {
    const QString text = Text1->text();
    const qint32 port = portFromText(text);
    if (port == 0) {
        // While the program ends nobody is there to correct it; it is not applied.
        if (m_state.ShuttingDown)
            return;
        MessageBox::show(QStringLiteral("有効なポート番号を入力してください"), this);
        event->ignore();
        return;
    }
    if (!m_state.ShuttingDown)
        applyReceiving();
    const qint32 previous = m_state.PortNumber;
    const bool wasBound = m_socket.isBound();
    const bool bound = BindTransferSocket(m_socket, port);
    if (!bound && wasBound && port != previous && !m_state.ShuttingDown) {
        // The port in use until now is taken again: a port that cannot be had is no
        // reason to stop receiving. Nothing changes, the settings included.
        const QString reason = m_socket.errorString();
        if (BindTransferSocket(m_socket, previous)) {
            MessageBox::show(PortKeptMessage(port, reason, previous), this);
            return;
        }
    }
    m_state.PortNumber = port;
    emit portApplied(text, bound);
    if (!bound && !m_state.ShuttingDown)
        MessageBox::show(BindFailureMessage(port, m_socket.errorString()), this);
}
