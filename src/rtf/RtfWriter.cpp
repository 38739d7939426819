#include "rtf/RtfWriter.h"

#include "text/CodePage.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

#include "rtf/RtfFontNames.h"
#include "rtf/RtfPictureOriginal.h"
#include "rtf/RtfTextEncoder.h"
#include "rtf/RtfUnits.h"

namespace {

using CodePage::kShiftJisCharset;

struct WrittenFont {
    QString name;
    QFont::StyleHint hint = QFont::AnyStyle;
    bool shiftJis = false;
};

// The character properties the writer writes, as they stand in the output so far.
struct CharProps {
    int font = -1;
    int halfPoints = -1;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    QByteArray underline = "\\ulnone";
    QByteArray vertical = "\\nosupersub";
    int foreground = 0;
    int background = 0;
};

QString familyOf(const QTextCharFormat& format, const QFont& fallback) {
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    const QStringList defaults = fallback.families();
    return defaults.isEmpty() ? fallback.family() : defaults.first();
}

QByteArray underlineWord(const QTextCharFormat& format) {
    if (!format.fontUnderline())
        return "\\ulnone";
    switch (format.underlineStyle()) {
    case QTextCharFormat::DotLine:
        return "\\uld";
    case QTextCharFormat::DashUnderline:
    case QTextCharFormat::DashDotLine:
    case QTextCharFormat::DashDotDotLine:
        return "\\uldash";
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        return "\\ulwave";
    default:
        return "\\ul";
    }
}

QByteArray verticalWord(const QTextCharFormat& format) {
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        return "\\super";
    case QTextCharFormat::AlignSubScript:
        return "\\sub";
    default:
        return "\\nosupersub";
    }
}

QByteArray familyWord(QFont::StyleHint hint) {
    switch (hint) {
    case QFont::Serif:
        return "\\froman";
    case QFont::SansSerif:
        return "\\fswiss";
    case QFont::TypeWriter:
        return "\\fmodern";
    case QFont::Cursive:
        return "\\fscript";
    case QFont::Decorative:
        return "\\fdecor";
    default:
        return "\\fnil";
    }
}

QByteArray number(qint64 value) {
    return QByteArray::number(value);
}

QImage pictureOf(const QTextDocument& document, const QTextImageFormat& format) {
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.canConvert<QImage>() && resource.typeId() == QMetaType::QImage)
        return qvariant_cast<QImage>(resource);
    if (resource.typeId() == QMetaType::QPixmap)
        return qvariant_cast<QPixmap>(resource).toImage();
    if (resource.typeId() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return {};
}

class Writer {
public:
    explicit Writer(const QTextDocument& document)
        : m_document(document)
        , m_defaultFont(document.defaultFont()) {}

    QByteArray run();

private:
    void collectTables();
    int fontIndex(const QString& name);
    int colourIndex(const QColor& colour);
    void writeHeader();
    void writeParagraphProps(const QTextBlock& block);
    void writeCharProps(const QTextCharFormat& format);
    void writeWord(const QByteArray& word);
    void writeText(const QString& text, const QTextCharFormat& format);
    void writePicture(const QTextImageFormat& format);
    double pointSize(const QTextCharFormat& format) const;
    QColor foreground(const QTextCharFormat& format) const;
    QColor background(const QTextCharFormat& format) const;

    const QTextDocument& m_document;
    QFont m_defaultFont;
    RtfTextEncoder m_encoder;
    QList<WrittenFont> m_fonts;
    QList<QColor> m_colours; // entry 0, "auto", is not in the list
    QByteArray m_out;
    QByteArray m_paragraphProps;
    CharProps m_props;
    bool m_afterWord = false;
};

int Writer::fontIndex(const QString& name) {
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts.at(i).name == name)
            return int(i);
    }
    m_fonts.append({name, QFont::AnyStyle, RtfFontNames::isJapaneseFont(name)});
    return int(m_fonts.size() - 1);
}

