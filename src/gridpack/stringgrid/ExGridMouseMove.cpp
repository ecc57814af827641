// The string grid's mouse movement beyond hover and hints: the in-cell
// scroll bar that follows the pointer, the hovered cell button, the drag
// selection of whole rows or columns from the headers, the start of a drag
// of the selected cells, the live feedback of an enhanced row or column
// move (floating caption or snapshot, insertion arrows, cursor) and its end
// at the release, and the links under the pointer.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/ExGridWindows.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/basegrid/sgdd.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdCtrls.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {
constexpr int KindHTML = 1;
// Width of the in-cell scroll bar.
constexpr int CellScrollBarWidth = 17;
// The library's timer that scrolls while a move holds the pointer past an
// edge.
constexpr unsigned MoveScrollTimer = 1;
// Size of an insertion arrow window.
constexpr int ArrowSize = 11;

} // namespace

// ---------------------------------------------------------------------------
// In-cell scroll bar
// ---------------------------------------------------------------------------

void TExStringGrid::MoveCellScrollBar(int ACol, int ARow)
{
    if (!FScrollBar || !FScrollBar->Parent())
        return;
    const int realCol = RemapColToReal(ACol);
    if (!HasScrollBar(realCol, ARow)) {
        FScrollBar->SetVisible(false);
        return;
    }
    FScrollCol = ACol;
    FScrollRow = ARow;
    const TScrollProp prop = GetScrollProp(realCol, ARow);
    if (prop.PageSize >= prop.Range)
        return;
    const TRect R = CellRect(ACol, ARow);
    const int lw = GridLineWidth();
    // Placed only when it is not on this cell already.
    if (FScrollBar->Visible() && FScrollBar->Top() == R.Top + lw &&
        FScrollBar->Left() == R.Right - FScrollBar->Width() - lw)
        return;
    FScrollBar->SetParams(0, 0, prop.Range);
    FScrollBar->SetPageSize(prop.PageSize);
    FScrollBar->SetBounds(R.Right - CellScrollBarWidth - lw, R.Top + lw, CellScrollBarWidth,
                          R.Bottom - R.Top - 2 * lw);
    FScrollBar->SetPosition(std::max(0, GetScrollPosition(realCol, ARow)));
    FScrollBar->OnChange = [this](TObject* Sender) { CellScrollBarScroll(Sender); };
    FScrollBar->SetVisible(true);
}

void TExStringGrid::CellScrollBarScroll(TObject*)
{
    if (!FScrollBar || FScrollCol < 0 || FScrollRow < 0 || FScrollCol >= ColCount() || FScrollRow >= RowCount())
        return;
    const int realCol = RemapColToReal(FScrollCol);
    if (GetScrollPosition(realCol, FScrollRow) == FScrollBar->Position())
        return;
    SetScrollPosition(realCol, FScrollRow, FScrollBar->Position());
    ScrollCell();
}

void TExStringGrid::ScrollCell()
{
    if (OnScrollCell && FScrollBar)
        OnScrollCell(this, FScrollCol, FScrollRow, FScrollBar->Position(), FScrollBar->Min(), FScrollBar->Max());
}

// ---------------------------------------------------------------------------
// Hovered cell button
// ---------------------------------------------------------------------------

void TExStringGrid::MoveHoverButton(int ACol, int ARow, int X, int Y)
{
    const int realCol = RemapColToReal(ACol);
    const TPoint at = Point(X, Y);
    const bool over = (HasButton(realCol, ARow) && GetCellButtonRect(ACol, ARow).Contains(at)) ||
                      (HasExpand(realCol, ARow) && GetExpandGlyphRect(ACol, ARow).Contains(at));
    const TPoint old = FHoverButtonCell;
    if (over) {
        if (old.X == ACol && old.Y == ARow)
            return;
        if (old.X >= 0 && old.Y >= 0)
            RepaintCell(old.X, old.Y);
        FHoverButtonCell = Point(ACol, ARow);
        RepaintCell(ACol, ARow);
        return;
    }
    if (old.X >= 0 && old.Y >= 0) {
        FHoverButtonCell = Point(-1, -1);
        RepaintCell(old.X, old.Y);
    }
}

// ---------------------------------------------------------------------------
// Header drag selection
// ---------------------------------------------------------------------------

