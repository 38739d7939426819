#include "rtf/RtfFontTable.h"

#include "rtf/RtfFontNames.h"
#include "text/CodePage.h"

RtfFont& RtfFontTable::define(int index) {
    RtfFont& font = m_fonts[index];
    font = RtfFont{};
    return font;
}

const RtfFont* RtfFontTable::find(int index) const {
    const auto it = m_fonts.constFind(index);
    return it == m_fonts.cend() ? nullptr : &it.value();
}

RtfFont* RtfFontTable::find(int index) {
    const auto it = m_fonts.find(index);
    return it == m_fonts.end() ? nullptr : &it.value();
}

int RtfFontTable::codePageOf(int index, int documentCodePage) const {
    const RtfFont* font = find(index);
    if (!font)
        return documentCodePage;
    if (font->codePage > 0)
        return font->codePage;
    const int fromCharset = CodePage::codePageForCharset(font->charset);
    return fromCharset > 0 ? fromCharset : documentCodePage;
}

QStringList RtfFontTable::displayFamilies(int index) const {
    const RtfFont* font = find(index);
    if (!font || font->name.isEmpty())
        return {};
    QStringList families{font->name};
    if (!font->alternateName.isEmpty())
        families << font->alternateName;
    const QString fallback = RtfFontNames::fallbackFamily(font->name, font->charset, font->family);
    if (!fallback.isEmpty() && !families.contains(fallback))
        families << fallback;
    return families;
}
