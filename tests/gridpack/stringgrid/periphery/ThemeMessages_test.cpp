// Theme notices reaching the grid's window: the colour-scheme change (the
// system's and the theme notifier's) applies the matching component style
// only for a grid that follows the theme; the visual-style notice takes the
// style's colours and nothing else.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/basegrid/ExStyleIF.h"

namespace {
class ThemeTest : public EditingTest {};

constexpr unsigned ThemeNotifierMessage = 0x0BB1;
constexpr unsigned StyleChangedMessage = 0xB051;
} // namespace

TEST_F(ThemeTest, SchemeNoticesApplyTheOfficeThemeOnlyWhenFollowingIt)
{
    NewGrid(false);
    ASSERT_NE(DetectOfficeTheme(), otUnknown);
    // Not following: the notices change nothing.
    Grid->Perform(WM_THEMECHANGED, 0, 0);
    Grid->Perform(ThemeNotifierMessage, 0, 0);
    EXPECT_EQ(Grid->OldOfficeTheme(), otUnknown);
    EXPECT_EQ(Grid->ComponentStyle(), tsCustom);

    // Following the theme takes the one in use at once.
    Grid->SetAutoThemeAdapt(true);
    EXPECT_EQ(Grid->OldOfficeTheme(), DetectOfficeTheme());
    EXPECT_EQ(Grid->ComponentStyle(), tsOffice2003Classic);

    // A later notice with the same scheme leaves single settings alone.
    Grid->SetGridLineColor(TColor(0x123456));
    Grid->Perform(WM_THEMECHANGED, 0, 0);
    Grid->Perform(ThemeNotifierMessage, 0, 0);
    EXPECT_EQ(Grid->GridLineColor(), TColor(0x123456));
}

TEST_F(ThemeTest, VisualStyleNoticeTakesOnlyTheStyleColours)
{
    NewGrid(false);
    // No application visual style exists here: the notice clears the flag.
    Grid->FUseVCLStyles = true;
    Grid->Perform(StyleChangedMessage, 0, 0);
    EXPECT_FALSE(Grid->StyleActive());
    EXPECT_EQ(Grid->OldOfficeTheme(), otUnknown) << "no Office theme is applied";
}
