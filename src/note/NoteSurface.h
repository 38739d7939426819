#pragma once

#include <QLabel>

class QMimeData;

// The mouse surface under a note's text: it covers the whole window and reports
// every press, move, release and double-click to the note.
class NoteSurface : public QLabel {
    Q_OBJECT

public:
    explicit NoteSurface(QWidget* parent = nullptr);

signals:
    void pressed(QMouseEvent* event);
    void moved(QMouseEvent* event);
    void released(QMouseEvent* event);
    void doubleClicked(QMouseEvent* event);
    // Something was dropped on the note; it is taken as a copy.
    void dropped(const QMimeData* data);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Every drop is welcome; the note decides afterwards what to take from it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
