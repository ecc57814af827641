#pragma once
// The grid drop-down: a drop-down edit whose popup is a string grid. The
// edit shows the lookup column of the chosen row. In item mode the choices
// are the drop-down's own items, loaded into the popup grid at every
// opening under a header row made from the columns; in grid mode the caller
// fills the popup grid (GetGrid) and its data rows are the choices.
//
// Typing moves the popup's current row (lmLookup) or filters its rows
// (lmNarrowDown); the edit completes from the lookup texts; the arrows and
// page keys step through the choices with the popup closed; header clicks
// sort the popup. The popup grid's own events reach the program through
// the OnGrid... events, each fired by a virtual dispatcher.
//
// The column, item and popup-grid classes share their names with the
// multi-column drop-down's (ExMultiColumnDropDown.h) but are different
// classes: they live in namespace ExGridDD.
#include "gridpack/dropdown/ExDropDown.h"
#include "gridpack/dropdown/ExDropDownRecords.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/Collections.h"
#include "platform/core/StringList.h"

namespace ExGridDD {

class TCustomExGridDropDown;

enum TLookupMethod { lmLookup, lmNarrowDown, lmNone };
enum TDropDownStyle { dsDropDown, dsDropDownList };
enum TGridSorting { gsNone, gsSingleColumn, gsMultiColumn };
using ExDropDownRecords::TColumnType;
using ExDropDownRecords::ctText;
using ExDropDownRecords::ctImage;

// Events of the popup grid that the string grid's event types do not name.
using TGridMoveEvent = std::function<void(TObject* Sender, int Index, bool& Allow)>;
using TGridMovingEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex, bool& Allow)>;
using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TCanvas* Canvas, const TRect& Rect)>;
using TGetCellTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Text)>;
using TGetCellPropEvent = std::function<void(TObject* Sender, int ACol, int ARow, TFont* AFont, TColor& AColor)>;

using ExDropDownRecords::TDropDownColumn;

class TDropDownColumns : public TOwnedCollection {
    KAL_CLASS(TDropDownColumns, TOwnedCollection)
public:
    explicit TDropDownColumns(TPersistent* AOwner)
        : TOwnedCollection(AOwner, TCollection::ItemClass<TDropDownColumn>()) {}
    TDropDownColumn* Add() { return static_cast<TDropDownColumn*>(TCollection::Add()); }
    TDropDownColumn* Insert(int Index) { return static_cast<TDropDownColumn*>(TCollection::Insert(Index)); }
    TDropDownColumn* Items(int Index) const { return static_cast<TDropDownColumn*>(TCollection::Items(Index)); }
    void SetItems(int Index, const TDropDownColumn* v) { Items(Index)->Assign(v); }
};

// An item whose text-line changes tell its collection.
class TDropDownItem : public ExDropDownRecords::TDropDownItem {
    KAL_CLASS(TDropDownItem, ExDropDownRecords::TDropDownItem)
public:
    explicit TDropDownItem(TCollection* Collection) : ExDropDownRecords::TDropDownItem(Collection) {
        FText.OnChange = [this](TObject*) { Changed(false); };
    }
};

class TDropDownItems : public TOwnedCollection {
    KAL_CLASS(TDropDownItems, TOwnedCollection)
public:
    explicit TDropDownItems(TPersistent* AOwner);
    TDropDownItem* Add() { return static_cast<TDropDownItem*>(TCollection::Add()); }
    TDropDownItem* Insert(int Index) { return static_cast<TDropDownItem*>(TCollection::Insert(Index)); }
    TDropDownItem* Items(int Index) const { return static_cast<TDropDownItem*>(TCollection::Items(Index)); }
    void SetItems(int Index, const TDropDownItem* v) { Items(Index)->Assign(v); }
    // The item class the collection makes.
    virtual TCollectionItemFactory GetItemClass() const { return TCollection::ItemClass<TDropDownItem>(); }
    // Any item added, removed or changed.
    TNotifyEvent OnItemsChanged;

protected:
    void Update(TCollectionItem*) override {
        if (OnItemsChanged) OnItemsChanged(this);
    }
    void Notify(TCollectionItem*, TCollectionNotification) override {
        if (OnItemsChanged) OnItemsChanged(this);
    }
};

// The popup grid of the grid drop-down.
class TExColGrid : public TExStringGrid {
    KAL_CLASS(TExColGrid, TExStringGrid)
public:
    explicit TExColGrid(TComponent* AOwner);
    ~TExColGrid() override;

