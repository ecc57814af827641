// The base grid's cell store: properties, merges, text hooks, geometry, keys.
#include "gridpack/basegrid/BaseGrid.h"
#include "gridpack/basegrid/CellPropertiesFree.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Messages.h"

#include <algorithm>
#include <memory>

namespace {
const QString kIndexOutOfRange = QStringLiteral("Grid index out of range");
}

// ---------------------------------------------------------------------------
// TCellProperties
// ---------------------------------------------------------------------------

TCellProperties::TCellProperties(TBaseGrid* AOwner, int ACol, int ARow)
    : OwnerCol(ACol), OwnerRow(ARow), FOwnerGrid(AOwner)
{
    if (FOwnerGrid) {
        FWordWrap = FOwnerGrid->WordWrap;
        FOwnerGrid->FHasCellProps = true;
    }
}

void TCellProperties::Repaint()
{
    if (FOwnerGrid)
        FOwnerGrid->RepaintCell(OwnerCol, OwnerRow);
}

void TCellProperties::SetBrushColor(TColor v)
{
    FBrushColor = v;
    Repaint();
}

void TCellProperties::SetBrushColorTo(TColor v)
{
    FBrushColorTo = v;
    Repaint();
}

void TCellProperties::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    Repaint();
}

void TCellProperties::SetWordWrap(bool v)
{
    FWordWrap = v;
    Repaint();
}

TPoint TCellProperties::GetBaseCell(int c, int r) const
{
    if (!IsBaseCell && CellSpanX != -1 && CellSpanY != -1)
        return TPoint(c - CellSpanX, r - CellSpanY);
    return TPoint(c, r);
}

void TCellProperties::Assign(const TPersistent* Source)
{
    auto* s = dynamic_cast<const TCellProperties*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    IsBaseCell = s->IsBaseCell;
    CellSpanX = s->CellSpanX;
    CellSpanY = s->CellSpanY;
    OwnerRow = s->OwnerRow;
    OwnerCol = s->OwnerCol;
    CellObject = s->CellObject;
    Alignment = s->Alignment;
    BorderColor = s->BorderColor;
    BorderWidth = s->BorderWidth;
    FBrushColor = s->FBrushColor;
    BrushStyle = s->BrushStyle;
    FontColor = s->FontColor;
    FontStyle = s->FontStyle;
    FontName = s->FontName;
    FontSize = s->FontSize;
    ReadOnly = s->ReadOnly;
    Editor = s->Editor;
    FVAlignment = s->FVAlignment;
    FWordWrap = s->FWordWrap;
    NodeLevel = s->NodeLevel;
    Control = s->Control;
}

// ---------------------------------------------------------------------------
// TBaseGrid: creation and state writers
// ---------------------------------------------------------------------------

TBaseGrid::TBaseGrid(TComponent* AOwner) : TObjStringGrid(AOwner)
{
    // The grid draws every line and background itself.
    TCustomGrid::SetGridLineWidth(0);
    TCustomGrid::SetDefaultDrawing(false);
}

TBaseGrid::~TBaseGrid() { FreeAllCellProperties(); }

void TBaseGrid::SetUndoRedo(TExGridUndoRedo* v)
{
    FUndoRedo = v;
    if (v)
        v->Grid = this;
}

void TBaseGrid::SetDefaultDrawing(bool v)
{
    FDefaultDrawingValue = v;
    TCustomGrid::SetDefaultDrawing(false);
}

void TBaseGrid::SetGridLineWidth(int v)
{
    FGridLineWidthValue = v;
    TCustomGrid::SetGridLineWidth(0);
    Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor v)
{
    FGridLineColor = v;
    Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor v)
{
    FGridFixedLineColor = v;
    Invalidate();
}

void TBaseGrid::SetSelectionStyle(TGridSelectionStyle v)
{
    if (v == FSelectionStyle)
        return;
    FSelectionStyle = v;
    Invalidate();
}