void TExStringGrid::MoveHeaderSelection(int ACol, int ARow, int Y, bool& ScrolledUp)
{
    if (FMouseSelectStart == -1)
        return;
    TMouseActions* ma = MouseActions();
    if (ma->RowSelect && FMouseSelectMode == msRow) {
        // Footer rows are never drag-selected.
        if (ARow >= FixedRows() && ARow < RowCount() - FixedFooters()) {
            const int to = std::max(FixedRows(), ARow);
            const TGridRect sel{FixedCols(), std::min(FMouseSelectStart, to), ColCount() - 1,
                                std::max(FMouseSelectStart, to)};
            SetSelection(sel);
            if (SelectionRectangle() && !(sel == FSizeSelection)) {
                InvalidateCellRange(
                    TGridRect{LeftCol(), sel.Top, std::min(ColCount() - 1, LeftCol() + VisibleColCount()), sel.Bottom});
                FSizeSelection = sel;
            }
        }
        // Near the bottom edge one row down; above the header's bottom one
        // row up, and the row scrolled into view may be selected.
        if (Y > Height() - 4 && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
        if (FixedRows() > 0 && RowCount() > 0 && Y < RowHeights(0) && TopRow() > FixedRows()) {
            SetTopRow(TopRow() - 1);
            ScrolledUp = true;
        }
        return;
    }
    if (ma->ColSelect && FMouseSelectMode == msColumn && ACol >= 0) {
        const int to = std::max(FixedCols(), ACol);
        const TGridRect sel{std::min(FMouseSelectStart, to), FixedRows(), std::max(FMouseSelectStart, to),
                            RowCount() - 1};
        SetSelection(sel);
        if (SelectionRectangle() && !(sel == FSizeSelection)) {
            InvalidateCellRange(
                TGridRect{sel.Left, TopRow(), sel.Right, std::min(RowCount() - 1, TopRow() + VisibleRowCount())});
            FSizeSelection = sel;
        }
    }
}

// ---------------------------------------------------------------------------
// Drag of the selected cells
// ---------------------------------------------------------------------------

bool TExStringGrid::MoveDragStart(int ACol, int ARow, int X, int Y, bool OverResizer)
{
    if (!FSelectionClick || ACol < 0 || ARow < 0)
        return false;
    const bool leftDown = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 || (KeyboardShiftState() & ssLeft);
    const bool away = std::abs(X - Clickposx) > 3 || std::abs(Y - Clickposy) > 3;
    if (!leftDown || !away || !DragDropSettings()->OleDropSource || GridState() == gsColSizing || OverResizer)
        return false;
    FSelectionClick = false;
    if (OleDragStart(ACol, ARow))
        return true;
    // Refused: the move goes on as a range selection.
    if (GridState() == gsNormal)
        SetGridState(gsSelecting);
    return false;
}

// ---------------------------------------------------------------------------
// Enhanced row and column moves
// ---------------------------------------------------------------------------

bool TExStringGrid::MoveEnhancedFeedback(int ACol, int ARow, int X, int Y)
{
    TGridState st = GridState();
    if (st == gsColSizing)
        ColSized = true;
    if (st == gsRowSizing)
        Rowsized = true;
    if (st == gsColMoving && OnColumnMove) {
        bool allow = true;
        OnColumnMove(this, Movecell, allow);
        if (!allow)
            SetGridState(gsNormal);
    } else if (st == gsRowMoving && OnRowMove) {
        bool allow = true;
        OnRowMove(this, Movecell, allow);
        if (!allow)
            SetGridState(gsNormal);
    }
    st = GridState();
    const bool cols = st == gsColMoving;
    const bool away = X != Clickposx || Y != Clickposy;
    if (!((st == gsRowMoving || cols) && RowCount() > 1 && away && EnhRowColMove))
        return false;

    bool MoveOK = true;
    StartBlockFocus();
    TDragDropSettings* dd = DragDropSettings();
    const bool showCells = dd->ShowCells;
    // The floating item: a snapshot of the moved cells, or the caption.
    if (cols && Movecell >= FixedCols() && ARow >= 0 && MoveButton) {
        if (showCells && !MoveForm) {
            MoveForm = SelectionToForm(TGridRect{
                Movecell, 0, Movecell, std::min(RowCount() - 1, TopRow() + VisibleRowCount() - FixedRows())});
            MoveForm->Show();
        }
        MoveButton->Caption = Cells(RemapColToReal(Movecell), 0);
        MoveButton->SetBounds(MoveButton->Left(), MoveButton->Top(), ColWidths(Movecell), RowHeights(ARow));
        MoveButton->Invalidate();
    } else if (!cols && Movecell >= FixedRows() && ACol >= 0 && MoveButton) {
        if (showCells && !MoveForm) {
            MoveForm = SelectionToForm(TGridRect{
                0, Movecell, std::min(ColCount() - 1, LeftCol() + VisibleColCount() - FixedCols()), Movecell});
            MoveForm->Show();
        }
        MoveButton->Caption = Cells(RemapColToReal(0), Movecell);
        MoveButton->SetBounds(MoveButton->Left(), MoveButton->Top(), ColWidths(ACol), RowHeights(Movecell));
        MoveButton->Invalidate();
    }
    if (showCells && MoveForm) {
        const TPoint p = ClientToScreen(Point(X - MoveOfsX, Y - MoveOfsY));
        MoveForm->SetBounds(p.X, p.Y, MoveForm->Width(), MoveForm->Height());
    } else if (MoveButton) {
        // The caption is a child of the grid: placed in client coordinates.
        MoveButton->SetBounds(X - MoveOfsX, Y - MoveOfsY, MoveButton->Width(), MoveButton->Height());
    }

    // The insertion arrows at the target of the previous event.
    auto place = [](TArrowWindow* a, int x, int y) {
        if (a)
            a->SetBounds(x, y, ArrowSize, ArrowSize);
    };
    auto show = [](TArrowWindow* a, bool v) {
        if (a && a->Visible() != v)
            a->SetVisible(v);
    };
    if (cols) {
        if (FMoveColInd >= FixedCols() && FMoveColInd < ColCount() && ACol >= 0) {
            const TRect cr = CellRect(FMoveColInd, 0);
            const TPoint tl = ClientToScreen(Point(cr.Left, cr.Top));
            const TRect R(tl.X, tl.Y, tl.X + cr.Right - cr.Left, tl.Y + cr.Bottom - cr.Top);
            if (FMoveColInd < Movecell) {
                place(ArwU, R.Left - 5, R.Bottom);
                place(ArwD, R.Left - 5, R.Top - 8);
            } else if (FMoveColInd > Movecell) {
                place(ArwU, R.Left + (R.Right - R.Left) - 5, R.Bottom);
                place(ArwD, R.Left + (R.Right - R.Left) - 5, R.Top - 8);
            }
            const bool vis = FMoveColInd >= LeftCol() && FMoveColInd <= LeftCol() + VisibleColCount();
            show(ArwU, vis);
            show(ArwD, vis);
        }
        FMoveColInd = ACol;
        FMoveRowInd = 0;
        if (OnColumnMoving)
            OnColumnMoving(this, ACol, MoveOK);
    } else {
        const bool footerTarget = FloatingFooter()->Visible && FloatingFooter()->FooterStyle == fsFixedLastRow &&
                                  FMoveRowInd == RowCount() - 1;
        if (!footerTarget && FMoveRowInd >= FixedRows() && FMoveRowInd < RowCount() && ARow >= 0) {
            const TRect cr = CellRect(0, FMoveRowInd);
            const TPoint tl = ClientToScreen(Point(cr.Left, cr.Top));
            const TRect R(tl.X, tl.Y, tl.X + cr.Right - cr.Left, tl.Y + cr.Bottom - cr.Top);
            if (FMoveRowInd < Movecell) {
                place(ArwL, R.Left - 10, R.Top - 5);
                place(ArwR, R.Right, R.Top - 5);
            } else if (FMoveRowInd > Movecell) {
                place(ArwL, R.Left - 10, R.Top + (R.Bottom - R.Top) - 5);
                place(ArwR, R.Right, R.Top + (R.Bottom - R.Top) - 5);
            }
            const bool vis = FMoveRowInd >= TopRow() && FMoveRowInd <= TopRow() + VisibleRowCount();
            show(ArwL, vis);
            show(ArwR, vis);
        }
        FMoveColInd = 0;
        FMoveRowInd = ARow;
        if (OnRowMoving)
            OnRowMoving(this, ARow, MoveOK);
    }

    // Scrolling while the pointer holds past an edge.
    if (cols && VisibleColCount() < ColCount() - FixedCols()) {
        int fixedEnd = 0;
        for (int c = 0; c < FixedCols(); ++c)
            fixedEnd += ColWidths(c) + GridLineWidth();
        if (X < fixedEnd && LeftCol() > FixedCols()) {
            SetLeftCol(LeftCol() - 1);
            Invalidate();
        } else if (X > Width() && LeftCol() + VisibleColCount() < ColCount()) {
            SetLeftCol(LeftCol() + 1);
            Invalidate();
        }
    } else if (!cols && VisibleRowCount() < RowCount() - FixedRows()) {
        int fixedEnd = 0;
        for (int r = 0; r < FixedRows(); ++r)
            fixedEnd += RowHeights(r) + GridLineWidth();
        if (Y < fixedEnd && TopRow() > FixedRows()) {
            SetTopRow(TopRow() - 1);
            Invalidate();
        } else if (Y > Height() && TopRow() + VisibleRowCount() < RowCount()) {
            SetTopRow(TopRow() + 1);
            Invalidate();
        }
    }

    if (MoveButton) {
        if (!MoveButton->Visible() && !showCells) {
            MoveButton->SetVisible(true);
        }
        if (!MoveButton->Enabled())
            MoveButton->SetEnabled(true);
    }
    TBaseGrid::SetCursor(MoveOK ? crDrag : crNoDrop);
    return true;
}

void TExStringGrid::DropEnhancedMoveCaption()
{
    if (MoveButton) {
        MoveButton->SetEnabled(false);
        MoveButton->SetVisible(false);
    }
    if (MoveForm) {
        TCustomForm* f = MoveForm;
        MoveForm = nullptr;
        f->Free();
    }
}

bool TExStringGrid::EndEnhancedMove(int ACol, int ARow)
{
    const TCursor cur = Cursor();
    const TGridState st = GridState();
    if (!((cur == crDrag || cur == crNoDrop) && (st == gsRowMoving || st == gsColMoving) && EnhRowColMove))
        return false;
    DropEnhancedMoveCaption();
    EndBlockFocus();
    TBaseGrid::SetCursor(FOldCursor);
    const bool cols = st == gsColMoving;
    if (cur == crNoDrop) {
        if (Movecell >= 0) {
            if (cols)
                RepaintRow(0);
            else
                for (int r = 0; r < RowCount(); ++r)
                    RepaintCell(0, r);
        }
    } else if (cols) {
        if (Movecell >= 0 && ACol >= FixedCols() && ACol < ColCount() && ACol != Movecell)
            MoveColumn(Movecell, ACol);
    } else if (Movecell >= 0 && ARow >= FixedRows() && ARow < RowCount() && ARow != Movecell) {
        MoveRow(Movecell, ARow);
    }
    KillTimer(this, MoveScrollTimer);
    SetGridState(gsNormal);
    return true;
}

// ---------------------------------------------------------------------------
// Links under the pointer
// ---------------------------------------------------------------------------

void TExStringGrid::MoveLinks(int ACol, int ARow, int X, int Y, bool& CursorSet)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return;
    const int realCol = RemapColToReal(ACol);
    const QString text = Cells(realCol, ARow);
    const int kind = DetectTextKind(text, EnableHTML);
    const TPoint cell = Point(ACol, ARow);
    if (URLShow && kind != KindHTML && HasURLScheme(text)) {
        CursorSet = true;
        Invokedchange = true;
        TBaseGrid::SetCursor(GridLinkCursor);
    }
    if (kind != KindHTML) {
        if (URLUnderlineOnHover && (FHoverlink != -1 || !(FHoverCell == cell))) {
            FHoverlink = -1;
            if (FHoverCell.X >= 0 && FHoverCell.Y >= 0)
                RepaintCell(FHoverCell.X, FHoverCell.Y);
            FHoverCell = Point(-1, -1);
        }
        if (!FAnchor.isEmpty()) {
            if (OnAnchorExit)
                OnAnchorExit(this, ARow, ACol, QString());
            FAnchor.clear();
        }
        return;
    }
    // The cell's mark-up laid out as a press finds it.
    TRect R = CellRect(ACol, ARow);
    R.Left += XYOffset().X + 1;
    R.Top += XYOffset().Y + 1;
    R.Right -= XYOffset().X;
    int scrollPos = 0;
    if (HasScrollBar(realCol, ARow)) {
        R.Right -= CellScrollBarWidth;
        scrollPos = std::max(0, GetScrollPosition(realCol, ARow));
        R.Bottom += scrollPos;
    }
    if (HasCheckBox(realCol, ARow))
        R.Left += ControlLook()->CheckSize();
    TCanvas* c = Canvas();
    c->Font().Assign(IsFixed(ACol, ARow) ? *FixedFont() : *Font());
    THTMLRenderParams p = MarkupHitParams(c, text, R, realCol, ARow, X, Y + scrollPos);
    QString anchor;
    int link = -1;
    if (RenderHTML(p) && p.ControlID.isEmpty()) {
        anchor = p.Anchor;
        link = p.AnchorNumber;
    }

    if (URLUnderlineOnHover) {
        if ((!(FHoverCell == cell) && FHoverCell.X >= 0 && FHoverCell.Y >= 0) || FHoverlink != -1) {
            if (FHoverCell.X >= 0 && FHoverCell.Y >= 0)
                RepaintCell(FHoverCell.X, FHoverCell.Y);
            FHoverCell = cell;
        }
        if (!(FHoverCell == cell) || FHoverlink != link) {
            FHoverCell = cell;
            FHoverlink = link;
            RepaintCell(ACol, ARow);
        }
    }

    if (!anchor.isEmpty()) {
        QString hint = p.Title;
        if (hint.isEmpty() && OnAnchorHint)
            OnAnchorHint(this, ARow, ACol, hint);
        if (hint != FLastAnchorHint && !FLastAnchorHint.isEmpty() && anchor != FAnchor) {
            FLastAnchorHint = hint;
            Application()->CancelHint();
        }
        CursorSet = true;
        Invokedchange = true;
        TBaseGrid::SetCursor(GridLinkCursor);
        if (anchor != FAnchor) {
            if (OnAnchorEnter)
                OnAnchorEnter(this, ARow, ACol, anchor);
            FAnchor = anchor;
        }
    } else if (!FAnchor.isEmpty()) {
        if (OnAnchorExit)
            OnAnchorExit(this, ARow, ACol, QString());
        FAnchor.clear();
    }
}

