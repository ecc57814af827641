#pragma once
// The class library's grid: TCustomGrid (counts, sizes, current cell and
// selection, scrolling, painting through DrawCell, keys, mouse, in-place
// editor), TCustomDrawGrid (the events), TDrawGrid, and TStringGrid (a sparse
// store of texts and objects per cell), with the in-place editor TInplaceEdit.
//
// Cells are addressed (column, row) from 0, fixed cells included. Mouse
// coordinates are client coordinates: (0, 0) is the first pixel inside the
// border. Scroll positions are counted in cells.
#include "platform/controls/Controls.h"
#include "platform/controls/Mask.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

#include <QString>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

KAL_DECLARE_EXCEPTION(EInvalidGridOperation, Exception)

class TCustomGrid;
class TInplaceEdit;

// ---------------------------------------------------------------------------
// Shared types
// ---------------------------------------------------------------------------

// Grid options, a set of bits.
using TGridOptions = unsigned;
enum : unsigned {
    goFixedVertLine = 1u << 0, goFixedHorzLine = 1u << 1, goVertLine = 1u << 2, goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4, goDrawFocusSelected = 1u << 5, goRowSizing = 1u << 6, goColSizing = 1u << 7,
    goRowMoving = 1u << 8, goColMoving = 1u << 9, goEditing = 1u << 10, goTabs = 1u << 11,
    goRowSelect = 1u << 12, goAlwaysShowEditor = 1u << 13, goThumbTracking = 1u << 14,
};

// How a cell is to be drawn, a set of bits.
using TGridDrawState = unsigned;
enum : unsigned {
    gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2, gdRowSelected = 1u << 3,
    gdHotTrack = 1u << 4, gdPressed = 1u << 5,
};

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum TGridDrawingStyle { gdsClassic, gdsThemed, gdsGradient };

struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A block of cells; Right and Bottom are the last column and row inside it.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend constexpr bool operator==(const TGridRect&, const TGridRect&) = default;
};

// The rectangle spanned by two cells, in either order.
TGridRect GridRect(TGridCoord a, TGridCoord b);
bool PointInGridRect(int Col, int Row, const TGridRect& r);

// Where the cells of one axis lie in the client area.
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;
    int FixedBoundary = 0;        // the pixel after the fixed cells and their lines
    int GridBoundary = 0;         // the pixel after the last cell shown (at most GridExtent)
    int GridExtent = 0;           // the client size along the axis
    int LastFullVisibleCell = 0;  // the last scrollable cell shown whole
    int FullVisBoundary = 0;      // the pixel after it and its line
    int FixedCellCount = 0;
    int FirstGridCell = 0;        // LeftCol or TopRow
    int GridCellCount = 0;        // ColCount or RowCount
    int LastVisibleCell = 0;      // the last cell shown at least in part
};

struct TGridDrawInfo {
    TGridAxisDrawInfo Horz;
    TGridAxisDrawInfo Vert;
};

// Events of the draw grid.
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TFixedCellClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;

// ---------------------------------------------------------------------------
// TInplaceEdit: the editor laid over the current cell
// ---------------------------------------------------------------------------

// The masked edit laid over the current cell, owned by its grid. It shows
// the text of one cell; keys that move between cells go back to the grid.
class TInplaceEdit : public TCustomMaskEdit {
    KAL_CLASS(TInplaceEdit, TCustomMaskEdit)
public:
    explicit TInplaceEdit(TComponent* AOwner);
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return FGrid; }
    void SetGrid(TCustomGrid* g) { FGrid = g; }
    // No selection, the caret at the end of the text.
    void Deselect();
    // The grid's limit for the cell: 0 none, -1 the cell cannot be modified.
    int EditLimit() const { return FEditLimit; }

    // -- placing by the grid
    // Shows the editor over `Loc` (client coordinates of the grid) and takes
    // the keyboard when the grid has it.
    void Move(const TRect& Loc);
    // Takes the cell's text, mask and limit from the grid.
    virtual void UpdateContents();
    virtual void BoundsChanged();
    void Hide();

    // The editor's keys, as the window procedure calls them; public so the
    // grid's descendants can hand a key on.
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    // The key goes to the grid's key handling.
    void SendToParent(unsigned& Key, TShiftState Shift);

    TCustomGrid* FGrid = nullptr;

private:
    int FEditLimit = 0;
    TRect FLoc;
};

