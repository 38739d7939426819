#pragma once

#include "platform/ColorValue.h"

#include <QIcon>
#include <QPixmap>

// A small square of a note's colour, for lists of notes.
inline QIcon ColorSwatch(qint32 backColor) {
    QPixmap pixmap(16, 16);
    pixmap.fill(ColorValue::toQColor(backColor));
    return QIcon(pixmap);
}
