#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "rtf/RtfDocumentBuilder.h"
#include "rtf/RtfFontTable.h"
#include "rtf/RtfFormatState.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

// Reads an RTF document's tokens: keeps the group stack with its formatting state, sends each
// destination's content where it belongs (the font and colour tables, pictures, the text), and
// hands the text to the builder. One pass, no recursion: groups nested deeper than a fixed cap
// are still counted for their braces, but their formatting changes leak into the enclosing
// group instead of being saved.
class RtfParser {
public:
    RtfParser(QByteArrayView input, RtfTables& tables, RtfDocumentBuilder& builder);

    void run();

private:
    enum class Destination : std::uint8_t { Body, FontTable, FontAlternate, ColorTable, Picture, Skip, Upr };

    struct Group {
        RtfCharState chars;
        RtfParaState para;
        Destination destination = Destination::Body;
        int unicodeSkip = 1; // \ucN
        // In {\upr{ansi}{\*\ud{unicode}}} only the \ud branch is read; these carry where it goes.
        Destination uprOuter = Destination::Body;
        bool uprCandidate = false;
    };

    Group& top() { return m_groups.back(); }
    void openGroup();
    void closeGroup();
    void controlWord(const RtfToken& token);
    void destinationWord(RtfKeyword keyword);
    void fontTableWord(RtfKeyword keyword, const RtfToken& token);
    void pictureWord(RtfKeyword keyword, const RtfToken& token);
    void formattingWord(RtfKeyword keyword, const RtfToken& token);
    void controlSymbol(char symbol);

    void addBytes(QByteArrayView bytes);
    void flushBytes();
    void emitText(QStringView text);
    void emitUnicode(std::int32_t value);
    void resolveSurrogate();
    void endParagraph();
    void finishDocument();
    bool consumeFallback();

    void commitFontName();
    void commitColour();
    void finishPicture();

    int currentCodePage() const;
    QStringDecoder& decoder(int codePage);

    RtfTokenizer m_tokens;
    RtfTables& m_tables;
    RtfDocumentBuilder& m_builder;
    std::vector<Group> m_groups;
    int m_overflowDepth = 0;
    bool m_finished = false;

    int m_documentCodePage = 1252;
    QByteArray m_pendingBytes;
    std::unordered_map<int, QStringDecoder> m_decoders;
    int m_fallbackToSkip = 0;
    char16_t m_highSurrogate = 0;
    bool m_ignorableNext = false;

    int m_fontEntry = -1;
    QString m_fontName;
    QString m_fontAlternate;

    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourGiven = false;

    RtfPicture m_picture;
    int m_pictureNibble = -1;
};
