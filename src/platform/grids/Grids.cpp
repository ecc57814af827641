#include "platform/grids/Grids.h"

#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/Timers.h"
#include "platform/core/MathUtils.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace {
const QString kIndexOutOfRange = QStringLiteral("Grid index out of range");
const QString kFixedRowTooBig = QStringLiteral("Fixed row count must be less than row count");
const QString kFixedColTooBig = QStringLiteral("Fixed column count must be less than column count");
const QString kTooLarge = QStringLiteral("Grid too large for operation");

// Counts above this would make the size tables unreasonably large.
constexpr int kMaxCount = 1 << 24;
// The auto-scroll timer of a selection or move drag, and its interval.
constexpr unsigned kScrollTimer = 1;
constexpr unsigned kScrollInterval = 60;
// The pointer counts as on a line within this many pixels.
constexpr int kSizingRange = 7;

[[noreturn]] void InvalidOp(const QString& msg) { throw EInvalidGridOperation(msg); }

// Stores a property's new value; true when it differs from the old one.
template <class T> bool Change(T& field, T v) {
    if (field == v) return false;
    field = v;
    return true;
}

// A cell index that follows a column or row moved from `from` to `to`.
void MoveAdjust(int& pos, int from, int to) {
    if (pos == from) pos = to;
    else if (pos > from && pos <= to) --pos;
    else if (pos < from && pos >= to) ++pos;
}

template <class T> void MoveEntry(std::vector<T>& v, int from, int to) {
    if (from < 0 || to < 0 || from >= int(v.size()) || to >= int(v.size())) return;
    T item = v[from];
    v.erase(v.begin() + from);
    v.insert(v.begin() + to, item);
}
}  // namespace

