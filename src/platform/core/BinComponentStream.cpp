#include "platform/core/BinComponentStream.h"

#include "platform/core/Streams.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool IsAscii(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

void PutU32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

// Reads from a byte view with every length checked against the bytes left.
class TReader {
public:
    TReader(QByteArrayView d, qsizetype pos) : D(d), P(pos) {}
    qsizetype Pos() const { return P; }
    uint8_t Byte()
    {
        Need(1);
        return uint8_t(D[P++]);
    }
    int64_t IntLE(int n)
    {
        Need(n);
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= uint32_t(uint8_t(D[P + i])) << (8 * i);
        P += n;
        if (n == 1)
            return int8_t(v);
        if (n == 2)
            return int16_t(v);
        return int32_t(v);
    }
    uint32_t Count()
    {
        const int64_t n = IntLE(4);
        if (n < 0 || n > D.size() - P)
            Fail();
        return uint32_t(n);
    }
    QByteArrayView Bytes(int64_t n)
    {
        if (n < 0)
            Fail();
        Need(n);
        const QByteArrayView v = D.sliced(P, qsizetype(n));
        P += qsizetype(n);
        return v;
    }
    QByteArrayView ShortBytes() { return Bytes(Byte()); }
    QString ShortString() { return QString::fromLatin1(ShortBytes()); }
    [[noreturn]] static void Fail() { throw EReadError(QStringLiteral("Invalid or truncated component record")); }

private:
    void Need(int64_t n)
    {
        if (n > D.size() - P)
            Fail();
    }
    QByteArrayView D;
    qsizetype P;
};

TBinValue ReadValue(TReader& r, int depth)
{
    TBinValue v;
    const uint8_t tag = r.Byte();
    switch (tag) {
    case 0x01:
        if (depth > 0)
            TReader::Fail(); // lists hold values, not lists
        v.Type = TBinValue::vtList;
        for (;;) {
            TBinValue item = ReadValue(r, depth + 1);
            if (item.Type == TBinValue::vtList)
                break; // the list's end marker
            v.Items.append(item.Text);
        }
        return v;
    case 0x00:
        if (depth == 0)
            TReader::Fail();
        v.Type = TBinValue::vtList; // end of a list
        return v;
    case 0x02:
    case 0x03:
    case 0x04:
        v.Type = TBinValue::vtInt;
        v.Int = r.IntLE(tag == 0x02 ? 1 : tag == 0x03 ? 2 : 4);
        return v;
    case 0x05:
        v.Type = TBinValue::vtExtended;
        v.Extended = ExtendedToDouble(r.Bytes(10).toByteArray());
        return v;
    case 0x06:
        v.Type = TBinValue::vtString;
        v.Text = QString::fromLatin1(r.Bytes(r.Byte()));
        return v;
    case 0x07:
        v.Type = TBinValue::vtIdent;
        v.Ident = r.ShortBytes();
        return v;
    case 0x08:
    case 0x09:
        v.Type = TBinValue::vtBool;
        v.Bool = tag == 0x09;
        return v;
    case 0x0A:
        v.Type = TBinValue::vtBinary;
        v.Binary = r.Bytes(r.Count()).toByteArray();
        return v;
    case 0x0B:
        v.Type = TBinValue::vtSet;
        for (QString s = r.ShortString(); !s.isEmpty(); s = r.ShortString())
            v.Items.append(s);
        return v;
    case 0x0C:
        v.Type = TBinValue::vtString;
        v.Text = QString::fromLatin1(r.Bytes(r.Count()));
        return v;
    case 0x12: {
        v.Type = TBinValue::vtString;
        const int64_t n = r.IntLE(4);
        if (n < 0)
            TReader::Fail();
        const QByteArrayView b = r.Bytes(n * 2);
        v.Text.resize(qsizetype(n));
        for (int64_t i = 0; i < n; ++i)
            v.Text[qsizetype(i)] = QChar(char16_t(uint8_t(b[qsizetype(2 * i)]) | (uint8_t(b[qsizetype(2 * i + 1)]) << 8)));
        return v;
    }
    case 0x14:
        v.Type = TBinValue::vtString;
        v.Text = QString::fromUtf8(r.Bytes(r.Count()));
        return v;
    default:
        TReader::Fail();
    }
}

} // namespace

const TBinValue* TBinRecord::Find(QByteArrayView Name) const
{
    for (const TBinProperty& p : Properties)
        if (p.Name == Name)
            return &p.Value;
    return nullptr;
}

TBinRecordWriter::TBinRecordWriter(QByteArray& Out, QByteArrayView ClassName) : FOut(Out)
{
    FOut.append("TPF0", 4);
    shortString(ClassName);
    FOut.append(char(0)); // no component name
}

void TBinRecordWriter::shortString(QByteArrayView Text)
{
    const QByteArrayView b = Text.first(std::min<qsizetype>(Text.size(), 255));
    FOut.append(char(b.size()));
    FOut.append(b);
}

void TBinRecordWriter::stringValue(const QString& Text)
{
    if (IsAscii(Text) && Text.size() <= 255) {
        FOut.append(char(0x06));
        shortString(Text.toLatin1());
    } else if (IsAscii(Text)) {
        FOut.append(char(0x0C));
        PutU32(FOut, uint32_t(Text.size()));
        FOut.append(Text.toLatin1());
    } else {
        const QByteArray u = Text.toUtf8();
        FOut.append(char(0x14));
        PutU32(FOut, uint32_t(u.size()));
        FOut.append(u);
    }
}

