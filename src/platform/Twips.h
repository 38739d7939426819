#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

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

// Puts a window in the middle of its screen, reckoned in twips as a form would.
inline void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int left = qRound(fromPixelsX(area.width())) / 2 - qRound(fromPixelsX(window.width())) / 2;
    const int top = qRound(fromPixelsY(area.height())) / 2 - qRound(fromPixelsY(window.height())) / 2;
    window.move(area.x() + toPixelsX(left), area.y() + toPixelsY(top));
}

// Shows a window above the others and active, in the middle of its screen when it
// was not showing yet.
inline void showCentredInFront(QWidget& window) {
    if (!window.isVisible())
        centreOnScreen(window);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace Twips
