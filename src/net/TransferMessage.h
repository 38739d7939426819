#pragma once

#include <QString>

#include <optional>

class NoteWindow;

// The text that carries one note to another computer in one datagram:
//
//   PINOR:FORMSEND:<width 11>:<height 11>:<colour 8>:<length 11>:<RTF>:
//
// 61 + n characters for an RTF text of n characters; numbers are decimal and
// zero-padded; width and height in twips, the colour a 0x00BBGGRR value.

// The colour bits of a 0x00BBGGRR value.
constexpr qint32 kColourMask = 0x00FFFFFF;

// The message for a note of that size, colour and RTF text.
QString BuildTransferMessage(qint32 width, qint32 height, qint32 colour, const QString& rtf);
// The message for the note as it is now.
QString BuildTransferMessage(const NoteWindow& note);

// A received text cut at its fixed positions. The separators and the length are
// not checked; the body runs to the end of the text, trailing ":" included.
struct ReceivedFields {
    QString signature;
    QString command;
    qint32 width = 0;
    qint32 height = 0;
    qint32 colour = 0;
    qint32 length = 0;
    QString body;

    // Signature "PINOR" and command "FORMSEND", exactly.
    bool isNote() const;
};

// Nothing for a text shorter than the 60-character header or with a number field
// that does not hold a 32-bit number.
std::optional<ReceivedFields> ParseTransferMessage(const QString& text);
