#include "net/ReceiveNote.h"

#include "net/TransferMessage.h"
#include "note/NoteBuilder.h"
#include "platform/CodePage.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// A size from the network is nobody's promise: a window wider or higher than the
// largest screen, or of no size at all, is no note anybody can use.
QSizeF sensibleSize(qint32 width, qint32 height) {
    QSize largest;
    for (const QScreen* screen : QGuiApplication::screens())
        largest = largest.expandedTo(screen->availableGeometry().size());
    if (largest.isEmpty())
        largest = QSize(1024, 768);
    const double minimum = 15 * Twips::perPixelX();
    return QSizeF(std::clamp(double(width), minimum, Twips::fromPixelsX(largest.width())),
                  std::clamp(double(height), minimum, Twips::fromPixelsY(largest.height())));
}

} // namespace

FusenForm* CreateReceivedNote(AppState& state, const ReceivedFields& fields) {
    if (!fields.isNote())
        return nullptr;
    const QSizeF size = sensibleSize(fields.width, fields.height);
    // The body came off the wire as code page 932; as bytes again it is the RTF.
    return BuildReceivedNote(state, CodePage::encodeCp932(fields.body), fields.colour & kColourMask, size.width(),
                             size.height());
}
