#include "note/NoteSurface.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>

NoteSurface::NoteSurface(QWidget* parent)
    : QLabel(parent) {
    setMouseTracking(true); // for the resize cursor at the edges
}

void NoteSurface::mousePressEvent(QMouseEvent* event) {
    emit pressed(event);
}

void NoteSurface::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event);
}

void NoteSurface::mouseReleaseEvent(QMouseEvent* event) {
    emit released(event);
}

void NoteSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked(event);
}

void NoteSurface::dragEnterEvent(QDragEnterEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void NoteSurface::dragMoveEvent(QDragMoveEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void NoteSurface::dropEvent(QDropEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit dropped(event->mimeData());
}
