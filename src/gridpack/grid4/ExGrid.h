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
#include "gridpack/grid3/BaseGrid.h"
#include "gridpack/grid3/GridSettings.h"
#include "gridpack/grid3/RorIdadGraphics.h"
#include "gridpack/grid4/ExCellGraphic.h"
#include "gridpack/grid4/ExControlLook.h"
#include "platform/core/Exceptions.h"

#include <array>
#include <cstdint>
#include <vector>

// The grid's own errors (bad typed values, invalid row or column access).
KAL_DECLARE_EXCEPTION(DOriVireZuvez, Exception)

enum TGridLook { glStandard, glSoft, glClassic, glTMS, glXP, glVista, glWin7, glOffice2007 };

using TRowUpdateEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;

class TImageList;

// A listener for bulk cell changes of a grid (RegisterNotifier); the base
// listener does nothing.
class TGridChangeNotifier {
public:
    virtual ~TGridChangeNotifier() = default;
    virtual void CellsChanged(TRect R) { (void)R; }
};

// --- events of the cell appearance hooks (Sender first; note which take the
// row before the column)
enum TFilterDropDownColumns { fdNormal, fdAll };
enum TSearchAction { saFindFirst, saFindPrevious, saFindNext };
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
using TCellsChangedEvent = std::function<void(TObject* Sender, TRect& R)>;
using TRatingChangeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, double& NewRate, bool& Allow)>;
using TColorSelectEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TColor Color, const QString& Value)>;
using TImageSelectEvent = std::function<void(TObject* Sender, int ACol, int ARow, int Index)>;

// Names registered once for every grid of the program.
unsigned GridEditDoneMsg();
unsigned GridDTPShiftFocusMsg();
unsigned GridCellsClipboardFormat();
// The cursor shown over links in cells.
constexpr int GridLinkCursor = -21;
// The version of a system library, major in the high word; 6.10 for the
// common controls, 0 for a library the program does not know.
unsigned GetModuleFileVersion(const QString& ModuleName);

// ---------------------------------------------------------------------------
// Settings read by the data operations (sorting, column sizing, printing,
// filtering); data with their defaults.
// ---------------------------------------------------------------------------

class TSortSettings : public TPersistent {
    KAL_CLASS(TSortSettings, TPersistent)
public:
    int Column = 0;
    bool Show = false;
    bool IgnoreBlanks = false;
    bool BlankPos = false;
    bool AutoSortForGrouping = true;
    bool Full = true;
    bool AutoFormat = true;
    bool NormalCellsOnly = false;
    bool FixedCols = false;
    int Row = 0;
    bool UndoSort = false;
    bool InitSortDirection = true;
    bool SortOnVirtualCells = true;
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
    bool Rows = false;
};

class TPrintSettings : public TPersistent {
    KAL_CLASS(TPrintSettings, TPersistent)
public:
    QString Title;
    QString Date;
    QString PageNr;
    int Borders = 0;
    int LeftSize = 0;
    int RightSize = 0;
    int ColumnSpacing = 0;
    int RowSpacing = 0;
    int TitleSpacing = 0;
    bool Centered = false;
    bool RepeatFixedRows = false;
    bool RepeatFixedCols = false;
    bool FitToPage = false;
    bool NoAutoSize = false;
    bool PrintGraphics = false;
    bool UseFixedHeight = false;
    bool UseFixedWidth = false;
};

class TFilterCollection : public TCollection {
    KAL_CLASS(TFilterCollection, TCollection)
public:
    TFilterCollection() : TCollection(TCollection::ItemClass<TCollectionItem>()) {}
};

class TFilterDropDown : public TPersistent {
    KAL_CLASS(TFilterDropDown, TPersistent)
public:
    bool AutoSize = false;
    TColor Color = clWindow;
    int Height = 200;
    int Width = 0;
    bool AllSelectedAll = false;
    bool TextChecked = false;
    bool TextUnChecked = false;
    bool Columns = false;
    bool Sorted = false;
    QString AllText;
    QString EmptyText;
};

// ---------------------------------------------------------------------------
// TExStringGrid
// ---------------------------------------------------------------------------

