#include "platform/StatusWindowTrayIcon.h"

#include "platform/StatusWindow.h"

StatusWindowTrayIcon::StatusWindowTrayIcon(const QIcon& icon, const QString& toolTip, QObject* parent)
    : TrayIcon(parent)
    , m_window(std::make_unique<StatusWindow>(icon)) {
    m_window->setToolTip(toolTip);
    connect(m_window.get(), &StatusWindow::leftButtonDown, this, &TrayIcon::leftButtonDown);
    connect(m_window.get(), &StatusWindow::leftDoubleClick, this, &TrayIcon::leftDoubleClick);
    connect(m_window.get(), &StatusWindow::rightButtonDown, this, &TrayIcon::rightButtonDown);
}

StatusWindowTrayIcon::~StatusWindowTrayIcon() = default;

void StatusWindowTrayIcon::show() {
    m_window->show();
    m_window->raise();
}

void StatusWindowTrayIcon::hide() {
    m_window->hide();
}
