#pragma once

#include <QObject>
#include <QPoint>

#include <memory>

class QIcon;
class QString;

// The program's one permanent presence on the screen: an icon that reports three
// mouse actions and nothing else. The program decides what they mean and pops up
// its own menu, so that it can bring itself forward first.
//
// A TrayIcon made with the public constructor shows nothing; tests emit its signals
// directly to stand in for the user.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(QObject* parent = nullptr);

    // The desktop's notification area when it has one, otherwise a small status
    // window of our own that answers the same mouse actions.
    static std::unique_ptr<TrayIcon> create(const QIcon& icon, const QString& toolTip);

    virtual void show() {}
    virtual void hide() {}

signals:
    // A press of the left button. The second press of a double click reports
    // leftDoubleClick() instead, so a single click is only known once no double
    // click has followed it.
    void leftButtonDown();
    void leftDoubleClick();
    void rightButtonDown(const QPoint& globalPos);
};
