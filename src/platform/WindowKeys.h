#pragma once

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace WindowKeys {

// Escape closes the window, as it closes a dialog.
inline void closeOnEscape(QWidget& window) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);
}

} // namespace WindowKeys