TGridRect GridRect(TGridCoord a, TGridCoord b) {
    return TGridRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

bool PointInGridRect(int Col, int Row, const TGridRect& r) {
    return Col >= r.Left && Col <= r.Right && Row >= r.Top && Row <= r.Bottom;
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    // Click comes from the grid's own mouse handling, not from the release.
    ControlStyle = csCaptureMouse | csOpaque | csDoubleClicks;
    SetTabStop(true);
    SetColor(clWindow);
    FColWidths.assign(FColCount, FDefaultColWidth);
    FRowHeights.assign(FRowCount, FDefaultRowHeight);
    FTabStops.assign(FColCount, true);
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() {
    if (HandleAllocated()) KillTimer(this, kScrollTimer);
    // The editor is freed later, with the grid's other components.
    if (FInplaceEdit) FInplaceEdit->SetGrid(nullptr);
    FInplaceEdit = nullptr;
}

void TCustomGrid::CreateParams(TCreateParams& P) {
    TCustomControl::CreateParams(P);
    P.Style |= WS_TABSTOP;
    if (VertScrollBarVisible()) P.Style |= WS_VSCROLL;
    if (HorzScrollBarVisible()) P.Style |= WS_HSCROLL;
    if (FBorderStyle == bsSingle) P.ExStyle |= WS_EX_CLIENTEDGE;
}

// ---------------------------------------------------------------------------
// Counts and sizes
// ---------------------------------------------------------------------------

void TCustomGrid::CheckIndex(int i, int count) const {
    if (i < 0 || i >= count) InvalidOp(kIndexOutOfRange);
}

void TCustomGrid::SetColCount(int v) {
    if (v < 1) v = 1;
    if (v > kMaxCount) InvalidOp(kTooLarge);
    if (v == FColCount) return;
    if (v <= FFixedCols) SetFixedCols(v - 1);
    ChangeSize(v, FRowCount);
}

void TCustomGrid::SetRowCount(int v) {
    if (v < 1) v = 1;
    if (v > kMaxCount) InvalidOp(kTooLarge);
    if (v == FRowCount) return;
    if (v <= FFixedRows) SetFixedRows(v - 1);
    ChangeSize(FColCount, v);
}

void TCustomGrid::SetFixedCols(int v) {
    if (v < 0) InvalidOp(kIndexOutOfRange);
    if (v >= FColCount) InvalidOp(kFixedColTooBig);
    if (v == FFixedCols) return;
    FFixedCols = v;
    RestartAtFirstScrollableCell();
}

void TCustomGrid::SetFixedRows(int v) {
    if (v < 0) InvalidOp(kIndexOutOfRange);
    if (v >= FRowCount) InvalidOp(kFixedRowTooBig);
    if (v == FFixedRows) return;
    FFixedRows = v;
    RestartAtFirstScrollableCell();
}

void TCustomGrid::RestartAtFirstScrollableCell() {
    FTopLeft = TGridCoord{FFixedCols, FFixedRows};
    FCurrent = FTopLeft;
    FAnchor = FCurrent;
    if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    const int oldCols = FColCount, oldRows = FRowCount;
    FColWidths.resize(NewColCount, FDefaultColWidth);
    FRowHeights.resize(NewRowCount, FDefaultRowHeight);
    FTabStops.resize(NewColCount, true);
    ExtentsChanged();
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    // Keep the current cell, the anchor and the scroll position inside.
    auto clampCoord = [&](TGridCoord& c, int minX, int minY) {
        c.X = std::clamp(c.X, std::min(minX, FColCount - 1), FColCount - 1);
        c.Y = std::clamp(c.Y, std::min(minY, FRowCount - 1), FRowCount - 1);
    };
    const TGridCoord oldCurrent = FCurrent;
    clampCoord(FCurrent, 0, 0);
    clampCoord(FAnchor, 0, 0);
    if (FOptions & goRowSelect) {
        FCurrent.X = std::min(FFixedCols, FColCount - 1);
        FAnchor.X = FColCount - 1;
    }
    clampCoord(FTopLeft, FFixedCols, FFixedRows);
    if (FInplaceEdit && !(FCurrent == oldCurrent)) {
        // As any move of the current cell: the typed text goes back to the
        // cell it was typed for, and the editor closes unless it always shows.
        if (FOptions & goAlwaysShowEditor) {
            UpdateText();
            InvalidateEditor();
        } else {
            HideEditor();
        }
    }
    SizeChanged(oldCols, oldRows);
    InvalidateGrid();
}

int TCustomGrid::ColWidths(int i) const {
    return i >= 0 && i < int(FColWidths.size()) ? FColWidths[i] : FDefaultColWidth;
}

int TCustomGrid::RowHeights(int i) const {
    return i >= 0 && i < int(FRowHeights.size()) ? FRowHeights[i] : FDefaultRowHeight;
}

void TCustomGrid::SetColWidths(int i, int v) {
    CheckIndex(i, FColCount);
    if (FColWidths[i] == v) return;
    FColWidths[i] = v;
    ExtentsChanged();
    ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int i, int v) {
    CheckIndex(i, FRowCount);
    if (FRowHeights[i] == v) return;
    FRowHeights[i] = v;
    ExtentsChanged();
    RowHeightsChanged();
}

void TCustomGrid::SetDefaultColWidth(int v) {
    FDefaultColWidth = v;
    std::fill(FColWidths.begin(), FColWidths.end(), v);
    ExtentsChanged();
    ColWidthsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    FDefaultRowHeight = v;
    std::fill(FRowHeights.begin(), FRowHeights.end(), v);
    ExtentsChanged();
    RowHeightsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetGridLineWidth(int v) {
    if (v < 0) v = 0;
    if (v == FGridLineWidth) return;
    FGridLineWidth = v;
    ExtentsChanged();
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::ExtentsChanged() {
    FExtentsValid = false;
    FDrawInfoValid = false;
    UpdateScrollRange();
}

int TCustomGrid::GridWidth() const {
    if (!FExtentsValid) {
        FGridWidthCache = 0;
        for (int w : FColWidths) FGridWidthCache += w < 0 ? 0 : w + FGridLineWidth;
        FGridHeightCache = 0;
        for (int h : FRowHeights) FGridHeightCache += h < 0 ? 0 : h + FGridLineWidth;
        FExtentsValid = true;
    }
    return FGridWidthCache;
}

int TCustomGrid::GridHeight() const {
    GridWidth();
    return FGridHeightCache;
}

bool TCustomGrid::TabStops(int i) const { return i >= 0 && i < int(FTabStops.size()) ? FTabStops[i] : true; }

void TCustomGrid::SetTabStops(int i, bool v) {
    CheckIndex(i, FColCount);
    FTabStops[i] = v;
}

void TCustomGrid::ColWidthsChanged() {
    ClampTopLeft();
    UpdateEdit();
    InvalidateGrid();
}

void TCustomGrid::RowHeightsChanged() {
    ClampTopLeft();
    UpdateEdit();
    InvalidateGrid();
}

void TCustomGrid::SizeChanged(int, int) {}

void TCustomGrid::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    FDefaultColWidth = MulDiv(FDefaultColWidth, M, D);
    FDefaultRowHeight = MulDiv(FDefaultRowHeight, M, D);
    for (int& w : FColWidths)
        if (w > 0) w = MulDiv(w, M, D);
    for (int& h : FRowHeights)
        if (h > 0) h = MulDiv(h, M, D);
    ExtentsChanged();
    ColWidthsChanged();
    RowHeightsChanged();
}

// ---------------------------------------------------------------------------
// Looks
// ---------------------------------------------------------------------------

void TCustomGrid::SetOptions(TGridOptions v) {
    if (v == FOptions) return;
    // Row selection shows no editor.
    if (v & goRowSelect) v &= ~goAlwaysShowEditor;
    FOptions = v;
    // Only the class library's step: no editor update after it, which would
    // ask a descendant's CanEditShow from inside a cell selection.
    if (!FEditorMode) {
        if (v & goAlwaysShowEditor) ShowEditor();
        else HideEditor();
    }
    if (v & goRowSelect) MoveCurrent(Col(), Row(), true, false);
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle v) {
    if (Change(FScrollBars, v)) {
        RecreateWnd();
        InvalidateGrid();
    }
}

void TCustomGrid::SetBorderStyle(TBorderStyle v) {
    if (v != bsNone) v = bsSingle;
    if (Change(FBorderStyle, v)) {
        RecreateWnd();
        InvalidateGrid();
    }
}

void TCustomGrid::SetFixedColor(TColor v) {
    if (Change(FFixedColor, v)) InvalidateGrid();
}

void TCustomGrid::SetDefaultDrawing(bool v) {
    if (Change(FDefaultDrawing, v)) InvalidateGrid();
}

void TCustomGrid::SetDrawingStyle(TGridDrawingStyle v) {
    if (Change(FDrawingStyle, v)) InvalidateGrid();
}

void TCustomGrid::SetGradientStartColor(TColor v) {
    if (Change(FGradientStartColor, v)) InvalidateGrid();
}

void TCustomGrid::SetGradientEndColor(TColor v) {
    if (Change(FGradientEndColor, v)) InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

void TCustomGrid::ScrollBarNeed(bool& vert, bool& horz) const {
    const bool canV = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool canH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    int w = Width() - 2 * BorderSize(), h = Height() - 2 * BorderSize();
    // The last grid line may be cut off without hiding a cell.
    const int gw = GridWidth() - FGridLineWidth, gh = GridHeight() - FGridLineWidth;
    vert = horz = false;
    // A bar that appears takes room from the other direction: ask twice.
    for (int pass = 0; pass < 2; ++pass) {
        horz = canH && gw > w - (vert || FAlwaysVert ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        vert = canV && gh > h - (horz || FAlwaysHorz ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    }
}

bool TCustomGrid::VertScrollBarVisible() const {
    bool v, h;
    ScrollBarNeed(v, h);
    return v;
}

bool TCustomGrid::HorzScrollBarVisible() const {
    bool v, h;
    ScrollBarNeed(v, h);
    return h;
}

void TCustomGrid::WMNCCalcSize(TMessage& M) {
    if (M.LParam) {
        auto& r = *reinterpret_cast<TRect*>(M.LParam);
        const int b = BorderSize();
        r = Rect(r.Left + b, r.Top + b, std::max(r.Left + b, r.Right - b), std::max(r.Top + b, r.Bottom - b));
    }
    TCustomControl::WMNCCalcSize(M);
}

void TCustomGrid::WMNCPaint(TMessage& M) {
    if (M.WParam && BorderSize() > 0) {
        TCanvas c;
        reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
        TRect edge = Rect(0, 0, Width(), Height());
        c.DrawEdge(edge, EDGE_SUNKEN, BF_RECT);
    }
    TCustomControl::WMNCPaint(M);
}

namespace {
// The class library's scroll-bar scale for the grid: positions 0..127.
constexpr int kScrollScale = 127;
}  // namespace

void TCustomGrid::UpdateScrollRange() {
    bool v, h;
    ScrollBarNeed(v, h);
    TWinScrollBars* s = ScrollBarsState();
    bool changed = false;
    for (auto [which, need] : {std::pair{int(SB_VERT), v}, std::pair{int(SB_HORZ), h}}) {
        TWinScrollBars::TBar& b = s->Bar(which);
        const bool always = which == SB_VERT ? FAlwaysVert : FAlwaysHorz;
        changed |= b.Shown != (need || always);
        b.Shown = need || always;
        if (always) b.Disabled = need ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
        b.Min = 0;
        b.Max = kScrollScale;
        b.Page = 0;
        b.NoScrollDisabled = false;
    }
    if (changed) RecalcNCArea();
    UpdateScrollPos();
}

void TCustomGrid::SetAlwaysShownBars(bool Vert, bool Horz) {
    if (Vert == FAlwaysVert && Horz == FAlwaysHorz) return;
    FAlwaysVert = Vert;
    FAlwaysHorz = Horz;
    ExtentsChanged();
    InvalidateGrid();
}

void TCustomGrid::UpdateScrollPos() {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    const TGridCoord maxTl = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, D);
    auto scaled = [](int at, int fixed, int max) {
        return max > fixed ? std::clamp(MulDiv(at - fixed, kScrollScale, max - fixed), 0, kScrollScale) : 0;
    };
    TWinScrollBars* s = ScrollBarsState();
    const int vp = scaled(FTopLeft.Y, FFixedRows, maxTl.Y), hp = scaled(FTopLeft.X, FFixedCols, maxTl.X);
    if (s->Bar(SB_VERT).Pos != vp) SetScrollPos(this, SB_VERT, vp, true);
    if (s->Bar(SB_HORZ).Pos != hp) SetScrollPos(this, SB_HORZ, hp, true);
}

int TCustomGrid::Extent(bool horz, int i) const { return horz ? ColWidths(i) : RowHeights(i); }

void TCustomGrid::CalcAxis(TGridAxisDrawInfo& A, int fixedCount, int firstCell, int cellCount, bool horz,
                           int extent) const {
    A.EffectiveLineWidth = FGridLineWidth;
    A.GridExtent = extent;
    A.FixedCellCount = fixedCount;
    A.FirstGridCell = firstCell;
    A.GridCellCount = cellCount;
    int pos = 0;
    for (int i = 0; i < fixedCount && i < cellCount; ++i) {
        const int e = Extent(horz, i);
        if (e >= 0) pos += e + FGridLineWidth;
    }
    A.FixedBoundary = std::min(pos, extent);
    A.FullVisBoundary = A.FixedBoundary;
    A.GridBoundary = A.FixedBoundary;
    A.LastFullVisibleCell = firstCell - 1;
    A.LastVisibleCell = firstCell - 1;
    for (int i = firstCell; i < cellCount && pos < extent; ++i) {
        const int e = Extent(horz, i);
        A.LastVisibleCell = i;
        if (e < 0) {
            // A hidden cell takes no room and no line.
            if (A.LastFullVisibleCell == i - 1) A.LastFullVisibleCell = i;
            continue;
        }
        if (pos + e <= extent && A.LastFullVisibleCell == i - 1) {
            A.LastFullVisibleCell = i;
            A.FullVisBoundary = std::min(pos + e + FGridLineWidth, extent);
        }
        pos += e + FGridLineWidth;
        A.GridBoundary = std::min(pos, extent);
    }
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& D) const {
    const TLayoutKey key{Width(), Height(), FTopLeft.X, FTopLeft.Y, FColCount, FRowCount, FFixedCols,
                         FFixedRows, FGridLineWidth, int(FScrollBars), int(FBorderStyle)};
    if (!FDrawInfoValid || !(key == FDrawInfoKey)) {
        CalcDrawInfoNow(FDrawInfoCache);
        FDrawInfoKey = key;
        FDrawInfoValid = true;
    }
    D = FDrawInfoCache;
}

void TCustomGrid::CalcDrawInfoNow(TGridDrawInfo& D) const {
    const TRect cr = ClientRect();
    CalcAxis(D.Horz, FFixedCols, FTopLeft.X, FColCount, true, cr.Width());
    CalcAxis(D.Vert, FFixedRows, FTopLeft.Y, FRowCount, false, cr.Height());
}

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& D) const {
    const TRect cr = ClientRect();
    CalcAxis(D.Horz, FFixedCols, FFixedCols, FColCount, true, cr.Width());
    CalcAxis(D.Vert, FFixedRows, FFixedRows, FRowCount, false, cr.Height());
}

int TCustomGrid::VisibleColCount() const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    return std::max(0, D.Horz.LastFullVisibleCell - FTopLeft.X + 1);
}

int TCustomGrid::VisibleRowCount() const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    return std::max(0, D.Vert.LastFullVisibleCell - FTopLeft.Y + 1);
}

// The left (top) pixel of a cell that is in view, or -1.
int TCustomGrid::LinePos(const TGridAxisDrawInfo& A, bool horz, int line) const {
    if (line < 0 || line >= A.GridCellCount) return -1;
    int pos = 0;
    if (line < A.FixedCellCount) {
        for (int i = 0; i < line; ++i) {
            const int e = Extent(horz, i);
            if (e >= 0) pos += e + A.EffectiveLineWidth;
        }
        return pos < A.GridExtent ? pos : -1;
    }
    if (line < A.FirstGridCell || line > A.LastVisibleCell) return -1;
    pos = A.FixedBoundary;
    for (int i = A.FirstGridCell; i < line; ++i) {
        const int e = Extent(horz, i);
        if (e >= 0) pos += e + A.EffectiveLineWidth;
    }
    return pos < A.GridExtent ? pos : -1;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    const int x = LinePos(D.Horz, true, ACol);
    const int y = LinePos(D.Vert, false, ARow);
    if (x < 0 || y < 0) return TRect();
    return Rect(x, y, x + std::max(0, ColWidths(ACol)), y + std::max(0, RowHeights(ARow)));
}

int TCustomGrid::CoordFromPoint(const TGridAxisDrawInfo& A, bool horz, int pos) const {
    if (pos < 0 || pos >= A.GridExtent) return -1;
    int start = 0;
    if (pos < A.FixedBoundary) {
        for (int i = 0; i < A.FixedCellCount; ++i) {
            const int e = Extent(horz, i);
            if (e < 0) continue;
            if (pos < start + e + A.EffectiveLineWidth) return i;
            start += e + A.EffectiveLineWidth;
        }
        return -1;
    }
    start = A.FixedBoundary;
    for (int i = A.FirstGridCell; i < A.GridCellCount; ++i) {
        const int e = Extent(horz, i);
        if (e < 0) continue;
        if (pos < start + e + A.EffectiveLineWidth) return i;
        start += e + A.EffectiveLineWidth;
        if (start >= A.GridExtent) break;
    }
    return -1;
}

TGridCoord TCustomGrid::CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& D) const {
    return TGridCoord{CoordFromPoint(D.Horz, true, X), CoordFromPoint(D.Vert, false, Y)};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TGridCoord c = CalcCoordFromPoint(X, Y, D);
    if (c.X < 0) c.Y = -1;
    else if (c.Y < 0) c.X = -1;
    return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    const TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

// The smallest top-left cell from which `coord` is shown whole at the
// bottom-right (or the cell itself when it is wider than the room).
TGridCoord TCustomGrid::CalcMaxTopLeft(TGridCoord coord, const TGridDrawInfo& D) const {
    auto axis = [this](const TGridAxisDrawInfo& A, bool horz, int cell) {
        int room = A.GridExtent - A.FixedBoundary;
        int result = cell;
        int i = cell;
        while (i >= A.FixedCellCount) {
            const int e = Extent(horz, i);
            const int need = e < 0 ? 0 : e + (i == cell ? 0 : A.EffectiveLineWidth);
            if (need > room) break;
            room -= need;
            result = i;
            --i;
        }
        return std::max(result, A.FixedCellCount);
    };
    return TGridCoord{axis(D.Horz, true, coord.X), axis(D.Vert, false, coord.Y)};
}

// ---------------------------------------------------------------------------
// Current cell, selection and scrolling
// ---------------------------------------------------------------------------

TGridRect TCustomGrid::Selection() const { return GridRect(FCurrent, FAnchor); }

void TCustomGrid::SetSelection(const TGridRect& v) {
    // Any rectangle is taken, also one outside the grid: selecting the cell
    // (ColCount, RowCount) is how a descendant shows no selection at all.
    const TGridRect oldSel = Selection();
    FAnchor = TGridCoord{v.Left, v.Top};
    FCurrent = TGridCoord{v.Right, v.Bottom};
    SelectionMoved(oldSel);
}

void TCustomGrid::SelectionMoved(const TGridRect& OldSel) {
    InvalidateGridRect(OldSel);
    InvalidateGridRect(Selection());
}

void TCustomGrid::SetCol(int v) {
    if (v != FCurrent.X) FocusCell(v, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int v) {
    if (v != FCurrent.Y) FocusCell(FCurrent.X, v, true);
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    MoveCurrent(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) InvalidOp(kIndexOutOfRange);
    if (!SelectCell(ACol, ARow)) return;
    const TGridRect oldSel = Selection();
    const TGridCoord oldCurrent = FCurrent;
    FCurrent = TGridCoord{ACol, ARow};
    if (!(FOptions & goAlwaysShowEditor)) HideEditor();
    if (MoveAnchor || !(FOptions & goRangeSelect)) {
        FAnchor = FCurrent;
        if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
    }
    if (FOptions & goRowSelect) FCurrent.X = std::min(FFixedCols, FColCount - 1);
    if (Show) ClampInView(FCurrent);
    SelectionMoved(oldSel);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(ACol, ARow);
}

void TCustomGrid::MoveAnchor(TGridCoord NewAnchor) {
    if (!(FOptions & goRangeSelect)) {
        MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
        return;
    }
    const TGridRect oldSel = Selection();
    FAnchor = NewAnchor;
    if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
    ClampInView(NewAnchor);
    SelectionMoved(oldSel);
}

void TCustomGrid::ClampInView(TGridCoord Coord) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TGridCoord tl = FTopLeft;
    const TGridCoord maxTl = CalcMaxTopLeft(Coord, D);
    if (Coord.X >= FFixedCols) {
        if (Coord.X < tl.X) tl.X = Coord.X;
        else if (Coord.X > D.Horz.LastFullVisibleCell) tl.X = std::max(tl.X, maxTl.X);
    }
    if (Coord.Y >= FFixedRows) {
        if (Coord.Y < tl.Y) tl.Y = Coord.Y;
        else if (Coord.Y > D.Vert.LastFullVisibleCell) tl.Y = std::max(tl.Y, maxTl.Y);
    }
    MoveTopLeft(tl.X, tl.Y);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
    const TGridCoord old = FTopLeft;
    FTopLeft = TGridCoord{ALeft, ATop};
    UpdateScrollPos();
    ScrollData(old);
    UpdateEdit();
    TopLeftChanged();
}

bool TCustomGrid::ScrollDistance(bool horz, int From, int To, int Limit, int& Pixels) const {
    const int lo = std::min(From, To), hi = std::max(From, To);
    int sum = 0;
    for (int i = lo; i < hi; ++i) {
        const int e = Extent(horz, i);
        if (e < 0) continue;  // a hidden cell takes no room, nor its line
        sum += e + FGridLineWidth;
        if (sum >= Limit) return false;
    }
    Pixels = To > From ? -sum : sum;
    return true;
}

void TCustomGrid::ScrollData(TGridCoord OldTopLeft) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    int dx = 0, dy = 0;
    const bool near =
        ScrollDistance(true, OldTopLeft.X, FTopLeft.X, D.Horz.GridExtent - D.Horz.FixedBoundary, dx) &&
        ScrollDistance(false, OldTopLeft.Y, FTopLeft.Y, D.Vert.GridExtent - D.Vert.FixedBoundary, dy);
    if (!near || !ScrollMovesPixels()) {
        InvalidateGrid();
        return;
    }
    // The columns right of the fixed ones move sideways with the column
    // headers; the rows below the fixed ones move up or down with the row
    // headers. The fixed corner never moves.
    if (dx != 0) {
        const TRect area = Rect(D.Horz.FixedBoundary, 0, D.Horz.GridExtent, D.Vert.GridExtent);
        ::ScrollWindow(this, dx, 0, &area, &area);
    }
    if (dy != 0) {
        const TRect area = Rect(0, D.Vert.FixedBoundary, D.Horz.GridExtent, D.Vert.GridExtent);
        ::ScrollWindow(this, 0, dy, &area, &area);
    }
    // The focus frame of a row selection spans the part of the row in view:
    // its ends do not move with the cells.
    if (dx != 0 && FDefaultDrawing && (FOptions & goRowSelect) && IsActiveControl()) InvalidateRow(FCurrent.Y);
}

void TCustomGrid::ClampTopLeft() {
    FTopLeft.X = std::clamp(FTopLeft.X, std::min(FFixedCols, FColCount - 1), FColCount - 1);
    FTopLeft.Y = std::clamp(FTopLeft.Y, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
}

void TCustomGrid::SetTopRow(int v) {
    v = std::clamp(v, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
    if (v != FTopLeft.Y) MoveTopLeft(FTopLeft.X, v);
}

void TCustomGrid::SetLeftCol(int v) {
    v = std::clamp(v, std::min(FFixedCols, FColCount - 1), FColCount - 1);
    if (v != FTopLeft.X) MoveTopLeft(v, FTopLeft.Y);
}

void TCustomGrid::TopLeftChanged() {}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::ScrollBy(bool vertical, unsigned code, int pos) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    const TGridCoord maxTl = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, D);
    const int fixed = vertical ? FFixedRows : FFixedCols;
    const int maxPos = vertical ? maxTl.Y : maxTl.X;
    const int page = std::max(1, vertical ? VisibleRowCount() : VisibleColCount());
    int v = vertical ? FTopLeft.Y : FTopLeft.X;
    switch (code) {
    case SB_LINEUP: --v; break;
    case SB_LINEDOWN: ++v; break;
    case SB_PAGEUP: v -= page; break;
    case SB_PAGEDOWN: v += page; break;
    // The thumb's position is on the 0..127 scale of the whole range.
    case SB_THUMBPOSITION: v = fixed + MulDiv(pos, std::max(0, maxPos - fixed), kScrollScale); break;
    case SB_THUMBTRACK:
        if (!(FOptions & goThumbTracking)) return;
        v = fixed + MulDiv(pos, std::max(0, maxPos - fixed), kScrollScale);
        break;
    case SB_TOP: v = fixed; break;
    case SB_BOTTOM: v = maxPos; break;
    default: return;
    }
    v = std::clamp(v, fixed, std::max(fixed, maxPos));
    if (vertical) MoveTopLeft(FTopLeft.X, v);
    else MoveTopLeft(v, FTopLeft.Y);
}

void TCustomGrid::WMVScroll(TMessage& M) { ScrollBy(true, unsigned(M.WParam & 0xFFFF), int((M.WParam >> 16) & 0xFFFF)); }

void TCustomGrid::WMHScroll(TMessage& M) { ScrollBy(false, unsigned(M.WParam & 0xFFFF), int((M.WParam >> 16) & 0xFFFF)); }

// ---------------------------------------------------------------------------
// Rows and columns
// ---------------------------------------------------------------------------

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, FColCount);
    CheckIndex(ToIndex, FColCount);
    if (FromIndex == ToIndex) return;
    MoveEntry(FColWidths, FromIndex, ToIndex);
    ExtentsChanged();
    {
        // std::vector<bool> has no plain element references.
        const bool stop = FTabStops[FromIndex];
        FTabStops.erase(FTabStops.begin() + FromIndex);
        FTabStops.insert(FTabStops.begin() + ToIndex, stop);
    }
    MoveAdjust(FCurrent.X, FromIndex, ToIndex);
    MoveAdjust(FAnchor.X, FromIndex, ToIndex);
    if (FInplaceCol >= 0) MoveAdjust(FInplaceCol, FromIndex, ToIndex);
    ColumnMoved(FromIndex, ToIndex);
    ColWidthsChanged();
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, FRowCount);
    CheckIndex(ToIndex, FRowCount);
    if (FromIndex == ToIndex) return;
    MoveEntry(FRowHeights, FromIndex, ToIndex);
    ExtentsChanged();
    MoveAdjust(FCurrent.Y, FromIndex, ToIndex);
    MoveAdjust(FAnchor.Y, FromIndex, ToIndex);
    if (FInplaceRow >= 0) MoveAdjust(FInplaceRow, FromIndex, ToIndex);
    RowMoved(FromIndex, ToIndex);
    RowHeightsChanged();
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::DeleteColumn(int ACol) {
    CheckIndex(ACol, FColCount);
    MoveColumn(ACol, FColCount - 1);
    // The deleted column's cells now lie just past the count; empty them so
    // they do not come back when the count grows again.
    ClearColumnData(FColCount - 1);
    SetColCount(FColCount - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
    CheckIndex(ARow, FRowCount);
    MoveRow(ARow, FRowCount - 1);
    ClearRowData(FRowCount - 1);
    SetRowCount(FRowCount - 1);
}

void TCustomGrid::ShiftRows(int From, int Delta) {
    if (Delta == 0) return;
    if (From < 0 || From > FRowCount || From + Delta < 0) InvalidOp(kIndexOutOfRange);
    if (FRowCount + Delta > kMaxCount) InvalidOp(kTooLarge);
    if (Delta > 0) {
        FRowHeights.insert(FRowHeights.begin() + From, std::size_t(Delta), FDefaultRowHeight);
    } else {
        FRowHeights.erase(FRowHeights.begin() + (From + Delta), FRowHeights.begin() + From);
    }
    ShiftRowData(From, Delta);
    int newCount = FRowCount + Delta;
    if (newCount < 1) {
        // The grid keeps one row; what is stored there now is emptied.
        newCount = 1;
        FRowHeights.assign(1, FDefaultRowHeight);
        ClearRowData(0);
    }
    // ChangeSize sees the heights already in place.
    ExtentsChanged();
    if (newCount <= FFixedRows) SetFixedRows(newCount - 1);
    ChangeSize(FColCount, newCount);
    RowHeightsChanged();
}

void TCustomGrid::RemoveRowSet(const std::vector<int>& Rows) {
    if (Rows.empty()) return;
    for (std::size_t i = 0; i < Rows.size(); ++i)
        if (Rows[i] < 0 || Rows[i] >= FRowCount || (i > 0 && Rows[i] <= Rows[i - 1])) InvalidOp(kIndexOutOfRange);
    std::vector<int> heights;
    heights.reserve(FRowHeights.size());
    for (std::size_t r = 0, k = 0; r < FRowHeights.size(); ++r) {
        if (k < Rows.size() && Rows[k] == int(r)) {
            ++k;
            continue;
        }
        heights.push_back(FRowHeights[r]);
    }
    FRowHeights.swap(heights);
    RemapRowData([&Rows](int r) {
        const auto at = std::lower_bound(Rows.begin(), Rows.end(), r);
        if (at != Rows.end() && *at == r) return -1;
        return r - int(at - Rows.begin());
    });
    RowSetDone(FRowCount - int(Rows.size()));
}

void TCustomGrid::InsertRowSet(const std::vector<int>& Rows) {
    if (Rows.empty()) return;
    const int newCount = FRowCount + int(Rows.size());
    if (newCount > kMaxCount) InvalidOp(kTooLarge);
    for (std::size_t i = 0; i < Rows.size(); ++i)
        if (Rows[i] < 0 || Rows[i] >= newCount || (i > 0 && Rows[i] <= Rows[i - 1])) InvalidOp(kIndexOutOfRange);
    std::vector<int> heights;
    heights.reserve(std::size_t(newCount));
    for (std::size_t r = 0, k = 0, old = 0; int(r) < newCount; ++r) {
        if (k < Rows.size() && Rows[k] == int(r)) {
            heights.push_back(FDefaultRowHeight);
            ++k;
        } else {
            heights.push_back(FRowHeights[old++]);
        }
    }
    FRowHeights.swap(heights);
    // Old row o lands at o + j, j the number of new rows in front of it:
    // the entries Rows[i] - i are ascending, so j counts those <= o.
    std::vector<int> shifted(Rows.size());
    for (std::size_t i = 0; i < Rows.size(); ++i)
        shifted[i] = Rows[i] - int(i);
    RemapRowData([&shifted](int r) {
        return r + int(std::upper_bound(shifted.begin(), shifted.end(), r) - shifted.begin());
    });
    RowSetDone(newCount);
}

void TCustomGrid::RowSetDone(int newCount) {
    if (newCount < 1) {
        newCount = 1;
        FRowHeights.assign(1, FDefaultRowHeight);
        ClearRowData(0);
    }
    ExtentsChanged();
    if (newCount <= FFixedRows) SetFixedRows(newCount - 1);
    ChangeSize(FColCount, newCount);
    RowHeightsChanged();
}

void TCustomGrid::ShiftRowData(int, int) {}
void TCustomGrid::RemapRowData(const std::function<int(int)>&) {}

void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}
void TCustomGrid::ClearColumnData(int) {}
void TCustomGrid::ClearRowData(int) {}
void TCustomGrid::FixedCellClick(int, int) {}

