// The string grid's header release and what follows moves: the sort by a
// click on a header, the bookkeeping after a column or a row moved (sort
// column, sort index, column order, the footer, a synchronised grid), the
// owner form's resize, and the balloon window of the cells.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/stringgrid/ExControlLook.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/ToolTips.h"
#include "platform/core/Threads.h"

#include <cstdlib>

// ---------------------------------------------------------------------------
// Header-click sort
// ---------------------------------------------------------------------------

void TExStringGrid::HeaderClickSort(int ACol, int ARow, int X, int Y, bool Moved)
{
    (void)Y;
    TSortSettings* ss = SortSettings();
    const int realCol = RemapColToReal(ACol);
    // 1. A release on a sizing border of the header does not sort.
    const TRect R = CellRect(ACol, ARow);
    if (ARow == 0 && (Options() & goColSizing) && (std::abs(X - R.Left) < 4 || std::abs(X - R.Right) < 4))
        return;
    int pressCol = -1, pressRow = -1;
    MouseToCell(Clickposx, Clickposy, pressCol, pressRow);
    // 2. The drop-down and filter button zone.
    if (X > R.Right - 16 &&
        ((ControlLook()->FixedDropDownButton && CanShowFixedDropDown(realCol)) || GetColumnFilter(realCol)))
        return;
    // 3.
    const bool conditions = ARow == ss->Row && pressRow == ARow && FixedRows() > 0 &&
                            !IsInCheckBox(ACol, ARow, X, Y) && ss->Show && !Moved && RowCount() > 2;
    if (!conditions)
        return;
    bool doSort = !IsIgnoredColumn(realCol);
    if (OnCanSort)
        OnCanSort(this, realCol, doSort);
    if (!doSort) {
        // 5.
        RepaintCell(DisplColIndex(realCol), ss->Row);
        return;
    }
    // 4.
    HideInplaceEdit();
    if (RowCount() != SortRowXRef()->Count())
        InitSortXRef();
    if (ss->AutoColumnMerge)
        SplitColumnCells(ACol);
    const bool keepLeft = (Options() & goRowSelect) && Navigation()->KeepHorizScroll;
    const int oldLeft = LeftCol();
    if (keepLeft)
        BeginUpdate();
    const std::uint32_t start = GetTickCount();
    if (ss->IndexShow) {
        TSortIndexList* idx = SortIndexes();
        const TShiftState shift = KeyboardShiftState();
        const bool key = ss->IndexSortKey == ikCtrl ? (shift & ssCtrl) != 0 : (shift & ssShift) != 0;
        const bool ascending = ss->InitSortDirection == sdAscending;
        if (key) {
            if (idx->FindIndex(realCol) < 0)
                idx->AddIndex(realCol, ascending);
            else
                idx->ToggleIndex(realCol);
        } else if (idx->Count() == 1 && idx->GetSortColumns(0) == realCol) {
            idx->ToggleIndex(realCol);
        } else {
            idx->Clear();
            idx->AddIndex(realCol, ascending);
        }
        QSortIndexed();
        ss->Column = idx->Count() > 0 ? idx->GetSortColumns(0) : -1;
    } else {
        bool sort = true;
        if (ss->Column == realCol) {
            const TSortDirection before = ss->Direction;
            ss->Direction = before == sdAscending ? sdDescending : sdAscending;
            if (before != ss->InitSortDirection && ss->UndoSort) {
                QUnSort();
                ss->Column = -1;
                sort = false;
            }
        } else {
            ss->Direction = ss->InitSortDirection;
            ss->Column = realCol;
        }
        if (sort)
            QSort();
    }
    SortTime = GetTickCount() - start;
    if (keepLeft) {
        SetLeftCol(oldLeft);
        EndUpdate();
    }
    if (ss->AutoColumnMerge)
        MergeColumnCells(ACol, true);
    if (FNumCellControls > 0)
        CellControlsUpdate();
    ClickSort(ss->Column);
}

// ---------------------------------------------------------------------------
// Moved columns and rows
// ---------------------------------------------------------------------------

