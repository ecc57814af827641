#include "image/BinBuffer.h"

#include "image/ImageBuild.h"

#include <cstring>

void TBinBuffer::Check(int pos, int count) const
{
    if (pos < 0 || count < 0 || pos > Size - count)
        throw EImageError(QStringLiteral("The device image does not fit its %1-byte buffer (write of %2 bytes at %3)")
                              .arg(Size)
                              .arg(count)
                              .arg(pos));
}

void TBinBuffer::Put8(int pos, uint32_t v)
{
    Check(pos, 1);
    FBytes[size_t(pos)] = uint8_t(v);
}

void TBinBuffer::Put16(int pos, uint32_t v)
{
    Check(pos, 2);
    FBytes[size_t(pos)] = uint8_t(v);
    FBytes[size_t(pos) + 1] = uint8_t(v >> 8);
}

void TBinBuffer::Put32(int pos, uint32_t v)
{
    Check(pos, 4);
    for (int i = 0; i < 4; ++i)
        FBytes[size_t(pos + i)] = uint8_t(v >> (8 * i));
}

void TBinBuffer::PutBytes(int pos, const uint8_t* bytes, int count)
{
    Check(pos, count);
    if (count > 0)
        std::memcpy(FBytes.data() + pos, bytes, size_t(count));
}

void TBinBuffer::Fill(int pos, uint8_t v, int count)
{
    Check(pos, count);
    if (count > 0)
        std::memset(FBytes.data() + pos, v, size_t(count));
}

QByteArray TBinBuffer::Image() const
{
    const int n = Bin_Count < 0 ? 0 : (Bin_Count > Size ? Size : Bin_Count);
    return QByteArray(reinterpret_cast<const char*>(FBytes.data()), n);
}
