// The popup's life: opening and placing it, the reopen guard, closing by
// keys, deactivation and footer buttons, sizing with the grip, the strips.
#include "DropDownKit.h"

#include "platform/controls/ExtCtrls.h"

class DropDownPopupTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Inner = NewObject<TPanel>(Form);
        Inner->SetBounds(0, 0, 30, 20);
        Edit->SetDropDownControl(Inner);
        Popup = Edit->DropDownForm();
    }
    // The edit at a point of the screen (the form's client area starts at
    // the screen's origin).
    void EditAt(int x, int y) { Edit->SetBounds(x, y, 200, 21); }
    // The popup shows and holds the activation; the edit holds its value.
    void Open() {
        Focus();
        Edit->ShowDropDown();
    }
    TPanel* Inner = nullptr;
    TDropDownForm* Popup = nullptr;
};

TEST_F(DropDownPopupTest, OpensBelowOrAboveAndKeepsInsideTheWorkAreasRightEdge) {
    Edit->SetDropDownWidth(300);
    Edit->SetDropDownHeight(200);
    struct Case { int x, y; int left, top; };
    const Case cases[] = {
        {900, 500, 724, 520},  // below (top + 21 - 1), moved left to end at 1024
        {100, 600, 100, 400},  // 600 + 200 is not above 768: above
        {100, 560, 100, 580},  // below; sticking out at the bottom is not corrected
        {100, 568, 100, 368},  // 568 + 200 = 768 is not above the screen height
    };
    for (const Case& c : cases) {
        EditAt(c.x, c.y);
        Open();
        ASSERT_TRUE(Edit->DroppedDown());
        ASSERT_TRUE(Popup->IsShownOnScreen());
        EXPECT_EQ(Popup->Left(), c.left) << c.x << "," << c.y;
        EXPECT_EQ(Popup->Top(), c.top) << c.x << "," << c.y;
        EXPECT_EQ(Popup->Width(), 300);
        EXPECT_EQ(Popup->Height(), 200);
        Edit->HideDropDown(false);
        EXPECT_FALSE(Edit->DroppedDown());
        Edit->SetDropDownWidth(301);  // forgets the size the popup was left at
        Edit->SetDropDownWidth(300);
        Edit->SetDropDownHeight(201);
        Edit->SetDropDownHeight(200);
    }
    Edit->SetDropPosition(dpUp);
    EditAt(100, 500);
    Open();
    EXPECT_EQ(Popup->Top(), 300);
}

TEST_F(DropDownPopupTest, APopupWithoutStripsFitsItsControlButKeepsTheMinimumSize) {
    Edit->DropDownHeader()->SetVisible(false);
    Edit->DropDownFooter()->SetVisible(false);
    Edit->SetDropDownWidth(0);
    Edit->SetDropDownHeight(0);
    // The inner control, aligned to the client area, is 30 x 20 inside a
    // popup of 32 x 22.
    Popup->SetBounds(0, 0, 32, 22);
    ASSERT_EQ(Inner->Height(), 20);
    Edit->UpdateDropDownSize();
    EXPECT_EQ(Popup->Height(), 2 + 20);
    EXPECT_EQ(Popup->Width(), 30);
    Open();
    EXPECT_EQ(Popup->Height(), 50);
    EXPECT_EQ(Popup->Width(), 80);
    // The inner control fills what the border leaves.
    EXPECT_EQ(Inner->Parent(), Popup);
    EXPECT_EQ(Inner->BoundsRect(), Rect(1, 1, 79, 49));
}

TEST_F(DropDownPopupTest, TheProgramMayRefuseToOpen) {
    int asked = 0;
    Edit->OnDropDown = [&](TObject* s, bool& accept) {
        EXPECT_EQ(s, Edit);
        ++asked;
        accept = false;
    };
    Open();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_FALSE(Popup->IsShownOnScreen());
    // Neither does a disabled or read-only edit open.
    Edit->OnDropDown = nullptr;
    Edit->SetReadOnly(true);
    Edit->ShowDropDown();
    EXPECT_FALSE(Edit->DroppedDown());
}