// ---------------------------------------------------------------------------
// TCustomGrid
// ---------------------------------------------------------------------------

class TCustomGrid : public TCustomControl {
    KAL_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // -- counts and sizes
    int ColCount() const { return FColCount; }
    void SetColCount(int v);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int v);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int v);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int v);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int v);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);
    // Reading past the count gives the default size.
    int ColWidths(int i) const;
    void SetColWidths(int i, int v);
    int RowHeights(int i) const;
    void SetRowHeights(int i, int v);
    // Widths of all columns and heights of all rows together with their lines.
    int GridWidth() const;
    int GridHeight() const;

    // -- looks
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor v);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool v);
    TGridDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TGridDrawingStyle v);
    TColor GradientStartColor() const { return FGradientStartColor; }
    void SetGradientStartColor(TColor v);
    TColor GradientEndColor() const { return FGradientEndColor; }
    void SetGradientEndColor(TColor v);
    // Per-column Tab stops for the Tab key (all on by default).
    bool TabStops(int i) const;
    void SetTabStops(int i, bool v);

    // -- current cell, selection, scrolling
    int Col() const { return FCurrent.X; }
    void SetCol(int v);
    int Row() const { return FCurrent.Y; }
    void SetRow(int v);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& v);
    // The cell the selection grows from while the current cell moves.
    TGridCoord Anchor() const { return FAnchor; }
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int v);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int v);
    int VisibleColCount() const;
    int VisibleRowCount() const;
    TGridState GridState() const { return FGridState; }
    // Where the line of the column or row being sized is (client pixels).
    int SizingPosition() const { return FSizingPos; }
    // The cursor the grid shows at the pointer: the sizing cursors (crHSplit,
    // crVSplit) over a line that can be dragged or while sizing, else Cursor().
    TCursor ShownCursor() const { return FShownCursor; }
    // Vertical and horizontal scroll positions, in cells past the fixed ones.
    int VertScrollPos() const { return FTopLeft.Y - FFixedRows; }
    int HorzScrollPos() const { return FTopLeft.X - FFixedCols; }
    bool VertScrollBarVisible() const;
    bool HorzScrollBarVisible() const;
    // Bars kept on screen even when every cell fits; such a bar shows
    // disabled while there is nothing to scroll.
    void SetAlwaysShownBars(bool Vert, bool Horz);

    // Moves the current cell (asking SelectCell); MoveAnchor also moves the
    // anchor, Show scrolls the cell into view. Out of range raises.
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    // The focus step of keys and of Col/Row writes: move, update the editor,
    // then Click whether or not the move was allowed.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);

    // -- geometry
    // The cell's rectangle in client coordinates; empty when out of view.
    TRect CellRect(int ACol, int ARow) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    TGridCoord MouseCoord(int X, int Y) const;
    void CalcDrawInfo(TGridDrawInfo& DrawInfo) const;
    void CalcFixedInfo(TGridDrawInfo& DrawInfo) const;

    // -- rows and columns
    void DeleteRow(int ARow);
    // Moves every row from From on by Delta places in one pass, with its
    // height and its stored cells (a string grid's texts and objects), and
    // changes RowCount by Delta. Delta > 0 opens Delta empty rows of the
    // default height at From; Delta < 0 drops the rows From + Delta ..
    // From - 1 (their objects are let go, not freed). The current cell, the
    // anchor and the top row keep their indexes (held inside the new count);
    // the fixed rows shrink as with SetRowCount. At least one row remains.
    void ShiftRows(int From, int Delta);
    // Several shifts in one pass: drops the rows listed (ascending, distinct,
    // inside the count) and closes the gaps, or opens empty rows of the
    // default height so that they stand at the listed places of the new
    // numbering. Otherwise as ShiftRows.
    void RemoveRowSet(const std::vector<int>& Rows);
    void InsertRowSet(const std::vector<int>& Rows);
    void DeleteColumn(int ACol);
    void MoveRow(int FromIndex, int ToIndex);
    void MoveColumn(int FromIndex, int ToIndex);

    // -- repainting
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateCol(int ACol);
    void InvalidateGrid();
    void InvalidateGridRect(const TGridRect& r);
    // True while a descendant will repaint the whole grid anyway (its update
    // lock): cell and range invalidation is then skipped, which keeps bulk
    // loads from measuring the view once per cell.
    virtual bool CellInvalidationDeferred() { return false; }
    // Marks a client rectangle for repainting; tests read what was marked.
    void InvalidateRect(const TRect& r);
    const std::vector<TRect>& InvalidatedRects() const { return FInvalidated; }
    void ClearInvalidatedRects() { FInvalidated.clear(); }

    // -- editor
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool v);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    void ShowEditor();
    // Closes the editor, writing its text back through SetEditText.
    void HideEditor();
    void InvalidateEditor();
    virtual bool CanEditShow();
    virtual bool CanEditModify();
    virtual bool CanEditAcceptKey(QChar Key);
    virtual QString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const QString& Value);
    virtual QString GetEditMask(int ACol, int ARow);
    virtual int GetEditLimit();
    // The grid itself or its editor holds the keyboard.
    virtual bool IsActiveControl() const;

    // -- overridable steps
    // Scales the default sizes and every width and height by M / D (a form
    // shown at another pixel density).
    virtual void ChangeScale(int M, int D);
    // What the pointer at (X, Y) would start: sizing a column or row, or
    // nothing; Index is the column or row, SizingPos the line's position and
    // SizingOfs the line's distance from the pointer.
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                 const TGridDrawInfo& FixedInfo);
    // While a column or row is sized: its index and where its line stands.
    int SizingIndex() const { return FSizingIndex; }
    int SizingPos() const { return FSizingPos; }
    // Ends a sizing or move the control gave up on (its state only).
    void SetGridState(TGridState s) { FGridState = s; }

    void Paint() override;

    // Sends a key through the grid's own key handling (the editor does this).
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;

