#pragma once
// TExColumnGrid: the string grid with one settings record per column. The
// collection Columns holds a TGridColumnItem for every real column (hidden
// columns included): item i describes real column i, and after every
// synchronisation Columns->Count() == ColCount() + NumHiddenColumns().
//
// Every mapping editor of the program is a column grid: its columns are
// described once (header, width, alignment, colour, fonts, editor kind, combo
// items, check texts, read-only) and read and written at run time through
// Columns()->Items(i).
//
// Keeping the item count and ColCount in step:
// - SetColCount (hides the string grid's) adds or frees items at the end.
// - Adding or deleting an item at run time resizes the grid (the
//   collection's Update), unless the grid is loading or the collection is
//   inside BeginUpdate.
// - Loading: between BeginLoading and EndLoading collection changes do
//   nothing; Loaded then reconciles. A description whose item count equals
//   its ColCount loads unchanged; otherwise the item count moves one step
//   towards ColCount and the grid follows it. A description is applied as
//       grid->BeginLoading();
//       grid->SetColCount(n);
//       grid->Columns()->BeginUpdate(); grid->Columns()->Clear();
//       ... grid->Columns()->Add() and set each item ...
//       grid->Columns()->EndUpdate();
//       grid->EndLoading();
//
// The column grid makes its collection in its constructor (CreateColumns is
// called there, so a descendant's override is not reached).
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/Collections.h"

class TExColumnGrid;
class TGridColumnCollection;
class TPopupMenu;

// Which click on which cells opens a column's popup menu (fixed cells = the
// rows above FixedRows, normal cells = the other rows).
enum TColumnPopupType {
    cpFixedCellsRClick, cpFixedCellsLClick, cpNormalCellsRClick, cpNormalCellsLClick, cpAllCellsRClick,
    cpAllCellsLClick
};

using TColumnPopupEvent = std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu* PopupMenu)>;
// FromIndex and ToIndex are real column indexes.
using TAfterColumnMoved = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// ---------------------------------------------------------------------------
// TGridColumnItem
// ---------------------------------------------------------------------------

// The settings of one column. Plain fields are stored only; properties with
// a writer act as their comment says: "collection update" re-synchronises
// the grid with the collection and repaints it, "repaint" repaints the grid.
// An item made without a collection keeps default fonts and colour and
// notifies nobody.
class TGridColumnItem : public TCollectionItem {
    KAL_CLASS(TGridColumnItem, TCollectionItem)
public:
    // Takes the grid's Font and Color when the collection belongs to a grid.
    explicit TGridColumnItem(TCollection* Collection);
    // Once in the collection, the column gets width 50.
    void AfterConstruction() override;
    ~TGridColumnItem() override;

    // Copies every setting but ColumnPopupType, PrintBorderCustom and
    // PrintFontCustom into the fields (no writer runs; the owned fonts and
    // pens report their change as usual). Nothing for another class.
    void Assign(const TPersistent* Source) override;
    // As Assign, without Header, Name, ComboItems, DropDownCount, HeaderFont
    // and Tag; Color and Font come from the grid, not from Source.
    void AssignVisuals(const TGridColumnItem* Source);
    // "Col <i>: <Name>", or "Column <i>" when Name is empty.
    QString GetDisplayName() const override;
    // The grid of the collection, nullptr without one.
    TExColumnGrid* Grid() const;

    // --- stored settings
    int AutoMinSize = 0;   // lower bound of automatic sizing when above 0
    int AutoMaxSize = 0;   // upper bound of automatic sizing when above 0
    QString CheckFalse = QStringLiteral("N");
    QString CheckTrue = QStringLiteral("Y");
    TColumnPopupType ColumnPopupType = cpFixedCellsRClick;
    int DropDownCount = 8;
    int EditLength = 0;    // maximum edit length, 0: no limit
    QString EditMask;
    bool FilterCaseSensitive = false;
    int MinSize = 0;       // lower width bound when above 0
    int MaxSize = 0;       // upper width bound when above 0
    QString Name;          // the key of GetColumnByName
    bool PrintBorderCustom = true;
    TCellBorders PrintBorders =
        CellBorderBit(cbTop) | CellBorderBit(cbLeft) | CellBorderBit(cbRight) | CellBorderBit(cbBottom);
    TColor PrintColor = TColor(0xFFFFFF);
    bool PrintFontCustom = true;
    bool ReadOnly = false;
    TSortStyle SortStyle = ssAutomatic;
    QString SortPrefix;
    QString SortSuffix;
    int SpinMax = 0;
    int SpinMin = 0;
    int SpinStep = 1;
    int Tag = 0;
    // The column's position when loading ended (SetOrganization); not part
    // of a description.
    int DefIdx = 0;

