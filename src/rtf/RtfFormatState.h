#pragma once

#include <QList>

#include <cstdint>

// Character and paragraph properties as RTF states them, in RTF's own units (half points,
// twips, table indices). They are saved and restored with every group, so they stay plain
// values; the document builder turns them into Qt formats.

enum class RtfUnderline : std::uint8_t { None, Single, Dotted, Dashed, Wave };
enum class RtfVerticalPosition : std::uint8_t { Normal, Superscript, Subscript };

struct RtfCharState {
    int font = -1; // index into the font table; -1 is the document's default font (\deff)
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool hidden = false;
    RtfUnderline underline = RtfUnderline::None;
    RtfVerticalPosition vertical = RtfVerticalPosition::Normal;
    int foreground = 0; // index into the colour table; 0 is "auto" when the table starts with ";"
    int background = 0; // 0 is no background

    bool operator==(const RtfCharState&) const = default;
};

enum class RtfAlignment : std::uint8_t { Left, Center, Right, Justify };
enum class RtfTabKind : std::uint8_t { Left, Center, Right, Decimal };

struct RtfTabStop {
    int twips = 0;
    RtfTabKind kind = RtfTabKind::Left;

    bool operator==(const RtfTabStop&) const = default;
};

struct RtfParaState {
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0; // all in twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    QList<RtfTabStop> tabs;
    RtfTabKind nextTabKind = RtfTabKind::Left; // \tqr and friends qualify the \tx that follows

    bool operator==(const RtfParaState&) const = default;
};
