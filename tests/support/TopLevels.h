#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QTest>
#include <QWidget>

// The application's top-level windows of one kind; only those on the screen when
// shownOnly is set.
template <typename Window>
QList<Window*> topLevels(bool shownOnly = false) {
    QList<Window*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && (!shownOnly || window->isVisible()))
            windows << window;
    return windows;
}

// Escape pressed in a window once it is the active one; true when that closed it.
inline bool closeWithEscape(QWidget* window) {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    const QPointer<QWidget> guard(window);
    QTest::keyClick(window, Qt::Key_Escape);
    return !guard || !guard->isVisible();
}
