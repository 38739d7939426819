#pragma once

#include <QByteArray>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

#include <optional>

// A picture read from RTF keeps the bytes and the control words it came with, beside the
// image that shows it. Writing gives the picture back as it was read, whatever its kind:
// a metafile this program cannot draw is not lost, and a large picture is neither decoded
// at full size nor encoded again on every save.
namespace RtfPictureOriginal {

constexpr int kResourceType = QTextDocument::UserResource + 1;

// A document keeps its resources by name alone, whatever their type.
inline QUrl keyOf(QUrl picture) {
    picture.setFragment(QStringLiteral("original"));
    return picture;
}

struct Original {
    QByteArray header; // the picture's own control words: kind, native size, bitmap layout
    QByteArray data;   // the picture's bytes as the document holds them
};

inline void keep(QTextDocument& document, const QUrl& name, const Original& original) {
    document.addResource(kResourceType, keyOf(name), QVariantList{original.header, original.data});
}

inline std::optional<Original> find(const QTextDocument& document, const QUrl& name) {
    const QVariantList kept = document.resource(kResourceType, keyOf(name)).toList();
    if (kept.size() != 2)
        return std::nullopt;
    return Original{kept.at(0).toByteArray(), kept.at(1).toByteArray()};
}

} // namespace RtfPictureOriginal
