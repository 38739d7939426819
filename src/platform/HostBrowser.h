#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QStringList>

// The computers of the local network that run the program, as a browse service
// finds them, and this computer's own entry in it.
class HostBrowser : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // False while there is no browse service to ask (no daemon running).
    virtual bool available() const = 0;
    // The computer names found so far, each once, in the order found: the host
    // name without its domain, upper-cased, as this computer's own name is compared.
    virtual QStringList hostNames() const = 0;
    // The addresses found for a name, also for one that has since gone.
    virtual QList<QHostAddress> addressesOf(const QString& name) const = 0;
    // Announces this copy of the program on the network at that port; port 0
    // withdraws the announcement.
    virtual void publish(quint16 port) = 0;

    // The listed computer that has this address now; empty when none has.
    QString nameOf(const QHostAddress& address) const {
        for (const QString& name : hostNames())
            if (addressesOf(name).contains(address))
                return name;
        return {};
    }

signals:
    void changed();
};
