#pragma once

#include "platform/TrayIcon.h"

#include <QElapsedTimer>
#include <QSystemTrayIcon>

// The icon in the desktop's notification area (StatusNotifierItem or XEmbed).
class SystemTrayIcon : public TrayIcon {
    Q_OBJECT

public:
    SystemTrayIcon(const QIcon& icon, const QString& toolTip, QObject* parent = nullptr);

    void show() override;
    void hide() override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    bool withinDoubleClickInterval(const QElapsedTimer& since) const;

    QSystemTrayIcon* m_icon;
    QElapsedTimer m_lastTrigger;     // valid while a second click would make a double click
    QElapsedTimer m_madeDoubleClick; // valid while Qt's own DoubleClick for it may still come
};
