#include "rtf/RtfFontNames.h"

#include "text/CodePage.h"

#include <QStringList>

namespace RtfFontNames {

namespace {

using CodePage::kShiftJisCharset;

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
    static const QStringList words = {QStringLiteral("明朝"), QStringLiteral("mincho"), QStringLiteral("HiraMin"),
                                      QStringLiteral("Hiragino Mincho"), QStringLiteral("Serif CJK JP")};
    return containsAny(name, words);
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
    static const QStringList faces = {QStringLiteral("gothic"), QStringLiteral("mincho")};
    for (const QString& prefix : prefixes) {
        if (name.startsWith(prefix, Qt::CaseInsensitive) && containsAny(name, faces))
            return true;
    }
    static const QStringList families = {QStringLiteral("Meiryo"), QStringLiteral("Hiragino"),
                                         QStringLiteral("HiraKaku"), QStringLiteral("HiraMin"),
                                         QStringLiteral("Osaka")};
    return containsAny(name, families) || name.endsWith(QStringLiteral(" JP"));
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

QStringList displayFamilies(const QString& name, int charset, RtfFontFamily family) {
    QStringList families{name};
    const QString fallback = fallbackFamily(name, charset, family);
    if (!fallback.isEmpty() && fallback != name)
        families << fallback;
    return families;
}

} // namespace RtfFontNames