// ---------------------------------------------------------------------------
// Repainting
// ---------------------------------------------------------------------------

void TCustomGrid::InvalidateRect(const TRect& r) {
    if (r.IsEmpty()) return;
    // A long list helps no one: past this many rectangles the whole grid is
    // due anyway.
    if (FInvalidated.size() >= 4096) {
        FInvalidated.clear();
        FInvalidated.push_back(ClientRect());
    } else {
        FInvalidated.push_back(r);
    }
    // Only the cells' rectangle joins the form's update region.
    InvalidateClientRect(&r);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    InvalidateGridRect(TGridRect{ACol, ARow, ACol, ARow});
}

void TCustomGrid::InvalidateRow(int ARow) { InvalidateGridRect(TGridRect{0, ARow, FColCount - 1, ARow}); }

void TCustomGrid::InvalidateCol(int ACol) { InvalidateGridRect(TGridRect{ACol, 0, ACol, FRowCount - 1}); }

void TCustomGrid::InvalidateGrid() {
    FInvalidated.clear();
    FInvalidated.push_back(ClientRect());
    // Through the virtual step, so a descendant sees every whole repaint.
    Invalidate();
}

void TCustomGrid::InvalidateGridRect(const TGridRect& g) {
    if (g.Right < 0 || g.Bottom < 0 || g.Left >= FColCount || g.Top >= FRowCount) return;
    if (CellInvalidationDeferred()) return;
    TGridDrawInfo D;
    CalcDrawInfo(D);
    // The part of the block that is in view, fixed cells included.
    auto visibleSpan = [](const TGridAxisDrawInfo& A, int lo, int hi, int& first, int& last) {
        first = -1;
        last = -1;
        for (int i = std::max(lo, 0); i <= hi && i < A.FixedCellCount; ++i) {
            if (first < 0) first = i;
            last = i;
        }
        const int a = std::max(lo, A.FirstGridCell), b = std::min(hi, A.LastVisibleCell);
        if (a <= b) {
            if (first < 0) first = a;
            last = b;
        }
        return first >= 0;
    };
    int c1, c2, r1, r2;
    if (!visibleSpan(D.Horz, g.Left, g.Right, c1, c2) || !visibleSpan(D.Vert, g.Top, g.Bottom, r1, r2)) return;
    const int x1 = LinePos(D.Horz, true, c1), y1 = LinePos(D.Vert, false, r1);
    const int x2 = LinePos(D.Horz, true, c2), y2 = LinePos(D.Vert, false, r2);
    if (x1 < 0 || y1 < 0 || x2 < 0 || y2 < 0) return;
    InvalidateRect(Rect(x1, y1, std::min(D.Horz.GridExtent, x2 + std::max(0, ColWidths(c2)) + FGridLineWidth),
                        std::min(D.Vert.GridExtent, y2 + std::max(0, RowHeights(r2)) + FGridLineWidth)));
}

