#pragma once
// Byte streams: the abstract stream with its buffer helpers, a stream in
// memory, a stream on a file and a stream over a text.
#include "platform/core/CodePages.h"
#include "platform/core/Objects.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <memory>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
    KAL_CLASS(TStream, TObject)
public:
    // Up to count bytes; the number actually moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // The new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    // Exactly count bytes or EReadError "Stream read error".
    void ReadBuffer(void* buffer, int64_t count);
    // Exactly count bytes or EWriteError "Stream write error".
    void WriteBuffer(const void* buffer, int64_t count);
    void WriteBuffer(const QByteArray& bytes) { WriteBuffer(bytes.constData(), bytes.size()); }
    // Copies count bytes from source's position; count 0 copies the whole
    // source from its start. The number of bytes copied.
    int64_t CopyFrom(TStream* source, int64_t count);
};

// A stream over a block of memory it owns.
class TCustomMemoryStream : public TStream {
    KAL_CLASS(TCustomMemoryStream, TStream)
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return FData.size(); }
    char* Memory() { return FData.data(); }
    const QByteArray& Bytes() const { return FData; }
    void SaveToStream(TStream* stream);
    // Writes the file whole (a temporary file replaces it at the end).
    void SaveToFile(const QString& fileName);

protected:
    QByteArray FData;
    int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
    KAL_CLASS(TMemoryStream, TCustomMemoryStream)
public:
    int64_t Write(const void* buffer, int64_t count) override;
    // New bytes are zero; the position is kept inside the new size.
    void SetSize(int64_t newSize) override;
    void Clear();
    // Replaces the content and sets the position to 0.
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const QString& fileName);
};

// File open modes: one access mode, optionally or-ed with a share mode
// (accepted and not enforced).
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A stream on a file. Writes go straight to the file: data that must never be
// left half-written is built in a TMemoryStream and saved whole instead.
class TFileStream : public TStream {
    KAL_CLASS(TFileStream, TStream)
public:
    // Raises EFCreateError 'Cannot create file "<name>". <reason>' or
    // EFOpenError 'Cannot open file "<name>". <reason>'.
    TFileStream(const QString& fileName, uint16_t mode);
    ~TFileStream() override;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return FFile.size(); }
    void SetSize(int64_t newSize) override;
    const QString& FileName() const { return FFileName; }

private:
    QString FFileName;
    QFile FFile;
};

// A stream over the bytes of a text in one encoding (Windows-1252 unless
// said otherwise; no byte-order mark is written).
class TStringStream : public TCustomMemoryStream {
    KAL_CLASS(TStringStream, TCustomMemoryStream)
public:
    explicit TStringStream(const QString& text = QString(), TTextEncoding encoding = teAnsi);
    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t newSize) override;
    // The whole content as text.
    QString DataString() const;
    // Up to count characters' worth of bytes from the position, as text.
    QString ReadString(int count);
    void WriteString(const QString& text);

private:
    QByteArray encode(const QString& text) const;
    TTextEncoding FEncoding;
};
