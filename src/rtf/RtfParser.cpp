#include "rtf/RtfParser.h"

#include <algorithm>
#include <string_view>

#include "rtf/RtfKeywords.h"
#include "text/CodePage.h"

namespace {

// Deeper groups than this share the state of the deepest saved one. Real documents stay far
// below it (Word's deepest are around 20).
constexpr std::size_t kMaxSavedGroups = 256;
// Rich-edit keeps at most 32 tab stops a paragraph.
constexpr qsizetype kMaxTabStops = 32;
// 1638 pt is the largest size rich-edit accepts.
constexpr int kMaxHalfPoints = 3276;

bool toggleValue(const RtfToken& token) {
    return !token.hasParameter || token.parameter != 0;
}

} // namespace

RtfParser::RtfParser(QByteArrayView input, RtfTables& tables, RtfDocumentBuilder& builder)
    : m_tokens(input)
    , m_tables(tables)
    , m_builder(builder) {}

void RtfParser::run() {
    while (!m_finished) {
        m_tokens.setCodePage(m_groups.empty() ? 0 : currentCodePage());
        const RtfToken token = m_tokens.next();
        if (token.kind == RtfToken::Kind::Text) {
            addBytes(token.bytes);
            continue;
        }
        if (token.kind == RtfToken::Kind::HexByte) {
            if (!consumeFallback())
                addBytes(QByteArrayView(reinterpret_cast<const char*>(&token.byte), 1));
            continue;
        }
        flushBytes();
        switch (token.kind) {
        case RtfToken::Kind::End:
            m_finished = true;
            break;
        case RtfToken::Kind::GroupOpen:
            m_fallbackToSkip = 0;
            openGroup();
            break;
        case RtfToken::Kind::GroupClose:
            m_fallbackToSkip = 0;
            closeGroup();
            break;
        case RtfToken::Kind::ControlWord:
            if (!consumeFallback())
                controlWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            if (!consumeFallback())
                controlSymbol(token.symbol);
            break;
        case RtfToken::Kind::Binary:
            if (!consumeFallback() && !m_groups.empty() && top().destination == Destination::Picture) {
                m_pictureNibble = -1;
                m_picture.data.append(token.bytes);
            }
            break;
        case RtfToken::Kind::Text:
        case RtfToken::Kind::HexByte:
            break;
        }
    }
    // An unterminated document ends with its innermost open group.
    if (!m_groups.empty())
        finishDocument();
}

void RtfParser::finishDocument() {
    resolveSurrogate();
    m_builder.finish(top().para, top().chars);
}

bool RtfParser::consumeFallback() {
    if (m_fallbackToSkip <= 0)
        return false;
    --m_fallbackToSkip;
    return true;
}

void RtfParser::openGroup() {
    m_ignorableNext = false;
    if (m_groups.empty()) {
        m_groups.push_back(Group{});
        return;
    }
    if (m_groups.size() >= kMaxSavedGroups) {
        ++m_overflowDepth;
        return;
    }
    Group child = top();
    child.uprCandidate = false;
    if (child.destination == Destination::Upr) {
        child.destination = Destination::Skip;
        child.uprCandidate = true;
    }
    m_groups.push_back(std::move(child));
}

void RtfParser::closeGroup() {
    m_ignorableNext = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_groups.empty())
        return;
    const Destination closing = top().destination;
    const Destination outer = m_groups.size() > 1 ? m_groups[m_groups.size() - 2].destination : Destination::Body;
    if (closing == Destination::FontTable)
        commitFontName();
    if (closing == Destination::FontAlternate && outer != Destination::FontAlternate) {
        if (RtfFont* font = m_tables.fonts.find(m_fontEntry))
            font->alternateName = m_fontAlternate.trimmed();
        m_fontAlternate.clear();
    }
    if (closing == Destination::Picture && outer != Destination::Picture)
        finishPicture();

    if (m_groups.size() == 1) {
        finishDocument();
        m_finished = true; // what follows the document's closing brace is not part of it
    }
    m_groups.pop_back();
}