int Writer::colourIndex(const QColor& colour) {
    const QRgb rgb = colour.rgb();
    for (qsizetype i = 0; i < m_colours.size(); ++i) {
        if (m_colours.at(i).rgb() == rgb)
            return int(i + 1);
    }
    m_colours.append(colour);
    return int(m_colours.size());
}

QColor Writer::foreground(const QTextCharFormat& format) const {
    if (!format.hasProperty(QTextFormat::ForegroundBrush))
        return {};
    const QBrush brush = format.foreground();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

QColor Writer::background(const QTextCharFormat& format) const {
    if (!format.hasProperty(QTextFormat::BackgroundBrush))
        return {};
    const QBrush brush = format.background();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

double Writer::pointSize(const QTextCharFormat& format) const {
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        return format.fontPointSize();
    return m_defaultFont.pointSizeF() > 0 ? m_defaultFont.pointSizeF() : 12.0;
}

void Writer::collectTables() {
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        // Only an empty paragraph writes its mark's format; elsewhere the text carries it.
        QList<QTextCharFormat> formats;
        if (block.length() <= 1)
            formats.append(block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            formats.append(format);
            const int index = fontIndex(familyOf(format, m_defaultFont));
            WrittenFont& font = m_fonts[index];
            if (format.hasProperty(QTextFormat::FontStyleHint) && font.hint == QFont::AnyStyle)
                font.hint = format.fontStyleHint();
            if (!font.shiftJis && m_encoder.hasShiftJisText(fragment.text()))
                font.shiftJis = true;
        }
        for (const QTextCharFormat& format : formats) {
            fontIndex(familyOf(format, m_defaultFont));
            if (const QColor fg = foreground(format); fg.isValid())
                colourIndex(fg);
            if (const QColor bg = background(format); bg.isValid())
                colourIndex(bg);
        }
    }
    if (m_fonts.isEmpty()) // \deff0 must name a font
        fontIndex(familyOf(QTextCharFormat(), m_defaultFont));
}

void Writer::writeHeader() {
    m_out += "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        const WrittenFont& font = m_fonts.at(i);
        m_out += "{\\f" + number(i) + familyWord(font.hint) + "\\fcharset" +
                 number(font.shiftJis ? kShiftJisCharset : 0) + ' ';
        bool afterWord = false;
        QString name = font.name;
        name.remove(u';');
        m_encoder.append(name, font.shiftJis, m_out, afterWord);
        m_out += ";}";
    }
    m_out += "}\r\n";
    if (!m_colours.isEmpty()) {
        m_out += "{\\colortbl ;";
        for (const QColor& colour : std::as_const(m_colours))
            m_out += "\\red" + number(colour.red()) + "\\green" + number(colour.green()) + "\\blue" +
                     number(colour.blue()) + ';';
        m_out += "}\r\n";
    }
    m_out += "{\\*\\generator Pinora;}\\viewkind4\\uc1";
}

void Writer::writeWord(const QByteArray& word) {
    m_out += word;
    m_afterWord = true;
}

void Writer::writeParagraphProps(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    QByteArray props;
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        props += "\\qc";
    else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        props += "\\qr";
    else if (alignment & Qt::AlignJustify)
        props += "\\qj";
    const auto length = [&props](const char* word, double units) {
        const int twips = RtfUnits::toTwips(units);
        if (twips != 0)
            props += word + number(twips);
    };
    length("\\li", format.leftMargin());
    length("\\ri", format.rightMargin());
    length("\\fi", format.textIndent());
    length("\\sb", format.topMargin());
    length("\\sa", format.bottomMargin());
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        if (tab.type == QTextOption::CenterTab)
            props += "\\tqc";
        else if (tab.type == QTextOption::RightTab)
            props += "\\tqr";
        else if (tab.type == QTextOption::DelimiterTab)
            props += "\\tqdec";
        props += "\\tx" + number(std::max(0, RtfUnits::toTwips(tab.position)));
    }
    if (block == m_document.begin() || props != m_paragraphProps)
        writeWord("\\pard" + props);
    m_paragraphProps = props;
}

