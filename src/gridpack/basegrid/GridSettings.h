#pragma once
// The string grid's settings objects, each one published property of the
// grid: search footer, navigation, mouse actions, a synchronised grid, banded
// rows and the focus indicator. They keep the switches and report changes;
// what the grid does with a switch belongs to the grid. Plain switches are
// public fields; those whose writing has side effects have a writer.
#include "gridpack/basegrid/ExObj.h"
#include "platform/core/StringList.h"

class TStringGrid;

// ---------------------------------------------------------------------------
// TSearchFooter
// ---------------------------------------------------------------------------

class TSearchFooter : public TPersistent {
    KAL_CLASS(TSearchFooter, TPersistent)
public:
    // With InitDesign the captions and hints get their English texts (a
    // grid newly placed at design time); otherwise they start empty.
    TSearchFooter(TPersistent* AOwner, bool InitDesign);
    TPersistent* GetOwner() const override { return FOwner; }

    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    TFont* Font() { return &FFont; }
    void SetFont(const TFont& v);
    const QString& FindNextCaption() const { return FFindNextCaption; }
    void SetFindNextCaption(const QString& v);
    const QString& FindPrevCaption() const { return FFindPrevCaption; }
    void SetFindPrevCaption(const QString& v);
    const QString& MatchCaseCaption() const { return FMatchCaseCaption; }
    void SetMatchCaseCaption(const QString& v);
    const QString& HighLightCaption() const { return FHighLightCaption; }
    void SetHighLightCaption(const QString& v);
    const QString& HintClose() const { return FHintClose; }
    void SetHintClose(const QString& v);
    const QString& HintFindNext() const { return FHintFindNext; }
    void SetHintFindNext(const QString& v);
    const QString& HintFindPrev() const { return FHintFindPrev; }
    void SetHintFindPrev(const QString& v);
    const QString& HintHighlight() const { return FHintHighlight; }
    void SetHintHighlight(const QString& v);
    bool ShowFindNext() const { return FShowFindNext; }
    void SetShowFindNext(bool v);
    bool ShowFindPrev() const { return FShowFindPrev; }
    void SetShowFindPrev(bool v);
    bool ShowMatchCase() const { return FShowMatchCase; }
    void SetShowMatchCase(bool v);
    bool ShowHighLight() const { return FShowHighLight; }
    void SetShowHighLight(bool v);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);

    bool AutoSearch = true;
    TSearchDirection SearchDirection = sdTopBottom;
    int SearchColumn = -1;
    bool SearchActiveColumnOnly = false;
    bool SearchMatchStart = false;
    bool SearchFixedCells = false;
    bool SearchHiddenRows = false;
    bool AlwaysHighLight = false;
    QString LastSearch;
    TNotifyEvent OnChange;

    void Assign(const TPersistent* Source) override;

private:
    void Changed();
    void SetText(QString& field, const QString& v);
    void SetSwitch(bool& field, bool v);

    TPersistent* FOwner;
    bool FVisible = false;
    TColor FColor = clWhite;
    TColor FColorTo = clBtnFace;
    TFont FFont;
    QString FFindNextCaption, FFindPrevCaption, FMatchCaseCaption, FHighLightCaption;
    QString FHintClose, FHintFindNext, FHintFindPrev, FHintHighlight;
    bool FShowFindNext = true, FShowFindPrev = true, FShowMatchCase = true, FShowHighLight = true,
         FShowClose = true;
    bool FAutoThemeAdapt = false;
};

// ---------------------------------------------------------------------------
// TNavigation
// ---------------------------------------------------------------------------

