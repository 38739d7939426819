#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

// What the store needs to know of a live note window. The note window implements
// it; the store stays free of widgets, and tests can hand it plain objects.
class NoteView {
public:
    virtual ~NoteView() = default;

    virtual QString tag() const = 0;
    // Window position and size in twips; fractions appear at odd DPI settings.
    virtual QRectF geometryTwips() const = 0;
    // Where the data file keeps the note: its window's geometry, unless the note is
    // shown away from a place that no screen shows today.
    virtual QRectF savedGeometryTwips() const { return geometryTwips(); }
    // The note colour, 0x00BBGGRR.
    virtual qint32 backColor() const = 0;
    virtual QByteArray textRtf() const = 0;
    // The note's text without formatting, lines ended by CR LF.
    virtual QString plainText() const = 0;
};
