// Arbitrary datagrams as received text: parsing must never crash, and whatever
// parses must survive being built into a message again and parsed back.
#include "net/TransferMessage.h"
#include "text/CodePage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        CodePage::decodeCp932(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const std::optional<ReceivedFields> fields = ParseTransferMessage(text);
    if (!fields || fields->width < 0 || fields->height < 0)
        return 0;
    const QString again = BuildTransferMessage(fields->width, fields->height, fields->colour, fields->body);
    const std::optional<ReceivedFields> back = ParseTransferMessage(again);
    if (!back || !back->isNote() || back->width != fields->width || back->height != fields->height ||
        back->colour != (fields->colour & kColourMask) || back->body != fields->body + QLatin1Char(':') ||
        back->length != fields->body.size())
        std::abort();
    return 0;
}
