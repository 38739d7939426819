#pragma once

#include <QApplication>
#include <QList>
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
