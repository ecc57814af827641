#include "platform/core/CodePages.h"

#include <gtest/gtest.h>

TEST(CodePages, AnsiUpperHalf)
{
    // Bytes of Windows-1252 and the characters they stand for.
    const struct { uchar byte; char16_t ch; } cases[] = {
        {0x41, u'A'},    {0x80, 0x20AC}, {0x85, 0x2026}, {0x8A, 0x0160}, {0x93, 0x201C},
        {0x9F, 0x0178},  {0x81, 0x0081}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto& c : cases) {
        const QByteArray b(1, char(c.byte));
        EXPECT_EQ(DecodeAnsi(b), QString(QChar(c.ch))) << int(c.byte);
        EXPECT_EQ(EncodeAnsi(QString(QChar(c.ch))), b) << int(c.byte);
    }
}

TEST(CodePages, OemUpperHalf)
{
    const struct { uchar byte; char16_t ch; } cases[] = {
        {0x80, 0x00C7}, {0x81, 0x00FC}, {0x8E, 0x00C4}, {0x9B, 0x00A2}, {0x9E, 0x20A7},
        {0xA5, 0x00D1}, {0xB0, 0x2591}, {0xC4, 0x2500}, {0xDB, 0x2588}, {0xE1, 0x00DF},
        {0xE6, 0x00B5}, {0xF8, 0x00B0}, {0xFD, 0x00B2}, {0xFF, 0x00A0},
    };
    for (const auto& c : cases) {
        const QByteArray b(1, char(c.byte));
        EXPECT_EQ(DecodeOem(b), QString(QChar(c.ch))) << int(c.byte);
        EXPECT_EQ(EncodeOem(QString(QChar(c.ch))), b) << int(c.byte);
    }
}

TEST(CodePages, UnknownCharactersFallBack)
{
    // A marked letter falls back to its base letter, anything else to "?".
    EXPECT_EQ(EncodeAnsi(QStringLiteral("\u0100\u4E2D")), QByteArray("A?"));
    EXPECT_EQ(EncodeOem(QStringLiteral("\u00C0\u20AC")), QByteArray("A?"));
    EXPECT_TRUE(IsAnsiRepresentable(QStringLiteral("caf\u00E9 \u20AC")));
    EXPECT_FALSE(IsAnsiRepresentable(QStringLiteral("\u4E2D")));
}

TEST(CodePages, OemTextTravelsInAnsiText)
{
    // "ä" is 0x84 in code page 437, which Windows-1252 reads as "„".
    EXPECT_EQ(TextToOEM(QStringLiteral("\u00E4x")), QStringLiteral("\u201Ex"));
    EXPECT_EQ(OEMToText(QStringLiteral("\u201Ex")), QStringLiteral("\u00E4x"));
}
