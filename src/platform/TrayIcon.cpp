#include "platform/TrayIcon.h"

#include "platform/StatusWindowTrayIcon.h"
#include "platform/SystemTrayIcon.h"

#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent) {}

std::unique_ptr<TrayIcon> TrayIcon::create(const QIcon& icon, const QString& toolTip) {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return std::make_unique<SystemTrayIcon>(icon, toolTip);
    return std::make_unique<StatusWindowTrayIcon>(icon, toolTip);
}
