#pragma once
// Growable text buffers for building large exports without reallocating on
// every append, and the critical section the tree units serialize with (the
// platform's, re-entrant for its owning thread).
#include "platform/core/SyncObjs.h"

#include <QByteArray>
#include <QString>

#include <cstddef>

// UTF-16 text. Capacity grows in whole blocks of 4096 characters, at least
// as large as the text appended and at least half the capacity again.
class TBufferedString {
public:
    TBufferedString() = default;
    ~TBufferedString();
    TBufferedString(const TBufferedString&) = delete;
    TBufferedString& operator=(const TBufferedString&) = delete;

    void Add(const QString& S);
    void AddNewLine();
    QString AsString() const;
    // Hands out the text without copying it and leaves the buffer empty.
    QString Take();
    // Characters allocated so far.
    std::ptrdiff_t Capacity() const { return FEnd - FStart; }

private:
    void Grow(std::ptrdiff_t by);
    QString FData;
    char16_t* FStart = nullptr;
    char16_t* FPosition = nullptr;
    char16_t* FEnd = nullptr;
};

// The same for single-byte text.
class TBufferedRawByteString {
public:
    TBufferedRawByteString() = default;
    ~TBufferedRawByteString();
    TBufferedRawByteString(const TBufferedRawByteString&) = delete;
    TBufferedRawByteString& operator=(const TBufferedRawByteString&) = delete;

    void Add(const QByteArray& S);
    void AddNewLine();
    QByteArray AsString() const;
    std::ptrdiff_t Capacity() const { return FEnd - FStart; }

private:
    void Grow(std::ptrdiff_t by);
    char* FStart = nullptr;
    char* FPosition = nullptr;
    char* FEnd = nullptr;
};
