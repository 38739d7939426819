#pragma once

#include "platform/TrayIcon.h"

#include <memory>

class StatusWindow;

// Stands in for the notification area on a desktop that has none.
class StatusWindowTrayIcon : public TrayIcon {
    Q_OBJECT

public:
    StatusWindowTrayIcon(const QIcon& icon, const QString& toolTip, QObject* parent = nullptr);
    ~StatusWindowTrayIcon() override;

    void show() override;
    void hide() override;

    StatusWindow* window() const { return m_window.get(); }

private:
    // A top-level widget cannot be a QObject child of a non-widget, so it is owned here.
    std::unique_ptr<StatusWindow> m_window;
};