class TExStringGrid : public TBaseGrid {
    KAL_CLASS(TExStringGrid, TBaseGrid)
public:
    static constexpr int MaxRealCols = 513;

    explicit TExStringGrid(TComponent* AOwner);
    ~TExStringGrid() override;

    // --- published settings with their defaults
    TGridLook Look = glXP;
    QString FloatFormat = QStringLiteral("%.2f");
    QString CheckTrue = QStringLiteral("Y");
    QString CheckFalse = QStringLiteral("N");
    QChar PasswordChar = QLatin1Char('*');
    TColor SelectionColor = TColor(0xEACAB6);
    TColor URLColor = TColor(0xFF0000);
    TColor BorderColor = TColor(0xB99D7F);
    bool ShowNullDates = true;
    bool FixedRowAlways = false;
    bool FixedColAlways = false;
    int FixedFooters = 0;
    int FixedRightCols = 0;
    TSortSettings* SortSettings() const { return FSortSettings; }
    TColumnSize* ColumnSize() const { return FColumnSize; }
    TPrintSettings* PrintSettings() const { return FPrintSettings; }
    TFilterCollection* Filter() const { return FFilter; }
    TFilterDropDown* FilterDropDown() const { return FFilterDropDown; }
    TRowUpdateEvent OnRowUpdate;

    // --- version
    virtual unsigned GetVersionNr();
    QString GetVersionString();
    QString Version();

    // --- dimensions (hide the library's setters)
    int ColCount() const { return TBaseGrid::ColCount(); }
    void SetColCount(int v);
    int RowCount() const { return TBaseGrid::RowCount(); }
    void SetRowCount(int v);
    int FixedCols() const;
    void SetFixedCols(int v);
    int FixedRows() const;
    void SetFixedRows(int v);
    int DefaultRowHeight() const { return TBaseGrid::DefaultRowHeight(); }
    void SetDefaultRowHeight(int v);
    TScrollStyle ScrollBars() const { return TBaseGrid::ScrollBars(); }
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
    int FFixedRowsMin = 1;
    int FFixedColsMin = 1;
    int FMaxRowCount = 0;
    int FMaxColCount = 0;

    // --- update lock: painting is skipped while the count is above 0
    void BeginUpdate();
    void EndUpdate();
    void StartUpdate() { ++FUpdateCount; }
    void ResetUpdate() { FUpdateCount = 0; }
    bool LockUpdate() const { return FUpdateCount != 0; }
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
    int FOldRowSel = -1;

    // --- typed values (real column, display row)
    int GetInts(int ACol, int ARow);
    void SetInts(int ACol, int ARow, int Value);
    double GetFloats(int ACol, int ARow);
    void SetFloats(int ACol, int ARow, double Value);
    virtual void GetFloatFormat(int ACol, int ARow, QString& Fmt);
    QString GetStrippedCell(int ACol, int ARow);
    int GetLinesInCell(int ACol, int ARow);

    // --- selection
    void SetSelection(const TGridRect& r);
    void SelectRows(int RowIndex, int RCount);
    void SelectCols(int ColIndex, int CCount);
    void SelectRange(int FromCol, int ToCol, int FromRow, int ToRow);
    int RowSelectCount() const;

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

    // Repaints the cell at the display column of real column ACol.
    void RepaintRealCell(int ACol, int ARow);

    // --- painting and bounds
    void Paint() override;
    // Swallows the one request that follows an edit change.
    void Invalidate() override;
    bool FEditChange = false;
    // With IntegralHeight the height is cut to whole default rows.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v);

    // The grid timer's identifier while the window exists, else 0.
    unsigned GridTimerID() const { return FGridTimerID; }
    static constexpr unsigned GridTimerIdent = 111;

    // =======================================================================
    // Cell graphics, check boxes, radio controls, images and the cell
    // appearance hooks (ExGridCells.cpp, ExGridImages.cpp, ExGridHooks.cpp)
    // =======================================================================

