#pragma once

#include <QByteArray>
#include <QtGlobal>

// The saved form of one note, field for field as the data file holds it. The
// strings are kept as the bytes of the file: the RTF is ASCII by construction, and
// keeping bytes means a record read and written again is unchanged.
struct NoteRecord {
    qint32 index = 0; // 1-based position among the saved notes
    qint32 left = 0;  // window geometry in twips; note height before width
    qint32 top = 0;
    qint32 height = 0;
    qint32 width = 0;
    qint32 backColor = 0; // 0x00BBGGRR
    QByteArray textRtf;
    QByteArray createdAt;       // Tag characters 12-28
    QByteArray visibleFlag;     // Tag character 30
    QByteArray placeOnShowFlag; // Tag character 32

    bool operator==(const NoteRecord&) const = default;
};
