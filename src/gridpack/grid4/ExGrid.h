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
#include "platform/core/Exceptions.h"

#include <array>
#include <cstdint>
#include <vector>

// The grid's own errors (bad typed values, invalid row or column access).
KAL_DECLARE_EXCEPTION(DOriVireZuvez, Exception)

enum TGridLook { glStandard, glSoft, glClassic, glTMS, glXP, glVista, glWin7, glOffice2007 };

using TRowUpdateEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;

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
    virtual QString GetVersionString();
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
};
