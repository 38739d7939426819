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

#include <algorithm>

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
    return m_names;
}

QList<QHostAddress> AvahiHostBrowser::addressesOf(const QString& name) const {
    return m_addresses.value(name);
}

void AvahiHostBrowser::publish(quint16 port) {
    m_port = port;
    if (m_running)
        publishService();
}

QString AvahiHostBrowser::computerName(const char* avahiHostName) {
    return QString::fromUtf8(avahiHostName).section(QLatin1Char('.'), 0, 0).toUpper();
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
        browser->m_names.clear();
        browser->m_nameOfInstance.clear();
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
        [](AvahiServiceBrowser* b, AvahiIfIndex interface, AvahiProtocol protocol, AvahiBrowserEvent event,
           const char* name, const char* type, const char* domain, AvahiLookupResultFlags, void* self) {
            auto* browser = static_cast<AvahiHostBrowser*>(self);
            if (event == AVAHI_BROWSER_REMOVE) {
                browser->lost(instanceKey(interface, protocol, name, domain));
            } else if (event == AVAHI_BROWSER_NEW) {
                // The resolver frees itself once it has answered. Each instance is
                // resolved to an address of its own protocol, so a computer seen over
                // IPv4 is known by its IPv4 address and not only by a link-local one.
                if (!avahi_service_resolver_new(
                        avahi_service_browser_get_client(b), interface, protocol, name, type, domain, protocol,
                        AvahiLookupFlags(0),
                        [](AvahiServiceResolver* r, AvahiIfIndex interface, AvahiProtocol protocol,
                           AvahiResolverEvent event, const char* name, const char*, const char* domain,
                           const char* hostName, const AvahiAddress* address, uint16_t, AvahiStringList*,
                           AvahiLookupResultFlags, void* self) {
                            auto* browser = static_cast<AvahiHostBrowser*>(self);
                            if (event == AVAHI_RESOLVER_FOUND && address)
                                browser->found(computerName(hostName), instanceKey(interface, protocol, name, domain),
                                               toHostAddress(*address, interface));
                            else
                                qCInfo(lcBrowse) << "the service" << name << "did not resolve";
                            avahi_service_resolver_free(r);
                        },
                        self))
                    qCInfo(lcBrowse) << "cannot resolve" << name
                                     << avahi_strerror(avahi_client_errno(browser->m_client));
            } else if (event == AVAHI_BROWSER_FAILURE) {
                qCWarning(lcBrowse) << "browsing failed:" << avahi_strerror(avahi_client_errno(browser->m_client));
            }
        },
        this);
    if (!m_browser)
        qCWarning(lcBrowse) << "cannot browse:" << avahi_strerror(avahi_client_errno(m_client));
}

void AvahiHostBrowser::stopBrowsing() {
    // The client frees these itself when it goes; here it stays and reconnects.
    if (m_browser)
        avahi_service_browser_free(m_browser);
    if (m_group)
        avahi_entry_group_free(m_group);
    m_browser = nullptr;
    m_group = nullptr;
    m_names.clear();
    m_nameOfInstance.clear();
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

void AvahiHostBrowser::found(const QString& name, const QString& key, const QHostAddress& address) {
    qCDebug(lcBrowse) << "found" << name << "at" << address;
    m_nameOfInstance.insert(key, name);
    QList<QHostAddress>& addresses = m_addresses[name];
    if (!addresses.contains(address)) {
        // IPv4 addresses before IPv6 ones, which may need an interface to be
        // reached; otherwise in the order found.
        const auto firstV6 = std::find_if(addresses.begin(), addresses.end(), [](const QHostAddress& a) {
            return a.protocol() != QAbstractSocket::IPv4Protocol;
        });
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            addresses.insert(firstV6, address);
        else
            addresses.append(address);
    }
    if (!m_names.contains(name)) {
        m_names.append(name);
        emit changed();
    }
}

void AvahiHostBrowser::lost(const QString& key) {
    const QString name = m_nameOfInstance.take(key);
    if (name.isEmpty())
        return;
    for (const QString& other : std::as_const(m_nameOfInstance))
        if (other == name)
            return; // still found on another interface or protocol
    qCDebug(lcBrowse) << "lost" << name;
    m_names.removeAll(name);
    emit changed();
}
