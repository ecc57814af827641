#pragma once
// Small helpers for pixel tests on bitmaps.
#include "platform/graphics/Graphics.h"

#include <string>
#include <vector>

// The colour of (x, y) of a bitmap, as 0x00BBGGRR.
inline TColor At(const TBitmap& b, int x, int y) {
    const QRgb p = b.Image().pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// A white 24-bit bitmap of the given size.
inline std::unique_ptr<TBitmap> WhiteBitmap(int w, int h) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    b->Canvas()->Brush().SetColor(clWhite);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

// The pixels that are not `background`, as strings of '.' and '#' a row.
inline std::vector<std::string> Picture(const TBitmap& b, TColor background = clWhite) {
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string s;
        for (int x = 0; x < b.Width(); ++x) s += At(b, x, y) == background ? '.' : '#';
        rows.push_back(s);
    }
    return rows;
}

inline bool SameImage(const TBitmap& a, const TBitmap& b) {
    return a.Image().convertToFormat(QImage::Format_RGB32) == b.Image().convertToFormat(QImage::Format_RGB32);
}
