#pragma once

#include <QAction>
#include <QMenu>

// Menu items that answer to their names, so that the forms connect to them and
// tests find them with findChild.
namespace MenuItems {

inline QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

inline QAction* addMark(QMenu* menu, const char* name, const QString& caption, bool checked) {
    QAction* action = addItem(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

// Both the submenu and the item that opens it answer to the item's name.
inline QMenu* addSubmenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name));
    return sub;
}

inline QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

} // namespace MenuItems
