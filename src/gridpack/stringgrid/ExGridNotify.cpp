// Setters with more to them than store-and-repaint (spreadsheet mode, theme
// following, scroll bar types), the flat scroll bars, drag scrolling near
// the grid's edges, and the selection listener.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExScrollControl.h"
#include "gridpack/basegrid/ExStyleIF.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/Timers.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Setters
// ---------------------------------------------------------------------------

void TExStringGrid::SetSpreadSheet(bool v)
{
    // Whatever is written, the spreadsheet behaviours go on: writing false
    // only clears the flag.
    FSpreadSheet = v;
    SetSelectionRectangle(true);
    SetSelectionResizer(true);
    FNavigation->AllowSmartClipboard = true;
    SetOptions(Options() | goEditing | goRangeSelect);
    FMouseActions->RangeSelectAndEdit = true;
}

void TExStringGrid::SetAutoThemeAdapt(bool v)
{
    if (v == FAutoThemeAdapt)
        return;
    FAutoThemeAdapt = v;
    FSearchFooter->SetAutoThemeAdapt(v);
    // Following the colour theme takes the one in use now.
    if (v) {
        ApplyOfficeTheme();
        Invalidate();
    }
    // The process-wide theme notifier tells the window of theme changes.
    if ((ComponentState() & (csDesigning | csLoading)) || !HandleAllocated())
        return;
    if (v)
        AcquireThemeNotifier(this)->RegisterWindow(Handle());
    else if (ThemeNotifierInstance)
        ThemeNotifierInstance->UnRegisterWindow(Handle());
}

void TExStringGrid::SetScrollType(TScrollType v)
{
    if (v != FScrollType) {
        FScrollType = v;
        if (v == ssFlat || v == ssEncarta) {
            InitFlatScrollBars();
            ApplyFlatScrollSettings();
        } else {
            UninitFlatScrollBars();
        }
        if (HandleAllocated() && v == ssMetro) {
            CreateScrollControls();
            SetScrollBars(ssNone);
        } else if (HandleAllocated() && v != ssMetro && (FVScrollCtl || FHScrollCtl)) {
            FreeScrollControls();
            SetScrollBars(ssBoth);
        }
    }
    ApplyFlatScrollStyle();
}

void TExStringGrid::SetScrollColor(TColor v)
{
    FScrollColor = v;
    ApplyFlatScrollColor();
}

void TExStringGrid::SetScrollWidth(int v)
{
    FScrollWidth = v;
    ApplyFlatScrollWidth();
}

void TExStringGrid::SetScrollProportional(bool v)
{
    FScrollProportional = v;
    if (v) {
        UpdateVertScrollProportional();
        UpdateHorzScrollProportional();
    }
    if (!v && FIsFlat && FScrollType == ssNormal) {
        UninitFlatScrollBars();
        for (int bar : {SB_HORZ, SB_VERT}) {
            TScrollInfo si;
            si.fMask = SIF_PAGE;
            si.nPage = 0;
            ::SetScrollInfo(this, bar, si, true);
        }
    }
}

// ---------------------------------------------------------------------------
// Thin scroll controls (the Metro look): a 6-pixel strip at the right and
// one at the bottom.
// ---------------------------------------------------------------------------

void TExStringGrid::CreateScrollControls()
{
    if (!FVScrollCtl) {
        auto* v = NewObject<TScrollControl>(this);
        v->SetDirection(sdVertical);
        FVScrollCtl = v;
        FVScrollCtl->SetParent(this);
    }
    if (!FHScrollCtl) {
        auto* h = NewObject<TScrollControl>(this);
        h->SetDirection(sdHorizontal);
        FHScrollCtl = h;
        FHScrollCtl->SetParent(this);
    }
    const TRect r = ClientRect();
    FVScrollCtl->SetBounds(r.Right - 6, 0, 6, r.Height());
    FHScrollCtl->SetBounds(0, r.Bottom - 6, r.Width(), 6);
}

void TExStringGrid::FreeScrollControls()
{
    FreeAndNil(FVScrollCtl);
    FreeAndNil(FHScrollCtl);
}

// ---------------------------------------------------------------------------
// Flat scroll bars
// ---------------------------------------------------------------------------

void TExStringGrid::InitFlatScrollBars() { FIsFlat = InitializeFlatSB(this); }

void TExStringGrid::UninitFlatScrollBars()
{
    FIsFlat = false;
    UninitializeFlatSB(this);
}

void TExStringGrid::FlatSetScrollProp(int Index, int Value)
{
    if (FIsFlat)
        FlatSB_SetScrollProp(this, Index, Value, true);
}

void TExStringGrid::FlatSetScrollInfo(int Bar, const TScrollInfo& Info) { FlatSB_SetScrollInfo(this, Bar, Info, true); }

void TExStringGrid::ShowFlatScrollBar(int Bar, bool Show)
{
    if (!FIsFlat)
        return;
    if (Bar == SB_HORZ && FScrollBars != ssHorizontal && FScrollBars != ssBoth)
        return;
    if (Bar == SB_VERT && FScrollBars != ssVertical && FScrollBars != ssBoth)
        return;
    FlatSB_ShowScrollBar(this, Bar, Show);
}

