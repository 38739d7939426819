#include "app/AppIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QSvgRenderer>

#include <array>

namespace {

// The sizes that trays and task switchers ask for, at scale 1 and 2; QIcon scales
// the nearest one for anything else.
constexpr std::array kSizes{16, 22, 24, 32, 40, 44, 48, 64, 96, 128, 256};
// A window's icon goes to the window system with every window, each note's too:
// the small sizes only (17 KB a window instead of 400). Task switchers and docks
// that want it larger take the installed theme icon.
constexpr std::array kWindowSizes{16, 22, 24, 32, 48};

struct Drawing {
    const char* resource;
    int gridSize;     // the size it was drawn for
    bool onPixelGrid; // drawn pixel by pixel for exactly that size
};

// Scaled down, the detailed drawing turns to mush; the smallest sizes have their
// own drawings on the pixel grid.
Drawing drawingFor(int size) {
    if (size < 22)
        return {":/pinora-16.svg", 16, true};
    if (size < 32)
        return {":/pinora-22.svg", 22, true};
    return {":/pinora.svg", 64, false};
}

QPixmap render(int size) {
    const Drawing drawing = drawingFor(size);
    // A pixel-grid drawing a little smaller than the size stays unscaled, centred
    // with a margin, rather than be blurred by a fractional scale.
    const bool keepGrid = drawing.onPixelGrid && size >= drawing.gridSize && size < drawing.gridSize + 4;
    const int drawn = keepGrid ? drawing.gridSize : size;
    const int margin = (size - drawn) / 2;

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QString::fromLatin1(drawing.resource));
    QPainter painter(&image);
    renderer.render(&painter, QRectF(margin, margin, drawn, drawn));
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

QIcon PinoraIcon() {
    QIcon icon;
    for (int size : kSizes)
        icon.addPixmap(render(size));
    return icon;
}

QIcon PinoraWindowIcon() {
    QIcon icon;
    for (int size : kWindowSizes)
        icon.addPixmap(render(size));
    return icon;
}
