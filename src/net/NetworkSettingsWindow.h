#pragma once

#include <QWidget>

struct AppState;
class DatagramSocket;
class HostBrowser;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

// True when every character of the text is an ASCII digit; an empty text too.
bool IsValidPort(const QString& text);

// The network settings window: the port on which notes are sent and received, and
// whose notes are received (every computer's, chosen computers' or nobody's).
// Closing it applies both; a box that holds no port keeps it open.
class NetworkSettingsWindow : public QWidget {
    Q_OBJECT

public:
    NetworkSettingsWindow(AppState& state, DatagramSocket& socket, const HostBrowser* browser = nullptr);

    // The tray's ネットワーク設定: the port in use, in the middle of the screen.
    void showWithPortNumber();

    QLabel* portCaption() const { return m_portCaption; }
    QLineEdit* portField() const { return m_portField; }
    QLabel* addressNote() const { return m_addressNote; }
    QRadioButton* receiveFromEveryone() const { return m_receiveFromEveryone; }
    QRadioButton* receiveFromChosen() const { return m_receiveFromChosen; }
    QRadioButton* receiveFromNobody() const { return m_receiveFromNobody; }
    // The computers on the network and those chosen before, checked when chosen.
    QListWidget* chosenList() const { return m_chosenList; }
    // Says why m_chosenList is empty, when it is.
    QLabel* emptyListNotice() const { return m_emptyListNotice; }

signals:
    // A port from the box is bound (or could not be) and in use; text as typed.
    void portApplied(const QString& text, bool bound);
    // Whose notes are received changed (AppState::ReceiveMode and ReceiveFrom).
    void receivingApplied();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showReceiving();
    void applyReceiving();

    AppState& m_state;
    DatagramSocket& m_socket;
    const HostBrowser* m_browser;
    QLabel* m_portCaption = nullptr;
    QLineEdit* m_portField = nullptr;
    QLabel* m_addressNote = nullptr;
    QRadioButton* m_receiveFromEveryone = nullptr;
    QRadioButton* m_receiveFromChosen = nullptr;
    QRadioButton* m_receiveFromNobody = nullptr;
    QListWidget* m_chosenList = nullptr;
    QLabel* m_emptyListNotice = nullptr;
};
