#pragma once

#include <QColor>

// Colours as the data file and the network carry them: 0x00BBGGRR.
namespace ColorValue {

inline QColor toQColor(qint32 value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

inline qint32 fromQColor(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

} // namespace ColorValue
