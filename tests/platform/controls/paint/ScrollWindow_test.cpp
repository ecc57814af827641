// Scrolling the pixels already drawn: what moves, what is uncovered, and
// that the result is the picture a full paint of the scrolled state gives.
#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"
#include "support/ToolkitTest.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kBand = 12;  // a fixed band at the top that never scrolls
constexpr int kLine = 10;  // the height of one line of content

// A list of coloured lines under a fixed band, scrolled by Offset pixels:
// each line has its own colour and a mark at a place of its own, so a line
// drawn at a wrong height or shifted sideways shows.
class TLines : public TCustomControl {
public:
    TLines(TWinControl* parent, TRect bounds) : TCustomControl(parent) {
        SetParent(parent);
        SetBoundsRect(bounds);
    }
    int OffsetX = 0, OffsetY = 0;
    int Paints = 0;
    QRegion Painted;  // what the paints since the last Clear covered, client coordinates

    // Moves the content by whole pixels the way a scrolling control does.
    void ScrollTo(int x, int y, const TRect* area) {
        const int dx = OffsetX - x, dy = OffsetY - y;
        OffsetX = x;
        OffsetY = y;
        ScrollWindow(this, dx, dy, area, area);
    }
    TRect Lines() const { return Rect(0, kBand, ClientWidth(), ClientHeight()); }
    void Clear() {
        Paints = 0;
        Painted = QRegion();
    }

protected:
    void Paint() override {
        ++Paints;
        const TRect clip = Canvas()->ClipRect();
        Painted += QRect(clip.Left, clip.Top, clip.Width(), clip.Height());
        TCanvas* c = Canvas();
        c->Brush().SetColor(clGray);
        c->FillRect(Rect(0, 0, ClientWidth(), kBand));
        for (int y = kBand; y < ClientHeight(); ++y) {
            const int line = (y - kBand + OffsetY) / kLine;
            c->Brush().SetColor(TColor(((line * 37) & 0xFF) | ((line * 91 & 0xFF) << 8) | 0x400000));
            c->FillRect(Rect(0, y, ClientWidth(), y + 1));
            c->Brush().SetColor(clBlack);
            const int mark = (line * 13) % 50 - OffsetX;
            c->FillRect(Rect(mark, y, mark + 3, y + 1));
        }
    }
};

class ScrollWindowTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(300, 200);
        Lines = new TLines(Form, Rect(20, 30, 220, 172));
        Form->Show();
        Form->RenderClient();
        Lines->Clear();
    }
    // The surface as it is, and as a full paint of the present state makes it.
    void ExpectSurfaceIsAFullPaint() {
        Form->PaintPending();
        const QImage scrolled = Form->Surface()->copy();
        const QImage full = Form->RenderClient();
        EXPECT_TRUE(scrolled == full) << "the moved pixels differ from a full paint";
    }
    QRegion InForm(const TRect& r) const { return QRegion(20 + r.Left, 30 + r.Top, r.Width(), r.Height()); }
    TLines* Lines = nullptr;
};

}  // namespace