protected:
    friend class TInplaceEdit;

    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    virtual bool SelectCell(int ACol, int ARow);
    virtual void TopLeftChanged();
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void FixedCellClick(int ACol, int ARow);
    virtual TInplaceEdit* CreateEditor();
    // The block the pointer drags a column or row from, and whether it may.
    virtual bool BeginColumnDrag(int& Origin, int& Destination, const TPoint& MousePt);
    virtual bool BeginRowDrag(int& Origin, int& Destination, const TPoint& MousePt);
    virtual bool CheckColumnDrag(int& Origin, int& Destination, const TPoint& MousePt);
    virtual bool CheckRowDrag(int& Origin, int& Destination, const TPoint& MousePt);
    virtual bool EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt);
    virtual bool EndRowDrag(int& Origin, int& Destination, const TPoint& MousePt);

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

    void WndProc(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMTimer(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void WMSize(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void WMSetCursor(TMessage& M) override;
    virtual void WMVScroll(TMessage& M);
    virtual void WMHScroll(TMessage& M);
    // Opens the editor and types the character into it (posted).
    void ShowEditorChar(QChar Ch);
    // The border and the scroll bars are the grid's non-client area.
    void WMNCCalcSize(TMessage& M) override;
    void WMNCPaint(TMessage& M) override;
    void CreateParams(TCreateParams& Params) override;

    // The cells of a deleted column or row, now past the count, are emptied.
    virtual void ClearColumnData(int ACol);
    virtual void ClearRowData(int ARow);
    // ShiftRows' step for stored cells: every stored row from From on moves
    // by Delta, rows it lands over (Delta < 0) are dropped.
    virtual void ShiftRowData(int From, int Delta);
    // The step of RemoveRowSet and InsertRowSet: every stored row moves to
    // NewIndex(row); -1 drops it.
    virtual void RemapRowData(const std::function<int(int)>& NewIndex);

    // Moves the top-left cell; fires TopLeftChanged when it changed. The
    // cells already drawn move with it (the fixed cells stay) and only the
    // uncovered strip is painted again.
    void MoveTopLeft(int ALeft, int ATop);
    // Whether the cells drawn can simply move when the grid scrolls: false
    // where a descendant's drawing depends on the scroll position (the
    // whole grid is then painted again).
    virtual bool ScrollMovesPixels() { return true; }
    // Scrolls so the cell is in view.
    void ClampInView(TGridCoord Coord);
    // Moves the anchor (the other end of the selection).
    void MoveAnchor(TGridCoord NewAnchor);
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    void UpdateEdit();
    void HideEdit();
    void UpdateText();
    void SelectionMoved(const TGridRect& OldSel);

    TGridState FGridState = gsNormal;
    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};
    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    int FInplaceCol = -1;
    int FInplaceRow = -1;
    bool FCanEditModify = true;


private:
    void CalcAxis(TGridAxisDrawInfo& A, int fixedCount, int firstCell, int cellCount, bool horz,
                  int extent) const;
    int Extent(bool horz, int i) const;
    int LinePos(const TGridAxisDrawInfo& A, bool horz, int line) const;
    int CoordFromPoint(const TGridAxisDrawInfo& A, bool horz, int pos) const;
    TGridCoord CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo) const;
    TGridCoord CalcMaxTopLeft(TGridCoord coord, const TGridDrawInfo& DrawInfo) const;
    void ChangeSize(int NewColCount, int NewRowCount);
    void CheckIndex(int i, int count) const;
    void DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor Color,
                   TGridDrawState IncludeDrawState, const TGridDrawInfo& DrawInfo);
    void ClampTopLeft();
    // A changed number of fixed columns or rows: the current cell and the
    // scroll position start again at the first scrollable cell.
    void RestartAtFirstScrollableCell();
    // Widths or heights changed: the cached sums and layout are stale.
    void ExtentsChanged();
    // The tail of RemoveRowSet and InsertRowSet once heights and cells moved.
    void RowSetDone(int NewCount);
    void CalcDrawInfoNow(TGridDrawInfo& DrawInfo) const;
    // The window's scroll bars: shown where the cells do not fit, their
    // range the class library's 0..127 scale; the position follows the
    // top-left cell.
    void UpdateScrollRange();
    void UpdateScrollPos();
    void TimedScroll();
    void ScrollBy(bool vertical, unsigned code, int pos);
    // Moves the drawn cells from the old top-left cell to the current one.
    void ScrollData(TGridCoord OldTopLeft);
    // The pixels between the first scrollable cells From and To along an
    // axis (negative when To lies before From); false when the distance is
    // at least Limit, so nothing drawn would stay in view.
    bool ScrollDistance(bool horz, int From, int To, int Limit, int& Pixels) const;
    void UpdateHotTrack(int X, int Y);
    void UpdateShownCursor(int X, int Y);
    int BorderSize() const { return FBorderStyle == bsSingle ? 2 : 0; }
    void ScrollBarNeed(bool& vert, bool& horz) const;

    int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24, FGridLineWidth = 1;
    std::vector<int> FColWidths, FRowHeights;
    std::vector<bool> FTabStops;
    TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle FScrollBars = ssBoth;
    bool FAlwaysVert = false, FAlwaysHorz = false;
    TBorderStyle FBorderStyle = bsSingle;
    TColor FFixedColor = clBtnFace;
    bool FDefaultDrawing = true;
    TGridDrawingStyle FDrawingStyle = gdsClassic;
    TColor FGradientStartColor = clWhite;
    TColor FGradientEndColor = TColor(0x00DDDDDD);
    // Sizing and moving in progress.
    int FSizingIndex = 0, FSizingPos = 0, FSizingOfs = 0;
    int FMoveIndex = 0, FMovePos = 0;
    // A press on a fixed cell, for OnFixedCellClick and gdPressed.
    TGridCoord FPressedCell{-1, -1};
    TGridCoord FHotTrackCell{-1, -1};
    TCursor FShownCursor = crDefault;
    // A thumb being dragged: 1 vertical, 2 horizontal; where it was taken.
    std::vector<TRect> FInvalidated;
    // Cached sums of all widths and heights, and the last layout with what
    // it was computed from; writing a cell asks for the layout each time.
    mutable bool FExtentsValid = false;
    mutable int FGridWidthCache = 0, FGridHeightCache = 0;
    struct TLayoutKey {
        int W, H, LeftCol, TopRow, Cols, Rows, FixedCols, FixedRows, LineWidth, Bars, Border;
        friend bool operator==(const TLayoutKey&, const TLayoutKey&) = default;
    };
    mutable bool FDrawInfoValid = false;
    mutable TLayoutKey FDrawInfoKey{};
    mutable TGridDrawInfo FDrawInfoCache;
};