void Writer::writeCharProps(const QTextCharFormat& format) {
    CharProps next;
    next.font = fontIndex(familyOf(format, m_defaultFont));
    next.halfPoints = qRound(pointSize(format) * 2);
    next.bold = format.fontWeight() > QFont::Medium;
    next.italic = format.fontItalic();
    next.strikeOut = format.fontStrikeOut();
    next.underline = underlineWord(format);
    next.vertical = verticalWord(format);
    const QColor fg = foreground(format);
    next.foreground = fg.isValid() ? colourIndex(fg) : 0;
    const QColor bg = background(format);
    next.background = bg.isValid() ? colourIndex(bg) : 0;

    if (next.font != m_props.font)
        writeWord("\\f" + number(next.font));
    if (next.halfPoints != m_props.halfPoints)
        writeWord("\\fs" + number(next.halfPoints));
    if (next.bold != m_props.bold)
        writeWord(next.bold ? "\\b" : "\\b0");
    if (next.italic != m_props.italic)
        writeWord(next.italic ? "\\i" : "\\i0");
    if (next.underline != m_props.underline)
        writeWord(next.underline);
    if (next.strikeOut != m_props.strikeOut)
        writeWord(next.strikeOut ? "\\strike" : "\\strike0");
    if (next.vertical != m_props.vertical)
        writeWord(next.vertical);
    if (next.foreground != m_props.foreground)
        writeWord("\\cf" + number(next.foreground));
    if (next.background != m_props.background)
        writeWord("\\highlight" + number(next.background));
    m_props = next;
}

void Writer::writeText(const QString& text, const QTextCharFormat& format) {
    writeCharProps(format);
    const bool shiftJis = m_fonts.at(m_props.font).shiftJis;
    m_encoder.append(text, shiftJis, m_out, m_afterWord);
}

void Writer::writePicture(const QTextImageFormat& format) {
    // A picture read from RTF goes back as it came; any other is written as PNG.
    QByteArray header;
    QByteArray data;
    QSizeF natural;
    if (const auto original = RtfPictureOriginal::find(m_document, QUrl(format.name()))) {
        header = original->header;
        data = original->data;
    } else {
        const QImage image = pictureOf(m_document, format);
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        if (image.isNull() || !image.save(&buffer, "PNG"))
            return;
        header = "\\pngblip\\picw" + number(image.width()) + "\\pich" + number(image.height());
        natural = image.size();
    }
    writeCharProps(format);
    const double width = format.width() > 0 ? format.width() : natural.width();
    const double height = format.height() > 0 ? format.height() : natural.height();
    m_out += "{\\pict" + header + "\\picwgoal" + number(RtfUnits::toTwips(width)) + "\\pichgoal" +
             number(RtfUnits::toTwips(height)) + "\r\n";
    const QByteArray hex = data.toHex();
    constexpr qsizetype kHexLine = 128;
    for (qsizetype i = 0; i < hex.size(); i += kHexLine) {
        m_out += QByteArrayView(hex).sliced(i, std::min(kHexLine, hex.size() - i));
        m_out += "\r\n";
    }
    m_out += '}';
    m_afterWord = false;
}

QByteArray Writer::run() {
    collectTables();
    QByteArray body;
    m_out.swap(body);
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        writeParagraphProps(block);
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                for (qsizetype i = 0; i < fragment.length(); ++i)
                    writePicture(format.toImageFormat());
            } else {
                writeText(fragment.text(), format);
            }
            empty = false;
        }
        if (empty)
            writeCharProps(block.charFormat());
        m_out += "\\par\r\n";
        m_afterWord = false;
    }
    m_out += "}\r\n";
    m_out.swap(body);
    writeHeader();
    m_out += body;
    return m_out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument& document) {
    return Writer(document).run();
}
