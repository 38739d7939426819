#pragma once

#include "platform/AvahiQtPoll.h"
#include "platform/HostBrowser.h"
#include "platform/HostDirectory.h"

#include <QHash>

#include <memory>

struct AvahiClient;
struct AvahiEntryGroup;
struct AvahiServiceBrowser;
struct AvahiServiceResolver;

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

private:
    void connectClient();
    static void onClientState(AvahiClient* client, int state, void* self);
    void startBrowsing();
    void stopBrowsing();
    void publishService();
    void resolve(const QString& key, int interface, int protocol, const char* name, const char* type,
                 const char* domain);
    void resolved(const QString& key, const char* hostName, const QHostAddress& address, bool local);
    void lost(const QString& key);
    void changedIf(bool listChanged);

    AvahiQtPoll m_poll;
    AvahiClient* m_client = nullptr;
    AvahiServiceBrowser* m_browser = nullptr;
    AvahiEntryGroup* m_group = nullptr;
    quint16 m_port = 0;
    QString m_serviceName;
    bool m_running = false;
    // One resolver per service instance, kept while the instance is there: it answers
    // again when the instance's address changes.
    QHash<QString, AvahiServiceResolver*> m_resolvers;
    HostDirectory m_directory;
};
