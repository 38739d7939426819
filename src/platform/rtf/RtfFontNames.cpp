#include "platform/rtf/RtfFontNames.h"

#include <QStringList>

namespace RtfFontNames {

namespace {

constexpr int kShiftJisCharset = 128;

bool hasJapaneseCharacters(const QString& name) {
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

bool containsAny(const QString& name, const QStringList& words) {
    for (const QString& word : words) {
        if (name.contains(word, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool isMincho(const QString& name) {
    return containsAny(name, {QStringLiteral("明朝"), QStringLiteral("mincho"), QStringLiteral("HiraMin"),
                              QStringLiteral("Hiragino Mincho"), QStringLiteral("Serif CJK JP")});
}

} // namespace

bool isJapaneseFont(const QString& name) {
    if (hasJapaneseCharacters(name))
        return true;
    // "Century Gothic" and "Franklin Gothic" are Latin faces, so "gothic" alone proves nothing;
    // the Japanese ones carry a vendor prefix.
    static const QStringList prefixes = {QStringLiteral("MS "),   QStringLiteral("Yu "), QStringLiteral("IPA"),
                                         QStringLiteral("Takao"), QStringLiteral("VL "), QStringLiteral("HG"),
                                         QStringLiteral("Ume")};
    for (const QString& prefix : prefixes) {
        if (name.startsWith(prefix, Qt::CaseInsensitive) &&
            containsAny(name, {QStringLiteral("gothic"), QStringLiteral("mincho")}))
            return true;
    }
    return containsAny(name, {QStringLiteral("Meiryo"), QStringLiteral("Hiragino"), QStringLiteral("HiraKaku"),
                              QStringLiteral("HiraMin"), QStringLiteral("Osaka")}) ||
           name.endsWith(QStringLiteral(" JP"));
}

QString fallbackFamily(const QString& name, int charset, RtfFontFamily family) {
    if (!isJapaneseFont(name) && charset != kShiftJisCharset)
        return {};
    if (isMincho(name) ||
        (!name.contains(QStringLiteral("ゴシック")) && !name.contains(QStringLiteral("gothic"), Qt::CaseInsensitive) &&
         family == RtfFontFamily::Roman))
        return QStringLiteral("Noto Serif CJK JP");
    return QStringLiteral("Noto Sans CJK JP");
}

} // namespace RtfFontNames