    // --- settings with writers
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);            // repaint
    TAlignment HeaderAlignment() const { return FHeaderAlignment; }
    void SetHeaderAlignment(TAlignment v);      // repaint
    TCellBorders Borders() const { return FBorders; }
    void SetBorders(TCellBorders v);            // collection update
    // The column's own pen; a change of it is a collection update.
    TPen* BorderPen() { return &FBorderPen; }
    void SetBorderPen(const TPen& v);           // copied in, collection update
    TColor Color() const { return FColor; }
    void SetColor(TColor v);                    // collection update
    // Cleared when the menu is freed.
    TPopupMenu* ColumnPopup() const { return FColumnPopup; }
    void SetColumnPopup(TPopupMenu* v);
    TStringList* ComboItems() { return FComboItems; }
    void SetComboItems(const TStrings* v);      // copied in, no notification
    // The in-place editor link of the column (cleared when it is freed).
    TComponent* EditLink() const { return FEditLink; }
    void SetEditLink(TComponent* v);
    TEditorType Editor() const { return FEditor; }
    // Repaints when the old or the new kind is edDataCheckBox (a check box
    // appears or goes); nothing when unchanged.
    void SetEditor(TEditorType v);
    // A change of the list repaints.
    TStringList* Filter() { return FFilter; }
    void SetFilter(const TStrings* v);
    bool Fixed() const { return FFixed; }
    void SetFixed(bool v);                      // collection update
    QString FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const QString& v);      // repaint
    // A change of the font is a collection update.
    TFont* Font() { return &FFont; }
    void SetFont(const TFont& v);               // copied in, collection update
    QString Header() const { return FHeader; }
    // With fixed rows (and no column move under way) also writes the text
    // into the column's row-0 cell and is a collection update.
    void SetHeader(const QString& v);
    // A change of the font is a collection update.
    TFont* HeaderFont() { return &FHeaderFont; }
    void SetHeaderFont(const TFont& v);         // copied in, repaint
    bool Password() const { return FPassword; }
    void SetPassword(bool v);                   // collection update
    TPen* PrintBorderPen() { return &FPrintBorderPen; }
    void SetPrintBorderPen(const TPen& v);      // copied in
    TFont* PrintFont() { return &FPrintFont; }
    void SetPrintFont(const TFont& v);          // copied in, no notification
    bool ShowBands() const { return FShowBands; }
    void SetShowBands(bool v);                  // collection update
    // The grid's width of the column (the stored width of a hidden one);
    // 0 for an item without a collection.
    int Width() const;
    // Stored, and applied to the column unless it is hidden.
    void SetWidth(int v);
    // The width field alone (what Assign copies and ColWidthsChanged keeps).
    int StoredWidth() const { return FWidth; }
    void SetStoredWidth(int v) { FWidth = v; }

    // --- the column's cells, by display row
    QString Rows(int ARow) const;
    void SetRows(int ARow, const QString& v);
    int Ints(int ARow) const;
    void SetInts(int ARow, int v);
    double Floats(int ARow) const;
    void SetFloats(int ARow, double v);
    TDateTime Dates(int ARow) const;
    void SetDates(int ARow, TDateTime v);
    TDateTime Times(int ARow) const;
    void SetTimes(int ARow, TDateTime v);

private:
    // The settings Assign and AssignVisuals both copy.
    void AssignLook(const TGridColumnItem* s);
    friend class TExColumnGrid;
    // Collection update (Changed) and repaint.
    void CollectionUpdate() { Changed(false); }
    void Repaint();

    TAlignment FAlignment = taLeftJustify;
    TAlignment FHeaderAlignment = taLeftJustify;
    TCellBorders FBorders = 0;
    TPen FBorderPen;
    TColor FColor = clWindow;
    TPopupMenu* FColumnPopup = nullptr;
    TStringList* FComboItems;
    TComponent* FEditLink = nullptr;
    TEditorType FEditor = edNormal;
    TStringList* FFilter;
    bool FFixed = false;
    QString FFloatFormat;
    TFont FFont;
    QString FHeader;
    TFont FHeaderFont;
    bool FPassword = false;
    TPen FPrintBorderPen;
    TFont FPrintFont;
    bool FShowBands = false;
    int FWidth = 50;
};

// ---------------------------------------------------------------------------
// TGridColumnCollection
// ---------------------------------------------------------------------------

class TGridColumnCollection : public TCollection {
    KAL_CLASS(TGridColumnCollection, TCollection)
public:
    explicit TGridColumnCollection(TExColumnGrid* AOwner);

