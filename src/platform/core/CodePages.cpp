#include "platform/core/CodePages.h"

#include <QHash>

namespace {

// Windows-1252, bytes 0x80..0x9F; the five unassigned bytes map to the C1
// control of the same number, as the system's own conversion does.
const char16_t kAnsi80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Code page 437, bytes 0x80..0xFF.
const char16_t kOem80[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// One code page: the upper half as a table, the lower half is ASCII.
struct CodePage {
    char16_t upper[128];
    QHash<char16_t, uchar> reverse;

    QString decode(const QByteArray& bytes) const
    {
        QString r;
        r.resize(bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const uchar b = uchar(bytes[i]);
            r[i] = QChar(b < 0x80 ? char16_t(b) : upper[b - 0x80]);
        }
        return r;
    }

    bool lookup(char16_t c, uchar& b) const
    {
        if (c < 0x80) {
            b = uchar(c);
            return true;
        }
        const auto it = reverse.constFind(c);
        if (it == reverse.constEnd())
            return false;
        b = it.value();
        return true;
    }

    // One byte per UTF-16 unit, written in place behind what r holds.
    void appendTo(QByteArray& r, QStringView text) const
    {
        const qsizetype at = r.size();
        r.resize(at + text.size());
        char* p = r.data() + at;
        for (QChar c : text) {
            uchar b;
            if (!lookup(c.unicode(), b)) {
                // A letter with marks falls back to its base letter.
                const QString d = c.decomposition();
                if (d.isEmpty() || !lookup(d[0].unicode(), b))
                    b = '?';
            }
            *p++ = char(b);
        }
    }

    QByteArray encode(const QString& text) const
    {
        QByteArray r;
        appendTo(r, text);
        return r;
    }
};

CodePage makePage(const char16_t* table80, int n80)
{
    CodePage p;
    for (int i = 0; i < 128; ++i)
        p.upper[i] = i < n80 ? table80[i] : char16_t(0x80 + i); // Latin-1 beyond the table
    for (int i = 0; i < 128; ++i)
        p.reverse.insert(p.upper[i], uchar(0x80 + i));
    return p;
}

const CodePage& ansi()
{
    static const CodePage page = makePage(kAnsi80, 32);
    return page;
}

const CodePage& oem()
{
    static const CodePage page = makePage(kOem80, 128);
    return page;
}

} // namespace

QString DecodeAnsi(const QByteArray& bytes) { return ansi().decode(bytes); }
QByteArray EncodeAnsi(const QString& text) { return ansi().encode(text); }

void AppendAnsi(QByteArray& Out, QStringView text) { ansi().appendTo(Out, text); }

bool IsAnsiRepresentable(const QString& text)
{
    uchar b;
    for (QChar c : text)
        if (!ansi().lookup(c.unicode(), b))
            return false;
    return true;
}

QString DecodeOem(const QByteArray& bytes) { return oem().decode(bytes); }
QByteArray EncodeOem(const QString& text) { return oem().encode(text); }

QString TextToOEM(const QString& text) { return DecodeAnsi(EncodeOem(text)); }
QString OEMToText(const QString& text) { return DecodeOem(EncodeAnsi(text)); }

namespace {
QByteArray utf16Bytes(const QString& text, bool bigEndian)
{
    QByteArray r;
    r.reserve(2 + text.size() * 2);
    r += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const char hi = char(u >> 8), lo = char(u & 0xFF);
        r += bigEndian ? hi : lo;
        r += bigEndian ? lo : hi;
    }
    return r;
}

QString utf16Text(const QByteArray& bytes, int from, bool bigEndian)
{
    QString r;
    r.reserve((bytes.size() - from) / 2);
    // An odd last byte cannot form a character and is dropped.
    for (qsizetype i = from; i + 1 < bytes.size(); i += 2) {
        const uchar a = uchar(bytes[i]), b = uchar(bytes[i + 1]);
        r += QChar(bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a));
    }
    return r;
}
} // namespace

QByteArray EncodeText(const QString& text, TTextEncoding encoding)
{
    switch (encoding) {
    case teDefault:
        return IsAnsiRepresentable(text) ? EncodeAnsi(text) : EncodeText(text, teUTF8);
    case teAnsi:
        return EncodeAnsi(text);
    case teUTF8:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case teUTF16LE:
        return utf16Bytes(text, false);
    case teUTF16BE:
        return utf16Bytes(text, true);
    }
    return QByteArray();
}

QString DecodeText(const QByteArray& bytes, TTextEncoding* found)
{
    TTextEncoding kind = teAnsi;
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        kind = teUTF8;
        text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    } else if (bytes.startsWith("\xFF\xFE")) {
        kind = teUTF16LE;
        text = utf16Text(bytes, 2, false);
    } else if (bytes.startsWith("\xFE\xFF")) {
        kind = teUTF16BE;
        text = utf16Text(bytes, 2, true);
    } else {
        text = DecodeAnsi(bytes);
    }
    if (found)
        *found = kind;
    return text;
}