// ---------------------------------------------------------------------------
// Sizing fixed columns and rows
// ---------------------------------------------------------------------------

void TExStringGrid::MoveFixedSizing(int ACol, int ARow, int X, int Y)
{
    TMouseActions* ma = MouseActions();
    const bool valid = ACol >= 0 && ARow >= 0 && !(ComponentState() & csDesigning);
    // Within 3 pixels of a fixed column's right border (a row's bottom).
    FFixedColSizeHover = false;
    if (valid && FixedCols() > 0) {
        int S = 0;
        for (int c = 0; c < FixedCols(); ++c) {
            if (std::abs(S + ColWidths(c) - X) < 3)
                FFixedColSizeHover = ma->SizeFixedCol;
            S += ColWidths(c) + 1;
        }
    }
    FFixedRowSizeHover = false;
    if (valid && FixedRows() > 0) {
        int S = 0;
        for (int r = 0; r < FixedRows(); ++r) {
            if (std::abs(S + RowHeights(r) - Y) < 3)
                FFixedRowSizeHover = ma->SizeFixedRow;
            S += RowHeights(r) + 1;
        }
    }
    if (FSizingFixed && X != FSizeFixedX) {
        FSizeFixedX = X;
        UpdateSizeLine();
    }
    if (FSizingFixedR && Y != FSizeFixedY) {
        FSizeFixedY = Y;
        UpdateSizeLine();
    }
}