TEST_F(ScrollWindowTest, AScrollPaintsOnlyTheUncoveredStrip) {
    const TRect area = Lines->Lines();
    const int h = Lines->ClientHeight();
    struct Case {
        const char* What;
        int X, Y;
        QRegion Uncovered;  // client coordinates
    } cases[] = {
        {"down one line", 0, kLine, QRegion(0, h - kLine, 200, kLine)},
        {"back up", 0, 0, QRegion(0, kBand, 200, kLine)},
        {"right by 7", 7, 0, QRegion(200 - 7, kBand, 7, h - kBand)},
        {"left by 7 and down by 3 at once", 0, 3, QRegion(0, h - 3, 200, 3) + QRegion(0, kBand, 7, h - kBand)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        Lines->ScrollTo(k.X, k.Y, &area);
        EXPECT_EQ(Form->UpdateRegion(), k.Uncovered.translated(20, 30)) << "only the uncovered part waits";
        Form->PaintPending();
        EXPECT_EQ(Lines->Paints, 1);
        EXPECT_EQ(Lines->Painted, QRegion(k.Uncovered.boundingRect())) << "the paint covered more than the strip";
        ExpectSurfaceIsAFullPaint();
        Lines->Clear();
    }
}

TEST_F(ScrollWindowTest, TheFixedBandOutsideTheScrolledAreaStaysAndIsNotRepainted) {
    const TRect area = Lines->Lines();
    const QImage before = Form->Surface()->copy();
    Lines->ScrollTo(0, 2 * kLine, &area);
    Form->PaintPending();
    EXPECT_FALSE(Lines->Painted.intersects(QRect(0, 0, 200, kBand))) << "the band was painted again";
    EXPECT_TRUE(before.copy(20, 30, 200, kBand) == Form->Surface()->copy(20, 30, 200, kBand));
    ExpectSurfaceIsAFullPaint();
}

TEST_F(ScrollWindowTest, APartWaitingToBePaintedMovesWithThePixels) {
    const TRect area = Lines->Lines();
    const TRect waiting = Rect(40, 60, 90, 70);
    InvalidateRect(Lines, &waiting, false);
    Lines->ScrollTo(0, 25, &area);
    const int h = Lines->ClientHeight();
    EXPECT_EQ(Form->UpdateRegion(), InForm(Rect(40, 35, 90, 45)) + InForm(Rect(0, h - 25, 200, h)))
        << "the waiting part is invalid at its new place and valid at its old one";
    ExpectSurfaceIsAFullPaint();
}

TEST_F(ScrollWindowTest, PixelsThatAreNotTheControlsOwnAreNeverMoved) {
    const TRect area = Lines->Lines();
    const int h = Lines->ClientHeight();
    struct Case {
        const char* What;
        std::function<TControl*()> Make;
        QRegion Expected;  // the update region after scrolling down by one line
    } cases[] = {
        {"a child inside", [&] { return new TLines(Lines, Rect(50, 50, 90, 80)); },
         // The child keeps its place; the control's pixels that were under
         // it cannot move from there, and none move over it.
         InForm(Rect(0, h - kLine, 200, h)) + InForm(Rect(50, 40, 90, 50))},
        {"a sibling over it", [&] { return new TLines(Form, Rect(120, 100, 150, 120)); },
         InForm(Rect(0, h - kLine, 200, h)) + QRegion(120, 90, 30, 10)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        TControl* other = k.Make();
        Form->RenderClient();
        const QImage before = Form->Surface()->copy();
        Lines->ScrollTo(0, Lines->OffsetY + kLine, &area);
        EXPECT_EQ(Form->UpdateRegion(), k.Expected);
        ExpectSurfaceIsAFullPaint();
        TRect r;
        ASSERT_TRUE(other->VisibleRectInForm(r));
        const QRect q(r.Left, r.Top, r.Width(), r.Height());
        EXPECT_TRUE(before.copy(q) == Form->Surface()->copy(q)) << "the other control's pixels changed";
        delete other;
        Form->RenderClient();
    }
}

TEST_F(ScrollWindowTest, WhatWasNotValidlyDrawnIsPaintedWhole) {
    const TRect area = Lines->Lines();
    const QRegion all = InForm(area);
    // Switched off painting: nothing that is on the surface can be trusted.
    Lines->Perform(WM_SETREDRAW, 0);
    Lines->ScrollTo(0, kLine, &area);
    EXPECT_EQ(Form->UpdateRegion(), all);
    Lines->Perform(WM_SETREDRAW, 1);
    ExpectSurfaceIsAFullPaint();

    // A form shown but never painted: nothing moves, everything waits.
    delete Form;
    Form = new TForm(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetClientSize(300, 200);
    Lines = new TLines(Form, Rect(20, 30, 220, 172));
    Form->Show();
    Lines->ScrollTo(0, kLine, &area);
    EXPECT_TRUE(Form->UpdateRegion().contains(all.boundingRect()));
    ExpectSurfaceIsAFullPaint();
}

TEST_F(ScrollWindowTest, ScrollWindowExReportsTheUncoveredRegionWithoutInvalidating) {
    const TRect area = Lines->Lines();
    Lines->OffsetY = kLine;
    TRegion update;
    TRect box;
    EXPECT_EQ(ScrollWindowEx(Lines, 0, -kLine, &area, &area, &update, &box, 0), SIMPLEREGION);
    const int h = Lines->ClientHeight();
    EXPECT_EQ(box, Rect(0, h - kLine, 200, h));
    EXPECT_EQ(update.ToQRegion(), QRegion(0, h - kLine, 200, kLine));
    EXPECT_TRUE(Form->UpdateRegion().isEmpty()) << "without SW_INVALIDATE nothing is added";
    InvalidateRect(Lines, &box, false);
    ExpectSurfaceIsAFullPaint();
    EXPECT_EQ(ScrollWindowEx(nullptr, 0, 1, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE), ERROR_REGION);
}

TEST_F(ScrollWindowTest, ScrollingTheWholeClientAreaMovesTheChildrenAlong) {
    auto* child = new TLines(Lines, Rect(50, 50, 90, 80));
    Form->RenderClient();
    Lines->OffsetY = kLine;
    ScrollWindow(Lines, 0, -kLine, nullptr, nullptr);
    EXPECT_EQ(child->Top(), 40);
}

// The window a person sees moves its pixels too, and shows afterwards what
// the surface holds.
TEST(ScrollWindowOnScreen, TheWindowShowsTheScrolledSurface) {
    SetFormHostsEnabled(true);
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetClientSize(300, 200);
    auto* lines = new TLines(form, Rect(20, 30, 220, 172));
    form->Show();
    // A pop-up over the scrolling control is a window of its own: the form's
    // window keeps showing its own pixels under it.
    auto* popup = NewObject<TPopupForm>(form);
    popup->SetBounds(0, 0, 60, 40);
    const TPoint at = lines->ClientToScreen(Point(30, 40));
    popup->Popup(at.X, at.Y);
    QApplication::processEvents();
    const TRect area = lines->Lines();
    for (int y : {kLine, 2 * kLine, kLine, 0}) {
        lines->ScrollTo(0, y, &area);
        QApplication::processEvents();
        QWidget* w = form->HostWidget();
        ASSERT_NE(w, nullptr);
        const QImage shown = w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), form->Surface()->size());
        EXPECT_TRUE(shown == form->Surface()->convertToFormat(QImage::Format_RGB32)) << "at offset " << y;
        EXPECT_TRUE(form->UpdateRegion().isEmpty());
    }
    delete form;
    SetFormHostsEnabled(false);
}

namespace {
// A shown form whose window makes the moves itself.
class ScrollOnScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFormHostsEnabled(true);
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(300, 200);
        Lines = new TLines(Form, Rect(20, 30, 220, 172));
        Form->Show();
        QApplication::processEvents();
        Lines->Clear();
    }
    void TearDown() override {
        delete Form;
        SetFormHostsEnabled(false);
    }
    QImage Shown() const {
        QWidget* w = Form->HostWidget();
        return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    QRegion InForm(const TRect& r) const { return QRegion(20 + r.Left, 30 + r.Top, r.Width(), r.Height()); }
    TForm* Form = nullptr;
    TLines* Lines = nullptr;
};
}  // namespace