// ---------------------------------------------------------------------------
// TCustomDrawGrid, TDrawGrid
// ---------------------------------------------------------------------------

class TCustomDrawGrid : public TCustomGrid {
    KAL_CLASS(TCustomDrawGrid, TCustomGrid)
public:
    explicit TCustomDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

    TSelectCellEvent OnSelectCell;
    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TGetEditEvent OnGetEditMask;
    TNotifyEvent OnTopLeftChanged;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TFixedCellClickEvent OnFixedCellClick;

    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString& Value) override;
    QString GetEditMask(int ACol, int ARow) override;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void TopLeftChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void FixedCellClick(int ACol, int ARow) override;
};

class TDrawGrid : public TCustomDrawGrid {
    KAL_CLASS(TDrawGrid, TCustomDrawGrid)
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomDrawGrid(AOwner) {}
};

// ---------------------------------------------------------------------------
// TStringGrid
// ---------------------------------------------------------------------------

class TStringGrid;

// One row or one column of a string grid seen as a string list: Count is the
// grid's column or row count, and every read and write goes to the cells.
class TStringGridStrings : public TStrings {
    KAL_CLASS(TStringGridStrings, TStrings)
public:
    TStringGridStrings(TStringGrid* grid, bool isRow, int index)
        : FGrid(grid), FIsRow(isRow), FIndex(index) {}
    QString Get(int index) const override;
    int GetCount() const override;
    TObject* GetObject(int index) const override;
    void Put(int index, const QString& s) override;
    void PutObject(int index, TObject* obj) override;
    // A row or column has a fixed length: adding writes the first empty
    // place, inserting and deleting are not possible.
    int Add(const QString& s) override;
    void Insert(int index, const QString& s) override;
    void Delete(int index) override;
    // Empties every cell of the row or column (objects are let go, not freed).
    void Clear() override;
    // Copies texts and object references, as many as the row or column holds.
    void Assign(const TPersistent* source) override;

private:
    TStringGrid* FGrid;
    bool FIsRow;
    int FIndex;
};

