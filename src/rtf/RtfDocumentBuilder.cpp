#include "rtf/RtfDocumentBuilder.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

#include "rtf/RtfPictureOriginal.h"
#include "rtf/RtfUnits.h"

namespace {

// Pictures larger than this are not decoded: a note is no place for them, and a hostile
// header must not make the reader allocate gigabytes. They are kept all the same.
constexpr int kMaxPictureSide = 8192;
constexpr qint64 kMaxPicturePixels = 32LL * 1024 * 1024;
// A picture is decoded at no more than this many times the size it is shown at: sharp on a
// screen of twice the density, and a large picture shown small costs what it shows.
constexpr double kDecodeDensity = 2.0;
// The size of a picture that says neither how large it is shown nor can be decoded.
constexpr QSizeF kUnknownPictureSize(32, 32);

QImage decodePicture(const RtfPicture& picture, QSizeF shown) {
    if (picture.kind == RtfPicture::Kind::Unsupported)
        return {};
    QByteArray data = picture.data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, picture.kind == RtfPicture::Kind::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        qint64(size.width()) * size.height() > kMaxPicturePixels)
        return {};
    if (shown.isEmpty())
        shown = size;
    const QSize wanted = size.scaled((shown * kDecodeDensity).toSize(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (wanted.width() >= size.width() && wanted.height() >= size.height())
        return reader.read();
    if (picture.kind == RtfPicture::Kind::Jpeg) { // decodes straight to a smaller size
        reader.setScaledSize(wanted);
        return reader.read();
    }
    // PNG decodes whole (its reader's own scaling converts every pixel to 32 bits first), so
    // most of the way down is taken by sampling and only the last step is smooth.
    const QImage whole = reader.read();
    const QSize near = wanted * 4;
    const QImage sampled = whole.width() > near.width() && whole.height() > near.height()
                               ? whole.scaled(near, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                               : whole;
    return sampled.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// What stands in for a picture that cannot be shown: a pale frame of the picture's size.
QImage placeholder() {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0, 0, 0, 24));
    for (int i = 0; i < 16; ++i)
        for (const QPoint p : {QPoint(i, 0), QPoint(i, 15), QPoint(0, i), QPoint(15, i)})
            image.setPixelColor(p, QColor(0, 0, 0, 96));
    return image;
}

Qt::Alignment qtAlignment(RtfAlignment alignment) {
    switch (alignment) {
    case RtfAlignment::Center:
        return Qt::AlignHCenter;
    case RtfAlignment::Right:
        return Qt::AlignRight;
    case RtfAlignment::Justify:
        return Qt::AlignJustify;
    case RtfAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextOption::TabType qtTabType(RtfTabKind kind) {
    switch (kind) {
    case RtfTabKind::Center:
        return QTextOption::CenterTab;
    case RtfTabKind::Right:
        return QTextOption::RightTab;
    case RtfTabKind::Decimal:
        return QTextOption::DelimiterTab;
    case RtfTabKind::Left:
        break;
    }
    return QTextOption::LeftTab;
}

QFont::StyleHint styleHint(RtfFontFamily family) {
    switch (family) {
    case RtfFontFamily::Roman:
        return QFont::Serif;
    case RtfFontFamily::Swiss:
        return QFont::SansSerif;
    case RtfFontFamily::Modern:
        return QFont::TypeWriter;
    case RtfFontFamily::Script:
        return QFont::Cursive;
    case RtfFontFamily::Decor:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

QTextCharFormat::UnderlineStyle qtUnderline(RtfUnderline underline) {
    switch (underline) {
    case RtfUnderline::Single:
        return QTextCharFormat::SingleUnderline;
    case RtfUnderline::Dotted:
        return QTextCharFormat::DotLine;
    case RtfUnderline::Dashed:
        return QTextCharFormat::DashUnderline;
    case RtfUnderline::Wave:
        return QTextCharFormat::WaveUnderline;
    case RtfUnderline::None:
        break;
    }
    return QTextCharFormat::NoUnderline;
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextCursor& cursor, const RtfTables& tables)
    : m_cursor(cursor)
    , m_tables(tables) {
    m_cursor.removeSelectedText();
    m_ownsBlock = m_cursor.block().length() <= 1;
}

void RtfDocumentBuilder::addText(QStringView text, const RtfCharState& chars) {
    // Control characters other than the tab are not text a note can show or write back.
    const auto isControl = [](QChar c) { return (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F; };
    if (std::any_of(text.begin(), text.end(), isControl)) {
        QString clean = text.toString();
        clean.removeIf(isControl);
        if (!clean.isEmpty())
            addText(clean, chars);
        return;
    }
    if (text.isEmpty())
        return;
    if (m_breakPending || !(chars == m_textState)) {
        flushText();
        m_textState = chars;
    }
    // The paragraph opens with the formatting of its first text.
    if (m_breakPending)
        openPendingParagraph(RtfParaState{}, chars);
    m_text += text;
}

void RtfDocumentBuilder::flushText() {
    if (m_text.isEmpty())
        return;
    m_cursor.insertText(m_text, charFormat(m_textState));
    m_text.clear();
}

void RtfDocumentBuilder::openPendingParagraph(const RtfParaState& para, const RtfCharState& chars) {
    if (!m_breakPending)
        return;
    m_breakPending = false;
    m_cursor.insertBlock(blockFormat(para), charFormat(chars));
    m_ownsBlock = true;
}

void RtfDocumentBuilder::endParagraph(const RtfParaState& para, const RtfCharState& chars) {
    flushText();
    openPendingParagraph(para, chars);
    applyParagraph(para, chars);
    m_breakPending = true;
}

void RtfDocumentBuilder::applyParagraph(const RtfParaState& para, const RtfCharState& chars) {
    if (!m_ownsBlock)
        return;
    m_cursor.setBlockFormat(blockFormat(para));
    if (m_cursor.block().length() <= 1) // an empty paragraph's height comes from its mark's format
        m_cursor.setBlockCharFormat(charFormat(chars));
}

void RtfDocumentBuilder::addPicture(const RtfPicture& picture, const RtfCharState& chars) {
    if (picture.data.isEmpty())
        return;
    const auto scaled = [&](double length, int percent) { return length * std::clamp(percent, 1, 1000) / 100.0; };
    QSizeF shown(scaled(RtfUnits::fromTwips(picture.goalWidth), picture.scaleX),
                 scaled(RtfUnits::fromTwips(picture.goalHeight), picture.scaleY));
    // Decoded at its own size where the document does not say how large it is shown.
    QImage image = decodePicture(picture, shown);
    const QSizeF natural = image.isNull() ? kUnknownPictureSize : QSizeF(image.size());
    if (shown.width() <= 0)
        shown.setWidth(scaled(natural.width(), picture.scaleX));
    if (shown.height() <= 0)
        shown.setHeight(scaled(natural.height(), picture.scaleY));
    if (image.isNull())
        image = placeholder();
    flushText();
    openPendingParagraph(RtfParaState{}, chars);

    // Named after the content, so the same picture read twice shares one resource and two
    // reads into one document never clash.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(picture.header);
    hash.addData(picture.data);
    const QUrl name(QStringLiteral("rtf-image:") + QString::fromLatin1(hash.result().toHex()));
    QTextDocument& document = *m_cursor.document();
    document.addResource(QTextDocument::ImageResource, name, image);
    RtfPictureOriginal::keep(document, name, {picture.header, picture.data});

    QTextImageFormat format;
    format.merge(charFormat(chars));
    format.setName(name.toString());
    format.setWidth(shown.width());
    format.setHeight(shown.height());
    m_cursor.insertImage(format);
}

void RtfDocumentBuilder::finish(const RtfParaState& para, const RtfCharState& chars) {
    flushText();
    if (!m_breakPending)
        applyParagraph(para, chars);
}

QColor RtfDocumentBuilder::colour(int index) const {
    if (index < 0 || index >= m_tables.colours.size())
        return {};
    return m_tables.colours.at(index);
}

QTextCharFormat RtfDocumentBuilder::charFormat(const RtfCharState& chars) {
    if (m_hasCachedFormat && chars == m_cachedState)
        return m_cachedFormat;

    QTextCharFormat format;
    const int fontIndex = chars.font >= 0 ? chars.font : m_tables.defaultFont;
    const QStringList families = m_tables.fonts.displayFamilies(fontIndex);
    if (!families.isEmpty()) {
        format.setFontFamilies(families);
        if (const RtfFont* font = m_tables.fonts.find(fontIndex))
            format.setFontStyleHint(styleHint(font->family));
    }
    format.setFontPointSize(chars.halfPoints / 2.0);
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontStrikeOut(chars.strikeOut);
    format.setUnderlineStyle(qtUnderline(chars.underline));
    if (chars.vertical == RtfVerticalPosition::Superscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (chars.vertical == RtfVerticalPosition::Subscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (const QColor fg = colour(chars.foreground); fg.isValid())
        format.setForeground(fg);
    if (chars.background > 0) {
        if (const QColor bg = colour(chars.background); bg.isValid())
            format.setBackground(bg);
    }

    m_cachedState = chars;
    m_cachedFormat = format;
    m_hasCachedFormat = true;
    return format;
}

QTextBlockFormat RtfDocumentBuilder::blockFormat(const RtfParaState& para) const {
    QTextBlockFormat format;
    format.setAlignment(qtAlignment(para.alignment));
    if (para.leftIndent != 0)
        format.setLeftMargin(RtfUnits::fromTwips(para.leftIndent));
    if (para.rightIndent != 0)
        format.setRightMargin(RtfUnits::fromTwips(para.rightIndent));
    if (para.firstIndent != 0)
        format.setTextIndent(RtfUnits::fromTwips(para.firstIndent));
    if (para.spaceBefore != 0)
        format.setTopMargin(RtfUnits::fromTwips(para.spaceBefore));
    if (para.spaceAfter != 0)
        format.setBottomMargin(RtfUnits::fromTwips(para.spaceAfter));
    if (!para.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        tabs.reserve(para.tabs.size());
        for (const RtfTabStop& stop : para.tabs) {
            const QTextOption::TabType type = qtTabType(stop.kind);
            tabs.append(QTextOption::Tab(RtfUnits::fromTwips(stop.twips), type,
                                         type == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
        }
        std::sort(tabs.begin(), tabs.end(),
                  [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
        format.setTabPositions(tabs);
    }
    return format;
}
