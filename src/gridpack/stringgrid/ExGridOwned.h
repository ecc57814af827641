#pragma once
// Objects the string grid owns besides its cells: settings records, the
// footer and search panels, the cell editors made with the grid, the filter
// lists and the hidden-row store. Each is made by the grid's constructor and
// freed by its destructor; a property write copies into it (Assign) and never
// replaces it. Records whose behaviour lives elsewhere in the grid keep their
// settings and defaults here; the panels and editors are plain child windows
// until their own units give them their work.
#include "gridpack/basegrid/BaseGrid.h"
#include "gridpack/basegrid/ExObj.h"
#include "gridpack/stringgrid/ExControlLook.h"
#include "gridpack/stringgrid/ExHTMLHint.h"
#include "gridpack/stringgrid/SgCombo.h"
#include "platform/controls/Mask.h"
#include "platform/controls/Controls.h"
#include "platform/core/Collections.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Graphics.h"
#include "platform/grids/Grids.h"

#include <memory>

class TExStringGrid;

enum TScrollType { ssNormal, ssFlat, ssEncarta, ssMetro };
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
enum THintShowLargeTextPos { hpCell, hpAbove };
enum THoverFixedCells { hfNone, hfAll, hfFixedRows, hfFixedCols };
enum TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
enum TFilterDropDownColumns { fdNormal, fdAll };
enum TSortDirection { sdAscending, sdDescending };
enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
enum TBackGroundCells { bcNormal, bcFixed, bcAll };
enum TColumnSizeLocation { clRegistry, clIniFile };
enum TAutoSizeRows { arAll, arNormal, arFixed };

// ---------------------------------------------------------------------------
// Hidden-row store: one item per hidden row
// ---------------------------------------------------------------------------

class TGridItem : public TCollectionItem {
    KAL_CLASS(TGridItem, TCollectionItem)
public:
    explicit TGridItem(TCollection* Collection);
    ~TGridItem() override;
    // The row's index when it was hidden (real, or display for a filter level).
    int Idx = 0;
    int Height = 0;
    int Level = 0;
    // One text with its object per real column; owned by the item.
    TStringList* Items() const;
    // Copies the texts (and object references) into the item's own list.
    void SetItems(const TStrings* Value);
    // Keeps the row's stored cells as the string grid held them, for Cols
    // real columns: the list is made from them only when asked for, so a
    // row that is hidden and shown again moves as one record.
    void HoldRow(std::unique_ptr<TStringGrid::TRowData> Row, int Cols);
    // Whether the record is still held (no one asked for the list yet).
    bool HoldsRow() const { return FRowCols >= 0; }
    // Gives the held record back (nullptr for a row without cells); the
    // item is then empty.
    std::unique_ptr<TStringGrid::TRowData> TakeRow();

private:
    // Held in the item: hiding many rows costs one allocation per row less.
    mutable TStringList FItems;
    mutable std::unique_ptr<TStringGrid::TRowData> FRow;
    // The real columns of the held record; -1 when the list holds the row.
    mutable int FRowCols = -1;
};

class TGridItems : public TCollection {
    KAL_CLASS(TGridItems, TCollection)
public:
    TGridItems() : TCollection(TCollection::ItemClass<TGridItem>()) {}
    TGridItem* Item(int i) const { return static_cast<TGridItem*>(Items(i)); }
};

// ---------------------------------------------------------------------------
// Settings records
// ---------------------------------------------------------------------------

using TFooterCalcEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;

