#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>

struct AppState;
struct ReceivedFields;
class DatagramSocket;
class NoteWindow;
class HostBrowser;

// Closes the socket, points both its ports at the port and binds it on every local
// address. False when the port is out of range or cannot be had.
bool BindTransferSocket(DatagramSocket& socket, qint32 port);

// What the user reads when the port cannot be had; reason is the system's word.
QString BindFailureMessage(qint32 port, const QString& reason);
// ... and when the port in use until now is kept instead.
QString PortKeptMessage(qint32 port, const QString& reason, qint32 kept);

// A new note from a received message, or nothing (nullptr) when its signature or
// command is not that of a note. The note keeps the sender's size as far as a
// screen of this computer can show it with room to spare, and says where it came
// from (origin) while the program runs.
NoteWindow* CreateReceivedNote(AppState& state, const ReceivedFields& fields, const QString& origin = {});

// Turns what arrives on the socket into notes, and reports of undelivered notes
// into the one message about them.
//
// Anybody on the network can send to the port, so what a burst can do is bounded:
// at most kNotesPerMinute notes come from the network in any minute (more than a
// room full of colleagues would send one person), and at most kNotesPerSenderPerMinute
// from any one address, so that one sender's flood leaves room for the others;
// further ones are dropped unread, logged with their sender, and the user is told
// once per burst. While the message about undelivered notes
// is open, further reports do not open another.
class NoteReceiver : public QObject {
    Q_OBJECT

public:
    static constexpr int kNotesPerMinute = 30;
    static constexpr int kNotesPerSenderPerMinute = 10;

    // The browser names senders and tells who is chosen when only chosen computers may send.
    NoteReceiver(AppState& state, DatagramSocket& socket, const HostBrowser* browser = nullptr,
                 QObject* parent = nullptr);

    void datagramArrived(qint64 bytesTotal);

private:
    bool allowed(const QString& sender, const QString& name) const;
    bool roomForAnother(const QString& sender);

    struct Accepted {
        QDateTime at;
        QString sender;
    };

    AppState& m_state;
    DatagramSocket& m_socket;
    const HostBrowser* m_browser;
    QList<Accepted> m_accepted; // within the last minute
    QDateTime m_lastDrop;
    QPointer<QWidget> m_reportBox;
};
