#pragma once

#include <QtGlobal>

// What a drag of a note's content offers (DragDataFormat), as Windows numbered the
// clipboard formats: the rich-text control's RTF, or plain text.
namespace DragData {
constexpr qint16 RichText = -16639;
constexpr qint16 PlainText = 1;
} // namespace DragData