// The floating footer's settings. Visible and FooterStyle are read as
// fields; write them through their setters, which size and show the footer
// panel and hide the grid's last row from its body (ExGridFooter.cpp).
class TFloatingFooter : public TPersistent {
    KAL_CLASS(TFloatingFooter, TPersistent)
public:
    bool Visible = false;
    TFooterStyle FooterStyle = fsFixedLastRow;
    bool CalculateHiddenRows = true;
    TColor Color = clBtnFace;
    int Column = 0;
    QString CustomTemplate;
    bool ShowHint = false;
    // The panel's height reference: the grid's default row height.
    int Height = 22;
    // A line along the panel's top edge; clNone for none.
    TColor BorderColor = clNone;
    bool EnableCalculation = true;
    // The custom calculation when the grid's OnFooterCalc is unassigned.
    TFooterCalcEvent OnCalcFooter;
    // The grid that owns the footer; set by the grid.
    TExStringGrid* FGrid = nullptr;

    void SetVisible(bool v);
    void SetFooterStyle(TFooterStyle v);
    void SetHeight(int v);
    void SetBorderColor(TColor v);
    void SetColor(TColor v);
    void SetColumn(int v);
    void SetCustomTemplate(const QString& v);
    void SetShowHint(bool v);
    // The footer cell's calculation (acNONE without cell properties).
    TColumnCalcType GetColumnCalc(int ACol) const;
    // Stores it in the footer cell's properties and recalculates the column.
    void SetColumnCalc(int ACol, TColumnCalcType Value);
    // Repaints the footer panel.
    void Invalidate();
    void Assign(const TPersistent* Source) override;
};

class THTMLSettings : public TPersistent {
    KAL_CLASS(THTMLSettings, TPersistent)
public:
    THTMLSettings();
    ~THTMLSettings() override;
    bool AutoPreview = false;
    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    bool ConvertSpecialChars = false;
    bool ExportImages = true;
    QString FooterFile;
    QString HeaderFile;
    bool NonBreakingText = false;
    QString PrefixTag;
    bool SaveColor = true;
    bool SaveFonts = true;
    QString SuffixTag;
    QString Summary;
    QString TableStyle;
    int Width = 100;
    bool XHTML = false;
    // Explicit column widths for the cells' width attributes; owned.
    TIntList* ColWidths() const { return FColWidths; }
    // Every setting but ColWidths, from another THTMLSettings only.
    void Assign(const TPersistent* Source) override;

private:
    TIntList* FColWidths;
};

class TDragDropSettings : public TPersistent {
    KAL_CLASS(TDragDropSettings, TPersistent)
public:
    bool OleAcceptFiles = true;
    bool OleAcceptText = true;
    bool OleAcceptURLs = true;
    bool OleCopyAlways = false;
    bool OleDropTarget = false;
    bool OleDropSource = false;
    bool OleDropRTF = false;
    bool OleEntireRows = false;
    bool OleInsertRows = false;
    bool OleAppendRows = false;
    bool OleRemoveRows = false;
    bool OleColumnDragDrop = false;
    bool OleColumnsOnly = false;
    bool OleColumnReorder = false;
    bool ShowCells = true;
    void Assign(const TPersistent* Source) override;
    // The writers with side effects: the drop target is registered with
    // the grid's window or revoked; rich text is offered and accepted by
    // every grid of the program (ExGridDragDrop.cpp).
    void SetOleDropTarget(bool Value);
    void SetOleDropRTF(bool Value);
    TExStringGrid* Grid = nullptr;
};

class TDragScrollDelays : public TPersistent {
    KAL_CLASS(TDragScrollDelays, TPersistent)
public:
    int InitialDelay = 1000;
    int RepeatDelay = 250;
    void Assign(const TPersistent* Source) override;
};

class TDragScrollMargins : public TPersistent {
    KAL_CLASS(TDragScrollMargins, TPersistent)
public:
    int TopMargin = 50;
    int BottomMargin = 50;
    int LeftMargin = 50;
    int RightMargin = 50;
    void Assign(const TPersistent* Source) override;
};

class TDragScrollOptions : public TPersistent {
    KAL_CLASS(TDragScrollOptions, TPersistent)
public:
    bool Active = false;
    TDragScrollDelays* Delays() { return &FDelays; }
    TDragScrollMargins* Margins() { return &FMargins; }
    void Assign(const TPersistent* Source) override;

private:
    TDragScrollDelays FDelays;
    TDragScrollMargins FMargins;
};