void RtfParser::controlWord(const RtfToken& token) {
    if (m_groups.empty())
        return;
    const RtfKeyword keyword = RtfKeywords::lookup(token.name);
    const bool ignorable = std::exchange(m_ignorableNext, false);
    Group& group = top();
    const bool uprCandidate = std::exchange(group.uprCandidate, false);

    if (group.destination == Destination::Skip || group.destination == Destination::Upr) {
        if (keyword == RtfKeyword::Ud && uprCandidate)
            group.destination = group.uprOuter;
        return;
    }

    switch (keyword) {
    case RtfKeyword::FontTable:
    case RtfKeyword::ColorTable:
    case RtfKeyword::Picture:
    case RtfKeyword::FontAlternate:
    case RtfKeyword::ShapePicture:
    case RtfKeyword::Upr:
    case RtfKeyword::Ud:
    case RtfKeyword::SkippedDestination:
        destinationWord(keyword);
        return;
    default:
        break;
    }
    if (ignorable) {
        group.destination = Destination::Skip;
        return;
    }
    // Unicode escapes are text wherever text goes, font names included.
    if (keyword == RtfKeyword::UnicodeSkip) {
        group.unicodeSkip = std::clamp(token.parameter, 0, 16);
        return;
    }
    if (keyword == RtfKeyword::Unicode) {
        if (token.hasParameter) {
            emitUnicode(token.parameter);
            m_fallbackToSkip = group.unicodeSkip;
        }
        return;
    }

    switch (group.destination) {
    case Destination::FontTable:
        fontTableWord(keyword, token);
        return;
    case Destination::ColorTable:
        if (keyword == RtfKeyword::Red || keyword == RtfKeyword::Green || keyword == RtfKeyword::Blue) {
            const int value = std::clamp(token.parameter, 0, 255);
            (keyword == RtfKeyword::Red ? m_red : keyword == RtfKeyword::Green ? m_green : m_blue) = value;
            m_colourGiven = true;
        }
        return;
    case Destination::Picture:
        pictureWord(keyword, token);
        return;
    default:
        break;
    }

    switch (keyword) {
    case RtfKeyword::Ansi:
        m_documentCodePage = 1252;
        return;
    case RtfKeyword::Mac:
        m_documentCodePage = 10000;
        return;
    case RtfKeyword::Pc:
        m_documentCodePage = 437;
        return;
    case RtfKeyword::Pca:
        m_documentCodePage = 850;
        return;
    case RtfKeyword::AnsiCodePage:
        if (token.parameter > 0)
            m_documentCodePage = token.parameter;
        return;
    case RtfKeyword::DefaultFont:
        if (token.hasParameter)
            m_tables.defaultFont = token.parameter;
        return;
    default:
        formattingWord(keyword, token);
        return;
    }
}

void RtfParser::destinationWord(RtfKeyword keyword) {
    Group& group = top();
    switch (keyword) {
    case RtfKeyword::FontTable:
        group.destination = Destination::FontTable;
        m_fontEntry = -1;
        m_fontName.clear();
        break;
    case RtfKeyword::ColorTable:
        group.destination = Destination::ColorTable;
        m_tables.colours.clear();
        m_colourGiven = false;
        m_red = m_green = m_blue = 0;
        break;
    case RtfKeyword::Picture:
        group.destination = Destination::Picture;
        m_picture = RtfPicture{};
        m_pictureNibble = -1;
        break;
    case RtfKeyword::FontAlternate:
        group.destination =
            group.destination == Destination::FontTable ? Destination::FontAlternate : Destination::Skip;
        m_fontAlternate.clear();
        break;
    case RtfKeyword::ShapePicture:
    case RtfKeyword::Ud:
        break; // read as if the group were not there
    case RtfKeyword::Upr:
        group.uprOuter = group.destination;
        group.destination = Destination::Upr;
        break;
    default:
        group.destination = Destination::Skip;
        break;
    }
}

