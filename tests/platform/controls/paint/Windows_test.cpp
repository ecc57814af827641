// Windows made and destroyed, cursors, pop-up windows with regions and
// transparency, the window under a point, dropped files and named resources.
#include "platform/controls/DropFiles.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/Timers.h"
#include "platform/graphics/Resources.h"
#include "support/ToolkitTest.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

// Logs its window's life: "create", "destroy", timers, and when its
// destructor ran.
class TLifeProbe : public TCustomControl {
public:
    TLifeProbe(TComponent* owner, QStringList* log) : TCustomControl(owner), FLog(log) {}
    ~TLifeProbe() override { FLog->append("destructor"); }

protected:
    void CreateWnd() override {
        TCustomControl::CreateWnd();
        FLog->append("create");
        SetTimer(this, 111, 500);
    }
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_DESTROY) FLog->append("destroy");
        if (M.Msg == WM_TIMER) FLog->append("timer " + QString::number(M.WParam));
        TCustomControl::WndProc(M);
    }

private:
    QStringList* FLog;
};

class TCursorProbe : public TCustomControl {
public:
    explicit TCursorProbe(TWinControl* parent) : TCustomControl(parent) {
        SetParent(parent);
        SetBounds(0, 0, 50, 50);
    }
    int Changes = 0;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == CM_CURSORCHANGED) ++Changes;
        TCustomControl::WndProc(M);
    }
};

class TFill : public TCustomControl {
public:
    TFill(TWinControl* parent, TColor c) : TCustomControl(parent), FColour(c) {
        SetParent(parent);
        SetAlign(alClient);
    }
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Canvas()->Brush().SetColor(FColour);
        Canvas()->FillRect(ClientRect());
    }

private:
    TColor FColour;
};

class WindowsTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        SetTickCountForTest(200000);
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(100, 100, 300, 200);
        new TFill(Form, clWhite);
    }
    void TearDown() override {
        delete Popup;
        ToolkitTest::TearDown();
        SetTickCountForTest(-1);
    }
    // A pop-up of 100 x 80 at screen (150, 130) filled with one colour.
    TPopupForm* NewPopup(TColor colour) {
        Popup = new TPopupForm(nullptr);
        Popup->SetBounds(150, 130, 100, 80);
        Fill = new TFill(Popup, colour);
        return Popup;
    }
    TPopupForm* Popup = nullptr;
    TFill* Fill = nullptr;
};

QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST_F(WindowsTest, CreateWndRunsOnceAndWmDestroyComesBeforeTheDestructor) {
    QStringList log;
    auto* c = new TLifeProbe(Form, &log);
    c->SetParent(Form);
    EXPECT_TRUE(log.isEmpty()) << "no window while the form is hidden";
    Form->Show();
    EXPECT_EQ(log, QStringList{"create"});
    Form->RenderClient();
    EXPECT_EQ(log, QStringList{"create"}) << "made once";
    EXPECT_TRUE(IsTimerSet(c, 111));
    AdvanceTime(500);
    EXPECT_EQ(log.last(), "timer 111");

    log.clear();
    c->RecreateWnd();
    EXPECT_EQ(log, (QStringList{"destroy", "create"}));

    log.clear();
    const int timersBefore = ActiveTimerCount();
    c->Free();
    EXPECT_EQ(log, (QStringList{"destroy", "destructor"}));
    EXPECT_EQ(ActiveTimerCount(), timersBefore - 1) << "the window's timer is gone";
    AdvanceTime(2000);
    EXPECT_EQ(log.size(), 2);
}

TEST_F(WindowsTest, AControlAddedToAShownFormGetsItsWindowWhenFirstPainted) {
    Form->Show();
    QStringList log;
    auto* c = new TLifeProbe(Form, &log);
    c->SetParent(Form);
    c->SetBounds(0, 0, 20, 20);
    EXPECT_TRUE(log.isEmpty());
    Form->PaintPending();
    EXPECT_EQ(log, QStringList{"create"});
    c->Free();
}

TEST_F(WindowsTest, CursorsFollowTheControlUnderTheMouse) {
    Form->Show();
    auto* c = new TCursorProbe(Form);
    c->SetCursor(crHandPoint);
    EXPECT_EQ(c->Changes, 1);
    c->SetCursor(crHandPoint);
    EXPECT_EQ(c->Changes, 1) << "the same value sends nothing";
    Input::MouseMove(c, 10, 10);
    EXPECT_EQ(ShownCursor(), crHandPoint);
    Screen()->SetCursor(crHourGlass);
    Input::MouseMove(c, 11, 10);
    EXPECT_EQ(ShownCursor(), crHourGlass) << "the screen's cursor wins";
    Screen()->SetCursor(crDefault);
    c->SetCursor(crDefault);
    Input::MouseMove(c, 12, 10);
    EXPECT_EQ(ShownCursor(), crArrow);
}

