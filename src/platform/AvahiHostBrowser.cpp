#include "platform/AvahiHostBrowser.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>

#include <QLoggingCategory>
#include <QSysInfo>
#include <QTimer>
#include <QtEndian>

Q_LOGGING_CATEGORY(lcBrowse, "pinora.net.browse", QtCriticalMsg)

namespace {

QString instanceKey(AvahiIfIndex interface, AvahiProtocol protocol, const char* name, const char* domain) {
    return QStringLiteral("%1/%2/%3/%4")
        .arg(interface)
        .arg(protocol)
        .arg(QString::fromUtf8(name), QString::fromUtf8(domain));
}

QHostAddress toHostAddress(const AvahiAddress& a, AvahiIfIndex interface) {
    if (a.proto == AVAHI_PROTO_INET)
        return QHostAddress(qFromBigEndian(a.data.ipv4.address));
    QHostAddress address(a.data.ipv6.address);
    if (address.isLinkLocal())
        address.setScopeId(QString::number(interface));
    return address;
}

} // namespace

AvahiHostBrowser::AvahiHostBrowser(QObject* parent)
    : HostBrowser(parent) {
    connectClient();
}

void AvahiHostBrowser::connectClient() {
    int error = 0;
    // Without the daemon the client waits for it instead of failing.
    m_client = avahi_client_new(
        m_poll.api(), AVAHI_CLIENT_NO_FAIL,
        [](AvahiClient* c, AvahiClientState s, void* self) { onClientState(c, s, self); }, this, &error);
    if (!m_client)
        qCWarning(lcBrowse) << "no Avahi client:" << avahi_strerror(error);
}

AvahiHostBrowser::~AvahiHostBrowser() {
    if (m_client)
        avahi_client_free(m_client); // frees the browser, its resolvers and the group
}

bool AvahiHostBrowser::available() const {
    return m_running;
}

QStringList AvahiHostBrowser::hostNames() const {
    return m_directory.names();
}

QList<QHostAddress> AvahiHostBrowser::addressesOf(const QString& name) const {
    return m_directory.addressesOf(name);
}

void AvahiHostBrowser::publish(quint16 port) {
    m_port = port;
    if (port == 0 && m_group) {
        avahi_entry_group_reset(m_group);
        qCDebug(lcBrowse) << "withdrawn from the network";
    }
    if (m_running)
        publishService();
}

void AvahiHostBrowser::onClientState(AvahiClient* client, int state, void* self) {
    auto* browser = static_cast<AvahiHostBrowser*>(self);
    browser->m_client = client; // the callback runs before avahi_client_new returns
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        qCDebug(lcBrowse) << "Avahi is running";
        browser->m_running = true;
        browser->startBrowsing();
        browser->publishService();
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        if (browser->m_group)
            avahi_entry_group_reset(browser->m_group);
        break;
    case AVAHI_CLIENT_CONNECTING:
        qCInfo(lcBrowse) << "no Avahi daemon yet";
        browser->m_running = false;
        browser->stopBrowsing();
        break;
    case AVAHI_CLIENT_FAILURE:
        // The client is of no more use; a new one waits for the daemon again.
        qCInfo(lcBrowse) << "lost the Avahi daemon:" << avahi_strerror(avahi_client_errno(client));
        browser->m_running = false;
        browser->m_browser = nullptr;
        browser->m_group = nullptr;
        browser->m_resolvers.clear();
        browser->m_directory.clear();
        QTimer::singleShot(1000, browser, [browser] {
            avahi_client_free(browser->m_client);
            browser->m_client = nullptr;
            browser->connectClient();
        });
        break;
    }
    emit browser->changed();
}

void AvahiHostBrowser::startBrowsing() {
    if (m_browser)
        return;
    m_browser = avahi_service_browser_new(
        m_client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, kServiceType, nullptr, AvahiLookupFlags(0),
        [](AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol, AvahiBrowserEvent event,
           const char* name, const char* type, const char* domain, AvahiLookupResultFlags, void* self) {
            auto* browser = static_cast<AvahiHostBrowser*>(self);
            if (event == AVAHI_BROWSER_REMOVE)
                browser->lost(instanceKey(interface, protocol, name, domain));
            else if (event == AVAHI_BROWSER_NEW)
                browser->resolve(instanceKey(interface, protocol, name, domain), interface, protocol, name, type,
                                 domain);
            else if (event == AVAHI_BROWSER_FAILURE)
                qCWarning(lcBrowse) << "browsing failed:" << avahi_strerror(avahi_client_errno(browser->m_client));
        },
        this);
    if (!m_browser)
        qCWarning(lcBrowse) << "cannot browse:" << avahi_strerror(avahi_client_errno(m_client));
}

