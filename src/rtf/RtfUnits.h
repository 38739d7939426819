#pragma once

#include <QtGlobal>

// Lengths in a QTextDocument (margins, indents, tab positions) are in Qt's logical pixels,
// 96 to the inch, whatever the screen; RTF counts twips, 1440 to the inch. The reader and the
// writer convert with the same factor, so a length written and read back is the same number of
// twips, and a note laid out here has its tab stops where a 96 dpi Windows screen put them.
namespace RtfUnits {

inline constexpr double kTwipsPerUnit = 15.0;

inline double fromTwips(int twips) {
    return twips / kTwipsPerUnit;
}
inline int toTwips(double units) {
    return qRound(units * kTwipsPerUnit);
}

} // namespace RtfUnits
