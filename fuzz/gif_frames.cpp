// Arbitrary bytes through the GIF frame scanner behind the picture container:
// frame starts, delays and positions are read only inside the data, and the
// data rebuilt for any frame is never longer than the original.
#include "gridpack/basegrid/GifFrames.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    uint16_t w = 0, h = 0;
    GifFrames::ScreenSize(bytes, w, h);
    (void)GifFrames::IsGIF(bytes);
    const auto frames = GifFrames::ScanFrames(bytes);
    for (const auto& f : frames)
        if (f.Start < 0 || qsizetype(f.Start) + 17 > bytes.size()) std::abort();
    for (int n = 0; n <= int(frames.size()) + 1; ++n)
        if (GifFrames::DataFromFrame(bytes, frames, n).size() > bytes.size()) std::abort();
    return 0;
}
