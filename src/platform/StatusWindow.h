#pragma once

#include <QIcon>
#include <QPoint>
#include <QWidget>

#include <optional>

// A small always-on-top window that shows the program's icon where the desktop has
// no notification area. It has no frame and no taskbar entry (see DeskWindow), sits in the
// bottom-right corner of the screen's work area and can be dragged elsewhere with
// the left button.
class StatusWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kIconSize = 32;
    static constexpr int kPadding = 4;
    static constexpr int kScreenMargin = 8;

    explicit StatusWindow(const QIcon& icon, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    void setVisible(bool visible) override;

    // Puts the window into the bottom-right corner of its screen's work area.
    void moveToCorner();

signals:
    void leftButtonDown();
    void leftDoubleClick();
    void rightButtonDown(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QIcon m_icon;
    // Where the left button went down, in global coordinates, and the window's
    // position then; set only while the left button is held.
    std::optional<QPoint> m_pressAt;
    QPoint m_positionAtPress;
    bool m_moving = false;
};
