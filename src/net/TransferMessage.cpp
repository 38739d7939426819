#include "net/TransferMessage.h"

#include "note/NoteWindow.h"
#include "platform/RichTextBox.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qsizetype kHeaderLength = 60;

QString field(qint64 value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// A number field: blanks around, an optional sign, digits only, within 32 bits.
std::optional<qint32> number(QStringView text) {
    text = text.trimmed();
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

QString BuildTransferMessage(qint32 width, qint32 height, qint32 colour, const QString& rtf) {
    // Every field keeps its width: sizes are never negative, a colour is 24 bits.
    width = std::max(width, 0);
    height = std::max(height, 0);
    colour &= kColourMask;
    const QChar colon = QLatin1Char(':');
    return QStringLiteral("PINOR") + colon + QStringLiteral("FORMSEND") + colon + field(width, 11) + colon +
           field(height, 11) + colon + field(colour, 8) + colon + field(rtf.size(), 11) + colon + rtf + colon;
}

QString BuildTransferMessage(const NoteWindow& note) {
    const QRectF box = note.geometryTwips();
    return BuildTransferMessage(qint32(std::lround(box.width())), qint32(std::lround(box.height())),
                                note.textBox()->backColor(), QString::fromLatin1(note.textBox()->textRTF()));
}

bool ReceivedFields::isNote() const {
    return signature == QLatin1String("PINOR") && command == QLatin1String("FORMSEND");
}

std::optional<ReceivedFields> ParseTransferMessage(const QString& text) {
    if (text.size() < kHeaderLength)
        return std::nullopt;
    const QStringView view(text);
    ReceivedFields fields;
    fields.signature = view.sliced(0, 5).toString();
    fields.command = view.sliced(6, 8).toString();
    const std::optional<qint32> width = number(view.sliced(15, 11));
    const std::optional<qint32> height = number(view.sliced(27, 11));
    const std::optional<qint32> colour = number(view.sliced(39, 8));
    const std::optional<qint32> length = number(view.sliced(48, 11));
    if (!width || !height || !colour || !length)
        return std::nullopt;
    fields.width = *width;
    fields.height = *height;
    fields.colour = *colour;
    fields.length = *length;
    fields.body = view.sliced(kHeaderLength).toString();
    return fields;
}
