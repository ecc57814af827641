#include "platform/graphics/JpegWriter.h"

#include "platform/graphics/Graphics.h"

#include <QPainter>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

QByteArray EncodeJPEG(const QImage& Image, int Quality)
{
    if (Image.isNull() || Image.width() <= 0 || Image.height() <= 0)
        throw EInvalidGraphic(QStringLiteral("Cannot write an empty image as JPEG"));
    QImage rgb(Image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        p.drawImage(0, 0, Image);
    }
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buf, &size);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(Quality, 1, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buf), qsizetype(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buf);
    return out;
}
