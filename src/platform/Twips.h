#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

// Window geometry is kept in twips, 1440 to the logical inch; widgets take pixels.
namespace Twips {

inline double perPixelX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

inline double perPixelY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

inline int toPixelsX(double twips) {
    return qRound(twips / perPixelX());
}
inline int toPixelsY(double twips) {
    return qRound(twips / perPixelY());
}
// A rectangle given in twips, in pixels.
inline QRect toPixels(int left, int top, int width, int height) {
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}
inline double fromPixelsX(int pixels) {
    return pixels * perPixelX();
}
inline double fromPixelsY(int pixels) {
    return pixels * perPixelY();
}

} // namespace Twips