TEST_F(DropDownPopupTest, ReopenGuardCountsAcrossTheTickCountersWrap) {
    TExDropDownSpeedButton* arrow = Edit->Button()->Button();
    struct Case { std::uint32_t releaseAt; bool opens; };
    const Case cases[] = {{0x00000050u, true}, {0xFFFFFFF0u, false}};
    for (const Case& c : cases) {
        SetTickCountForTest(0xFFFFFF00u);
        Open();
        ASSERT_TRUE(Edit->DroppedDown());
        Other->SetFocus();  // another window takes the activation
        EXPECT_FALSE(Edit->DroppedDown());
        EXPECT_EQ(Popup->DeActivateTime(), 0xFFFFFF00u);
        SetTickCountForTest(c.releaseAt);
        Input::Click(arrow, 5, 5);
        EXPECT_EQ(Edit->DroppedDown(), c.opens) << std::hex << c.releaseAt;
        Edit->HideDropDown(false);
    }
}

TEST_F(DropDownPopupTest, ClickingTheButtonOfAnOpenPopupClosesItForGood) {
    Open();
    ASSERT_TRUE(Edit->DroppedDown());
    // The press activates the edit's form first: the popup closes, and the
    // release that follows at once does not open it again.
    Input::Click(Edit->Button()->Button(), 5, 5);
    EXPECT_FALSE(Edit->DroppedDown());
    SetTickCountForTest(100000 + 251);
    Input::Click(Edit->Button()->Button(), 5, 5);
    EXPECT_TRUE(Edit->DroppedDown());
}

TEST_F(DropDownPopupTest, CancellingRestoresTheValueLastWrittenThroughText) {
    Edit->SetText("abc");
    Focus();
    Caret(3);
    Type("x");
    ASSERT_EQ(Edit->Text(), QStringLiteral("abcx"));
    // Escape, which reaches the edit through the popup.
    Edit->ShowDropDown();
    Key(VK_ESCAPE);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->Text(), QStringLiteral("abc"));
    EXPECT_TRUE(Edit->Focused());
    // Deactivation cancels as well while CancelOnDeActivate is on.
    Type("y");
    Edit->ShowDropDown();
    Other->SetFocus();
    EXPECT_EQ(Edit->Text(), QStringLiteral("abc"));
    // Enter keeps the value; the drop-up event tells which way it closed.
    QList<bool> ups;
    Edit->OnDropUp = [&](TObject*, bool cancelled) { ups << cancelled; };
    Edit->SetFocus();
    Caret(3);
    Type("z");
    Edit->ShowDropDown();
    Key(VK_RETURN);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->Text(), QStringLiteral("abcz"));
    Popup->SetCancelOnDeActivate(false);
    Edit->ShowDropDown();
    Other->SetFocus();
    EXPECT_EQ(Edit->Text(), QStringLiteral("abcz"));
    EXPECT_EQ(ups, QList<bool>({false, false}));
}

TEST_F(DropDownPopupTest, KeysOpenAndCloseThePopup) {
    Focus();
    Key(VK_F4);
    EXPECT_TRUE(Edit->DroppedDown());
    Key(VK_F4);
    EXPECT_FALSE(Edit->DroppedDown());
    Key(VK_DOWN, ssAlt);
    EXPECT_TRUE(Edit->DroppedDown());
    Key(VK_UP, ssAlt);
    EXPECT_FALSE(Edit->DroppedDown());
}

