#pragma once

#include "platform/AvahiQtPoll.h"
#include "platform/HostBrowser.h"

#include <QHash>

#include <memory>

struct AvahiClient;
struct AvahiEntryGroup;
struct AvahiServiceBrowser;

// The computers that run the program, found through the Avahi daemon: each copy
// publishes a DNS-SD service of kServiceType, and browsing for that type finds the
// others (and this one). It keeps up from start-up, and waits for a daemon that is
// not running yet.
class AvahiHostBrowser : public HostBrowser {
    Q_OBJECT

public:
    static constexpr const char* kServiceType = "_pinora._udp";

    explicit AvahiHostBrowser(QObject* parent = nullptr);
    ~AvahiHostBrowser() override;

    bool available() const override;
    QStringList hostNames() const override;
    QList<QHostAddress> addressesOf(const QString& name) const override;
    void publish(quint16 port) override;

    // "b.local" → "B".
    static QString computerName(const char* avahiHostName);

private:
    struct Instance; // one service as found on one interface and protocol

    void connectClient();
    static void onClientState(AvahiClient* client, int state, void* self);
    void startBrowsing();
    void stopBrowsing();
    void publishService();
    void found(const QString& name, const QString& key, const QHostAddress& address);
    void lost(const QString& key);

    AvahiQtPoll m_poll;
    AvahiClient* m_client = nullptr;
    AvahiServiceBrowser* m_browser = nullptr;
    AvahiEntryGroup* m_group = nullptr;
    quint16 m_port = 0;
    QString m_serviceName;
    bool m_running = false;
    QStringList m_names;                             // found and still there, in order
    QHash<QString, QString> m_nameOfInstance;        // instance key → name
    QHash<QString, QList<QHostAddress>> m_addresses; // name → addresses, kept after it goes
};
