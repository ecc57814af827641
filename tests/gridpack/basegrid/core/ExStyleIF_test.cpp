#include "gridpack/basegrid/ExStyleIF.h"
#include "gridpack/basegrid/ExXPVS.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

// The platform answers as Windows 6.1, common controls 6.10, visual styles
// off, no Office: every painter takes the classic path.
TEST(StyleAnswers, FixedPlatformAnswers)
{
    InitXPVS();
    InitATXPVS();
    EXPECT_FALSE(XPVS.Loaded);
    EXPECT_FALSE(ATXPVS.Loaded);
    EXPECT_EQ(XPVS.OpenThemeData, nullptr);
    EXPECT_FALSE(XPVSThemeActive());
    EXPECT_TRUE(IsWinXPOrLater());
    EXPECT_TRUE(HasComCtl6());
    EXPECT_TRUE(IsVistaOrLater());
    EXPECT_FALSE(IsThemedComCtl6());
    EXPECT_EQ(CurrentXPScheme(), 0);
    EXPECT_EQ(DetectXPColorScheme(), 0);
    EXPECT_EQ(DetectOfficeVersion(), 0);
    EXPECT_EQ(ReadOfficeThemeValue("Software\\Microsoft\\Office\\14.0\\Common"), -1);
    EXPECT_EQ(DetectOfficeTheme(), ot2003Classic);
    EXPECT_EQ(DefaultUIFontName(), "Segoe UI");

    TComponent owner(nullptr);
    TThemeNotifier* n = AcquireThemeNotifier(&owner);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(AcquireThemeNotifier(&owner), n);
    EXPECT_EQ(n->RegMonitorThread(), nullptr);
    EXPECT_EQ(n->Notifier(), nullptr);
    n->RegisterWindow(42); // no watch thread: nothing
    n->UnRegisterWindow(42);
    FreeXPVS();
    FreeATXPVS();
}

TEST(StyleAnswers, HandleList)
{
    THandleList l;
    l.Add(10);
    l.Insert(0, 5);
    EXPECT_EQ(l.GetInteger(0), 5);
    EXPECT_TRUE(l.HasValue(10));
    l.DeleteValue(99);
    EXPECT_EQ(l.Count(), 2);
    l.DeleteValue(5);
    l.SetInteger(0, 7);
    EXPECT_EQ(l.GetInteger(0), 7);
    l.Delete(0);
    EXPECT_EQ(l.Count(), 0);
}