    // --- owned settings; writing a property copies into the owned object
    TControlLook* ControlLook() const { return FControlLook; }
    void SetControlLook(const TControlLook* v) { FControlLook->Assign(v); }
    TCellNode* CellNode() const { return FCellNode; }
    void SetCellNode(const TCellNode* v) { FCellNode->Assign(v); }
    TMouseActions* MouseActions() const { return FMouseActions; }
    void SetMouseActions(const TMouseActions* v) { FMouseActions->Assign(v); }
    // The image list the image kinds draw from; not owned. Writing it
    // repaints nothing.
    TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(TImageList* v) { FGridImages = v; }
    // Headers of the current cell painted in ActiveCellFont/ActiveCellColor.
    bool ActiveCellShow() const { return FActiveCellShow; }
    void SetActiveCellShow(bool v);
    TFont* ActiveCellFont() { return &FActiveCellFont; }
    void SetActiveCellFont(const TFont& v);
    TColor ActiveCellColor() const { return FActiveCellColor; }
    void SetActiveCellColor(TColor v);
    TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
    void SetActiveCellColorTo(TColor v);
    TEditorType DefaultEditor = edNormal;
    // Vertical placement given to new check boxes and radio buttons.
    TVAlignment VAlignment = vtaTop;
    // The progress operations also right-justify their cell.
    bool AutoNumAlign = false;

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

    // --- filter drop-down values (GetColumnFilter fills FilterList)
    TStringList* FilterList() { return &FFilterList; }
    bool FilterDropDownAuto = false;
    TFilterDropDownColumns FilterDropDownColumns = fdNormal;
    QString FilterDropDownClear = QStringLiteral("(All)");
    bool FilterIncremental = false;

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
    bool Modified = false;

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
    virtual void CellsChanged(TRect R);
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
    // Registered listeners are told of bulk cell changes; not owned.
    void RegisterNotifier(TGridChangeNotifier* Notifier);
    void UnRegisterNotifier(TGridChangeNotifier* Notifier);

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
    TCellsChangedEvent OnCellsChanged;
    // =======================================================================

protected:
    bool Loading() const;
    // Starts the grid timer (every 500 ms) once the window is made.
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    TCellProperties* ExistingProps(int c, int r) { return HasCellProperties(c, r) ? GetCellProperties(c, r) : nullptr; }

    int FUpdateCount = 0;
    int FFixedRowHeight = 0;
    bool FWordWrapEx = true;
    unsigned FGridTimerID = 0;
    bool FIntegralHeight = false;
    int FNumHidden = 0;
    std::array<uint8_t, MaxRealCols> FVisibleCol;
    std::array<int16_t, MaxRealCols> FAllColWidths;

    TSortSettings* FSortSettings;
    TColumnSize* FColumnSize;
    TPrintSettings* FPrintSettings;
    TFilterCollection* FFilter;
    TFilterDropDown* FFilterDropDown;

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
    // The check-true or check-false text of the cell.
    QString CheckText(int ACol, int ARow, bool State);
    TCellGraphic* BaseRadioButton(int ACol, int ARow);
    TCellGraphic* BaseScrollBar(int ACol, int ARow);
    // The row selection flags the row check box of column 0 shows.
    bool RowCheckSelected(int ARow);
    void SetRowCheckSelected(int ARow, bool State);
    int RowCheckSelectedCount();
    // Made by CreateCellObjects (constructor), freed by FreeCellObjects.
    void CreateCellObjects();
    void FreeCellObjects();
    TControlLook* FControlLook = nullptr;
    TCellNode* FCellNode = nullptr;
    TMouseActions* FMouseActions = nullptr;
    // The shared row-check record lent to column 0 under HotmailRowSelect.
    TCellGraphic* FCellGraphic = nullptr;
    TImageList* FGridImages = nullptr;
    bool FActiveCellShow = false;
    TFont FActiveCellFont;
    TColor FActiveCellColor = clGray;
    TColor FActiveCellColorTo = clNone;
    TColor FQORGradientFrom = clNone;
    TColor FQORGradientTo = clNone;
    TColor FQORGradientMirrorFrom = clNone;
    TColor FQORGradientMirrorTo = clNone;
    TStringList FFilterList;
    TFont FCellFont;
    std::vector<TGridChangeNotifier*> FNotifierList;
};
