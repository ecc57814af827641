#include "treeview/LazyTrees.Classes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr std::ptrdiff_t BlockSize = 4096;
std::ptrdiff_t RoundToBlock(std::ptrdiff_t n) { return (n + BlockSize - 1) / BlockSize * BlockSize; }

template <class C>
void GrowBuffer(C*& start, C*& position, C*& end, std::ptrdiff_t by) {
    const std::ptrdiff_t used = position - start;
    // Whole blocks, at least half the capacity again, so that a long export
    // moves its text a bounded number of times.
    const std::ptrdiff_t capacity = (end - start) + std::max(by, RoundToBlock((end - start) / 2));
    C* p = static_cast<C*>(std::realloc(start, size_t(capacity) * sizeof(C)));
    if (!p) throw std::bad_alloc();
    start = p;
    position = p + used;
    end = p + capacity;
}
}  // namespace

TBufferedString::~TBufferedString() = default;

void TBufferedString::Grow(std::ptrdiff_t by) {
    // The text lives in a string of its own, so Take hands it out uncopied.
    const std::ptrdiff_t used = FPosition - FStart;
    const std::ptrdiff_t capacity = (FEnd - FStart) + std::max(by, RoundToBlock((FEnd - FStart) / 2));
    FData.resize(qsizetype(capacity));
    FStart = reinterpret_cast<char16_t*>(FData.data());
    FPosition = FStart + used;
    FEnd = FStart + capacity;
}

QString TBufferedString::Take() {
    if (!FStart) return QString();
    FData.truncate(qsizetype(FPosition - FStart));
    QString result = std::move(FData);
    FData = QString();
    FStart = FPosition = FEnd = nullptr;
    return result;
}

void TBufferedString::Add(const QString& S) {
    const std::ptrdiff_t len = S.size();
    if (len == 0) return;
    if (len >= FEnd - FPosition) Grow(RoundToBlock(len));
    std::memcpy(FPosition, S.utf16(), size_t(len) * sizeof(char16_t));
    FPosition += len;
}

void TBufferedString::AddNewLine() {
    if (FEnd - FPosition <= 4) Grow(BlockSize);
    *FPosition++ = u'\r';
    *FPosition++ = u'\n';
}

QString TBufferedString::AsString() const {
    if (!FStart) return QString();
    return QString(reinterpret_cast<const QChar*>(FStart), FPosition - FStart);
}

TBufferedRawByteString::~TBufferedRawByteString() { std::free(FStart); }

void TBufferedRawByteString::Grow(std::ptrdiff_t by) { GrowBuffer(FStart, FPosition, FEnd, by); }

void TBufferedRawByteString::Add(const QByteArray& S) {
    const std::ptrdiff_t len = S.size();
    if (len >= FEnd - FPosition) Grow(RoundToBlock(len));
    if (len == 0) return;
    std::memcpy(FPosition, S.constData(), size_t(len));
    FPosition += len;
}

void TBufferedRawByteString::AddNewLine() {
    if (FEnd - FPosition <= 2) Grow(BlockSize);
    *FPosition++ = '\r';
    *FPosition++ = '\n';
}

QByteArray TBufferedRawByteString::AsString() const {
    if (!FStart) return QByteArray();
    return QByteArray(FStart, FPosition - FStart);
}
