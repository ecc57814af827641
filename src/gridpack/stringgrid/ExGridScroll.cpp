// The string grid's scrolling: the mouse wheel, handled in its window
// procedure (a turn moves the current row, or scrolls with waScroll, by the
// wheel step; Ctrl+wheel zooms; the class library's own wheel steps are
// reached only when the parent claims the message); the scroll-bar messages
// with the thumb's hint and the search footer; the proportional thumbs; what
// follows a change of the top-left cell; and middle-button panning.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExHTMLHint.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/Timers.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/Resources.h"

#include <algorithm>
#include <cmath>

bool TExStringGrid::WheelMessage(TMessage& M)
{
    // 1. The parent is asked first; when it claims the wheel the class
    // library handles the message.
    if (Parent() && Parent()->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam) != 0)
        return false;
    const int wheelDelta = int(std::int16_t(HiWord(LPARAM(M.WParam))));
    const bool towardsUser = wheelDelta < 0;
    M.Result = 0;

    // 2. Ctrl+wheel zooms.
    if ((GetKeyState(VK_CONTROL) & 0x8000) && IntelliZoom) {
        Zoom(towardsUser ? wheelscrl : -wheelscrl);
        AutoSizeCells(true, 4, 4);
        return true;
    }
    // 3.
    if (!EnableWheel || (FixedRowAlways && RowCount() == 1))
        return true;

    // 4.
    int n = MouseActions()->WheelIncrement;
    if (n < 1)
        n = wheelscrl;
    const TGridRect selBefore = Selection();
    const bool scrollOnly = MouseActions()->WheelAction() == waScroll;
    int t = Row();
    if (scrollOnly) {
        if (towardsUser) {
            if (TopRow() < RowCount() - VisibleRowCount() && TopRow() + n >= FixedRows())
                SetTopRow(std::min(TopRow() + n, RowCount() - VisibleRowCount()));
        } else {
            if (TopRow() - n < FixedRows())
                n = TopRow() - FixedRows();
            if (TopRow() > FixedRows())
                SetTopRow(TopRow() - n);
        }
    } else {
        t = towardsUser ? Row() + n : Row() - n;
    }

    // 5.
    t = std::max(FixedRows(), std::min(t, RowCount() - FixedFooters() - 1));
    if (Col() >= ColCount() && Row() >= RowCount())
        MoveColRow(ColCount() - 1, RowCount() - 1, true, true);
    if (Col() < FixedCols() && FixedCols() < ColCount())
        SetCol(FixedCols());
    else if (Col() >= ColCount())
        SetCol(ColCount() - 1);

    // 6.
    int delta = 0;
    if (t >= 0 && t < RowCount()) {
        const int keepLeft = LeftCol();
        StartUpdate();
        if (MouseActions()->DisjunctRowSelect() && !scrollOnly)
            ClearRowSelect();
        delta = t - Row();
        if (!scrollOnly && t != Row()) {
            SetRow(t);
            if (Row() != t) {
                // Refused by the cell selection: half-way, ties to even.
                const int half = int(std::nearbyint(double(t - Row()) / 2.0));
                if (half != 0)
                    SetRow(Row() + half);
                if (M.WParam != 0 && TopRow() > FixedRows())
                    SetTopRow(TopRow() - 1);
            }
        }
        if ((Options() & goRowSelect) && Navigation()->KeepHorizScroll)
            SetLeftCol(keepLeft);
        // The row change invalidated the rows it touched and the scroll
        // moved the cells: nothing else needs painting.
        ResetUpdate();
    }

    // 7., 8.
    bool handled = true;
    AfterWheelScroll(delta, handled);
    if (handled && (MouseActions()->WheelIncrement != 0 || MouseActions()->DisjunctRowSelect())) {
        M.Result = 1;
        TShiftState shift = 0;
        TPoint pos = Point(0, 0);
        if (MouseActions()->DisjunctRowSelect()) {
            shift = KeyboardShiftState();
            pos = Point(int(std::int16_t(LoWord(M.LParam))), int(std::int16_t(HiWord(M.LParam))));
        }
        bool h = false;
        if (towardsUser && OnMouseWheelDown)
            OnMouseWheelDown(this, shift, pos, h);
        else if (!towardsUser && OnMouseWheelUp)
            OnMouseWheelUp(this, shift, pos, h);
    }

    // 9. The last row stays above a shown search footer.
    const TGridRect sel = Selection();
    if (sel.Left != selBefore.Left || sel.Top != selBefore.Top || sel.Right != selBefore.Right ||
        sel.Bottom != selBefore.Bottom)
        SelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
    if (SearchFooter()->Visible() && TopRow() == RowCount() - VisibleRowCount())
        ScrollAboveSearchPanel();
    return true;
}