TEST_F(DropDownPopupTest, TheGripSizesThePopupAndTheNextOpeningKeepsTheSize) {
    Edit->SetDropDownWidth(200);
    Edit->SetDropDownHeight(150);
    EditAt(50, 50);
    Open();
    TExFooter* footer = Popup->Footer();
    ASSERT_NE(footer, nullptr);
    ASSERT_TRUE(footer->SizeGripVisible());
    int sizing = 0, resized = 0;
    Popup->OnSizing = [&](TObject*) { ++sizing; };
    Popup->OnResize = [&](TObject*) { ++resized; };
    // Pressed on the grip; the moves are given in the popup's coordinates,
    // which do not move while it grows.
    const int x = footer->Width() - 5, y = footer->Height() - 5;
    const int px = footer->Left() + x, py = footer->Top() + y;
    Input::MouseDown(footer, mbLeft, x, y);
    EXPECT_TRUE(Popup->SizingDrag());
    Input::MouseMove(Popup, px + 40, py + 30);
    EXPECT_EQ(Popup->Width(), 240);
    Input::MouseMove(Popup, px + 60, py + 50);
    Input::MouseUp(Popup, mbLeft, px + 60, py + 50);
    EXPECT_FALSE(Popup->SizingDrag());
    EXPECT_EQ(sizing, 2);
    EXPECT_GE(resized, 2);
    EXPECT_EQ(Popup->Width(), 260);
    EXPECT_EQ(Popup->Height(), 200);
    Edit->HideDropDown(false);
    EXPECT_EQ(Edit->UserDropDownWidth(), 260);
    Edit->ShowDropDown();
    EXPECT_EQ(Popup->Width(), 260);
    EXPECT_EQ(Popup->Height(), 200);
    Edit->HideDropDown(false);
    Edit->SetDropDownWidth(210);
    Edit->SetDropDownHeight(160);
    Edit->ShowDropDown();
    EXPECT_EQ(Popup->Width(), 210);
    EXPECT_EQ(Popup->Height(), 160);
    // Without DropDownSizeable there is no grip and a press there does nothing.
    Edit->HideDropDown(false);
    Edit->SetDropDownSizeable(false);
    Edit->ShowDropDown();
    EXPECT_FALSE(footer->SizeGripVisible());
    Input::MouseDown(footer, mbLeft, footer->Width() - 5, footer->Height() - 5);
    EXPECT_FALSE(Popup->SizingDrag());
    Input::MouseUp(footer, mbLeft, footer->Width() - 5, footer->Height() - 5);
}

TEST_F(DropDownPopupTest, FooterButtonsStandRightToLeftAndCloseByTheirResult) {
    TFooterButtons* buttons = Edit->DropDownFooter()->Buttons();
    const char* captions[] = {"OK", "Retry", "Cancel"};
    const int results[] = {mrOk, mrRetry, mrCancel};
    for (int i = 0; i < 3; ++i) {
        TFooterButton* b = buttons->Add();
        b->SetCaption(captions[i]);
        b->SetModalResult(results[i]);
    }
    Edit->SetDropDownWidth(300);
    Edit->SetDropDownHeight(150);
    Edit->SetText("start");
    Open();
    TExFooter* footer = Popup->Footer();
    ASSERT_EQ(footer->ButtonCount(), 3);
    auto right = [](TExButton* b) { return b->Left() + b->Width(); };
    EXPECT_EQ(right(footer->ButtonAt(0)), footer->ClientWidth() - 14);
    EXPECT_EQ(right(footer->ButtonAt(1)), footer->ButtonAt(0)->Left());
    EXPECT_EQ(right(footer->ButtonAt(2)), footer->ButtonAt(1)->Left());
    EXPECT_EQ(footer->GetTextRect().Right, footer->ButtonAt(2)->Left() - 2);
    EXPECT_EQ(footer->ButtonAt(0)->Caption(), QStringLiteral("OK"));
    QList<int> clicked;
    Edit->OnDropDownFooterButtonClick = [&](TObject* s, int index) {
        EXPECT_EQ(s, Edit);
        clicked << index;
    };
    Edit->SetRawText("typed");
    Input::Click(footer->ButtonAt(1), 3, 3);  // retry: stays open
    EXPECT_TRUE(Edit->DroppedDown());
    Input::Click(footer->ButtonAt(2), 3, 3);  // cancel: closes, restores
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->Text(), QStringLiteral("start"));
    EXPECT_EQ(clicked, QList<int>({1, 2}));
    // Without the grip the buttons reach to 2 pixels from the right edge.
    Edit->SetDropDownSizeable(false);
    Edit->ShowDropDown();
    EXPECT_EQ(right(footer->ButtonAt(0)), footer->ClientWidth() - 2);
    // Left alignment packs them from the left edge, in collection order.
    Edit->HideDropDown(false);
    Edit->DropDownFooter()->SetButtonAlignment(baLeft);
    Edit->ShowDropDown();
    EXPECT_EQ(footer->ButtonAt(0)->Left(), 2);
    EXPECT_EQ(footer->ButtonAt(1)->Left(), right(footer->ButtonAt(0)));
}