TEST_F(WindowsTest, APopupWithAPolygonRegionPaintsAndHitsOnlyInside) {
    Form->Show();
    NewPopup(clBlack);
    Popup->Show();
    const TPoint pts[7] = {{10, 5}, {60, 0}, {95, 30}, {90, 70}, {50, 79}, {5, 60}, {0, 25}};
    const TRegion rgn = CreatePolygonRgn(pts, 7, ALTERNATE);
    ASSERT_EQ(SetWindowRgn(Popup, &rgn, true), 1);
    const QImage screen = GrabScreen(Rect(100, 100, 400, 300));
    // Inside the region the pop-up, outside it the form below.
    EXPECT_EQ(Px(screen, 50 + 50, 30 + 40), QRgb(0x000000));
    EXPECT_EQ(Px(screen, 50 + 1, 30 + 1), QRgb(0xFFFFFF)) << "the corner is outside the polygon";
    EXPECT_EQ(Px(screen, 50 + 98, 30 + 78), QRgb(0xFFFFFF));
    // Hit testing: inside the pop-up's control, outside the form's.
    EXPECT_EQ(WindowFromPoint(Point(150 + 50, 130 + 40)), Fill);
    TControl* below = WindowFromPoint(Point(150 + 1, 130 + 1));
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(GetParentForm(below), Form);
    // Painting is cut to the region too.
    Popup->InvalidateArea(QRegion(0, 0, 100, 80));
    EXPECT_FALSE(Popup->UpdateRegion().contains(QPoint(1, 1)));
    EXPECT_TRUE(Popup->UpdateRegion().contains(QPoint(50, 40)));
}

TEST_F(WindowsTest, ConstantAlphaBlendsThePopupWithWhatLiesBelow) {
    Form->Show();
    NewPopup(clBlack);
    Popup->Show();
    ASSERT_TRUE(SetLayeredWindowAttributes(Popup, clNone, 128, LWA_ALPHA));
    const QImage screen = GrabScreen(Rect(100, 100, 400, 300));
    const int grey = qRed(screen.pixel(50 + 50, 30 + 40));
    EXPECT_TRUE(grey == 127 || grey == 128) << grey;
    EXPECT_EQ(qGreen(screen.pixel(100, 70)), grey);

    // A colour key makes a hole.
    ASSERT_TRUE(SetLayeredWindowAttributes(Popup, clBlack, 255, LWA_COLORKEY));
    EXPECT_EQ(Px(GrabScreen(Rect(100, 100, 400, 300)), 100, 70), QRgb(0xFFFFFF));
}

TEST_F(WindowsTest, PerPixelAlphaShowsWhatIsBelowThroughTransparentPixels) {
    Form->Show();
    NewPopup(clBlack);
    Popup->Show();
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(100, 80);
    for (int y = 0; y < 80; ++y) {
        TRGBQuad* row = bmp.ScanLine(y);
        for (int x = 0; x < 100; ++x) {
            // Left half opaque red, right half fully transparent.
            const bool opaque = x < 50;
            row[x] = TRGBQuad{0, 0, uint8_t(opaque ? 255 : 0), uint8_t(opaque ? 255 : 0)};
        }
    }
    ASSERT_TRUE(UpdateLayeredWindow(Popup, &bmp));
    const QImage screen = GrabScreen(Rect(100, 100, 400, 300));
    EXPECT_EQ(Px(screen, 50 + 10, 30 + 10), QRgb(0xFF0000));
    EXPECT_EQ(Px(screen, 50 + 80, 30 + 10), QRgb(0xFFFFFF)) << "the form shows through";
}