// The window moves what it shows; the surface is not moved as well: the
// moved area waits there as stale, and only the uncovered strip is painted.
TEST_F(ScrollOnScreenTest, AOneLineScrollMovesThePixelsOnceAndPaintsOnlyTheStrip) {
    const TRect area = Lines->Lines();
    const int h = Lines->ClientHeight();
    Lines->ScrollTo(0, kLine, &area);
    EXPECT_EQ(Form->UpdateRegion(), InForm(Rect(0, h - kLine, 200, h)));
    EXPECT_EQ(Form->StaleArea(), InForm(Rect(0, kBand, 200, h - kLine))) << "the surface moved its pixels too";
    QApplication::processEvents();
    EXPECT_EQ(Lines->Painted, QRegion(0, h - kLine, 200, kLine)) << "the window's paint painted more than the strip";
    EXPECT_EQ(Form->StaleArea(), InForm(Rect(0, kBand, 200, h - kLine)));
    const QImage shown = Shown();
    EXPECT_TRUE(shown == Form->RenderClient()) << "the window does not show what a full paint gives";
}

// Whatever reads the surface where it is stale gets it painted first, and
// the window then shows what a full paint gives.
TEST_F(ScrollOnScreenTest, AStaleAreaIsPaintedWhenSomethingReadsIt) {
    const TRect area = Lines->Lines();
    const int h = Lines->ClientHeight();
    const QRegion stale = InForm(Rect(0, kBand, 200, h - kLine));
    struct Case {
        const char* What;
        std::function<void()> Read;
        QRegion LeftStale;  // in the form
        QRegion Inverted;   // what the read leaves inverted on the window, in the form
    } cases[] = {
        {"the surface", [&] { Form->Surface(); }, QRegion(), QRegion()},
        {"a canvas on the control drawing an inverting line",
         [&] {
             auto dc = GetDC(Lines);
             dc->Canvas()->Pen().SetMode(pmXor);
             dc->Canvas()->Pen().SetColor(clWhite);
             dc->Canvas()->MoveTo(30, 50);
             dc->Canvas()->LineTo(90, 50);
         },
         stale - InForm(Rect(0, 0, 200, h)), InForm(Rect(30, 50, 90, 51))},
        {"the window's paint of a part", [&] { Form->HostWidget()->repaint(QRect(20, 60, 50, 20)); },
         stale - QRegion(20, 60, 50, 20), QRegion()},
        // A part waiting to be painted splits the move in pieces, which the
        // surface makes itself: its stale pixels move as they are and stay
        // stale at their new place.
        {"a later move the surface makes itself",
         [&] {
             const TRect waiting = Rect(40, 60, 90, 70);
             InvalidateRect(Lines, &waiting, false);
             Lines->ScrollTo(0, 3 * kLine, &area);
             Form->Surface();
         },
         QRegion(), QRegion()},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        Lines->ScrollTo(0, kLine, &area);
        QApplication::processEvents();
        ASSERT_EQ(Form->StaleArea(), stale);
        Lines->Clear();
        k.Read();
        EXPECT_EQ(Form->StaleArea(), k.LeftStale);
        EXPECT_TRUE(((stale - k.LeftStale).translated(-20, -30) - Lines->Painted).isEmpty())
            << "the stale part read was not painted";
        QApplication::processEvents();
        QImage expected = Form->RenderClient();
        for (const QRect& r : k.Inverted)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) expected.setPixel(x, y, expected.pixel(x, y) ^ 0xFFFFFF);
        EXPECT_TRUE(Shown() == expected) << "the window does not show what a full paint gives";
        Lines->ScrollTo(0, 0, &area);
        Form->RenderClient();
        Form->HostWidget()->repaint();
    }
}