void TExStringGrid::EndFixedSizing(int X, int Y)
{
    if (FSizingFixed) {
        FFixedColSizeHover = false;
        FSizingFixed = false;
        const int col = FSizingFixedCol;
        FSizingFixedCol = -1;
        UpdateSizeLine();
        if (col >= 0 && col < ColCount()) {
            int left = 0;
            for (int c = 0; c < col; ++c)
                left += ColWidths(c);
            int W = X - left;
            // A release left of the column's start drops the sizing.
            if (W > 0) {
                SetColWidths(col, W);
                if (OnEndColumnSize)
                    OnEndColumnSize(this, col);
                if (OnUpdateColumnSize) {
                    const int before = W;
                    OnUpdateColumnSize(this, col, W);
                    if (W != before && W > 0)
                        SetColWidths(col, W);
                }
            }
        }
    }
    if (FSizingFixedR) {
        FFixedRowSizeHover = false;
        FSizingFixedR = false;
        const int row = FSizingFixedRow;
        FSizingFixedRow = -1;
        UpdateSizeLine();
        if (row >= 0 && row < RowCount()) {
            int top = 0;
            for (int r = 0; r < row; ++r)
                top += RowHeights(r);
            const int H = Y - top;
            if (H > 0) {
                SetRowHeights(row, H);
                if (OnEndRowSize)
                    OnEndRowSize(this, row);
            }
        }
    }
}
