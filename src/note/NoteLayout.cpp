#include "note/NoteLayout.h"

#include "note/AppState.h"
#include "note/NoteSurface.h"
#include "note/NoteWindow.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "rtf/RtfFontNames.h"
#include "store/Tag.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

// The height of the 3-D edge the text box is fitted with, in pixels.
constexpr int kEdgePixels = 2;

// Clears Fitting however the fitting ends, or no note would save a resize again.
class FittingScope {
public:
    explicit FittingScope(AppState& state)
        : m_state(state) {
        m_state.fitting = true;
    }
    ~FittingScope() { m_state.fitting = false; }
    FittingScope(const FittingScope&) = delete;
    FittingScope& operator=(const FittingScope&) = delete;

private:
    AppState& m_state;
};

// How high a line of "漢字" stands in that font, in twips.
double lineHeightTwips(const QString& name, qreal size) {
    return QFontMetricsF(NoteFont(name, size)).height() * Twips::perPixelY();
}

} // namespace

QFont NoteFont(const QString& name, qreal points) {
    QFont font;
    font.setFamilies(RtfFontNames::displayFamilies(name));
    if (points > 0)
        font.setPointSizeF(points);
    return font;
}

void FitNoteToContent(AppState& state, NoteWindow& window, bool resizeWindow) {
    const FittingScope fitting(state);
    RichTextBox& box = *window.textBox();

    const int lines = box.lineCount();
    if (!state.loading)
        box.setTextOffset(0);
    const int n = box.textLength();

    // Walk the caret positions; a line is complete when the caret's line moves on,
    // and at the end. The font at a position is the one typing there would use.
    QList<double> lineHeights;
    QString maxName;
    qreal maxSize = 0;
    int previous = 1;
    auto completeLine = [&] {
        lineHeights.append(lineHeightTwips(maxName, maxSize));
        maxName.clear();
        maxSize = 0;
    };
    for (const RichTextBox::CaretStop& stop : box.caretWalk()) {
        const int current = 1 + stop.line;
        if (current > previous)
            completeLine();
        if (stop.font.size > maxSize) {
            maxName = stop.font.name;
            maxSize = stop.font.size;
        }
        previous = current;
    }
    completeLine();
    box.setSelStart(n);

    double sum = 0;
    for (int k = 0; k < lines && k < lineHeights.size(); ++k)
        sum += lineHeights.at(k);
    // Never less than the layout needs, so that nothing the note holds is cut off:
    // space around paragraphs, line spacing, tables and pictures are not lines.
    const double tppY = Twips::perPixelY();
    sum = std::max(sum, (box.layoutHeight() - kEdgePixels) * tppY);

    const double boxHeightTwips = kEdgePixels * tppY + sum;
    box.resize(box.width(), Twips::toPixelsY(boxHeightTwips));
    if (resizeWindow)
        window.resize(window.width(), Twips::toPixelsY(boxHeightTwips + 100));

    const double sumPx = sum / tppY;
    const double h = box.clientHeight();
    const double offset = h / 2 - sumPx / 2 - kEdgePixels / 2.0;
    box.setTextOffset(static_cast<int>(std::nearbyint(box.textOffset() + offset)));
}

void StretchTextBox(NoteWindow& window) {
    window.textBox()->setGeometry(0, 0, window.width(), window.height());
}

void StretchMouseSurface(NoteWindow& window) {
    window.mouseSurface()->setGeometry(0, 0, window.width(), window.height());
}

namespace {

// The square of the distance from a point to a rectangle, 0 inside it.
qint64 distanceSquared(const QPoint& p, const QRect& r) {
    const qint64 dx = p.x() < r.left() ? r.left() - p.x() : p.x() > r.right() ? p.x() - r.right() : 0;
    const qint64 dy = p.y() < r.top() ? r.top() - p.y() : p.y() > r.bottom() ? p.y() - r.bottom() : 0;
    return dx * dx + dy * dy;
}

} // namespace

QPoint PlaceOnAScreen(const QRect& window, const QList<QRect>& screens) {
    const QRect* nearest = nullptr;
    for (const QRect& area : screens) {
        if (area.intersects(window))
            return window.topLeft();
        if (!nearest || distanceSquared(window.center(), area) < distanceSquared(window.center(), *nearest))
            nearest = &area;
    }
    if (!nearest)
        return window.topLeft();
    // Wholly on that screen; a note larger than the screen shows its top-left corner.
    return QPoint(std::max(nearest->left(), std::min(window.left(), nearest->right() + 1 - window.width())),
                  std::max(nearest->top(), std::min(window.top(), nearest->bottom() + 1 - window.height())));
}

void ShowNote(NoteWindow& window) {
    QString tag = window.tag();
    if (tag.isEmpty() || !Tag::GetTagFlag(tag, Tag::kVisibleFlag))
        return;
    if (Tag::GetTagFlag(tag, Tag::kPlaceOnShowFlag)) {
        Tag::SetTagFlag(tag, Tag::kPlaceOnShowFlag, false);
        window.setTag(tag);
        const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
        const QRectF box = window.geometryTwips();
        const qint32 screenWidth = qRound(Twips::fromPixelsX(area.width()));
        const qint32 screenHeight = qRound(Twips::fromPixelsY(area.height()));
        const qint32 left = screenWidth / 2 - qint32(std::lround(box.width())) / 2;
        const qint32 top = screenHeight / 2 - qint32(std::lround(box.height())) / 2;
        window.moveTwips(left + Twips::fromPixelsX(area.x()), top + Twips::fromPixelsY(area.y()));
    }
    KeepOnScreens(window);
    window.show();
}

void KeepOnScreens(NoteWindow& window) {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (screens.isEmpty())
        return;
    QRect wanted = window.geometry();
    if (const std::optional<QPointF> saved = window.savedPlace())
        wanted.moveTopLeft(QPoint(Twips::toPixelsX(saved->x()), Twips::toPixelsY(saved->y())));
    const QPoint shown = PlaceOnAScreen(wanted, screens);
    if (shown == wanted.topLeft())
        window.forgetSavedPlace();
    else if (!window.savedPlace())
        window.keepSavedPlace(window.geometryTwips().topLeft());
    window.move(shown);
}

void KeepNotesOnScreens(const AppState& state) {
    for (qint32 i = 1; i <= state.noteCount; ++i) {
        if (NoteWindow* note = state.liveNote(i); note && note->isVisible())
            KeepOnScreens(*note);
    }
}

void ForceForeground(QWidget& window) {
    // Raised every time, so that a click on the tray brings every note up, not
    // only the first; the focus is taken only from another program.
    window.raise();
    if (QGuiApplication::applicationState() != Qt::ApplicationActive)
        window.activateWindow();
}

void ForceForegroundInOrder(const QList<QWidget*>& windows) {
    for (QWidget* window : windows)
        window->raise();
    if (!windows.isEmpty())
        ForceForeground(*windows.constLast());
}