// ---------------------------------------------------------------------------
// Editor
// ---------------------------------------------------------------------------

bool TCustomGrid::IsActiveControl() const {
    if (TCustomForm* form = GetParentForm(this)) {
        TWinControl* active = form->ActiveControl();
        if (active == this || (FInplaceEdit && active == FInplaceEdit)) return true;
    }
    TWinControl* f = FocusedControl();
    return f == this || (FInplaceEdit && f == FInplaceEdit);
}

bool TCustomGrid::CanEditShow() {
    return (FOptions & (goRowSelect | goEditing)) == goEditing && FEditorMode && HandleAllocated() &&
           ((FOptions & goAlwaysShowEditor) || IsActiveControl());
}

void TCustomGrid::ShowEditorChar(QChar Ch) {
    ShowEditor();
    // The character is typed into the editor once it is up.
    if (FInplaceEdit) PostMessage(FInplaceEdit->Handle(), WM_CHAR, Ch.unicode(), 0);
}

bool TCustomGrid::CanEditModify() { return FCanEditModify; }

bool TCustomGrid::CanEditAcceptKey(QChar) { return true; }

QString TCustomGrid::GetEditText(int, int) { return QString(); }

void TCustomGrid::SetEditText(int, int, const QString&) {}

QString TCustomGrid::GetEditMask(int, int) { return QString(); }

