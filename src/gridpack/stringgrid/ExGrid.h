#pragma once
// TExStringGrid, the string grid every table of the program stands on. On the
// base grid it adds the published settings with their defaults, the count
// setters that keep fixed rows and columns when a grid is emptied, the update
// lock, hidden columns (kept in the cell store, with a display/real index
// mapping), typed cell values, row selection and per-cell property accessors.
//
// The library's count setters are not virtual. The grid's own ColCount,
// RowCount, FixedCols, FixedRows, DefaultRowHeight and ScrollBars hide them
// for callers holding a TExStringGrid; the library's own count changes (its
// row and column deletion) bypass them.
//
// Index spaces: a display column is what the library shows (Col, ColCount);
// a real column also counts hidden columns. Cell texts and properties are
// kept under (real column, display row).
#include "gridpack/basegrid/BaseGrid.h"
#include "gridpack/basegrid/ExStyleIF.h"
#include "gridpack/basegrid/GridSettings.h"
#include "gridpack/basegrid/RorIdadGraphics.h"
#include "gridpack/stringgrid/ExCellGraphic.h"
#include "gridpack/basegrid/sgcheck.h"
#include "gridpack/stringgrid/ExGridOwned.h"
#include "gridpack/stringgrid/ExGridEditorHost.h"
#include "gridpack/stringgrid/ExGridTypes.h"
#include "gridpack/gridexchange/GridExchangeTypes.h"
#include "gridpack/gridexchange/GridDataTypes.h"
#include "gridpack/gridexchange/GridDropLists.h"
#include "gridpack/gridexchange/GridPrintTypes.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"

#include <algorithm>
#include <array>
#include <memory>
#include <cstdint>
#include <vector>

class TExInplaceEdit;
class TGridSpin;
class TStream;
class TCustomForm;
class TToolTip;

// The grid's own errors (bad typed values, invalid row or column access).
KAL_DECLARE_EXCEPTION(DOriVireZuvez, Exception)

enum TGridLook { glStandard, glSoft, glClassic, glQOR, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
// The grid styles (SetStyle), in the order of the style interface's TQORStyle.
enum TExGridStyle {
    gsOffice2003Blue, gsOffice2003Silver, gsOffice2003Olive, gsOffice2003Classic, gsOffice2007Luna,
    gsOffice2007Obsidian, gsWindowsXP, gsWhidbey, gsCustom, gsOffice2007Silver, gsWindowsVista, gsWindows7,
    gsTerminal, gsOffice2010Blue, gsOffice2010Silver, gsOffice2010Black
};
// The XP colour schemes (SetTheme).
enum TXPColorScheme { xpNone, xpBlue, xpGreen, xpGray, vistaAero };
// The identifier text of a look ("glXP" ...) and its caption ("Windows XP"
// ...); glCustom has neither and leaves the output as it was.
void GetLookName(TGridLook Look, QString& Name);
void GetLookCaption(TGridLook Look, QString& Caption);

using TRowUpdateEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
using TSelectionChangedEvent =
    std::function<void(TObject* Sender, int ALeft, int ATop, int ARight, int ABottom)>;
using TFixedEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, TGridFixedCellEditor& AEditor,
                                           TStrings* Values)>;
using TCellsChangedEvent = std::function<void(TObject* Sender, const TRect& R)>;
using TCustomCellDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                                 TGridDrawState AState, const TRect& ARect, bool Printing)>;
using TRowDisjunctSelectEvent = std::function<void(TObject* Sender, int ARow, bool State, bool& Allow)>;
using TRowDisjunctSelectedEvent = std::function<void(TObject* Sender, int ARow)>;

// --- events of the cell appearance hooks (Sender first; note which take the
// row before the column)
enum TSearchAction { saFindFirst, saFindPrevious, saFindNext };
using TFixedDropDownClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu*& AMenu,
                                                    bool& KeepFixedCellHighlighted)>;
using TFooterPaintEvent = std::function<void(TObject* Sender, int AColumn, TCanvas* Canvas, TRect& ARect)>;
using TSearchEditChangeEvent = std::function<void(TObject* Sender, const QString& Value, bool& DefaultSearch)>;
using TIsFixedCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsFixed)>;
using TIsPasswordCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsPassword)>;
using TWordWrapEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& WordWrap)>;
using THasComboEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasComboBox)>;
using THasSpinEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasSpinEdit)>;
using TGetCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TGetColumnFilterEvent = std::function<void(TObject* Sender, int Column, TStrings* Filter)>;
using TGridWideHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, QString& hintstr)>;
using TCellCursorEvent = std::function<void(TObject* Sender, int ACol, int ARow, int X, int Y, TCursor& ACursor)>;
using TSearchFooterActionEvent = std::function<void(TObject* Sender, const QString& Value, int ACol, int ARow,
                                                    TSearchAction SearchAction)>;
using TRatingChangeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, double& NewRate, bool& Allow)>;
using TColorSelectEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TColor Color, const QString& Value)>;
using TImageSelectEvent = std::function<void(TObject* Sender, int ACol, int ARow, int Index)>;
using TCellBalloonEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& ATitle, QString& AText,
                                             TBalloonIcon& AIcon)>;

// Drag-scroll directions (a set of bits).
enum TDragScrollDirections : unsigned { dsdUp = 1, dsdDown = 2, dsdLeft = 4, dsdRight = 8 };
using TDragScrollEvent =
    std::function<void(TObject* Sender, int TopRow, int LeftCol, unsigned& DragScrollDir, bool& CanScroll)>;
// The selection listener a program registers with a grid.
class ITExStringGridSelect {
public:
    virtual ~ITExStringGridSelect() = default;
    virtual void SelectCell(int ACol, int ARow) = 0;
};
class TTimer;
struct TScrollInfo;
struct THTMLRenderParams;
// Events of the edit-button, unit, spin and date editors.
using TEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& S)>;
using TUnitChangedEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& NewUnit)>;
using TSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
using TFloatSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, double AValue, bool UpDown)>;
using TDateTimeSpinClickEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TDateTime AValue, bool UpDown)>;
using TCustomStrToDateEvent = std::function<void(TObject* Sender, const QString& Value, TDateTime& ADate)>;
// Events of the drop-down and date-and-time editors.
using TDropDownCellButtonEvent = std::function<void(TObject* Sender, int ACol, int ARow, int ButtonIndex)>;
using TColorSelectedEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TColor& Color, QString& Value)>;
using TImageSelectedEvent = std::function<void(TObject* Sender, int ACol, int ARow, int& Index)>;
using TDateTimeChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TDateTime ADateTime)>;

class TArrowWindow;
class TGridFocusWindow;
class TScrollBar;
class THTMLPictureCache;
class TImageList;
class TPictureContainer;
class TPopupMenu;
class TRichEdit;

// C1 over C2 by Percent per RGB channel, rounded; clNone takes the other.
TColor BlendColors(TColor C1, TColor C2, int Percent);
TColor MixSelectionColor(TColor SelColor, TColor CellColor, bool Mixer, int Factor);
// Registers the grid's own check-box and radio pictures ("SGCHK01" to
// "SGCHK08", "SGRAD01" to "SGRAD08") once.
void RegisterGridGlyphs();
// The conversion letter (lower case) of a format with exactly one conversion
// ("%%" counts as none), else the null character.
QChar SingleConversion(const QString& Fmt);

// Names registered once for every grid of the program.
unsigned GridEditDoneMsg();
unsigned GridDTPShiftFocusMsg();
unsigned GridCellsClipboardFormat();
// What an object in an interfaced cell (AddInterfacedCell) offers the grid:
// its size, whether it draws behind the text, and its drawing into the
// cell's rectangle grown by 1 at the left and top.
class IGridCellDrawer {
public:
    virtual ~IGridCellDrawer() = default;
    virtual TPoint CellDrawSize(int ACol, int ARow) = 0;
    virtual bool CellDrawBehindText() { return false; }
    virtual void CellDraw(TCanvas* Canvas, const TRect& R, TObject* Grid, bool Selected, int ACol, int ARow) = 0;
};
// The cursor shown over links in cells.
constexpr int GridLinkCursor = -21;
// The version of a system library, major in the high word; 6.10 for the
// common controls, -1 for a file without version information.
int GetModuleFileVersion(const QString& ModuleName);
// The common controls are 4.70 or later.
bool ComCtl32Above469();
class TExStringGrid;
class TGridDropTarget;

enum TClipOperation { coCut, coCopy };
// Drag and drop events of the grid: rows and columns are those under the
// mouse (-1 outside cells).
using TOleDragEvent = std::function<void(TObject* Sender, int ARow, int ACol, const QString& Data, bool& Allow)>;
using TOleDragStartEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TOleDragStopEvent = std::function<void(TObject* Sender, int OLEEffect)>;
using TOleDragOverEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TOleDropColEvent = std::function<void(TObject* Sender, int ARow, int ACol, int DropCol)>;
using TOleDroppedEvent = std::function<void(TObject* Sender, const TGridRect& ARect)>;

// The cells of the disjunct cell selection as (column, row) pairs, in the
// order they were picked; any row or column number is kept apart from any
// other.
class TSelectedCellList {
public:
    int Count() const { return int(FCells.size()); }
    // Raises EListError "List index out of bounds (<index>)".
    TGridCoord Cell(int Index) const;
    bool Has(int ACol, int ARow) const
    {
        return std::find(FCells.begin(), FCells.end(), TGridCoord{ACol, ARow}) != FCells.end();
    }
    // False when the cell is listed already.
    bool Add(int ACol, int ARow)
    {
        if (Has(ACol, ARow))
            return false;
        FCells.push_back(TGridCoord{ACol, ARow});
        return true;
    }
    // False when the cell was not listed.
    bool Remove(int ACol, int ARow)
    {
        const auto it = std::find(FCells.begin(), FCells.end(), TGridCoord{ACol, ARow});
        if (it == FCells.end())
            return false;
        FCells.erase(it);
        return true;
    }
    void Clear() { FCells.clear(); }

private:
    std::vector<TGridCoord> FCells;
};
// The grid unit's start-up (once per process; later calls only count) and
// clean-up (when the count comes back): the window-position hook, the
// classes for form streams and the shared names.
void GridUnitStartup();
void GridUnitCleanup();
bool GridUnitHookInstalled();
int GridUnitRegistrations();
class TWinControl;
class TControl;
// Moves the focus window of FocusTrackingGrid over its cell.
void WindowPosHookProc(TControl* Changed);
// Adds the transparent extended style to a window.
void MakeWindowTransparent(TWinControl* Window);
// The grid whose focus window follows window moves, or none.
extern TExStringGrid* FocusTrackingGrid;
// The font name of the cell hint window.
extern QString HintFontName;

// ---------------------------------------------------------------------------
// Settings read by the data operations (sorting, column sizing, printing,
// filtering); data with their defaults.
// ---------------------------------------------------------------------------

enum TSortBlankPosition { blFirst, blLast };
enum TIndexSortKey { ikShift, ikCtrl };

class TSortSettings : public TPersistent {
    KAL_CLASS(TSortSettings, TPersistent)
public:
    // -1: not sorted.
    int Column = -1;
    bool Show = false;
    bool IgnoreBlanks = false;
    TSortBlankPosition BlankPos = blFirst;
    bool AutoSortForGrouping = true;
    bool Full = true;
    bool AutoFormat = true;
    bool IgnoreCase = false;
    bool NormalCellsOnly = false;
    bool FixedCols = false;
    // The fixed row whose clicks sort; write it through SetRow.
    int Row = 0;
    bool UndoSort = false;
    TSortDirection InitSortDirection = sdAscending;
    TIndexSortKey IndexSortKey = ikShift;
    bool SortOnVirtualCells = true;
    TSortDirection Direction = sdAscending;
    bool SingleColumn = false;
    bool IndexShow = false;
    TColor IndexColor = clYellow;
    bool AutoColumnMerge = false;
    TColor HeaderColor = clNone;
    TColor HeaderColorTo = clNone;
    TColor HeaderMirrorColor = clNone;
    TColor HeaderMirrorColorTo = clNone;
    // Every setting but IgnoreCase and SortOnVirtualCells (glyphs by copy).
    void Assign(const TPersistent* Source) override;

    // The sorted column's header glyphs and those of indexed columns: owned
    // bitmaps, empty at first; writing copies the bitmap (nullptr empties).
    TBitmap* UpGlyph() const { return FUpGlyph.get(); }
    TBitmap* DownGlyph() const { return FDownGlyph.get(); }
    TBitmap* IndexUpGlyph() const { return FIndexUpGlyph.get(); }
    TBitmap* IndexDownGlyph() const { return FIndexDownGlyph.get(); }
    void SetUpGlyph(const TBitmap* v);
    void SetDownGlyph(const TBitmap* v);
    void SetIndexUpGlyph(const TBitmap* v);
    void SetIndexDownGlyph(const TBitmap* v);

    // The owning grid (set by the grid); the operations below need it.
    TExStringGrid* FGrid = nullptr;
    // A value above the grid's FixedRows raises "Sort row should be smaller
    // than number of fixed rows" and is not stored.
    void SetRow(int v);
    // "u<col>", "d<col>" or "i;" and the index list's text.
    QString SaveToString() const;
    // Sets Show, reads the text and sorts (plain or indexed); a text of one
    // character raises "Invalid sort settings specifier".
    void LoadFromString(const QString& Value);
    // Not sorted any more: Column -1, no index; the header row repaints.
    void Remove();
    void ToggleDirection() { Direction = Direction == sdAscending ? sdDescending : sdAscending; }

private:
    std::unique_ptr<TBitmap> FUpGlyph = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FDownGlyph = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FIndexUpGlyph = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FIndexDownGlyph = std::make_unique<TBitmap>();
};

class TColumnSize : public TPersistent {
    KAL_CLASS(TColumnSize, TPersistent)
public:
    bool Save = false;
    QString Key;
    QString Section;
    bool Stretch = false;
    int StretchColumn = -1;
    bool SynchWithGrid = false;
    bool SynchNormalCellsOnly = false;
    bool StretchAll = false;
    TAutoSizeRows Rows = arAll;
    TColumnSizeLocation Location = clRegistry;
    void Assign(const TPersistent* Source) override;
};

enum TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
enum TPrintBorders { pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical,
                     pbAroundHorizontal, pbCustom };
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };
enum TPrinterOrientation { poPortrait, poLandscape };

// How the grid prints: fonts, lines, margins and spacing (0.1 mm units), the
// page frame texts and the scaling of the columns to the page.
class TPrintSettings : public TPersistent {
    KAL_CLASS(TPrintSettings, TPersistent)
public:
    TPrintSettings();
    int FooterSize = 0;
    int HeaderSize = 0;
    TPrintPosition Time = ppNone;
    TPrintPosition Date = ppNone;
    QString DateFormat = QStringLiteral("dd/mm/yyyy");
    TPrintPosition PageNr = ppNone;
    TPrintPosition Title = ppNone;
    QString TitleText;
    TStringList* TitleLines() const { return FTitleLines.get(); }
    void SetTitleLines(const TStrings* v);
    TFont Font;
    TFont FixedFont;
    TFont HeaderFont;
    TFont FooterFont;
    TPrintBorders Borders = pbSingle;
    TPenStyle BorderStyle = psSolid;
    TColor BorderColor = clBlack;
    bool Centered = true;
    bool RepeatFixedRows = false;
    bool RepeatFixedCols = false;
    int LeftSize = 0;
    int RightSize = 0;
    int ColumnSpacing = 0;
    int RowSpacing = 0;
    int TitleSpacing = 0;
    TPrinterOrientation Orientation = poPortrait;
    QString PagePrefix;
    QString PageSuffix;
    int PageNumberOffset = 0;
    int MaxPagesOffset = 0;
    int FixedWidth = 0;
    int FixedHeight = 0;
    bool UseFixedHeight = false;
    bool UseFixedWidth = false;
    TFitToPage FitToPage = fpNever;
    QString JobName;
    QString PageNumSep = QStringLiteral("/");
    bool NoAutoSize = false;
    bool NoAutoSizeRow = false;
    bool PrintGraphics = false;
    bool UseDisplayFont = true;
    bool UseDefaultOrientation = false;
    bool FixedCellsAlways = false;
    void Assign(const TPersistent* Source) override;

private:
    std::unique_ptr<TStringList> FTitleLines;
};

// The filter conditions of a grid (TFilterData items).
class TFilterCollection : public TCollection {
    KAL_CLASS(TFilterCollection, TCollection)
public:
    explicit TFilterCollection(TExStringGrid* AGrid = nullptr)
        : TCollection(TCollection::ItemClass<TFilterData>()), FGrid(AGrid)
    {
    }
    TPersistent* GetOwner() const override;
    // A new item: foNONE when it is the only one, else foAND.
    TFilterData* Add();
    // A new item at the end; its Operation stays as made.
    TFilterData* Insert(int Index);
    TFilterData* Items(int Index) const { return static_cast<TFilterData*>(TCollection::Items(Index)); }
    void SetItems(int Index, const TFilterData* Value) { Items(Index)->Assign(Value); }
    // The first item of the column, or a new one for it.
    TFilterData* GetColFilter(int Col);
    // Deletes every item of the column and repaints its header cell.
    void RemoveColumnFilter(int Col);
    bool HasFilter(int Col) const;
    TExStringGrid* FGrid = nullptr;
};
using TFilter = TFilterCollection;

class TFilterDropDown : public TPersistent {
    KAL_CLASS(TFilterDropDown, TPersistent)
public:
    bool AutoSize = false;
    TColor Color = clWindow;
    int Height = 150;
    int Width = 150;
    bool AllSelectedAll = false;
    bool TextChecked = false;
    bool TextUnChecked = false;
    bool Columns = false;
    bool Sorted = false;
    QString AllText;
    QString EmptyText;
    // The list is as wide as the column and starts at its left edge.
    bool ColumnWidth = false;
    // Fired by Assign and when either glyph changes (the grid repaints).
    TNotifyEvent OnChange;
    void Assign(const TPersistent* Source) override;

    TFilterDropDown();
    // The filter button's glyph without and with an active filter: owned
    // bitmaps, empty at first; writing copies the bitmap (nullptr empties).
    TBitmap* Glyph() const { return FGlyph.get(); }
    TBitmap* GlyphActive() const { return FGlyphActive.get(); }
    void SetGlyph(const TBitmap* v);
    void SetGlyphActive(const TBitmap* v);

private:
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FGlyphActive = std::make_unique<TBitmap>();
};

