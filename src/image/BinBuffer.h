#pragma once
// The buffer every device image is laid out in, and the little-endian writes
// the serializers use. A write that would leave the buffer raises instead of
// touching memory past it.
#include <QByteArray>
#include <array>
#include <cstdint>

class TBinBuffer {
public:
    static constexpr int Size = 131072;

    // Write position during a build, the image length after it.
    int32_t Bin_Count = 0;

    void Put8(int pos, uint32_t v);
    void Put16(int pos, uint32_t v);
    void Put32(int pos, uint32_t v);
    void PutBytes(int pos, const uint8_t* bytes, int count);
    void Fill(int pos, uint8_t v, int count);

    uint8_t At(int pos) const { return FBytes.at(size_t(pos)); }
    const uint8_t* Data() const { return FBytes.data(); }
    // The first Bin_Count bytes: the image of the last build.
    QByteArray Image() const;

private:
    void Check(int pos, int count) const;
    std::array<uint8_t, Size> FBytes{};
};
