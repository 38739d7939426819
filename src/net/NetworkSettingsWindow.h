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

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QRadioButton* ReceiveAll;
    QRadioButton* ReceiveChosen;
    QRadioButton* ReceiveNone;
    // The computers on the network and those chosen before, checked when chosen.
    QListWidget* ChosenList;
    // Says why ChosenList is empty, when it is.
    QLabel* EmptyListNotice;

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
};
