#include "platform/controls/DropFiles.h"

#include <cstring>

namespace {
void PutU32(QByteArray& b, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
std::uint32_t GetU32(const QByteArray& b, int at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(std::uint8_t(b[at + i])) << (8 * i);
    return v;
}
}  // namespace

QByteArray BuildDropFiles(const QStringList& names, TPoint pt, bool nonClient) {
    QByteArray b(kDropFilesHeaderSize, '\0');
    PutU32(b, 0, kDropFilesHeaderSize);  // the list follows the header
    PutU32(b, 4, std::uint32_t(pt.X));
    PutU32(b, 8, std::uint32_t(pt.Y));
    PutU32(b, 12, nonClient ? 1 : 0);
    PutU32(b, 16, 1);  // wide names
    for (const QString& n : names) {
        if (n.isEmpty()) continue;  // an empty name would end the list
        for (QChar ch : n) {
            b.append(char(ch.unicode() & 0xFF));
            b.append(char(ch.unicode() >> 8));
        }
        b.append(2, '\0');
    }
    b.append(2, '\0');
    return b;
}

bool ReadDropFiles(const QByteArray& block, QStringList& names, TPoint* pt) {
    names.clear();
    if (block.size() < kDropFilesHeaderSize) return false;
    const std::uint32_t offset = GetU32(block, 0);
    const bool wide = GetU32(block, 16) != 0;
    if (offset < std::uint32_t(kDropFilesHeaderSize) || offset >= std::uint32_t(block.size())) return false;
    if (pt) *pt = TPoint(int(GetU32(block, 4)), int(GetU32(block, 8)));
    QStringList found;
    int at = int(offset);
    const int unit = wide ? 2 : 1;
    for (;;) {
        QString name;
        bool ended = false;
        while (at + unit <= block.size()) {
            const char16_t c = wide ? char16_t(std::uint8_t(block[at]) | (std::uint8_t(block[at + 1]) << 8))
                                    : char16_t(std::uint8_t(block[at]));
            at += unit;
            if (c == 0) {
                ended = true;
                break;
            }
            name += QChar(c);
        }
        if (!ended) return false;  // a name ran past the end of the block
        if (name.isEmpty()) break;
        found << name;
    }
    names = found;
    return true;
}

unsigned DragQueryFileCount(const QByteArray& block) {
    QStringList names;
    return ReadDropFiles(block, names) ? unsigned(names.size()) : 0u;
}

QString DragQueryFile(const QByteArray& block, unsigned index) {
    QStringList names;
    if (!ReadDropFiles(block, names) || index >= unsigned(names.size())) return QString();
    return names[int(index)];
}

QByteArray DropFilesFromUrls(const QList<QUrl>& urls, TPoint pt) {
    QStringList names;
    for (const QUrl& u : urls)
        if (u.isLocalFile()) names << u.toLocalFile();
    return BuildDropFiles(names, pt);
}

QList<QUrl> UrlsFromDropFiles(const QByteArray& block) {
    QStringList names;
    QList<QUrl> urls;
    if (!ReadDropFiles(block, names)) return urls;
    for (const QString& n : names) urls << QUrl::fromLocalFile(n);
    return urls;
}