namespace {
template <class T>
bool StoreChanged(T& field, T v)
{
    if (field == v)
        return false;
    field = v;
    return true;
}
} // namespace

void TBaseGrid::SetActiveRowShow(bool v)
{
    if (StoreChanged(FActiveRowShow, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowColor(TColor v)
{
    if (StoreChanged(FActiveRowColor, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowColorTo(TColor v)
{
    if (StoreChanged(FActiveRowColorTo, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowMirrorColor(TColor v)
{
    if (StoreChanged(FActiveRowMirrorColor, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowMirrorColorTo(TColor v)
{
    if (StoreChanged(FActiveRowMirrorColorTo, v))
        Invalidate();
}

// ---------------------------------------------------------------------------
// Virtual operations: what a plain base grid does
// ---------------------------------------------------------------------------

bool TBaseGrid::IsFixed(int, int) { return false; }
int TBaseGrid::GetRowNodeIndent(int) { return 0; }
bool TBaseGrid::HasNodeRows() { return false; }

void TBaseGrid::RenderCell(TCanvas* Canvas, int ACol, int ARow, const TRect& ARect, TGridDrawState)
{
    TRect r = ARect;
    Canvas->Brush().SetStyle(bsClear);
    Canvas->DrawText(GetCellEx(ACol, ARow), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    Canvas->Brush().SetStyle(bsSolid);
}

void TBaseGrid::LastRowChanged() {}

void TBaseGrid::GetDisplayText(int ACol, int ARow, QString& Value)
{
    if (OnGetDisplText)
        OnGetDisplText(this, ACol, ARow, Value);
}

void TBaseGrid::GetDisplayWideText(int ACol, int ARow, QString& Value)
{
    if (OnGetDisplWideText)
        OnGetDisplWideText(this, ACol, ARow, Value);
}

void TBaseGrid::GetCellDefaults(int, int, TFont* AFont, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW,
                                TCellGradientDirection& GD)
{
    AFont->Assign(*Font());
    ABrush->SetColor(Color());
    AColorTo = clNone;
    AMirrorColor = clNone;
    AMirrorColorTo = clNone;
    HA = taLeftJustify;
    VA = vtaTop;
    WW = WordWrap;
    GD = GradientVertical;
}

void TBaseGrid::CellTextChanged(int, int) {}
bool TBaseGrid::HasCellBorders() { return false; }
bool TBaseGrid::StyleActive() { return false; }

void TBaseGrid::GetVisualProperties(int, int, TGridDrawState&, bool, bool, bool, TBrush*, TColor&, TColor&, TColor&,
                                    TFont*, TAlignment&, TVAlignment&, bool&, TCellGradientDirection&)
{
}

int TBaseGrid::DisplColIndex(int ACol) { return ACol; }
int TBaseGrid::TotalColCount() { return ColCount(); }

// ---------------------------------------------------------------------------
// Cell text and objects
// ---------------------------------------------------------------------------

TCellProperties* TBaseGrid::PropsOf(int c, int r)
{
    // A grid that never made properties keeps empty slots: no lookup.
    if (!FHasCellProps || c < 0 || r < 0 || c >= TotalColCount() || r >= RowCount())
        return nullptr;
    return dynamic_cast<TCellProperties*>(Objects(c, r));
}

bool TBaseGrid::HasCellProperties(int c, int r) { return PropsOf(c, r) != nullptr; }

QString TBaseGrid::GetCellEx(int c, int r)
{
    if (c < 0 || r < 0)
        return QString();
    int bc = c, br = r;
    if (TCellProperties* p = PropsOf(c, r)) {
        TPoint b = p->GetBaseCell(c, r);
        bc = b.X;
        br = b.Y;
    }
    QString value = Cells(bc, br);
    if (br < FNormalRowCount) {
        GetDisplayText(bc, br, value);
        if (OnGetDisplWideText) {
            QString wide = DecodeWideText(value);
            GetDisplayWideText(bc, br, wide);
            value = EncodeWideText(wide);
        }
    }
    return value;
}

void TBaseGrid::SetCellEx(int c, int r, const QString& Value)
{
    if (c < 0 || r < 0)
        return;
    if (TCellProperties* p = PropsOf(c, r)) {
        TPoint b = p->GetBaseCell(c, r);
        if (b.X < 0 || b.Y < 0)
            return;
        SetCells(b.X, b.Y, Value);
        CellTextChanged(b.X, b.Y);
        if (Parent())
            RepaintCell(c, r);
    } else {
        SetCells(c, r, Value);
    }
    if (FHideLastRow && r == RowCount() - 1)
        LastRowChanged();
}

QString TBaseGrid::GetGridCell(int c, int r) const { return Cells(c, r); }

void TBaseGrid::SetGridCell(int c, int r, const QString& Value)
{
    if (c < 0 || r < 0)
        return;
    SetCells(c, r, Value);
}

TObject* TBaseGrid::GetGridObject(int c, int r) const { return Objects(c, r); }

void TBaseGrid::SetGridObject(int c, int r, TCellProperties* Value)
{
    if (c < 0 || r < 0)
        return;
    SetObjects(c, r, Value);
}

TObject* TBaseGrid::GetObjectEx(int c, int r)
{
    TCellProperties* p = PropsOf(c, r);
    return p ? reinterpret_cast<TObject*>(p->CellObject) : nullptr;
}

void TBaseGrid::SetObjectEx(int c, int r, TObject* Value)
{
    if (c < 0 || r < 0)
        return;
    const bool blank = GetCellEx(c, r).isEmpty();
    if (blank)
        SetCellEx(c, r, QStringLiteral(" "));
    GetCellProperties(c, r)->CellObject = reinterpret_cast<std::uintptr_t>(Value);
    if (blank)
        SetCellEx(c, r, QString());
}

TObject* TBaseGrid::GetGraphicObjectEx(int c, int r)
{
    TCellProperties* p = PropsOf(c, r);
    return p ? p->GraphicObject : nullptr;
}

void TBaseGrid::SetGraphicObjectEx(int c, int r, TObject* Value)
{
    if (InState(csDestroying) || c < 0 || r < 0)
        return;
    const bool blank = !Objects(c, r) && GetCellEx(c, r).isEmpty();
    if (blank)
        SetCellEx(c, r, QStringLiteral(" "));
    GetCellProperties(c, r)->GraphicObject = Value;
    if (blank)
        SetCellEx(c, r, QString());
}

TCellProperties* TBaseGrid::GetCellProperties(int c, int r)
{
    if (c < 0 || r < 0)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (auto* existing = dynamic_cast<TCellProperties*>(Objects(c, r)))
        return existing;
    auto* p = new TCellProperties(this, c, r);
    SetObjects(c, r, p);
    TFont font;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = WordWrap;
    TCellGradientDirection gd = GradientVertical;
    GetCellDefaults(c, r, &font, &brush, colorTo, mirror, mirrorTo, ha, va, ww, gd);
    p->CalcType = acNONE;
    p->Alignment = ha;
    p->SetVAlignment(va);
    p->SetWordWrap(ww);
    p->FontName = font.Name();
    p->FontSize = font.Size();
    p->FontStyle = font.Style();
    p->FontColor = font.Color();
    p->SetBrushColor(brush.Color());
    p->SetBrushColorTo(colorTo);
    p->GradientDirection = gd;
    return p;
}

void TBaseGrid::SetCellProperties(int c, int r, TCellProperties* Value)
{
    if (c < 0 || r < 0)
        return;
    TObject* old = Objects(c, r);
    if (old == Value)
        return;
    SetObjects(c, r, Value);
    delete old;
}

// ---------------------------------------------------------------------------
// Merges
// ---------------------------------------------------------------------------

TPoint TBaseGrid::BaseCell(int ACol, int ARow)
{
    TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->GetBaseCell(ACol, ARow) : TPoint(ACol, ARow);
}

bool TBaseGrid::IsBaseCell(int ACol, int ARow)
{
    TCellProperties* p = PropsOf(ACol, ARow);
    return !p || p->IsBaseCell;
}

bool TBaseGrid::ResolveBaseCell(int c, int r, int& col, int& row)
{
    TPoint b = BaseCell(c, r);
    col = b.X;
    row = b.Y;
    return b.X == c && b.Y == r;
}

TRect TBaseGrid::FullCell(int c, int r)
{
    TPoint b = BaseCell(c, r);
    TPoint s = CellSpan(c, r);
    return TRect(b.X, b.Y, b.X + s.X, b.Y + s.Y);
}

TPoint TBaseGrid::CellSpan(int ACol, int ARow)
{
    TCellProperties* p = PropsOf(ACol, ARow);
    if (!p || p->CellSpanX == -1 || p->CellSpanY == -1)
        return TPoint(0, 0);
    if (p->IsBaseCell)
        return TPoint(p->CellSpanX, p->CellSpanY);
    TPoint b = p->GetBaseCell(ACol, ARow);
    TCellProperties* bp = PropsOf(b.X, b.Y);
    return bp ? TPoint(bp->CellSpanX, bp->CellSpanY) : TPoint(0, 0);
}

TPoint TBaseGrid::CellExt(int ACol, int ARow)
{
    if (!IsMergedCell(ACol, ARow))
        return TPoint(0, 0);
    TPoint b = BaseCell(ACol, ARow);
    TPoint s = CellSpan(ACol, ARow);
    return TPoint(b.X + s.X - ACol, b.Y + s.Y - ARow);
}

bool TBaseGrid::IsMergedCell(int ACol, int ARow)
{
    TCellProperties* p = PropsOf(ACol, ARow);
    return p && (p->CellSpanX > 0 || p->CellSpanY > 0);
}

bool TBaseGrid::IsMergedNonBaseCell(int ACol, int ARow) { return IsMergedCell(ACol, ARow) && !IsBaseCell(ACol, ARow); }

bool TBaseGrid::IsXMergedCell(int ACol, int ARow) { return HasCellProperties(ACol, ARow) && CellSpan(ACol, ARow).X > 0; }

bool TBaseGrid::IsYMergedCell(int ACol, int ARow) { return HasCellProperties(ACol, ARow) && CellSpan(ACol, ARow).Y > 0; }

int TBaseGrid::MinRowSpan(int ARow)
{
    int result = RowCount();
    for (int c = 0; c < ColCount(); ++c) {
        int y = CellSpan(c, ARow).Y;
        if (y > 0 && y < result)
            result = y;
    }
    return result;
}

int TBaseGrid::MaxRowSpan(int ARow)
{
    int result = 0;
    for (int c = 0; c < ColCount(); ++c)
        result = std::max(result, CellSpan(c, ARow).Y);
    return result;
}

bool TBaseGrid::RowSpanIdentical(int ARow1, int ARow2)
{
    bool shared = false;
    for (int c = 0; c < ColCount(); ++c) {
        if (CellSpan(c, ARow1).Y > 0 && CellSpan(c, ARow2).Y > 0) {
            shared = true;
            if (BaseCell(c, ARow1).Y != BaseCell(c, ARow2).Y)
                return false;
        }
    }
    return shared;
}

bool TBaseGrid::ColSpanIdentical(int ACol1, int ACol2)
{
    bool shared = false;
    for (int r = 0; r < RowCount(); ++r) {
        const int x1 = CellSpan(ACol1, r).X;
        const int x2 = CellSpan(ACol2, r).X;
        if (x1 > 0 && x2 > 0) {
            shared = true;
            if (BaseCell(ACol1, r).X != BaseCell(ACol2, r).X)
                return false;
        } else if (x1 != x2) {
            return false;
        }
    }
    return shared;
}

void TBaseGrid::MergeCells(int c, int r, int spanx, int spany)
{
    if (c < 0 || r < 0)
        return;
    ++FMergeCount;
    for (int i = c; i < c + spanx; ++i) {
        for (int j = r; j < r + spany; ++j) {
            TCellProperties* p = GetCellProperties(i, j);
            p->IsBaseCell = i == c && j == r;
            if (p->IsBaseCell) {
                p->CellSpanX = spanx - 1;
                p->CellSpanY = spany - 1;
            } else {
                p->CellSpanX = i - c;
                p->CellSpanY = j - r;
            }
        }
    }
    for (int i = c; i < c + spanx; ++i)
        for (int j = r; j < r + spany; ++j)
            RepaintCell(i, j);
}

void TBaseGrid::SplitCells(int c, int r)
{
    if (c < 0 || r < 0)
        return;
    TCellProperties* p = GetCellProperties(c, r);
    const TPoint b = p->GetBaseCell(c, r);
    int sx = -1, sy = -1;
    if (b.X >= 0 && b.Y >= 0) {
        TCellProperties* bp = GetCellProperties(b.X, b.Y);
        sx = bp->CellSpanX;
        sy = bp->CellSpanY;
    }
    if (sx != -1 && sy != -1) {
        for (int i = b.X; i <= b.X + sx; ++i) {
            for (int j = b.Y; j <= b.Y + sy; ++j) {
                TCellProperties* q = GetCellProperties(i, j);
                q->IsBaseCell = true;
                q->CellSpanX = -1;
                q->CellSpanY = -1;
            }
        }
        for (int i = b.X; i <= b.X + sx; ++i)
            for (int j = b.Y; j <= b.Y + sy; ++j)
                RepaintCell(i, j);
    }
    --FMergeCount;
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

int TBaseGrid::FixedColsWidth() const
{
    int w = 0;
    for (int i = 0; i < FixedCols(); ++i)
        w += ColWidths(i);
    return w;
}

int TBaseGrid::FixedRowsHeight() const
{
    int h = 0;
    for (int i = 0; i < FixedRows(); ++i)
        h += RowHeights(i);
    return h;
}

TRect TBaseGrid::CalcCellRect(int c, int r)
{
    if (c < 0 || r < 0)
        return TRect();
    int x = 0, y = 0;
    for (int i = 0; i < c; ++i)
        x += ColWidths(i);
    for (int j = 0; j < r; ++j)
        y += RowHeights(j);
    // Scrollable cells move with the scroll position and start after the
    // fixed cells (the library's line width being 0, the first scrollable
    // cell in view starts exactly at the fixed cells' width).
    if (c >= FixedCols()) {
        for (int i = 0; i < LeftCol(); ++i)
            x -= ColWidths(i);
        x += FixedColsWidth();
    }
    if (r >= FixedRows()) {
        for (int j = 0; j < TopRow(); ++j)
            y -= RowHeights(j);
        y += FixedRowsHeight();
    }
    return TRect(x, y, x + ColWidths(c), y + RowHeights(r));
}

TRect TBaseGrid::CellRect(int c, int r)
{
    if (c < 0 || r < 0)
        return TRect();
    TCellProperties* p = PropsOf(c, r);
    if (p && (p->CellSpanX != -1 || p->CellSpanY != -1)) {
        const TPoint b = p->GetBaseCell(c, r);
        const TPoint s = CellSpan(c, r);
        TRect r1 = CalcCellRect(b.X, b.Y);
        if (r1.Width() == 0)
            r1.Right += 1;
        TRect r2 = CalcCellRect(b.X + s.X, b.Y + s.Y);
        if (r2.Width() == 0)
            r2.Left -= 1;
        return TRect(std::min(r1.Left, r2.Left), std::min(r1.Top, r2.Top), std::max(r1.Right, r2.Right),
                     std::max(r1.Bottom, r2.Bottom));
    }
    if (p && p->Control)
        return CalcCellRect(c, r);
    const TRect lib = TCustomGrid::CellRect(c, r);
    return TRect(lib.Left, lib.Top, lib.Left + ColWidths(c), lib.Top + RowHeights(r));
}

TPoint TBaseGrid::CellSize(int c, int r)
{
    if (IsMergedCell(c, r)) {
        const TPoint b = BaseCell(c, r);
        const TPoint s = CellSpan(c, r);
        const TRect r1 = CalcCellRect(b.X, b.Y);
        const TRect r2 = CalcCellRect(b.X + s.X, b.Y + s.Y);
        return TPoint(std::max(r1.Right, r2.Right) - std::min(r1.Left, r2.Left),
                      std::max(r1.Bottom, r2.Bottom) - std::min(r1.Top, r2.Top));
    }
    const TRect rc = CalcCellRect(c, r);
    return TPoint(rc.Width(), rc.Height());
}

void TBaseGrid::RepaintCell(int c, int r)
{
    // The platform makes a control's handle only when something asks for
    // it, so a grid placed on a form counts as having its window.
    if (HandleAllocated() || Parent())
        InvalidateRect(CellRect(c, r));
}

// ---------------------------------------------------------------------------
// Maintenance
// ---------------------------------------------------------------------------

void TBaseGrid::ClearColumnCells(int ACol)
{
    if (ACol < 0)
        return;
    for (int r = 0; r < RowCount(); ++r) {
        SetObjects(ACol, r, nullptr);
        SetCellEx(ACol, r, QString());
    }
}

void TBaseGrid::ClearRowCells(int ARow)
{
    if (ARow < 0)
        return;
    for (int c = 0; c < ColCount(); ++c) {
        SetObjects(c, ARow, nullptr);
        SetCellEx(c, ARow, QString());
    }
}

void TBaseGrid::ResetCell(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return;
    SetCellEx(ACol, ARow, QString());
    SetObjects(ACol, ARow, nullptr);
}

void TBaseGrid::FreeCellProperties(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return;
    TObject* old = Objects(ACol, ARow);
    if (!old)
        return;
    SetObjects(ACol, ARow, nullptr);
    delete old;
}

void FreeCellPropertiesWithGraphic(TCellProperties* p)
{
    if (!p)
        return;
    if (p->GraphicObject && p->GraphicObject->ClassName() == QLatin1String("TCellGraphic")) {
        delete p->GraphicObject;
        p->GraphicObject = nullptr;
    }
    p->Free();
}

namespace {
// Frees the properties objects of the cells in the range.
void FreeCellObjectsIn(TBaseGrid& g, int c1, int r1, int c2, int r2)
{
    for (int c = std::max(c1, 0); c <= c2; ++c) {
        for (int r = std::max(r1, 0); r <= r2; ++r) {
            TObject* o = g.Objects(c, r);
            if (!o)
                continue;
            g.SetObjects(c, r, nullptr);
            if (auto* p = dynamic_cast<TCellProperties*>(o))
                FreeCellPropertiesWithGraphic(p);
            else
                delete o;
        }
    }
}
} // namespace

void TBaseGrid::FreeCellPropertiesRange(int c1, int r1, int c2, int r2)
{
    if (!FHasCellProps)
        return;
    FreeCellObjectsIn(*this, c1, r1, c2, r2);
}

// Every cell the store keeps, past the counts too (a merge reaching past the
// last row, hidden columns, rows a smaller row count cut off), whatever the
// flag says: nothing the grid made outlives it.
void TBaseGrid::FreeAllCellProperties()
{
    FreeCellObjectsIn(*this, 0, 0, std::max(ColCount(), StoredColCount()) - 1,
                      std::max(RowCount(), StoredRowCount()) - 1);
    FHasCellProps = false;
}

// ---------------------------------------------------------------------------
// Keys, wheel, selection, scrolling
// ---------------------------------------------------------------------------

void TBaseGrid::MoveToBaseCell()
{
    if (!HasCellProperties(Col(), Row()))
        return;
    const TPoint b = BaseCell(Col(), Row());
    if (b.X != Col())
        SetCol(b.X);
    if (b.Y != Row())
        SetRow(b.Y);
}

void TBaseGrid::KeyDown(unsigned& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_NEXT:
        if (VisibleRowCount() + TopRow() - FixedRows() == RowCount() - 1 && FHideLastRow && RowCount() > 1)
            SetRow(RowCount() - 2);
        break;
    case VK_RIGHT:
        if (TCellProperties* p = PropsOf(Col(), Row())) {
            const TPoint b = p->GetBaseCell(Col(), Row());
            const int e = b.X + CellSpan(Col(), Row()).X;
            if (e >= Col() && Col() < ColCount() - 1 && b.X < ColCount() - 1 && e < ColCount())
                SetCol(e);
        }
        break;
    case VK_DOWN:
        if (TCellProperties* p = PropsOf(Col(), Row())) {
            const TPoint b = p->GetBaseCell(Col(), Row());
            const int e = b.Y + CellSpan(Col(), Row()).Y;
            // The block's end is checked against the row count as the Right
            // arrow checks it against the column count.
            if (e >= Row() && Row() < RowCount() - 1 && b.Y < RowCount() - 1 && e < RowCount())
                SetRow(e);
        }
        break;
    case VK_LEFT:
        // A covered current cell (which only a program can make current)
        // steps from its block's base column, so the library's one-cell
        // step lands left of the block.
        if (TCellProperties* p = PropsOf(Col(), Row()); p && !p->IsBaseCell) {
            const TPoint b = p->GetBaseCell(Col(), Row());
            if (b.X < Col() && Col() > FixedCols() && b.X > 0)
                SetCol(b.X);
        }
        break;
    case VK_UP:
        // Likewise from the block's top row to the row above the block.
        if (TCellProperties* p = PropsOf(Col(), Row()); p && !p->IsBaseCell) {
            const TPoint b = p->GetBaseCell(Col(), Row());
            if (b.Y < Row() && Row() > FixedRows() && b.Y > 0)
                SetRow(b.Y);
        }
        break;
    default:
        break;
    }
    TObjStringGrid::KeyDown(Key, Shift);
    MoveToBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    const bool result = TObjStringGrid::DoMouseWheelDown(Shift, MousePos);
    if (VisibleRowCount() < Row() - TopRow() && Row() < RowCount() - 1 && FHideLastRow)
        SetTopRow(TopRow() + 1);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    const bool result = TObjStringGrid::DoMouseWheelUp(Shift, MousePos);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::SelectCell(int ACol, int ARow)
{
    RepaintCell(Col(), Row());
    const bool result = TObjStringGrid::SelectCell(ACol, ARow);
    RepaintCell(ACol, ARow);
    return result;
}

void TBaseGrid::TopLeftChanged()
{
    TObjStringGrid::TopLeftChanged();
    RepaintMergedFixedColCells();
    RepaintMergedFixedRowCells();
}

void TBaseGrid::RepaintMergedFixedColCells()
{
    if (FixedCols() <= 0)
        return;
    for (int r = TopRow(); r <= TopRow() + VisibleRowCount(); ++r)
        for (int c = 0; c < FixedCols(); ++c)
            if (IsMergedCell(c, r))
                RepaintCell(c, r);
}

void TBaseGrid::RepaintMergedFixedRowCells()
{
    if (FixedRows() <= 0)
        return;
    for (int c = LeftCol(); c <= LeftCol() + VisibleColCount(); ++c)
        for (int r = 0; r < FixedRows(); ++r)
            if (IsMergedCell(c, r))
                RepaintCell(c, r);
}

void TBaseGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FUndoRedo)
        FUndoRedo = nullptr;
    TObjStringGrid::Notification(AComponent, Operation);
}

QString TBaseGrid::GetEditText(int ACol, int ARow) { return TObjStringGrid::GetEditText(ACol, ARow); }

void TBaseGrid::SetEditText(int ACol, int ARow, const QString& Value)
{
    TObjStringGrid::SetEditText(ACol, ARow, Value);
}

void TBaseGrid::ChangeScale(int M, int D) { TObjStringGrid::ChangeScale(M, D); }

// ---------------------------------------------------------------------------
// TExGridUndoRedo
// ---------------------------------------------------------------------------

TExGridUndoRedo::TExGridUndoRedo(TComponent* AOwner) : TComponent(AOwner), FItems(new TUndoRedoCollection()) {}

TExGridUndoRedo::~TExGridUndoRedo() { FItems->Free(); }

void TExGridUndoRedo::RegisterChange(int ACol, int ARow, const QString& OldValue, const QString& NewValue)
{
    if (MaxLevel > 0 && FItems->Count() >= MaxLevel)
        FItems->Delete(0);
    auto* item = static_cast<TUndoRedoItem*>(FItems->Add());
    item->Col = ACol;
    item->Row = ARow;
    item->Value = NewValue;
    item->OrigValue = OldValue;
    FLevel = FItems->Count();
}

void TExGridUndoRedo::AddMarker(bool start)
{
    auto* item = static_cast<TUndoRedoItem*>(FItems->Add());
    item->SequenceStart = start;
    item->SequenceStop = !start;
    FLevel = FItems->Count();
}

void TExGridUndoRedo::StartSequence() { AddMarker(true); }
void TExGridUndoRedo::StopSequence() { AddMarker(false); }

void TExGridUndoRedo::ApplyItem(const TUndoRedoItem* X, bool undo)
{
    const QString& target = undo ? X->OrigValue : X->Value;
    const TExGridUndoRedoEvent& event = undo ? OnUndo : OnRedo;
    if (event)
        event(this, Grid, X->Col, X->Row, Grid->GetCellEx(X->Col, X->Row), target);
    Grid->SetCellEx(X->Col, X->Row, target);
    const int col = Grid->DisplColIndex(X->Col);
    if (col != Grid->Col())
        Grid->SetCol(col);
    if (X->Row != Grid->Row())
        Grid->SetRow(X->Row);
}

void TExGridUndoRedo::Undo()
{
    if (!Grid || FLevel <= 0 || FItems->Count() < FLevel)
        return;
    const TUndoRedoItem* X = FItems->Item(FLevel - 1);
    --FLevel;
    if (X->SequenceStop) {
        // Back to the sequence's start marker, or to the first item when
        // the start marker was dropped by MaxLevel; a stray stop marker
        // inside is stepped over.
        while (FLevel > 0) {
            const TUndoRedoItem* Y = FItems->Item(FLevel - 1);
            --FLevel;
            if (Y->SequenceStart)
                break;
            if (!Y->SequenceStop)
                ApplyItem(Y, true);
        }
        Grid->Invalidate();
    } else if (!X->SequenceStart) {
        ApplyItem(X, true);
        Grid->RepaintCell(Grid->Col(), X->Row);
    }
    // A start marker met alone is stepped over.
}

void TExGridUndoRedo::Redo()
{
    if (!Grid || FItems->Count() <= FLevel || FLevel < 0)
        return;
    const TUndoRedoItem* X = FItems->Item(FLevel);
    ++FLevel;
    if (X->SequenceStart) {
        // Forward to the stop marker, or to the end of an open sequence
        // (its last change included).
        while (FLevel < FItems->Count()) {
            const TUndoRedoItem* Y = FItems->Item(FLevel);
            ++FLevel;
            if (Y->SequenceStop)
                break;
            if (!Y->SequenceStart)
                ApplyItem(Y, false);
        }
        Grid->Invalidate();
    } else if (!X->SequenceStop) {
        ApplyItem(X, false);
    }
    // A stop marker met alone is stepped over.
}

void TExGridUndoRedo::Reset()
{
    while (FItems->Count() > 0)
        FItems->Delete(0);
    FLevel = 0;
}

void TExGridUndoRedo::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == Grid)
        Grid = nullptr;
    TComponent::Notification(AComponent, Operation);
}