// ---------------------------------------------------------------------------
// Scroll-bar messages
// ---------------------------------------------------------------------------

namespace {
// The class library's scroll range of the grid: 0..127.
constexpr int ScrollScale = 127;
// Pan cursors by vertical and horizontal step.
TCursor PanCursor(int v, int h)
{
    if (v == 0)
        return h == 0 ? 8000 : h > 0 ? 8003 : 8002;
    if (v > 0)
        return h == 0 ? 8001 : h > 0 ? 8007 : 8008;
    return h == 0 ? 8004 : h > 0 ? 8005 : 8006;
}
} // namespace

int TExStringGrid::ThumbRow(int Pos) const
{
    return MulDiv(Pos, RowCount() - VisibleRowCount() - FixedRows(), ScrollScale) + FixedRows();
}

int TExStringGrid::ThumbCol(int Pos) const
{
    return MulDiv(Pos, ColCount() - VisibleColCount() - FixedCols(), ScrollScale) + FixedCols();
}

void TExStringGrid::ShowThumbHint(const QString& Prefix, int Number)
{
    QString text = Prefix + QString::number(Number);
    if (OnScrollHint)
        OnScrollHint(this, Number, text);
    if (!FThumbHintWnd)
        FThumbHintWnd = NewObject<THTMLHintWindow>(this);
    TRect r = FThumbHintWnd->CalcHintRect(100, text, nullptr);
    const TPoint at = GetCursorPos();
    r = TRect(r.Left + at.X + 10, r.Top + at.Y, r.Right + at.X + 10, r.Bottom + at.Y);
    FThumbHintWnd->SetColor(HintColor);
    FThumbHintWnd->ActivateHint(r, text);
    FThumbHintShow = true;
}

void TExStringGrid::HideThumbHint()
{
    if (FThumbHintWnd && FThumbHintShow)
        FThumbHintWnd->ReleaseHandle();
    FThumbHintShow = false;
}

void TExStringGrid::RepaintFooterPanel()
{
    if (FloatingFooter()->Visible && FooterPanel())
        FooterPanel()->Invalidate();
}

void TExStringGrid::WMHScroll(TMessage& M)
{
    const unsigned code = unsigned(LoWord(LPARAM(M.WParam)));
    int pos = HiWord(LPARAM(M.WParam));
    // 1. The thumb's hint.
    if (ScrollHints == shHorizontal || ScrollHints == shBoth) {
        if (code == SB_ENDSCROLL)
            HideThumbHint();
        else if (code == SB_THUMBTRACK)
            ShowThumbHint(QStringLiteral("Col : "), ThumbCol(pos));
    }
    // 2. The flat bars report the thumb on their own scale.
    if (code == SB_THUMBPOSITION && ScrollType() != ssNormal && ColCount() > 0) {
        const int f = int(std::nearbyint(double(VisibleColCount()) * 128.0 / ColCount()));
        if (f != 128) {
            pos = int(std::nearbyint(double(pos) * 127.0 / (128 - f)));
            M.WParam = WPARAM(code) | (WPARAM(std::uint16_t(pos)) << 16);
        }
    }
    // 3.
    if (code == SB_THUMBTRACK && ScrollSynch)
        SetLeftCol(ThumbCol(pos));
    // 5.
    if (FixedCols() == 0 && ThumbCol(pos) >= Col())
        HideInplaceEdit();
    // 6.
    TBaseGrid::WMHScroll(M);
    // 8.
    if (code == SB_ENDSCROLL && ColCount() == 1)
        Repaint();
    // 9.
    SyncFlatHorzScroll();
    SyncFlatVertScroll();
    if (HasCheckBox(RealCol(), Row()))
        HideEditor();
    RepaintFooterPanel();
}

