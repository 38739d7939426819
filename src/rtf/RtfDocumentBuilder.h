#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include "rtf/RtfFontTable.h"
#include "rtf/RtfFormatState.h"

// A picture as \pict describes it. Sizes in twips; 0 when the document does not say.
struct RtfPicture {
    enum class Kind : std::uint8_t { Unsupported, Png, Jpeg };
    Kind kind = Kind::Unsupported;
    QByteArray header; // its control words other than the shown size, as read
    QByteArray data;
    int goalWidth = 0;
    int goalHeight = 0;
    int scaleX = 100; // percent
    int scaleY = 100;
};

// Writes what the parser reads into a document at a cursor: runs of text in a character state,
// paragraph ends, pictures.
//
// A paragraph end is kept pending until more content follows, so the \par that closes a
// document's last paragraph does not leave an empty paragraph behind: rich-edit writes one
// after every paragraph, the last included, and reads the last one as the end of the document.
class RtfDocumentBuilder {
public:
    RtfDocumentBuilder(QTextCursor& cursor, const RtfTables& tables);

    void addText(QStringView text, const RtfCharState& chars);
    void endParagraph(const RtfParaState& para, const RtfCharState& chars);
    void addPicture(const RtfPicture& picture, const RtfCharState& chars);
    void finish(const RtfParaState& para, const RtfCharState& chars);

private:
    void flushText();
    void openPendingParagraph(const RtfParaState& para, const RtfCharState& chars);
    void applyParagraph(const RtfParaState& para, const RtfCharState& chars);
    QTextCharFormat charFormat(const RtfCharState& chars);
    QTextBlockFormat blockFormat(const RtfParaState& para) const;
    QColor colour(int index) const;

    QTextCursor& m_cursor;
    const RtfTables& m_tables;
    QString m_text;
    RtfCharState m_textState;
    bool m_breakPending = false;
    // Paragraph formatting is applied only to paragraphs this read made (or found empty), so
    // that RTF inserted in the middle of a paragraph leaves that paragraph's layout alone.
    bool m_ownsBlock = false;

    RtfCharState m_cachedState;
    QTextCharFormat m_cachedFormat;
    bool m_hasCachedFormat = false;
};
