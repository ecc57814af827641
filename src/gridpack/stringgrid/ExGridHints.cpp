// The string grid under the moving mouse: the hovered row, the end of a
// cell hint or balloon when the pointer reaches another cell, the sizing
// hint, and the cell hint itself
// (the text, place and window the application's hint machinery shows for
// the cell under the cursor). Also the mark-up hint window.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExHTMLHint.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"

#include <cstdlib>

namespace {
// Text kinds of DetectTextKind.
constexpr int KindHTML = 1;
constexpr int KindWide = 5;
// Measuring width of a mark-up hint.
constexpr int HintMeasureWidth = 1024 - 16;
} // namespace

// ---------------------------------------------------------------------------
// Mouse movement
// ---------------------------------------------------------------------------

void TExStringGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    // 1. Dragging from a press selects a range instead of editing.
    if (FMouseDownMove && MouseActions()->RangeSelectAndEdit && (Options() & goEditing) && !EditorMode())
        SetOptions(Options() & ~goEditing);
    const TGridRect sel0 = Selection();
    // 2.
    if (SelectionRectangle() && GridState() == gsSelecting && !(Selection() == FSizeSelection))
        FSizeSelection = Selection();

    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const bool designing = (ComponentState() & csDesigning) != 0;
    const bool valid = ACol >= 0 && ARow >= 0 && !designing;

    // The hovered row: only the row left and the row reached repaint.
    if (valid && HoverRow && ARow != FHoverRowIdx) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = ARow;
        InvalidateRow(ARow);
        if (old >= 0 && old < RowCount())
            InvalidateRow(old);
    }
    // The in-cell scroll bar follows the pointer.
    if (valid)
        MoveCellScrollBar(ACol, ARow);

    // The header under the mouse: the one left and the one reached repaint.
    if (HoverFixedCells != hfNone && !FNoMouseLeave) {
        const TGridCoord old = FHoverFixedCell;
        FHoverFixedCell = TGridCoord{ACol, ARow};
        if (old.X != ACol || old.Y != ARow) {
            const auto repaint = [this](TGridCoord c) {
                if (c.X >= 0 && c.Y >= 0 && (c.Y <= FixedRows() || c.X <= FixedCols()))
                    RepaintCell(c.X, c.Y);
            };
            repaint(old);
            repaint(FHoverFixedCell);
        }
    }
    // The hot header of the glListView look.
    if (Look == glListView && (FHotFixedCell.X != ACol || FHotFixedCell.Y != ARow)) {
        const auto repaint = [this](TGridCoord c) {
            if (c.X >= 0 && c.Y >= 0 && c.X < ColCount() && c.Y < RowCount() &&
                (c.X < FixedCols() || c.Y < FixedRows()))
                RepaintCell(c.X, c.Y);
        };
        repaint(FHotFixedCell);
        FHotFixedCell = TGridCoord{ACol, ARow};
        repaint(FHotFixedCell);
    }
    // The cell button or expand glyph under the pointer.
    if (valid)
        MoveHoverButton(ACol, ARow, X, Y);
    // Whole rows or columns dragged from the headers.
    bool scrolledUp = false;
    MoveHeaderSelection(ACol, ARow, Y, scrolledUp);

    // 11. The sizing zones of fixed columns and rows; a fixed sizing's line.
    MoveFixedSizing(ACol, ARow, X, Y);
    // 12. The selection's resize handle.
    bool overResizer = false;
    if (SelectionResizer() && SelectionRectangle()) {
        const TGridRect s = Selection();
        const TRect last = CellRect(s.Right, s.Bottom);
        const TRect zone(last.Right - 6, last.Bottom - 6, last.Right, last.Bottom);
        overResizer = zone.Contains(Point(X, Y));
    }
    // 13. A move away from a press on the selection drags it.
    if (MoveDragStart(ACol, ARow, X, Y, overResizer))
        return;

    bool cursorSet = false;
    if (!designing) {
        // 14. The enhanced move's feedback keeps its cursor.
        if (MoveEnhancedFeedback(ACol, ARow, X, Y))
            cursorSet = true;

        // The selection mode a press here would start, and its cursor.
        TMouseActions* ma = MouseActions();
        const int lastRow = FloatingFooter()->Visible && FloatingFooter()->FooterStyle == fsFixedLastRow
                                ? RowCount() - 2
                                : RowCount() - 1;
        TMouseSelectMode mode = overResizer ? msResize : msNormal;
        if (ACol >= 0 && ARow >= 0) {
            if (ARow < FixedRows() && ACol < FixedCols()) {
                if (ma->AllSelect)
                    mode = msAll;
            } else if (ARow < FixedRows() && ACol >= FixedCols()) {
                if (ma->ColSelect && !IsOverSizingEdge(X, Y))
                    mode = msColumn;
            } else if (ACol < FixedCols() && ARow >= 0 && ARow <= lastRow &&
                       (ARow >= FixedRows() || scrolledUp)) {
                if (ma->RowSelect && !IsOverSizingEdge(X, Y) && !IsOverNodeGlyph(ARow, X))
                    mode = msRow;
            }
        }
        FMouseSelectMode = mode;
        if (mode == msAll || mode == msColumn || mode == msRow) {
            cursorSet = true;
            Invokedchange = true;
        }
    }
    // 15. Links under the pointer.
    if (valid)
        MoveLinks(ACol, ARow, X, Y, cursorSet);
    // 16. No special cursor: the grid's own.
    if (!cursorSet && Cursor() != FOldCursor) {
        Invokedchange = true;
        TBaseGrid::SetCursor(FOldCursor);
    }

    // A cell hint belongs to its cell: reaching another one ends it, and the
    // application's pause then starts over for the new cell.
    if (FLastHintPos.X != -1 || FLastHintPos.Y != -1) {
        int bc = ACol, br = ARow;
        if (ACol >= 0 && ARow >= 0)
            ResolveBaseCell(ACol, ARow, bc, br);
        if (bc != FLastHintPos.X || br != FLastHintPos.Y) {
            Application()->CancelHint();
            FLastHintPos = Point(-1, -1);
        }
    }

    // A balloon belongs to its cell as well.
    if (Balloon()->Enable())
        BalloonAtCell(ACol, ARow, ClientToScreen(Point(X, Y)));

    // 19. A range drag with the selection rectangle repaints what it covers.
    if (SelectionRectangle() && GridState() == gsSelecting && !(Selection() == FMoveSelection)) {
        InvalidateCellRange(Selection());
        FMoveSelection = Selection();
    }

    TBaseGrid::MouseMove(Shift, X, Y);
    UpdateSizeLine();

    // 21. A held press keeps the left column (KeepHorizScroll).
    const TGridState st = GridState();
    if (Navigation()->KeepHorizScroll && FMouseKeepDown && st != gsColMoving && LeftCol() != FOldKeepLeftCol &&
        FOldKeepLeftCol >= FixedCols()) {
        StartUpdate();
        SetLeftCol(FOldKeepLeftCol);
        ResetUpdate();
    }

    // 22. The sizing events.
    if (FSizingFixed && OnColumnSizing) {
        OnColumnSizing(this, 0, FSizeFixedX);
    } else if (FSizingFixedR && OnRowSizing) {
        OnRowSizing(this, 0, FSizeFixedY);
    } else if (st == gsColSizing && OnColumnSizing) {
        const TRect cr = CellRect(SizingIndex(), 0);
        OnColumnSizing(this, SizingIndex(), SizingPos() - cr.Left);
    } else if (st == gsRowSizing && OnRowSizing) {
        const TRect cr = CellRect(0, SizingIndex());
        OnRowSizing(this, SizingIndex(), SizingPos() - cr.Top);
    }

    // The sizing hint: the width or height the line stands for (a fixed
    // sizing shows the line's place at the grid's first cell).
    const bool fixedSizing = FSizingFixed || FSizingFixedR;
    if ((st == gsColSizing || st == gsRowSizing || fixedSizing) && (designing || HintShowSizing) && FScrollHintWnd) {
        const bool cols = fixedSizing ? FSizingFixed : st == gsColSizing;
        const int idx = fixedSizing ? 0 : SizingIndex();
        const TRect cr = cols ? CellRect(idx, 0) : CellRect(0, idx);
        const int value = fixedSizing ? (cols ? FSizeFixedX : FSizeFixedY) : SizingPos() - (cols ? cr.Left : cr.Top);
        const QString text = (cols ? QStringLiteral("cw=<b>") : QStringLiteral("rh=<b>")) + QString::number(value) +
                             QStringLiteral("</b>");
        TRect r = FScrollHintWnd->CalcHintRect(200, text, nullptr);
        const TPoint at = ClientToScreen(Point(cr.Left, cr.Top));
        r = TRect(at.X, at.Y, at.X + r.Right, at.Y + r.Bottom);
        FScrollHintWnd->SetColor(HintColor);
        FScrollHintWnd->ActivateHint(r, text);
        FScrollHintShow = true;
    }

    // 24.
    if (EnhRowColMove && (st == gsColMoving || st == gsRowMoving))
        Update();
    const TGridRect now = Selection();
    if (!(now == sel0))
        SelectionChanged(now.Left, now.Top, now.Right, now.Bottom);
}