    TDropDownColumns* Columns() const { return FColumns; }
    void SetColumns(const TDropDownColumns* v) { FColumns->Assign(v); }
    TColor HeaderColor = TColor(0xFFFFFF), HeaderColorTo = TColor(0x808080);
    TColor LineColor = TColor(0x808080), FixedLineColor = clBlack;
    int HeaderHeight = 25;
    TFont* HeaderFont() { return &FHeaderFont; }
    int GridLineWidth() const { return FGridLineWidth; }
    // Stores the width; the inherited line width becomes 0.
    void SetGridLineWidth(int v);
    TImageList* Images = nullptr;
    bool HoverRow = false;
    TColor HoverRowColor = clInfoBk, HoverRowColorTo = clNone;
    TNotifyEvent OnSelect;
    // Stored only.
    TDrawCellEvent OnDrawCellEx;
    TGetCellPropEvent OnGetCellProp;
    TGetCellTextEvent OnGetCellText;

    TCustomExGridDropDown* DropDown() const { return FDropDown; }
    void SetDropDown(TCustomExGridDropDown* D) { FDropDown = D; }
    bool ConfirmSelection() const { return FConfirmSelection; }
    void SetConfirmSelection(bool v) { FConfirmSelection = v; }
    bool MouseWheelSelection() const { return FMouseWheelSelection; }
    int MouseDownRow() const { return FMouseDownRow; }

    // Copies the drop-down's settings in (nothing without D). With
    // SizeWhileLoading the item mode's auto-sized columns are measured by
    // the LoadItems that follows (one pass over the texts) instead.
    void ApplyDropDownSettings(TCustomExGridDropDown* D, bool SizeWhileLoading = false);
    // Item mode: the header row and one row per item (column 0's object is
    // the item's index); with MeasureColumns also the auto-sized columns'
    // widths, as AutoSizeColumn finds them.
    void LoadItems(bool MeasureColumns = false);
    void AutoSizeColumn(int ACol);
    void AutoSizeRows();
    // The item a row shows (item mode), -1 for none.
    int ItemOfRow(int ARow) const;
    int GetGridWidth();
    virtual void DoSelect();

    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void EditorKeyDown(unsigned& Key, TShiftState Shift) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMKeyDown(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    // The string grid takes the wheel in its window procedure.
    void WndProc(TMessage& M) override;

private:
    // The text of (ACol, data row r) that sizing measures: the item's line
    // in item mode, the grid's cell in grid mode.
    QString MeasuredText(int ACol, int ARow) const;
    int MeasuredImage(int ARow) const;
    TCanvas* MeasureCanvas();
    // The loaded rows carry their item in column 0's cell object; without
    // header sorting or narrowing they stay in item order and need none.
    bool FRowsTagged = false;
    TCustomExGridDropDown* FDropDown = nullptr;
    TDropDownColumns* FColumns;
    TFont FHeaderFont;
    int FGridLineWidth = 1;
    int FMouseDownRow = -1;
    bool FMouseWheelSelection = false, FConfirmSelection = false;
};

class TCustomExGridDropDown : public TExCustomDropDown {
    KAL_CLASS(TCustomExGridDropDown, TExCustomDropDown)
public:
    explicit TCustomExGridDropDown(TComponent* AOwner);
    ~TCustomExGridDropDown() override;
    void AfterConstruction() override;

