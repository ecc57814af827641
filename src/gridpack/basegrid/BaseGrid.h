#pragma once
// TBaseGrid, the base of the string grid and so of every table the dialogs
// show. On the library's string grid it adds a per-cell properties object
// (TCellProperties, kept in the cell's object slot), merged cells (a block
// shown and edited as one through its top-left base cell), display-text hooks,
// and its own grid lines, hover row, active row and selection styles.
//
// Cells are addressed (column, row) from 0, fixed cells included. A negative
// index is never stored: writes, merges and splits there do nothing, reads
// give empty text, none or false. Indexes at or past the counts are stored
// like any other (up to column 65535).
//
// The library's CellRect, GridLineWidth and DefaultDrawing are not virtual;
// TBaseGrid declares its own, which hide the library's for callers holding a
// TBaseGrid. The library's own line width stays 0 and its default drawing
// off, so the grid paints every line itself and plain sums of widths and
// heights give exact cell positions.
#include "gridpack/basegrid/ExObj.h"
#include "platform/core/Collections.h"
#include "platform/grids/Grids.h"

#include <cstdint>

class TBaseGrid;
class TExGridUndoRedo;

using TGetDisplWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;

// What a column's footer calculates. The string grid also stores codes with
// bit 7 set in the same 8 bits, so the field keeps the whole byte.
enum TColumnCalcType : uint8_t {
    acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV
};

enum TGridSelectionStyle { ssDefault, ssVista, ssWin7, ssOffice2007 };
enum THoverRowCell { hcNormal, hcFixed, hcSelected };
using THoverRowCells = unsigned; // a set of THoverRowCell bits
constexpr THoverRowCells HoverRowCellBit(THoverRowCell c) { return 1u << unsigned(c); }

// ---------------------------------------------------------------------------
// TCellProperties: the record of one cell, made on first demand
// ---------------------------------------------------------------------------

class TCellProperties : public TPersistent {
    KAL_CLASS(TCellProperties, TPersistent)
public:
    // Marks the grid as holding properties.
    TCellProperties(TBaseGrid* AOwner, int ACol, int ARow);

    TBaseGrid* OwnerGrid() const { return FOwnerGrid; }
    int OwnerCol = 0;
    int OwnerRow = 0;
    // The cell's user object, kept at pointer width.
    std::uintptr_t CellObject = 0;
    // A picture, progress bar, check box ... of the string grid; not owned.
    TObject* GraphicObject = nullptr;
    TBrushStyle BrushStyle = bsSolid;
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor v);
    TColor BrushColorTo() const { return FBrushColorTo; }
    void SetBrushColorTo(TColor v);
    int FontSize = 0;
    TColor FontColor = clNone;
    TFontStyles FontStyle = 0;
    // Merge data: on a base cell the block's extent beyond it, on a covered
    // cell its offset from the base; both -1 outside any merge.
    int CellSpanY = -1;
    int CellSpanX = -1;
    int BorderWidth = 0;
    TColor BorderColor = 0;
    TAlignment Alignment = taLeftJustify;
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    // The paint pass that last painted this base cell's block.
    int PaintID = 0;
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool IsBaseCell = true;
    TColumnCalcType CalcType = acNONE;
    TObject* CalcObject = nullptr;
    int NodeLevel = 0;
    TEditorType Editor = edNormal;
    QString FontName;
    bool ReadOnly = false;
    TCellGradientDirection GradientDirection = GradientVertical;
    TControl* Control = nullptr;

    // The base cell of a covered cell, else (c, r) itself.
    TPoint GetBaseCell(int c, int r) const;
    // Copies merge data, texts of looks and the user object; leaves the
    // owner grid, graphic object, BrushColorTo, paint pass, CalcType,
    // CalcObject and GradientDirection.
    void Assign(const TPersistent* Source) override;

private:
    void Repaint();
    TBaseGrid* FOwnerGrid;
    TColor FBrushColor = clNone;
    TColor FBrushColorTo = clNone;
    TVAlignment FVAlignment = vtaTop;
    bool FWordWrap = true;
};

// ---------------------------------------------------------------------------
// TObjStringGrid, TBaseGrid
// ---------------------------------------------------------------------------

class TObjStringGrid : public TStringGrid {
    KAL_CLASS(TObjStringGrid, TStringGrid)
public:
    explicit TObjStringGrid(TComponent* AOwner) : TStringGrid(AOwner) {}
};

class TBaseGrid : public TObjStringGrid {
    KAL_CLASS(TBaseGrid, TObjStringGrid)
public:
    explicit TBaseGrid(TComponent* AOwner);
    // Frees every properties object and every "TCellGraphic" one holds.
    ~TBaseGrid() override;

