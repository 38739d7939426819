#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

enum class RtfFontFamily : std::uint8_t { Nil, Roman, Swiss, Modern, Script, Decor, Tech, Bidi };

struct RtfFont {
    QString name;
    QString alternateName; // {\*\falt ...}
    int charset = -1;      // -1: no \fcharset given
    int codePage = 0;      // \cpgN; 0: none given
    RtfFontFamily family = RtfFontFamily::Nil;
};

// The document's font table, keyed by the \fN numbers the document uses (which need not be
// contiguous).
class RtfFontTable {
public:
    RtfFont& define(int index);
    const RtfFont* find(int index) const;
    RtfFont* find(int index);

    // The code page of text in font index: the font's \cpg, else its character set's code page,
    // else (charset 1, none, or an unknown font) documentCodePage.
    int codePageOf(int index, int documentCodePage) const;

    // The families to display font index with: its own name first, so that it is what the writer
    // writes back, then an installed font of the same kind for names this system lacks.
    QStringList displayFamilies(int index) const;

private:
    QHash<int, RtfFont> m_fonts;
};

// Everything the header of a document defines that the body refers to by number.
struct RtfTables {
    RtfFontTable fonts;
    QList<QColor> colours; // an invalid QColor is the "auto" entry
    int defaultFont = 0;
};