    // -- choices
    TDropDownItems* Items() const { return FItems; }
    void SetItems(const TDropDownItems* v) { FItems->Assign(v); }
    TDropDownColumns* Columns() const { return FColumns; }
    void SetColumns(const TDropDownColumns* v) { FColumns->Assign(v); }
    bool UseItems = true;
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int LookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int v) { FLookupColumn = v; }
    TLookupMethod LookupMethod = lmLookup;
    TDropDownStyle Style() const { return FStyle; }
    void SetStyle(TDropDownStyle v);
    bool CaseSensitive = false;
    bool AutoShowDropDown = false;
    TGridSorting Sorting = gsNone;
    bool GridEditable = false;
    bool RowSelect = true;
    bool ColumnSizing = false, ColumnMoving = false, RowSizing = false, RowMoving = false;
    bool AutoSizeColumns = true;
    bool ColumnSizeWithDropDown = true;
    bool DropDownAutoWidth = true;
    int DropDownRowHeight = 22;
    int HeaderHeight = 25;
    TFont* HeaderFont() { return &FHeaderFont; }
    void SetHeaderFont(const TFont& f) { FHeaderFont.Assign(f); }
    TColor HeaderColor = TColor(0xFFFFFF), HeaderColorTo = TColor(0x808080);
    TColor LineColor = TColor(0xC0C0C0), FixedLineColor = TColor(0xC0C0C0);
    TColor SelectionTextColor = clBlack;
    bool HoverRow = false;
    TColor HoverRowColor = clInfoBk, HoverRowColorTo = clNone;
    TImageList* GridImages = nullptr;
    TSearchFooter* SearchFooter() const { return FSearchFooter; }
    TBands* Bands() const { return FBands; }
    TNavigation* Navigation() const { return FNavigation; }
    TMouseActions* MouseActions() const { return FMouseActions; }
    TNotifyEvent OnSelect;
    // Public, not published.
    int RowCount() const { return FItems->Count(); }
    bool MatchCase = false;
    bool MatchStart = true;

    // -- operations
    TExColGrid* GetGrid() const { return FGrid; }
    void BeginUpdate() {}
    void EndUpdate() { UpdateLookupItems(); }
    void UpdateLookupItems();
    const TStringList* LookupItems() const { return &FLookupItems; }
    QString LookupEntry() const { return FLookupEntry; }
    // The first choice whose lookup text begins with S (case by
    // CaseSensitive): its text as stored and its item index (item mode) or
    // grid row (grid mode).
    bool FindLookupRow(const QString& S, QString& Found, int& Row) const;
    // The type-ahead step of one character: a popup row (item mode: the
    // item index) or -1.
    int LookupKey(QChar Key);
    int ItemOfRow(int ARow) const;
    int RowOfItem(int Index) const;
    int GetItemCount() const;
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectPageDown();
    void SelectPageUp();
    void SizeColumnsToDropDown();
    void Assign(const TPersistent* Source) override;

    // -- the base's operations
    std::uint32_t GetVersionNr() const override { return 0x06000101; }
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdaptDropDownSize(int& Height) override;
    void FocusDropDownControl() override { TExCustomDropDown::FocusDropDownControl(); }
    void DoDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void AfterDropUp() override { TExCustomDropDown::AfterDropUp(); }
    void ControlKeyDown(unsigned& Key, TShiftState Shift) override;
    void ControlKeyUp(unsigned& Key, TShiftState Shift) override;
    void ControlKeyPress(QChar& Key) override;
    void DropDownSizing() override;
    void SelectNextItem() override;
    void SelectPreviousItem() override;
    void SetSelectionColorStyle(TSelectionColorStyle S) override;
    void SetComponentStyle(TQORStyle AStyle) override;

    // -- events of the popup grid
    TAnchorClickEvent OnGridAnchorClick;
    TAnchorEvent OnGridAnchorEnter, OnGridAnchorExit;
    TAnchorHintEvent OnGridAnchorHint;
    TButtonClickEvent OnGridButtonClick;
    TCanSortEvent OnGridCanSort;
    TClickSortEvent OnGridClickSort;
    TCustomCompareEvent OnGridCustomCompare;
    TRawCompareEvent OnGridRawCompare;
    TColumnSizeEvent OnGridColumnSize;
    TColumnSizingEvent OnGridColumnSizing;
    TEndColumnSizeEvent OnGridEndColumnSize;
    TRowSizeEvent OnGridRowSize;
    TRowSizingEvent OnGridRowSizing;
    TEndRowSizeEvent OnGridEndRowSize;
    TGridMoveEvent OnGridRowMove;
    TGridMovingEvent OnGridRowMoving;
    TMovedEvent OnGridRowMoved;
    TGridMoveEvent OnGridColumnMove;
    TGridMovingEvent OnGridColumnMoving;
    TMovedEvent OnGridColumnMoved;
    TCustomCellDrawEvent OnGridCustomCellDraw, OnGridCustomCellBkgDraw;
    TCellBalloonEvent OnGridCellBalloon;
    TGridAlignEvent OnGridGetAlignment;
    TGridColorEvent OnGridGetCellColor;
    TGridGradientEvent OnGridGetCellGradient;
    TFloatFormatEvent OnGridGetFloatFormat;
    TGetEditorTypeEvent OnGridGetEditorType;
    TGetEditorPropEvent OnGridGetEditorProp;
    TCanEditCellEvent OnGridCanEditCell;
    TEllipsClickEvent OnGridEllipsClick;
    TGetDisplTextEvent OnGridGetDiplText;
    TGridFormatEvent OnGridGetFormat;
    TGridHintEvent OnGridHint;
    TMouseMoveEvent OnGridMouseMove;
    TMouseEvent OnGridMouseDown, OnGridMouseUp;
    TKeyEvent OnGridKeyDown, OnGridKeyUp;
    TKeyPressEvent OnGridKeyPress;
    TClickCellEvent OnGridRightClickCell;
    TScrollHintEvent OnGridScrollHint;
    TNotifyEvent OnGridTopLeftChanged;
    TSearchEditChangeEvent OnGridSearchEditChange;
    TSpinClickEvent OnGridSpinClick;
    TAutoAddRowEvent OnGridAutoAddRow;
    TAutoInsertRowEvent OnGridInsertRow;
    TAutoInsertColEvent OnGridInsertCol;
    TAutoDeleteRowEvent OnGridDeleteRow;
    TCanAddRowEvent OnGridCanAddRow;
    TCanInsertRowEvent OnGridCanInsertRow;
    TCanDeleteRowEvent OnGridCanDeleteRow;
    TCheckBoxClickEvent OnGridCheckBoxClick;

