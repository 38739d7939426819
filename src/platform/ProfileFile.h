#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

// An INI file read and written key by key, the way Windows profile files behave:
// "[section]" lines, "key=value" lines, ';' comments; names compared without regard
// to case; the first matching section and key win.
//
// Files written here are UTF-8. A file that is mostly not UTF-8 is taken to be a
// Shift-JIS (code page 932) file from Windows. An update writes its one changed
// line in the file's encoding and leaves every other byte of the file as it was;
// section and key names are also recognised as the other encoding spells them.
class ProfileFile {
public:
    explicit ProfileFile(QString path)
        : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // The key's integer value, or defaultValue when the file, section or key is missing.
    qint64 readInt(QStringView section, QStringView key, qint64 defaultValue) const;
    // The key's trimmed text, or defaultValue when the file, section or key is missing.
    QString readString(QStringView section, QStringView key, const QString& defaultValue) const;

    // Sets one key, creating the key, section or file as needed. The file is replaced
    // atomically; on failure the previous file is left untouched.
    bool writeString(QStringView section, QStringView key, QStringView value) const;

    // The trimmed value of the key in the file content, if present.
    static std::optional<QString> lookup(const QByteArray& content, QStringView section, QStringView key);

    // The file content with the key set to value.
    static QByteArray updated(const QByteArray& content, QStringView section, QStringView key, QStringView value);

    // An optional sign and leading decimal digits, anything after them ignored; no
    // number at all reads as 0. Saturates instead of overflowing.
    static qint64 parseInt(QStringView text);

private:
    QString m_path;
};
