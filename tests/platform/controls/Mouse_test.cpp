#include "TestKit.h"

#include <QMouseEvent>

class MouseTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        NewForm();
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 200, 100);
        A = new TProbe(Form, Form, "A", &Log);
        A->SetBounds(10, 10, 50, 20);
        B = new TProbe(Form, Form, "B", &Log);
        B->SetBounds(100, 10, 50, 20);
        A->OnClick = [this](TObject*) { Log << "A:Click"; };
        A->OnDblClick = [this](TObject*) { Log << "A:DblClick"; };
        Form->Show();
        Log.clear();
        A->Seen.clear();
    }
    TProbe *A, *B;
};

TEST_F(MouseTest, ClickAndDoubleClickSequences) {
    Input::Click(A, 5, 5);
    EXPECT_EQ(Log, QStringList({"A:LBUTTONDOWN", "A:LBUTTONUP", "A:Click"}));
    Log.clear();
    Input::DoubleClick(A, 5, 5);
    EXPECT_EQ(Log, QStringList({"A:LBUTTONDOWN", "A:LBUTTONUP", "A:Click", "A:LBUTTONDBLCLK", "A:DblClick",
                                "A:LBUTTONUP"}));
    // The position arrives in the control's own coordinates.
    const TMessage& down = A->Seen[0];
    EXPECT_EQ(GetXLParam(down.LParam), 5);
    EXPECT_EQ(GetYLParam(down.LParam), 5);
    EXPECT_EQ(down.WParam & MK_LBUTTON, WPARAM(MK_LBUTTON));
}

TEST_F(MouseTest, ReleaseOutsideGoesToTheCapturingControlWithoutAClick) {
    Input::MouseDown(A, mbLeft, 5, 5);
    EXPECT_EQ(GetCaptureControl(), A);
    // Released over B: A holds the capture and hears it, at -85 in its terms.
    Input::MouseUp(B, mbLeft, 5, 5);
    EXPECT_EQ(Log, QStringList({"A:LBUTTONDOWN", "A:LBUTTONUP"}));
    EXPECT_EQ(GetXLParam(A->Seen.back().LParam), 100 + 5 - 10);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(MouseTest, DisabledControlsGetNoMouseInput) {
    A->SetEnabled(false);
    Log.clear();
    Input::Click(A, 5, 5);
    EXPECT_TRUE(Log.isEmpty());
}

TEST_F(MouseTest, EnterAndLeaveFollowTheMouse) {
    Input::MouseMove(A, 1, 1);
    Input::MouseMove(A, 2, 2);
    Input::MouseMove(B, 1, 1);
    Input::MouseLeave();
    EXPECT_EQ(Log, QStringList({"A:CM_MOUSEENTER", "A:MOUSEMOVE", "A:MOUSEMOVE", "A:CM_MOUSELEAVE",
                                "B:CM_MOUSEENTER", "B:MOUSEMOVE", "B:CM_MOUSELEAVE"}));
}

TEST_F(MouseTest, WheelCarriesTheDeltaAndFallsBackToTheParent) {
    int seen = 0;
    A->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        seen = delta;
        handled = true;
    };
    Input::Wheel(A, -2 * WHEEL_DELTA);
    EXPECT_EQ(seen, -240);
    int parentDown = 0;
    Form->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
        ++parentDown;
        handled = true;
    };
    Input::Wheel(B, -WHEEL_DELTA);
    EXPECT_EQ(parentDown, 1) << "B does not scroll, so its form does";
}

TEST_F(MouseTest, RightClickOpensThePopupMenuAndRunsTheChosenItem) {
    TPopupMenu menu(nullptr);
    auto* cut = new TMenuItem(nullptr);
    cut->Caption = "Cut";
    auto* paste = new TMenuItem(nullptr);
    paste->Caption = "Paste";
    int pasted = 0;
    paste->OnClick = [&](TObject*) { ++pasted; };
    menu.Items()->Add(cut);
    menu.Items()->Add(paste);
    A->SetPopupMenu(&menu);
    TPoint shownAt;
    TPopupMenu::SetChooser([&](TPopupMenu* m, TPoint at) {
        shownAt = at;
        return m->Items()->Items(1);
    });
    Input::Click(A, 4, 6, mbRight);
    TPopupMenu::SetChooser(nullptr);
    EXPECT_EQ(pasted, 1);
    EXPECT_EQ(menu.PopupComponent, A);
    EXPECT_EQ(shownAt, A->ClientToScreen(Point(4, 6)));
    EXPECT_FALSE(Log.contains("A:Click")) << "the right button does not click";
    delete cut;
    delete paste;
}

TEST_F(MouseTest, ToolkitMouseEventsFindTheControlUnderThePoint) {
    auto* panel = new TProbe(Form, Form, "P", &Log);
    panel->SetBounds(0, 50, 200, 50);
    auto* inner = new TProbe(Form, panel, "I", &Log);
    inner->SetBounds(20, 5, 30, 30);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(25, 60), QPointF(25, 60), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    EXPECT_TRUE(Input::TranslateQtEvent(Form, &press));
    ASSERT_EQ(Log, QStringList({"I:LBUTTONDOWN"}));
    EXPECT_EQ(GetXLParam(inner->Seen.back().LParam), 5);
    EXPECT_EQ(GetYLParam(inner->Seen.back().LParam), 5);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(25, 60), QPointF(25, 60), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    Input::TranslateQtEvent(Form, &release);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}
