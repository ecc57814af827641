// The painting model: damage regions, the non-client area, window canvases
// and the loop's wake-ups.
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/StdCtrls.h"
#include "support/ToolkitTest.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// A windowed control that fills its client area with one colour and notes
// the clip rectangle of every paint.
class TPainted : public TCustomControl {
public:
    TPainted(TWinControl* parent, TColor colour, TRect bounds) : TCustomControl(parent) {
        SetParent(parent);
        SetBoundsRect(bounds);
        FFill = colour;
    }
    int Paints = 0;
    TRect LastClip;

protected:
    void Paint() override {
        ++Paints;
        LastClip = Canvas()->ClipRect();
        Canvas()->Brush().SetColor(FFill);
        Canvas()->FillRect(ClientRect());
    }

private:
    TColor FFill;
};

// A control with a band of non-client area at its top, as a header would
// take: it logs the non-client messages it gets.
class TBanded : public TCustomControl {
public:
    explicit TBanded(TWinControl* parent) : TCustomControl(parent) {
        SetParent(parent);
        SetBounds(10, 10, 120, 80);
    }
    int NCPaints = 0;
    QList<TMessage> NCMouse;
    int BandHit = 0;

protected:
    void WMNCCalcSize(TMessage& M) override {
        reinterpret_cast<TRect*>(M.LParam)->Top += 20;
        TCustomControl::WMNCCalcSize(M);
    }
    void WMNCHitTest(TMessage& M) override {
        TCustomControl::WMNCHitTest(M);
        const TPoint p = ScreenToClient(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        if (M.Result == HTBORDER && p.Y < 0) M.Result = BandHit;
    }
    void WMNCPaint(TMessage& M) override {
        ++NCPaints;
        TCanvas c;
        reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
        c.Brush().SetColor(clNavy);
        c.FillRect(Rect(0, 0, Width(), 20));
        c.Detach();
        TCustomControl::WMNCPaint(M);
    }
    void WMNCMouse(TMessage& M) override {
        NCMouse << M;
        TCustomControl::WMNCMouse(M);
    }
    void Paint() override {
        Canvas()->Brush().SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
    }
};

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

class PaintingTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(300, 200);
        A = new TPainted(Form, clRed, Rect(10, 10, 110, 60));
        B = new TPainted(Form, clBlue, Rect(150, 10, 250, 60));
        Form->Show();
        Form->RenderClient();
        A->Paints = B->Paints = 0;
    }
    TPainted* A = nullptr;
    TPainted* B = nullptr;
};

}  // namespace

TEST_F(PaintingTest, InvalidatingOneControlPaintsOnlyThatControl) {
    A->Invalidate();
    EXPECT_EQ(Form->UpdateRegion().boundingRect(), QRect(10, 10, 100, 50));
    Form->PaintPending();
    EXPECT_EQ(A->Paints, 1);
    EXPECT_EQ(B->Paints, 0) << "a control that misses the update region is not painted";
    EXPECT_TRUE(Form->UpdateRegion().isEmpty());
    // Nothing pending: nothing painted.
    A->Update();
    EXPECT_EQ(A->Paints, 1);
}

TEST_F(PaintingTest, APartialInvalidationClipsTheCanvasToTheDamagedPart) {
    TRect part = Rect(20, 5, 40, 15);
    InvalidateRect(A, &part, true);
    TRect pending;
    ASSERT_TRUE(GetUpdateRect(A, &pending, false));
    EXPECT_EQ(pending, part);
    UpdateWindow(A);
    EXPECT_EQ(A->Paints, 1);
    EXPECT_EQ(A->LastClip, part) << "ClipRect says which part is painted";
    EXPECT_FALSE(GetUpdateRect(A, &pending, false));

    // A validated area is not painted.
    A->Invalidate();
    ValidateRect(A, nullptr);
    A->Update();
    EXPECT_EQ(A->Paints, 1);
}

TEST_F(PaintingTest, PartsOfAChildOutsideItsParentAreNotPainted) {
    auto* panel = new TPainted(Form, clGreen, Rect(0, 100, 100, 150));
    auto* child = new TPainted(panel, clYellow, Rect(80, 10, 180, 30));  // sticks out on the right
    TRect r;
    ASSERT_TRUE(child->VisibleRectInForm(r));
    EXPECT_EQ(r, Rect(80, 110, 100, 130));
    const QImage img = Form->RenderClient();
    EXPECT_EQ(At(img, 90, 120), QRgb(0xFFFF00));
    EXPECT_EQ(At(img, 120, 120), At(img, 290, 190)) << "beyond the panel shows the form";
}

TEST_F(PaintingTest, RenderingIsTheSameWhetherPaintedWholeOrInParts) {
    const QImage whole = Form->RenderClient();
    A->Invalidate();
    B->Invalidate();
    Form->PaintPending();
    EXPECT_EQ(*Form->Surface(), whole);
}

// Texts changed while a dialog is hidden (a language change) must be on the
// screen when it shows again, without anything else forcing a repaint.
TEST_F(PaintingTest, AFormShownAgainShowsWhatChangedWhileItWasHidden) {
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetBounds(10, 100, 200, 40);
    label->Font()->SetHeight(-24);
    label->SetCaption(QStringLiteral("Begin"));
    Form->PaintPending();
    const QImage before = Form->Surface()->copy();
    Form->Hide();
    label->SetCaption(QStringLiteral("WWWWWW"));
    B->Hide();
    Form->Show();
    Form->PaintPending();
    const QImage shown = Form->Surface()->copy();
    EXPECT_NE(shown, before);
    EXPECT_EQ(shown, Form->RenderClient()) << "the surface shown is the form as it now is";
}

