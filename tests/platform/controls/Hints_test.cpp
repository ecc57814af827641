#include "TestKit.h"

class HintsTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        NewForm();
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 300, 200);
        A = new TProbe(Form, Form, "A", &Log);
        A->SetBounds(10, 10, 80, 20);
        A->SetHint("Saves the table|Writes the file");
        A->SetShowHint(true);
        B = new TProbe(Form, Form, "B", &Log);
        B->SetBounds(100, 10, 80, 20);
        Form->Show();
    }
    THintWindow* Hint() { return Application()->HintWindow(); }
    bool HintShowing() { return Hint() && Hint()->Active(); }
    TProbe *A, *B;
};

TEST_F(HintsTest, HintShowsAfterThePauseAndHidesAfterTheHidePause) {
    Input::MouseMove(A, 5, 5);
    AdvanceTime(Application()->HintPause - 1);
    EXPECT_FALSE(HintShowing());
    AdvanceTime(1);
    ASSERT_TRUE(HintShowing());
    EXPECT_EQ(Hint()->Caption(), "Saves the table");
    // Below the cursor, sized by the text.
    const TPoint cursor = A->ClientToScreen(Point(5, 5));
    EXPECT_EQ(Hint()->Left(), cursor.X);
    EXPECT_GT(Hint()->Top(), cursor.Y);
    TRect expect = Hint()->CalcHintRect(ScreenSize().cx, "Saves the table", nullptr);
    EXPECT_EQ(Hint()->Width(), expect.Width());
    EXPECT_EQ(Hint()->Height(), expect.Height());
    AdvanceTime(Application()->HintHidePause);
    EXPECT_FALSE(HintShowing());
}

TEST_F(HintsTest, CalcHintRectAddsTheMarginsToTheMeasuredText) {
    THintWindow w(nullptr);
    TRect text(0, 0, 400, 0);
    w.Canvas()->Font().Assign(*w.Font());
    w.Canvas()->DrawText("Some hint", text, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    const TRect r = w.CalcHintRect(400, "Some hint", nullptr);
    EXPECT_EQ(r, Rect(0, 0, text.Right + 6, text.Bottom + 2));
    // A long hint wraps inside the maximum width.
    const TRect narrow = w.CalcHintRect(60, "one two three four five six", nullptr);
    EXPECT_LE(narrow.Width(), 60 + 6);
    EXPECT_GT(narrow.Height(), r.Height());
}

TEST_F(HintsTest, TheControlMayChangeOrCancelItsHint) {
    THintInfo seen;
    bool cancel = false;
    A->WindowProc = [&, original = A->WindowProc](TMessage& m) {
        if (m.Msg == CM_HINTSHOW) {
            auto* info = reinterpret_cast<THintInfo*>(m.LParam);
            seen = *info;
            info->HintStr = "Row 4";
            info->HintColor = clYellow;
            m.Result = cancel ? 1 : 0;
            return;
        }
        original(m);
    };
    Input::MouseMove(A, 7, 3);
    AdvanceTime(Application()->HintPause);
    EXPECT_EQ(seen.HintControl, A);
    EXPECT_EQ(seen.HintStr, "Saves the table");
    EXPECT_EQ(seen.CursorPos, Point(7, 3));
    EXPECT_EQ(seen.CursorRect, A->ClientRect());
    EXPECT_EQ(seen.HintColor, clInfoBk);
    EXPECT_EQ(seen.HideTimeout, Application()->HintHidePause);
    ASSERT_TRUE(HintShowing());
    EXPECT_EQ(Hint()->Caption(), "Row 4");
    EXPECT_EQ(Hint()->Color(), clYellow);

    cancel = true;
    Input::MouseMove(B, 1, 1);
    Input::MouseMove(A, 1, 1);
    AdvanceTime(Application()->HintPause);
    EXPECT_FALSE(HintShowing());
}

TEST_F(HintsTest, LeavingTheControlOrPressingAKeyCancelsTheHint) {
    Input::MouseMove(A, 5, 5);
    AdvanceTime(Application()->HintPause);
    ASSERT_TRUE(HintShowing());
    Input::MouseMove(B, 5, 5);  // B shows no hint
    EXPECT_FALSE(HintShowing());
    EXPECT_EQ(Application()->HintControl(), nullptr);
    Input::MouseMove(A, 5, 5);
    AdvanceTime(Application()->HintPause);
    ASSERT_TRUE(HintShowing());
    Input::KeyStroke('X');
    EXPECT_FALSE(HintShowing());
}

TEST_F(HintsTest, ChildrenTakeTheirParentsShowHint) {
    auto* panel = new TProbe(Form, Form, "P", nullptr);
    panel->SetBounds(0, 100, 200, 50);
    panel->SetHint("Panel");
    panel->SetShowHint(true);
    auto* child = new TProbe(Form, panel, "C", nullptr);
    EXPECT_TRUE(child->ShowHint()) << "ParentShowHint is on by default";
    panel->SetShowHint(false);
    EXPECT_FALSE(child->ShowHint());
    child->SetShowHint(true);
    panel->SetShowHint(true);
    panel->SetShowHint(false);
    EXPECT_TRUE(child->ShowHint()) << "its own value no longer follows";
}

// A control may ask for its own kind of hint window through CM_HINTSHOW.
class TWideHint : public THintWindow {
public:
    explicit TWideHint(TComponent* owner) : THintWindow(owner) {}
    TRect CalcHintRect(int, const QString&, void* data) override {
        CalcData = data;
        return Rect(0, 0, 200, 40);
    }
    void ActivateHint(TRect r, const QString& hint) override {
        ++Activations;
        THintWindow::ActivateHint(r, hint);
    }
    void* CalcData = nullptr;
    int Activations = 0;
};

TEST_F(HintsTest, AControlMayChooseTheHintWindowClass) {
    A->WindowProc = [&, original = A->WindowProc](TMessage& m) {
        if (m.Msg == CM_HINTSHOW) {
            auto* info = reinterpret_cast<THintInfo*>(m.LParam);
            info->HintWindowClass = [](TComponent* o) { return new TWideHint(o); };
            info->HintData = &Log;
            return;
        }
        original(m);
    };
    Input::MouseMove(A, 5, 5);
    AdvanceTime(Application()->HintPause);
    ASSERT_TRUE(HintShowing());
    auto* wide = dynamic_cast<TWideHint*>(Hint());
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->CalcData, &Log) << "the control's data reach the window";
    EXPECT_EQ(wide->Activations, 1) << "an overridden ActivateHint is the one that runs";
    EXPECT_EQ(Hint()->Width(), 200);
    EXPECT_EQ(Hint()->Height(), 40);
}