    // --- state kept by the string grid
    bool FHideLastRow = false;
    int FNormalRowCount = 0;
    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;
    bool WordWrap = true;
    bool FHasCellProps = false;
    int FMergeCount = 0;
    TExGridUndoRedo* UndoRedo() const { return FUndoRedo; }
    // Also links the recorder to this grid.
    void SetUndoRedo(TExGridUndoRedo* v);

    // --- painting state
    bool DefaultDrawing() const { return FDefaultDrawingValue; }
    void SetDefaultDrawing(bool v);
    int GridLineWidth() const { return FGridLineWidthValue; }
    void SetGridLineWidth(int v);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor v);
    TColor GridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(TColor v);
    int FPaintID = 1;
    TGridSelectionStyle SelectionStyle() const { return FSelectionStyle; }
    void SetSelectionStyle(TGridSelectionStyle v);
    bool ActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool v);
    TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor v);
    TColor ActiveRowColorTo() const { return FActiveRowColorTo; }
    void SetActiveRowColorTo(TColor v);
    TColor ActiveRowMirrorColor() const { return FActiveRowMirrorColor; }
    void SetActiveRowMirrorColor(TColor v);
    TColor ActiveRowMirrorColorTo() const { return FActiveRowMirrorColorTo; }
    void SetActiveRowMirrorColorTo(TColor v);
    bool HoverRow = false;
    THoverRowCells HoverRowCells = HoverRowCellBit(hcNormal) | HoverRowCellBit(hcSelected);
    TColor HoverRowColor = clInfoBk;
    TColor HoverRowColorTo = clNone;
    int FHoverRowIdx = -1;
    bool FShowSel = true;

    // --- virtual operations the string grid overrides
    virtual bool IsFixed(int ACol, int ARow);
    virtual int GetRowNodeIndent(int ARow);
    virtual bool HasNodeRows();
    // The cell text on one line, centred both ways.
    virtual void RenderCell(TCanvas* Canvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    virtual void LastRowChanged();
    virtual void GetDisplayText(int ACol, int ARow, QString& Value);
    virtual void GetDisplayWideText(int ACol, int ARow, QString& Value);
    virtual void GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
                                 TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                                 bool& WW, TCellGradientDirection& GD);
    virtual void CellTextChanged(int ACol, int ARow);
    virtual bool HasCellBorders();
    virtual bool StyleActive();
    virtual void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select,
                                     bool Remap, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                     TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA, TVAlignment& VA,
                                     bool& WW, TCellGradientDirection& GD);
    virtual int DisplColIndex(int ACol);
    virtual void MergeCells(int c, int r, int spanx, int spany);
    virtual void SplitCells(int c, int r);
    virtual int TotalColCount();

    // --- cell text and objects
    // The text as the program sees it: a covered cell reads its base, and
    // data rows (below FNormalRowCount) go through the display hooks.
    QString GetCellEx(int c, int r);
    // Writes the base of a covered cell (CellTextChanged, block repainted).
    void SetCellEx(int c, int r, const QString& Value);
    // The library's own text and object slot of exactly that cell.
    QString GetGridCell(int c, int r) const;
    void SetGridCell(int c, int r, const QString& Value);
    TObject* GetGridObject(int c, int r) const;
    // Only TCellProperties (or nothing) belongs in the slot.
    void SetGridObject(int c, int r, TCellProperties* Value);
    TObject* GetObjectEx(int c, int r);
    // Keeps an empty cell empty: the blank written to hold the properties
    // is taken back.
    void SetObjectEx(int c, int r, TObject* Value);
    TObject* GetGraphicObjectEx(int c, int r);
    void SetGraphicObjectEx(int c, int r, TObject* Value);
    static TObject* GraphicOfProperties(const TCellProperties* P) { return P ? P->GraphicObject : nullptr; }
    // Made on first use with the cell's defaults. A negative index raises
    // "Grid index out of range".
    TCellProperties* GetCellProperties(int c, int r);
    // Frees what the slot held and stores Value (which the grid then owns).
    void SetCellProperties(int c, int r, TCellProperties* Value);
    bool HasCellProperties(int c, int r);

    // --- merges and geometry
    TPoint BaseCell(int ACol, int ARow);
    bool IsBaseCell(int ACol, int ARow);
    bool ResolveBaseCell(int c, int r, int& col, int& row);
    // Left/Top the base cell, Right/Bottom the block's last column and row.
    TRect FullCell(int c, int r);
    TPoint CellSpan(int ACol, int ARow);
    TPoint CellExt(int ACol, int ARow);
    bool IsMergedCell(int ACol, int ARow);
    bool IsMergedNonBaseCell(int ACol, int ARow);
    bool IsXMergedCell(int ACol, int ARow);
    bool IsYMergedCell(int ACol, int ARow);
    int MinRowSpan(int ARow);
    int MaxRowSpan(int ARow);
    bool RowSpanIdentical(int ARow1, int ARow2);
    bool ColSpanIdentical(int ACol1, int ACol2);
    // The whole block for a merged cell.
    TRect CellRect(int c, int r);
    TPoint CellSize(int c, int r);
    // From the sums of widths and heights; also for cells out of view.
    TRect CalcCellRect(int c, int r);
    void RepaintCell(int c, int r);
    int FixedColsWidth() const;
    int FixedRowsHeight() const;
    // Puts the current cell on its block's base cell.
    void MoveToBaseCell();

    // --- maintenance
    void ClearColumnCells(int ACol);
    void ClearRowCells(int ARow);
    void ResetCell(int ACol, int ARow);
    void FreeCellProperties(int ACol, int ARow);
    void FreeCellPropertiesRange(int c1, int r1, int c2, int r2);
    void FreeAllCellProperties();

    // --- painting
    // The library's painting (DrawCell for every visible cell), then the
    // next paint pass.
    void Paint() override;
    // The cell painter on another canvas, content included (printing,
    // off-screen pictures).
    void PaintCell(TCanvas* ACanvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    // Background and lines only, in exactly the given rectangle.
    void PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    void PaintGridCell(TCanvas* Canvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState,
                       bool Content);

    // --- library operations
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString& Value) override;
    void ChangeScale(int M, int D) override;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void TopLeftChanged() override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The cell's properties when it has some, else nullptr.
    TCellProperties* PropsOf(int c, int r);