void RtfParser::fontTableWord(RtfKeyword keyword, const RtfToken& token) {
    if (keyword == RtfKeyword::Font) {
        commitFontName();
        m_fontEntry = token.parameter;
        m_tables.fonts.define(m_fontEntry);
        return;
    }
    RtfFont* font = m_tables.fonts.find(m_fontEntry);
    if (!font)
        return;
    switch (keyword) {
    case RtfKeyword::FontCharset:
        font->charset = token.parameter;
        break;
    case RtfKeyword::FontCodePage:
        font->codePage = std::max(0, token.parameter);
        break;
    case RtfKeyword::FamilyNil:
        font->family = RtfFontFamily::Nil;
        break;
    case RtfKeyword::FamilyRoman:
        font->family = RtfFontFamily::Roman;
        break;
    case RtfKeyword::FamilySwiss:
        font->family = RtfFontFamily::Swiss;
        break;
    case RtfKeyword::FamilyModern:
        font->family = RtfFontFamily::Modern;
        break;
    case RtfKeyword::FamilyScript:
        font->family = RtfFontFamily::Script;
        break;
    case RtfKeyword::FamilyDecor:
        font->family = RtfFontFamily::Decor;
        break;
    case RtfKeyword::FamilyTech:
        font->family = RtfFontFamily::Tech;
        break;
    case RtfKeyword::FamilyBidi:
        font->family = RtfFontFamily::Bidi;
        break;
    default:
        break;
    }
}

void RtfParser::pictureWord(RtfKeyword keyword, const RtfToken& token) {
    // The shown size is kept by the document; every other word describes the picture's
    // bytes and is written back with them as it was read.
    switch (keyword) {
    case RtfKeyword::PicWidthGoal:
        m_picture.goalWidth = std::max(0, token.parameter);
        return;
    case RtfKeyword::PicHeightGoal:
        m_picture.goalHeight = std::max(0, token.parameter);
        return;
    case RtfKeyword::PicScaleX:
        m_picture.scaleX = token.parameter;
        return;
    case RtfKeyword::PicScaleY:
        m_picture.scaleY = token.parameter;
        return;
    case RtfKeyword::PngBlip:
        m_picture.kind = RtfPicture::Kind::Png;
        break;
    case RtfKeyword::JpegBlip:
        m_picture.kind = RtfPicture::Kind::Jpeg;
        break;
    case RtfKeyword::OtherPictureKind:
        m_picture.kind = RtfPicture::Kind::Unsupported;
        break;
    default:
        break;
    }
    m_picture.header += '\\';
    m_picture.header.append(token.name.data(), qsizetype(token.name.size()));
    if (token.hasParameter)
        m_picture.header += QByteArray::number(token.parameter);
}

