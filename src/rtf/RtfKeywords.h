#pragma once

#include <cstdint>
#include <string_view>

// The control words the reader acts on. Every other word is read and ignored.
enum class RtfKeyword : std::uint8_t {
    Unknown,
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    UnicodeSkip,
    Unicode,
    // destinations
    FontTable,
    ColorTable,
    Picture,
    FontAlternate,
    ShapePicture,
    Upr,
    Ud,
    SkippedDestination,
    // font table
    Font,
    FontCharset,
    FontCodePage,
    FamilyNil,
    FamilyRoman,
    FamilySwiss,
    FamilyModern,
    FamilyScript,
    FamilyDecor,
    FamilyTech,
    FamilyBidi,
    // colour table
    Red,
    Green,
    Blue,
    // pictures
    PngBlip,
    JpegBlip,
    OtherPictureKind,
    PicWidthGoal,
    PicHeightGoal,
    PicScaleX,
    PicScaleY,
    // text
    Par,
    Line,
    Tab,
    Cell,
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    EmSpace,
    EnSpace,
    QmSpace,
    ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    LtrMark,
    RtlMark,
    // character formatting
    Plain,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineDotted,
    UnderlineDashed,
    UnderlineWave,
    UnderlineNone,
    Strike,
    Hidden,
    ForeColour,
    BackColour,
    Superscript,
    Subscript,
    NoSuperSub,
    // paragraph formatting
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    TabStop,
    TabCenter,
    TabRight,
    TabDecimal,
};

namespace RtfKeywords {

// The keyword a control word's name stands for; Unknown for all others.
RtfKeyword lookup(std::string_view name);

} // namespace RtfKeywords