class TBackGround : public TPersistent {
    KAL_CLASS(TBackGround, TPersistent)
public:
    int Top = 0;
    int Left = 0;
    TBackGroundDisplay Display = bdTile;
    TBackGroundCells Cells = bcNormal;
    TColor Color = clWindow;
    TColor ColorTo = clNone;
    // The picture behind the cells; empty for none.
    TBitmap* Bitmap() { return &FBitmap; }
    void SetBitmap(const TBitmap* v) { FBitmap.Assign(v); }

private:
    TBitmap FBitmap;
};

class TGridProgressAppearance : public TPersistent {
    KAL_CLASS(TGridProgressAppearance, TPersistent)
public:
    TColor CompletionSmooth = clLime;
    TColor Color = clRed;
    TColor TextColor = clBlack;
    bool Stacked = false;
    bool ShowPercentage = true;
    bool ShowBorder = false;
    TNotifyEvent OnChange;
};

class TShowModified : public TPersistent {
    KAL_CLASS(TShowModified, TPersistent)
public:
    bool Enabled = false;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TNotifyEvent OnChange;
    // Copies Color and Enabled without a notice.
    void Assign(const TPersistent* Source) override;

private:
    TColor FColor = TColor(0x00FFFF);
};

class TBalloonSettings : public TPersistent {
    KAL_CLASS(TBalloonSettings, TPersistent)
public:
    bool FInit = false;
    TColor BackgroundColor = clNone;
    TColor TextColor = clNone;
    int ReshowDelay = -1;
    int InitialDelay = -1;
    int AutoHideDelay = -1;
    uint8_t Transparency = 0;
    bool Enable() const { return FEnable; }
    // Stores and fires OnEnableChange.
    void SetEnable(bool v);
    TNotifyEvent OnEnableChange;
    void Assign(const TPersistent* Source) override;

private:
    bool FEnable = false;
};

class TSizeWhileTyping : public TPersistent {
    KAL_CLASS(TSizeWhileTyping, TPersistent)
public:
    bool Height = false;
    bool Width = false;
    void Assign(const TPersistent* Source) override;
};

class TGrouping : public TPersistent {
    KAL_CLASS(TGrouping, TPersistent)
public:
    TColor Color = clNone;
    TColor HeaderColor = clNone;
    TColor HeaderColorTo = clNone;
    TColor HeaderTextColor = clNone;
    bool HeaderUnderline = false;
    TColor HeaderLineColor = TColor(0xFF0000);
    int HeaderLineWidth = 2;
    TColor SummaryColor = clNone;
    TColor SummaryColorTo = clNone;
    TColor SummaryTextColor = clNone;
    bool SummaryLine = false;
    TColor SummaryLineColor = TColor(0xFF0000);
    int SummaryLineWidth = 2;
    bool MergeHeader = false;
    bool MergeSummary = false;
    bool Summary = false;
    bool ShowGroupCount = false;
    // Format of the count appended to a group header; empty: " (n)".
    QString GroupCountFormat;
    // A click on an expanded node row selects its rows.
    bool AutoSelectGroup = false;
    // A node row's check box checks or clears its rows, and a row's box
    // updates its node's three-state box.
    bool AutoCheckGroup = false;
    void Assign(const TPersistent* Source) override;
};

// A program registers one with the grid to hear of changed cell ranges.
class TGridChangeNotifier : public TComponent {
    KAL_CLASS(TGridChangeNotifier, TComponent)
public:
    explicit TGridChangeNotifier(TComponent* AOwner) : TComponent(AOwner) {}
    virtual void CellsChanged(const TRect&) {}
};

// ---------------------------------------------------------------------------
// Child windows made with the grid
// ---------------------------------------------------------------------------

