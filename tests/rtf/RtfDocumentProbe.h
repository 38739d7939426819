#pragma once

#include <QImage>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <utility>

#include "rtf/RtfUnits.h"

// Reads formatting back out of a QTextDocument as short strings, so that test rows can state
// what they expect in one column.
namespace RtfDocumentProbe {

inline QTextCharFormat charFormatAt(const QTextDocument& document, int position) {
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position >= fragment.position() && position < fragment.position() + fragment.length())
            return fragment.charFormat();
    }
    return block.charFormat();
}

inline QString colourName(const QTextCharFormat& format, QTextFormat::Property property) {
    if (!format.hasProperty(property))
        return QStringLiteral("auto");
    const QBrush brush = format.brushProperty(property);
    return brush.style() == Qt::NoBrush ? QStringLiteral("auto") : brush.color().name();
}

inline QString alignmentName(Qt::Alignment alignment) {
    alignment &= Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("right");
    if (alignment & Qt::AlignJustify)
        return QStringLiteral("justify");
    return QStringLiteral("left");
}

inline QString tabsOf(const QTextBlockFormat& format) {
    QStringList out;
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        const char kind = tab.type == QTextOption::RightTab       ? 'R'
                          : tab.type == QTextOption::CenterTab    ? 'C'
                          : tab.type == QTextOption::DelimiterTab ? 'D'
                                                                  : 'L';
        out << QLatin1Char(kind) + QString::number(RtfUnits::toTwips(tab.position));
    }
    return out.join(u',');
}

inline QString twips(double units) {
    return QString::number(RtfUnits::toTwips(units));
}

// property: family, families, size, bold, italic, underline, strike, foreground, background,
// vertical, alignment, tabs, image (WxH twips).
inline QString property(const QTextDocument& document, int position, const QString& name) {
    const QTextCharFormat format = charFormatAt(document, position);
    const QTextBlockFormat block = document.findBlock(position).blockFormat();
    const auto yesNo = [](bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); };
    if (name == u"family") {
        const QStringList families = format.fontFamilies().toStringList();
        return families.isEmpty() ? QString() : families.first();
    }
    if (name == u"families")
        return format.fontFamilies().toStringList().join(u'|');
    if (name == u"size")
        return format.hasProperty(QTextFormat::FontPointSize) ? QString::number(format.fontPointSize()) : QString();
    if (name == u"bold")
        return yesNo(format.fontWeight() > QFont::Medium);
    if (name == u"italic")
        return yesNo(format.fontItalic());
    if (name == u"underline")
        return yesNo(format.fontUnderline());
    if (name == u"strike")
        return yesNo(format.fontStrikeOut());
    if (name == u"foreground")
        return colourName(format, QTextFormat::ForegroundBrush);
    if (name == u"background")
        return colourName(format, QTextFormat::BackgroundBrush);
    if (name == u"vertical")
        return format.verticalAlignment() == QTextCharFormat::AlignSuperScript ? QStringLiteral("super")
               : format.verticalAlignment() == QTextCharFormat::AlignSubScript ? QStringLiteral("sub")
                                                                               : QStringLiteral("normal");
    if (name == u"alignment")
        return alignmentName(block.alignment());
    if (name == u"tabs")
        return tabsOf(block);
    if (name == u"image") {
        if (!format.isImageFormat())
            return QStringLiteral("none");
        const QTextImageFormat image = format.toImageFormat();
        const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
        if (resource.typeId() != QMetaType::QImage || qvariant_cast<QImage>(resource).isNull())
            return QStringLiteral("missing");
        return twips(image.width()) + u'x' + twips(image.height());
    }
    return QStringLiteral("unknown property");
}

// Everything the writer must keep, as one string: per paragraph its layout, then runs of
// characters with their formatting (adjacent runs that look the same merged).
inline QString signature(const QTextDocument& document) {
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat bf = block.blockFormat();
        out << QStringLiteral("P[%1 %2 %3 %4]")
                   .arg(alignmentName(bf.alignment()),
                        twips(bf.leftMargin()) + u',' + twips(bf.rightMargin()) + u',' + twips(bf.textIndent()),
                        twips(bf.topMargin()) + u',' + twips(bf.bottomMargin()), tabsOf(bf));
        QList<std::pair<QString, QString>> runs; // text, attributes
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString attributes;
            for (const char* name : {"family", "size", "bold", "italic", "underline", "strike", "foreground",
                                     "background", "vertical", "image"})
                attributes += property(document, fragment.position(), QString::fromLatin1(name)) + u';';
            QString text = fragment.text();
            text.replace(QChar::LineSeparator, QStringLiteral("<br>"));
            if (!runs.isEmpty() && runs.last().second == attributes)
                runs.last().first += text;
            else
                runs.append({text, attributes});
        }
        for (const auto& [text, attributes] : runs)
            out << u'"' + text + QStringLiteral("\" {") + attributes + u'}';
        if (block.length() <= 1)
            out << QStringLiteral("empty{%1}").arg(property(document, block.position(), QStringLiteral("size")));
    }
    return out.join(u'\n');
}

} // namespace RtfDocumentProbe