void AvahiHostBrowser::resolve(const QString& key, int interface, int protocol, const char* name, const char* type,
                               const char* domain) {
    if (AvahiServiceResolver* old = m_resolvers.take(key))
        avahi_service_resolver_free(old);
    // Each instance is resolved to an address of its own protocol, so a computer seen
    // over IPv4 is known by its IPv4 address and not only by a link-local one.
    AvahiServiceResolver* resolver = avahi_service_resolver_new(
        m_client, interface, protocol, name, type, domain, protocol, AvahiLookupFlags(0),
        [](AvahiServiceResolver* r, AvahiIfIndex interface, AvahiProtocol, AvahiResolverEvent event, const char* name,
           const char*, const char*, const char* hostName, const AvahiAddress* address, uint16_t, AvahiStringList*,
           AvahiLookupResultFlags flags, void* self) {
            auto* browser = static_cast<AvahiHostBrowser*>(self);
            const QString key = browser->m_resolvers.key(r);
            if (event == AVAHI_RESOLVER_FOUND && address && hostName) {
                browser->resolved(key, hostName, toHostAddress(*address, interface),
                                  flags & (AVAHI_LOOKUP_RESULT_LOCAL | AVAHI_LOOKUP_RESULT_OUR_OWN));
                return;
            }
            qCInfo(lcBrowse) << "the service" << name << "did not resolve";
            browser->m_resolvers.remove(key);
            avahi_service_resolver_free(r);
        },
        this);
    if (resolver)
        m_resolvers.insert(key, resolver);
    else
        qCInfo(lcBrowse) << "cannot resolve" << name << avahi_strerror(avahi_client_errno(m_client));
}

void AvahiHostBrowser::stopBrowsing() {
    // The client frees these itself when it goes; here it stays and reconnects.
    if (m_browser)
        avahi_service_browser_free(m_browser);
    if (m_group)
        avahi_entry_group_free(m_group);
    for (AvahiServiceResolver* resolver : std::as_const(m_resolvers))
        avahi_service_resolver_free(resolver);
    m_resolvers.clear();
    m_browser = nullptr;
    m_group = nullptr;
    m_directory.clear();
}

void AvahiHostBrowser::publishService() {
    if (!m_running || m_port == 0)
        return;
    if (!m_group) {
        m_group = avahi_entry_group_new(
            m_client,
            [](AvahiEntryGroup*, AvahiEntryGroupState state, void* self) {
                auto* browser = static_cast<AvahiHostBrowser*>(self);
                if (state == AVAHI_ENTRY_GROUP_COLLISION) {
                    // Another copy on another computer has the same service name.
                    char* other = avahi_alternative_service_name(browser->m_serviceName.toUtf8().constData());
                    browser->m_serviceName = QString::fromUtf8(other);
                    avahi_free(other);
                    browser->publishService();
                }
            },
            this);
        if (!m_group) {
            qCWarning(lcBrowse) << "cannot publish:" << avahi_strerror(avahi_client_errno(m_client));
            return;
        }
    }
    if (m_serviceName.isEmpty())
        m_serviceName = QStringLiteral("Pinora on %1").arg(QSysInfo::machineHostName());
    avahi_entry_group_reset(m_group);
    const int error = avahi_entry_group_add_service(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                    m_serviceName.toUtf8().constData(), kServiceType, nullptr, nullptr,
                                                    m_port, nullptr);
    if (error < 0 || avahi_entry_group_commit(m_group) < 0)
        qCWarning(lcBrowse) << "cannot publish:" << avahi_strerror(error < 0 ? error : avahi_client_errno(m_client));
    else
        qCDebug(lcBrowse) << "published" << m_serviceName << "at port" << m_port;
}

void AvahiHostBrowser::resolved(const QString& key, const char* hostName, const QHostAddress& address, bool local) {
    // This computer, by the flags Avahi gives its own services or by the host name it
    // publishes for it, whatever the system's host name looks like.
    const char* ownHost = avahi_client_get_host_name_fqdn(m_client);
    const bool own = local || (ownHost && qstricmp(ownHost, hostName) == 0);
    const QString host = QString::fromUtf8(hostName);
    qCDebug(lcBrowse).noquote() << QStringLiteral("found %1 (%2) at %3%4")
                                       .arg(HostDirectory::displayName(host), host, address.toString(),
                                            own ? QStringLiteral(", this computer") : QString());
    changedIf(m_directory.found(key, host, address, own));
}

void AvahiHostBrowser::lost(const QString& key) {
    if (AvahiServiceResolver* resolver = m_resolvers.take(key))
        avahi_service_resolver_free(resolver);
    changedIf(m_directory.lost(key));
}

void AvahiHostBrowser::changedIf(bool listChanged) {
    if (listChanged) {
        qCDebug(lcBrowse) << "computers:" << m_directory.names();
        emit changed();
    }
}
