// Forms centred on the screen open in its work area.
#include "platform/controls/Forms.h"
#include "support/ToolkitTest.h"

#include <gtest/gtest.h>

namespace {
class ScreenTest : public ToolkitTest {
protected:
    void TearDown() override {
        ToolkitTest::TearDown();
        SetScreenSize(TSize(1920, 1080));
        SetScreenWorkArea(Rect(0, 0, 1920, 1040));
    }
};
}  // namespace

// A dialog border: a 3-pixel frame on each side and a 23-pixel caption, so
// a client area of 694 x 484 makes a window of 700 x 513.
TEST_F(ScreenTest, AFormCentredOnTheScreenOpensCentredInTheWorkArea) {
    SetScreenSize(TSize(1280, 1024));
    SetScreenWorkArea(Rect(0, 0, 1280, 984));
    EXPECT_EQ(Screen()->Width(), 1280);
    EXPECT_EQ(Screen()->WorkAreaHeight(), 984);
    Form = new TForm(nullptr);
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poScreenCenter);
    Form->SetClientSize(694, 484);
    ASSERT_EQ(Form->Width(), 700);
    ASSERT_EQ(Form->Height(), 513);
    Form->Show();
    EXPECT_EQ(Form->Left(), (1280 - 700) / 2);
    EXPECT_EQ(Form->Top(), (984 - 513) / 2);
    EXPECT_LE(Form->Left() + Form->Width(), 1280) << "inside the screen";
}

TEST_F(ScreenTest, AFormLargerThanTheWorkAreaOpensAtItsTopLeft) {
    SetScreenSize(TSize(640, 480));
    SetScreenWorkArea(Rect(0, 0, 640, 440));
    Form = new TForm(nullptr);
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poScreenCenter);
    Form->SetClientSize(694, 484);
    Form->Show();
    EXPECT_EQ(Form->Left(), 0);
    EXPECT_EQ(Form->Top(), 0);
}

TEST_F(ScreenTest, AWorkAreaThatDoesNotStartAtTheCornerIsFollowed) {
    SetScreenSize(TSize(1280, 1024));
    SetScreenWorkArea(Rect(0, 40, 1280, 1024));  // a task bar at the top
    Form = new TForm(nullptr);
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poScreenCenter);
    Form->SetClientSize(694, 484);
    Form->Show();
    EXPECT_EQ(Form->Top(), 40 + (984 - 513) / 2);
}