TEST_F(HintsTest, TheControlMayShortenThePause) {
    A->WindowProc = [&, original = A->WindowProc](TMessage& m) {
        if (m.Msg == CM_HINTSHOWPAUSE) {
            EXPECT_EQ(*reinterpret_cast<int*>(m.LParam), Application()->HintPause);
            *reinterpret_cast<int*>(m.LParam) = 0;
            return;
        }
        original(m);
    };
    Input::MouseMove(A, 5, 5);
    EXPECT_TRUE(HintShowing()) << "no pause at all";
}

TEST_F(HintsTest, AHintIsAPopupThatTakesNoFocusAndIsFoundUnderThePoint) {
    Form->SetFocus();
    B->SetFocus();
    ASSERT_TRUE(B->Focused());
    TCustomForm* active = Screen()->ActiveForm();
    Input::MouseMove(A, 5, 5);
    AdvanceTime(Application()->HintPause);
    ASSERT_TRUE(HintShowing());
    // Shown without activation: the focus and the active form stay.
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(Screen()->ActiveForm(), active);
    // A frameless pop-up kept above the forms, out of the task bar.
    const TCreateParams& p = Hint()->Params();
    EXPECT_TRUE(p.Style & WS_POPUP);
    EXPECT_FALSE(p.Style & WS_CAPTION);
    EXPECT_TRUE(p.ExStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(p.ExStyle & WS_EX_TOPMOST);
    // The window under a point of the hint is the hint; once it hides,
    // what lies below.
    const TRect r = Hint()->ScreenRect();
    const TPoint inside(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
    EXPECT_EQ(WindowFromPoint(inside), Hint());
    Hint()->ReleaseHandle();
    EXPECT_NE(WindowFromPoint(inside), Hint());
}
