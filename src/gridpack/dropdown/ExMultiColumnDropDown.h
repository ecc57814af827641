#pragma once
// The multi-column drop-down: an editable drop-down whose popup shows its
// items as rows of an owner-drawn grid (the class library's string grid),
// one column per TDropDownColumn, under a header row. One column, the
// lookup column, gives the text the edit shows; typing in the edit completes
// from the lookup texts, typing in the popup grid searches the rows.
//
// The column, item and popup-grid classes share their names with the grid
// drop-down's (ExGridDropDown.h) but are different classes: they live in
// namespace ExMultiCol. The drop-down itself is also named outside it.
#include "gridpack/dropdown/ExDropDown.h"
#include "gridpack/dropdown/ExDropDownRecords.h"
#include "platform/core/Collections.h"
#include "platform/core/StringList.h"
#include "platform/grids/Grids.h"

#include <memory>

namespace ExMultiCol {

class TExMultiColumnDropDown;

using ExDropDownRecords::TColumnType;
using ExDropDownRecords::ctText;
using ExDropDownRecords::ctImage;

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TCanvas* Canvas, const TRect& Rect)>;
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
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem*) override {
        if (OnChange) OnChange(this);
    }
};

using ExDropDownRecords::TDropDownItem;

class TDropDownItems : public TOwnedCollection {
    KAL_CLASS(TDropDownItems, TOwnedCollection)
public:
    explicit TDropDownItems(TPersistent* AOwner)
        : TOwnedCollection(AOwner, TCollection::ItemClass<TDropDownItem>()) {}
    TDropDownItem* Add() { return static_cast<TDropDownItem*>(TCollection::Add()); }
    TDropDownItem* Insert(int Index) { return static_cast<TDropDownItem*>(TCollection::Insert(Index)); }
    TDropDownItem* Items(int Index) const { return static_cast<TDropDownItem*>(TCollection::Items(Index)); }
    // The first item with a line for the column equal to Value (with case);
    // -1 when none.
    int IndexInColumn(int Column, const QString& Value) const;
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem*) override {
        if (OnChange) OnChange(this);
    }
};

// The popup grid: one fixed header row, one row per item, drawn by the grid
// itself (its own lines; the library's line width is 0).
class TExColGrid : public TStringGrid {
    KAL_CLASS(TExColGrid, TStringGrid)
public:
    explicit TExColGrid(TComponent* AOwner);
    ~TExColGrid() override;

    TExMultiColumnDropDown* ExDropDown() const { return FExDropDown; }
    void SetDropDown(TExMultiColumnDropDown* D) { FExDropDown = D; }
    TDropDownColumns* Columns() const { return FColumns; }
    TColor HeaderColor = TColor(0xFFFFFF), HeaderColorTo = TColor(0x808080);
    int HeaderHeight = 25;
    TFont* HeaderFont() { return &FHeaderFont; }
    TColor LineColor = TColor(0x808080), FixedLineColor = clBlack;
    TImageList* Images = nullptr;
    // The grid's own line width (the library's stays 0).
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v) {
        FGridLineWidth = v;
        Invalidate();
    }
    TNotifyEvent OnSelect;
    // Stored only.
    TDrawCellEvent OnDrawCellEx;
    TGetCellPropEvent OnGetCellProp;
    TGetCellTextEvent OnGetCellText;

    bool ConfirmSelection() const { return FConfirmSelection; }
    void SetConfirmSelection(bool v) { FConfirmSelection = v; }
    bool MouseWheelSelection() const { return FMouseWheelSelection; }

    // Takes the drop-down's columns, counts, widths, colours and heights.
    void ApplyDropDownSettings(TExMultiColumnDropDown* D);
    // Widths of columns with AutoSize from their widest item text.
    void AutoSizeItemColumns();
    void AutoSizeRows();
    // Borders, every column and the vertical bar unless all rows show.
    int GetGridWidth();
    virtual void DoSelect();

    void KeyDown(unsigned& Key, TShiftState Shift) override;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMKeyDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;

private:
    TExMultiColumnDropDown* FExDropDown = nullptr;
    TDropDownColumns* FColumns;
    TFont FHeaderFont;
    int FGridLineWidth = 1;
    bool FConfirmSelection = false, FMouseWheelSelection = false;
};