void TExStringGrid::WMVScroll(TMessage& M)
{
    if (ComponentState() & csDesigning) {
        TBaseGrid::WMVScroll(M);
        return;
    }
    const unsigned code = unsigned(LoWord(LPARAM(M.WParam)));
    const int pos = HiWord(LPARAM(M.WParam));
    // 1. The in-cell scroll bar's own scrolling moves only its cell's text.
    if (FScrollBar && M.LParam != 0 && FScrollBar->HandleAllocated() && HWND(M.LParam) == FScrollBar->Handle()) {
        const int old = FScrollBar->Position();
        // The last position is the one where the bar's page still fits.
        const int lo = FScrollBar->Min();
        const int hi = std::max(lo, FScrollBar->PageSize() > 0 ? FScrollBar->Max() - FScrollBar->PageSize() + 1
                                                               : FScrollBar->Max());
        int p = old;
        switch (code) {
        case SB_LINEUP: p = std::max(lo, p - 10); break;
        case SB_LINEDOWN: p = std::min(hi, p + 10); break;
        case SB_PAGEUP: p = std::max(lo, p - 100); break;
        case SB_PAGEDOWN: p = std::min(hi, p + 100); break;
        case SB_THUMBTRACK: p = std::clamp(pos, lo, hi); break;
        default: break;
        }
        if (p != old) {
            M.Result = 1;
            // The bar's change reaches the cell and OnScrollCell.
            FScrollBar->SetPosition(p);
            CellScrollBarScroll(FScrollBar);
        }
        return;
    }
    // 2. The thumb's hint.
    if (ScrollHints == shVertical || ScrollHints == shBoth) {
        if (code == SB_ENDSCROLL)
            HideThumbHint();
        else if (code == SB_THUMBTRACK)
            ShowThumbHint(QStringLiteral("Row : "), ThumbRow(pos));
    }
    // 3.
    if (code == SB_THUMBTRACK && ScrollSynch)
        SetTopRow(ThumbRow(pos));
    // 5. Nothing scrolls down once the last row stands above the search
    // panel.
    const bool searchShown = SearchFooter()->Visible();
    if (searchShown && (code == SB_ENDSCROLL || code == SB_LINEDOWN) && IsLastRowAboveSearchPanel()) {
        M.Result = 1;
        return;
    }
    // 6.
    TBaseGrid::WMVScroll(M);
    if (searchShown) {
        const int bottomTop = RowCount() - VisibleRowCount();
        if (code == SB_LINEUP && TopRow() == bottomTop && TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        else if ((code == SB_ENDSCROLL || code == SB_LINEDOWN) && TopRow() >= bottomTop)
            ScrollAboveSearchPanel();
    }
    SyncFlatVertScroll();
    SyncFlatHorzScroll();
    if (HasCheckBox(RealCol(), Row()))
        HideEditor();
}

// ---------------------------------------------------------------------------
// Proportional thumbs
// ---------------------------------------------------------------------------

void TExStringGrid::UpdateHorzScrollProportional()
{
    if ((ComponentState() & (csLoading | csDesigning)) || !ScrollProportional() || FUpdateCount > 0 ||
        !HandleAllocated() || FInProportional)
        return;
    TRestoreBool guard(FInProportional, true);
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(this, SB_HORZ, si);
    const int lw = GridLineWidth();
    int b = lw, c = lw, d = lw, s = 0;
    for (int i = 0; i < ColCount(); ++i) {
        const int w = ColWidths(i);
        s += w;
        if (i < FixedCols())
            b += lw + w;
        else {
            c += lw + w;
            if (i < LeftCol())
                d += lw + w;
        }
    }
    const int W = Width();
    // The scrolling columns need an extent to be set against the width.
    if (c <= 0)
        return;
    const float e = float(W - b) / float(c);
    if (e >= 0.9999f || b + c - W < 5)
        return;
    si.fMask = SIF_ALL;
    si.nMax = int(std::trunc((e + 127.0f) / (1.0f - e)));
    si.nPage = unsigned(std::max(0, si.nMax - 126));
    if (W < c)
        si.nPos = int(std::trunc(float(d) / float(c - W) * 128.0f));
    ::SetScrollInfo(this, SB_HORZ, si, true);
    SyncFlatHorzScroll();
    if (ScrollBarAlways() != saHorz && ScrollBarAlways() != saBoth &&
        (s < W || (ScrollBars() != ssHorizontal && ScrollBars() != ssBoth)))
        ::ShowScrollBar(this, SB_HORZ, false);
}

void TExStringGrid::UpdateVertScrollProportional()
{
    if ((ComponentState() & (csLoading | csDesigning)) || !ScrollProportional() || FUpdateCount > 0 ||
        !HandleAllocated() || FInProportional)
        return;
    TRestoreBool guard(FInProportional, true);
    if (VisibleRowCount() + FixedRows() >= RowCount())
        return;
    const int lw = GridLineWidth();
    int b = lw, c = lw, d = lw;
    for (int i = 0; i < RowCount(); ++i) {
        const int h = RowHeights(i);
        if (i < FixedRows())
            b += lw + h;
        else {
            c += lw + h;
            if (i < TopRow())
                d += lw + h;
        }
    }
    if (c <= 0)
        return;
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(this, SB_VERT, si);
    const int H = Height();
    const float e = float(H - b) / float(c);
    if (e >= 0.9999f)
        return;
    si.fMask = SIF_ALL;
    si.nMax = int(std::trunc((e + 127.0f) / (1.0f - e)));
    si.nPage = unsigned(std::max(0, si.nMax - 126));
    si.nPos = H < c ? int(std::trunc(float(d) / float(c - H) * 128.0f)) : 127;
    ::SetScrollInfo(this, SB_VERT, si, true);
    SyncFlatVertScroll();
}

// ---------------------------------------------------------------------------
// The top-left cell changed
// ---------------------------------------------------------------------------

bool TExStringGrid::ScrollMovesPixels()
{
    return FBackGround->Bitmap()->Empty() && FBackGround->ColorTo == clNone;
}

void TExStringGrid::TopLeftChanged()
{
    // 2.
    TBaseGrid::TopLeftChanged();
    // 3.
    const TGridRect sel = Selection();
    if (SelectionRectangle() && sel.Bottom > sel.Top)
        Invalidate();
    // 4. A gradient background moves with the cells.
    if ((BackGround()->Display == bdGradientHorz || BackGround()->Display == bdGradientVert) &&
        BackGround()->ColorTo != clNone)
        Invalidate();
    // 5.
    if (EditMode && EditControl != edNormal)
        HideInplaceEdit();
    // 6.
    SyncFlatVertScroll();
    SyncFlatHorzScroll();
    RepaintFooterPanel();
    if (FNumCellControls > 0)
        CellControlsUpdate();
    FOldLeftCol = LeftCol();
    FOldTopRow = TopRow();
    if (ComponentState() & csDesigning)
        Invalidate();
    // 7. The synchronised grid follows.
    if (TStringGrid* sync = SyncGrid()->Grid()) {
        if (SyncGrid()->ScrollVertical && sync->TopRow() != TopRow())
            sync->SetTopRow(TopRow());
        if (SyncGrid()->ScrollHorizontal && sync->LeftCol() != LeftCol())
            sync->SetLeftCol(LeftCol());
    }
    // 8.
    if (VertScrollControl())
        VertScrollControl()->Invalidate();
    if (HorzScrollControl())
        HorzScrollControl()->Invalidate();
}

// ---------------------------------------------------------------------------
// Middle-button panning
// ---------------------------------------------------------------------------

void TExStringGrid::InvalidatePanOrigin()
{
    const TRect r(wheelpanpos.X, wheelpanpos.Y, wheelpanpos.X + 32, wheelpanpos.Y + 32);
    ::InvalidateRect(this, &r, false);
}

void TExStringGrid::DrawPanOrigin()
{
    if (!HandleAllocated())
        return;
    const QString name = IntelliPan == ipVertical     ? QStringLiteral("INTLI3")
                         : IntelliPan == ipHorizontal ? QStringLiteral("INTLI2")
                                                      : QStringLiteral("INTLI1");
    TBitmap glyph;
    if (!LoadResourceBitmap(&glyph, name))
        return;
    glyph.SetTransparentColor(glyph.Canvas()->Pixels(0, 0));
    glyph.SetTransparent(true);
    TBitmap back;
    back.SetWidth(glyph.Width());
    back.SetHeight(glyph.Height());
    back.Canvas()->Brush().SetColor(clWhite);
    back.Canvas()->FillRect(TRect(0, 0, glyph.Width(), glyph.Height()));
    back.Canvas()->Draw(0, 0, &glyph);
    auto dc = GetDC(this);
    dc->Canvas()->Draw(wheelpanpos.X, wheelpanpos.Y, &back);
}

bool TExStringGrid::PanMessage(TMessage& M)
{
    if (wheelmsg == 0 || IntelliPan == ipNone)
        return false;
    const bool press = M.Msg == WM_MBUTTONDOWN || M.Msg == WM_LBUTTONDOWN || M.Msg == WM_RBUTTONDOWN ||
                       M.Msg == WM_KEYDOWN;
    if (wheelpan && press) {
        // Any button or key ends panning; the message then goes on.
        SetMouseCapture(false);
        KillTimer(this, PanTimerIdent);
        wheeltimer = 0;
        SetGridCursor(prevcurs);
        ::SetCursor(prevcurs);
        SetShowHint(true);
        wheelpan = false;
        InvalidatePanOrigin();
        return false;
    }
    if (!wheelpan && M.Msg == WM_MBUTTONDOWN && RowCount() > FixedRows()) {
        prevcurs = Cursor();
        SetGridCursor(8000);
        ::SetCursor(8000);
        wheelpan = true;
        wheeltimer = SetTimer(this, PanTimerIdent, 10);
        wheelpanpos = Point(int(std::int16_t(LoWord(M.LParam))), int(std::int16_t(HiWord(M.LParam))));
        SetMouseCapture(true);
        SetShowHint(false);
        DrawPanOrigin();
        return true;
    }
    if (wheelpan && M.Msg == WM_TIMER && M.WParam == PanTimerIdent) {
        PanTick();
        return true;
    }
    return false;
}

void TExStringGrid::PanTick()
{
    const TGridRect selBefore = Selection();
    const TPoint p = ScreenToClient(GetCursorPos());
    const TPoint o = wheelpanpos;
    int v = p.Y < o.Y - 5 ? -1 : p.Y > o.Y + 5 ? 1 : 0;
    if (IntelliPan == ipHorizontal)
        v = 0;
    int h = 0;
    if (IntelliPan != ipVertical)
        h = p.X > o.X + 5 ? 1 : p.X < o.X - 5 ? -1 : 0;
    const TCursor curs = PanCursor(v, h);

    // The current cell stays within the data area.
    if (Row() > RowCount() - FixedFooters() - 1)
        SetRow(RowCount() - FixedFooters() - 1);
    if (Row() < FixedRows())
        SetRow(FixedRows());
    if (Col() > ColCount() - FixedRightCols() - 1)
        SetCol(ColCount() - FixedRightCols() - 1);
    if (Col() < FixedCols())
        SetCol(FixedCols());

    if (MouseActions()->WheelAction() == waScroll) {
        const int maxLeft = ColCount() - VisibleColCount();
        if ((h < 0 && LeftCol() > FixedCols() && LeftCol() + h >= FixedCols()) ||
            (h > 0 && LeftCol() < maxLeft && LeftCol() + h <= maxLeft)) {
            InvalidatePanOrigin();
            SetLeftCol(LeftCol() + h);
        }
        const int maxTop = RowCount() - VisibleRowCount();
        if (v != 0 && TopRow() + v >= FixedRows() && TopRow() + v <= maxTop) {
            InvalidatePanOrigin();
            SetTopRow(TopRow() + v);
        }
    } else {
        int c = Col();
        if ((h < 0 && c > FixedCols()) || (h > 0 && c < ColCount() - FixedRightCols() - 1))
            c += h;
        int r = Row();
        if ((v < 0 && r > FixedRows() && r + v >= 0) || (v > 0 && r < RowCount() - FixedFooters() - 1 && r + v <= RowCount() - 1))
            r += v;
        if (c < LeftCol() || c >= LeftCol() + VisibleColCount() || r < TopRow() || r >= TopRow() + VisibleRowCount())
            InvalidatePanOrigin();
        if (c != Col())
            SetCol(c);
        if (r != Row())
            SetRow(r);
    }
    SetGridCursor(curs);
    ::SetCursor(curs);
    DrawPanOrigin();
    const TGridRect sel = Selection();
    if (!(sel == selBefore))
        SelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
}