class TStringGrid : public TDrawGrid {
    KAL_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    // Any cell from (0, 0) is kept, also past the counts. A negative index
    // reads as empty and raises on writing, and so does a column past both
    // the count and 65535 or a row past both the count and 1048575 (the
    // store keeps one entry per row up to the highest row written).
    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);
    TStrings* Rows(int ARow);
    void SetRows(int ARow, const TStrings* Value);
    TStrings* Cols(int ACol);
    void SetCols(int ACol, const TStrings* Value);

    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString& Value) override;

    // How far the store reaches, past the counts too: one past the highest
    // row kept, and one past the highest column kept in any row.
    int StoredRowCount() const;
    int StoredColCount() const;

    // One stored row: a text and an object per column, up to the highest
    // column written.
    struct TCellData {
        QString Text;
        TObject* Object = nullptr;
    };
    using TRowData = std::vector<TCellData>;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    // The stored cells follow a moved column or row.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void ClearColumnData(int ACol) override;
    void ClearRowData(int ARow) override;
    void ShiftRowData(int From, int Delta) override;
    void RemapRowData(const std::function<int(int)>& NewIndex) override;
    // Exchanges the stored cells (texts and objects) of two rows as whole
    // records, without repainting; the sort moves rows this way.
    void SwapRowData(int ARow1, int ARow2);
    // Puts the stored row Order[i] at row i for every i, in one pass of
    // record moves and without repainting (a sort's or a filter's result
    // applied at once). Order lists distinct rows; rows it does not list
    // are dropped (objects let go, not freed), rows past its length stay
    // empty. Row heights and counts are not touched.
    void ReorderRowData(const std::vector<int>& Order);
    // Copies the texts and object references of row From into row To (the
    // objects stay owned where they were).
    void CopyRowData(int From, int To);
    // Takes the stored cells of a row out as one record, leaving the row
    // empty (nullptr for a row without cells); no repaint, heights and
    // counts untouched. A row leaves and comes back this way without its
    // texts being copied.
    std::unique_ptr<TRowData> TakeRowData(int ARow);
    // Puts a record back as the stored cells of row ARow, replacing what
    // the row held (objects let go, not freed); without repainting.
    void PutRowData(int ARow, std::unique_ptr<TRowData> Data);

private:
    const TCellData* FindCell(int ACol, int ARow) const;
    TCellData& EnsureCell(int ACol, int ARow);
    // Repaints the cell unless the editor is writing it back.
    void CellChanged(int ACol, int ARow);

    // The stored rows, one entry per row index up to the highest row
    // written; an empty entry is a row without cells. Rows move by moving
    // their entries, never their cells.
    std::vector<std::unique_ptr<TRowData>> FData;
    int FEditUpdate = 0;
    std::unordered_map<int, std::unique_ptr<TStringGridStrings>> FRowLists, FColLists;
};
