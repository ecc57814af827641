// Arbitrary bytes as RTF: reading never fails, and what was read writes out
// as plain ASCII that reads back to the same text (control characters other
// than line and tab breaks are not kept by the writer).
#include "platform/controls/RichText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray in(reinterpret_cast<const char*>(data), int(size));
    const TRichText t = ReadRtf(in);
    const QByteArray out = WriteRtf(t);
    for (char ch : out)
        if (static_cast<unsigned char>(ch) >= 0x80) std::abort();
    QString kept;
    for (QChar ch : t.Text())
        if (ch.unicode() >= 0x20 || ch == QLatin1Char('\n') || ch == QLatin1Char('\t')) kept += ch;
    if (ReadRtf(out).Text() != kept) std::abort();
    return 0;
}
