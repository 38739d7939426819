#include "platform/ProfileFile.h"

#include "platform/SafeFile.h"
#include "text/CodePage.h"

#include <QFile>

#include <limits>
#include <vector>

namespace {

constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";

struct Line {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    qsizetype contentEnd = 0; // where the line break starts
    qsizetype end = 0;        // after the line break
    qsizetype valueBegin = 0; // keys: first byte of the value, after '=' and blanks
    QString name;             // trimmed section or key name
    QString otherName;        // the same, decoded as the other encoding
};

struct Document {
    bool utf8 = true;
    qsizetype bodyBegin = 0; // after a byte order mark
    QByteArray lineBreak = "\n";
    std::vector<Line> lines;

    QString decode(QByteArrayView bytes) const { return decodeAs(utf8, bytes); }
    // Names are also matched as the other encoding spells them, so that a section
    // written in it is found and never added a second time.
    QString decodeOther(QByteArrayView bytes) const { return decodeAs(!utf8, bytes); }
    static QString decodeAs(bool asUtf8, QByteArrayView bytes) {
        return asUtf8 ? QString::fromUtf8(bytes) : CodePage::decodeCp932(bytes.toByteArray());
    }
    QByteArray encode(const QString& text) const { return utf8 ? text.toUtf8() : CodePage::encodeCp932(text); }
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Lines are split and classified on raw bytes, and only names and values decoded:
// line feed, blanks, ';' and '=' are below 0x40 and so never the second byte of a
// Shift-JIS character, and '[' is looked for only where no character can be open.
Document parse(const QByteArray& content) {
    Document doc;
    if (content.startsWith(kUtf8Bom))
        doc.bodyBegin = kUtf8Bom.size();
    else
        doc.utf8 = CodePage::isMostlyUtf8(content);
    const qsizetype firstFeed = content.indexOf('\n');
    if (firstFeed > 0 && content.at(firstFeed - 1) == '\r')
        doc.lineBreak = "\r\n";

    for (qsizetype begin = doc.bodyBegin; begin < content.size();) {
        Line line;
        const qsizetype feed = content.indexOf('\n', begin);
        line.end = feed < 0 ? content.size() : feed + 1;
        line.contentEnd = feed < 0 ? line.end : feed;
        if (feed > begin && content.at(feed - 1) == '\r')
            --line.contentEnd;
        const QByteArrayView text = QByteArrayView(content).sliced(begin, line.contentEnd - begin);

        qsizetype first = 0;
        while (first < text.size() && isBlank(text.at(first)))
            ++first;
        const qsizetype equals = text.indexOf('=');
        if (first < text.size() && text.at(first) == '[') {
            auto sectionName = [](const QString& rest) {
                const qsizetype close = rest.indexOf(u']');
                return (close < 0 ? rest : rest.left(close)).trimmed();
            };
            line.kind = Line::Kind::Section;
            line.name = sectionName(doc.decode(text.sliced(first + 1)));
            line.otherName = sectionName(doc.decodeOther(text.sliced(first + 1)));
        } else if (first < text.size() && text.at(first) != ';' && equals >= 0) {
            qsizetype value = equals + 1;
            while (value < text.size() && isBlank(text.at(value)))
                ++value;
            line.kind = Line::Kind::Key;
            line.name = doc.decode(text.first(equals)).trimmed();
            line.otherName = doc.decodeOther(text.first(equals)).trimmed();
            line.valueBegin = begin + value;
        }
        doc.lines.push_back(std::move(line));
        begin = doc.lines.back().end;
    }
    return doc;
}

bool sameName(const Line& line, QStringView name) {
    return QStringView(line.name).compare(name, Qt::CaseInsensitive) == 0 ||
           QStringView(line.otherName).compare(name, Qt::CaseInsensitive) == 0;
}

// The lines of the first section with the given name: its header, its first key
// with the given name and its last key line.
struct SectionMatch {
    const Line* header = nullptr;
    const Line* key = nullptr;
    const Line* lastKey = nullptr;
};

SectionMatch findKey(const Document& doc, QStringView section, QStringView key) {
    SectionMatch match;
    for (const Line& line : doc.lines) {
        if (line.kind == Line::Kind::Section) {
            if (match.header)
                break;
            if (sameName(line, section))
                match.header = &line;
        } else if (match.header && line.kind == Line::Kind::Key) {
            match.lastKey = &line;
            if (!match.key && sameName(line, key))
                match.key = &line;
        }
    }
    return match;
}

} // namespace

std::optional<QString> ProfileFile::lookup(const QByteArray& content, QStringView section, QStringView key) {
    const Document doc = parse(content);
    const Line* line = findKey(doc, section, key).key;
    if (!line)
        return std::nullopt;
    return doc.decode(QByteArrayView(content).sliced(line->valueBegin, line->contentEnd - line->valueBegin)).trimmed();
}

QByteArray ProfileFile::updated(const QByteArray& content, QStringView section, QStringView key, QStringView value) {
    const Document doc = parse(content);
    const SectionMatch match = findKey(doc, section, key);

    if (match.key) {
        // Keep the key as the file spells it and replace only the value's bytes.
        QByteArray out = content;
        return out.replace(match.key->valueBegin, match.key->contentEnd - match.key->valueBegin,
                           doc.encode(value.toString()));
    }

    const QByteArray keyLine = doc.encode(key.toString() + u'=' + value.toString()) + doc.lineBreak;
    if (!match.header) {
        QByteArray out = content;
        if (out.size() > doc.bodyBegin && !out.endsWith('\n'))
            out += doc.lineBreak;
        return out + doc.encode(u'[' + section.toString() + u']') + doc.lineBreak + keyLine;
    }

    // A new key goes after the section's last key, so that blank lines and comments
    // that lead into the next section stay in front of it.
    const Line& after = match.lastKey ? *match.lastKey : *match.header;
    QByteArray out = content;
    return out.insert(after.end, after.end == after.contentEnd ? doc.lineBreak + keyLine : keyLine);
}

qint64 ProfileFile::parseInt(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text.front() == u'-';
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+'))
        ++i;
    // Accumulated as a negative number so that the lowest value fits as well.
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (value < (lowest + digit) / 10) {
            value = lowest;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == lowest ? std::numeric_limits<qint64>::max() : -value;
}

qint64 ProfileFile::readInt(QStringView section, QStringView key, qint64 defaultValue) const {
    const QString text = readString(section, key, QString());
    return text.isNull() ? defaultValue : parseInt(text);
}

QString ProfileFile::readString(QStringView section, QStringView key, const QString& defaultValue) const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const std::optional<QString> value = lookup(file.readAll(), section, key);
    return value ? *value : defaultValue;
}

bool ProfileFile::writeString(QStringView section, QStringView key, QStringView value) const {
    QByteArray content;
    QFile existing(m_path);
    if (existing.exists()) {
        // A file that exists but cannot be read must not be replaced by one holding
        // nothing but this key.
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        content = existing.readAll();
        if (existing.error() != QFileDevice::NoError)
            return false;
    }
    return SafeFile::write(m_path, updated(content, section, key, value));
}
