#pragma once

#include "platform/ColorValue.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

// A small square of a note's colour, for lists of notes, with an edge that shows a
// white note on a white list.
inline QIcon ColorSwatch(qint32 backColor) {
    QPixmap pixmap(16, 16);
    pixmap.fill(ColorValue::toQColor(backColor));
    QPainter painter(&pixmap);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}
