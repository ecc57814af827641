// The thin scroll bar: its thumb geometry, painting and mouse.
#include "gridpack/stringgrid/ExScrollControl.h"
#include "gridpack/stringgrid/ExGrid.h"

#include <algorithm>
#include <cmath>

namespace {
// Round to the nearest integer, halves to even.
int RoundEven(double v) { return int(std::nearbyint(v)); }
} // namespace

TScrollControl::TScrollControl(TComponent* AOwner) : TGridChildControl(AOwner)
{
    SetColor(TColor(0xC0C0C0));
}

TExStringGrid* TScrollControl::Grid() const { return dynamic_cast<TExStringGrid*>(Parent()); }

void TScrollControl::SetScrollWidth(int v)
{
    if (v == FScrollWidth)
        return;
    FScrollWidth = v;
    Invalidate();
}

void TScrollControl::SetDirection(TScrollDirection v)
{
    if (v == FDirection)
        return;
    FDirection = v;
    Invalidate();
}

bool TScrollControl::ThumbMetrics(int Length, int Start, int Track, int Visible, int Count, int Fixed, int First,
                                  int& Pos, int& Len)
{
    // Nothing scrolls, or no track is left: no thumb (and no division by an
    // empty range).
    if (Count <= Fixed || Track <= 0 || Visible >= Count - Fixed)
        return false;
    const double v = double(Visible) / Count;
    const double p = double(First - Fixed) / (Count - Fixed);
    Pos = Start + RoundEven(Track * p);
    Len = std::max(20, RoundEven(Track * v));
    if (Pos + Len > Length)
        Pos = Length - Len;
    return true;
}

bool TScrollControl::Thumb(int& Pos, int& Len) const
{
    TExStringGrid* g = Grid();
    if (!g)
        return false;
    if (FDirection == sdVertical) {
        int fixed = 0, footers = 0;
        for (int r = 0; r < g->FixedRows() && r < g->RowCount(); ++r)
            fixed += g->RowHeights(r);
        for (int r = std::max(g->FixedRows(), g->RowCount() - g->FixedFooters()); r < g->RowCount(); ++r)
            footers += g->RowHeights(r);
        return ThumbMetrics(Height(), fixed, Height() - fixed - footers, g->VisibleRowCount(), g->RowCount(),
                            g->FixedRows(), g->TopRow(), Pos, Len);
    }
    int fixed = 0, right = 0;
    for (int c = 0; c < g->FixedCols() && c < g->ColCount(); ++c)
        fixed += g->ColWidths(c);
    for (int c = std::max(g->FixedCols(), g->ColCount() - g->FixedRightCols()); c < g->ColCount(); ++c)
        right += g->ColWidths(c);
    return ThumbMetrics(Width(), fixed, Width() - fixed - right, g->VisibleColCount(), g->ColCount(), g->FixedCols(),
                        g->LeftCol(), Pos, Len);
}

void TScrollControl::Paint()
{
    int pos = 0, len = 0;
    if (!Thumb(pos, len))
        return;
    TCanvas* c = Canvas();
    c->Pen().SetColor(Color());
    c->Brush().SetColor(Color());
    if (FDirection == sdVertical)
        c->Rectangle(0, pos, FScrollWidth, pos + len);
    else
        c->Rectangle(pos, 0, pos + len, FScrollWidth);
}

void TScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGridChildControl::MouseDown(Button, Shift, X, Y);
    TExStringGrid* g = Grid();
    if (!g)
        return;
    const bool vert = FDirection == sdVertical;
    const int at = vert ? Y : X;
    int pos = 0, len = 0;
    const bool thumb = Thumb(pos, len);
    const int first = vert ? g->TopRow() : g->LeftCol();
    const int fixed = vert ? g->FixedRows() : g->FixedCols();
    const int visible = vert ? g->VisibleRowCount() : g->VisibleColCount();
    const int count = vert ? g->RowCount() : g->ColCount();
    auto moveTo = [&](int v) {
        if (vert)
            g->SetTopRow(v);
        else
            g->SetLeftCol(v);
    };
    if (thumb && at >= pos && at < pos + len) {
        FDownOnScroller = true;
        FDownPos = at;
        FDownRow = first;
    } else if (!thumb || at < pos) {
        moveTo(std::max(fixed, first - visible));
    } else {
        moveTo(std::max(fixed, std::min(first + visible, count - visible)));
    }
}

void TScrollControl::MouseMove(TShiftState Shift, int X, int Y)
{
    TGridChildControl::MouseMove(Shift, X, Y);
    TExStringGrid* g = Grid();
    if (!g || !FDownOnScroller)
        return;
    const bool vert = FDirection == sdVertical;
    const int count = vert ? g->RowCount() : g->ColCount();
    const int fixed = vert ? g->FixedRows() : g->FixedCols();
    // The strip beyond the first header cell; with none left, or nothing to
    // scroll, the drag does not step.
    const int span = vert ? Height() - g->RowHeights(0) : Width() - g->ColWidths(0);
    if (span <= 0 || count <= fixed)
        return;
    const int visible = vert ? g->VisibleRowCount() : g->VisibleColCount();
    const int delta = (vert ? Y : X) - FDownPos;
    const int v = std::max(fixed, std::min(RoundEven(double(delta) / span * count) + FDownRow, count - visible));
    if (vert)
        g->SetTopRow(v);
    else
        g->SetLeftCol(v);
}

void TScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGridChildControl::MouseUp(Button, Shift, X, Y);
    FDownOnScroller = false;
}