// ---------------------------------------------------------------------------
// TExStringGrid
// ---------------------------------------------------------------------------

class TExStringGrid : public TBaseGrid, public IQORStyle, public IQORTones {
    KAL_CLASS(TExStringGrid, TBaseGrid)
public:
    static constexpr int MaxRealCols = 513;

    explicit TExStringGrid(TComponent* AOwner);
    ~TExStringGrid() override;
    void BeforeDestruction() override;

    // --- copying
    // From another string grid: settings, dimensions, widths, heights and
    // cells; any other source is ignored.
    void Assign(const TPersistent* Source) override;
    // Every cell text of another string grid; any other source is ignored.
    virtual void AssignCells(const TPersistent* Source);

    // --- published settings with their defaults
    TGridLook Look = glXP;
    QString FloatFormat = QStringLiteral("%.2f");
    QString CheckTrue = QStringLiteral("Y");
    QString CheckFalse = QStringLiteral("N");
    QChar PasswordChar = QLatin1Char('*');
    TColor URLColor = TColor(0xFF0000);
    bool ShowNullDates = true;
    bool FixedRowAlways = false;
    bool FixedColAlways = false;
    TRowUpdateEvent OnRowUpdate;

    // Plain settings: stored, read by the Parts of the grid that use them.
    bool AnchorHint = false;
    bool AutoNumAlign = false;
    bool AutoFilterUpdate = true;
    TEditorType DefaultEditor = edNormal;
    TColor DisabledFontColor = TColor(0xC0C0C0);
    bool EditWithTags = false;
    bool EnableBlink = false;
    bool EnableHTML = true;
    bool EnableWheel = true;
    bool EnhTextSize = false;
    bool EnhRowColMove = true;
    bool ExcelStyleDecimalSeparator = false;
    bool FilterActive = false;
    bool FilterDropDownAuto = false;
    QString FilterDropDownClear = QStringLiteral("(All)");
    bool FilterDropDownCheck = false;
    TFilterDropDownColumns FilterDropDownColumns = fdNormal;
    int FilterDropDownRow = 0;
    bool FilterNormalCellsOnly = true;
    bool FilterIncremental = false;
    bool FixedAsButtons = false;
    TColor HintColor = clInfoBk;
    bool HintShowCells = false;
    bool HintShowLargeText = false;
    THintShowLargeTextPos HintShowLargeTextPos = hpCell;
    bool HintShowSizing = false;
    bool HTMLHint = false;
    bool OemConvert = false;
    bool HideFocusRect = false;
    bool Hovering = false;
    THoverFixedCells HoverFixedCells = hfNone;
    TIntelliPan IntelliPan = ipVertical;
    bool IntelliZoom = true;
    QString InvalidEntryTitle;
    TInvalidEntryIcon InvalidEntryIcon = ieWarning;
    QString InvalidEntryText;
    bool Lookup = false;
    bool LookupCaseSensitive = false;
    bool LookupHistory = false;
    int MaxComboLength = 0;
    bool Multilinecells = false;
    bool ScrollSynch = false;
    TScrollHintType ScrollHints = shNone;
    bool SelectionRTFKeep = false;
    bool SizeWithForm = false;
    bool URLShow = false;
    bool URLShowInText = false;
    bool URLUnderlineOnHover = false;
    bool URLFull = false;
    bool URLEdit = false;
    bool UseInternalHintClass = true;
    QString ValidChars;
    QString XMLEncoding = QStringLiteral("ISO-8859-1");
    QChar Delimiter;
    bool NoDefaultDraw = false;
    bool JavaCSV = false;
    bool QuoteEmptyCells = true;
    bool AlwaysQuotes = false;
    bool SaveFixedCells = true;
    bool SaveFixedRows = false;
    bool SaveFixedCols = false;
    bool SaveHiddenCells = false;
    bool SaveVirtCells = true;
    bool SaveWithHTML = true;
    bool SaveWithRTF = false;
    bool LoadFirstRow = true;
    bool ClearTextOnly() const { return FClearTextOnly; }
    void SetClearTextOnly(bool v) { FClearTextOnly = v; }
    bool ExcelClipboardFormat = false;
    bool PrinterDriverFix = false;
    int AutoNumberStart = 0;
    int AutoNumberOffset = 0;
    TSortDirection AutoNumberDirection = sdAscending;
    TPoint XYOffset() const { return FXYOffset; }
    void SetXYOffset(TPoint v);
    void UpdateXYOffset(int X, int Y) { FXYOffset = TPoint{X, Y}; }
    bool XYOffsetTopLeftOnly = false;
    bool AlwaysValidate = false;
    bool SizeGrowOnly = false;
    int MaxRowHeight = 0;
    int MinRowHeight = 0;
    int MaxColWidth = 0;
    int MinColWidth = 0;
    bool UseDisabledFont = true;
    bool UseHTMLHints() const { return FUseHTMLHints; }
    void SetUseHTMLHints(bool v) { FUseHTMLHints = v; }
    bool AutoSize() const { return FAutoSize; }
    // Sizing the columns to their contents belongs to the autosize code;
    // here the switch is kept.
    void SetAutoSize(bool v) { FAutoSize = v; }
    QString OriginalCellValue;
    QString EditMask;
    bool NoImageAndText = false;
    bool Modified = false;
    int FindCol = 0;
    int FindRow = 0;
    bool IsThemed = false;
    bool IsPrintPreview = false;
    bool FitCellsInGrid = true;
    // Writing either value switches on the selection rectangle and resizer,
    // smart clipboard, editing, range selection and RangeSelectAndEdit.
    bool SpreadSheet() const { return FSpreadSheet; }
    void SetSpreadSheet(bool v);
    // Changed only; the search footer follows.
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    TColor SelectionRectangleColor = 0;
    int GroupColumn() const { return FGroupColumn; }
    QString IncrSearchText;
    TEditorType EditControl = edNormal;
    TEditorType CurrentEditor() const { return EditControl; }

