#pragma once

#include <QtGlobal>

// MakeColor builds a 0x00BBGGRR colour value; each part is taken as a byte.
constexpr qint32 MakeColor(int red, int green, int blue) {
    return (red & 0xFF) + (green & 0xFF) * 256 + (blue & 0xFF) * 65536;
}

// The six note colours, in the order of the menus.
namespace NoteColor {
constexpr qint32 Yellow = MakeColor(255, 255, 152);
constexpr qint32 Green = MakeColor(152, 255, 184);
constexpr qint32 Blue = MakeColor(152, 176, 255);
constexpr qint32 Red = MakeColor(255, 144, 152);
constexpr qint32 Purple = MakeColor(255, 177, 255);
constexpr qint32 White = MakeColor(255, 255, 255);
} // namespace NoteColor

// The note window's own background, which shows nowhere the text box covers.
constexpr qint32 kNoteWindowBackground = MakeColor(255, 255, 128);