private:
    void RepaintMergedFixedColCells();
    void RepaintMergedFixedRowCells();

    TExGridUndoRedo* FUndoRedo = nullptr;
    bool FDefaultDrawingValue = false;
    int FGridLineWidthValue = 1;
    TColor FGridLineColor = clSilver;
    TColor FGridFixedLineColor = clGray;
    TGridSelectionStyle FSelectionStyle = ssDefault;
    bool FActiveRowShow = false;
    TColor FActiveRowColor = clInfoBk;
    TColor FActiveRowColorTo = clNone;
    TColor FActiveRowMirrorColor = clNone;
    TColor FActiveRowMirrorColorTo = clNone;
};

// ---------------------------------------------------------------------------
// Undo and redo of cell texts
// ---------------------------------------------------------------------------

class TUndoRedoItem : public TCollectionItem {
    KAL_CLASS(TUndoRedoItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    int Row = -1;
    int Col = -1;
    QString Value;
    QString OrigValue;
    bool SequenceStart = false;
    bool SequenceStop = false;
};

class TUndoRedoCollection : public TCollection {
    KAL_CLASS(TUndoRedoCollection, TCollection)
public:
    TUndoRedoCollection() : TCollection(TCollection::ItemClass<TUndoRedoItem>()) {}
    TUndoRedoItem* Item(int i) const { return static_cast<TUndoRedoItem*>(Items(i)); }
};

using TExGridUndoRedoEvent = std::function<void(TObject* Sender, TBaseGrid* Grid, int Col, int Row,
                                                const QString& OrigValue, const QString& NewValue)>;

// Records changes of one grid's cell texts and plays them back; a sequence
// between a start and a stop marker undoes and redoes as one step. Items
// 0 .. Level - 1 are done, the rest undone and ready for Redo.
class TExGridUndoRedo : public TComponent {
    KAL_CLASS(TExGridUndoRedo, TComponent)
public:
    explicit TExGridUndoRedo(TComponent* AOwner);
    ~TExGridUndoRedo() override;

    virtual void RegisterChange(int ACol, int ARow, const QString& OldValue, const QString& NewValue);
    virtual void StartSequence();
    virtual void StopSequence();
    void Undo();
    void Redo();
    bool CanUndo() const { return FLevel > 0; }
    bool CanRedo() const { return FLevel < FItems->Count(); }
    // Frees every item; the level starts again at 0.
    void Reset();

    TUndoRedoCollection* Items() const { return FItems; }
    TBaseGrid* Grid = nullptr;
    int Level() const { return FLevel; }
    int MaxLevel = 0;
    TExGridUndoRedoEvent OnUndo;
    TExGridUndoRedoEvent OnRedo;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AddMarker(bool start);
    void ApplyItem(const TUndoRedoItem* X, bool undo);
    TUndoRedoCollection* FItems;
    int FLevel = 0;
};