void TExStringGrid::ColumnMovedFollow(int FromIndex, int ToIndex, int RealFrom, int RealTo)
{
    // The recorded column order stays as it is: restoring the order
    // (ResetColumnOrder) reads it while it moves the columns back.
    if (EnhRowColMove)
        ColMoveFlg = true;
    // 5. The sort column and the sort index follow their data.
    auto follow = [&](int c) {
        if (c == RealFrom)
            return RealTo;
        if (RealFrom < RealTo && c > RealFrom && c <= RealTo)
            return c - 1;
        if (RealTo < RealFrom && c >= RealTo && c < RealFrom)
            return c + 1;
        return c;
    };
    if (SortSettings()->Column >= 0)
        SortSettings()->Column = follow(SortSettings()->Column);
    if (SortSettings()->IndexShow) {
        TSortIndexList* idx = SortIndexes();
        for (int i = 0; i < idx->Count(); ++i) {
            const int e = idx->GetInteger(i);
            idx->SetInteger(i, int((unsigned(e) & ~0xFFFFu) | unsigned(follow(e & 0xFFFF))));
        }
    }
    // 6. The library moved the current column already.
    // 7.
    if (FloatingFooter()->Visible && FooterPanel())
        FooterPanel()->Invalidate();
    // 8. The synchronised grid moves the same column once.
    if (!FSyncedMove && SyncGrid()->MoveColumn) {
        if (auto* other = dynamic_cast<TExStringGrid*>(SyncGrid()->Grid())) {
            other->FSyncedMove = true;
            struct TEnd {
                TExStringGrid* g;
                ~TEnd() { g->FSyncedMove = false; }
            } end{other};
            other->MoveColumn(FromIndex, ToIndex);
        } else if (TStringGrid* plain = SyncGrid()->Grid()) {
            plain->MoveColumn(FromIndex, ToIndex);
        }
    }
}

bool TExStringGrid::RowMoveOntoFooter(int ToIndex) const
{
    return FloatingFooter()->Visible && FloatingFooter()->FooterStyle == fsFixedLastRow && ToIndex == RowCount() - 1;
}

void TExStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    // 1.
    if (RowMoveOntoFooter(ToIndex))
        return;
    // 2. OnRowMoved waits until the cells moved.
    {
        TMovedEvent held = OnRowMoved;
        OnRowMoved = nullptr;
        struct TBack {
            TExStringGrid* g;
            TMovedEvent& h;
            ~TBack() { g->OnRowMoved = h; }
        } back{this, held};
        TBaseGrid::RowMoved(FromIndex, ToIndex);
    }
    // 3. The library moved the heights with the row.
    if (EnhRowColMove)
        ColMoveFlg = true;
    // 4.
    if (OnRowMoved)
        OnRowMoved(this, FromIndex, ToIndex);
    // 5.
    if (!FSyncedMove && SyncGrid()->MoveRow) {
        if (auto* other = dynamic_cast<TExStringGrid*>(SyncGrid()->Grid())) {
            other->FSyncedMove = true;
            struct TEnd {
                TExStringGrid* g;
                ~TEnd() { g->FSyncedMove = false; }
            } end{other};
            other->MoveRow(FromIndex, ToIndex);
        } else if (TStringGrid* plain = SyncGrid()->Grid()) {
            plain->MoveRow(FromIndex, ToIndex);
        }
    }
}

// ---------------------------------------------------------------------------
// The owner form
// ---------------------------------------------------------------------------

void TExStringGrid::InstallOwnerFormResize(TComponent* AOwner)
{
    // Each grid listens for itself; the form's own OnResize stays as it is.
    auto* form = dynamic_cast<TCustomForm*>(AOwner);
    if (!form || (ComponentState() & csDesigning))
        return;
    ResizeAssigned = bool(form->OnResize);
    FResizeForm = form;
    FOwnerResizeListener = form->AddResizeListener([this](TObject* Sender) { OwnerFormResize(Sender); });
    PrevSizeX = form->Width();
    PrevSizeY = form->Height();
}

void TExStringGrid::RemoveOwnerFormResize()
{
    // A form that is going away takes its listeners with it.
    if (FResizeForm && FOwnerResizeListener != 0 && !(FResizeForm->ComponentState() & csDestroying))
        FResizeForm->RemoveResizeListener(FOwnerResizeListener);
    FOwnerResizeListener = 0;
    FResizeForm = nullptr;
}

