#include "platform/SystemTrayIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>

SystemTrayIcon::SystemTrayIcon(const QIcon& icon, const QString& toolTip, QObject* parent)
    : TrayIcon(parent)
    , m_icon(new QSystemTrayIcon(icon, this)) {
    // No context menu is set on purpose: the program pops up its own menu on
    // rightButtonDown, after it has brought itself to the front.
    m_icon->setToolTip(toolTip);
    connect(m_icon, &QSystemTrayIcon::activated, this, &SystemTrayIcon::onActivated);
}

void SystemTrayIcon::show() {
    m_icon->show();
}

void SystemTrayIcon::hide() {
    m_icon->hide();
}

bool SystemTrayIcon::withinDoubleClickInterval(const QElapsedTimer& since) const {
    return since.isValid() && since.elapsed() <= QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

void SystemTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // A StatusNotifierItem host reports every click as an activation and never a
        // double click, so two quick ones are taken as the double click here.
        if (withinDoubleClickInterval(m_lastTrigger)) {
            m_lastTrigger.invalidate();
            m_madeDoubleClick.start();
            emit leftDoubleClick();
        } else {
            m_lastTrigger.start();
            emit leftButtonDown();
        }
        break;
    case QSystemTrayIcon::DoubleClick:
        // An XEmbed tray reports the double click itself in place of the second
        // activation; a host that reports both must not give it twice.
        m_lastTrigger.invalidate();
        if (withinDoubleClickInterval(m_madeDoubleClick)) {
            m_madeDoubleClick.invalidate();
            break;
        }
        emit leftDoubleClick();
        break;
    case QSystemTrayIcon::Context:
        // The activation carries no position; the pointer is still over the icon.
        emit rightButtonDown(QCursor::pos());
        break;
    default:
        break;
    }
}