    // -- the dispatchers, one per popup-grid event
    virtual TDropDownItems* CreateDropDownItems(TPersistent* AOwner);
    virtual void DoGridAnchorClick(TObject* Sender, int ARow, int ACol, const QString& Anchor, bool& AutoHandle);
    virtual void DoGridAnchorEnter(TObject* Sender, int ARow, int ACol, const QString& Anchor);
    virtual void DoGridAnchorExit(TObject* Sender, int ARow, int ACol, const QString& Anchor);
    virtual void DoGridAnchorHint(TObject* Sender, int ARow, int ACol, QString& Anchor);
    virtual void DoGridButtonClick(TObject* Sender, int ACol, int ARow);
    virtual void DoGridCanSort(TObject* Sender, int ACol, bool& DoSort);
    virtual void DoGridClickSort(TObject* Sender, int ACol);
    virtual void DoGridCustomCompare(TObject* Sender, const QString& Str1, const QString& Str2, int& Res);
    virtual void DoGridRawCompare(TObject* Sender, int ACol, int Row1, int Row2, int& Res);
    virtual void DoGridColumnSize(TObject* Sender, int ACol, bool& Allow);
    virtual void DoGridColumnSizing(TObject* Sender, int ACol, int ColumnSize);
    virtual void DoGridEndColumnSize(TObject* Sender, int ACol);
    virtual void DoGridRowSize(TObject* Sender, int ARow, bool& Allow);
    virtual void DoGridRowSizing(TObject* Sender, int ARow, int RowSize);
    virtual void DoGridEndRowSize(TObject* Sender, int ARow);
    virtual void DoGridRowMove(TObject* Sender, int ARow, bool& Allow);
    virtual void DoGridRowMoving(TObject* Sender, int FromIndex, int ToIndex, bool& Allow);
    virtual void DoGridRowMoved(TObject* Sender, int FromIndex, int ToIndex);
    virtual void DoGridColumnMove(TObject* Sender, int ACol, bool& Allow);
    virtual void DoGridColumnMoving(TObject* Sender, int FromIndex, int ToIndex, bool& Allow);
    virtual void DoGridColumnMoved(TObject* Sender, int FromIndex, int ToIndex);
    virtual void DoGridCustomCellDraw(TObject* Sender, TCanvas* Canvas, int ACol, int ARow, TGridDrawState AState,
                                      const TRect& ARect, bool Printing);
    virtual void DoGridCustomCellBkgDraw(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                         TGridDrawState AState, const TRect& ARect, bool Printing);
    virtual void DoGridCellBalloon(TObject* Sender, int ACol, int ARow, QString& ATitle, QString& AText,
                                   TBalloonIcon& AIcon);
    virtual void DoGridGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign);
    virtual void DoGridGetCellColor(TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush,
                                    TFont* AFont);
    virtual void DoGridGetCellGradient(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo,
                                       TColor& ColorMirror, TColor& ColorMirrorTo, TCellGradientDirection& GD);
    virtual void DoGridGetFloatFormat(TObject* Sender, int ACol, int ARow, bool& IsFloat, QString& FloatFormat);
    virtual void DoGridGetEditorType(TObject* Sender, int ACol, int ARow, TEditorType& AEditor);
    virtual void DoGridGetEditorProp(TObject* Sender, int ACol, int ARow, TObject* AEditLink);
    virtual void DoGridCanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit);
    virtual void DoGridEllipsClick(TObject* Sender, int ACol, int ARow, QString& S);
    virtual void DoGridGetDisplText(TObject* Sender, int ACol, int ARow, QString& Value);
    virtual void DoGridGetFormat(TObject* Sender, int ACol, TSortStyle& AStyle, QString& APrefix, QString& ASuffix);
    virtual void DoGridHint(TObject* Sender, int ARow, int ACol, QString& HintStr);
    virtual void DoGridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    virtual void DoGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoGridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoGridKeyDown(TObject* Sender, unsigned& Key, TShiftState Shift);
    virtual void DoGridKeyUp(TObject* Sender, unsigned& Key, TShiftState Shift);
    virtual void DoGridKeyPress(TObject* Sender, QChar& Key);
    virtual void DoGridRightClickCell(TObject* Sender, int ARow, int ACol);
    virtual void DoGridScrollHint(TObject* Sender, int ARow, QString& HintStr);
    virtual void DoGridTopLeftChanged(TObject* Sender);
    virtual void DoGridSearchEditChange(TObject* Sender, const QString& Value, bool& DefaultSearch);
    virtual void DoGridSpinClick(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown);
    virtual void DoGridAutoAddRow(TObject* Sender, int ARow);
    virtual void DoGridAutoInsertRow(TObject* Sender, int ARow);
    virtual void DoGridAutoInsertCol(TObject* Sender, int ACol);
    virtual void DoGridAutoDeleteRow(TObject* Sender, int ARow);
    virtual void DoGridCanAddRow(TObject* Sender, bool& CanAdd);
    virtual void DoGridCanInsertRow(TObject* Sender, int ARow, bool& CanInsert);
    virtual void DoGridCanDeleteRow(TObject* Sender, int ARow, bool& CanDelete);

    // The popup grid's editor took Enter (see TExColGrid::EditorKeyDown).
    void GridEditorEnter();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void DoEnter() override;
    void Change() override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void WMChar(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;

private:
    friend class TExColGrid;
    // Connects the popup grid's events to the drop-down (the opening's
    // step 5 and 7).
    void ConnectGridEvents();
    void GridSelectCell(int ARow, bool& CanSelect);
    void GridSelect();
    void GridCanSort(int ACol, bool& DoSort);
    void GridClickSort(int ACol);
    void GridStartBlockFocus();
    void GridEndBlockFocus();
    void GridCheckBoxClick(TObject* Sender, int ACol, int ARow, bool State);
    void SetTextQuietly(const QString& S);
    void SelectFrom(int Start);
    void StepTo(int Index);

    TDropDownItems* FItems;
    TDropDownColumns* FColumns;
    TExColGrid* FGrid = nullptr;
    int FItemIndex = -1, FLookupColumn = 0;
    TDropDownStyle FStyle = dsDropDown;
    TFont FHeaderFont;
    TSearchFooter* FSearchFooter;
    TBands* FBands;
    TNavigation* FNavigation;
    TMouseActions* FMouseActions;
    TStringList FLookupItems;
    // The same texts for scanning, and whether they still are the items'
    // lookup lines (no item changed since), so the type-ahead may read them.
    QStringList FLookupTexts;
    bool FLookupInStep = false;
    int FLookupBuiltColumn = -1;
    // The last completion search of the lookup texts (case-blind): the
    // type-ahead of the same keystroke asks the same question.
    QString FLastPrefix;
    int FLastFound = -1;
    int FirstLookupText(const QString& Prefix, Qt::CaseSensitivity CS, int Limit) const;
    QString FLookupEntry;
    bool FWorkMode = true, FItemChange = false, FCompleting = false, FBalloonReset = false;
    int FItemIdx = -1;
    uint16_t FItemSel = 0;
    int FSelectedRow = -1, FOldItemIndex = -1, FSortItemIndex = -1;
};

} // namespace ExGridDD

using ExGridDD::TCustomExGridDropDown;