// The switches of TNavigation that are stored as they are written.
struct TNavigationSwitches {
    bool AllowInsertRow = false;
    bool AllowDeleteRow = false;
    bool AlwaysEdit = false;
    bool AdvanceOnEnter = false;
    bool AdvanceOnEnterLoop = true;
    bool AdvanceAutoEdit = true;
    bool AdvanceSkipReadOnlyCells = true;
    bool AutoGotoWhenSorted = false;
    bool AutoGotoIncremental = false;
    bool AutoComboDropSize = false;
    bool AllowClipboardShortCuts = false;
    bool AllowCtrlEnter = true;
    bool AllowSmartClipboard = false;
    bool AllowRTFClipboard = false;
    bool AllowFmtClipboard = false;
    bool AllowClipboardAlways = false;
    bool AllowClipboardRowGrow = true;
    bool AllowClipboardColGrow = true;
    bool AppendOnArrowDown = false;
    bool EditSelectAll = true;
    TInsertPosition InsertPosition = pInsertBefore;
    TClipboardPasteAction ClipboardPasteAction = paReplace;
    bool ComboGetUpDown = true;
    TCursorAdvance CursorAdvance = caDefault;
    bool CursorWalkEditor = false;
    bool CursorWalkAlwaysEdit = true;
    bool CursorMoveRows = false;
    bool MoveRowOnSort = false;
    bool KeepScrollOnSort = false;
    bool MoveScrollOnly = false;
    bool ImproveMaskSel = false;
    bool LeftRightRowSelect = true;
    bool CopyHTMLTagsToClipboard = true;
    bool KeepHorizScroll = false;
    bool LineFeedOnEnter = false;
    THomeEndAction HomeEndKey = heFirstLastColumn;
    bool SkipFixedCells = true;
    bool SkipDisabledRows = true;
    bool TabToNextAtEnd = false;
    TAdvanceDirection TabAdvanceDirection = adLeftRight;
};

class TNavigation : public TPersistent, public TNavigationSwitches {
    KAL_CLASS(TNavigation, TPersistent)
public:
    TAdvanceDirection AdvanceDirection() const { return FAdvanceDirection; }
    void SetAdvanceDirection(TAdvanceDirection v);
    bool AdvanceInsert() const { return FAdvanceInsert; }
    void SetAdvanceInsert(bool v);
    bool AdvanceAuto() const { return FAdvanceAuto; }
    // Set true it also turns AdvanceOnEnter on.
    void SetAdvanceAuto(bool v);
    TNotifyEvent OnChange;
    // Every switch but KeepScrollOnSort, no events.
    void Assign(const TPersistent* Source) override;

private:
    TAdvanceDirection FAdvanceDirection = adLeftRight;
    bool FAdvanceInsert = false;
    bool FAdvanceAuto = false;
};

// ---------------------------------------------------------------------------
// TMouseActions
// ---------------------------------------------------------------------------

// The switches of TMouseActions that are stored as they are written.
struct TMouseActionSwitches {
    bool AllColumnSize = false;
    bool AllRowSize = false;
    bool AllSelect = false;
    bool AutoSizeColOnDblClick = true;
    bool CaretPositioning = false;
    bool CheckAllCheck = false;
    bool ColSelect = false;
    bool DirectComboClose = false;
    bool DirectComboDrop = false;
    bool DirectDateClose = false;
    bool DirectDateDrop = false;
    bool DirectEdit = false;
    bool DisjunctRowSelectNoCtrl = false;
    TGridFixedCellEdit FixedRowsEdit = fceNone;
    TGridFixedCellEdit FixedColsEdit = fceNone;
    TGridFixedCellEditor FixedRowsEditor = fceEdit;
    TGridFixedCellEditor FixedColsEditor = fceEdit;
    bool MoveRowOnNodeClick = false;
    bool NoAutoRangeScroll = false;
    bool NodeAllExpandContract = false;
    bool NoScrollOnPartialRow = false;
    bool PreciseCheckBoxCheck = false;
    bool PreciseNodeClick = true;
    bool RangeSelectAndEdit = false;
    bool RowSelect = false;
    bool RowSelectPersistent = false;
    bool SelectOnRightClick = false;
    bool SizeFixedCol = false;
    bool SizeFixedRow = false;
    int WheelIncrement = 0;
};

class TMouseActions : public TPersistent, public TMouseActionSwitches {
    KAL_CLASS(TMouseActions, TPersistent)
public:
    explicit TMouseActions(TPersistent* AOwner);
    TPersistent* GetOwner() const override { return FOwner; }