TEST_F(DropDownPopupTest, HeaderButtonsReportTheirIndex) {
    Edit->DropDownHeader()->Buttons()->Add()->SetCaption("A");
    Edit->DropDownHeader()->Buttons()->Add()->SetCaption("B");
    Edit->SetDropDownHeight(150);
    QList<int> clicked;
    Edit->OnDropDownHeaderButtonClick = [&](TObject*, int index) { clicked << index; };
    Open();
    TExHeader* header = Popup->Header();
    ASSERT_EQ(header->ButtonCount(), 2);
    Input::Click(header->ButtonAt(0), 2, 2);
    EXPECT_EQ(clicked, QList<int>({0}));
    EXPECT_TRUE(Edit->DroppedDown());
    // A header caption change while open rebuilds from the appearance; a
    // new button shows at once.
    Edit->DropDownHeader()->Buttons()->Add()->SetCaption("C");
    EXPECT_EQ(header->ButtonCount(), 3);
}

namespace {
int CountColour(const QImage& img, TColor colour, const TRect& area) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x) {
            const QRgb p = img.pixel(x, y);
            if (RGB(qRed(p), qGreen(p), qBlue(p)) == colour) ++n;
        }
    return n;
}
}  // namespace

TEST_F(DropDownPopupTest, AHeaderWithABackgroundEventPaintsNeitherCaptionNorImage) {
    TImageList images(16, 16);
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));  // 0x0000FF in the platform's colours
    images.AddImage(red);
    Edit->SetImages(&images);
    Edit->DropDownHeader()->SetImageIndex(0);
    Edit->DropDownHeader()->SetCaption("<font color=\"#00FF00\">WWWW</font>");
    Edit->DropDownHeader()->SetHeight(24);
    Edit->SetDropDownWidth(200);
    Edit->SetDropDownHeight(120);
    Open();
    TExHeader* header = Popup->Header();
    const TRect area = header->BoundsRect();
    QImage img = Popup->RenderClient();
    EXPECT_GT(CountColour(img, 0x0000FF, area), 100);  // the image
    EXPECT_GT(CountColour(img, 0x00FF00, area), 5);    // the caption
    Edit->HideDropDown(false);
    Edit->OnDrawHeader = [](TObject*, TCanvas* c, TRect r) {
        c->Brush().SetColor(0x808000);
        c->FillRect(r);
    };
    Edit->ShowDropDown();
    img = Popup->RenderClient();
    EXPECT_EQ(CountColour(img, 0x0000FF, area), 0);
    EXPECT_EQ(CountColour(img, 0x00FF00, area), 0);
    EXPECT_EQ(CountColour(img, 0x808000, area), area.Width() * area.Height());
}

TEST_F(DropDownPopupTest, APopupWithoutBorderColourDrawsNoOutline) {
    Edit->SetDropDownWidth(100);
    Edit->SetDropDownHeight(100);
    Edit->DropDownHeader()->SetVisible(false);
    Edit->DropDownFooter()->SetVisible(false);
    Edit->SetDropDownControl(nullptr);
    Inner->SetVisible(false);
    Edit->SetDropDownColor(0x00FFFF);
    Edit->SetDropDownColorTo(clNone);
    Edit->SetDropDownBorderColor(clNone);
    Open();
    QImage img = Popup->RenderClient();
    EXPECT_EQ(CountColour(img, 0x00FFFF, Rect(1, 1, 99, 99)), 98 * 98);
    EXPECT_NE(CountColour(img, 0x000000, Rect(0, 0, 100, 1)), 100);
    Edit->HideDropDown(false);
    Edit->SetDropDownBorderColor(0x0000FF);
    Edit->ShowDropDown();
    img = Popup->RenderClient();
    EXPECT_EQ(CountColour(img, 0x0000FF, Rect(0, 0, 100, 1)), 100);
    EXPECT_EQ(CountColour(img, 0x0000FF, Rect(0, 0, 1, 100)), 100);
}