    // Adds an item at the end; with an item before it, the new one takes
    // that item's look (AssignVisuals): editor kind, check texts, sizes,
    // filter, but the grid's Font and Color.
    TGridColumnItem* Add();
    // A fresh item (constructor values) at Index.
    TGridColumnItem* Insert(int Index);
    // Raises EListError for an index out of range.
    TGridColumnItem* Items(int Index) const { return static_cast<TGridColumnItem*>(TCollection::Items(Index)); }
    void SetItems(int Index, const TGridColumnItem* Value) { Items(Index)->Assign(Value); }
    // Brings the item count to the grid's columns and records each item's
    // index in DefIdx (the end of loading).
    void SetOrganization();
    // Moves the columns back to the order SetOrganization recorded.
    void ResetOrganization();

    TPersistent* GetOwner() const override;
    TExColumnGrid* Grid() const { return FOwner; }
    // While set, changes of the collection do not resize the grid.
    bool NoRecursiveUpdate = false;

protected:
    // Resizes the grid to the item count (not while loading, inside
    // BeginUpdate or with NoRecursiveUpdate), rebuilds the header list and
    // repaints.
    void Update(TCollectionItem* Item) override;

private:
    TExColumnGrid* FOwner;
};

// ---------------------------------------------------------------------------
// TExColumnGrid
// ---------------------------------------------------------------------------

class TExColumnGrid : public TExStringGrid {
    KAL_CLASS(TExColumnGrid, TExStringGrid)
public:
    explicit TExColumnGrid(TComponent* AOwner);
    ~TExColumnGrid() override;

    TGridColumnCollection* Columns() const { return FColumnCollection; }
    // Copies the given collection's items into Columns.
    void SetColumns(const TGridColumnCollection* Value);
    // The string grid's writer, then the items follow the column count.
    int ColCount() const { return TExStringGrid::ColCount(); }
    void SetColCount(int v);
    bool AutoFilterDisplay = false;
    TColumnPopupEvent OnColumnPopup;
    TAfterColumnMoved OnAfterColumnMoved;

    // The items stay at the indexes of their cells: inserting adds fresh
    // items (constructor values) at the real column of ColIndex, removing
    // deletes the items of the removed columns.
    void InsertCols(int ColIndex, int CCount) override;
    void RemoveCols(int ColIndex, int CCount) override;
    // The grouped column's item is kept while the grid is grouped and put
    // back into the restored column by UnGroup.
    void Group(int Colindex) override;
    void UnGroup() override;

    // With ColumnSize->Location clIniFile the column order goes to the INI
    // file ColumnSize->Key (keys "CP<i>": the load-time position of the
    // item at position i); otherwise the string grid's store is used.
    void SaveColPositions() override;
    void LoadColPositions() override;
    void SaveColumnPositions(const QString& Key, const QString& Section);
    // Nothing moves when a key is missing, a value lies outside the items
    // or two keys name the same position.
    void LoadColumnPositions(const QString& Key, const QString& Section);

    // --- column filter lists, popup menus and column streams
    // (ExGridColumnFilters.cpp)
    // Whether the column's Filter has entries; FilterList then holds each
    // entry's name (the part before its first "=").
    bool GetColumnFilter(int Column) override;
    // Entry ItemIndex of the open column's Filter: its name (optionally the
    // header) and its condition (the part after "=", or the whole entry).
    void FilterSelect(int ItemIndex) override;
    // Every item's settings in a tagged, versioned record stream.
    void SaveColumnsToStream(TStream* Stream);
    // Reads what SaveColumnsToStream wrote; a short or malformed stream
    // raises EReadError and leaves Columns as they were.
    void LoadColumnsFromStream(TStream* Stream);

    // The first item whose Name equals AValue exactly, else nullptr.
    TGridColumnItem* GetColumnByName(const QString& AValue) const;

    unsigned GetVersionNr() override;
    QString GetVersionString() override;

    // After the grid's own scaling, the fonts of columns 0 .. ColCount - 1
    // are scaled too.
    void ChangeScale(int M, int D) override;
    // The edit length of the current column when it has one.
    int GetEditLimit() override;
    // The column's edit mask, unless the grid's own mask answers.
    QString GetEditMask(int ACol, int ARow) override;

    // True while ColumnMoved rebuilds the moved item.
    bool ColMoving() const { return FColMoving; }