void RtfParser::formattingWord(RtfKeyword keyword, const RtfToken& token) {
    Group& group = top();
    RtfCharState& chars = group.chars;
    RtfParaState& para = group.para;
    const std::int32_t value = token.parameter;
    switch (keyword) {
    case RtfKeyword::Par:
        endParagraph();
        break;
    case RtfKeyword::Line:
        emitText(QStringView(u"\u2028"));
        break;
    case RtfKeyword::Tab:
    case RtfKeyword::Cell:
        emitText(u"\t");
        break;
    case RtfKeyword::EmDash:
        emitText(u"\u2014");
        break;
    case RtfKeyword::EnDash:
        emitText(u"\u2013");
        break;
    case RtfKeyword::Bullet:
        emitText(u"\u2022");
        break;
    case RtfKeyword::LeftQuote:
        emitText(u"\u2018");
        break;
    case RtfKeyword::RightQuote:
        emitText(u"\u2019");
        break;
    case RtfKeyword::LeftDoubleQuote:
        emitText(u"\u201C");
        break;
    case RtfKeyword::RightDoubleQuote:
        emitText(u"\u201D");
        break;
    case RtfKeyword::EmSpace:
        emitText(u"\u2003");
        break;
    case RtfKeyword::EnSpace:
        emitText(u"\u2002");
        break;
    case RtfKeyword::QmSpace:
        emitText(u"\u2005");
        break;
    case RtfKeyword::ZeroWidthJoiner:
        emitText(u"\u200D");
        break;
    case RtfKeyword::ZeroWidthNonJoiner:
        emitText(u"\u200C");
        break;
    case RtfKeyword::LtrMark:
        emitText(u"\u200E");
        break;
    case RtfKeyword::RtlMark:
        emitText(u"\u200F");
        break;

    case RtfKeyword::Plain:
        chars = RtfCharState{};
        break;
    case RtfKeyword::Font:
        if (token.hasParameter)
            chars.font = value;
        break;
    case RtfKeyword::FontSize:
        if (!token.hasParameter)
            chars.halfPoints = 24;
        else if (value > 0)
            chars.halfPoints = std::min(value, kMaxHalfPoints);
        break;
    case RtfKeyword::Bold:
        chars.bold = toggleValue(token);
        break;
    case RtfKeyword::Italic:
        chars.italic = toggleValue(token);
        break;
    case RtfKeyword::Underline:
        chars.underline = toggleValue(token) ? RtfUnderline::Single : RtfUnderline::None;
        break;
    case RtfKeyword::UnderlineDotted:
        chars.underline = toggleValue(token) ? RtfUnderline::Dotted : RtfUnderline::None;
        break;
    case RtfKeyword::UnderlineDashed:
        chars.underline = toggleValue(token) ? RtfUnderline::Dashed : RtfUnderline::None;
        break;
    case RtfKeyword::UnderlineWave:
        chars.underline = toggleValue(token) ? RtfUnderline::Wave : RtfUnderline::None;
        break;
    case RtfKeyword::UnderlineNone:
        chars.underline = RtfUnderline::None;
        break;
    case RtfKeyword::Strike:
        chars.strikeOut = toggleValue(token);
        break;
    case RtfKeyword::Hidden:
        chars.hidden = toggleValue(token);
        break;
    case RtfKeyword::ForeColour:
        chars.foreground = std::max(0, value);
        break;
    case RtfKeyword::BackColour:
        chars.background = std::max(0, value);
        break;
    case RtfKeyword::Superscript:
        chars.vertical = RtfVerticalPosition::Superscript;
        break;
    case RtfKeyword::Subscript:
        chars.vertical = RtfVerticalPosition::Subscript;
        break;
    case RtfKeyword::NoSuperSub:
        chars.vertical = RtfVerticalPosition::Normal;
        break;

    case RtfKeyword::Pard:
        para = RtfParaState{};
        break;
    case RtfKeyword::AlignLeft:
        para.alignment = RtfAlignment::Left;
        break;
    case RtfKeyword::AlignCenter:
        para.alignment = RtfAlignment::Center;
        break;
    case RtfKeyword::AlignRight:
        para.alignment = RtfAlignment::Right;
        break;
    case RtfKeyword::AlignJustify:
        para.alignment = RtfAlignment::Justify;
        break;
    case RtfKeyword::LeftIndent:
        para.leftIndent = value;
        break;
    case RtfKeyword::RightIndent:
        para.rightIndent = value;
        break;
    case RtfKeyword::FirstIndent:
        para.firstIndent = value;
        break;
    case RtfKeyword::SpaceBefore:
        para.spaceBefore = std::max(0, value);
        break;
    case RtfKeyword::SpaceAfter:
        para.spaceAfter = std::max(0, value);
        break;
    case RtfKeyword::TabStop:
        if (value >= 0 && para.tabs.size() < kMaxTabStops)
            para.tabs.append({value, para.nextTabKind});
        para.nextTabKind = RtfTabKind::Left;
        break;
    case RtfKeyword::TabCenter:
        para.nextTabKind = RtfTabKind::Center;
        break;
    case RtfKeyword::TabRight:
        para.nextTabKind = RtfTabKind::Right;
        break;
    case RtfKeyword::TabDecimal:
        para.nextTabKind = RtfTabKind::Decimal;
        break;
    default:
        break;
    }
}

void RtfParser::controlSymbol(char symbol) {
    if (m_groups.empty())
        return;
    if (symbol == '*') {
        m_ignorableNext = true;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}': {
        const char16_t c = static_cast<char16_t>(symbol);
        emitText(QStringView(&c, 1));
        break;
    }
    case '~':
        emitText(u"\u00A0");
        break;
    case '-':
        emitText(u"\u00AD");
        break;
    case '_':
        emitText(u"\u2011");
        break;
    case '\n':
        if (top().destination == Destination::Body)
            endParagraph();
        break;
    default:
        break;
    }
}

void RtfParser::endParagraph() {
    if (top().destination != Destination::Body)
        return;
    resolveSurrogate();
    m_builder.endParagraph(top().para, top().chars);
}

