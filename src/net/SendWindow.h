#pragma once

#include <QWidget>

struct AppState;
class DatagramSocket;
class HostBrowser;
class QLabel;
class QListWidget;
class QPushButton;
class QWindow;

// The window in which the user checks the computers that AppState::NoteToSend goes
// to. It lists the computers that run the program, without this one, every time it
// becomes the program's active window again and on 最新情報に更新; 送信 sends and
// closes it. It deletes itself when closed.
class SendWindow : public QWidget {
    Q_OBJECT

public:
    SendWindow(AppState& state, DatagramSocket& socket, HostBrowser& browser);

    void refreshComputerList();
    void sendToCheckedComputers();

    QLabel* caption() const { return m_caption; }
    QListWidget* list() const { return m_list; }
    QPushButton* refreshButton() const { return m_refreshButton; }
    QPushButton* sendButton() const { return m_sendButton; }
    // Says why the list is empty when nothing on this computer can find others.
    QLabel* noBrowserNotice() const { return m_noBrowserNotice; }

private:
    void programWindowActivated(QWindow* window);

    AppState& m_state;
    DatagramSocket& m_socket;
    HostBrowser& m_browser;
    bool m_wasActive = false;
    QLabel* m_caption = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QPushButton* m_sendButton = nullptr;
    QLabel* m_noBrowserNotice = nullptr;
};
