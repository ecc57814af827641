#pragma once
// Our own PNG reader: 8-bit grey, RGB, RGBA and palette images (palette at 1,
// 2, 4 or 8 bits), not interlaced, all five row filters, inflated by zlib.
#include <QByteArray>
#include <QImage>

// True when the bytes start with the PNG signature.
bool IsPng(const QByteArray& bytes);
// True when our reader handles this PNG's kind (others go to the toolkit).
bool PngKindSupported(const QByteArray& bytes);
// Decodes to Format_ARGB32 (straight alpha). Raises EInvalidGraphic for
// truncated or damaged data, and for kinds it does not handle.
QImage DecodePng(const QByteArray& bytes);
