#include "platform/HostDirectory.h"

#include <algorithm>

QString HostDirectory::displayName(const QString& hostName) {
    QString name = hostName.trimmed();
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    const QStringList labels = name.split(QLatin1Char('.'));
    if (labels.size() == 2 && labels.at(1).compare(QLatin1String("local"), Qt::CaseInsensitive) == 0)
        return labels.at(0).toUpper();
    return name.toUpper();
}

bool HostDirectory::found(const QString& instance, const QString& hostName, const QHostAddress& address, bool own) {
    const QStringList before = names();
    const QString name = displayName(hostName);
    const auto previous = m_instances.constFind(instance);
    const QString previousName = previous == m_instances.cend() ? QString() : previous->name;
    m_instances.insert(instance, {name, address, own});
    if (!own && !m_order.contains(name))
        m_order.append(name);
    if (!previousName.isEmpty() && previousName != name && currentAddresses(previousName).isEmpty())
        m_order.removeAll(previousName);
    m_last.insert(name, currentAddresses(name));
    return names() != before;
}

bool HostDirectory::lost(const QString& instance) {
    const QStringList before = names();
    const auto it = m_instances.constFind(instance);
    if (it == m_instances.cend())
        return false;
    const QString name = it->name;
    m_instances.erase(it);
    if (currentAddresses(name).isEmpty())
        m_order.removeAll(name);
    else
        m_last.insert(name, currentAddresses(name));
    return names() != before;
}

void HostDirectory::clear() {
    m_instances.clear();
    m_order.clear();
}

QStringList HostDirectory::names() const {
    QStringList listed;
    for (const QString& name : m_order) {
        const bool other = std::any_of(m_instances.cbegin(), m_instances.cend(),
                                       [&name](const Instance& i) { return i.name == name && !i.own; });
        if (other)
            listed << name;
    }
    return listed;
}

QList<QHostAddress> HostDirectory::currentAddresses(const QString& name) const {
    QList<QHostAddress> addresses;
    for (const Instance& instance : m_instances)
        if (instance.name == name && !addresses.contains(instance.address))
            addresses << instance.address;
    // IPv4 first, as IPv6 link-local addresses need their interface to be reached; the
    // order is the same whatever order the instances were found in.
    std::sort(addresses.begin(), addresses.end(), [](const QHostAddress& a, const QHostAddress& b) {
        const bool a4 = a.protocol() == QAbstractSocket::IPv4Protocol;
        const bool b4 = b.protocol() == QAbstractSocket::IPv4Protocol;
        return a4 != b4 ? a4 : a.toString() < b.toString();
    });
    return addresses;
}

QList<QHostAddress> HostDirectory::addressesOf(const QString& name) const {
    const QList<QHostAddress> now = currentAddresses(name);
    return now.isEmpty() ? m_last.value(name) : now;
}