class TExMultiColumnDropDown : public TExCustomDropDown {
    KAL_CLASS(TExMultiColumnDropDown, TExCustomDropDown)
public:
    explicit TExMultiColumnDropDown(TComponent* AOwner);
    ~TExMultiColumnDropDown() override;
    void AfterConstruction() override;

    TDropDownColumns* Columns() const { return FColumns; }
    void SetColumns(const TDropDownColumns* v) { FColumns->Assign(v); }
    TDropDownItems* Items() const { return FItems; }
    void SetItems(const TDropDownItems* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    // Ignored at or past the item count; the text follows the item.
    void SetItemIndex(int Value);
    int LookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int v) { FLookupColumn = v; }
    bool CaseSensitive = false;
    bool DropDownAutoWidth = true;
    int DropDownRowHeight = 22;
    bool ColumnSizing = false;
    bool ColumnSizeWithDropDown = true;
    TColor HeaderColor = TColor(0xFFFFFF), HeaderColorTo = TColor(0x808080);
    int HeaderHeight = 25;
    TFont* HeaderFont() { return &FHeaderFont; }
    void SetHeaderFont(const TFont& f) { FHeaderFont.Assign(f); }
    TColor LineColor = TColor(0xF1EDEB), FixedLineColor = TColor(0xD1BBA4);
    TColor SelectionTextColor = clBlack;
    bool MatchCase = false;
    TNotifyEvent OnSelect;
    TDrawCellEvent OnDropDownDrawItem;
    TGetCellTextEvent OnDropDownGetItemText;
    // Stored only.
    TGetCellPropEvent OnDropDownGetItemProp;
    int RowCount() const { return FItems->Count(); }

    // The first item whose lookup line is the value exactly; -1 when none.
    int GetItemIndex(const QString& Value) const;
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectPageDown();
    void SelectPageUp();
    void BeginUpdate() {}
    void EndUpdate() { UpdateLookupItems(); }
    // Rebuilds the lookup list from the items (not for a negative lookup
    // column or without items).
    void UpdateLookupItems();
    const TStringList* LookupItems() const { return &FLookupItems; }
    QString LookupEntry() const { return FLookupEntry; }
    TExColGrid* ExColGrid() const { return FExColGrid; }
    // The popup grid's columns stretched to the popup's width.
    void SizeColumnsToDropDown();
    // The type-ahead step of one character typed in the popup grid; the
    // item found or -1.
    int LookupKey(QChar Key);

    void Assign(const TPersistent* Source) override;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdaptDropDownSize(int& Height) override;
    void DoDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void ControlKeyDown(unsigned& Key, TShiftState Shift) override;
    void ControlKeyUp(unsigned& Key, TShiftState Shift) override;
    void ControlKeyPress(QChar& Key) override;
    void DropDownSizing() override;
    void SelectNextItem() override;
    void SelectPreviousItem() override;
    void SetSelectionColorStyle(TSelectionColorStyle S) override;
    void SetComponentStyle(TQORStyle AStyle) override;

protected:
    void Loaded() override;
    void Change() override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void WMKeyDown(TMessage& M) override;

private:
    // Chooses the item a step leads to, if any.
    void Step(TItemStep S);
    friend class TExColGrid;
    void GridSelectCell(int ARow);
    void GridSelect();
    // The first item whose lookup line begins with the entry.
    int FindLookupItem(const QString& Entry) const;
    void ShowFound(int Index, int Typed);
    void SetTextQuietly(const QString& S);

    TDropDownColumns* FColumns;
    TDropDownItems* FItems;
    int FItemIndex = -1, FLookupColumn = 0;
    TFont FHeaderFont;
    TStringList FLookupItems;
    // The same texts for the completion's scan.
    QStringList FLookupTexts;
    bool FWorkMode = true, FItemChange = false, FShowing = false, FCompleting = false;
    int FItemIdx = -1, FItemSel = 0;
    QString FLookupEntry;
    int FOldItemIndex = -1;
    TExColGrid* FExColGrid = nullptr;
};

} // namespace ExMultiCol

using ExMultiCol::TExMultiColumnDropDown;
