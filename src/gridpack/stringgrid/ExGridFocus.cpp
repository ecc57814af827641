// The focus glow: a ring-shaped pop-up window laid around the current cell
// while an editor is open (FocusHelper.Enabled). The grid unit's window hook
// keeps it over the cell while windows move (FocusTrackingGrid).
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/ExGridWindows.h"
#include "platform/controls/Forms.h"

namespace {
constexpr TColor GlowColor = TColor(0xFDD397);
constexpr int GlowOpacity = 230;
} // namespace

void TExStringGrid::ShowFocusWindow(const TRect& R)
{
    if (!FFocusWindow || R.IsEmpty())
        return;
    FFocusWindow->SetVisible(false);
    const int w = R.Width() + 9;
    const int h = R.Height() + 9;
    // The glow: a blurred rounded frame in the glow colour.
    TBitmap mask;
    BuildRoundRectMask(&mask, w, h, 3, 5, 4);
    TBitmap colour;
    colour.SetPixelFormat(pf24bit);
    colour.SetSize(w, h);
    colour.Canvas()->Brush().SetColor(GlowColor);
    colour.Canvas()->FillRect(TRect{0, 0, w, h});
    TGridAlphaMask alpha;
    alpha.SetOpacity(GlowOpacity);
    alpha.MergeMask(&mask, &colour, GlowColor);
    // Only the 4-pixel ring around the cell belongs to the window.
    TRegion ring = CreateRectRgn(0, 0, w, h);
    const TRegion cell = CreateRectRgn(4, 4, 4 + R.Width(), 4 + R.Height());
    CombineRgn(ring, ring, cell, RGN_DIFF);
    SetWindowRgn(FFocusWindow, &ring, true);
    const TPoint at = ClientToScreen(Point(R.Left, R.Top));
    FFocusWindow->SetBounds(at.X - 4, at.Y - 4, w, h);
    UpdateLayeredWindow(FFocusWindow, &alpha);
    ShowWindow(FFocusWindow, SW_SHOWNOACTIVATE);
    FocusTrackingGrid = this;
}

void TExStringGrid::MoveFocusWindow()
{
    if (!FFocusWindow)
        return;
    const TRect r = TBaseGrid::CellRect(Col(), Row());
    const TPoint at = ClientToScreen(Point(r.Left, r.Top));
    FFocusWindow->SetBounds(at.X - 4, at.Y - 4, r.Width() + 9, r.Height() + 9);
}

void TExStringGrid::HideFocusWindow()
{
    if (FocusTrackingGrid == this)
        FocusTrackingGrid = nullptr;
    if (FFocusWindow)
        FFocusWindow->SetVisible(false);
}