    bool HotmailRowSelect() const { return FHotmailRowSelect; }
    // Set true it also sets DisjunctRowSelect and CheckAllCheck; fires
    // OnInvalidate either way.
    void SetHotmailRowSelect(bool v);
    bool EditOnDblClickOnly() const { return FEditOnDblClickOnly; }
    void SetEditOnDblClickOnly(bool v);
    // The three disjunct selections exclude each other only while the owner
    // says it is being designed.
    bool DisjunctRowSelect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelect(bool v);
    bool DisjunctColSelect() const { return FDisjunctColSelect; }
    void SetDisjunctColSelect(bool v);
    bool DisjunctCellSelect() const { return FDisjunctCellSelect; }
    void SetDisjunctCellSelect(bool v);
    // The same value as DisjunctRowSelect, written without side effects.
    bool DisjunctRowSelectDirect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelectDirect(bool v) { FDisjunctRowSelect = v; }
    TWheelAction WheelAction() const { return FWheelAction; }
    void SetWheelAction(TWheelAction v);
    TStrings* FixedComboValues() { return &FFixedComboValues; }
    void SetFixedComboValues(const TStrings* v);

    TNotifyEvent OnChange;
    TNotifyEvent OnInvalidate;
    TNotifyEvent OnDisableEdit;
    TIsDesigningEvent OnIsDesigning;

    void Assign(const TPersistent* Source) override;

private:
    bool IsDesigning();
    TPersistent* FOwner;
    bool FHotmailRowSelect = false;
    bool FEditOnDblClickOnly = false;
    bool FDisjunctRowSelect = false;
    bool FDisjunctColSelect = false;
    bool FDisjunctCellSelect = false;
    TWheelAction FWheelAction = waMoveSelection;
    TStringList FFixedComboValues;
};

// ---------------------------------------------------------------------------
// TSyncGrid, TBands, TFocusHelper
// ---------------------------------------------------------------------------

class TSyncGrid : public TPersistent {
    KAL_CLASS(TSyncGrid, TPersistent)
public:
    explicit TSyncGrid(TPersistent* AOwner) : FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }
    TStringGrid* Grid() const { return FGrid; }
    // The owning grid cannot follow itself: that value is ignored.
    void SetGrid(TStringGrid* v);
    bool ScrollVertical = false;
    bool ScrollHorizontal = false;
    bool SelectionRow = false;
    bool SelectionColumn = false;
    bool MoveRow = false;
    bool MoveColumn = false;
    void Assign(const TPersistent* Source) override;

private:
    TPersistent* FOwner;
    TStringGrid* FGrid = nullptr;
};

class TBands : public TPersistent {
    KAL_CLASS(TBands, TPersistent)
public:
    bool Active() const { return FActive; }
    void SetActive(bool v);
    bool Print = false;
    TColor PrimaryColor() const { return FPrimaryColor; }
    void SetPrimaryColor(TColor v);
    TColor SecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(TColor v);
    int PrimaryLength() const { return FPrimaryLength; }
    void SetPrimaryLength(int v);
    int SecondaryLength() const { return FSecondaryLength; }
    void SetSecondaryLength(int v);
    int TotalLength() const { return FTotalLength; }
    TNotifyEvent OnChange;
    // Brings TotalLength up to date with the copied lengths.
    void Assign(const TPersistent* Source) override;

private:
    void ChangedWhileActive();
    bool FActive = false;
    TColor FPrimaryColor = clInfoBk;
    TColor FSecondaryColor = clWindow;
    int FPrimaryLength = 1;
    int FSecondaryLength = 1;
    int FTotalLength = 2;
};

class TFocusHelper : public TPersistent {
    KAL_CLASS(TFocusHelper, TPersistent)
public:
    explicit TFocusHelper(TPersistent* AOwner) : FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }
    bool Enabled = false;
    void Assign(const TPersistent* Source) override;

private:
    TPersistent* FOwner;
};
