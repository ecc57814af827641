#pragma once
// JPEG files of images, through libjpeg.
#include <QByteArray>
#include <QImage>

// The image as a baseline JPEG file (24-bit colour; transparent pixels are
// laid over white). Quality 1..100. Raises EInvalidGraphic for an empty image.
QByteArray EncodeJPEG(const QImage& Image, int Quality = 90);
