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
#include "gridpack/grid3/sgcheck.h"
#include "gridpack/grid4/ExGridTypes.h"
#include "platform/core/Exceptions.h"

#include <array>
#include <memory>
#include <cstdint>
#include <vector>

class TExInplaceEdit;
class TCustomForm;

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
    // Editing: cell selection, editor kinds, the in-place text editor,
    // commit and validation, edit advance (ExGridEdit*.cpp).
    // Indexes are display columns unless a name says real.
    // =======================================================================
    // The editor reaches SelectCell, HideInplaceEdit and the key handlers.
    friend class TExInplaceEdit;

    // --- settings
    TEditorType DefaultEditor() const { return FDefaultEditor; }
    void SetDefaultEditor(TEditorType v) { FDefaultEditor = v; }
    bool AlwaysValidate = false;
    QString InvalidEntryTitle;
    QString InvalidEntryText;
    TInvalidEntryIcon InvalidEntryIcon = ieWarning;
    // 0: no limit.
    int MaxEditLength = 0;
    QString EditMask;
    bool EditWithTags = false;
    QString ValidChars;
    // Used when ValidChars is empty.
    TCharSet ValidCharSet;
    bool ExcelStyleDecimalSeparator = false;
    bool Lookup = false;
    bool LookupCaseSensitive = false;
    bool LookupHistory = false;
    TStringList* LookupItems() const { return FLookupItems.get(); }
    TSizeWhileTyping* SizeWhileTyping() const { return FSizeWhileTyping.get(); }
    bool Multilinecells = false;
    // Not owned.
    ROroRoravaZuzoZovor* CellChecker = nullptr;

    // --- events
    TCellValidateEvent OnCellValidate;
    TCellValidateWideEvent OnCellValidateWide;
    TNotifyEvent OnEditingDone;
    TEditCellDoneEvent OnEditCellDone;
    TRowChangingEvent OnRowChanging;
    TColChangingEvent OnColChanging;
    TCellChangingEvent OnCellChanging;
    TAutoAdvanceEvent OnAutoAdvance;
    TCanAddRowEvent OnCanAddRow;
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
    TEndRowSizeEvent OnEndRowSize;
    TClickSortEvent OnClickSort;
    TCheckBoxClickEvent OnCheckBoxClick;
    TPrintPageNumEvent OnPrintGetPageNum;
    TScrollCellEvent OnScrollCell;
    TCanShowFixedDropDownEvent OnCanShowFixedDropDown;
    TNotifyEvent FOnStartBlockFocus;
    TNotifyEvent FOnEndBlockFocus;

    // --- editing state
    TEditorType EditControl = edNormal;
    bool EditMode = false;
    bool FEditing = false;
    bool FEntered = false;
    bool FSpecialEditor = false;
    bool FEditActive = false;
    bool FValidating = false;
    bool FEditDisable = false;
    QString FCellCache;
    QChar FStartEditChar;
    bool FNoEditChange = false;
    bool FShowEditProcess = false;
    bool FLastValidation = false;
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
    // Empty here: the editor's text and caret after each key release, and
    // whether it holds a formula.
    virtual void EditorCaretText(const QString& Text, TPoint CharPos, int Caret);
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

    // --- edit advance
    void AdvanceEditCell(int ACol, int ARow, bool ShowEditor, bool Recursing, bool Forward, bool AutoEdit,
                         bool Force);
    int FirstDataCol();
    int VisibleFixedRightCols();
    bool IsLastDataRow(int ARow) const { return ARow == RowCount() - FixedFooters - 1; }

    // Enter and Escape as the editor and the grid hand them on.
    void KeyPress(QChar& Key) override;

    // -----------------------------------------------------------------------
    // Cell questions and settings the editing engine asks (built-in answers;
    // descendants answer per column). ExGridEditHooks.cpp.
    // -----------------------------------------------------------------------
    TNavigation* Navigation() const { return FNavigation.get(); }
    TMouseActions* MouseActions() const { return FMouseActions.get(); }
    TCanEditCellEvent OnCanEditCell;
    TGetEditorTypeEvent OnGetEditorType;
    std::function<void(TObject* Sender, int ARow, int ACol, bool& IsFixed)> OnIsFixedCell;
    std::function<void(TObject* Sender, int ARow, int ACol, bool& IsPassword)> OnIsPasswordCell;
    std::function<void(TObject* Sender, TRect& R)> OnCellsChanged;
    int FOldCol = 0;
    int FOldRow = 0;
    QString FOldCellText;
    QString FOldCellTextWide;
    bool FOldModifiedValue = false;
    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }
    bool FModified = false;
    virtual void RecalcColumn(int ACol, int ARow);
    virtual void StoreOldCell(int ACol, int ARow);
    virtual void CanEditCell(int ACol, int ARow, bool& CanEdit);
    virtual void CellsChanged(TRect& R);
    virtual void GetCellEditorType(int ACol, int ARow, TEditorType& AEditor);
    virtual void GetCellEditor(int ACol, int ARow, TEditorType& AEditor);
    virtual bool IsNoEditorCell(int ACol, int ARow);
    virtual void IsFixedCell(int ACol, int ARow, bool& IsFixed);
    virtual void QueryCellEdit(int ACol, int ARow, bool& CanEdit);
    virtual void IsPasswordCell(int ACol, int ARow, bool& IsPassword);
    virtual bool HasComboBox(int ACol, int ARow);
    // A check box, radio button or button the mouse and keys work in place.
    bool HasCellControl(int ACol, int ARow);
    QString CurrentCell();
    void SetCurrentCell(const QString& Value);
    virtual void SetCurrentEditText(const QString& Value);
    virtual void CanAddRow(bool& Allow);
    void AddRow();

protected:
    // The editing-done notice posted by NotifyEditingDone arrives here.
    void WndProc(TMessage& M) override;
    bool SelectCell(int ACol, int ARow) override;
    TInplaceEdit* CreateEditor() override;
    // The current cell becomes the reference of the next edit.
    void Click() override;
    void DoEnter() override;

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

    // --- editing (ExGridEdit*.cpp)
    bool IsTextEditorKind(TEditorType k) const;
    bool EditorOwnsFocus();
    bool CloseEditBeforeMove();
    bool HasClickableControl(int ACol, int ARow);
    TEditorType FDefaultEditor = edNormal;
    std::unique_ptr<TStringList> FLookupItems = std::make_unique<TStringList>();
    std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping = std::make_unique<TSizeWhileTyping>();
    std::unique_ptr<TNavigation> FNavigation = std::make_unique<TNavigation>();
    std::unique_ptr<TMouseActions> FMouseActions = std::make_unique<TMouseActions>(this);
    // One advance's skip over read-only cells stops after a round.
    int FAdvanceSkips = 0;

    TSortSettings* FSortSettings;
    TColumnSize* FColumnSize;
    TPrintSettings* FPrintSettings;
    TFilterCollection* FFilter;
    TFilterDropDown* FFilterDropDown;
};
