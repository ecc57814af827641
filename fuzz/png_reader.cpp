// Arbitrary bytes through the PNG reader and the picture loader: a damaged
// picture must end in EInvalidGraphic (or another Exception), never a crash.
#include "platform/core/Exceptions.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/PngReader.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        if (IsPng(bytes) && PngKindSupported(bytes)) {
            const QImage img = DecodePng(bytes);
            (void)img.width();
        }
    } catch (const Exception&) {
    }
    return 0;
}
