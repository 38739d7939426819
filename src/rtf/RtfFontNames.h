#pragma once

#include <QString>
#include <QStringList>

#include "rtf/RtfFontTable.h"

// What the font names that Japanese notes use mean on this system.
namespace RtfFontNames {

// True for fonts made for Japanese text: names in Japanese ("ＭＳ ゴシック") and the English
// names of the usual Japanese faces ("MS Mincho", "Meiryo", "Noto Sans CJK JP").
bool isJapaneseFont(const QString& name);

// An installed family to show a Japanese font with when this system lacks it: gothic faces in
// "Noto Sans CJK JP", mincho faces in "Noto Serif CJK JP". Empty for fonts that are not Japanese
// (charset is the font's \fcharset, -1 if none), which Qt's own fallback handles.
QString fallbackFamily(const QString& name, int charset, RtfFontFamily family);

// The families to show a font name with: the name, then its fallback when there is one.
QStringList displayFamilies(const QString& name, int charset = -1, RtfFontFamily family = RtfFontFamily::Nil);

} // namespace RtfFontNames