    // --- per-column answers to the string grid's cell questions (real
    // column indexes); columns beyond the collection get the string grid's
    // answers.
    // The grid's FloatFormat, or the column's when it has one.
    void GetFloatFormat(int ACol, int ARow, QString& Fmt) override;
    // A new cell's properties start from the column's font, colour and
    // alignment (HeaderAlignment in the fixed rows); a fixed cell, or a
    // banded column while bands are on, keeps no colour of its own.
    void GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                         TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW,
                         TCellGradientDirection& GD) override;
    // The proposed width kept within MinSize / MaxSize (AutoMinSize /
    // AutoMaxSize when sizing automatically), each when above 0.
    void UpdateColumnSize(int ACol, int& AWidth) override;
    void UpdateAutoColumnSize(int ACol, int& AWidth) override;
    // Each entry of ColumnHeaders becomes its column's Header.
    void SyncColumnHeaders() override;
    // --- cell graphics and appearance hooks
    // ctDataCheckBox for a body cell of an edDataCheckBox column that has no
    // graphic of its own.
    TCellType GetCellType(int ACol, int ARow) override;
    // Such a cell lends the one shared check-box graphic (ctVirtCheckBox,
    // transparent in the flat control style).
    TCellGraphic* GetCellGraphic(int ACol, int ARow) override;
    // Fixed columns paint FixedColor, other data cells the column's Color
    // (not under bands); fonts are HeaderFont in the fixed rows, else Font;
    // a cell's own brush and font colours win.
    void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont) override;
    void GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont) override;
    void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) override;
    void GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) override;
    void GetCellAlign(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign) override;
    void GetCellFormat(int ACol, TSortStyle& AStyle, QString& aPrefix, QString& aSuffix) override;
    // The column's editor kind; its combo items, drop-down count, spin
    // bounds and editor link go to the grid's shared editors, and a
    // column FloatFormat becomes the grid's.
    void GetCellEditor(int ACol, int ARow, TEditorType& AEditor) override;
    // ACol is a display column.
    void IsFixedCell(int ACol, int ARow, bool& IsFixed) override;
    // A data cell may be edited unless its column is ReadOnly or Fixed (or
    // the cell's own read-only flag is set); the grid's options play no
    // part. Fires OnCanEditCell for the merge base cell.
    void QueryCellEdit(int ACol, int ARow, bool& CanEdit) override;
    void IsPasswordCell(int ACol, int ARow, bool& IsPassword) override;
    // A data cell of an edComboEdit or edComboList column; OnHasComboBox
    // may change the answer.
    bool HasComboBox(int ACol, int ARow) override;
    // In body cells the column's check texts replace what the string grid
    // and its events answer.
    void GetCheckTrue(int ACol, int ARow, QString& Value) override;
    void GetCheckFalse(int ACol, int ARow, QString& Value) override;
    // After a fill, load or paste the items follow the column count.
    void CellsLoaded() override;

    // The item of real column ACol, nullptr beyond the collection.
    TGridColumnItem* ColumnOf(int ACol) const;
    // A column of the collection at or right of the fixed columns, a row at
    // or below the fixed rows.
    bool IsDataCell(int ACol, int ARow);
    // A data cell also left of the right fixed columns and above the fixed
    // footer rows.
    bool IsBodyCell(int ACol, int ARow);
    // A body cell of an edDataCheckBox column (never while the grid goes).
    bool IsDataCheckBoxCell(int ACol, int ARow);

protected:
    // Makes the column collection (called once, by the constructor).
    virtual TGridColumnCollection* CreateColumns();
    // After the string grid's loading: reconciles the items with ColCount,
    // then records the column order.
    void Loaded() override;
    // A freed popup menu or editor link is cleared from every column.
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The item travels with its column; fires OnAfterColumnMoved with the
    // real indexes. The top row is kept.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    // Every item of a shown column keeps the column's width as its stored
    // width.
    void ColWidthsChanged() override;
    // After the string grid's press: the column's popup menu by its
    // ColumnPopupType, at the cell's bottom-left corner.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TGridColumnItem;
    friend class TGridColumnCollection;
    // Adds items at the end or frees the last ones until the count matches.
    void UpdateColumnCount();
    void UpdateColumnCountQuiet();
    // With fixed rows: empty headers taken from row 0, then the header list
    // rebuilt from the items.
    void UpdateColumnHeaders();
    // ColumnHeaders := every item's Header in index order.
    void RebuildColumnHeaders();
    // The column's combo items, spin bounds and editor link handed to the
    // grid's shared editors.
    void LoadColumnEditors(TGridColumnItem* c);

    TGridColumnCollection* FColumnCollection = nullptr;
    TGridColumnItem* FSaveCol = nullptr;
    bool FColMoving = false;
    // The one graphic every data check-box cell is given.
    TCellGraphic* FCellGraphic = nullptr;
};
