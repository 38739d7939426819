#include "platform/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Arbitrary bytes as a settings file: looking a key up must not crash, and setting
// it must give a file in which the key then reads back as written.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    constexpr QStringView section = u"ピノラ";
    constexpr QStringView key = u"ドラッグデータ";

    if (const std::optional<QString> value = ProfileFile::lookup(content, section, key))
        (void)ProfileFile::parseInt(*value);
    (void)ProfileFile::lookup(content, u"s", u"k");

    const QByteArray updated = ProfileFile::updated(content, section, key, u"-16639");
    const std::optional<QString> written = ProfileFile::lookup(updated, section, key);
    if (!written || ProfileFile::parseInt(*written) != -16639)
        std::abort();
    return 0;
}
