#pragma once

#include "store/NoteView.h"

// A note as the store sees it, without a window.
struct FakeNote : NoteView {
    QString m_tag;
    QRectF m_geometry;
    qint32 m_backColor = 0;
    QByteArray m_rtf;
    QString m_text;

    QString tag() const override { return m_tag; }
    QRectF geometryTwips() const override { return m_geometry; }
    qint32 backColor() const override { return m_backColor; }
    QByteArray textRtf() const override { return m_rtf; }
    QString plainText() const override { return m_text; }
};