void TExStringGrid::HideSizingHint()
{
    if (FScrollHintShow && FScrollHintWnd)
        FScrollHintWnd->ReleaseHandle();
    FScrollHintShow = false;
}

void TExStringGrid::CMMouseLeave(TMessage& M)
{
    TBaseGrid::CMMouseLeave(M);
    FMouseSelectMode = msNormal;
    if (!FNoMouseLeave && HoverFixedCells != hfNone && (FHoverFixedCell.X != -1 || FHoverFixedCell.Y != -1)) {
        const TGridCoord old = FHoverFixedCell;
        FHoverFixedCell = TGridCoord{-1, -1};
        if (old.X >= 0 && old.Y >= 0)
            RepaintCell(old.X, old.Y);
    }
    // The hot header of the glListView look keeps its value.
    if (Look == glListView && FHotFixedCell.X >= 0 && FHotFixedCell.Y >= 0 &&
        (FHotFixedCell.X < FixedCols() || FHotFixedCell.Y < FixedRows()))
        RepaintCell(FHotFixedCell.X, FHotFixedCell.Y);
    if (HoverRow && FHoverRowIdx != -1) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = -1;
        if (old < RowCount())
            InvalidateRow(old);
    }
}

// ---------------------------------------------------------------------------
// Cell hints
// ---------------------------------------------------------------------------