int TCustomGrid::GetEditLimit() { return 0; }

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::SetEditorMode(bool v) {
    if (!v) {
        HideEditor();
        return;
    }
    ShowEditor();
    if (FInplaceEdit) FInplaceEdit->Deselect();
}

void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    FEditorMode = false;
    HideEdit();
}

void TCustomGrid::InvalidateEditor() {
    FInplaceCol = -1;
    FInplaceRow = -1;
    UpdateEdit();
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FInplaceCol >= 0 && FInplaceRow >= 0)
        SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
    if (!FInplaceEdit) return;
    struct Done {
        TCustomGrid* g;
        ~Done() {
            g->FInplaceCol = -1;
            g->FInplaceRow = -1;
            g->FInplaceEdit->Hide();
        }
    } done{this};
    UpdateText();
}

void TCustomGrid::UpdateEdit() {
    if (!CanEditShow()) return;
    auto loadEditor = [this] {
        FInplaceCol = Col();
        FInplaceRow = Row();
        FInplaceEdit->UpdateContents();
        FCanEditModify = FInplaceEdit->EditLimit() != -1;
        FInplaceEdit->SelectAll();
    };
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        FInplaceEdit->SetParent(this);
        loadEditor();
    } else if (Col() != FInplaceCol || Row() != FInplaceRow) {
        HideEdit();
        loadEditor();
    }
    if (CanEditShow()) FInplaceEdit->Move(CellRect(Col(), Row()));
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void TCustomGrid::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    TGridDrawInfo D;
    CalcDrawInfo(D);
    const int pageWidth = std::max(1, D.Horz.LastFullVisibleCell - FTopLeft.X + 1);
    const int pageHeight = std::max(1, D.Vert.LastFullVisibleCell - FTopLeft.Y + 1);
    const bool rowSelect = (FOptions & goRowSelect) != 0;
    TGridCoord cur = FCurrent, tl = FTopLeft;
    if (Shift & ssCtrl) {
        switch (Key) {
        case VK_UP: --tl.Y; break;
        case VK_DOWN: ++tl.Y; break;
        case VK_LEFT:
            if (!rowSelect) {
                cur.X -= pageWidth;
                tl.X -= pageWidth;
            }
            break;
        case VK_RIGHT:
            if (!rowSelect) {
                cur.X += pageWidth;
                tl.X += pageWidth;
            }
            break;
        case VK_PRIOR: cur.Y = FTopLeft.Y; break;
        case VK_NEXT: cur.Y = D.Vert.LastFullVisibleCell; break;
        case VK_HOME:
            cur.X = FFixedCols;
            cur.Y = FFixedRows;
            break;
        case VK_END:
            cur.X = FColCount - 1;
            cur.Y = FRowCount - 1;
            break;
        default: break;
        }
    } else {
        switch (Key) {
        case VK_UP: --cur.Y; break;
        case VK_DOWN: ++cur.Y; break;
        case VK_LEFT:
            if (rowSelect) --tl.X;
            else --cur.X;
            break;
        case VK_RIGHT:
            if (rowSelect) ++tl.X;
            else ++cur.X;
            break;
        case VK_NEXT:
            cur.Y += pageHeight;
            tl.Y += pageHeight;
            break;
        case VK_PRIOR:
            cur.Y -= pageHeight;
            tl.Y -= pageHeight;
            break;
        case VK_HOME:
            if (rowSelect) cur.Y = FFixedRows;
            else cur.X = FFixedCols;
            break;
        case VK_END:
            if (rowSelect) cur.Y = FRowCount - 1;
            else cur.X = FColCount - 1;
            break;
        case VK_TAB:
            if ((FOptions & goTabs) && !(Shift & ssAlt)) {
                const bool back = (Shift & ssShift) != 0;
                // Tab never extends the selection.
                Shift &= ~ssShift;
                // One round over the columns at most: when none takes the
                // Tab (and the current one lies outside them) nothing moves.
                const int span = FColCount - FFixedCols;
                int steps = 0;
                do {
                    if (back) {
                        if (--cur.X < FFixedCols) {
                            cur.X = FColCount - 1;
                            if (--cur.Y < FFixedRows) cur.Y = FRowCount - 1;
                        }
                    } else if (++cur.X >= FColCount) {
                        cur.X = FFixedCols;
                        if (++cur.Y >= FRowCount) cur.Y = FFixedRows;
                    }
                } while (!TabStops(cur.X) && cur.X != FCurrent.X && ++steps <= span);
                if (!TabStops(cur.X) && cur.X != FCurrent.X) cur = FCurrent;
            }
            break;
        case VK_F2: SetEditorMode(true); break;
        default: break;
        }
    }
    const TGridCoord maxTl = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, D);
    tl.X = std::clamp(tl.X, FFixedCols, std::max(FFixedCols, maxTl.X));
    tl.Y = std::clamp(tl.Y, FFixedRows, std::max(FFixedRows, maxTl.Y));
    if (tl.X != FTopLeft.X || tl.Y != FTopLeft.Y) MoveTopLeft(tl.X, tl.Y);
    cur.X = std::clamp(cur.X, std::min(FFixedCols, FColCount - 1), FColCount - 1);
    cur.Y = std::clamp(cur.Y, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
    if (cur.X != FCurrent.X || cur.Y != FCurrent.Y) FocusCell(cur.X, cur.Y, !(Shift & ssShift));
}