// A child of the grid with nothing of its own yet.
class TGridChildControl : public TCustomControl {
    KAL_CLASS(TGridChildControl, TCustomControl)
public:
    explicit TGridChildControl(TComponent* AOwner) : TCustomControl(AOwner) {}
};

#define KAL_GRID_CHILD(Name)                                                                                 \
    class Name : public TGridChildControl {                                                                  \
        KAL_CLASS(Name, TGridChildControl)                                                                   \
    public:                                                                                                  \
        explicit Name(TComponent* AOwner) : TGridChildControl(AOwner) {}                                     \
    };

#undef KAL_GRID_CHILD

// The footer and search panels.
#include "gridpack/stringgrid/ExGridFooter.h"

class TExStringGrid;

// The grid's combo editor of the edComboEdit and edComboList cells: hands
// navigation keys back to the grid, commits through its validation and
// reports changes through the grid's events (ExGridCombo.cpp).
class TGridCombo : public TSgComboBox {
    KAL_CLASS(TGridCombo, TSgComboBox)
public:
    explicit TGridCombo(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    // False after Backspace or Delete: no look-up completion then.
    bool WorkMode = true;
    TNotifyEvent OnReturnKey;
    // Widens the dropped list to its widest item.
    void SizeDropDownWidth();
    // The item equal to the text, -1 for none.
    int IndexOfText(const QString& S) const;
    // The combo's own change handling, as when the user changed it.
    void ChangeNow() { Change(); }

protected:
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void WMChar(TMessage& M) override;
    void WMSysKeyDown(TMessage& M) override;
    void WndProc(TMessage& M) override;
    void Change() override;
    void DoExit() override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;

private:
    bool ListOnly() const;
    // With the grid's LookupHistory a new, non-empty text joins the items.
    void AddToHistory();
    // Commit-and-validate; false when the validation refused.
    bool CommitAndValidate(bool SelectAllOnRefusal, bool CancelAdvance);
    bool TabWithValidation(unsigned& Key, TShiftState Shift);
    void DoLookup();
    TExStringGrid* FGrid = nullptr;
};

// The editors of CONTROL tags in a cell's mark-up (ExGridControls.cpp).
class TControlEdit : public TMaskEdit {
    KAL_CLASS(TControlEdit, TMaskEdit)
public:
    explicit TControlEdit(TComponent* AOwner) : TMaskEdit(AOwner) {}

protected:
    void KeyPress(QChar& Key) override;
    void CMWantSpecialKey(TMessage& M) override;
};

class TControlCombo : public TSgComboBox {
    KAL_CLASS(TControlCombo, TSgComboBox)
public:
    explicit TControlCombo(TComponent* AOwner) : TSgComboBox(AOwner) {}

protected:
    void KeyPress(QChar& Key) override;
    void CMWantSpecialKey(TMessage& M) override;
};

// The grid's check-box editor of edCheckBox cells (ExGridCombo.cpp).
class TGridCheckBox : public TCheckBox {
    KAL_CLASS(TGridCheckBox, TCheckBox)
public:
    explicit TGridCheckBox(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }

protected:
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void WMLButtonDown(TMessage& M) override;
    void DoExit() override;
    // The press toggles: the library's own click-toggle is not wanted again.
    void Toggle() override {}

private:
    TExStringGrid* FGrid = nullptr;
};

// The edit-button, unit, button, date, rich-text and header-cell editors and
// the edit link.
#include "gridpack/stringgrid/ExGridEditors.h"

// The floating caption of a moved column or row: a bordered pop-up with the
// grid's header background and the caption (plain and centred, or mark-up
// when it holds a closing tag).
class THeaderDragButton : public TGridChildControl {
    KAL_CLASS(THeaderDragButton, TGridChildControl)
public:
    explicit THeaderDragButton(TComponent* AOwner) : TGridChildControl(AOwner) {}
    TExStringGrid* Grid = nullptr;
    QString Caption;
    // Kept, not used in drawing.
    bool Flat = false;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};