void TExStringGrid::OwnerFormResize(TObject* Sender)
{
    if (ComponentState() & (csDesigning | csDestroying))
        return;
    if (auto* form = dynamic_cast<TCustomForm*>(Sender); SizeWithForm && form) {
        const int w = Width() + form->Width() - PrevSizeX;
        const int h = Height() + form->Height() - PrevSizeY;
        if (w > 0 && h > 0) {
            SetBounds(Left(), Top(), w, h);
            PrevSizeX = form->Width();
            PrevSizeY = form->Height();
        }
    }
    StretchColumnToFit(ColumnSize()->StretchColumn);
}

// ---------------------------------------------------------------------------
// The balloon window
// ---------------------------------------------------------------------------

void TExStringGrid::BalloonEnableChanged()
{
    if (ComponentState() & csLoading)
        return;
    if (Balloon()->Enable())
        BalloonInit();
    else
        BalloonDone();
}

void TExStringGrid::BalloonInit()
{
    TBalloonSettings* b = Balloon();
    if (b->FInit)
        return;
    b->FInit = true;
    FHToolTip = NewObject<TToolTip>(this);
    FHToolTip->Balloon = true;
    FHToolTip->Title = QStringLiteral("ToolTipText");
    if (b->InitialDelay != -1)
        FHToolTip->InitialDelay = unsigned(b->InitialDelay);
    if (b->ReshowDelay != -1)
        FHToolTip->ReshowDelay = unsigned(b->ReshowDelay);
    if (b->AutoHideDelay != -1)
        FHToolTip->AutoPopDelay = unsigned(b->AutoHideDelay);
    if (b->BackgroundColor != clNone)
        FHToolTip->Color = b->BackgroundColor;
}

void TExStringGrid::BalloonDone()
{
    // The window goes whenever it exists: the enable switch is already off
    // when switching it off ends the balloons.
    if (FHToolTip)
        FreeAndNil(FHToolTip);
    Balloon()->FInit = false;
    FLastBalloonPos = Point(-1, -1);
}

void TExStringGrid::BalloonAtCell(int ACol, int ARow, TPoint Screen)
{
    if (!FHToolTip || ACol < 0 || ARow < 0)
        return;
    int bc = ACol, br = ARow;
    ResolveBaseCell(ACol, ARow, bc, br);
    if (FLastBalloonPos.X == bc && FLastBalloonPos.Y == br)
        return;
    // Another cell pops the balloon at once.
    if (FLastBalloonPos.X >= 0 || FLastBalloonPos.Y >= 0) {
        FHToolTip->Deactivate();
        FLastBalloonPos = Point(-1, -1);
    }
    // The cell's title, text and icon (the cell text or OnCellBalloon);
    // this also records the cell as the balloon's.
    QString title, text;
    TBalloonIcon icon = TBalloonIcon(0);
    BalloonTexts(bc, br, title, text, icon);
    if (text.isEmpty()) {
        FLastBalloonPos = Point(-1, -1);
        return;
    }
    FHToolTip->Title = title;
    FHToolTip->Text = text;
    FHToolTip->Icon = int(icon);
    FLastBalloonPos = Point(bc, br);
    FHToolTip->Activate(Screen);
}

// ---------------------------------------------------------------------------
// The header drag button
// ---------------------------------------------------------------------------

void THeaderDragButton::CreateParams(TCreateParams& Params)
{
    TGridChildControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    SetColor(clBtnFace);
}

void THeaderDragButton::Paint()
{
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    if (Grid)
        Grid->PaintCellExt(c, 0, 0, r, gdFixed);
    c->Brush().SetStyle(bsClear);
    if (!Caption.contains(QLatin1String("</"))) {
        TRect t = r;
        c->DrawText(Caption, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        return;
    }
    THTMLRenderParams p;
    p.Canvas = c;
    p.Text = Caption;
    p.Rect = r;
    p.Images = Grid ? Grid->GridImages : nullptr;
    RenderHTML(p);
}
