#pragma once
// The GIF frame scanner behind THTMLPicture's animation: finds the frames of
// an animated GIF in its raw bytes, reads their delays and positions, and
// builds the data that shows one chosen frame first. Every read is checked
// against the data's end, so arbitrary bytes never read outside them.
#include <QByteArray>

#include <cstdint>
#include <vector>

namespace GifFrames {

// One frame start: a graphic control extension directly followed by an
// image descriptor.
struct TGifFrame {
    int Start = 0;    // byte offset of the extension introducer (0x21)
    int Delay = 0;    // hundredths of a second
    uint16_t Left = 0, Top = 0, Width = 0, Height = 0; // from the image descriptor
};

// At least 5 bytes starting with "GIF8".
bool IsGIF(const QByteArray& data);

// Every position j where the bytes read 0x21 0xF9 0x04 at j and 0x2C at
// j + 8, in order. A frame whose descriptor (up to j + 16) or delay would lie
// past the data is not counted.
std::vector<TGifFrame> ScanFrames(const QByteArray& data);

// The logical screen size (words at offsets 6 and 8); 0 x 0 for data shorter
// than 10 bytes.
void ScreenSize(const QByteArray& data, uint16_t& width, uint16_t& height);

// The data with the bytes from the first frame start up to the start of
// frame `frame` (counted from 1) left out, so a decoder shows that frame
// first. Frame 1, or data without frames, comes back whole; a frame number
// beyond the last leaves out everything from the first frame start on.
QByteArray DataFromFrame(const QByteArray& data, const std::vector<TGifFrame>& frames, int frame);

} // namespace GifFrames