void RtfParser::addBytes(QByteArrayView bytes) {
    if (m_groups.empty())
        return;
    while (m_fallbackToSkip > 0 && !bytes.isEmpty()) {
        bytes = bytes.sliced(1);
        --m_fallbackToSkip;
    }
    if (bytes.isEmpty())
        return;
    switch (top().destination) {
    case Destination::Skip:
    case Destination::Upr:
        return;
    case Destination::Picture:
        for (const char c : bytes) {
            const int nibble = RtfHexValue(c);
            if (nibble < 0)
                continue;
            if (m_pictureNibble < 0) {
                m_pictureNibble = nibble;
            } else {
                m_picture.data.append(static_cast<char>((m_pictureNibble << 4) | nibble));
                m_pictureNibble = -1;
            }
        }
        return;
    default:
        m_pendingBytes.append(bytes);
        return;
    }
}

void RtfParser::flushBytes() {
    if (m_pendingBytes.isEmpty())
        return;
    const int codePage = currentCodePage();
    QString text = decoder(codePage).decode(m_pendingBytes);
    m_pendingBytes.clear();
    // Rich-edit's bullets ({\pntext\f1\'b7\tab} in the Symbol font) are the Symbol font's bullet,
    // which Latin-1 would read as a middle dot.
    if (codePage == CodePage::kSymbolCodePage)
        text.replace(QChar(0x00B7), QChar(0x2022));
    emitText(text);
}

int RtfParser::currentCodePage() const {
    const Group& group = m_groups.back();
    if (group.destination == Destination::FontTable || group.destination == Destination::FontAlternate)
        return m_tables.fonts.codePageOf(m_fontEntry, m_documentCodePage);
    const int font = group.chars.font >= 0 ? group.chars.font : m_tables.defaultFont;
    return m_tables.fonts.codePageOf(font, m_documentCodePage);
}

QStringDecoder& RtfParser::decoder(int codePage) {
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end())
        it = m_decoders.emplace(codePage, CodePage::decoderForCodePage(codePage)).first;
    return it->second;
}

void RtfParser::emitUnicode(std::int32_t value) {
    if (value < 0)
        value += 0x10000;
    if (value < 0 || value > 0x10FFFF)
        return;
    if (value > 0xFFFF) {
        // Not what RTF asks for, but some writers put whole code points in \u.
        resolveSurrogate();
        const char32_t codePoint = static_cast<char32_t>(value);
        emitText(QString::fromUcs4(&codePoint, 1));
        return;
    }
    const char16_t unit = static_cast<char16_t>(value);
    if (QChar::isHighSurrogate(unit)) {
        resolveSurrogate();
        m_highSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (m_highSurrogate == 0) {
            emitText(u"\uFFFD");
            return;
        }
        const char16_t pair[2] = {std::exchange(m_highSurrogate, char16_t(0)), unit};
        emitText(QStringView(pair, 2));
        return;
    }
    emitText(QStringView(&unit, 1));
}

void RtfParser::resolveSurrogate() {
    if (m_highSurrogate == 0)
        return;
    m_highSurrogate = 0;
    emitText(u"\uFFFD");
}

void RtfParser::emitText(QStringView text) {
    if (text.isEmpty() || m_groups.empty())
        return;
    if (m_highSurrogate != 0 && !(text.size() == 2 && text.front().isHighSurrogate()))
        resolveSurrogate();
    Group& group = top();
    switch (group.destination) {
    case Destination::Body:
        if (!group.chars.hidden)
            m_builder.addText(text, group.chars);
        break;
    case Destination::FontTable:
        for (const QChar c : text) {
            if (c == u';')
                commitFontName();
            else
                m_fontName.append(c);
        }
        break;
    case Destination::FontAlternate:
        for (const QChar c : text) {
            if (c != u';')
                m_fontAlternate.append(c);
        }
        break;
    case Destination::ColorTable:
        for (const QChar c : text) {
            if (c == u';')
                commitColour();
        }
        break;
    default:
        break;
    }
}

void RtfParser::commitFontName() {
    const QString name = m_fontName.trimmed();
    m_fontName.clear();
    if (name.isEmpty())
        return;
    if (RtfFont* font = m_tables.fonts.find(m_fontEntry); font && font->name.isEmpty())
        font->name = name;
}

void RtfParser::commitColour() {
    m_tables.colours.append(m_colourGiven ? QColor(m_red, m_green, m_blue) : QColor());
    m_colourGiven = false;
    m_red = m_green = m_blue = 0;
}

void RtfParser::finishPicture() {
    m_builder.addPicture(m_picture, top().chars);
    m_picture = RtfPicture{};
}