void TExStringGrid::CMHintShow(TMessage& M)
{
    auto* info = reinterpret_cast<THintInfo*>(M.LParam);
    if (info)
        ShowCellHint(info->HintStr, *info);
    M.Result = 0;
}

void TExStringGrid::ShowCellHint(QString& HintStr, THintInfo& HintInfo)
{
    int ACol = -1, ARow = -1;
    MouseToCell(HintInfo.CursorPos.X, HintInfo.CursorPos.Y, ACol, ARow);
    if (ControlLook()->HintMaxWidth > 0)
        HintInfo.HintMaxWidth = ControlLook()->HintMaxWidth;
    HintFontName = Font()->Name();

    if (ACol >= 0 && ARow >= 0) {
        ResolveBaseCell(ACol, ARow, ACol, ARow);
        FLastHintPos = Point(ACol, ARow);
        const TRect CR = CellRect(ACol, ARow);
        const int RealCol = RemapColToReal(ACol);

        // A comment shows beside the cell, any other hint below the cursor.
        TPoint pos;
        QString comment;
        if (IsComment(RealCol, ARow, comment)) {
            HintStr = comment;
            pos = Point(CR.Right, CR.Top);
        } else {
            pos = Point(HintInfo.CursorPos.X, CR.Bottom + 6);
        }

        const QString text = GetCellEx(RealCol, ARow);
        const int kind = DetectTextKind(text, EnableHTML);
        const bool normalCell = ACol >= FixedCols() && ACol < ColCount() - FixedRightCols() &&
                                ARow >= FixedRows() && ARow < RowCount() - FixedFooters();
        if (HintShowCells && normalCell) {
            pos.Y = CR.Top;
            if (kind == KindWide)
                HintStr = DecodeWideText(text);
            else if (HTMLHint)
                HintStr = text;
            else
                HintStr = GetStrippedCell(RealCol, ARow);
        }

        if (HintShowLargeText) {
            const bool enh = EnhTextSize;
            EnhTextSize = false;
            const TSize sz = GetCellTextSize(ACol, ARow, false, false);
            EnhTextSize = enh;
            if (sz.cx > CR.Right - CR.Left || sz.cy > CR.Bottom - CR.Top) {
                if (HintShowLargeTextPos == hpCell)
                    pos = Point(CR.Left, CR.Top);
                HintStr = (kind == KindWide || HTMLHint || kind != KindHTML) ? text : GetStrippedCell(RealCol, ARow);
            }
        }

        // The footer row under a shown floating footer asks no handler.
        const bool footerRow = FloatingFooter()->Visible && FloatingFooter()->FooterStyle == fsFixedLastRow &&
                               ARow == RowCount() - 1;
        if (!footerRow) {
            QString wide;
            GridHint(ACol, ARow, HintStr, wide);
        }

        const int hintKind = DetectTextKind(HintStr, true);
        if ((hintKind == KindHTML || hintKind == KindWide) && UseInternalHintClass) {
            HintInfo.HintWindowClass = [](TComponent* Owner) -> THintWindow* {
                return new THTMLHintWindow(Owner);
            };
            HintInfo.HintData = this;
        } else if (!HintInfo.HintWindowClass && dynamic_cast<THTMLHintWindow*>(Application()->HintWindow())) {
            // A plain hint after a mark-up one goes back to the ordinary
            // window (the machinery would keep the last one made).
            HintInfo.HintWindowClass = [](TComponent* Owner) -> THintWindow* { return new THintWindow(Owner); };
        }
        HintInfo.HintPos = ClientToScreen(pos);
    }
    HintInfo.HintColor = HintColor;
}

