#pragma once

#include <QByteArray>
#include <QtGlobal>

// The saved form of one note, field for field as the data file holds it. The
// strings are kept as the bytes of the file: the RTF is ASCII by construction, and
// keeping bytes means a record read and written again is unchanged.
struct NoteRecord {
    qint32 Index = 0; // 1-based position among the saved notes
    qint32 Left = 0;  // window geometry in twips; note Height before Width
    qint32 Top = 0;
    qint32 Height = 0;
    qint32 Width = 0;
    qint32 BackColor = 0; // 0x00BBGGRR
    QByteArray TextRTF;
    QByteArray CreatedAt;       // Tag characters 12-28
    QByteArray VisibleFlag;     // Tag character 30
    QByteArray PlaceOnShowFlag; // Tag character 32

    bool operator==(const NoteRecord&) const = default;
};