void TCustomGrid::KeyPress(QChar& Key) {
    TCustomControl::KeyPress(Key);
    if (!(FOptions & goAlwaysShowEditor) && Key == QChar(13)) {
        if (FEditorMode) HideEditor();
        else ShowEditor();
        Key = QChar(0);
    }
}

void TCustomGrid::WMChar(TMessage& M) {
    const QChar ch(static_cast<char16_t>(M.WParam));
    if ((FOptions & goEditing) && (ch.unicode() == 8 || ch.unicode() >= 32)) {
        ShowEditorChar(ch);
        M.Result = 1;
        return;
    }
    TCustomControl::WMChar(M);
}

void TCustomGrid::WMGetDlgCode(TMessage& M) {
    M.Result = DLGC_WANTARROWS;
    if (FOptions & goRowSelect) return;
    if (FOptions & goTabs) M.Result |= DLGC_WANTTAB;
    if (FOptions & goEditing) M.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::WMSetFocus(TMessage& M) {
    TCustomControl::WMSetFocus(M);
    if (!FInplaceEdit || HWND(M.WParam) != FInplaceEdit->Handle()) {
        InvalidateGridRect(Selection());
        UpdateEdit();
    }
}

void TCustomGrid::WMKillFocus(TMessage& M) {
    TCustomControl::WMKillFocus(M);
    InvalidateGridRect(Selection());
    // The editor stays in editor mode; it comes back with the focus.
    if (FInplaceEdit && HWND(M.WParam) != FInplaceEdit->Handle()) FInplaceEdit->Hide();
}

void TCustomGrid::WMSize(TMessage& M) {
    TCustomControl::WMSize(M);
    UpdateScrollRange();
    InvalidateGrid();
    if (FInplaceEdit && FInplaceEdit->Visible()) UpdateEdit();
}

void TCustomGrid::WndProc(TMessage& M) {
    switch (M.Msg) {
    case WM_VSCROLL: WMVScroll(M); return;
    case WM_HSCROLL: WMHScroll(M); return;
    default: TCustomControl::WndProc(M); return;
    }
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                  const TGridDrawInfo& FixedInfo) {
    State = gsNormal;
    Index = -1;
    if (!(FOptions & (goColSizing | goRowSizing))) return;
    // The zone around a line in which the pointer sizes its cell.
    auto axisState = [&](const TGridAxisDrawInfo& A, bool horz, int pos, TGridState newState) {
        const int range = std::max(kSizingRange, A.EffectiveLineWidth);
        const int back = (range - A.EffectiveLineWidth) / 2;
        int line = A.FixedBoundary;
        for (int i = A.FirstGridCell; i < A.GridCellCount; ++i) {
            const int e = Extent(horz, i);
            if (e < 0) continue;
            line += e;
            if (line > A.GridBoundary) break;
            if (pos >= line - back && pos <= line - back + range) {
                State = newState;
                SizingPos = line;
                SizingOfs = line - pos;
                Index = i;
                return;
            }
            line += A.EffectiveLineWidth;
        }
    };
    if (X > FixedInfo.Horz.FixedBoundary && (FOptions & goColSizing)) {
        // Columns are sized from the fixed rows only.
        if (Y >= FixedInfo.Vert.FixedBoundary) return;
        axisState(FixedInfo.Horz, true, X, gsColSizing);
    } else if (Y > FixedInfo.Vert.FixedBoundary && (FOptions & goRowSizing)) {
        if (X >= FixedInfo.Horz.FixedBoundary) return;
        axisState(FixedInfo.Vert, false, Y, gsRowSizing);
    }
}

bool TCustomGrid::BeginColumnDrag(int&, int&, const TPoint&) { return true; }
bool TCustomGrid::BeginRowDrag(int&, int&, const TPoint&) { return true; }
bool TCustomGrid::CheckColumnDrag(int&, int&, const TPoint&) { return true; }
bool TCustomGrid::CheckRowDrag(int&, int&, const TPoint&) { return true; }
bool TCustomGrid::EndColumnDrag(int&, int&, const TPoint&) { return true; }
bool TCustomGrid::EndRowDrag(int&, int&, const TPoint&) { return true; }

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !IsActiveControl()) {
        SetFocus();
        if (!IsActiveControl()) {
            SetMouseCapture(false);
            return;
        }
    }
    if (Button == mbLeft && (Shift & ssDouble)) {
        DblClick();
    } else if (Button == mbLeft) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, D);
        if (FGridState == gsNormal) {
            const TGridCoord hit = CalcCoordFromPoint(X, Y, D);
            if (hit.X >= FFixedCols && hit.Y >= FFixedRows) {
                if (FOptions & goEditing) {
                    // A press on the current cell opens its editor.
                    if (hit.X == FCurrent.X && hit.Y == FCurrent.Y) {
                        ShowEditor();
                    } else {
                        MoveCurrent(hit.X, hit.Y, true, true);
                        UpdateEdit();
                    }
                    Click();
                } else {
                    FGridState = gsSelecting;
                    SetTimer(this, kScrollTimer, kScrollInterval);
                    if (Shift & ssShift) MoveAnchor(hit);
                    else MoveCurrent(hit.X, hit.Y, true, true);
                }
            } else if ((FOptions & goRowMoving) && hit.X >= 0 && hit.X < FFixedCols && hit.Y >= FFixedRows) {
                FMoveIndex = hit.Y;
                FMovePos = FMoveIndex;
                if (BeginRowDrag(FMoveIndex, FMovePos, Point(X, Y))) {
                    FGridState = gsRowMoving;
                    SetTimer(this, kScrollTimer, kScrollInterval);
                }
            } else if ((FOptions & goColMoving) && hit.Y >= 0 && hit.Y < FFixedRows && hit.X >= FFixedCols) {
                FMoveIndex = hit.X;
                FMovePos = FMoveIndex;
                if (BeginColumnDrag(FMoveIndex, FMovePos, Point(X, Y))) {
                    FGridState = gsColMoving;
                    SetTimer(this, kScrollTimer, kScrollInterval);
                }
            } else if (hit.X >= 0 && hit.Y >= 0) {
                // A fixed cell: it looks pressed until the release.
                FPressedCell = hit;
                InvalidateCell(hit.X, hit.Y);
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    switch (FGridState) {
    case gsSelecting:
    case gsColMoving:
    case gsRowMoving: {
        const TGridCoord hit = CalcCoordFromPoint(X, Y, D);
        const bool colOk = hit.X >= FFixedCols && hit.X <= D.Horz.LastFullVisibleCell + 1;
        const bool rowOk = hit.Y >= FFixedRows && hit.Y <= D.Vert.LastFullVisibleCell + 1;
        if (FGridState == gsSelecting) {
            if (colOk && rowOk && (hit.X != FAnchor.X || hit.Y != FAnchor.Y)) MoveAnchor(hit);
        } else if (FGridState == gsColMoving) {
            // A column is dragged along the header row: only the column counts.
            int pos = hit.X;
            if (colOk && pos != FMovePos && CheckColumnDrag(FMoveIndex, pos, Point(X, Y))) FMovePos = pos;
        } else {
            int pos = hit.Y;
            if (rowOk && pos != FMovePos && CheckRowDrag(FMoveIndex, pos, Point(X, Y))) FMovePos = pos;
        }
        break;
    }
    case gsColSizing: FSizingPos = X + FSizingOfs; break;
    case gsRowSizing: FSizingPos = Y + FSizingOfs; break;
    default:
        UpdateHotTrack(X, Y);
        UpdateShownCursor(X, Y);
        break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::UpdateHotTrack(int X, int Y) {
    TGridCoord hit = MouseCoord(X, Y);
    const bool fixed = hit.X >= 0 && hit.Y >= 0 && (hit.X < FFixedCols || hit.Y < FFixedRows);
    if (!fixed) hit = TGridCoord{-1, -1};
    if (hit == FHotTrackCell) return;
    if (FHotTrackCell.X >= 0) InvalidateCell(FHotTrackCell.X, FHotTrackCell.Y);
    FHotTrackCell = hit;
    if (hit.X >= 0) InvalidateCell(hit.X, hit.Y);
}

void TCustomGrid::UpdateShownCursor(int X, int Y) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TGridState state;
    int index = 0, pos = 0, ofs = 0;
    CalcSizingState(X, Y, state, index, pos, ofs, D);
    FShownCursor = state == gsColSizing ? crHSplit : state == gsRowSizing ? crVSplit : Cursor();
}

void TCustomGrid::WMSetCursor(TMessage& M) {
    // Over a line that can be dragged: the sizing cursor.
    if (LoWord(M.LParam) == HTCLIENT && FGridState == gsNormal) {
        const TPoint p = ScreenToClient(GetCursorPos());
        TGridDrawInfo D;
        CalcDrawInfo(D);
        TGridState state;
        int index = 0, pos = 0, ofs = 0;
        CalcSizingState(p.X, p.Y, state, index, pos, ofs, D);
        if (state == gsColSizing || state == gsRowSizing) {
            ::SetCursor(state == gsColSizing ? crHSplit : crVSplit);
            M.Result = 1;
            return;
        }
    }
    TCustomControl::WMSetCursor(M);
}

void TCustomGrid::CMMouseLeave(TMessage& M) {
    if (FHotTrackCell.X >= 0) InvalidateCell(FHotTrackCell.X, FHotTrackCell.Y);
    FHotTrackCell = TGridCoord{-1, -1};
    TCustomControl::CMMouseLeave(M);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    struct Reset {
        TCustomGrid* g;
        ~Reset() { g->FGridState = gsNormal; }
    } reset{this};
    TGridDrawInfo D;
    switch (FGridState) {
    case gsSelecting:
        MouseMove(Shift, X, Y);
        KillTimer(this, kScrollTimer);
        UpdateEdit();
        Click();
        break;
    case gsColSizing:
    case gsRowSizing: {
        CalcDrawInfo(D);
        const bool cols = FGridState == gsColSizing;
        FSizingPos = (cols ? X : Y) + FSizingOfs;
        // The new size is from the cell's start to where the line was let go.
        const TGridAxisDrawInfo& A = cols ? D.Horz : D.Vert;
        int start = A.FixedBoundary;
        for (int i = A.FirstGridCell; i < FSizingIndex; ++i) {
            const int e = Extent(cols, i);
            if (e >= 0) start += e + A.EffectiveLineWidth;
        }
        const int newSize = FSizingPos - start;
        if (newSize > 1) {
            if (cols) SetColWidths(FSizingIndex, newSize);
            else SetRowHeights(FSizingIndex, newSize);
        }
        break;
    }
    case gsColMoving: {
        KillTimer(this, kScrollTimer);
        int from = FMoveIndex, to = FMovePos;
        if (EndColumnDrag(from, to, Point(X, Y)) && from != to) MoveColumn(from, to);
        break;
    }
    case gsRowMoving: {
        KillTimer(this, kScrollTimer);
        int from = FMoveIndex, to = FMovePos;
        if (EndRowDrag(from, to, Point(X, Y)) && from != to) MoveRow(from, to);
        break;
    }
    default:
        if (Button == mbLeft && FPressedCell.X >= 0) {
            const TGridCoord pressed = FPressedCell;
            FPressedCell = TGridCoord{-1, -1};
            InvalidateCell(pressed.X, pressed.Y);
            if (MouseCoord(X, Y) == pressed) FixedCellClick(pressed.X, pressed.Y);
        }
        break;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::WMTimer(TMessage& M) {
    if (M.WParam == kScrollTimer &&
        (FGridState == gsSelecting || FGridState == gsColMoving || FGridState == gsRowMoving)) {
        TimedScroll();
        return;
    }
    TCustomControl::WMTimer(M);
}

// While a drag holds the pointer past an edge of the cells, the grid scrolls
// one cell a tick that way and the drag follows.
void TCustomGrid::TimedScroll() {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    const TPoint p = ScreenToClient(GetCursorPos());
    const TGridCoord maxTl = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, D);
    TGridCoord tl = FTopLeft;
    TGridCoord hit = FGridState == gsSelecting ? FAnchor : TGridCoord{FMovePos, FMovePos};
    bool horzMove = false, vertMove = false;
    if (FGridState != gsRowMoving) {
        if (p.X < D.Horz.FixedBoundary && tl.X > FFixedCols) {
            --tl.X;
            hit.X = tl.X;
            horzMove = true;
        } else if (p.X >= D.Horz.FullVisBoundary && tl.X < maxTl.X) {
            ++tl.X;
            hit.X = std::min(FColCount - 1, D.Horz.LastFullVisibleCell + 1);
            horzMove = true;
        }
    }
    if (FGridState != gsColMoving) {
        if (p.Y < D.Vert.FixedBoundary && tl.Y > FFixedRows) {
            --tl.Y;
            hit.Y = tl.Y;
            vertMove = true;
        } else if (p.Y >= D.Vert.FullVisBoundary && tl.Y < maxTl.Y) {
            ++tl.Y;
            hit.Y = std::min(FRowCount - 1, D.Vert.LastFullVisibleCell + 1);
            vertMove = true;
        }
    }
    if (!horzMove && !vertMove) return;
    MoveTopLeft(tl.X, tl.Y);
    switch (FGridState) {
    case gsSelecting: MoveAnchor(hit); break;
    case gsColMoving:
        if (horzMove) FMovePos = hit.X;
        break;
    case gsRowMoving:
        if (vertMove) FMovePos = hit.Y;
        break;
    default: break;
    }
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = TCustomControl::DoMouseWheelDown(Shift, MousePos);
    if (!handled) {
        if (Row() < FRowCount - 1) SetRow(Row() + 1);
        handled = true;
    }
    return handled;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = TCustomControl::DoMouseWheelUp(Shift, MousePos);
    if (!handled) {
        if (Row() > FFixedRows) SetRow(Row() - 1);
        handled = true;
    }
    return handled;
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

void TCustomGrid::Paint() {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    // Top-left corner, fixed rows, fixed columns, then the scrollable cells.
    DrawCells(0, 0, 0, 0, D.Horz.FixedBoundary, D.Vert.FixedBoundary, FFixedColor, gdFixed, D);
    DrawCells(FTopLeft.X, 0, D.Horz.FixedBoundary, 0, D.Horz.GridBoundary, D.Vert.FixedBoundary, FFixedColor,
              gdFixed, D);
    DrawCells(0, FTopLeft.Y, 0, D.Vert.FixedBoundary, D.Horz.FixedBoundary, D.Vert.GridBoundary, FFixedColor,
              gdFixed, D);
    DrawCells(FTopLeft.X, FTopLeft.Y, D.Horz.FixedBoundary, D.Vert.FixedBoundary, D.Horz.GridBoundary,
              D.Vert.GridBoundary, Color(), 0, D);
    TCanvas* c = Canvas();
    // A row selection shows its focus around the visible part of the row.
    if (FDefaultDrawing && (FOptions & goRowSelect) && IsActiveControl()) {
        const TGridRect sel = Selection();
        const int y = LinePos(D.Vert, false, FCurrent.Y);
        if (y >= 0 && FCurrent.Y >= FFixedRows && sel.Right >= FTopLeft.X) {
            const TRect fr = Rect(D.Horz.FixedBoundary, y, D.Horz.GridBoundary, y + RowHeights(FCurrent.Y));
            c->DrawFocusRect(fr);
        }
    }
    // What lies past the last cell shows the grid's colour.
    c->Brush().SetColor(Color());
    c->Brush().SetStyle(bsSolid);
    if (D.Horz.GridBoundary < D.Horz.GridExtent)
        c->FillRect(Rect(D.Horz.GridBoundary, 0, D.Horz.GridExtent, D.Vert.GridBoundary));
    if (D.Vert.GridBoundary < D.Vert.GridExtent)
        c->FillRect(Rect(0, D.Vert.GridBoundary, D.Horz.GridExtent, D.Vert.GridExtent));
}

namespace {
// The part of the canvas a paint may touch, in the canvas's coordinates,
// when the painter knows it and only shifts; empty otherwise.
QRegion DamageInPieces(TCanvas* c) {
    QPainter* p = c->Painter();
    if (!p || !p->hasClipping() || p->transform().type() > QTransform::TxTranslate) return QRegion();
    return p->clipRegion();
}
}  // namespace

void TCustomGrid::DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor AColor,
                            TGridDrawState IncludeDrawState, const TGridDrawInfo&) {
    TCanvas* c = Canvas();
    const bool fixedArea = (IncludeDrawState & gdFixed) != 0;
    const bool vertLines = (FOptions & (fixedArea ? goFixedVertLine : goVertLine)) != 0;
    const bool horzLines = (FOptions & (fixedArea ? goFixedHorzLine : goHorzLine)) != 0;
    TColor lineColor = fixedArea ? clBlack : clSilver;
    if (!fixedArea && ColorToRGB(Color()) == clSilver) lineColor = clGray;
    const TGridRect sel = Selection();
    const bool focused = IsActiveControl();
    const bool editorUp = FInplaceEdit && FInplaceEdit->Visible() && FEditorMode && (FOptions & goEditing);
    const int lw = FGridLineWidth;
    // Only the cells that meet the damaged part are drawn: its bounding box,
    // and when it is in pieces, the pieces themselves.
    const TRect clip = c->ClipRect();
    const QRegion damage = DamageInPieces(c);
    const bool pieces = damage.rectCount() > 1;
    // How far a cell's drawing may pass its rectangle: its grid lines, and
    // the frames of the looks drawn a little outside.
    const int reach = lw + 2;
    TRect where;
    where.Top = StartY;
    for (int row = ARow; where.Top < StopY && row < FRowCount; ++row) {
        const int h = RowHeights(row);
        if (h < 0) continue;
        where.Bottom = where.Top + h;
        if (where.Top >= clip.Bottom) break;
        if (where.Bottom + lw <= clip.Top) {
            where.Top = where.Bottom + lw;
            continue;
        }
        where.Left = StartX;
        for (int col = ACol; where.Left < StopX && col < FColCount; ++col) {
            const int w = ColWidths(col);
            if (w < 0) continue;
            where.Right = where.Left + w;
            if (where.Left >= clip.Right) break;
            if (where.Right + lw <= clip.Left ||
                (pieces && !damage.intersects(QRect(where.Left - reach, where.Top - reach,
                                                    where.Right - where.Left + 2 * reach,
                                                    where.Bottom - where.Top + 2 * reach)))) {
                // Outside the damage, though perhaps inside its bounding box
                // (a header cell and a strip far apart).
                where.Left = where.Right + lw;
                continue;
            }
            TGridDrawState state = IncludeDrawState;
            const bool fixedCell = col < FFixedCols || row < FFixedRows;
            if (focused && row == FCurrent.Y && col == FCurrent.X) state |= gdFocused;
            if (PointInGridRect(col, row, sel)) state |= gdSelected;
            if (!fixedCell && (FOptions & goRowSelect) && row >= sel.Top && row <= sel.Bottom)
                state |= gdRowSelected;
            if (fixedCell && col == FHotTrackCell.X && row == FHotTrackCell.Y) state |= gdHotTrack;
            if (fixedCell && col == FPressedCell.X && row == FPressedCell.Y) state |= gdPressed;
            if (where.Right > where.Left && where.Bottom > where.Top && !((state & gdFocused) && editorUp)) {
                if (FDefaultDrawing) {
                    c->Font().Assign(*Font());
                    if ((state & gdSelected) &&
                        (!(state & gdFocused) || (FOptions & (goDrawFocusSelected | goRowSelect)))) {
                        c->Brush().SetColor(clHighlight);
                        c->Font().SetColor(clHighlightText);
                    } else {
                        c->Brush().SetColor(AColor);
                    }
                    if ((state & gdFixed) && FDrawingStyle == gdsGradient)
                        c->GradientFillRect(where, FGradientStartColor, FGradientEndColor, gdVertical);
                    else
                        c->FillRect(where);
                }
                DrawCell(col, row, where, state);
                if (FDefaultDrawing && (state & gdFixed) && FDrawingStyle == gdsClassic &&
                    (FOptions & (goFixedVertLine | goFixedHorzLine))) {
                    // The raised look of header cells.
                    unsigned f1 = 0, f2 = 0;
                    if (FOptions & goFixedVertLine) {
                        f1 |= BF_RIGHT;
                        f2 |= BF_LEFT;
                    }
                    if (FOptions & goFixedHorzLine) {
                        f1 |= BF_BOTTOM;
                        f2 |= BF_TOP;
                    }
                    TRect e1 = where, e2 = where;
                    c->DrawEdge(e1, BDR_RAISEDINNER, f1);
                    c->DrawEdge(e2, BDR_RAISEDINNER, f2);
                }
                if (FDefaultDrawing && (state & gdFocused) &&
                    (FOptions & (goEditing | goAlwaysShowEditor)) != (goEditing | goAlwaysShowEditor) &&
                    !(FOptions & goRowSelect))
                    c->DrawFocusRect(where);
            }
            // The line right of and below the cell.
            if (lw > 0) {
                c->Brush().SetStyle(bsSolid);
                c->Brush().SetColor(vertLines ? lineColor : AColor);
                c->FillRect(Rect(where.Right, where.Top, where.Right + lw, where.Bottom + lw));
                c->Brush().SetColor(horzLines ? lineColor : AColor);
                c->FillRect(Rect(where.Left, where.Bottom, where.Right + (vertLines ? 0 : lw), where.Bottom + lw));
            }
            where.Left = where.Right + lw;
        }
        where.Top = where.Bottom + lw;
    }
}