void TBinRecordWriter::Int(QByteArrayView Name, int64_t Value)
{
    shortString(Name);
    const int32_t v = int32_t(std::clamp<int64_t>(Value, INT32_MIN, INT32_MAX));
    if (v >= -128 && v <= 127) {
        FOut.append(char(0x02));
        FOut.append(char(int8_t(v)));
    } else if (v >= -32768 && v <= 32767) {
        FOut.append(char(0x03));
        FOut.append(char(v & 0xFF));
        FOut.append(char((v >> 8) & 0xFF));
    } else {
        FOut.append(char(0x04));
        PutU32(FOut, uint32_t(v));
    }
}

void TBinRecordWriter::Extended(QByteArrayView Name, double Value)
{
    shortString(Name);
    FOut.append(char(0x05));
    FOut.append(DoubleToExtended(Value));
}

void TBinRecordWriter::String(QByteArrayView Name, const QString& Value)
{
    shortString(Name);
    stringValue(Value);
}

void TBinRecordWriter::Ident(QByteArrayView Name, QByteArrayView Value)
{
    shortString(Name);
    FOut.append(char(0x07));
    shortString(Value);
}

void TBinRecordWriter::Bool(QByteArrayView Name, bool Value)
{
    shortString(Name);
    FOut.append(char(Value ? 0x09 : 0x08));
}

void TBinRecordWriter::Set(QByteArrayView Name, const QStringList& Idents)
{
    shortString(Name);
    FOut.append(char(0x0B));
    for (const QString& s : Idents)
        shortString(s.toLatin1());
    FOut.append(char(0));
}

void TBinRecordWriter::Binary(QByteArrayView Name, const QByteArray& Value)
{
    shortString(Name);
    FOut.append(char(0x0A));
    PutU32(FOut, uint32_t(Value.size()));
    FOut.append(Value);
}

void TBinRecordWriter::StringList(QByteArrayView Name, const QStringList& Values)
{
    shortString(Name);
    FOut.append(char(0x01));
    for (const QString& s : Values)
        stringValue(s);
    FOut.append(char(0));
}

void TBinRecordWriter::Finish()
{
    FOut.append(char(0)); // end of properties
    FOut.append(char(0)); // no children
}

TBinRecord ReadBinRecord(const QByteArray& Data, qsizetype& Pos)
{
    TReader r(Data, Pos);
    if (r.Bytes(4) != QByteArrayView("TPF0"))
        TReader::Fail();
    TBinRecord rec;
    rec.Source = Data;
    rec.ClassName = r.ShortBytes();
    r.ShortBytes(); // the component name
    rec.Properties.reserve(24);
    for (QByteArrayView n = r.ShortBytes(); !n.isEmpty(); n = r.ShortBytes())
        rec.Properties.push_back(TBinProperty{n, ReadValue(r, 0)});
    if (r.Byte() != 0)
        TReader::Fail(); // child components are not part of these records
    Pos = r.Pos();
    return rec;
}

TBinRecord ReadBinRecord(TStream* Stream)
{
    const int64_t start = Stream->Position();
    const int64_t left = Stream->Size() - start;
    QByteArray data(qsizetype(std::max<int64_t>(0, left)), Qt::Uninitialized);
    data.resize(qsizetype(Stream->Read(data.data(), data.size())));
    qsizetype pos = 0;
    TBinRecord rec = ReadBinRecord(data, pos);
    Stream->SetPosition(start + pos);
    return rec;
}

QByteArray DoubleToExtended(double Value)
{
    QByteArray b(10, 0);
    if (Value == 0) {
        if (std::signbit(Value))
            b[9] = char(0x80);
        return b;
    }
    uint64_t bits;
    std::memcpy(&bits, &Value, 8);
    const bool neg = bits >> 63;
    int exp = int((bits >> 52) & 0x7FF);
    uint64_t frac = bits & ((uint64_t(1) << 52) - 1);
    uint64_t mant;
    int e80;
    if (exp == 0x7FF) {
        e80 = 0x7FFF;
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (exp == 0) {
        // subnormal: normalise
        int shift = 0;
        while (!(frac & (uint64_t(1) << 52))) {
            frac <<= 1;
            ++shift;
        }
        e80 = 1 - 1023 - shift + 16383;
        mant = frac << 11;
    } else {
        e80 = exp - 1023 + 16383;
        mant = (uint64_t(1) << 63) | (frac << 11);
    }
    for (int i = 0; i < 8; ++i)
        b[i] = char((mant >> (8 * i)) & 0xFF);
    const uint16_t se = uint16_t((neg ? 0x8000 : 0) | e80);
    b[8] = char(se & 0xFF);
    b[9] = char(se >> 8);
    return b;
}

double ExtendedToDouble(const QByteArray& Bytes)
{
    if (Bytes.size() != 10)
        return 0;
    uint64_t mant = 0;
    for (int i = 0; i < 8; ++i)
        mant |= uint64_t(uint8_t(Bytes[i])) << (8 * i);
    const uint16_t se = uint16_t(uint8_t(Bytes[8]) | (uint8_t(Bytes[9]) << 8));
    const bool neg = se & 0x8000;
    const int e = se & 0x7FFF;
    double v;
    if (e == 0x7FFF)
        v = (mant << 1) ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
    else
        v = std::ldexp(double(mant), e - 16383 - 63);
    return neg ? -v : v;
}
