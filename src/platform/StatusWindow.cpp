#include "platform/StatusWindow.h"

#include "platform/DeskWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

StatusWindow::StatusWindow(const QIcon& icon, QWidget* parent)
    : QWidget(parent, DeskWindow::kFlags | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_icon(icon) {
    setObjectName(QStringLiteral("StatusWindow"));
    // Showing it must not take the keyboard away from whatever the user is typing in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(sizeHint());
    moveToCorner();
}

void StatusWindow::setVisible(bool visible) {
    if (visible && !isVisible())
        DeskWindow::prepareToShow(*this);
    QWidget::setVisible(visible);
}

QSize StatusWindow::sizeHint() const {
    return QSize(kIconSize + 2 * kPadding, kIconSize + 2 * kPadding);
}

void StatusWindow::moveToCorner() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.right() + 1 - kScreenMargin - width(), area.bottom() + 1 - kScreenMargin - height());
}

void StatusWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    m_icon.paint(&painter, rect().adjusted(kPadding, kPadding, -kPadding, -kPadding));
}

void StatusWindow::mousePressEvent(QMouseEvent* event) {
    switch (event->button()) {
    case Qt::LeftButton:
        m_pressAt = event->globalPosition().toPoint();
        m_positionAtPress = pos();
        m_moving = false;
        emit leftButtonDown();
        break;
    case Qt::RightButton:
        emit rightButtonDown(event->globalPosition().toPoint());
        break;
    default:
        break;
    }
}

void StatusWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint travel = event->globalPosition().toPoint() - *m_pressAt;
    // A trembling hand on a click must not nudge the window.
    if (!m_moving && travel.manhattanLength() < QApplication::startDragDistance())
        return;
    m_moving = true;
    move(m_positionAtPress + travel);
}

void StatusWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressAt.reset();
        m_moving = false;
    }
}

void StatusWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt delivers the second press of a double click here instead of to
    // mousePressEvent: for the left button it is the double click and no press,
    // for the right button just another press.
    if (event->button() == Qt::LeftButton) {
        m_pressAt = event->globalPosition().toPoint();
        m_positionAtPress = pos();
        m_moving = false;
        emit leftDoubleClick();
    } else if (event->button() == Qt::RightButton) {
        emit rightButtonDown(event->globalPosition().toPoint());
    }
}

void StatusWindow::closeEvent(QCloseEvent* event) {
    // The window is the only way to reach the program; a window manager's close
    // must not take it away. The program removes it by destroying it.
    event->ignore();
}