TEST_F(WindowsTest, APopupShownWithoutActivationLeavesTheFocus) {
    auto* edit = new TCursorProbe(Form);
    edit->SetTabStop(true);
    Form->Show();
    edit->SetFocus();
    ASSERT_EQ(FocusedControl(), edit);
    NewPopup(clBlack);
    ShowWindow(Popup, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(Popup->IsShownOnScreen());
    EXPECT_EQ(FocusedControl(), edit);
    EXPECT_EQ(Screen()->ActiveForm(), Form);

    // A plain form shown the same way does not take the focus either.
    auto* other = new TForm(nullptr);
    other->SetBounds(600, 100, 100, 100);
    ShowWindow(other, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(other->IsShownOnScreen());
    EXPECT_EQ(FocusedControl(), edit);
    delete other;
}

TEST_F(WindowsTest, WindowFromPointFindsTheTopmostWindowsControl) {
    Form->Show();
    EXPECT_EQ(GetParentForm(WindowFromPoint(Point(120, 120))), Form);
    EXPECT_EQ(WindowFromPoint(Point(5, 5)), nullptr);
    NewPopup(clBlack);
    Popup->Show();
    EXPECT_EQ(WindowFromPoint(Point(160, 140)), Fill) << "the pop-up lies above the form";
    // A click-through pop-up (a glow, a drag image) lets the point through.
    Popup->SetClickThrough(true);
    EXPECT_EQ(GetParentForm(WindowFromPoint(Point(160, 140))), Form);
    Popup->SetClickThrough(false);
    Popup->Hide();
    EXPECT_EQ(GetParentForm(WindowFromPoint(Point(160, 140))), Form);
}

TEST(DropFilesTest, ABlockOfTwoNamesReadsBackThroughItsOffset) {
    const QStringList names{"/tmp/a.xml", QString::fromUtf8("/tmp/ü b.csv")};
    const QByteArray block = BuildDropFiles(names, TPoint(7, 9));
    ASSERT_GE(block.size(), kDropFilesHeaderSize);
    EXPECT_EQ(std::uint8_t(block[0]), kDropFilesHeaderSize) << "the list starts after the 20-byte header";
    QStringList back;
    TPoint pt;
    ASSERT_TRUE(ReadDropFiles(block, back, &pt));
    EXPECT_EQ(back, names);
    EXPECT_EQ(pt, TPoint(7, 9));
    EXPECT_EQ(DragQueryFileCount(block), 2u);
    EXPECT_EQ(DragQueryFile(block, 1), names[1]);
    EXPECT_TRUE(DragQueryFile(block, 2).isEmpty());
    // Through the toolkit's URI list and back.
    const QList<QUrl> urls = UrlsFromDropFiles(block);
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[1].toLocalFile(), names[1]);
    ASSERT_TRUE(ReadDropFiles(DropFilesFromUrls(urls), back));
    EXPECT_EQ(back, names);
}

TEST(DropFilesTest, BrokenBlocksAreRefused) {
    QByteArray block = BuildDropFiles({"/tmp/a"});
    QStringList names;
    struct Case {
        const char* What;
        QByteArray Block;
    };
    QByteArray pastEnd = block;
    pastEnd[0] = char(200);  // the offset points past the end
    QByteArray inHeader = block;
    inHeader[0] = char(4);  // the offset points into the header
    QByteArray unended = block.left(block.size() - 4);  // the last name runs off the end
    const Case cases[] = {{"past the end", pastEnd}, {"into the header", inHeader}, {"unended", unended},
                          {"short", block.left(10)}};
    for (const Case& c : cases) {
        EXPECT_FALSE(ReadDropFiles(c.Block, names)) << c.What;
        EXPECT_TRUE(names.isEmpty()) << c.What;
    }
}

TEST(ResourcesTest, NamedRawDataAndResPictures) {
    RegisterResourceData("TEST_TEXT", QByteArray("hello"));
    EXPECT_TRUE(HasResourceData("test_text"));
    EXPECT_EQ(ResourceData("Test_Text"), QByteArray("hello"));
    EXPECT_TRUE(ResourceData("NO_SUCH").isEmpty());

    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));
    RegisterResourceData("LOGO", png);
    TPicture pic;
    pic.LoadFromFile("RES://LOGO");
    EXPECT_EQ(pic.Width(), 3);
    EXPECT_EQ(pic.Height(), 2);
    EXPECT_THROW(pic.LoadFromFile("RES://MISSING"), EInvalidGraphic);
    EXPECT_EQ(pic.Width(), 3) << "a failed load keeps the picture";
}

#include "platform/controls/ToolTips.h"

TEST_F(WindowsTest, ABalloonTipShowsAfterItsDelayAtItsPointerAndPopsAfterItsTime) {
    Form->Show();
    TToolTip tip(nullptr);
    tip.Title = "Address";
    tip.Text = "The group address is not valid.";
    tip.Icon = TTI_WARNING;
    tip.Balloon = true;
    tip.InitialDelay = 400;
    tip.AutoPopDelay = 3000;
    const TPoint pointer(200, 150);
    tip.Activate(pointer);
    AdvanceTime(399);
    EXPECT_FALSE(tip.Showing());
    AdvanceTime(1);
    ASSERT_TRUE(tip.Showing());
    TToolTipWindow* w = tip.Window();
    EXPECT_EQ(w->Pointer(), pointer);
    EXPECT_TRUE(w->HasWindowRegion()) << "a balloon is shaped";
    // The stem's point is at the pointer: just below it lies the tip.
    EXPECT_EQ(WindowFromPoint(Point(pointer.X, pointer.Y + 3)), w);
    EXPECT_EQ(GetParentForm(WindowFromPoint(Point(pointer.X - 10, pointer.Y + 1))), Form)
        << "beside the stem the form shows through";
    EXPECT_EQ(Screen()->ActiveForm(), Form) << "the tip takes no activation";
    AdvanceTime(2999);
    EXPECT_TRUE(tip.Showing());
    AdvanceTime(1);
    EXPECT_FALSE(tip.Showing());

    // Back on a tool soon after: the short reshow wait.
    tip.ReshowDelay = 50;
    tip.Activate(pointer);
    AdvanceTime(50);
    EXPECT_TRUE(tip.Showing());
    tip.Deactivate();
    EXPECT_FALSE(tip.Showing());

    // Tracking shows at once and follows its position.
    tip.TrackActivate(true);
    EXPECT_TRUE(tip.Showing());
    tip.TrackPosition(Point(250, 160));
    EXPECT_EQ(tip.Window()->Pointer(), Point(250, 160));
    AdvanceTime(10000);
    EXPECT_TRUE(tip.Showing()) << "a tracking tip stays";
    tip.TrackActivate(false);
    EXPECT_FALSE(tip.Showing());
}