void TExStringGrid::SyncFlatScroll(int Bar)
{
    const bool has = Bar == SB_VERT ? (FScrollBars == ssVertical || FScrollBars == ssBoth)
                                    : (FScrollBars == ssHorizontal || FScrollBars == ssBoth);
    if (!FIsFlat || !has)
        return;
    TScrollInfo si;
    si.fMask = SIF_ALL;
    if (::GetScrollInfo(this, Bar, si))
        FlatSetScrollInfo(Bar, si);
}

void TExStringGrid::ApplyFlatScrollStyle()
{
    int style;
    switch (FScrollType) {
    case ssNormal: style = FSB_REGULAR_MODE; break;
    case ssFlat: style = FSB_FLAT_MODE; break;
    case ssEncarta: style = FSB_ENCARTA_MODE; break;
    default: return;
    }
    FlatSetScrollProp(WSB_PROP_VSTYLE, style);
    FlatSetScrollProp(WSB_PROP_HSTYLE, style);
}

void TExStringGrid::ApplyFlatScrollColor()
{
    if (FScrollColor == clNone)
        return;
    FlatSetScrollProp(WSB_PROP_VBKGCOLOR, int(FScrollColor));
    FlatSetScrollProp(WSB_PROP_HBKGCOLOR, int(FScrollColor));
}

void TExStringGrid::ApplyFlatScrollWidth()
{
    FlatSetScrollProp(WSB_PROP_CXVSCROLL, FScrollWidth);
    FlatSetScrollProp(WSB_PROP_CYHSCROLL, FScrollWidth);
}

void TExStringGrid::ApplyFlatScrollSettings()
{
    ApplyFlatScrollStyle();
    ApplyFlatScrollColor();
    ApplyFlatScrollWidth();
    const bool rowsHidden = VisibleRowCount() < RowCount() - FixedRows();
    const bool colsHidden = VisibleColCount() < ColCount() - FixedCols();
    ShowFlatScrollBar(SB_VERT, rowsHidden);
    if (rowsHidden)
        SyncFlatScroll(SB_VERT);
    ShowFlatScrollBar(SB_HORZ, colsHidden);
    if (colsHidden)
        SyncFlatScroll(SB_HORZ);
}

// ---------------------------------------------------------------------------
// Drag scrolling
// ---------------------------------------------------------------------------

void TExStringGrid::StopDragScroll()
{
    if (FDragTmr) {
        FDragTmr->SetEnabled(false);
        FreeAndNil(FDragTmr);
    }
}

void TExStringGrid::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (!FDragScrollOptions->Active) {
        StopDragScroll();
    } else {
        const unsigned previous = FDragScrollDirection;
        FDragScrollDirection = 0;
        if (State == dsDragLeave) {
            StopDragScroll();
        } else {
            const TDragScrollMargins* m = FDragScrollOptions->Margins();
            if (Y < m->TopMargin)
                FDragScrollDirection |= dsdUp;
            else if (Y > Height() - m->BottomMargin)
                FDragScrollDirection |= dsdDown;
            if (X < m->LeftMargin)
                FDragScrollDirection |= dsdLeft;
            else if (X > Width() - m->RightMargin)
                FDragScrollDirection |= dsdRight;
            if (FDragScrollDirection != 0) {
                // The timer belongs to the grid, so it never outlives it.
                if (!FDragTmr) {
                    FDragTmr = NewObject<TTimer>(this);
                    FDragTmr->SetInterval(unsigned(FDragScrollOptions->Delays()->InitialDelay));
                    FDragTmr->OnTimer = [this](TObject*) { DragScrollTimer(); };
                    FDragTmr->SetEnabled(true);
                } else if (previous != 0) {
                    FDragTmr->SetInterval(unsigned(FDragScrollOptions->Delays()->InitialDelay));
                }
            } else {
                StopDragScroll();
            }
        }
    }
    TBaseGrid::DragOver(Source, X, Y, State, Accept);
}

void TExStringGrid::DragScrollTimer()
{
    if (!FDragScrollOptions->Active) {
        StopDragScroll();
        return;
    }
    if (FDragTmr)
        FDragTmr->SetInterval(unsigned(FDragScrollOptions->Delays()->RepeatDelay));
    unsigned dir = FDragScrollDirection;
    if (OnDragScroll) {
        bool can = true;
        OnDragScroll(this, TopRow(), LeftCol(), dir, can);
        if (!can)
            return;
    }
    if ((dir & dsdUp) && TopRow() > FixedRows())
        SetTopRow(TopRow() - 1);
    if ((dir & dsdDown) && TopRow() + VisibleRowCount() < RowCount())
        SetTopRow(TopRow() + 1);
    if ((dir & dsdLeft) && LeftCol() > FixedCols())
        SetLeftCol(LeftCol() - 1);
    if ((dir & dsdRight) && VisibleColCount() + LeftCol() < ColCount())
        SetLeftCol(LeftCol() + 1);
}

// ---------------------------------------------------------------------------
// The selection listener and change notifiers
// ---------------------------------------------------------------------------

void TExStringGrid::RegisterSelListener(std::shared_ptr<ITExStringGridSelect> AListener)
{
    FISelect = std::move(AListener);
}

void TExStringGrid::UnRegisterSelListener(const std::shared_ptr<ITExStringGridSelect>&) { FISelect.reset(); }

void TExStringGrid::NotifySelListener(int ACol, int ARow)
{
    if (FISelect)
        FISelect->SelectCell(ACol, ARow);
}
