#pragma once

#include <QWidget>

struct AppState;
class DatagramSocket;
class QLabel;
class QLineEdit;

// True when every character of the text is an ASCII digit; an empty text too.
bool IsValidPort(const QString& text);

// The network settings window: the port on which notes are sent and received.
// Closing it applies the port in its box; a box that holds no port keeps it open.
class PortForm : public QWidget {
    Q_OBJECT

public:
    PortForm(AppState& state, DatagramSocket& socket);

    // The tray's ネットワーク設定: the port in use, in the middle of the screen.
    void showWithPortNumber();

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;

signals:
    // A port from the box is bound (or could not be) and in use; text as typed.
    void portApplied(const QString& text, bool bound);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& m_state;
    DatagramSocket& m_socket;
};
