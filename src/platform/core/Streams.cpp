#include "platform/core/Streams.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

#include <algorithm>
#include <cstring>

int64_t TStream::Size()
{
    const int64_t pos = Seek(0, soCurrent);
    const int64_t end = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return end;
}

void TStream::SetSize(int64_t) {}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError(QStringLiteral("Stream write error"));
}

int64_t TStream::CopyFrom(TStream* source, int64_t count)
{
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    const int64_t total = count;
    constexpr int64_t kChunk = 61440;
    QByteArray buf(int(std::min(count, kChunk)), Qt::Uninitialized);
    while (count > 0) {
        const int64_t n = std::min(count, kChunk);
        source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.constData(), n);
        count -= n;
    }
    return total;
}

// --- memory -------------------------------------------------------------------

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || FPosition >= FData.size())
        return 0;
    const int64_t n = std::min<int64_t>(count, FData.size() - FPosition);
    std::memcpy(buffer, FData.constData() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t p = offset;
    if (origin == soCurrent)
        p += FPosition;
    else if (origin == soEnd)
        p += FData.size();
    // A position before the start cannot be reached; beyond the end it can,
    // and a write there fills the gap with zeros.
    FPosition = std::max<int64_t>(p, 0);
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream)
{
    stream->WriteBuffer(FData.constData(), FData.size());
}

void TCustomMemoryStream::SaveToFile(const QString& fileName)
{
    WriteFileWhole(fileName, FData);
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const int64_t end = FPosition + count;
    if (end > FData.size())
        SetSize(end);
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition = end;
    return count;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    const int64_t old = FData.size();
    FData.resize(qsizetype(std::max<int64_t>(newSize, 0)));
    if (FData.size() > old)
        std::memset(FData.data() + old, 0, size_t(FData.size() - old));
    FPosition = std::min<int64_t>(FPosition, FData.size());
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream)
{
    stream->SetPosition(0);
    const int64_t n = stream->Size();
    QByteArray data(qsizetype(n), Qt::Uninitialized);
    stream->ReadBuffer(data.data(), n);
    FData = data;
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const QString& fileName)
{
    FData = ReadFileWhole(fileName);
    FPosition = 0;
}

// --- file ---------------------------------------------------------------------

TFileStream::TFileStream(const QString& fileName, uint16_t mode) : FFileName(fileName), FFile(fileName)
{
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        if (!FFile.open(QIODevice::ReadWrite | QIODevice::Truncate))
            throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, FFile.errorString()));
        return;
    }
    QIODevice::OpenMode m;
    switch (mode & 0x0003) {
    case fmOpenWrite: m = QIODevice::WriteOnly | QIODevice::ExistingOnly; break;
    case fmOpenReadWrite: m = QIODevice::ReadWrite | QIODevice::ExistingOnly; break;
    default: m = QIODevice::ReadOnly; break;
    }
    // Opening for writing keeps what the file holds, as opening an existing
    // file for update does.
    if (!FFile.open(m))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, FFile.errorString()));
}

TFileStream::~TFileStream()
{
    FFile.close();
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const qint64 n = FFile.read(static_cast<char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const qint64 n = FFile.write(static_cast<const char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t p = offset;
    if (origin == soCurrent)
        p += FFile.pos();
    else if (origin == soEnd)
        p += FFile.size();
    if (p < 0 || !FFile.seek(p))
        return -1;
    return FFile.pos();
}

void TFileStream::SetSize(int64_t newSize)
{
    if (!FFile.resize(newSize))
        throw EWriteError(QStringLiteral("Stream write error"));
    if (FFile.pos() > newSize)
        FFile.seek(newSize);
}

// --- text ---------------------------------------------------------------------

TStringStream::TStringStream(const QString& text, TTextEncoding encoding)
    : FEncoding(encoding == teDefault ? teAnsi : encoding)
{
    FData = encode(text);
}

QByteArray TStringStream::encode(const QString& text) const
{
    QByteArray b = EncodeText(text, FEncoding);
    // The stream holds the text alone, without a byte-order mark.
    if (FEncoding == teUTF8)
        b.remove(0, 3);
    else if (FEncoding == teUTF16LE || FEncoding == teUTF16BE)
        b.remove(0, 2);
    return b;
}

int64_t TStringStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    // The text ends where the write ends, as writing into a string does.
    FData.resize(qsizetype(FPosition));
    FData.append(static_cast<const char*>(buffer), qsizetype(count));
    FPosition += count;
    return count;
}

void TStringStream::SetSize(int64_t newSize)
{
    FData.resize(qsizetype(std::max<int64_t>(newSize, 0)));
    FPosition = std::min<int64_t>(FPosition, FData.size());
}

QString TStringStream::DataString() const
{
    switch (FEncoding) {
    case teUTF8:
        return QString::fromUtf8(FData);
    case teUTF16LE:
        return DecodeText(QByteArray("\xFF\xFE") + FData);
    case teUTF16BE:
        return DecodeText(QByteArray("\xFE\xFF") + FData);
    default:
        return DecodeAnsi(FData);
    }
}

QString TStringStream::ReadString(int count)
{
    const int width = (FEncoding == teUTF16LE || FEncoding == teUTF16BE) ? 2 : 1;
    QByteArray b(qsizetype(std::max(count, 0)) * width, Qt::Uninitialized);
    b.resize(qsizetype(Read(b.data(), b.size())));
    switch (FEncoding) {
    case teUTF8:
        return QString::fromUtf8(b);
    case teUTF16LE:
        return DecodeText(QByteArray("\xFF\xFE") + b);
    case teUTF16BE:
        return DecodeText(QByteArray("\xFE\xFF") + b);
    default:
        return DecodeAnsi(b);
    }
}

void TStringStream::WriteString(const QString& text)
{
    WriteBuffer(encode(text));
}