// ---------------------------------------------------------------------------
// THTMLHintWindow
// ---------------------------------------------------------------------------

THTMLHintWindow::THTMLHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

bool THTMLHintWindow::Measure(const QString& AHint, int MaxWidth, int& W, int& H)
{
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    if (DetectTextKind(AHint, true) == KindWide) {
        if (!HintFontName.isEmpty())
            c->Font().SetName(HintFontName);
        FWideCaption = DecodeWideText(AHint);
        TRect r(0, 0, MaxWidth, 0);
        c->DrawText(FWideCaption, r, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
        W = r.Right - r.Left;
        H = r.Bottom - r.Top;
        return true;
    }
    THTMLRenderParams p;
    p.Canvas = c;
    p.Text = AHint;
    p.Rect = TRect(0, 0, MaxWidth, 4096);
    p.Images = FImages;
    p.Container = FPictureContainer;
    p.MeasureOnly = true;
    p.LinkColor = clBlue;
    p.ShadowColor = TColor(0x808080);
    RenderHTML(p);
    W = p.Width;
    H = p.Height;
    return false;
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const QString& AHint, void*)
{
    int w = 0, h = 0;
    Measure(AHint, MaxWidth > 0 ? MaxWidth : HintMeasureWidth, w, h);
    return TRect(0, 0, w, h);
}

void THTMLHintWindow::ActivateHintData(TRect r, const QString& AHint, void* AData)
{
    if (auto* grid = dynamic_cast<TExStringGrid*>(static_cast<TObject*>(AData))) {
        FImages = grid->GridImages;
        FPictureContainer = grid->PictureContainer();
    }
    THintWindow::ActivateHintData(r, AHint, AData);
}

void THTMLHintWindow::ActivateHint(TRect r, const QString& AHint)
{
    int w = 0, h = 0;
    const bool wide = Measure(AHint, HintMeasureWidth, w, h);
    FTextWidth = w;
    FTextHeight = h;
    r.Right = r.Left + w + (wide ? 8 : 16);
    r.Bottom = r.Top + h + 4;
    // Kept 2 pixels inside the screen's right and bottom edges.
    const TSize scr = ScreenSize();
    if (r.Right > scr.cx - 2)
        OffsetRect(r, scr.cx - 2 - r.Right, 0);
    if (r.Bottom > scr.cy - 2)
        OffsetRect(r, 0, scr.cy - 2 - r.Bottom);
    THintWindow::ActivateHint(r, AHint);
}

void THTMLHintWindow::Paint()
{
    TCanvas* c = Canvas();
    const TRect cr = ClientRect();
    c->Brush().SetColor(Color());
    c->FillRect(cr);
    // Light left and top edges, dark bottom and right edges.
    c->Pen().SetColor(cl3DLight);
    c->MoveTo(cr.Left, cr.Bottom - 1);
    c->LineTo(cr.Left, cr.Top);
    c->LineTo(cr.Right - 1, cr.Top);
    c->Pen().SetColor(cl3DDkShadow);
    c->LineTo(cr.Right - 1, cr.Bottom - 1);
    c->LineTo(cr.Left, cr.Bottom - 1);

    TRect tr = cr;
    tr.Left += 4;
    tr.Right -= 4;
    tr.Top = (cr.Bottom - cr.Top - FTextHeight) / 2 - 4;
    tr.Bottom = tr.Top + FTextHeight + 8;
    c->SetBkMode(TRANSPARENT);
    const QString text = Caption();
    if (DetectTextKind(text, true) == KindWide) {
        c->Font().Assign(*Font());
        if (!HintFontName.isEmpty())
            c->Font().SetName(HintFontName);
        c->DrawText(FWideCaption, tr, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        return;
    }
    THTMLRenderParams p;
    p.Canvas = c;
    p.Text = text;
    p.Rect = tr;
    p.Images = FImages;
    p.Container = FPictureContainer;
    p.LinkColor = clBlue;
    p.ShadowColor = TColor(0x808080);
    RenderHTML(p);
}
