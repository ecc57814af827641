// The named pictures and cursors painting code asks for.
#include "platform/graphics/Resources.h"
#include "platform/graphics/ImageList.h"
#include "PixelHelpers.h"

#include <gtest/gtest.h>

TEST(Resources, EveryNamedPictureExistsAtItsSize) {
    struct Case {
        const char* name;
        int w, h;
    } cases[] = {
        {"SGCHK01", 20, 20}, {"SGCHK04", 20, 20}, {"SGCHK05", 16, 16}, {"SGCHK08", 16, 16},
        {"SGRAD01", 16, 16}, {"SGRAD08", 16, 16}, {"SGLEAFOPEN", 16, 16}, {"SGLEAFCLOSE", 16, 16},
        {"XPNODEO", 9, 9},   {"XPNODEC", 9, 9},   {"SGFILT", 16, 16},     {"METROCHECKON", 16, 16},
        {"METRORADIOOFF", 16, 16}, {"LT_CHECK_LIGHT", 400, 16}, {"LT_CHECK_DARK", 400, 16},
        {"LT_TICK_LIGHT", 400, 16}, {"LT_TICK_DARK", 400, 16}, {"LT_FLAT", 400, 16}, {"LT_XP", 400, 16},
        {"LT_UTILITIES", 400, 16}, {"LT_XPBUTTONPLUS", 9, 9}, {"LT_XPBUTTONMINUS", 9, 9},
        {"LT_MOVEALL", 32, 32}, {"LT_MOVEEW", 32, 32}, {"LT_MOVENS", 32, 32},
    };
    for (const auto& tc : cases) {
        TBitmap b;
        ASSERT_TRUE(LoadResourceBitmap(&b, QLatin1String(tc.name))) << tc.name;
        EXPECT_EQ(b.Width(), tc.w) << tc.name;
        EXPECT_EQ(b.Height(), tc.h) << tc.name;
        // Drawn transparently by their bottom-left colour: the picture must
        // still show something.
        int shown = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) shown += At(b, x, y) != b.TransparentColor();
        EXPECT_GT(shown, 0) << tc.name;
    }
    TBitmap none;
    EXPECT_FALSE(LoadResourceBitmap(&none, QStringLiteral("NO_SUCH_PICTURE")));
}

TEST(Resources, CheckedAndUncheckedPicturesDiffer) {
    const char* pairs[][2] = {{"SGCHK01", "SGCHK02"}, {"SGCHK05", "SGCHK06"}, {"SGRAD05", "SGRAD06"},
                              {"SGCHK01", "SGCHK03"}, {"XPNODEO", "XPNODEC"}, {"METROCHECKON", "METROCHECKOFF"}};
    for (auto& p : pairs)
        EXPECT_NE(ResourceImage(QLatin1String(p[0])), ResourceImage(QLatin1String(p[1]))) << p[0] << " " << p[1];
}

TEST(Resources, CheckStripsCutIntoTwentyFiveImages) {
    TBitmap strip;
    ASSERT_TRUE(LoadMappedResourceBitmap(&strip, QStringLiteral("LT_CHECK_LIGHT")));
    TImageList list(16, 16);
    const QRgb topLeft = strip.Image().pixel(0, 0);
    list.AddMasked(&strip, RGB(qRed(topLeft), qGreen(topLeft), qBlue(topLeft)));
    EXPECT_EQ(list.Count(), 25);
    // Image 0 is empty; the unchecked and checked check boxes differ.
    const QImage empty = list.ImageAt(0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(qAlpha(empty.pixel(x, y)), 0);
    EXPECT_NE(list.ImageAt(9), list.ImageAt(13));
    EXPECT_NE(list.ImageAt(13), list.ImageAt(17));
}

TEST(Resources, CursorsOfTheProgramAndThePlatform) {
    for (int id = 8000; id <= 8014; ++id) EXPECT_EQ(HasCursor(id), id != 8013) << id;
    EXPECT_EQ(CursorFor(8011).shape(), Qt::SplitHCursor);
    EXPECT_EQ(CursorFor(8010).shape(), Qt::SplitVCursor);
    EXPECT_EQ(CursorFor(crHSplit).shape(), Qt::SplitHCursor);
    EXPECT_EQ(CursorFor(crHandPoint).shape(), Qt::PointingHandCursor);
    EXPECT_EQ(CursorFor(12345).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CursorByName(QStringLiteral("LT_VERTSPLIT")).shape(), Qt::SplitVCursor);
    RegisterCursor(12345, QCursor(Qt::CrossCursor));
    EXPECT_EQ(CursorFor(12345).shape(), Qt::CrossCursor);
}

TEST(Resources, ANamedCursorIsMadeWhenAskedFor) {
    EXPECT_FALSE(HasCursor(12346));
    RegisterNamedCursor(12346, QStringLiteral("LT_HEADERSPLIT"));
    EXPECT_TRUE(HasCursor(12346));
    EXPECT_EQ(CursorFor(12346).shape(), Qt::SplitHCursor);
    // A cursor given later takes the number over.
    RegisterCursor(12346, QCursor(Qt::IBeamCursor));
    EXPECT_EQ(CursorFor(12346).shape(), Qt::IBeamCursor);
}