TEST_F(PaintingTest, RedrawOffStopsPaintingUntilTurnedOn) {
    A->Perform(WM_SETREDRAW, 0);
    A->Invalidate();
    A->Update();
    EXPECT_EQ(A->Paints, 0);
    A->Perform(WM_SETREDRAW, 1);
    A->Repaint();
    EXPECT_EQ(A->Paints, 1);
}

TEST_F(PaintingTest, ANonClientBandTakesRoomAndGetsItsOwnMessages) {
    auto* c = new TBanded(Form);
    c->BandHit = HTCAPTION;
    EXPECT_EQ(c->ClientHeight(), 60) << "20 pixels shorter than the window";
    EXPECT_EQ(c->ClientWidth(), 120);
    EXPECT_EQ(c->NCInsets(), Rect(0, 20, 0, 0));
    EXPECT_EQ(c->ClientOrigin().Y - Form->ClientOrigin().Y, 30);

    const QImage img = Form->RenderClient();
    EXPECT_GE(c->NCPaints, 1);
    EXPECT_EQ(At(img, 50, 15), QRgb(0x000080)) << "the band is painted by WM_NCPAINT";
    EXPECT_EQ(At(img, 50, 35), QRgb(0xFFFFFF)) << "the client area by WM_PAINT";

    // A press on the band: WM_NCLBUTTONDOWN with the code WM_NCHITTEST gave.
    Input::MouseDown(c, mbLeft, 30, -10);
    Input::MouseUp(c, mbLeft, 30, -10);
    ASSERT_EQ(c->NCMouse.size(), 2);
    EXPECT_EQ(c->NCMouse[0].Msg, unsigned(WM_NCLBUTTONDOWN));
    EXPECT_EQ(c->NCMouse[0].WParam, WPARAM(HTCAPTION));
    const TPoint screen = c->ClientToScreen(Point(30, -10));
    EXPECT_EQ(GetXLParam(c->NCMouse[0].LParam), screen.X);
    EXPECT_EQ(GetYLParam(c->NCMouse[0].LParam), screen.Y);
    EXPECT_EQ(c->NCMouse[1].Msg, unsigned(WM_NCLBUTTONUP));
    // The form's hit test on the band finds the control itself.
    EXPECT_EQ(Form->ControlAtPos(Point(40, 15)), c);
}

TEST_F(PaintingTest, ALineXoredTwiceThroughTheWindowCanvasLeavesTheFormAsItWas) {
    const QImage before = Form->RenderClient();
    for (int i = 0; i < 2; ++i) {
        auto dc = GetDC(A);
        TCanvas* c = dc->Canvas();
        c->Pen().SetMode(pmXor);
        c->Pen().SetColor(clWhite);
        c->MoveTo(0, 25);
        c->LineTo(100, 25);
        c->MoveTo(5, 0);
        c->LineTo(95, 49);
        if (i == 0) {
            // Drawn at once on the form's surface, where the control lies.
            EXPECT_NE(At(*Form->Surface(), 10 + 20, 10 + 25), At(before, 30, 35));
        }
        ReleaseDC(A, dc);
    }
    EXPECT_EQ(*Form->Surface(), before);
    EXPECT_TRUE(Form->UpdateRegion().isEmpty()) << "a window canvas asks for no repaint";
}

TEST_F(PaintingTest, AWindowCanvasDrawsOnlyWhereTheControlShows) {
    const QImage before = Form->RenderClient();
    {
        auto dc = GetDC(A);
        dc->Canvas()->Brush().SetColor(clLime);
        dc->Canvas()->FillRect(Rect(-50, -50, 500, 500));
    }
    const QImage after = *Form->Surface();
    EXPECT_EQ(At(after, 50, 30), QRgb(0x00FF00));
    EXPECT_EQ(At(after, 5, 5), At(before, 5, 5));
    EXPECT_EQ(At(after, 200, 30), At(before, 200, 30));
}

// ---------------------------------------------------------------------------
// The loop's wake-ups
// ---------------------------------------------------------------------------

TEST_F(PaintingTest, AnIdleLoopDoesNotWakeAndATimerWakesItWhenDue) {
    SetTickCountForTest(100000);
    ASSERT_EQ(ActiveTimerCount(), 0);
    EXPECT_EQ(Application()->NextWakeUpDelay(), -1) << "nothing due: the loop sleeps";
    EXPECT_EQ(Application()->RunIdleFor(2000), 0);

    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    timer.SetInterval(1000);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_EQ(Application()->NextWakeUpDelay(), 1000);
    EXPECT_EQ(Application()->RunIdleFor(2000), 2);
    EXPECT_EQ(ticks, 2);
    timer.SetEnabled(false);
    EXPECT_EQ(Application()->RunIdleFor(2000), 0);
    SetTickCountForTest(-1);
}

TEST_F(PaintingTest, APostedMessageIsHandledWithoutWaitingForATimer) {
    SetTickCountForTest(5000);
    ASSERT_TRUE(PostMessage(A->Handle(), WM_NULL));
    // Handled in the loop's turn, not through a later wake-up.
    EXPECT_EQ(Application()->RunIdleFor(1000), 0);
    EXPECT_EQ(PostedMessageCount(), 0);
    SetTickCountForTest(-1);
}