    // Settings that repaint (changed only unless said).
    bool ShowDesignHelper() const { return FShowDesignHelper; }
    void SetShowDesignHelper(bool v);
    bool ActiveCellShow() const { return FActiveCellShow; }
    void SetActiveCellShow(bool v);            // repaints also when unchanged
    TColor ActiveCellColor() const { return FActiveCellColor; }
    void SetActiveCellColor(TColor v);         // repaints also when unchanged
    TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
    void SetActiveCellColorTo(TColor v);       // repaints also when unchanged
    TFont* ActiveCellFont() { return &FActiveCellFont; }
    void SetActiveCellFont(const TFont& v);
    TFont* FixedFont() { return &FFixedFont; }
    void SetFixedFont(const TFont& v);
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor v);
    TColor HighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(TColor v);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor v);
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor v);
    TColor SelectionMirrorColor() const { return FSelectionMirrorColor; }
    void SetSelectionMirrorColor(TColor v);
    TColor SelectionMirrorColorTo() const { return FSelectionMirrorColorTo; }
    void SetSelectionMirrorColorTo(TColor v);
    TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor v);
    bool SelectionColorMixer() const { return FSelectionColorMixer; }
    void SetSelectionColorMixer(bool v);
    int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    // Held to 0..100.
    void SetSelectionColorMixerFactor(int v);
    bool SelectionRectangle() const { return FSelectionRectangle; }
    void SetSelectionRectangle(bool v);
    bool SelectionResizer() const { return FSelectionResizer; }
    void SetSelectionResizer(bool v);
    bool ShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool v);
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment v);
    int MaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    // The text-drawing flag of VAlignment: 0 top, 4 centred, 8 bottom.
    unsigned FVAlign = 0;
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways v);
    TScrollType ScrollType() const { return FScrollType; }
    // ssFlat and ssEncarta take the flat bars; ssMetro (with a window)
    // replaces the window's bars by the thin scroll controls.
    void SetScrollType(TScrollType v);
    TColor ScrollColor() const { return FScrollColor; }
    void SetScrollColor(TColor v);
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v);
    bool ScrollProportional() const { return FScrollProportional; }
    void SetScrollProportional(bool v);
    TColor ArrowColor() const;
    void SetArrowColor(TColor v);
    bool FIsFlat = false;

    // --- owned objects (a write copies into them)
    TSortSettings* SortSettings() const { return FSortSettings; }
    TColumnSize* ColumnSize() const { return FColumnSize; }
    TPrintSettings* PrintSettings() const { return FPrintSettings; }
    TFilterCollection* Filter() const { return FFilter; }
    TFilterDropDown* FilterDropDown() const { return FFilterDropDown; }
    TFocusHelper* FocusHelper() const { return FFocusHelper; }
    void SetFocusHelper(const TFocusHelper* v) { FFocusHelper->Assign(v); }
    TSearchFooter* SearchFooter() const { return FSearchFooter; }
    TFloatingFooter* FloatingFooter() const { return FFloatingFooter; }
    THTMLSettings* HTMLSettings() const { return FHTMLSettings; }
    TDragDropSettings* DragDropSettings() const { return FDragDropSettings; }
    TDragScrollOptions* DragScrollOptions() const { return FDragScrollOptions; }
    TControlLook* ControlLook() const { return FControlLook; }
    TNavigation* Navigation() const { return FNavigation; }
    TBands* Bands() const { return FBands; }
    TSizeWhileTyping* SizeWhileTyping() const { return FSizeWhileTyping; }
    TMouseActions* MouseActions() const { return FMouseActions; }
    TGrouping* Grouping() const { return FGrouping; }
    TStringList* ColumnHeaders() const { return FColumnHeaders; }
    void SetColumnHeaders(const TStrings* v);
    TStringList* RowHeaders() const { return FRowHeaders; }
    void SetRowHeaders(const TStrings* v);
    TStringList* LookupItems() const { return FLookupItems; }
    void SetLookupItems(const TStrings* v);
    THTMLPictureCache* ImageCache() const { return FImageCache; }
    TSortIndexList* SortIndexes() const { return FSortIndexes; }
    TIntList* MergedColumns() const { return FMergedColumns; }
    TIntList* IgnoreColumns() const { return FIgnoreColumns; }
    TBitmap* RowIndicator() const { return FRowIndicator.get(); }
    TBackGround* BackGround() const { return FBackGround; }
    TGridProgressAppearance* ProgressAppearance() const { return FProgressAppearance; }
    TSyncGrid* SyncGrid() const { return FSyncGrid; }
    TBalloonSettings* Balloon() const { return FBalloonSettings; }
    TShowModified* ShowModified() const { return FShowModified; }
    TStringList* FilterList() const { return FFilterList; }
    TFooterPanel* FooterPanel() const { return FFooterPanel; }
    TSearchPanel* SearchPanel() const { return FSearchPanel; }
    TControlList* CellControlList() const { return FControlList; }
    // References the grid does not own; cleared when the component goes.
    TImageList* GridImages = nullptr;
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* v);
    ROroRoravaZuzoZovor* CellChecker() const { return FCellChecker; }
    void SetCellChecker(ROroRoravaZuzoZovor* v);
    TPopupMenu* FixedDropDownMenu() const { return FFixedDropDownMenu; }
    void SetFixedDropDownMenu(TPopupMenu* v);

    // Editors and windows made with the grid (none while designing).
    TGridCombo* EditCombo = nullptr;
    TGridTransEdit* EditTrans = nullptr;
    TGridTransCombo* ComboTrans = nullptr;
    TGridCheckBox* EditCheck = nullptr;
    TGridEditBtn* EditBtn = nullptr;
    TGridUnitEditBtn* UnitEditBtn = nullptr;
    TGridButton* GridButton = nullptr;
    THeaderDragButton* MoveButton = nullptr;
    TControlEdit* FEditControl = nullptr;
    // The spin editor of the spin kinds, made on first use (ExGridSpin.cpp).
    TGridSpin* SpinEdit();
    TControlCombo* FComboControl = nullptr;
    TScrollBar* FScrollBar = nullptr;
    TScrollBar* FPaintScrollBar = nullptr;
    TGridFocusWindow* FFocusWindow = nullptr;
    TArrowWindow* ArwU = nullptr;
    TArrowWindow* ArwD = nullptr;
    TArrowWindow* ArwL = nullptr;
    TArrowWindow* ArwR = nullptr;
    TDropList* FDropList = nullptr;
    TDropCheckList* FDropCheckList = nullptr;
    THTMLHintWindow* FScrollHintWnd = nullptr;
    TGridCombo* Combobox() const { return EditCombo; }
    TGridEditBtn* BtnEdit() const { return EditBtn; }
    TGridUnitEditBtn* BtnUnitEdit() const { return UnitEditBtn; }
    TGridButton* Btn() const { return GridButton; }
    bool FIsWinXP = true;
    bool FIsWin7 = true;
    bool FIsWinVista = true;
    bool FIsComCtl6 = true;
    bool FLoaded = false;
    TCursor FOldCursor = crDefault;
    // The control's cursor, also remembered as the one to restore after a
    // temporary cursor.
    void SetCursor(TCursor v)
    {
        TBaseGrid::SetCursor(v);
        FOldCursor = v;
    }

    // --- version
    virtual unsigned GetVersionNr();
    virtual QString GetVersionString();
    QString Version();
    void SetVersion(const QString&) {}

    // --- dimensions (hide the library's setters)
    int ColCount() const { return TBaseGrid::ColCount(); }
    void SetColCount(int v);
    int RowCount() const { return TBaseGrid::RowCount(); }
    // With a visible floating footer the footer texts move to the new last row.
    void SetRowCount(int v);
    int FixedCols() const;
    void SetFixedCols(int v);
    int FixedRows() const;
    void SetFixedRows(int v);
    int DefaultRowHeight() const { return TBaseGrid::DefaultRowHeight(); }
    void SetDefaultRowHeight(int v);
    // The grid's own copy; ssBoth at construction.
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    // Widens column n (-1: the last) so the columns fill the client width,
    // when ColumnSize->Stretch is set. An index at or past ColCount raises
    // "Stretch column index out of range", whether stretching is on or not.
    void StretchColumnToFit(int n);
    void StretchRightColumn() { StretchColumnToFit(ColCount() - 1); }
    bool FIsColChanging = false;
    bool ColchgFlg = true;
    // The width of column 0; a write of the default column width is ignored,
    // any other gives every fixed column that width.
    int FixedColWidth() const { return ColWidths(0); }
    void SetFixedColWidth(int v);
    // Equal to DefaultRowHeight it re-applies that height to every row, else
    // every fixed row gets it.
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int v);
    bool WordWrapEx() const { return FWordWrapEx; }
    void SetWordWrapEx(bool v);
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int v);
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int v);
    int FFixedRowsMin = 1;
    int FFixedColsMin = 1;
    int FMaxRowCount = 0;
    int FMaxColCount = 0;
    int FMinRowHeight = 0;
    int FMinColWidth = 0;
    // Set by the mouse while a column or row is sized: which one, and its
    // size when the button went down.
    bool ColSized = false;
    bool Rowsized = false;
    int Colclicked = -1;
    int Rowclicked = -1;
    int Colclickedsize = 0;
    int Rowclickedsize = 0;
    bool ColSizeFlg = false;
    TEndColumnSizeEvent OnEndColumnSize;
    TEndRowSizeEvent OnEndRowSize;
    // Whether a client point lies on a sizing edge of a fixed cell.
    bool IsOverSizingEdge(int X, int Y);
    // Writes ColumnSize->Stretch and stretches when the grid is placed.
    void SetColumnStretch(bool v);
    // Hook: ColumnHeaders changed (before the texts reach the fixed row).
    virtual void SyncColumnHeaders() {}
    // Fire OnUpdateColumnSize.
    virtual void UpdateColumnSize(int ACol, int& AWidth);
    virtual void UpdateAutoColumnSize(int ACol, int& AWidth);
    TUpdateColumnSizeEvent OnUpdateColumnSize;

    // --- update lock: painting is skipped while the count is above 0
    void BeginUpdate();
    void EndUpdate();
    void StartUpdate() { ++FUpdateCount; }
    void ResetUpdate() { FUpdateCount = 0; }
    bool LockUpdate() const { return FUpdateCount != 0; }
    // The outermost EndUpdate repaints the whole grid.
    bool CellInvalidationDeferred() override { return FUpdateCount > 0; }
    void SetLockUpdate(bool v) { v ? BeginUpdate() : EndUpdate(); }
    int UpdateCount() const { return FUpdateCount; }
    bool FSelChange = false;

    // --- hidden columns (real indexes)
    void HideColumn(int ColIndex) { HideColumns(ColIndex, ColIndex); }
    void UnHideColumn(int ColIndex) { UnHideColumns(ColIndex, ColIndex); }
    void HideColumns(int FromCol, int ToCol);
    void UnHideColumns(int FromCol, int ToCol);
    void UnHideColumnsAll() { UnHideColumns(0, ColCount() + NumHiddenColumns()); }
    bool IsHiddenColumn(int ColIndex) const;
    int NumHiddenColumns() const { return FNumHidden; }
    int TotalColCount() override { return ColCount() + FNumHidden; }
    void SetColumnVisible(int ColIndex, bool Flag) { FVisibleCol[ColIndex] = Flag ? 1 : 0; }
    bool IsColumnVisible(int ColIndex) const { return FVisibleCol[ColIndex] != 0; }
    int RemapColToDispl(int RealCol) const;
    int RemapColToReal(int DisplCol) const;
    int DisplColIndex(int ACol) override { return RemapColToDispl(ACol); }
    int RealColIndex(int ACol) const { return RemapColToReal(ACol); }
    int RealCol() const { return RemapColToReal(Col()); }
    int AllColCount() const { return ColCount() + FNumHidden; }
    int AllColWidths(int ACol) const;
    void SetAllColWidths(int ACol, int v);
    bool IsIgnoredColumn(int ACol) const { return FIgnoreColumns->HasValue(ACol); }

    // --- hidden rows (real indexes unless said)
    void HideRow(int ARow) { HideRows(ARow, ARow); }
    void HideRows(int FromRow, int ToRow);
    // Faster: appends to the store; nothing when FromRow is hidden already.
    void HideRowsEx(int FromRow, int ToRow);
    // Display rows, ascending, hidden as one filter level.
    void HideRowList(TIntList* RowList);
    void UnHideRow(int ARow);
    void UnHideRows(int FromRow, int ToRow);
    void UnHideRowsAll();
    // Shows the rows of the last filter level (the caller lowers the level).
    void UnHideRowList();
    bool IsHiddenRow(int ARow) const;
    // The same through a list of the store's indexes, built into List (passed
    // empty) on the first call and reused; the caller frees it.
    bool IsHiddenRow(int ARow, TIntList*& List) const;
    int NumHiddenRows() const { return FGridItems->Count(); }
    int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
    int AllRowCount() const { return TotalRowCount(); }
    int RemapRowToReal(int DisplRow) const;
    int RemapRowToDispl(int RealRow) const;
    int RealRowIndex(int ARow) const { return RemapRowToReal(ARow); }
    int DisplRowIndex(int ARow) const { return RemapRowToDispl(ARow); }
    int RealRow() const { return RemapRowToReal(Row()); }
    // The store item of a hidden real row, else nullptr.
    TGridItem* HiddenRowItem(int ARow) const;
    TGridItems* GridItems() const { return FGridItems; }
    int FFilterLevel = 0;

    // --- row operations that move whole rows (texts, objects, heights)
    // Deletes Count display rows from Row; ShiftHidden also lowers the
    // indexes of hidden rows below and drops the cell controls of the rows.
    void DeleteRowRange(int Row, int Count, bool ShiftHidden);
    // Removes rows by moving the rows below up; the removed rows' cell
    // properties are freed.
    virtual void RemoveRowsEx(int RowIndex, int RCount);
    // Inserts Count empty rows of the default height at Row.
    void InsertRowRange(int Row, int Count, bool UpdateCellControls);
    // --- row and column operations (ExGridRowCol.cpp; display indexes)
    // Removes rows with their heights, properties, row flags, hidden-row
    // indexes and cell controls kept in step; nothing from RowCount on.
    virtual void RemoveRows(int RowIndex, int RCount);
    // Frees the rows' properties over the shown columns, then
    // DeleteRowRange with the hidden rows shifted.
    virtual void RemoveRowRange(int Row, int Count);
    virtual void InsertRows(int RowIndex, int RCount, bool UpdateCellControls);
    virtual void AppendRow();
    virtual void InsertAutoRow(int ARow);
    // The only normal row (without FixedRowAlways) is emptied, not removed.
    virtual void DeleteAutoRow(int ARow);
    TAutoDeleteRowEvent OnAutoDeleteRow;
    void RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked);
    // Matches without case whatever DoCase says.
    void RemoveDuplicates(int ACol, bool DoCase);
    void RemoveSelectedRows();
    void RemoveUnSelectedRows();
    void RemoveSelectedCols();
    void RemoveUnSelectedCols();
    void HideSelectedRows();
    void HideUnSelectedRows();
    // Raises "Invalid column accessed" and changes nothing when the grid
    // would pass MaxRealCols real columns.
    virtual void InsertCols(int ColIndex, int CCount);
    // The count is cut to the columns there are; hidden columns removed
    // leave the hidden count.
    virtual void RemoveCols(int ColIndex, int CCount);
    void AddColumn();
    void MergeCols(int ColIndex1, int ColIndex2, const QString& Separator);
    // Columns are real (display with SaveHiddenCells); over the whole grid
    // the has-properties flag is cleared.
    virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void ClearRows(int RowIndex, int RCount);
    void ClearCols(int ColIndex, int CCount);
    void ClearNormalRows(int RowIndex, int RCount);
    void ClearNormalCols(int ColIndex, int CCount);
    void ClearNormalCells();
    void Clear();
    void ClearAll();
    void ClearSelection();
    void ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor);
    virtual void TrimRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void TrimColumn(int ACol);
    void TrimRow(int ARow);
    void TrimAll();
    // The library's moves, with the cell controls following.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    void MoveRows(int FromIndex, int ToIndex, int Count);
    void ScrollInView(int ColIndex, int RowIndex);
    void MergeRowCells(int RowIndex, bool MainMerge);
    void SplitRowCells(int RowIndex);
    void SplitAllCells();
    bool IsWideCell(int ACol, int ARow);
    bool IsCell(const QString& SubStr, int& ACol, int& ARow);
    virtual void GetCalcCellText(int ACol, int ARow, QString& Text);

    // --- outline nodes (ExGridNodes.cpp). Rows named "real" count hidden
    // rows; the others are display rows.
    void AddNode(int ARow, int Span);           // real
    void RemoveNode(int ARow);                  // real
    void RemoveAllNodes();
    bool IsNode(int ARow);
    // True for a collapsed node.
    bool GetNodeState(int ARow);
    // Selects the rows of the node at NodeRow (its span), or flags them
    // selected with a disjunct row selection.
    void SelectGroupRows(int NodeRow);
    void SetNodeState(int ARow, bool Value);
    int GetNodeLevel(int ARow);
    int GetNodeSpan(int ARow);
    void SetNodeSpan(int ARow, int Span);
    void UpdateNodeSpan(int ARow, int Delta);
    int GetSubNodeCount(int ARow);
    void UpdateSubNodeCount(int ARow, int Delta);
    // With CellNode->ExpandOne the other expanded nodes collapse first.
    void ExpandNode(int ARow);                  // real
    void ExpandNodeRows(int ARow);              // real
    void ContractNode(int ARow);                // real
    void ExpandAll();
    void ContractAll();
    // The node row owning ARow (a top node row answers itself), -1 for none.
    int GetParentRow(int ARow);
    // Tree-line shape: 0 node row, 2 followed by the same or a deeper
    // level, 1 otherwise.
    int GetNodeSpanType(int ARow);
    bool IsOverNodeGlyph(int ARow, int X);
    // A row outside every node is inserted / removed as a normal row.
    void InsertChildRow(int ARow, int InsertAt); // real
    void RemoveChildRow(int ARow);              // real
    void InsertNormalRow(int ARow);             // real
    void RemoveNormalRow(int ARow);
    bool HasNodeRows() override;
    int GetRowNodeIndent(int ARow) override;
    int NumNodes() const { return FNumNodes; }
    void SetSummaryRow(int ARow);               // real
    bool IsSummary(int ARow);
    // The object stays the caller's.
    void AddInterfacedCell(int ACol, int ARow, TPersistent* AObject);
    void RemoveInterfacedCell(int ACol, int ARow);
    TPersistent* GetInterfacedCell(int ACol, int ARow);
    // Expand cells switch their row between two heights; ToggleExpand only
    // flips the state (ExpandClick sets the height).
    void AddExpand(int ACol, int ARow, int ExpandedHeight);
    void RemoveExpand(int ACol, int ARow);
    bool HasExpand(int ACol, int ARow);
    bool ToggleExpand(int ACol, int ARow);
    bool GetExpandState(int ACol, int ARow);
    int GetExpandHeight(int ACol, int ARow, bool Expanded);
    TRect GetExpandGlyphRect(int ACol, int ARow);

    // --- the selection as a set of cells, numbering, sizing to content,
    // exchanges (ExGridSelSize.cpp; display indexes)
    void SelectCells(int FromCol, int FromRow, int ToCol, int ToRow);
    // Marks for repainting the area from the top-left cell of R to its
    // bottom-right cell (the part of it in the client area).
    void InvalidateCellRange(const TGridRect& R);
    // False in fixed rows and columns; else by the disjunct selections or
    // the selection rectangle.
    bool IsSelected(int ACol, int ARow);
    bool GetSelectedCells(int ACol, int ARow);
    void SetSelectedCells(int ACol, int ARow, bool Value);
    // Without disjunct cell selection the list is first rebuilt from the
    // selection rectangle.
    int SelectedCellsCount();
    TGridCoord SelectedCell(int Index);
    void ClearSelectedCells();
    // Merged cells at the rectangle's corners count with their span.
    int SelectedColCount();
    // Never counts fixed footer rows.
    int SelectedRowCount();
    // -1 for a negative index or one past the selected rows.
    int SelectedRow(int i);
    // Tab between cells, CR LF between rows.
    QString SelectedText();
    void ClearModifiedRows();
    void AutoNumberCol(int ACol);
    void AutoNumberRow(int ARow);
    bool IsSortIndicatorRow(int ACol, int ARow);
    void FitColumnWidth(int ACol, bool GrowOnly);
    void AutoSizeCol(int ACol, int Padding = 0);
    void AutoSizeColumns(bool DoFixedCols, int Padding = 0);
    void FitRowHeight(int ARow, bool GrowOnly, int Extra);
    void AutoSizeRow(int ARow, int Padding = 0);
    void AutoSizeRows(bool DoFixedRows, int Padding = 0);
    // Extra + Lines x (h + h / 8), h the text height of "gh".
    void SizeRowToLines(int ARow, int Lines, int Extra);
    void AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY);
    // Fits the columns to the control's width; columns that fill it exactly
    // stay as they are.
    void AutoFitColumns(bool DoFixedCells);
    void SizeToCols();
    void SizeToRows();
    void SizeToCells();
    // Cell objects (check boxes, images) and cell controls go with their
    // texts.
    void SwapRows(int ARow1, int ARow2);
    void SwapColumns(int ACol1, int ACol2);
    virtual void SortSwapRows(int ARow1, int ARow2);
    int SortSwaps() const { return FSortSwaps; }
    // A picture of the cells ARect spans (cells also out of view), on a
    // borderless pop-up form owned by the grid that stays on top, never
    // takes the focus and shows at opacity 192: the image dragged along
    // with a selection. The caller places, shows and frees it.
    TCustomForm* SelectionToForm(const TGridRect& ARect);
    TColumnSizeEvent OnColumnSize;
    TRowSizeEvent OnRowSize;
    // The sizing of a fixed cell's column or row may be forbidden by
    // OnColumnSize / OnRowSize.
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                         const TGridDrawInfo& FixedInfo) override;

    // Fires OnCellsChanged and tells the registered notifiers.
    virtual void CellsChanged(const TRect& R);
    TCellsChangedEvent OnCellsChanged;
    void RegisterNotifier(TGridChangeNotifier* Item);
    void UnRegisterNotifier(TGridChangeNotifier* Item);
    // --- floating footer (ExGridFooter.cpp)
    // Footer calculation of one column, or of all with -1.
    virtual void CalcFooter(int ACol);
    virtual void DoCalcFooter(int ACol);
    // Repaints the footer panel.
    void UpdateFooter();
    // The hidden last row's text changed: the footer repaints.
    void LastRowChanged() override;
    TCanvas* FooterCanvas() const;
    TFooterCalcEvent OnFooterCalc;
    TFooterPaintEvent OnFooterPaint;
    TNotifyEvent OnCreatedFloatingFooter;
    // --- search panel (ExGridSearchPanel.cpp)
    // Takes the search footer's settings into the panel and shows or hides
    // it; runs on every change of SearchFooter and at the end of loading.
    void BuildSearchPanel();
    // The panel's handlers: search as you type, find next and previous,
    // highlight toggle, close.
    void SearchFooterEditChange(TObject* Sender);
    void SearchFooterForward(TObject* Sender);
    void SearchFooterBackward(TObject* Sender);
    void SearchFooterHilite(TObject* Sender);
    void SearchFooterClose(TObject* Sender);
    // The fixed-cell editor's text changed: OnEditChange with its cell.
    void FixedEditChanged(int ACol, int ARow, const QString& Value);
    TNotifyEvent OnCreatedSearchFooter;
    TSearchEditChangeEvent OnSearchEditChange;
    TNotifyEvent OnSearchFooterClose;
    // --- header filter buttons and drop-down menus (ExGridFilterButton.cpp)
    // A release over a filter button of the filter row opens that column's
    // filter list; any other release closes the plain list. True when a
    // list opened.
    bool FilterButtonRelease(int X, int Y);
    // Sizes, places and shows the filter list of real column RealCol below
    // the header cell rectangle R.
    void ShowFilterList(int RealCol, const TRect& R);
    // A press on a hovered header's drop-down part pops its menu up; true
    // when the press was taken (no further handling).
    bool HeaderDropDownPress(int ACol, int ARow, int X);
    TFixedDropDownClickEvent OnFixedDropDownClick;
    // The header drop-down part is held down.
    bool FDropDownDown = false;
    // Places every cell control on its cell.
    void CellControlsUpdate();
    bool FNilObjects = false;
    bool FBlockCellChange = false;

    // --- current cell (display indexes)
    // Fires OnRowUpdate when the row changed since it was last reported.
    void SetRow(int v);
    void SetCol(int v);
    void SetTopRow(int v);
    void MoveToCell(int ACol, int ARow) { MoveColRow(ACol, ARow, true, true); }
    void FocusCell(int ACol, int ARow);
    void GotoCell(int ACol, int ARow)
    {
        SetRow(ARow);
        SetCol(ACol);
    }
    // Focuses the grid, goes to the cell and opens its editor.
    void EditCell(int ACol, int ARow);
    int FOldRowSel = -1;
    bool IsLastRowAboveSearchPanel();
    void ScrollAboveSearchPanel();

    // --- typed values (real column, display row; the All variants real row)
    int GetInts(int ACol, int ARow);
    void SetInts(int ACol, int ARow, int Value);
    int GetAllInts(int ACol, int ARow);
    void SetAllInts(int ACol, int ARow, int Value);
    double GetFloats(int ACol, int ARow);
    void SetFloats(int ACol, int ARow, double Value);
    double GetAllFloats(int ACol, int ARow);
    void SetAllFloats(int ACol, int ARow, double Value);
    virtual void GetFloatFormat(int ACol, int ARow, QString& Fmt);
    TDateTime GetDates(int ACol, int ARow);
    void SetDates(int ACol, int ARow, TDateTime Value);
    TDateTime GetTimes(int ACol, int ARow);
    void SetTimes(int ACol, int ARow, TDateTime Value);
    QString GetCtrlVal(int ACol, int ARow, const QString& ID);
    void SetCtrlVal(int ACol, int ARow, const QString& ID, const QString& Value);
    QString GetStrippedCell(int ACol, int ARow);
    int GetLinesInCell(int ACol, int ARow);

    // --- merged columns: equal neighbouring cells of the listed columns
    // merge; a change of the list splits every column and merges again.
    void MergedColumnsChanged();
    void MergeColumnCells(int ColIndex, bool MainMerge);
    void SplitColumnCells(int ColIndex);

    // --- headers
    void ShowColumnHeaders();
    void ClearColumnHeaders();
    void ShowRowHeaders();
    void ClearRowHeaders();

    // --- selection
    // The library's selection; active-cell headers and the active row repaint.
    void SetSelection(const TGridRect& r);
    void HideSelection();
    void UnHideSelection();
    bool FSelHidden = false;
    TGridRect FOldSelection{};
    // Runs the cell-selection step for the current cell.
    void UpdateEditMode();
    void SelectRows(int RowIndex, int RCount);
    void UnSelectRows(int RowIndex, int RCount);
    void SelectCols(int ColIndex, int CCount);
    void UnSelectCols(int ColIndex, int CCount);
    void SelectRange(int FromCol, int ToCol, int FromRow, int ToRow);
    bool GetRowSelect(int ARow);
    void SetRowSelect(int ARow, bool Value);
    bool GetColSelect(int ACol);
    void SetColSelect(int ACol, bool Value);
    void ClearRowSelect();
    void ClearColSelect();
    int RowSelectCount() const;
    int ColSelectCount() const;
    void UpdateRowSelect(bool All);
    void UpdateColSelect(bool All);
    TIntList* SelectedRowList() const { return FSelectedRows; }
    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;
    // Repaints the selection for the glass looks, notes the change and fires
    // OnSelectionChanged.
    virtual void SelectionChanged(int ALeft, int ATop, int ARight, int ABottom);
    TSelectionChangedEvent OnSelectionChanged;
    // Fires OnFixedEdit with a copy of the editor kind.
    virtual void FixedEdit(int ACol, int ARow, TGridFixedCellEditor AEditor, TStrings* Values);
    TFixedEditEvent OnFixedEdit;
    // Opens the header-cell editor (edit or combo, by FixedColsEditor for
    // column 0 and FixedRowsEditor elsewhere) one pixel inside the cell.
    void EditFixedCell(int ACol, int ARow);
    int FFixedColEdit = -1;
    int FFixedRowEdit = -1;
    virtual void EditorCaretText(const QString& Text, int CaretPos, int SelStart);
    virtual void FilterDone();
    TNotifyEvent OnFilterDone;
    virtual void CanAddRow(bool& CanAdd);
    virtual void CanInsertRow(int ARow, bool& CanInsert);
    TCanAddRowEvent OnCanAddRow;
    TCanInsertRowEvent OnCanInsertRow;

    // --- row flags
    bool GetRowModified(int ARow) const;
    void SetRowModified(int ARow, bool Value);
    int ModifiedRowCount() const;
    bool GetRowEnabled(int ARow) const;
    void SetRowEnabled(int ARow, bool Value);
    bool FUseEnabledRows = false;
    TIntList* ModifiedRows() const { return FModifiedRows; }
    TIntList* EnabledRows() const { return FEnabledRows; }

    // --- repainting
    void RepaintRow(int ARow);
    void RepaintCol(int ACol);
    // Cell indexes; nothing when one is negative.
    void RepaintRect(const TRect& r);
    void RepaintActiveHeaders(int ACol1, int ARow1, int ACol2, int ARow2);
    // Exchanges raw texts and object slots; no hook, no repaint.
    void SwapCells(TGridCoord FromCell, TGridCoord ToCell);
    // Width and left offset of a column in the last print layout.
    int GetPrintColWidth(int ACol) const;
    int GetPrintColOffset(int ACol) const;

    // --- texts by real, sorted or load-time position
    QString GetCellsEx(int ACol, int ARow);
    void SetCellsEx(int ACol, int ARow, const QString& Value);
    QString GetGridCellsEx(int ACol, int ARow) const;
    void SetGridCellsEx(int ACol, int ARow, const QString& Value);
    QString GetWideCellsEx(int ACol, int ARow) { return GetCellsEx(ACol, ARow); }
    void SetWideCellsEx(int ACol, int ARow, const QString& Value) { SetCellsEx(ACol, ARow, Value); }
    QString GetWideCells(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
    void SetWideCells(int ACol, int ARow, const QString& Value) { SetCellEx(ACol, ARow, Value); }
    TObject* GetObjectsEx(int ACol, int ARow);
    void SetObjectsEx(int ACol, int ARow, TObject* Value);
    TObject* GetGridObjectEx(int ACol, int ARow) const;
    TIntList* SortRowXRef() const { return FSortRowXRef; }
    int SortedRowIndex(int ARow) const;
    int UnSortedRowIndex(int ARow) const;
    QString GetUnSortedCell(int ACol, int ARow);
    void SetUnSortedCell(int ACol, int ARow, const QString& Value);
    QString GetOriginalCells(int ACol, int ARow);
    void SetOriginalCells(int ACol, int ARow, const QString& Value);

    // --- the current cell
    virtual QString GetCurrentCell();
    virtual void SetCurrentCell(const QString& Value);
    virtual QString GetCurrentCellText();
    virtual void SetCurrentEditText(const QString& Value);

    // --- per-cell properties: getters answer the empty value without making
    // properties (but for WordWraps); setters make them and repaint the cell.
    TColor GetColors(int ACol, int ARow);
    void SetColors(int ACol, int ARow, TColor v);
    TColor GetColorsTo(int ACol, int ARow);
    void SetColorsTo(int ACol, int ARow, TColor v);
    TCellGradientDirection GetGradientDir(int ACol, int ARow);
    void SetGradientDir(int ACol, int ARow, TCellGradientDirection v);
    bool GetReadOnly(int ACol, int ARow);
    void SetReadOnly(int ACol, int ARow, bool v);
    bool GetWordWraps(int ACol, int ARow);
    void SetWordWraps(int ACol, int ARow, bool v);
    TColor GetFontColors(int ACol, int ARow);
    void SetFontColors(int ACol, int ARow, TColor v);
    TFontStyles GetFontStyles(int ACol, int ARow);
    void SetFontStyles(int ACol, int ARow, TFontStyles v);
    QString GetFontNames(int ACol, int ARow);
    void SetFontNames(int ACol, int ARow, const QString& v);
    int GetFontSizes(int ACol, int ARow);
    void SetFontSizes(int ACol, int ARow, int v);
    TAlignment GetAlignments(int ACol, int ARow);
    void SetAlignments(int ACol, int ARow, TAlignment v);
    void SetCellFont(int ACol, int ARow, const TFont& Font);
    // Row-wide writes over the real columns from FixedCols on.
    void SetRowColor(int ARow, TColor c);
    void SetRowColorTo(int ARow, TColor c);
    void SetRowFontColor(int ARow, TColor c);
    TControl* GetCellControls(int ACol, int ARow);
    void SetCellControls(int ACol, int ARow, TControl* Value);
    int FNumCellControls = 0;

    // Repaints the cell at the display column of real column ACol.
    void RepaintRealCell(int ACol, int ARow);

    // --- column order (load-time positions)
    void SetColumnOrder();
    int ColumnPosition(int ACol) const;
    int ColumnAtPosition(int APos);
    void ResetColumnOrder();
    int ColumnByHeader(const QString& AValue);
    TIntList* ColumnOrder() const { return FColumnOrder; }

    // --- zoom: adds x to every width and height, -10..10 in all
    void Zoom(int x);
    int ZoomFactor() const { return FZoomFactor; }

    // --- column widths at the end of loading
    void InitOrigColSizes();
    TIntList* OrigColSizes() const { return FOrigColSizes; }
    int OrigWidth() const { return FOrigWidth; }

    // --- spreadsheets, documents and database tables through automation
    // servers ("Excel OLE server not found" / "Word OLE server not found"
    // when none can be had; the grid is then unchanged)
    TStringList* GetXLSSheets(const QString& FileName);
    void LoadFromXLS(const QString& Filename);
    void LoadFromXLSSheet(const QString& Filename, const QString& SheetName);
    void SaveToXLS(const QString& Filename, bool CreateNewSheet = true);
    void SaveToXLSSheet(const QString& Filename, const QString& SheetName);
    void SaveToDOC(const QString& Filename, bool CreateNewDocument = true);
    void AppendToDoc(const QString& Filename, const QString& Bookmark);
    void LoadFromMDBTable(const QString& Filename, const QString& Table);
    void LoadFromMDBSQL(const QString& Filename, const QString& SQL);
    void WriteXLSBlock(class TAutoObject* Sheet, int FirstRow);
    void WriteDocTable(const QString& Filename, bool CreateNew, bool Append, const QString& Bookmark);

    // --- printing and print preview (0.1 mm page units)
    void Print();
    void PrintRect(const TGridRect& Gridrect);
    void PrintSelection();
    void PrintSelectedRows();
    void PrintSelectedCols();
    void PrintPreview(TCanvas* Canvas, const TRect& Displayrect);
    void PrintPreviewRect(TCanvas* Canvas, const TRect& Displayrect, const TGridRect& Gridrect);
    void PrintPreviewSelection(TCanvas* Canvas, const TRect& Displayrect);
    void PrintPreviewSelectedRows(TCanvas* Canvas, const TRect& Displayrect);
    void PrintPreviewSelectedCols(TCanvas* Canvas, const TRect& Displayrect);
    void SetPreviewPage(int Value);
    void PrintDraw(TCanvas* Canvas, const TRect& DrawRect);
    void PrintDrawRect(TCanvas* Canvas, const TRect& DrawRect, const TGridRect& Gridrect);
    void SavePrintSettings(const QString& Key, const QString& Section);
    void LoadPrintSettings(const QString& Key, const QString& Section);
    int MapFontHeight(int pointsize) const;
    int MapFontSize(int Height) const;
    int PrintNrOfPages() const { return FPrintPageNum; }
    int PrintPageFrom() const { return FPrintPageFrom; }
    int PrintPageTo() const { return FPrintPageTo; }
    // The pages laid out and, unless Pages is negative, the page count.
    void SetPrintPageRange(int From, int To, int Pages = -1);
    int PrintColStart() const { return FPrintColStart; }
    int PrintColEnd() const { return FPrintColEnd; }
    int PrintPageWidth() const { return FPrintPageWidth; }
    TRect PrintPageRect() const { return FPrintPageRect; }
    // Places rotated text (Angle in degrees) in a cell: the rotated block's
    // origin for the text's extent and the cell's alignment.
    TPoint PlaceRotatedText(TCanvas* Canvas, const TRect& R, const QString& Text, int Angle, TAlignment HA,
                            TVAlignment VA);
    void ChangeScale(int M, int D) override;
    bool FastPrint = false;
    double Fontscalefactor = 1.0;
    TGridRect FPrintRect{};
    TRect PrevRect;
    TPrintStartEvent OnPrintStart;
    TPrintPageEvent OnPrintPage;
    TPrintPageDoneEvent OnPrintPageDone;
    TPrintCancelEvent OnPrintCancel;
    TPrintNewPageEvent OnPrintNewPage;
    TPrintColumnWidthEvent OnPrintSetColumnWidth;
    TPrintRowHeightEvent OnPrintSetRowHeight;
    TFitToPageEvent OnFitToPage;

    // --- what the data operations ask of the grid
    int MaxRowLineCount(int ARow);
    int GetXYOffsetWidth() const;
    int GetXYOffsetHeight() const;
    // The range file and clipboard writers export.
    int SaveStartCol() const;
    int SaveStartRow() const;
    int SaveEndCol() const;
    int SaveEndRow() const;
    int SaveColCount() const;
    int SaveRowCount() const;
    // The smallest rectangle of cells holding text; (0, 0, 0, 0) for none.
    virtual TGridRect UsedCells();
    void ScreenToCell(TPoint P, int& ACol, int& ARow);

    // --- painting and bounds
    void Paint() override;
    // Swallows the one request that follows an edit change.
    void Invalidate() override;
    bool FEditChange = false;
    // With IntegralHeight the height is cut to whole default rows.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v);
    // Shows and enables the window's scroll bars per ScrollBarAlways.
    void ApplyScrollBarAlways(bool Force);
    // The thin scroll controls of the Metro scroll type (right and bottom,
    // 6 pixels).
    void CreateScrollControls();
    void FreeScrollControls();
    TGridChildControl* VertScrollControl() const { return FVScrollCtl; }
    TGridChildControl* HorzScrollControl() const { return FHScrollCtl; }
    // The flat scroll bars; each does nothing until InitFlatScrollBars found
    // them.
    void InitFlatScrollBars();
    void UninitFlatScrollBars();
    void FlatSetScrollProp(int Index, int Value);
    void FlatSetScrollInfo(int Bar, const TScrollInfo& Info);
    void ShowFlatScrollBar(int Bar, bool Show);
    void SyncFlatScroll(int Bar);
    void SyncFlatVertScroll() { SyncFlatScroll(1); }
    void SyncFlatHorzScroll() { SyncFlatScroll(0); }
    void ApplyFlatScrollStyle();
    void ApplyFlatScrollColor();
    void ApplyFlatScrollWidth();
    void ApplyFlatScrollSettings();
    // Drag scrolling: a drag in a margin of DragScrollOptions starts a timer
    // (InitialDelay, then RepeatDelay) scrolling one step per tick.
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragScrollTimer();
    TTimer* DragTimer() const { return FDragTmr; }
    unsigned DragScrollDirection() const { return FDragScrollDirection; }
    TDragScrollEvent OnDragScroll;
    // The one selection listener; it hears the current column and the new
    // row whenever the current cell moves.
    void RegisterSelListener(std::shared_ptr<ITExStringGridSelect> AListener);
    void UnRegisterSelListener(const std::shared_ptr<ITExStringGridSelect>& AListener);
    void NotifySelListener(int ACol, int ARow);
    bool StyleActive() override { return FUseVCLStyles; }
    bool FUseVCLStyles = false;

    // The grid timer's identifier while the window exists, else 0.
    unsigned GridTimerID() const { return FGridTimerID; }
    static constexpr unsigned GridTimerIdent = 111;

    // =======================================================================
    // Cell graphics, check boxes, radio controls, images and the cell
    // appearance hooks (ExGridCells.cpp, ExGridImages.cpp, ExGridHooks.cpp)
    // =======================================================================

    // --- owned settings; writing a property copies into the owned object
    void SetControlLook(const TControlLook* v) { FControlLook->Assign(v); }
    TCellNode* CellNode() const { return FCellNode; }
    void SetCellNode(const TCellNode* v) { FCellNode->Assign(v); }
    void SetMouseActions(const TMouseActions* v) { FMouseActions->Assign(v); }

    // --- the grid's fixed-cell gradient colours (ControlLook hands its
    // values on to these). The first four store the RGB value and repaint.
    TColor QORGradientFrom() const { return FQORGradientFrom; }
    void SetQORGradientFrom(TColor v);
    TColor QORGradientTo() const { return FQORGradientTo; }
    void SetQORGradientTo(TColor v);
    TColor QORGradientMirrorFrom() const { return FQORGradientMirrorFrom; }
    void SetQORGradientMirrorFrom(TColor v);
    TColor QORGradientMirrorTo() const { return FQORGradientMirrorTo; }
    void SetQORGradientMirrorTo(TColor v);
    TColor QORGradientHoverFrom = clNone;
    TColor QORGradientHoverTo = clNone;
    TColor QORGradientHoverMirrorFrom = clNone;
    TColor QORGradientHoverMirrorTo = clNone;
    TColor QORGradientHoverBorder = clNone;
    TColor QORGradientDownFrom = clNone;
    TColor QORGradientDownTo = clNone;
    TColor QORGradientDownMirrorFrom = clNone;
    TColor QORGradientDownMirrorTo = clNone;
    TColor QORGradientDownBorder = clNone;


    // --- state the hooks keep for the editing engine
    // The cell as it was when it became current (StoreOldCell).
    int FOldCol = 0;
    int FOldRow = 0;
    QString FOldCellText;
    QString FOldCellTextWide;
    bool FOldModifiedValue = false;
    // Editing was switched off only because the current cell may not be
    // edited; the grid still counts as editable.
    bool FEditDisable = false;

    // --- cell drawing (ACol display): the look of a cell for the base
    // painter and the layers drawn over its background
    void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool Remap,
                             TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                             TFont* AFont, TAlignment& HA, TVAlignment& VA, bool& WW,
                             TCellGradientDirection& GD) override;
    void RenderCell(TCanvas* Canvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    // The 1-pixel frame in BorderColor over the window's outer ring; none
    // with Flat or the standard look.
    void PaintLookBorder(TCanvas* Canvas);
    // The library's sunken edge and scroll bars, then the look border while
    // no update is pending.
    void WMNCPaint(TMessage& M) override;
    // Inside the library's selection rectangle.
    bool IsCellSelected(int ACol, int ARow) const;
    TGridGradientEvent OnGetCellGradient;
    // Painting: over a cell's background, after its layers, after a paint.
    TCustomCellDrawEvent OnCustomCellBkgDraw;
    TCustomCellDrawEvent OnCustomCellDraw;
    TNotifyEvent OnPainted;
    TGridBorderPropEvent OnGetCellBorderProp;

    // --- cell content layout (ACol real unless said)
    // The text alignment a cell is painted with.
    void GetCellAlignment(int ACol, int ARow, TAlignment& HA, TVAlignment& VA);
    struct TCellGraphicInfo {
        TCellGraphic* Graphic = nullptr;
        int Width = 0;
        int Height = 0;
        TCellHAlign HAlign = haLeft;
        TCellVAlign VAlign = vaTop;
        // False for the kinds whose graphic replaces the text.
        bool TextToo = true;
    };
    TCellGraphicInfo GetCellGraphicInfo(int ACol, int ARow);
    // The room a graphic claims when a row or column is sized to fit.
    virtual TPoint CalcCellGraphicSize(int ACol, int ARow, int ReservedHeight);
    virtual TPoint GetCellGraphicSize(int ACol, int ARow) { return CalcCellGraphicSize(ACol, ARow, 0); }
    // The displayed text: the base hook, then the first address found
    // linked (URLShowInText), then a group header's count (ShowGroupCount).
    void GetDisplayText(int ACol, int ARow, QString& Value) override;
    // The printing variant of CalcCellGraphicSize: the graphic fitted into
    // W x H at Scale.
    virtual TPoint CalcCellGraphicFit(int ACol, int ARow, int W, int H, double Scale);
    // The text's extent in the cell's font; VS: the height wrapped to the
    // cell width; SB: room kept for a cell button.
    TSize GetCellTextSize(int ACol, int ARow, bool VS, bool SB);
    // The cell text as displayed, numbers formatted through OnGetFloatFormat.
    virtual QString GetFormattedCell(int ACol, int ARow);
    TFloatFormatEvent OnGetFloatFormat;
    // The font a cell is measured with (ACol display, RCol real).
    void GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState, TFont* AFont, TBrush* ABrush,
                           bool Remap);
    // Whether a click at client point (XPos, YPos) hits the cell's box.
    bool IsInCheckBox(int ACol, int ARow, int XPos, int YPos);

    // --- cell graphic record (real column, display row)
    virtual TCellType GetCellType(int ACol, int ARow);
    virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
    virtual TImageList* GetCellImageList(int ACol, int ARow);
    TIntList* GetCellImages(int ACol, int ARow);
    std::intptr_t GetCellImageKey(int ACol, int ARow);
    // Frees the cell's own graphic (never a shared one) and stores a fresh
    // record, keeping an empty cell's text empty.
    TCellGraphic* NewCellGraphic(int ACol, int ARow);
    bool RemoveCellGraphic(int ACol, int ARow);
    bool RemoveCellGraphicOfKind(int ACol, int ARow, TCellType Kind);
    // Kind test on the merge base cell.
    bool HasCellType(int ACol, int ARow, TCellTypes Kinds);
    bool HasDataGraphic(int ACol, int ARow);
    bool HasCellControl(int ACol, int ARow);

    // --- check boxes (real column; display row unless said)
    // Data: the cell text is the state. Raises "Invalid cell" outside the grid.
    void AddCheckBox(int ACol, int ARow, bool State, bool Data);
    void AddCheckBox(int ACol, int ARow, TCheckBoxState State);
    void AddCheckBoxColumn(int ACol, bool DefaultState = false, bool DataCheckBox = false);
    void AddTriStateCheckBoxColumn(int ACol, TCheckBoxState state);
    void RemoveCheckBox(int ACol, int ARow);
    void RemoveCheckBoxColumn(int ACol);
    bool HasCheckBox(int ACol, int ARow);
    bool HasDataCheckBox(int ACol, int ARow);
    // ARow is a real row.
    bool GetCheckBoxState(int ACol, int ARow, TCheckBoxState& state);
    bool GetCheckBoxState(int ACol, int ARow, bool& state);
    bool IsChecked(int ACol, int ARow);
    bool SetCheckBoxState(int ACol, int ARow, TCheckBoxState State);
    bool SetCheckBoxState(int ACol, int ARow, bool State);
    bool ToggleCheckBox(int ACol, int ARow) { return DoToggleCheckBox(ACol, ARow, false); }
    // The user's toggle; CheckEdit asks QueryCellEdit first (unless
    // ControlLook->CheckAlwaysActive).
    virtual bool DoToggleCheckBox(int ACol, int ARow, bool CheckEdit);
    void CheckAll(int ACol);
    void UnCheckAll(int ACol);
    bool ApplyCheckState(int ACol, int ARow, bool State);
    static TCheckBoxState BoolToCheckBoxState(bool bChecked) { return bChecked ? cbChecked : cbUnchecked; }
    virtual void CheckBoxChange(int ACol, int ARow, bool State);
    TCheckBoxClickEvent OnCheckBoxChange;

    // --- radio groups and radio buttons
    void AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl);
    TStrings* CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio);
    bool GetRadioIdx(int ACol, int ARow, int& IdxRadio);
    bool SetRadioIdx(int ACol, int ARow, int IdxRadio);
    TStrings* GetRadioStrings(int ACol, int ARow);
    bool IsRadio(int ACol, int ARow);
    void RemoveRadio(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctRadio); }
    void CycleRadioGroup(int ACol, int ARow, bool CheckEdit);
    void AddRadioButton(int ACol, int ARow, bool State = false);
    void AddRadioButtonColumn(int ACol);
    void RemoveRadioButton(int ACol, int ARow);
    void RemoveRadioButtonColumn(int ACol);
    bool HasRadioButton(int ACol, int ARow);
    bool IsRadioButtonChecked(int ACol, int ARow);
    bool SetRadioButtonState(int ACol, int ARow, bool State);
    void SetRadioButtonColumnIndex(int ACol, int Index);
    int GetRadioButtonColumnIndex(int ACol);
    virtual bool ClickRadioButton(int ACol, int ARow, bool CheckEdit);

    // --- pictures, images and other cell objects
    void AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val);
    TBitmap* CreateBitmap(int ACol, int ARow, bool transparent, TCellHAlign hal, TCellVAlign val);
    bool HasBitmap(int ACol, int ARow) { return GetBitmap(ACol, ARow) != nullptr; }
    TBitmap* GetBitmap(int ACol, int ARow);
    void RemoveBitmap(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctBitmap); }
    void AddPicture(int ACol, int ARow, TPicture* APicture, bool transparent, TStretchMode stretchmode,
                    int padding, TCellHAlign hal, TCellVAlign val);
    TPicture* CreatePicture(int ACol, int ARow, bool transparent, TStretchMode stretchmode, int padding,
                            TCellHAlign hal, TCellVAlign val);
    bool HasPicture(int ACol, int ARow) { return GetPicture(ACol, ARow) != nullptr; }
    TPicture* GetPicture(int ACol, int ARow);
    void RemovePicture(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctPicture); }
    void AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent,
                        TStretchMode stretchmode, int padding, TCellHAlign hal, TCellVAlign val);
    TFilePicture* CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int padding,
                                    TCellHAlign hal, TCellVAlign val);
    TFilePicture* GetFilePicture(int ACol, int ARow);
    void RemoveFilePicture(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctFilePicture); }
    void AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val);
    TIcon* CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val);
    void RemoveIcon(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctIcon); }
    // The image operations do nothing without GridImages.
    void AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
    bool GetImageIdx(int ACol, int ARow, int& idx);
    void SetImageIdx(int ACol, int ARow, int Idx);
    void RemoveImageIdx(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctImageList); }
    void AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
    bool HasDataImage(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeBit(ctDataImage)); }
    void RemoveDataImage(int ACol, int ARow);
    void AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val);
    void RemoveMultiImage(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctImages); }
    void AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor);
    void AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor, TColor BKTextColor);
    void AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                              TColor BKTextColor, const QString& Fmt, int Min, int Max);
    bool HasProgress(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeBit(ctProgress)); }
    void RemoveProgress(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctProgress); }
    void AddExProgress(int ACol, int ARow, int Min, int Max);
    void RemoveExProgress(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctXPProgress); }
    void AddProgressPie(int ACol, int ARow, TColor Color, int Value);
    void SetProgressPie(int ACol, int ARow, int Value);
    void RemoveProgressPie(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctProgressPie); }
    void AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor, bool ShowValue);
    void RemoveRangeIndicator(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctRangeIndicator); }
    void AddComment(int ACol, int ARow, const QString& Comment);
    void AddColorComment(int ACol, int ARow, const QString& Comment, TColor Color);
    bool IsComment(int ACol, int ARow, QString& comment);
    QString GetComment(int ACol, int ARow);
    void SetComment(int ACol, int ARow, const QString& value);
    void RemoveComment(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctComment); }
    void RemoveAllComments();
    void AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor, TCellHAlign hal,
                  TCellVAlign val);
    void SetShapeColor(int ACol, int ARow, TColor FillColor);
    TColor GetShapeColor(int ACol, int ARow);
    void RemoveShape(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctShape); }
    void AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor);
    bool HasRating(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeBit(ctRating)); }
    void RemoveRating(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctRating); }
    virtual bool RatingChange(int ACol, int ARow, double& NewRate);
    TRatingChangeEvent OnRatingChange;
    void AddScrollBar(int ACol, int ARow, bool AutoRange);
    bool HasScrollBar(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeBit(ctScrollbar)); }
    void RemoveScrollBar(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctScrollbar); }
    bool HasAutoRangeScrollBar(int ACol, int ARow);
    void SetScrollPosition(int ACol, int ARow, int Pos);
    int GetScrollPosition(int ACol, int ARow);
    void SetScrollProp(int ACol, int ARow, TScrollProp Prop);
    TScrollProp GetScrollProp(int ACol, int ARow);
    void AddMarker(int ACol, int ARow, int ErrPos, int ErrLen);
    void GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen);
    void RemoveMarker(int ACol, int ARow);
    void RemoveAllMarkers();
    void AddButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TCellHAlign hal, TCellVAlign val);
    void AddBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TBitmap* Glyph,
                      TCellHAlign hal, TCellVAlign val);
    TBitmap* CreateBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TCellHAlign hal,
                             TCellVAlign val);
    // ACol is a display column in the next four.
    void SetButtonText(int ACol, int ARow, const QString& Caption);
    QString GetButtonText(int ACol, int ARow);
    void PushButton(int ACol, int ARow, bool push);
    TRect GetCellButtonRect(int ACol, int ARow);
    bool HasButton(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeSet(ctButton, ctBitButton)); }
    void RemoveButton(int ACol, int ARow);
    void RemoveBitButton(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctBitButton); }
    void RemoveAllButtons();
    void AddBalloon(int ACol, int ARow, const QString& Title, const QString& Text, TBalloonIcon Icon);
    void RemoveBalloon(int ACol, int ARow);
    bool HasBalloon(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeBit(ctBalloon)); }
    bool IsBalloon(int ACol, int ARow, QString& Title, QString& Text, TBalloonIcon& Icon);
    void AddRotated(int ACol, int ARow, int16_t AAngle, const QString& s);
    void SetRotated(int ACol, int ARow, int16_t AAngle);
    bool IsRotated(int ACol, int ARow, int& aAngle);
    void RemoveRotated(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctRotated); }
    // Select handlers of the colour and image picker editors.
    virtual void ColorSelect(TColor Color, const QString& Value);
    virtual void ImageSelect(int Index);
    TColorSelectEvent OnColorSelect;
    TImageSelectEvent OnImageSelect;

    // --- cell appearance hooks (ACol real, ARow display); the column grid
    // overrides them and calls these versions
    virtual void RecalcColumn(int ACol, int ARow);
    virtual void StoreOldCell(int ACol, int ARow);
    virtual void CanEditCell(int ACol, int ARow, bool& CanEdit);
    virtual void SearchFooterAction(const QString& Value, int ACol, int ARow, TSearchAction SearchAction);
    virtual void ButtonClick(int ACol, int ARow);
    virtual void ExpandClick(int ACol, int ARow, bool Expanded);
    virtual void ComboCloseUp(int ARow, int ACol);
    virtual void ComboDropDown(int ARow, int ACol);
    virtual void GetCellCursor(int ACol, int ARow, int X, int Y);
    virtual void CellsLoaded();
    virtual void GridHint(int ACol, int ARow, QString& hintstr, QString& widehint);
    virtual void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
    virtual void GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
    virtual void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    virtual void GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    virtual void GetCellAlign(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
    virtual void GetCellFormat(int ACol, TSortStyle& AStyle, QString& aPrefix, QString& aSuffix);
    virtual void GetCellEditorType(int ACol, int ARow, TEditorType& AEditor);
    virtual void GetCellEditor(int ACol, int ARow, TEditorType& AEditor);
    virtual bool IsNoEditorCell(int ACol, int ARow);
    virtual void IsFixedCell(int ACol, int ARow, bool& IsFixed);
    virtual void QueryCellEdit(int ACol, int ARow, bool& CanEdit);
    virtual void IsPasswordCell(int ACol, int ARow, bool& IsPassword);
    virtual void GetCellWordWrap(int ACol, int ARow, bool& WordWrap);
    virtual bool HasComboBox(int ACol, int ARow);
    virtual bool HasSpinEdit(int ACol, int ARow);
    virtual void GetCheckTrue(int ACol, int ARow, QString& Value);
    virtual void GetCheckFalse(int ACol, int ARow, QString& Value);
    virtual bool GetColumnFilter(int Column);
    // The cell's font from its properties, or the grid's Font; one shared
    // object, not to be kept across calls.
    TFont* GetCellFont(int i, int j);
    // Click handler of the in-cell button editor.
    void GridButtonClick(TObject* Sender);
    // A new cell's properties start from what painting would show, without
    // freezing header, band, background or selection colours.
    void GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                         TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW,
                         TCellGradientDirection& GD) override;

    TGridColorEvent OnGetCellColor;
    TGridColorEvent OnGetCellPrintColor;
    TGridBorderEvent OnGetCellBorder;
    TGridBorderEvent OnGetCellPrintBorder;
    TGridAlignEvent OnGetAlignment;
    TGridFormatEvent OnGetFormat;
    TGetEditorTypeEvent OnGetEditorType;
    TIsFixedCellEvent OnIsFixedCell;
    TCanEditCellEvent OnCanEditCell;
    TIsPasswordCellEvent OnIsPasswordCell;
    TWordWrapEvent OnGetWordWrap;
    THasComboEvent OnHasComboBox;
    THasSpinEditEvent OnHasSpinEdit;
    TGetCheckEvent OnGetCheckTrue;
    TGetCheckEvent OnGetCheckFalse;
    TGetColumnFilterEvent OnGetColumnFilter;
    TGridHintEvent OnGridHint;
    TGridWideHintEvent OnGridWideHint;
    TCellCursorEvent OnGetCellCursor;
    TSearchFooterActionEvent OnSearchFooterAction;
    TButtonClickEvent OnButtonClick;
    TExpandClickEvent OnExpandClick;
    TClickCellEvent OnComboCloseUp;
    TClickCellEvent OnComboDropDown;
    // =======================================================================

    // =======================================================================
    // Looks, styles and the paint pass around the cells (ExGridStyles.cpp,
    // ExGridLooks.cpp, ExGridGraphics.cpp, ExGridBackground.cpp)
    // =======================================================================
    // Writing a look other than the current one applies its preset of
    // colours (none while loading, but the selection style), then the
    // scroll type, border style and border colour. Look itself may still be
    // stored directly, as the constructor does.
    void SetLook(TGridLook V);
    // A whole colour scheme: the selection colours and ControlLook reset
    // first, then the style's row of the style table.
    virtual void SetStyle(TExGridStyle AStyle);
    void SetTheme(TXPColorScheme Scheme);
    void SetComponentStyle(TQORStyle AStyle) override;
    void SetColorTones(const TColorTones& ATones) override;
    // Hands the style (or the tones) to every owned component that takes
    // one: the in-cell drop-down editors.
    virtual void ApplyStyleToEditors(TQORStyle AStyle);
    void ApplyTonesToEditors(const TColorTones& ATones);
    // The detected Office theme mapped to a component style, only when it
    // changed since the last call.
    void ApplyOfficeTheme();
    // The colours of an active application style; none here, so it only
    // clears the flag.
    void ApplyStyleColors();
    TQORStyle ComponentStyle() const { return FStyle; }
    TExGridStyle GridStyle() const { return FGridStyle; }
    const TColorTones& Tones() const { return FTones; }
    TOfficeTheme OldOfficeTheme() const { return FOldOfficeTheme; }

    // --- look-specific steps of RenderCell (R: the content rectangle)
    // The header background of a fixed cell for looks glQOR and later: the
    // hover and pressed header with its drop-down part, the active-cell
    // headers, the sorted column's header, the cell's own gradient.
    // R.Right loses the drop-down part when one is drawn.
    void PaintLookHeader(TCanvas* Canvas, int ACol, int ARow, TRect& R, TColor ColorTo, TColor Mirror,
                         TColor MirrorTo, TCellGradientDirection GD);
    // The pre-themed list-view header (glListView).
    void PaintListViewHeader(TCanvas* Canvas, const TRect& R);
    // The header edges by look over R (the cell grown by 1).
    void PaintLookHeaderEdges(TCanvas* Canvas, TRect R);
    // The always-visible combo and spin buttons of a normal cell at the
    // right of R; R.Right loses 16 pixels per button.
    void PaintAlwaysVisibleButtons(TCanvas* Canvas, int C, int ARow, bool Fixed, TRect& R);
    // The outline of a fixed right column (not glClassic, no 3-D look).
    void PaintFixedRightEdges(TCanvas* Canvas, int ACol, const TRect& R);
    // The remembered header cell under the mouse and whether its drop-down
    // part is pressed (set by the mouse code).
    bool FHeaderDropDownPressed = false;

    // --- cell graphics beyond images and check boxes: buttons, progress
    // bars, pies, range bars, comments, shapes, ratings, pictures, nodes.
    // G: the graphic rectangle, R: the cell's content rectangle.
    void PaintCellGraphicKind(TCanvas* Canvas, int C, int ARow, const TRect& R, const TRect& G,
                              const TCellGraphicInfo& info);
    // A push button, bit button or expand corner (D display column);
    // remembers the button's offset in the cell.
    void PaintCellButton(TCanvas* Canvas, int D, int ARow, const TRect& R, TRect G, TCellGraphic* g,
                         const std::function<bool()>& Enabled);
    // The cell whose button the mouse is over (display column), painted hot.
    TPoint FHoverButtonCell{-1, -1};

    // --- the paint pass around the cells
    // The client area beyond the last column and row: background gradient
    // or picture.
    void PaintGridBackground();
    void PaintGridPicture(const TRect& R);
    void TileGridPicture(const TRect& R);
    // The area PaintGridBackground paints, empty when the cells fill the
    // client area.
    TRect GridBackgroundRect();
    // The balloon tooltip's texts for a cell (its title cut to 97 + "..."
    // past 100 characters, its text to 2045 + "..." past 2048).
    void BalloonTexts(int ACol, int ARow, QString& Title, QString& Text, TBalloonIcon& Icon);
    TCellBalloonEvent OnCellBalloon;
    TPoint FLastBalloonPos{-1, -1};
    // After every paint of the grid.
    // A rich-text cell (ACol display) formatted into R, less the text
    // margins; a selected cell in the selection text colour unless
    // SelectionRTFKeep.
    void PaintRichTextCell(int ACol, int ARow, const TRect& R, TCanvas* Canvas);
    // The hidden rich editor that lays rich cells out (made on first use);
    // cells are loaded into it by CellToRich (ExGridEditLink.cpp).
    TRichEdit* CellRichEdit();
    TRichEdit* FCellRichEdit = nullptr;

    // =======================================================================
    // File and stream exchange (gridpack/gridexchange): the grid text file and
    // stream, CSV, aligned and fixed-width text. Cell columns given to the
    // hooks are real columns; the writers walk display columns, or every real
    // column with SaveHiddenCells.
    // =======================================================================
    // The export text of a cell (formatting, check-box states, mark-up), then
    // OnSaveCell.
    virtual void SaveCell(int ACol, int ARow, QString& Value);
    // OnLoadCell, then the raw cell text is stored.
    virtual void LoadCell(int ACol, int ARow, const QString& Value);
    // Empty here: 0 and the first row before an export, 5 and the row before
    // each row, 2 and -1 after it.
    virtual void ExportNotification(int AState, int ARow);
    TGridProgressEvent OnFileProgress;
    TCellSaveLoadEvent OnSaveCell;
    TCellSaveLoadEvent OnLoadCell;
    void SaveToFile(const QString& FileName, bool Unicode = false);
    void LoadFromFile(const QString& FileName);
    void SaveToStream(TStream* Stream);
    void LoadFromStream(TStream* Stream);
    void SaveToCSV(const QString& FileName, bool Unicode = false);
    void AppendToCSV(const QString& FileName, bool Unicode = false);
    void LoadFromCSV(const QString& FileName, int MaxRows = 0);
    void InsertFromCSV(const QString& FileName, int MaxRows = 0);
    void LoadFromCSVStream(TStream* AStream, int MaxRows = 0);
    void SaveToASCII(const QString& FileName, bool Unicode = false);
    void AppendToASCII(const QString& FileName, bool Unicode = false);
    void SaveToFixed(const QString& FileName, TIntList* positions);
    void LoadFromFixed(const QString& FileName, TIntList* positions, bool DoTrim = true, int MaxRows = -1);
    double CellToReal(int ACol, int ARow);
    // HTML table and XML record list.
    QString SaveToHTMLString(const QString& dir);
    void SaveToHTML(const QString& FileName, bool Show = false, bool Unicode = false);
    void AppendToHTML(const QString& FileName, bool Show = false, bool Unicode = false);
    void SaveToXML(const QString& FileName, const QString& ListDescr, const QString& RecordDescr,
                   TStrings* FieldDescr, bool ExportEmptyCells);
    void LoadFromXML(const QString& FileName, bool LevelToRow = false, bool LoadFieldDescr = false);
    // The binary cell stream (cells with their properties and graphics).
    void SaveToBinFile(const QString& FileName);
    void LoadFromBinFile(const QString& FileName);
    void SaveToBinStream(TStream* Stream);
    void SaveRectToBinStream(const TRect& Rect, TStream* Stream);
    void LoadFromBinStream(TStream* Stream);
    void LoadAtPointFromBinStream(const TPoint& Point, TStream* Stream);

    // =======================================================================
    // Clipboard (gridpack/gridexchange/ExGridClipboard.cpp): tab and line text
    // always, the top-left cell's rich text (AllowRTFClipboard) and the cell
    // stream as "TExStringGrid Cells" (AllowFmtClipboard); the grid as
    // "HTML Format". Pasting takes the richest form on the clipboard.
    // =======================================================================
    void CopySelectionToClipboard();
    void CopyToClipBoard();
    void CutToClipboard();
    void CutSelectionToClipboard();
    void CopyToClipBoardAsHTML();
    void PasteFromClipboard();
    void PasteSelectionFromClipboard();
    QString GetSelectionAsText();
    // Raw cells from the selection's top-left, growing the grid as needed;
    // no events, no editability test, no undo.
    void SetSelectionAsText(const QString& Value);
    // The clipboard text of a rectangle; Disjunct takes only the selected
    // rows or columns of a disjunct selection. When Exact is given it
    // receives the same block with each value as it was before the text's
    // line-break and quoting steps, escaped by EscapeControls, so that a paste
    // within the program gives the cells back equal; it is left empty when
    // no value holds a tab or a line break (the text then carries them all).
    QString ClipboardTextOf(const TGridRect& R, bool Disjunct, QString* Exact = nullptr);
    // Pastes the clipboard at a cell: the number of values pasted; PRows and
    // PCols receive the pasted block's size.
    int PasteClipboardData(int ACol, int ARow, int& PRows, int& PCols);
    // Tab and line text into editable cells with the paste events and undo:
    // the number of values read; Lines and LastLineValues receive the line
    // count and the values of the last line.
    // With Exact the values are escaped by EscapeControls and taken as they
    // stand once unescaped (the block a copy of this program made).
    int PasteTextBlock(int ACol, int ARow, const QString& Text, int& Lines, int& LastLineValues,
                       bool Exact = false);
    // The most values of a line, and +1 per line ended by CR, -1 per empty
    // line (the caller adds one).
    static void MeasureTextBlock(const QString& Text, int& Cols, int& Rows);
    // Hooks of a paste.
    virtual void PasteCell(int ACol, int ARow, const QString& Value);
    virtual void BeginPaste() {}
    virtual void EndPaste() {}
    virtual void PastedRange(TPoint Source, const TGridRect& Range, TClipOperation Op);
    virtual bool UseFmtClipboard();
    // Empty here: 0 before an import, 1 (all) or 3 (selection) and the row
    // per pasted line, 2 and -1 after it.
    virtual void ImportNotification(int AState, int ARow) { (void)AState, (void)ARow; }
    TClipboardCellEvent OnClipboardBeforePasteWideCell;
    TClipboardAfterPasteCellEvent OnClipboardAfterPasteWideCell;
    // The top-left cell and the kind of the last copy or cut.
    TPoint FClipTopLeft{0, 0};
    TClipOperation FClipLastOp = coCopy;
    bool FPasteAll = false;

    // =======================================================================
    // Drag and drop (gridpack/gridexchange/ExGridDragDrop.cpp)
    // =======================================================================
    // Registers the grid's drop target or revokes it.
    void SetOleDropTarget(bool Value);
    // A column about to be dragged in from an external column list.
    void OleColumnDragStart(int ACol, int AIndex, TWinControl* AList);
    // Starts a drag from a press on (ACol, ARow) (display column): the
    // column index from a header row with OleColumnDragDrop, else the
    // selection; false when nothing was started.
    bool OleDragStart(int ACol, int ARow);
    TGridDropTarget* GridDropTarget() const { return FGridDropTarget.get(); }
    bool OleDropTargetAssigned() const { return FOleDropTargetAssigned; }
    TOleDragEvent OnOleDrag;
    TOleDragStartEvent OnOleDragStart;
    TOleDragStopEvent OnOleDragStop;
    TOleDragOverEvent OnOleDragOver;
    TOleDragEvent OnOleDrop;
    TOleDragEvent OnOleDropFile;
    TOleDragEvent OnOleDropURL;
    TOleDropColEvent OnOleDropCol;
    TOleDroppedEvent OnOleDropped;
    // The selection a drag started from, the drag image and the external
    // column drag.
    TGridRect DropSelection{};
    TCustomForm* MoveForm = nullptr;
    int FOleDragCol = -1;
    int FOleDragIndex = 0;
    TWinControl* FOleDragList = nullptr;
    // A press on the selection waits for the mouse to move (a drag) or to
    // come up (a click).
    bool FSelectionClick = false;
    // Advanced by every drag-over step; sideways scrolling on even counts.
    int FOleScrollTick = 0;
    std::shared_ptr<TGridDropTarget> FGridDropTarget;
    bool FOleDropTargetAssigned = false;
    // Column widths and order in the store ColumnSize names, the column
    // state text and the visual-properties file.
    void SaveColSizes();
    void LoadColSizes();
    virtual void SaveColPositions();
    virtual void LoadColPositions();
    QString ColumnStatesToString();
    void StringToColumnStates(const QString& Value);
    void SaveVisualProps(const QString& FileName);
    void LoadVisualProps(const QString& FileName);

    // =======================================================================
    // Data operations (gridpack/gridexchange): sorting, filtering, column and row
    // calculations, find and replace, highlighting, marking, checking and
    // filling. Columns are real columns and rows display rows unless said.
    // =======================================================================
    // --- sorting (ExGridSort.cpp)
    // The normal rows on SortSettings' Column and Direction; nothing for a
    // column below 0. Fixed rows and fixed footer rows never move.
    virtual void QSort();
    // The normal rows on SortIndexes; an empty index raises "No indexes
    // specified for indexed sort" before a row moves.
    virtual void QSortIndexed();
    // Every row back to its place from before the first sort.
    virtual void QUnSort();
    void Sort(int Column, TSortDirection Direction);
    void SortByColumn(int Col);
    // An explicit row range, without the update bracket or footer handling.
    void QuickSort(int Col, int Left, int Right);
    void QuickSortIndexed(int Left, int Right);
    // Swaps two rows out of order on Col (ties go to the next column).
    bool SortLine(int Col, int ARow1, int ARow2);
    void InitSortXRef();
    // -1, 0 or 1; Ascending is the direction flag blanks are placed by.
    int CompareSortCells(int ACol, int Row1, int Row2, bool Ascending);
    int CompareSortRows(int ACol, int Row1, int Row2);
    int CompareIndexedRows(int Row1, int Row2);
    // Exchanges two rows for the sort: cells (or only the sort column's with
    // SingleColumn), heights, flags and the cross-reference entries.
    void SortExchangeRows(int ARow1, int ARow2);
    // The partition worker of the range sorts (pivot in the scratch row
    // RowCount - 2) and the stable finish of a range nested too deep.
    void QuickSortRows(int ACol, int L, int R, bool Indexed, int Depth);
    void MergeSortRows(int ACol, int L, int R, bool Indexed);
    // What a range sort learns of each cell text once (the text, its class,
    // its number, date, time and upper case), kept per row record and moved
    // with the rows; null outside a range sort, and when a text could change
    // as its row moves (display hooks, merged cells, one moving column).
    struct TSortKeys;
    TSortKeys* FSortKeys = nullptr;
    bool SortKeysApply(int L, int R);
    // CompareSortCells from those facts, for a column whose style the keys
    // cover.
    int CompareSortKeys(int ACol, int Row1, int Row2, bool Ascending);
    // The bracket of a whole-grid sort: scratch rows, column 0, current
    // row, scroll position, footers and the update lock, restored also when
    // Work raises. Work gets the first and last row to sort.
    void RunRowSort(const std::function<void(int, int)>& Work, bool ToBottom, bool SearchPanelRepaint);
    TCustomCompareEvent OnCustomCompare;
    TRawCompareEvent OnRawCompare;
    int Compares = 0;
    int Swaps = 0;
    int SortDir = 1;
    int SortRow = 0;

    // --- filtering (ExGridFilter.cpp)
    virtual bool MatchFilter(int ARow);
    void FilterRow(int ARow);
    // Hides the normal rows that fail, as one new filter level.
    void ApplyFilter();
    // Shows the rows of the newest level; false without levels.
    bool RemoveLastFilter();
    void RemoveAllFilters();
    // Writes FilterActive: on applies the filter, off shows the newest
    // level's rows again and lowers the level count.
    void SetFilterActive(bool v);
    // A value not smaller than FixedRows is ignored.
    void SetFilterDropDownRow(int v);
    // Incremental filter on a column (-1: the whole row).
    void NarrowDown(const QString& ACondition, int AColumn = -1);
    int FilterLevelCount() const { return FFilterLevel; }
    // The filter drop-down: the column whose list is open (-1: none), the
    // list filled for a column (the check list with FilterDropDownCheck),
    // and the two choice handlers the lists are wired to.
    int FFilterColumn = -1;
    void OpenFilterList(int Column);
    virtual void FilterSelect(int ItemIndex);
    virtual void FilterCheck();
    TFilterSelectEvent OnFilterSelect;
    TFilterCheckEvent OnFilterCheck;
    // FixedRows when the newest filter was applied; the last narrow-down text.
    int FFilterFixedRows = 0;
    QString FNarrowDownText;
    TCustomFilterEvent OnCustomFilter;
    TFilterProgressEvent OnFilterProgress;

    // --- grouping (ExGridGroup.cpp)
    // Orders the rows on the column (AutoSortForGrouping), puts a node row
    // before each run of equal texts (the value in column 1), a summary row
    // after it with Grouping->Summary, and takes the column out. A fixed
    // column does nothing; a grouped grid is ungrouped first.
    virtual void Group(int Colindex);
    // The flat table back: column, width, header and footer texts, values.
    virtual void UnGroup();
    // Splits every group once more on a second column / undoes that.
    virtual void SubGroup(int Colindex);
    virtual void SubUnGroup(int Colindex);
    // Method 1 sum, 2 average, 3 min, 4 max, 5 count, 6 custom, 7 distinct,
    // 8 standard deviation, into each expanded group's result row.
    void GroupCalc(int ACol, int Method);
    void GroupSum(int ACol);
    void GroupAvg(int ACol);
    void GroupMin(int ACol);
    void GroupMax(int ACol);
    void GroupCount(int ACol);
    void GroupCustomCalc(int ACol);
    void GroupDistinct(int ACol);
    void GroupStdDev(int ACol);
    // -1 ungroups, a value above 0 groups, 0 is ignored.
    void SetGroupColumn(int v);
    bool IsGrouping() const { return FIsGrouping; }
    // Sorts the child rows inside every expanded node of the deepest level.
    virtual void QSortGroup();
    virtual void QSortGroupIndexed();
    TColumnCalcEvent OnGroupCalc;

    // --- calculations (ExGridCalc.cpp); -1 for FromRow or ToRow means the
    // normal rows
    double ColumnSum(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnAvg(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnMin(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnMax(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnStdDev(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnDistinct(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnCustomCalc(int ACol, int FromRow = -1, int ToRow = -1);
    double RowSum(int ARow, int FromCol, int ToCol);
    double RowAvg(int ARow, int FromCol, int ToCol);
    double RowMin(int ARow, int FromCol, int ToCol);
    double RowMax(int ARow, int FromCol, int ToCol);
    TColumnCalcEvent OnColumnCalc;

    // --- find and replace (ExGridFind.cpp)
    // The next match after StartCell ((-1, -1): the first); (-1, -1) when
    // there is none.
    TPoint Find(TPoint StartCell, const QString& s, TFindParams FindParams);
    TPoint FindWide(TPoint StartCell, const QString& s, TFindParams FindParams);
    // The engine behind Find and FindWide (no notification, no scrolling).
    TPoint FindCellMatch(TPoint StartCell, const QString& s, TFindParams FindParams);
    TPoint FindFirst(const QString& s, TFindParams FindParams);
    TPoint FindNext();
    // Replaces in every matching cell in one pass; the count of cells.
    int Replace(const QString& OrigStr, const QString& NewStr, TFindParams FindParams);
    // The first row whose sort-column text starts with s (upper case), -1.
    int Search(const QString& s);
    QString SearchCache;
    QString SearchCacheWide;
    TPoint SearchCell{-1, -1};
    TFindParams FFindParams = 0;

    // --- highlight, mark, check and fill (ExGridTagFill.cpp)
    void HilightInCell(int Col, int Row, const QString& HiText, bool DoCase);
    void HilightInCol(int Col, const QString& HiText, bool DoFixed, bool DoCase);
    void HilightInRow(int Row, const QString& HiText, bool DoFixed, bool DoCase);
    void HilightInGrid(const QString& HiText, bool DoFixed, bool DoCase);
    void UnHilightInCell(int Col, int Row);
    void UnHilightInCol(int Col, bool DoFixed);
    void UnHilightInRow(int Row, bool DoFixed);
    void UnHilightInGrid(bool DoFixed);
    void MarkInCell(int Col, int Row, const QString& HiText, bool DoCase);
    void MarkInCol(int Col, const QString& HiText, bool DoFixed, bool DoCase);
    void MarkInRow(int Row, const QString& HiText, bool DoFixed, bool DoCase);
    void MarkInGrid(const QString& HiText, bool DoFixed, bool DoCase);
    void UnMarkInCell(int Col, int Row);
    void UnMarkInCol(int Col, bool DoFixed);
    void UnMarkInRow(int Row, bool DoFixed);
    void UnMarkInGrid(bool DoFixed);
    bool CheckCell(int Col, int Row);
    bool CheckCells(int FromCol, int FromRow, int ToCol, int ToRow);
    bool CheckCol(int Col, bool DoFixed);
    bool CheckRow(int Row, bool DoFixed);
    bool CheckGrid(bool DoFixed);
    void TextFill(bool DoFixed, const QString& Txt);
    void FormatFill(bool DoFixed, const QString& Fmt);
    void RandomFill(bool DoFixed, int Rnd);
    void LinearFill(bool DoFixed);

    // Runs the end-of-loading steps.
    void Loaded() override;

    // =======================================================================
    // Editing: cell selection, editor kinds, the in-place text editor,
    // commit and validation, edit advance (ExGridEdit*.cpp).
    // Indexes are display columns unless a name says real.
    // =======================================================================
    // The editor reaches SelectCell, HideInplaceEdit and the key handlers.
    friend class TExInplaceEdit;

    // --- settings (the others are with the grid's plain settings)
    // The typed characters of edValidChars cells when ValidChars is empty.
    TCharSet ValidCharSet;

    // --- events
    TCellValidateEvent OnCellValidate;
    TCellValidateWideEvent OnCellValidateWide;
    TNotifyEvent OnEditingDone;
    TEditCellDoneEvent OnEditCellDone;
    TRowChangingEvent OnRowChanging;
    TColChangingEvent OnColChanging;
    TCellChangingEvent OnCellChanging;
    TAutoAdvanceEvent OnAutoAdvance;
    TAutoAddRowEvent OnAutoAddRow;
    TAutoInsertColEvent OnAutoInsertCol;
    TEditChangeEvent OnEditChange;
    TGetEditorPropEvent OnGetEditorProp;
    TGetEditorPropIntEvent OnGetEditorPropInt;
    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardCut;
    TClipboardEvent OnClipboardPaste;
    TClipboardCellEvent OnClipboardBeforePasteCell;
    TClipboardAfterPasteCellEvent OnClipboardAfterPasteCell;
    TDblClickCellEvent OnDblClickCell;
    TClickSortEvent OnClickSort;
    TCheckBoxClickEvent OnCheckBoxClick;
    TPrintPageNumEvent OnPrintGetPageNum;
    TScrollCellEvent OnScrollCell;
    TCanShowFixedDropDownEvent OnCanShowFixedDropDown;
    TNotifyEvent FOnStartBlockFocus;
    TNotifyEvent FOnEndBlockFocus;

    // --- editing state
    bool EditMode = false;
    bool FEditing = false;
    bool FEntered = false;
    bool FSpecialEditor = false;
    bool FEditActive = false;
    bool FValidating = false;
    QString FCellCache;
    QChar FStartEditChar;
    bool FNoEditChange = false;
    bool FShowEditProcess = false;
    bool FLastValidation = true;
    QString FNewCellText;
    bool FGridModified = false;
    TWinControl* EditCtrl = nullptr;
    int FComboIdx = -1;
    bool FBlockKill = false;
    bool FBlockFocus = false;
    bool FForceSel = false;
    bool FDisableChange = false;
    int FAECol = 0;
    int FAERow = 0;

    // --- selection and the editor on the current cell
    bool IsEditable(int ACol, int ARow);
    bool CellEditAllowed(int ACol, int ARow);
    bool IsFixed(int ACol, int ARow) override;
    bool HasCellValidation();
    void ShowInplaceEdit();
    void HideInplaceEdit();
    void ShowCellEdit();
    void HideCellEdit();
    bool CanEditShow() override;
    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString& Value) override;
    QString GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    TExInplaceEdit* NormalEdit() const;
    static TCustomForm* FindParentForm(TControl* Control);

    // --- hooks kept with the engine
    virtual void CellChanging(int ACol, int ARow, bool& Allow);
    virtual void ClickSort(int ACol);
    virtual void CheckBoxClick(int ACol, int ARow, bool State);
    virtual void PrintGetPageNum(int PageNum, int PageColNum, QString& PageNumString);
    virtual void ScrollCell();
    virtual bool CanShowFixedDropDown(int ACol);
    virtual void StartBlockFocus();
    virtual void EndBlockFocus();
    virtual void SelectAllByKey(TGridRect& R);
    virtual void MouseActionsChanged(TObject* Sender);
    virtual void NavigationChanged(TObject* Sender);
    virtual void MouseActionsIsDesigning(TObject* Sender, bool& Designing);
    virtual void MouseActionsInvalidate(TObject* Sender);
    virtual void MouseActionsDisableEdit(TObject* Sender);
    virtual bool CellIsPassword(int ACol, int ARow);
    virtual void GetEditorProp(int ACol, int ARow, TObject* AEditLink);
    // Empty here: whether the editor's text is a formula.
    virtual void FormulaEditState(bool Active);

    // --- opening, closing, committing and validating
    // Opens the special (non-text) editor of kind EditControl.
    void OpenCellEditor(int ACol, int ARow);
    void CloseCellEditor(int ACol, int ARow);
    // ACol is a real column.
    virtual void StoreEditValue(int ACol, int ARow, const QString& Value);
    virtual bool ValidateCell(const QString& NewValue);
    virtual bool ValidateCellWide(const QString& NewValue);
    virtual void CancelCellEdit();
    void NotifyEditingDone(int ACol, int ARow);
    void DoneInplaceEdit(unsigned Key, TShiftState Shift);

    // =======================================================================
    // The edit-button, unit, button, date, rich-text and custom editors
    // (ExGridEditBtn.cpp, ExGridDatePicker.cpp, ExGridEditLink.cpp)
    // =======================================================================
    friend class TGridEditBtn;
    friend class TGridUnitEditBtn;
    friend class TGridButton;
    friend class TGridDatePicker;
    friend class TExRichEdit;
    friend class TEditLink;
    // Given the text of an edit-button or button editor, the text it shows
    // next (OnEllipsClick may change it).
    virtual QString EllipsClick(const QString& S);
    // The unit editor's notice of a newly chosen unit (OnUnitChanged).
    void UnitEditorChanged(TObject* Sender, const QString& NewUnit);
    // The date editor of edDateEdit, edDateEditUpDown and edTimeEdit, made
    // on first use.
    TGridDatePicker* EditDatePicker();
    TGridDatePicker* DateTimePicker() { return EditDatePicker(); }
    // The hidden rich editor that measures and converts, and the one that
    // edits edRichEdit cells; both made on first use.
    TExRichEdit* RichEdit();
    TExRichEdit* InplaceRichEdit();
    // The conversions between a cell's rich text and a rich editor; the
    // stored text holds one Windows-1252 character per byte of the RTF.
    void CellToRich(int ACol, int ARow, TCustomRichEdit* RichEditor);
    void RichToCell(int ACol, int ARow, TCustomRichEdit* RichEditor);
    QString RichToString(TCustomRichEdit* RichEditor);
    // The custom editor of edCustom cells (not owned; cleared when freed).
    TEditLink* EditLink() const { return FEditLink; }
    void SetEditLink(TEditLink* v);
    // Put in front of an in-place link control's window procedure: with
    // goTabs the control wants arrows, Tab and characters.
    void EditLinkWndProc(TMessage& M);
    TWndMethod FGridControlWndProc;
    bool InvokedFocusChange = false;
    // A refused Enter in an editor keeps the grid from advancing.
    bool FNoAutoAdvance = false;
    TEllipsClickEvent OnEllipsClick;
    TUnitChangedEvent OnUnitChanged;
    TSpinClickEvent OnSpinClick;
    TFloatSpinClickEvent OnFloatSpinClick;
    TDateTimeSpinClickEvent OnDateSpinClick;
    TDateTimeSpinClickEvent OnTimeSpinClick;
    TClickCellEvent OnDatePickerCloseUp;
    TClickCellEvent OnDatePickerDropDown;
    TCustomStrToDateEvent OnCustomStrToDate;
    TNotifyEvent OnRichEditSelectionChange;

protected:
    // The cell's background as the editors take it.
    TColor EditorCellColor(int RCol, int ARow);
    void OpenEditBtnEditor(const TRect& R, int RCol, int ARow, int ACol);
    void OpenUnitEditor(const TRect& R, int RCol, int ARow, int ACol);
    void OpenButtonEditor(const TRect& R, int ACol, int ARow);
    void OpenDateEditor(const TRect& R, int RCol, int ARow, int ACol);
    void CloseDateEditor(int RCol, int ARow);
    void OpenCustomEditor(const TRect& R, int RCol, int ARow, int ACol);
    void CloseCustomEditor(int RCol, int ARow);
    void OpenRichEditor(const TRect& R, int RCol, int ARow);
    void CloseRichEditor(int RCol, int ARow);
    void DateEditorChange(TObject* Sender);
    void DateEditorCloseUp(TObject* Sender);
    void DateEditorDropDown(TObject* Sender);
    TGridDatePicker* FEditDate = nullptr;
    TExRichEdit* FRichEdit = nullptr;
    TExRichEdit* FInplaceRichEdit = nullptr;
    TEditLink* FEditLink = nullptr;

    // =======================================================================
    // The editors of the drop-down kinds and of edDateTimeEdit
    // (ExGridDropDownEditors.cpp). Their controls are made on first use
    // through the factory registered for the kind, so the grid's own code
    // knows none of their classes; a kind without a factory opens no control.
    // =======================================================================
public:
    friend class TGridHost;
    // The control of Kind, made on first use (nullptr without a factory).
    TWinControl* KindEditor(TEditorType Kind);
    // The control of Kind when it was made, else nullptr.
    TWinControl* KindEditorIfMade(TEditorType Kind) const;
    // The value the date-and-time editor was opened with.
    TDateTime FOriginalDateTime = 0;
    TDropDownCellButtonEvent OnDropDownHeaderButtonClick;
    TDropDownCellButtonEvent OnDropDownFooterButtonClick;
    TColorSelectedEvent OnColorSelected;
    TImageSelectedEvent OnImageSelected;
    TDateTimeChangeEvent OnDateTimeChange;

protected:
    TWinControl* FKindEditors[int(edMaskEditBtn) + 1] = {};

public:

    // --- edit advance
    void AdvanceEditCell(int ACol, int ARow, bool ShowEditor, bool Recursing, bool Forward, bool AutoEdit,
                         bool Force);
    int FirstDataCol();
    int VisibleFixedRightCols();
    bool IsLastDataRow(int ARow) const { return ARow == RowCount() - FixedFooters() - 1; }

    // Appends one row at the end.
    void AddRow();

    // =======================================================================
    // Keyboard, typed characters, the Tab step, focus and the window
    // messages (ExGridKeys.cpp, ExGridChars.cpp, ExGridWndProc.cpp)
    // =======================================================================
    // After the library's navigation: row moving, edge wrap, disabled rows
    // and the synchronised grid. The in-cell editors hand keys on here.
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    // Escape, Enter and the incremental search; the editor forwards its key
    // presses here.
    void KeyPress(QChar& Key) override;
    // Runs the cell-selection step for the current cell.
    void Select() { SelectCell(Col(), Row()); }
    // The current row is the last data row (the row above a shown floating
    // footer).
    bool IsLastDataRow();
    // Down on the last data row appends a row (asking OnCanAddRow).
    void AutoAppendRow();
    // Hooks the in-place editor calls with each key; empty here.
    virtual void EditorKeyDown(unsigned& Key, TShiftState Shift);
    virtual void EditorWMKeyDown(TMessage& M);
    // Called after F2; empty here.
    virtual void DoF2Edit();
    // The Tab step; false only when the focus went on to the parent.
    bool MoveFromEditor(bool Backward);
    bool CanTabToCell(int ACol, int ARow);
    // The lowest / highest display column of the row that takes a Tab stop,
    // -1 for none.
    int FirstTabCol(int ARow);
    int LastTabCol(int ARow);
    // A left click on the cell without the mouse events; opens its editor.
    void SimulateCellClick(int ACol, int ARow);
    virtual void WrapToFirstRow();
    // Ends the fixed-cell sizing hover and the fixed-cell hover highlight.
    void ResetFixedCellHighlight();
    bool IsHoverFixedCell(int ACol, int ARow);
    bool HasCellBorders() override;
    // The focus glow around the cell rectangle R (client coordinates) while
    // an editor is open; Move follows the current cell, Hide ends it.
    void ShowFocusWindow(const TRect& R);
    void MoveFocusWindow();
    void HideFocusWindow();
    // Sets the cursor as the grid's own mouse handling does: the mouse
    // select mode stays (a change from outside resets it).
    void SetGridCursor(TCursor v);
    // The cells picked by the disjunct cell selection.
    TSelectedCellList* SelectedCells() { return &FSelectedCells; }
    TMouseSelectMode MouseSelectMode() const { return FMouseSelectMode; }
    void SetMouseSelectMode(TMouseSelectMode v) { FMouseSelectMode = v; }
    TRadioClickEvent OnRadioClick;
    TButtonClickEvent OnRadioButtonClick;
    TComboChangeEvent OnComboChange;
    TComboObjectChangeEvent OnComboObjectChange;

    // =======================================================================
    // Mouse buttons (ExGridMouse.cpp); the combo and check-box editors and
    // the combo-item API (ExGridCombo.cpp)
    // =======================================================================
    friend class TGridCombo;
    friend class TGridCheckBox;
    friend class TGridSpin;
    TCanClickCellEvent OnCanClickCell;
    TClickCellEvent OnClickCell;
    TClickCellEvent OnRightClickCell;
    TCheckBoxClickEvent OnCheckBoxMouseUp;
    TRadioMouseUpEvent OnRadioMouseUp;
    // The shared combo editor's items, for OnGetEditorProp or before editing.
    void ClearComboString();
    void AddComboString(const QString& S);
    void AddComboStringObject(const QString& S, TObject* AObject);
    bool RemoveComboString(const QString& S);
    bool SetComboSelectionString(const QString& S);
    void SetComboSelection(int Index) { FComboIdx = Index; }
    int GetComboCount();
    void SetComboIndex(int ACol, int ARow, int Index);
    int GetComboIndex(int ACol, int ARow);
    // The press state kept for the release.
    bool FDoOnClick = false;
    bool FMouseDownMove = false;
    bool FMouseKeepDown = false;
    bool FMouseDown = false;
    bool FDeselectState = false;
    bool FMouseResize = false;
    bool FDblClk = false;
    bool ColMoveFlg = false;
    // The editor that next takes the focus puts its caret under the mouse.
    bool LButFlg = false;
    TPoint FPushedCellButton{-1, -1};
    int Clickposx = 0;
    int Clickposy = 0;
    int Movecell = -1;
    int FMouseSelectStart = -1;
    // The character of the key with which an in-cell editor closed itself.
    QChar FCharOfClosedEditor;
    // The CONTROL tag being edited: its cell (real column), ID and TYPE.
    TPoint FCtrlXY{-1, -1};
    QString FCtrlID;
    QString FCtrlType;
    bool FCtrlEditing = false;
    TControlEvent OnControlClick;
    TControlEvent OnControlEditDone;
    TControlComboListEvent OnControlComboList;
    TControlComboSelectEvent OnControlComboSelect;
    // Opens the editor of an EDIT, PASSWORD, MASK or COMBO tag over its
    // rectangle (client coordinates).
    void StartControlEdit(const QString& Text, const QString& CtrlType, const QString& CtrlID,
                          const QString& CtrlValue, const TRect& ControlRect, int ACol, int RealCol, int ARow);
    // Writes the edited value back into the tag; OnControlEditDone.
    void EndControlEdit();
    void ControlComboSelect(TObject* Combo);
    // The keyboard goes to the cell's next editable CONTROL tag after
    // CtrlID, or back to the grid when there is none.
    void FocusNextCellControl(int ACol, int ARow, const QString& CtrlID);
    TControlEdit* ControlEdit() const { return FEditControl; }
    TControlCombo* ControlCombo() const { return FComboControl; }

protected:
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void WMRButtonDown(TMessage& M) override;
    void WMRButtonUp(TMessage& M) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Selects the item of the radio group of (RealCol, ARow) under the point
    // (X, Y relative to the cell's top-left corner).
    void ClickRadioGroupItem(int RealCol, int ARow, int X, int Y);
    // A press on a CONTROL tag of an HTML cell; true when it handled it.
    bool PressControlTag(int ACol, int ARow, int RealCol, int OrigCol, int OrigRow, int X, int Y);
    // The check-box road of a press; true when it handled the press.
    bool PressCheckBox(int ACol, int ARow, int RealCol, int X, int Y, bool CanEdit);
    void OpenComboEditor(const TRect& R, int RCol, int ARow, bool ListOnly);
    void OpenCheckEditor(const TRect& R, int ACol, int ARow);
    void OpenSpinEditor(const TRect& R, int RCol, int ARow, int ACol);
    void CloseSpinEditor(int RCol, int ARow);
    TGridSpin* FEditSpin = nullptr;
    // A press on a cell's spin button opens the editor and steps once.
    bool FSpinUpClick = false, FSpinDnClick = false;
    // The combo's change reported through OnComboChange and
    // OnComboObjectChange with the real current column.
    void ComboChanged(int Index, const QString& Text);
    // WM_COMMAND notices of the combo editor.
    void ComboCommand(unsigned Code);

private:
    // The render parameters that hit-test the point (X, Y) in the cell's
    // mark-up Text laid out in R on Canvas, with the images of the real
    // column RealCol.
    THTMLRenderParams MarkupHitParams(TCanvas* Canvas, const QString& Text, const TRect& R, int RealCol, int ARow,
                                      int X, int Y);

    // =======================================================================
    // Mouse movement, hover and cell hints (ExGridHints.cpp)
    // =======================================================================
public:
    // Fills the hint record for the cell under its cursor position: the
    // cell's text with HintShowCells, a comment, a large text, whatever
    // OnGridHint makes of it, and the mark-up hint window when needed.
    void ShowCellHint(QString& HintStr, THintInfo& HintInfo);
    // The base cell whose hint shows; (-1, -1) none.
    TPoint FLastHintPos{-1, -1};
    // The sizing hint (FScrollHintWnd) shows while a line is dragged with
    // HintShowSizing; the release hides it.
    bool FScrollHintShow = false;
    void HideSizingHint();

protected:
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& M) override;
    void CMHintShow(TMessage& M) override;

    // =======================================================================
    // Wheel (ExGridScroll.cpp)
    // =======================================================================
public:
    // Called after the grid's own wheel handling with the rows the current
    // row moved; Handled comes in true.
    virtual void AfterWheelScroll(int Delta, bool& Handled) { (void)Delta; (void)Handled; }

protected:
    // The wheel message (wheelmsg) as the window procedure handles it; false
    // when the parent claimed it and the class library should handle it.
    bool WheelMessage(TMessage& M);

    // =======================================================================
    // Scroll messages, proportional bars, top-left changes and panning
    // (ExGridScroll.cpp)
    // =======================================================================
public:
    // Thumb sizes proportional to the visible part of the rows and columns;
    // nothing while loading, without ScrollProportional or while zooming.
    void UpdateVertScrollProportional();
    void UpdateHorzScrollProportional();
    // The row (column) the thumb at Pos (0..127) stands for.
    int ThumbRow(int Pos) const;
    int ThumbCol(int Pos) const;
    // OnScrollHint(Sender, ARow, hintstr) may change the thumb's hint text.
    std::function<void(TObject* Sender, int ARow, QString& HintStr)> OnScrollHint;
    // The scroll hint window while the thumb is dragged (nullptr before).
    THTMLHintWindow* ScrollThumbHint() const { return FThumbHintWnd; }
    bool ScrollThumbHintShown() const { return FThumbHintShow; }
    // Middle-button panning: the origin, the pan timer and the kept cursor.
    static constexpr unsigned PanTimerIdent = 999;
    TPoint wheelpanpos{0, 0};
    unsigned wheeltimer = 0;
    TCursor prevcurs = crDefault;
    // Draws the origin glyph at wheelpanpos; invalidates its 32 x 32 square.
    void DrawPanOrigin();
    void InvalidatePanOrigin();

protected:
    void WMVScroll(TMessage& M) override;
    void WMHScroll(TMessage& M) override;
    void TopLeftChanged() override;
    // A background picture or gradient is drawn where the cells end: the
    // grid is then painted whole.
    bool ScrollMovesPixels() override;
    // WM_MBUTTONDOWN, the other buttons and keys while panning, and the pan
    // timer's tick; true when the message is used up.
    bool PanMessage(TMessage& M);
    void PanTick();

private:
    void ShowThumbHint(const QString& Prefix, int Number);
    void HideThumbHint();
    void RepaintFooterPanel();
    THTMLHintWindow* FThumbHintWnd = nullptr;
    bool FThumbHintShow = false;
    // Writing a thumb can show or hide a bar, which sizes the window again.
    bool FInProportional = false;
    int FOldLeftCol = -1;
    int FOldTopRow = -1;

    // =======================================================================
    // Header release and sort, fixed-cell editor, moved rows and columns,
    // the owner form and balloons (ExGridHeaderMouse.cpp)
    // =======================================================================
public:
    // The header-click sort of a release on (ACol, ARow) at (X, Y).
    void HeaderClickSort(int ACol, int ARow, int X, int Y, bool Moved);
    TCanSortEvent OnCanSort;
    // Milliseconds the last header-click sort took.
    unsigned SortTime = 0;
    // The balloon window: made once by BalloonInit, gone after BalloonDone.
    void BalloonInit();
    void BalloonDone();
    TToolTip* BalloonWindow() const { return FHToolTip; }
    // Balloon.Enable changed: the window is made or ended.
    void BalloonEnableChanged();
    // The pointer reached (ACol, ARow): the balloon of another cell pops and
    // the cell's own balloon, when it has one, is asked for.
    void BalloonAtCell(int ACol, int ARow, TPoint Screen);
    // A row move onto the last row under a fixed-last-row footer does
    // nothing.
    bool RowMoveOntoFooter(int ToIndex) const;
    // Guard of two grids moving each other's columns and rows.
    bool FSyncedMove = false;

protected:
    void RowMoved(int FromIndex, int ToIndex) override;
    // What follows a column move: the sort column and index, Col, the
    // footer and the synchronised grid.
    void ColumnMovedFollow(int FromIndex, int ToIndex, int RealFrom, int RealTo);
    void InstallOwnerFormResize(TComponent* AOwner);
    void RemoveOwnerFormResize();

private:
    TToolTip* FHToolTip = nullptr;
    int FOwnerResizeListener = 0;
    TCustomForm* FResizeForm = nullptr;

public:

    // --- key and window state
    // The selection when the key went down.
    TGridRect FMoveSelection{};
    // The current cell before the library's navigation moved it.
    TGridCoord FLastKeyCell{-1, -1};
    // The cell a Tab step started from, (-1, -1) between steps.
    TGridCoord FLastTabCell{-1, -1};
    // Grid timer ticks since the last typed search character.
    int FSearchTicks = 0;
    int FTimerTicks = 0;
    bool FBlinkPhase = false;
    int FPaintedOnce = 0;
    // Set around focus changes the grid makes itself.
    bool FFocusChangeGuard = false;
    bool FCursorChange = false;
    bool FCellSelectorMode = false;
    // Only while the base MouseDown runs for a press on the grid.
    bool FEditStart = false;
    TMouseSelectMode FMouseSelectMode = msNormal;
    // The sizing zones of fixed columns and rows under the mouse.
    bool FFixedColSizeHover = false;
    bool FFixedColSizeHoverAll = false;
    bool FFixedRowSizeHover = false;
    bool FFixedRowSizeHoverAll = false;
    bool FNoMouseLeave = false;
    TGridCoord FHoverFixedCell{-1, -1};
    // A cell shown pressed while Ctrl is held.
    bool FCtrlDown = false;
    TGridCoord FCtrlDownCell{-1, -1};

    // --- the moving mouse beyond hover and hints (ExGridMouseMove.cpp)
    // The press point within the pressed cell, for the floating move item.
    int MoveOfsX = 0;
    int MoveOfsY = 0;
    // A fixed column (row) being sized by the mouse (MouseActions'
    // SizeFixedCol, SizeFixedRow), and where its sizing line stands.
    bool FSizingFixed = false;
    bool FSizingFixedR = false;
    int FSizingFixedCol = -1;
    int FSizingFixedRow = -1;
    int FSizeFixedX = 0;
    int FSizeFixedY = 0;
    // The fixed-sizing zones under the pointer (FFixedColSizeHover,
    // FFixedRowSizeHover) as the mouse moves.
    void MoveFixedSizing(int ACol, int ARow, int X, int Y);
    // The release ending a fixed column or row sizing.
    void EndFixedSizing(int X, int Y);
    // LeftCol at the press, kept while the press is held (KeepHorizScroll).
    int FOldKeepLeftCol = -1;
    // The move target of the previous mouse event (insertion arrows).
    int FMoveColInd = -1;
    int FMoveRowInd = -1;
    // The selection last repainted by a header drag selection.
    TGridRect FSizeSelection{};
    // The cell with the shown in-cell scroll bar.
    int FScrollCol = -1;
    int FScrollRow = -1;
    // The hot header of the glListView look.
    TGridCoord FHotFixedCell{-1, -1};
    // The link under the pointer: its cell, link number and anchor.
    TPoint FHoverCell{-1, -1};
    int FHoverlink = -1;
    QString FAnchor;
    QString FLastAnchorHint;
    // The grid changed its own cursor (links, selection modes).
    bool Invokedchange = false;
    std::function<void(TObject*, int ARow, int ACol, const QString& Anchor)> OnAnchorEnter;
    std::function<void(TObject*, int ARow, int ACol, const QString& Anchor)> OnAnchorExit;
    std::function<void(TObject*, int ARow, int ACol, QString& Anchor)> OnAnchorHint;
    std::function<void(TObject*, int ACol, bool& Allow)> OnColumnMove;
    std::function<void(TObject*, int ACol, bool& Allow)> OnColumnMoving;
    std::function<void(TObject*, int ARow, bool& Allow)> OnRowMove;
    std::function<void(TObject*, int ARow, bool& Allow)> OnRowMoving;
    std::function<void(TObject*, int ACol, int ColumnSize)> OnColumnSizing;
    std::function<void(TObject*, int ARow, int RowSize)> OnRowSizing;
    // Mouse-move steps: the in-cell scroll bar, the hovered button, the
    // header drag selection, the start of a drag, the enhanced move's
    // feedback and the links under the pointer.
    void MoveCellScrollBar(int ACol, int ARow);
    void MoveHoverButton(int ACol, int ARow, int X, int Y);
    void MoveHeaderSelection(int ACol, int ARow, int Y, bool& ScrolledUp);
    bool MoveDragStart(int ACol, int ARow, int X, int Y, bool OverResizer);
    bool MoveEnhancedFeedback(int ACol, int ARow, int X, int Y);
    void MoveLinks(int ACol, int ARow, int X, int Y, bool& CursorSet);
    // The release ending an enhanced move: MoveColumn/MoveRow under the
    // drag cursor; true when a move ended.
    bool EndEnhancedMove(int ACol, int ARow);
    // The in-cell scroll bar's position reached its cell.
    void CellScrollBarScroll(TObject* Sender);
    // Shrinks R by 2 and moves its top-left corner to the point from which
    // Text (measured with an extra "w" in the grid font) turned by Angle
    // degrees counter-clockwise fits R by the alignments.
    void PlaceRotatedText(TRect& R, int Angle, TVAlignment VA, TAlignment HA, const QString& Text);
    // A ctRotated cell: its text turned by Angle, clipped to the cell.
    void PaintRotatedCell(TCanvas* Canvas, int C, int ARow, const TRect& Cell, int Angle, TVAlignment VA,
                          TAlignment HA);
    // WM_NOTIFY: the in-cell date picker's date change fires
    // OnDateTimeChange (0 for a date without year, month or day).
    void WMNotify(TMessage& M);

private:
    // The end of an enhanced row or column move, released or cancelled:
    // the move button is hidden and disabled, the floating caption form freed.
    void DropEnhancedMoveCaption();

protected:
    // The editing-done notice, the editors' WM_COMMAND notices, erasing,
    // the cursor-change notice and the grid timer's end.
    void WndProc(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void CMDialogChar(TMessage& M) override;
    void WMTimer(TMessage& M) override;
    void WMPaint(TMessage& M) override;
    void WMSize(TMessage& M) override;
    void WMSetCursor(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void CMColorChanged(TMessage& M) override;
    void CMCursorChanged(TMessage& M);
    void DoExit() override;
    bool SelectCell(int ACol, int ARow) override;
    TInplaceEdit* CreateEditor() override;
    // The current cell becomes the reference of the next edit.
    void Click() override;
    void DoEnter() override;

    bool Loading() const;
    // Starts the grid timer (every 500 ms) once the window is made.
    void CreateWnd() override;
    void DestroyWnd() override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    // Cells, visibility flags and stored widths move by real column.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    // The owner form's resize notice, handed on to the form's own handler.
    virtual void OwnerFormResize(TObject* Sender);

public:
    // Wheel set-up of the window: the wheel message and lines per notch.
    unsigned wheelmsg = 0;
    int wheelscrl = 0;
    bool wheelpan = false;
    bool ResizeAssigned = false;
    TNotifyEvent FOnResize;
    int PrevSizeX = 0;
    int PrevSizeY = 0;

protected:

private:
    TCellProperties* ExistingProps(int c, int r) { return HasCellProperties(c, r) ? GetCellProperties(c, r) : nullptr; }
    // The steps of a RowCount write after the library's count changed.
    void RowCountWritten(int OldCount, int NewCount);
    // Copies a display row's raw texts and objects (all real columns) into a
    // store item, and back.
    void RowToItem(int DisplRow, TGridItem* Item);
    void ItemToRow(TGridItem* Item, int DisplRow);
    // Sorted Idx values of the hidden-row store.
    std::vector<int> HiddenIdx() const;
    // Removes rows by the row shift; the heart of RemoveRowsEx.
    void RemoveRowsCore(int RowIndex, int RCount, bool ShiftHidden, bool FreeProps);
    // Shows the hidden rows of one run of consecutive indexes.
    void RestoreHiddenRun(std::vector<TGridItem*>& Run);
    void FontChanged(TObject*);
    std::vector<uint8_t>& RowSelectFlags() { return FRowSelect; }

    int FUpdateCount = 0;
    int FFixedRowHeight = 0;
    bool FWordWrapEx = true;
    unsigned FGridTimerID = 0;
    bool FIntegralHeight = false;
    int FNumHidden = 0;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    int FGroupColumn = -1;
    // The grouped column's width, header and footer texts; set while Group runs.
    int FGroupWidth = 0;
    QString FGroupHeader, FGroupFooter;
    bool FIsGrouping = false;
    void SortGroupRows(bool Indexed);
    // Many rows opened (places in the new numbering) or dropped (ascending)
    // in one pass when no row-bound side list needs the row-by-row path.
    bool RowSetShiftable();
    void OpenRowSet(const std::vector<int>& Places);
    void DropRowSet(const std::vector<int>& Rows);
    // Header or summary colours on a row / the merged row from FromCol on.
    void SetGroupRowLook(int ARow, bool Header);
    void ClearGroupRowLook(int ARow);
    void MergeGroupRow(int ARow, int FromCol, bool Header);
    int FZoomFactor = 0;
    int FOrigWidth = 0;
    bool FClearTextOnly = false;
    bool FUseHTMLHints = false;
    bool FAutoSize = false;
    TPoint FXYOffset{2, 2};
    TScrollStyle FScrollBars = ssBoth;
    TScrollType FScrollType = ssNormal;
    TColor FScrollColor = clNone;
    int FScrollWidth = 17;
    bool FScrollProportional = false;
    TScrollBarAlways FScrollBarAlways = saNone;
    bool FShowDesignHelper = true;
    bool FActiveCellShow = false;
    TColor FActiveCellColor = TColor(0x808080);
    TColor FActiveCellColorTo = clNone;
    TFont FActiveCellFont;
    TFont FFixedFont;
    TColor FHighlightColor = clHighlight;
    TColor FHighlightTextColor = clHighlightText;
    TColor FSelectionColor = TColor(0xEACAB6);
    TColor FSelectionColorTo = clNone;
    TColor FSelectionMirrorColor = clNone;
    TColor FSelectionMirrorColorTo = clNone;
    TColor FSelectionTextColor = 0;
    bool FSelectionColorMixer = false;
    int FSelectionColorMixerFactor = 50;
    bool FSelectionRectangle = false;
    bool FSelectionResizer = false;
    bool FShowSelection = true;
    TAlignment FDefaultAlignment = taLeftJustify;
    int FMaxEditLength = 0;
    bool FFlat = false;
    TVAlignment FVAlignment = vtaTop;
    TColor FBorderColor = TColor(0xB99D7F);
    std::array<uint8_t, MaxRealCols> FVisibleCol;
    std::array<int16_t, MaxRealCols> FAllColWidths;
    friend class TGridPrinter;
    TRect FPrintPageRect;
    int FPrintPageWidth = 0;
    int FPrintColStart = 0;
    int FPrintColEnd = 0;
    int FPrintPageFrom = 1;
    int FPrintPageTo = 1;
    int FPrintPageNum = 0;
    // The last print layout, one entry per column (and the position behind
    // the last column of a band).
    std::vector<int> FPrintColWidth;
    std::vector<int> FPrintColOffset;
    std::vector<uint8_t> FRowSelect;
    std::vector<uint8_t> FColSelect;
    std::vector<TGridChangeNotifier*> FNotifierList;
    std::unique_ptr<TBitmap> FRowIndicator;

    TPictureContainer* FPictureContainer = nullptr;
    ROroRoravaZuzoZovor* FCellChecker = nullptr;
    TPopupMenu* FFixedDropDownMenu = nullptr;

    TFooterPanel* FFooterPanel = nullptr;
    TSearchPanel* FSearchPanel = nullptr;
    TFocusHelper* FFocusHelper = nullptr;
    TSearchFooter* FSearchFooter = nullptr;
    TFloatingFooter* FFloatingFooter = nullptr;
    TSortSettings* FSortSettings = nullptr;
    TColumnSize* FColumnSize = nullptr;
    TPrintSettings* FPrintSettings = nullptr;
    THTMLSettings* FHTMLSettings = nullptr;
    TDragDropSettings* FDragDropSettings = nullptr;
    TDragScrollOptions* FDragScrollOptions = nullptr;
    TControlLook* FControlLook = nullptr;
    TNavigation* FNavigation = nullptr;
    TBands* FBands = nullptr;
    TSizeWhileTyping* FSizeWhileTyping = nullptr;
    TMouseActions* FMouseActions = nullptr;
    TGrouping* FGrouping = nullptr;
    TStringList* FColumnHeaders = nullptr;
    TStringList* FRowHeaders = nullptr;
    TStringList* FSortlist = nullptr;
    TStringList* FLookupItems = nullptr;
    THTMLPictureCache* FImageCache = nullptr;
    TIntList* FOrigColSizes = nullptr;
    TSortIndexList* FSortIndexes = nullptr;
    TIntList* FSortRowXRef = nullptr;
    TIntList* FUnSortRowXRef = nullptr;
    TIntList* FMergedColumns = nullptr;
    TSelectedCellList FSelectedCells;
    TIntList* FSelectedRows = nullptr;
    TIntList* FModifiedRows = nullptr;
    TIntList* FEnabledRows = nullptr;
    TIntList* FColumnOrder = nullptr;
    TIntList* FIgnoreColumns = nullptr;
    TBackGround* FBackGround = nullptr;
    TControlList* FControlList = nullptr;
    TGridProgressAppearance* FProgressAppearance = nullptr;
    TSyncGrid* FSyncGrid = nullptr;
    TGridItems* FGridItems = nullptr;
    TFilterCollection* FFilter = nullptr;
    TBalloonSettings* FBalloonSettings = nullptr;
    TShowModified* FShowModified = nullptr;
    TFilterDropDown* FFilterDropDown = nullptr;
    TStringList* FFilterList = nullptr;

    // Exchanges texts, objects and heights of two rows (all real columns).
    void SwapRowData(int ARow1, int ARow2);
    int FSortSwaps = 0;
    // --- looks and styles
    TQORStyle FStyle = tsCustom;
    TExGridStyle FGridStyle = gsCustom;
    TOfficeTheme FOldOfficeTheme = otUnknown;
    TColorTones FTones;
    // --- nodes
    int FNumNodes = 0;
    bool FSpreadSheet = false;
    bool FAutoThemeAdapt = false;
    TGridChildControl* FVScrollCtl = nullptr;
    TGridChildControl* FHScrollCtl = nullptr;
    TTimer* FDragTmr = nullptr;
    unsigned FDragScrollDirection = 0;
    std::shared_ptr<ITExStringGridSelect> FISelect;
    void StopDragScroll();
    TCellGraphic* NodeGraphic(int ARow);
    int RowLevel(int ARow);
    void AddLevel(int ARow, int Delta);
    void DropNode(int ARow);
    // The first node row below display row d, RowCount when none.
    int NextNodeRow(int d);
    TCellGraphic* ExpandGraphic(int ACol, int ARow);

    // --- cell graphics and appearance hooks
    void CellImagesChanged(TObject* Sender, int ACol, int ARow);
    TCellVAlign NewBoxVAlign() const;
    // "Invalid cell" outside the columns (hidden ones counted) and rows.
    void CheckCellRange(int ACol, int ARow);
    int FirstCheckColumnRow() const;
    // Whether column 0 of the row holds a graphic of the kind (node and
    // summary rows).
    bool RowHasMarker(int ARow, TCellType Kind);
    bool DataCheckIsTrue(int ACol, int ARow);
    // The graphic of the cell at a real row, hidden rows included.
    TCellGraphic* RealRowGraphic(int ACol, int ARow);
    // The check-true or check-false text of the cell.
    QString CheckText(int ACol, int ARow, bool State);
    TCellGraphic* BaseRadioButton(int ACol, int ARow);
    TCellGraphic* BaseScrollBar(int ACol, int ARow);
    TSize MeasureCellText(int ACol, int DCol, int ARow, bool SB, bool VS);
    // Drawing steps of RenderCell.
    void RenderCellText(TCanvas* Canvas, int ACol, int ARow, const TRect& R, TGridDrawState AState,
                        const TCellGraphicInfo& info, TAlignment HA, TVAlignment VA, bool WW, TColor KeptBrush,
                        TColor KeptFont);
    void RenderCellBorders(TCanvas* Canvas, int C, int ARow, TRect R);
    // Where a graphic of the given size goes in the cell (T: the drawn text
    // width, 0 without text).
    TRect GraphicRect(const TRect& Cell, const TCellGraphicInfo& info, TAlignment A, TVAlignment CellVA,
                      int T) const;
    void PaintCellGraphic(TCanvas* Canvas, int C, int ARow, const TRect& R, const TCellGraphicInfo& info,
                          TAlignment HA, TVAlignment VA);
    void DrawCheckGlyph(TCanvas* Canvas, const TRect& G, TCheckBoxState State, bool Active, bool Flat);
    // Count radio items from R's top-left, side by side or one per line;
    // item i is on when its text is the cell's text (Index -1) or i is
    // Index + 1.
    void DrawRadioGlyph(TCanvas* Canvas, const TRect& R, double Scale, int ACol, int ARow, bool Selected,
                        TStrings* Items, bool Disabled, bool Horizontal, int Index, int Count);
    // The sort glyph of a column centred at (X, Y).
    void DrawSortGlyph(TCanvas* Canvas, int ACol, int Y, int X);
    // Whether the header cell of real column C shows the sort glyph.
    bool ShowsSortGlyph(int C, int ARow);
    // A node row's expand box and the tree lines of column 0.
    void PaintNodeBox(TCanvas* Canvas, int ARow, const TRect& R, const TCellGraphic* g, bool Selected);
    void PaintNodeTree(TCanvas* Canvas, int ARow, const TRect& R);
    // Further layers of RenderCell, one per step, so that other looks can
    // branch in their own step.
    // Paints a cell's scroll bar at R's right edge and takes its room;
    // answers how far the cell's text is scrolled (0 without a bar).
    int PaintCellScrollBar(TCanvas* Canvas, int C, int ARow, TRect& R);
    // The cell's float value, 0 when it holds none.
    double CellFloat(int C, int ARow);
    // The 2-pixel outline of the selection where it passes through the
    // cell, and the resize handle in its last cell.
    void PaintSelectionOutline(TCanvas* Canvas, int ACol, int ARow, const TRect& R);
    int FCellScrollPos = 0;
    void PaintRowIndicator(TCanvas* Canvas, int C, int ARow, TRect& R);
    void PaintModifiedMark(TCanvas* Canvas, int ACol, int ARow, const TRect& R);
    void PaintFilterButton(TCanvas* Canvas, int C, const TRect& R);
    void PaintSortGlyphInCell(TCanvas* Canvas, int C, const TRect& TR, TAlignment HA, TVAlignment VA, int TextWidth,
                              int GraphicOffset, bool Html);
    // The dotted line of a column or row being sized, drawn in the paint
    // after the pointer moved (-1: none shown).
    int FSizeLinePos = -1;
    bool FSizeLineCols = true;
    void UpdateSizeLine();
    // What Paint draws after the cells: the frame of the cell being edited,
    // the line of sizing, then OnPainted.
    void PaintOverCells();
    void DrawSizeLine(TCanvas* Canvas);
    // The width of the text last drawn in a cell with a graphic, + 2.
    int FDrawnTextWidth = 0;
    // The row selection flags the row check box of column 0 shows (display
    // rows).
    bool RowCheckSelected(int ARow);
    void SetRowCheckSelected(int ARow, bool State);
    int RowCheckSelectedCount();
    // Made by CreateCellObjects (constructor), freed by FreeCellObjects.
    void CreateCellObjects();
    void FreeCellObjects();
    TCellNode* FCellNode = nullptr;
    // The shared row-check record lent to column 0 under HotmailRowSelect.
    TCellGraphic* FCellGraphic = nullptr;
    TColor FQORGradientFrom = clWhite;
    TColor FQORGradientTo = TColor(0xF0F0F0);
    TColor FQORGradientMirrorFrom = clNone;
    TColor FQORGradientMirrorTo = clNone;
    TFont FCellFont;

    // --- editing (ExGridEdit*.cpp)
    bool IsTextEditorKind(TEditorType k) const;
    bool EditorOwnsFocus();
    bool CloseEditBeforeMove();
    // Step 4 of SelectCell; false when the target is the floating footer's row.
    bool ScrollClearOfFooters(int ACol, int ARow);
    // The cell's horizontal alignment as the editor shows it.
    TAlignment EditCellAlignment(int ACol, int ARow);
    bool HasClickableControl(int ACol, int ARow);
    // One advance's skip over read-only cells stops after a round.
    int FAdvanceSkips = 0;

    // --- keys and characters (ExGridKeys.cpp, ExGridChars.cpp)
    // One move of the Tab step; Moved tells whether the current cell moved.
    bool TabStep(bool Backward, bool& Moved);
    // The first data row whose sort column starts with the (upper-case)
    // text, -1 for none.
    int SearchSortColumn(const QString& UpperText);
    // Repaints the row indicator cells (0, OldRow) and (0, NewRow) when an
    // indicator picture is shown.
    void RepaintRowIndicator(int OldRow, int NewRow);
};
