#include "gridpack/basegrid/GifFrames.h"

namespace GifFrames {

namespace {

// Image descriptor: separator at +8, then left, top, width, height words.
constexpr int kDescriptorEnd = 17; // bytes from the frame start through the height word
constexpr int kDelayOffset = 4;

uint16_t Word(const QByteArray& d, int at) {
    return uint16_t(uint8_t(d[at]) | (uint8_t(d[at + 1]) << 8));
}

} // namespace

bool IsGIF(const QByteArray& data) { return data.size() >= 5 && data.startsWith("GIF8"); }

std::vector<TGifFrame> ScanFrames(const QByteArray& data) {
    std::vector<TGifFrame> frames;
    const qsizetype n = data.size();
    for (qsizetype j = 0; j + kDescriptorEnd <= n; ++j) {
        if (uint8_t(data[j]) != 0x21 || uint8_t(data[j + 1]) != 0xF9 || uint8_t(data[j + 2]) != 0x04 ||
            uint8_t(data[j + 8]) != 0x2C)
            continue;
        TGifFrame f;
        f.Start = int(j);
        f.Delay = Word(data, int(j) + kDelayOffset);
        f.Left = Word(data, int(j) + 9);
        f.Top = Word(data, int(j) + 11);
        f.Width = Word(data, int(j) + 13);
        f.Height = Word(data, int(j) + 15);
        frames.push_back(f);
    }
    return frames;
}

void ScreenSize(const QByteArray& data, uint16_t& width, uint16_t& height) {
    if (data.size() < 10) {
        width = height = 0;
        return;
    }
    width = Word(data, 6);
    height = Word(data, 8);
}

QByteArray DataFromFrame(const QByteArray& data, const std::vector<TGifFrame>& frames, int frame) {
    if (frames.empty() || frame == 1) return data;
    const int first = frames.front().Start;
    const int from = frame >= 1 && size_t(frame) <= frames.size() ? frames[size_t(frame) - 1].Start : int(data.size());
    QByteArray out;
    out.reserve(data.size() - (from - first));
    out.append(data.constData(), first);
    out.append(data.constData() + from, data.size() - from);
    return out;
}

} // namespace GifFrames
