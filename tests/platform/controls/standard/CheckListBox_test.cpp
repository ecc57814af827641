// The check list box: the box of an item flips on a click and on Space.
#include "platform/controls/CheckLst.h"
#include "StdKit.h"

namespace {

using CheckListBoxTest = StdTest;

TEST_F(CheckListBoxTest, ClicksInTheBoxAndSpaceFlipTheItem)
{
    auto* lb = Place<TCheckListBox>(10, 10, 120, 200);
    for (const char* s : {"one", "two", "three"})
        lb->Items()->Add(s);
    int clicks = 0;
    lb->OnClickCheck = [&](TObject*) { ++clicks; };
    const TRect r1 = lb->ItemRect(1);
    Input::Click(lb, r1.Left + 3, r1.Top + 2);
    EXPECT_TRUE(lb->Checked(1));
    EXPECT_EQ(lb->ItemIndex(), 1);
    // a click on the text selects without flipping
    const TRect r2 = lb->ItemRect(2);
    Input::Click(lb, r2.Left + lb->CheckWidth() + 10, r2.Top + 2);
    EXPECT_FALSE(lb->Checked(2));
    EXPECT_EQ(lb->ItemIndex(), 2);
    Input::KeyStroke(VK_SPACE);
    EXPECT_TRUE(lb->Checked(2));
    EXPECT_EQ(clicks, 2);
    // set in code: no event
    lb->SetChecked(0, true);
    EXPECT_TRUE(lb->Checked(0));
    EXPECT_EQ(clicks, 2);
    lb->ClearChecks();
    EXPECT_FALSE(lb->Checked(1));
    EXPECT_THROW(lb->Checked(-1), EListError);
}

} // namespace
