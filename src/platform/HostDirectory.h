#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// The computers a browse service has found, as the user picks them. Each service
// instance (one per interface and protocol) is known by the host it resolved to and
// its latest address; the entries are hosts, never merged across different host
// names, and this computer's own instances are known but not listed.
class HostDirectory {
public:
    // The name a host is listed under: an ordinary "bravo.local" is "BRAVO"; any
    // other host name ("bravo.office.local", "bravo.example.org") is listed whole, so
    // that no host can stand in for another by sharing its first label.
    static QString displayName(const QString& hostName);

    // An instance resolved (again). True when the listed names changed.
    bool found(const QString& instance, const QString& hostName, const QHostAddress& address, bool own);
    // An instance gone. True when the listed names changed.
    bool lost(const QString& instance);
    void clear();

    // The other computers, each once, in the order found.
    QStringList names() const;
    // Where a listed computer is now, IPv4 first; for one that has gone, where it was last.
    QList<QHostAddress> addressesOf(const QString& name) const;

private:
    struct Instance {
        QString name;
        QHostAddress address;
        bool own = false;
    };
    QList<QHostAddress> currentAddresses(const QString& name) const;

    QHash<QString, Instance> m_instances;
    QStringList m_order;                        // listed names in the order found
    QHash<QString, QList<QHostAddress>> m_last; // name → addresses when last seen
};
