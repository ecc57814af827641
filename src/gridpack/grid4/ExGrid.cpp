#include "gridpack/grid4/ExGrid.h"
#include "platform/core/Streams.h"

#include "gridpack/grid3/ExGridWindows.h"
#include "gridpack/grid3/PictureContainer.h"
#include "gridpack/grid3/RorIdad.h"
#include "gridpack/grid3/SgHTMLE.h"
#include "gridpack/grid4/ExInplaceEdit.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBars.h"
#include "platform/core/MathUtils.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Messages.h"
#include "platform/controls/Timers.h"
#include "platform/core/Format.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <algorithm>

namespace {
// The grid's version: 6.2.1.3, most significant byte first.
constexpr unsigned kVersionNr = (6u << 24) | (2u << 16) | (1u << 8) | 3u;
} // namespace

unsigned GridEditDoneMsg()
{
    static const unsigned msg = RegisterWindowMessage(QStringLiteral("GridEditDone"));
    return msg;
}

unsigned GridDTPShiftFocusMsg()
{
    static const unsigned msg = RegisterWindowMessage(QStringLiteral("DTPShiftFocus"));
    return msg;
}

unsigned GridCellsClipboardFormat()
{
    static const unsigned fmt = RegisterClipboardFormat(QStringLiteral("TExStringGrid Cells"));
    return fmt;
}

int GetModuleFileVersion(const QString& ModuleName)
{
    // The grid only asks about the common controls; their flat scroll bars
    // and look are the ones of version 6.10.
    if (ModuleName.compare(QStringLiteral("COMCTL32.DLL"), Qt::CaseInsensitive) == 0)
        return (6 << 16) | 10;
    return -1;
}

bool ComCtl32Above469()
{
    // Compared as signed numbers: an unreadable version (-1) is not above.
    return GetModuleFileVersion(QStringLiteral("comctl32.dll")) > 0x00040045;
}

TExStringGrid* FocusTrackingGrid = nullptr;
QString HintFontName;

// ---------------------------------------------------------------------------
// Settings records of the data operations
// ---------------------------------------------------------------------------

void TSortSettings::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TSortSettings*>(Source);
    if (!s)
        return;
    Column = s->Column;
    Show = s->Show;
    IgnoreBlanks = s->IgnoreBlanks;
    BlankPos = s->BlankPos;
    AutoSortForGrouping = s->AutoSortForGrouping;
    Full = s->Full;
    AutoFormat = s->AutoFormat;
    NormalCellsOnly = s->NormalCellsOnly;
    FixedCols = s->FixedCols;
    Row = s->Row;
    UndoSort = s->UndoSort;
    InitSortDirection = s->InitSortDirection;
    IndexSortKey = s->IndexSortKey;
    Direction = s->Direction;
    SingleColumn = s->SingleColumn;
    IndexShow = s->IndexShow;
    IndexColor = s->IndexColor;
    AutoColumnMerge = s->AutoColumnMerge;
    HeaderColor = s->HeaderColor;
    HeaderColorTo = s->HeaderColorTo;
    HeaderMirrorColor = s->HeaderMirrorColor;
    HeaderMirrorColorTo = s->HeaderMirrorColorTo;
    FUpGlyph->Assign(s->FUpGlyph.get());
    FDownGlyph->Assign(s->FDownGlyph.get());
    FIndexUpGlyph->Assign(s->FIndexUpGlyph.get());
    FIndexDownGlyph->Assign(s->FIndexDownGlyph.get());
}

void TColumnSize::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TColumnSize*>(Source);
    if (!s)
        return;
    Save = s->Save;
    Key = s->Key;
    Section = s->Section;
    Stretch = s->Stretch;
    StretchColumn = s->StretchColumn;
    SynchWithGrid = s->SynchWithGrid;
    SynchNormalCellsOnly = s->SynchNormalCellsOnly;
    StretchAll = s->StretchAll;
    Rows = s->Rows;
    Location = s->Location;
}


namespace {
// Copies a glyph; nullptr leaves an empty bitmap.
void CopyGlyph(TBitmap* Into, const TBitmap* From) { Into->Assign(From); }
} // namespace

void TSortSettings::SetUpGlyph(const TBitmap* v) { CopyGlyph(FUpGlyph.get(), v); }
void TSortSettings::SetDownGlyph(const TBitmap* v) { CopyGlyph(FDownGlyph.get(), v); }
void TSortSettings::SetIndexUpGlyph(const TBitmap* v) { CopyGlyph(FIndexUpGlyph.get(), v); }
void TSortSettings::SetIndexDownGlyph(const TBitmap* v) { CopyGlyph(FIndexDownGlyph.get(), v); }

TFilterDropDown::TFilterDropDown()
{
    const TGraphicsChange changed = [this](TGraphicsObject*) {
        if (OnChange)
            OnChange(this);
    };
    FGlyph->OnChange = changed;
    FGlyphActive->OnChange = changed;
}

void TFilterDropDown::SetGlyph(const TBitmap* v) { CopyGlyph(FGlyph.get(), v); }
void TFilterDropDown::SetGlyphActive(const TBitmap* v) { CopyGlyph(FGlyphActive.get(), v); }

void TFilterDropDown::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TFilterDropDown*>(Source);
    if (!s)
        return;
    AutoSize = s->AutoSize;
    Color = s->Color;
    Height = s->Height;
    Width = s->Width;
    AllSelectedAll = s->AllSelectedAll;
    TextChecked = s->TextChecked;
    TextUnChecked = s->TextUnChecked;
    Columns = s->Columns;
    Sorted = s->Sorted;
    AllText = s->AllText;
    EmptyText = s->EmptyText;
    ColumnWidth = s->ColumnWidth;
    FGlyph->Assign(s->FGlyph.get());
    FGlyphActive->Assign(s->FGlyphActive.get());
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

namespace {
template <class T>
T* NewChild(TExStringGrid* grid, bool enabled)
{
    T* c = NewObject<T>(grid);
    c->SetParent(grid);
    c->SetVisible(false);
    if (!enabled)
        c->SetEnabled(false);
    return c;
}
} // namespace

TExStringGrid::TExStringGrid(TComponent* AOwner) : TBaseGrid(AOwner)
{
    const bool designing = (ComponentState() & csDesigning) != 0;
    const bool initDesign =
        designing && !(AOwner && (AOwner->ComponentState() & (csReading | csLoading)));
    ControlStyle |= csAcceptsControls;
    FVisibleCol.fill(1);
    FAllColWidths.fill(0);

    FFooterPanel = NewObject<TFooterPanel>(this);
    FSearchPanel = NewObject<TSearchPanel>(this);
    for (TWinControl* p : {static_cast<TWinControl*>(FFooterPanel), static_cast<TWinControl*>(FSearchPanel)}) {
        p->SetAlign(alBottom);
        p->SetBounds(0, 0, 0, 0);
        p->SetVisible(false);
    }

    FFocusHelper = NewObject<TFocusHelper>(this);
    FSearchFooter = NewObject<TSearchFooter>(this, initDesign);
    FFloatingFooter = NewObject<TFloatingFooter>();
    FFloatingFooter->FGrid = this;
    FSearchFooter->OnChange = [this](TObject*) { BuildSearchPanel(); };
    FPrintSettings = NewObject<TPrintSettings>();
    FHTMLSettings = NewObject<THTMLSettings>();
    FSortSettings = NewObject<TSortSettings>();
    FSortSettings->FGrid = this;
    FDragDropSettings = NewObject<TDragDropSettings>();
    FDragDropSettings->Grid = this;
    FDragScrollOptions = NewObject<TDragScrollOptions>();
    FControlLook = NewObject<TControlLook>(this);
    FNavigation = NewObject<TNavigation>();
    FColumnSize = NewObject<TColumnSize>();
    FBands = NewObject<TBands>();
    FBands->OnChange = [this](TObject*) { Invalidate(); };
    FSizeWhileTyping = NewObject<TSizeWhileTyping>();
    FMouseActions = NewObject<TMouseActions>(this);
    FGrouping = NewObject<TGrouping>();
    CreateCellObjects();
    FColumnHeaders = NewObject<TStringList>();
    FImageCache = NewObject<THTMLPictureCache>();
    FColumnHeaders->OnChange = [this](TObject*) {
        SyncColumnHeaders();
        ShowColumnHeaders();
    };
    FOrigColSizes = NewObject<TIntList>(0, 0);

    FFixedFont.SetName(QStringLiteral("Tahoma"));
    FFixedFont.SetStyle(fsBold);
    if (designing)
        FActiveCellFont.SetName(QStringLiteral("Tahoma"));
    FActiveCellFont.SetStyle(fsBold);
    FFixedFont.OnChange = [this](TGraphicsObject*) { FontChanged(nullptr); };
    FActiveCellFont.OnChange = [this](TGraphicsObject*) { FontChanged(nullptr); };

    FRowHeaders = NewObject<TStringList>();
    FRowHeaders->OnChange = [this](TObject*) { ShowRowHeaders(); };
    FSortlist = NewObject<TStringList>();
    FLookupItems = NewObject<TStringList>();
    FSortIndexes = NewObject<TSortIndexList>();
    FSortRowXRef = NewObject<TIntList>(0, 0);
    FUnSortRowXRef = NewObject<TIntList>(0, 0);
    FMergedColumns = NewObject<TIntList>(0, 0);
    FMergedColumns->OnChange = [this](TObject*, int, int) { MergedColumnsChanged(); };
    FSelectedRows = NewObject<TIntList>(0, 0);
    FModifiedRows = NewObject<TIntList>(0, 0);
    FEnabledRows = NewObject<TIntList>(0, 0);
    FRowIndicator = std::make_unique<TBitmap>();
    FBackGround = NewObject<TBackGround>();
    FScrollHintWnd = NewObject<THTMLHintWindow>(this);
    FScrollHintWnd->SetVisible(false);

    WordWrap = true;
    FControlList = NewObject<TControlList>();
    FProgressAppearance = NewObject<TGridProgressAppearance>();
    FProgressAppearance->OnChange = [this](TObject*) { Invalidate(); };
    FSyncGrid = NewObject<TSyncGrid>(this);

    SetRowCount(10);
    SetBounds(Left(), Top(), 400, 250);

    FGridItems = NewObject<TGridItems>();
    FFilter = NewObject<TFilterCollection>(this);
    FShowSelection = true;
    FShowSel = true;

    FBalloonSettings = NewObject<TBalloonSettings>();
    FShowModified = NewObject<TShowModified>();
    FShowModified->OnChange = [this](TObject*) { RepaintCol(0); };

    SetDefaultRowHeight(22);
    FFixedRowHeight = DefaultRowHeight();
    SetGradientStartColor(clWhite);
    SetGradientEndColor(ColorToRGB(clBtnFace));

    // The system is Windows 7-like with version 6 common controls.
    // An unreadable version (-1) reads 255 here and so counts as version 6.
    const unsigned comctl = unsigned(GetModuleFileVersion(QStringLiteral("COMCTL32.DLL")));
    FIsComCtl6 = ((comctl >> 16) & 0xFF) > 5;
    FBorderColor = FIsWinXP ? TColor(0xB99D7F) : TColor(0x808080);
    FScrollWidth = GetSystemMetrics(SM_CXVSCROLL);

    FColumnOrder = NewObject<TIntList>(0, 0);
    FIgnoreColumns = NewObject<TIntList>(0, 0);
    FFilterDropDown = NewObject<TFilterDropDown>();
    FFilterDropDown->OnChange = [this](TObject*) { Invalidate(); };
    FDropList = NewChild<TDropList>(this, true);
    FDropCheckList = NewChild<TDropCheckList>(this, true);
    FDropList->SetBounds(0, 0, 0, 0);
    FDropCheckList->SetBounds(0, 0, 0, 0);
    FDropList->OnSelect = [this](TObject*, int ItemIndex) { FilterSelect(ItemIndex); };
    FDropCheckList->OnSelect = [this](TObject*, int) { FilterCheck(); };
    FFilterList = NewObject<TStringList>();
    FFilterList->SetDuplicates(dupIgnore);
    FFilterList->SetSorted(true);

    if (!designing) {
        FFocusWindow = NewObject<TGridFocusWindow>(this);
        TArrowWindow** arrows[] = {&ArwU, &ArwD, &ArwL, &ArwR};
        for (int i = 0; i < 4; ++i) {
            *arrows[i] = NewObject<TArrowWindow>(this);
            (*arrows[i])->Init(this, TArrowDirection(i));
        }
        EditCombo = NewChild<TGridCombo>(this, false);
        EditCombo->IsWinXP = FIsWinXP;
        EditCombo->IsVista = FIsWinVista && FIsComCtl6;
        EditTrans = NewChild<TGridTransEdit>(this, true);
        ComboTrans = NewChild<TGridTransCombo>(this, true);
        EditCheck = NewChild<TGridCheckBox>(this, false);
        EditBtn = NewChild<TGridEditBtn>(this, false);
        EditBtn->SetButtonCaption(QStringLiteral("..."));
        EditBtn->SetBorderStyle(bsNone);
        EditBtn->SetIsWinXP(FIsWinXP);
        UnitEditBtn = NewChild<TGridUnitEditBtn>(this, false);
        UnitEditBtn->SetButtonCaption(QStringLiteral("..."));
        UnitEditBtn->SetBorderStyle(bsNone);
        UnitEditBtn->SetIsWinXP(FIsWinXP);
        UnitEditBtn->OnUnitChanged = [this](TObject* s, const QString& u) { UnitEditorChanged(s, u); };
        GridButton = NewChild<TGridButton>(this, false);
        GridButton->OnClick = [this](TObject* s) { GridButtonClick(s); };
        MoveButton = NewChild<THeaderDragButton>(this, false);
        MoveButton->Grid = this;
        FEditControl = NewChild<TControlEdit>(this, true);
        FComboControl = NewChild<TControlCombo>(this, true);
        FScrollBar = NewObject<TScrollBar>(this);
        FPaintScrollBar = NewObject<TScrollBar>(this);
    }

    // The grid hears its owner form's resizes; the balloon window follows
    // Balloon.Enable.
    if (!designing)
        InstallOwnerFormResize(AOwner);
    FBalloonSettings->OnEnableChange = [this](TObject*) { BalloonEnableChanged(); };

    // Fixed counts as the library keeps them, then the grid's own.
    SetColCount(5);
    SetFixedCols(1);
    SetFixedRows(1);
}

void TExStringGrid::BeforeDestruction()
{
    // Hidden columns come back first so every cell is cleared with its row,
    // while the panels and editors still stand.
    if (FNumHidden > 0)
        UnHideColumnsAll();
    // The grid's own resize listener leaves the form; the balloons end.
    RemoveOwnerFormResize();
    if (!(ComponentState() & csDesigning))
        BalloonDone();
    if (FocusTrackingGrid == this)
        FocusTrackingGrid = nullptr;
    TBaseGrid::BeforeDestruction();
    // The owned child windows and pop-ups are gone now.
    FFooterPanel = nullptr;
    FSearchPanel = nullptr;
    FScrollHintWnd = nullptr;
    FDropList = nullptr;
    FDropCheckList = nullptr;
    FFocusWindow = nullptr;
    ArwU = ArwD = ArwL = ArwR = nullptr;
    EditCombo = nullptr;
    EditTrans = nullptr;
    ComboTrans = nullptr;
    EditCheck = nullptr;
    EditBtn = nullptr;
    UnitEditBtn = nullptr;
    GridButton = nullptr;
    MoveButton = nullptr;
    FEditControl = nullptr;
    FComboControl = nullptr;
    FScrollBar = nullptr;
    FPaintScrollBar = nullptr;
}

TExStringGrid::~TExStringGrid()
{
    if (FNumHidden > 0)
        UnHideColumnsAll();
    // Hidden rows hold the properties of their cells.
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TStringList* items = FGridItems->Item(i)->Items();
        for (int c = 0; c < items->Count(); ++c)
            if (auto* p = dynamic_cast<TCellProperties*>(items->Objects(c)))
                p->Free();
    }
    FGridItems->Free();
    FFilter->Free();
    FFilterList->Free();
    FFilterDropDown->Free();
    FIgnoreColumns->Free();
    FColumnOrder->Free();
    FShowModified->Free();
    FBalloonSettings->Free();
    FSyncGrid->Free();
    FProgressAppearance->Free();
    FControlList->Free();
    FBackGround->Free();
    for (TIntList* l : {FEnabledRows, FModifiedRows, FSelectedRows, FMergedColumns, FUnSortRowXRef,
                        FSortRowXRef})
        l->Free();
    FSortIndexes->Free();
    FLookupItems->Free();
    FSortlist->Free();
    FRowHeaders->Free();
    FOrigColSizes->Free();
    FImageCache->Free();
    FColumnHeaders->Free();
    FreeCellObjects();
    FGrouping->Free();
    FMouseActions->Free();
    FSizeWhileTyping->Free();
    FBands->Free();
    FColumnSize->Free();
    FNavigation->Free();
    FControlLook->Free();
    FDragScrollOptions->Free();
    SetOleDropTarget(false);
    FDragDropSettings->Free();
    FSortSettings->Free();
    FHTMLSettings->Free();
    FPrintSettings->Free();
    FFloatingFooter->Free();
    FSearchFooter->Free();
    FFocusHelper->Free();
    // Child windows and pop-ups are owned components and go with the grid.
}

void TExStringGrid::CreateWnd()
{
    if (ComponentState() & csDestroying)
        return;
    TBaseGrid::CreateWnd();
    if (!Parent())
        return;
    if (FScrollBar) {
        for (TScrollBar* b : {FScrollBar, FPaintScrollBar}) {
            b->SetParent(this);
            b->SetTabStop(false);
            b->SetKind(sbVertical);
            b->SetVisible(false);
        }
    }
    FFooterPanel->SetParent(this);
    FFooterPanel->SetVisible(FFloatingFooter->Visible);
    FSearchPanel->SetParent(this);
    FSearchPanel->SetVisible(FSearchFooter->Visible());
    FSearchPanel->SetHeight(FSearchFooter->Visible() ? 32 : 0);
    FGridTimerID = SetTimer(this, GridTimerIdent, 500);
    // The system's lines per wheel notch; page scrolling takes the rows shown.
    wheelmsg = WM_MOUSEWHEEL;
    wheelpan = false;
    wheelscrl = WheelScrollLines();
    if (wheelscrl == -1)
        wheelscrl = VisibleRowCount();
    if (FBalloonSettings->Enable())
        BalloonInit();
    BuildSearchPanel();
}

void TExStringGrid::SizeChanged(int OldColCount, int OldRowCount)
{
    if (!Parent() || (ComponentState() & (csLoading | csReading)))
        return;
    if (FColumnSize->Stretch)
        StretchColumnToFit(FColumnSize->StretchColumn);
    TBaseGrid::SizeChanged(OldColCount, OldRowCount);
}

void TExStringGrid::ColWidthsChanged()
{
    if (ColchgFlg && FColumnSize)
        StretchColumnToFit(FColumnSize->StretchColumn);
    TBaseGrid::ColWidthsChanged();
    ColSizeFlg = true;
    const bool sized = ColSized && Colclicked >= 0 && Colclicked < ColCount();
    if (sized && FMouseActions->AllColumnSize && Colclickedsize > 0) {
        // Every other column grows or shrinks in the same proportion.
        ColSized = false;
        const double ratio = double(ColWidths(Colclicked)) / Colclickedsize;
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (c != Colclicked)
                SetColWidths(c, int(Round(ColWidths(c) * ratio)));
        ColSized = true;
    }
    if (sized && ColSized) {
        if (OnEndColumnSize)
            OnEndColumnSize(this, Colclicked);
        int w = ColWidths(Colclicked);
        const int before = w;
        UpdateColumnSize(Colclicked, w);
        if (w != before) {
            ColSized = false;
            SetColWidths(Colclicked, w);
        }
    }
    if (ColSized) {
        Colclicked = -1;
        Rowclicked = -1;
    }
    ColSized = false;
    if (FFooterPanel)
        FFooterPanel->Invalidate();
    if (FControlList)
        CellControlsUpdate();
}

void TExStringGrid::RowHeightsChanged()
{
    TBaseGrid::RowHeightsChanged();
    const bool sized = Rowsized && Rowclicked >= 0 && Rowclicked < RowCount();
    if (sized && FMouseActions->AllRowSize && Rowclickedsize > 0) {
        Rowsized = false;
        const double ratio = double(RowHeights(Rowclicked)) / Rowclickedsize;
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (r != Rowclicked)
                SetRowHeights(r, int(Round(RowHeights(r) * ratio)));
        Rowsized = true;
    }
    if (sized && Rowsized && OnEndRowSize)
        OnEndRowSize(this, Rowclicked);
    if (Rowsized) {
        Colclicked = -1;
        Rowclicked = -1;
    }
    Rowsized = false;
    if (FControlList)
        CellControlsUpdate();
}

bool TExStringGrid::IsOverSizingEdge(int X, int Y)
{
    int c = -1;
    int r = -1;
    MouseToCell(X, Y, c, r);
    if (c < 0 || r < 0)
        return false;
    const TRect rc = TCustomGrid::CellRect(c, r);
    bool result = false;
    if (r <= FixedRows() && (Options() & goColSizing))
        result = std::abs(X - rc.Left) < 4 || std::abs(X - rc.Right) < 4;
    if (c <= FixedCols() && (Options() & goRowSizing))
        result = std::abs(Y - rc.Top) < 4 || std::abs(Y - rc.Bottom) < 4;
    return result;
}

void TExStringGrid::SetColumnStretch(bool v)
{
    FColumnSize->Stretch = v;
    if (Parent())
        StretchColumnToFit(FColumnSize->StretchColumn);
}

void TExStringGrid::DestroyWnd()
{
    if (FGridTimerID != 0) {
        KillTimer(this, GridTimerIdent);
        FGridTimerID = 0;
    }
    TBaseGrid::DestroyWnd();
}

bool TExStringGrid::Loading() const { return (ComponentState() & csLoading) != 0; }

void TExStringGrid::Loaded()
{
    TBaseGrid::Loaded();
    FOldCursor = Cursor();
    ShowColumnHeaders();
    ShowRowHeaders();
    FFixedRowsMin = FixedRows();
    FFixedColsMin = FixedCols();
    FMinRowHeight = DefaultRowHeight();
    FMinColWidth = 10;
    FMaxRowCount = RowCount();
    FLoaded = true;
    if (Options() & goAlwaysShowEditor) {
        FNavigation->AlwaysEdit = true;
        SetOptions(Options() & ~goAlwaysShowEditor);
    }
    if (!FIsWinXP && FControlLook->ControlStyle() == csTheme)
        FControlLook->SetControlStyle(csClassic);
    FSearchFooter->SetAutoThemeAdapt(FAutoThemeAdapt);
    // A grid that follows the colour theme takes it now and hears of its
    // changes through the theme notifier.
    if (FAutoThemeAdapt && !(ComponentState() & csDesigning)) {
        ApplyOfficeTheme();
        if (HandleAllocated())
            AcquireThemeNotifier(this)->RegisterWindow(Handle());
    }
    ApplyScrollBarAlways(false);
    InitOrigColSizes();
    SetColumnOrder();
    if (FBalloonSettings->Enable())
        BalloonInit();
}

void TExStringGrid::Assign(const TPersistent* Source)
{
    const auto* src = dynamic_cast<const TExStringGrid*>(Source);
    if (!src)
        return;
    auto* s = const_cast<TExStringGrid*>(src);
    Font()->Assign(*s->Font());
    FActiveCellColor = s->FActiveCellColor;
    FActiveCellColorTo = s->FActiveCellColorTo;
    FActiveCellFont.Assign(s->FActiveCellFont);
    FActiveCellShow = s->FActiveCellShow;
    SetActiveRowShow(s->ActiveRowShow());
    SetAlign(s->Align());
    FFilterDropDown->Assign(s->FFilterDropDown);
    AnchorHint = s->AnchorHint;
    AutoNumAlign = s->AutoNumAlign;
    FAutoSize = s->FAutoSize;
    SetAutoThemeAdapt(s->FAutoThemeAdapt);
    AutoFilterUpdate = s->AutoFilterUpdate;
    FMouseActions->Assign(s->FMouseActions);
    FNavigation->Assign(s->FNavigation);
    FGrouping->Assign(s->FGrouping);
    FSearchFooter->Assign(s->FSearchFooter);
    FPrintSettings->Assign(s->FPrintSettings);
    FFilter->Assign(s->FFilter);
    FHTMLSettings->Assign(s->FHTMLSettings);
    FBands->Assign(s->FBands);
    FSortSettings->Assign(s->FSortSettings);
    FDragScrollOptions->Assign(s->FDragScrollOptions);
    FDragDropSettings->Assign(s->FDragDropSettings);
    FColumnSize->Assign(s->FColumnSize);
    FSyncGrid->Assign(s->FSyncGrid);
    FFocusHelper->Assign(s->FFocusHelper);
    FixedRowAlways = s->FixedRowAlways;
    SetColCount(s->ColCount());
    SetRowCount(s->RowCount());
    SetFixedRows(s->FixedRows());
    SetFixedCols(s->FixedCols());
    SetDefaultColWidth(s->DefaultColWidth());
    SetDefaultRowHeight(s->DefaultRowHeight());
    SetFixedRowHeight(s->FixedRowHeight());
    SetFixedColWidth(s->FixedColWidth());
    InvalidEntryTitle = s->InvalidEntryTitle;
    InvalidEntryIcon = s->InvalidEntryIcon;
    InvalidEntryText = s->InvalidEntryText;
    SetOptions(s->Options());
    for (int i = 0; i < s->ColCount(); ++i)
        SetColWidths(i, s->ColWidths(i));
    FColumnHeaders->Assign(s->FColumnHeaders);
    for (int i = 0; i < s->RowCount(); ++i)
        SetRowHeights(i, s->RowHeights(i));
    FScrollProportional = s->FScrollProportional;
    ScrollSynch = s->ScrollSynch;
    FScrollWidth = s->FScrollWidth;
    ScrollHints = s->ScrollHints;
    FScrollBarAlways = s->FScrollBarAlways;
    SetScrollBars(s->ScrollBars());
    SetScrollColor(s->ScrollColor());
    SetScrollType(s->ScrollType());
    SetScrollWidth(s->ScrollWidth());
    AssignCells(Source);
}

void TExStringGrid::AssignCells(const TPersistent* Source)
{
    // Through the grid text stream: the source's save range, as its export
    // hook gives the texts.
    auto* s = const_cast<TExStringGrid*>(dynamic_cast<const TExStringGrid*>(Source));
    if (!s)
        return;
    TMemoryStream ms;
    s->SaveToStream(&ms);
    ms.SetPosition(0);
    LoadFromStream(&ms);
}

void TExStringGrid::Resize()
{
    // The library's notice fires OnResize.
    TBaseGrid::Resize();
    if ((FBackGround->Display == bdGradientHorz || FBackGround->Display == bdGradientVert) &&
        FBackGround->ColorTo != clNone)
        Invalidate();
    ApplyScrollBarAlways(false);
    CellControlsUpdate();
}

void TExStringGrid::ApplyScrollBarAlways(bool Force)
{
    // The library lays its bars out by need; the bars asked for always stay.
    SetAlwaysShownBars(FScrollBarAlways == saVert || FScrollBarAlways == saBoth,
                       FScrollBarAlways == saHorz || FScrollBarAlways == saBoth);
    if (!HandleAllocated())
        return;
    const bool rowsFit = VisibleRowCount() + FixedRows() >= RowCount();
    const bool colsFit = VisibleColCount() + FixedCols() >= ColCount();
    if (FScrollBarAlways != saNone) {
        if (rowsFit)
            ShowScrollBar(this, SB_VERT, FScrollBarAlways == saVert || FScrollBarAlways == saBoth);
        if (colsFit)
            ShowScrollBar(this, SB_HORZ, FScrollBarAlways == saHorz || FScrollBarAlways == saBoth);
        EnableScrollBar(this, SB_VERT, rowsFit ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
        EnableScrollBar(this, SB_HORZ, colsFit ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    } else if (Force) {
        if (rowsFit)
            ShowScrollBar(this, SB_VERT, false);
        if (colsFit)
            ShowScrollBar(this, SB_HORZ, false);
    }
}

void TExStringGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        if (AComponent == FPictureContainer)
            FPictureContainer = nullptr;
        if (AComponent == FCellChecker)
            FCellChecker = nullptr;
        if (AComponent == FEditLink)
            FEditLink = nullptr;
        if (AComponent == FFixedDropDownMenu)
            FFixedDropDownMenu = nullptr;
        if (!(ComponentState() & csDestroying) && FSyncGrid && AComponent == FSyncGrid->Grid())
            FSyncGrid->SetGrid(nullptr);
        // A notifier freed while registered leaves the list.
        // (Compared as components: the notice may come from the component
        // base's destructor, when the notifier is no notifier any more.)
        FNotifierList.erase(std::remove_if(FNotifierList.begin(), FNotifierList.end(),
                                           [AComponent](TGridChangeNotifier* n) {
                                               return static_cast<TComponent*>(n) == AComponent;
                                           }),
                            FNotifierList.end());
    }
    TBaseGrid::Notification(AComponent, Operation);
}

void TExStringGrid::SetPictureContainer(TPictureContainer* v)
{
    FPictureContainer = v;
    if (v)
        FreeNotification(reinterpret_cast<TComponent*>(v));
}

void TExStringGrid::SetCellChecker(ROroRoravaZuzoZovor* v)
{
    FCellChecker = v;
    if (v)
        FreeNotification(v);
}

void TExStringGrid::SetFixedDropDownMenu(TPopupMenu* v)
{
    FFixedDropDownMenu = v;
    if (v)
        FreeNotification(v);
}

unsigned TExStringGrid::GetVersionNr() { return kVersionNr; }

QString TExStringGrid::Version()
{
    const unsigned v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4")
        .arg((v >> 24) & 0xFF)
        .arg((v >> 16) & 0xFF)
        .arg((v >> 8) & 0xFF)
        .arg(v & 0xFF);
}

QString TExStringGrid::GetVersionString() { return Version() + QStringLiteral(" Sep, 2012"); }

// ---------------------------------------------------------------------------
// Simple setters
// ---------------------------------------------------------------------------

void TExStringGrid::FontChanged(TObject*) { Invalidate(); }

void TExStringGrid::SetShowDesignHelper(bool v)
{
    if (v == FShowDesignHelper)
        return;
    FShowDesignHelper = v;
    Invalidate();
}

void TExStringGrid::SetActiveCellShow(bool v)
{
    FActiveCellShow = v;
    Invalidate();
}

void TExStringGrid::SetActiveCellColor(TColor v)
{
    FActiveCellColor = v;
    Invalidate();
}

void TExStringGrid::SetActiveCellColorTo(TColor v)
{
    FActiveCellColorTo = v;
    Invalidate();
}

void TExStringGrid::SetActiveCellFont(const TFont& v)
{
    FActiveCellFont.Assign(v);
    Invalidate();
}

void TExStringGrid::SetFixedFont(const TFont& v)
{
    FFixedFont.Assign(v);
    Invalidate();
}

void TExStringGrid::SetHighlightColor(TColor v)
{
    if (v == FHighlightColor)
        return;
    FHighlightColor = v;
    SetHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

void TExStringGrid::SetHighlightTextColor(TColor v)
{
    if (v == FHighlightTextColor)
        return;
    FHighlightTextColor = v;
    SetHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

namespace {
// Stores a changed value and repaints; an unchanged one does nothing.
template <class T, class G>
void StoreAndRepaint(G* grid, T& field, const T& v)
{
    if (field == v)
        return;
    field = v;
    grid->Invalidate();
}
} // namespace

void TExStringGrid::SetSelectionColor(TColor v) { StoreAndRepaint(this, FSelectionColor, v); }
void TExStringGrid::SetSelectionColorTo(TColor v) { StoreAndRepaint(this, FSelectionColorTo, v); }
void TExStringGrid::SetSelectionMirrorColor(TColor v) { StoreAndRepaint(this, FSelectionMirrorColor, v); }
void TExStringGrid::SetSelectionMirrorColorTo(TColor v) { StoreAndRepaint(this, FSelectionMirrorColorTo, v); }
void TExStringGrid::SetSelectionTextColor(TColor v) { StoreAndRepaint(this, FSelectionTextColor, v); }
void TExStringGrid::SetSelectionColorMixer(bool v) { StoreAndRepaint(this, FSelectionColorMixer, v); }
void TExStringGrid::SetSelectionRectangle(bool v) { StoreAndRepaint(this, FSelectionRectangle, v); }
void TExStringGrid::SetSelectionResizer(bool v) { StoreAndRepaint(this, FSelectionResizer, v); }
void TExStringGrid::SetDefaultAlignment(TAlignment v) { StoreAndRepaint(this, FDefaultAlignment, v); }

void TExStringGrid::SetSelectionColorMixerFactor(int v)
{
    StoreAndRepaint(this, FSelectionColorMixerFactor, std::clamp(v, 0, 100));
}

void TExStringGrid::SetShowSelection(bool v)
{
    if (v == FShowSelection)
        return;
    FShowSelection = v;
    FShowSel = v;
    Invalidate();
}

void TExStringGrid::SetMaxEditLength(int v)
{
    FMaxEditLength = v;
    if (auto* ed = dynamic_cast<TCustomEdit*>(InplaceEditor()))
        ed->SetMaxLength(v);
}

void TExStringGrid::SetFlat(bool v)
{
    FFlat = v;
    if (!Loading())
        Invalidate();
}

void TExStringGrid::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    FVAlign = v == vtaCenter ? 4u : v == vtaBottom ? 8u : 0u;
    if (FUpdateCount == 0)
        Invalidate();
}

void TExStringGrid::SetXYOffset(TPoint v)
{
    FXYOffset = v;
    Invalidate();
}

void TExStringGrid::SetBorderColor(TColor v)
{
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    if (Parent() && Parent()->HandleAllocated())
        Invalidate();
}

void TExStringGrid::SetScrollBarAlways(TScrollBarAlways v)
{
    FScrollBarAlways = v;
    ApplyScrollBarAlways(true);
}

TColor TExStringGrid::ArrowColor() const { return ArwU ? ArwU->Color() : clNone; }

void TExStringGrid::SetArrowColor(TColor v)
{
    for (TArrowWindow* a : {ArwU, ArwD, ArwL, ArwR})
        if (a)
            a->SetColor(v);
}

// ---------------------------------------------------------------------------
// Dimensions
// ---------------------------------------------------------------------------

void TExStringGrid::SetRowCount(int v)
{
    const int old = RowCount();
    if (old == FixedRows() && FixedRowAlways && FSelHidden)
        UnHideSelection();
    TBaseGrid::SetRowCount(v);
    RowCountWritten(old, v);
}

void TExStringGrid::RowCountWritten(int OldCount, int NewCount)
{
    if (FixedRowAlways && TBaseGrid::RowCount() > FFixedRowsMin && TBaseGrid::FixedRows() != FFixedRowsMin)
        TBaseGrid::SetFixedRows(std::min(FFixedRowsMin, TBaseGrid::RowCount() - 1));
    FMaxRowCount = std::max(FMaxRowCount, NewCount);
    FNormalRowCount = NewCount;
    if (FFooterPanel)
        FFooterPanel->Invalidate();
    ApplyScrollBarAlways(false);
    // The footer row stays the last row: its texts move there, the row it
    // left is emptied with its objects let go (they moved with the texts).
    if (FFloatingFooter && FFloatingFooter->Visible && NewCount != OldCount && OldCount > 0 && NewCount > 0) {
        const int cols = AllColCount();
        for (int c = 0; c < cols; ++c) {
            SetGridCell(c, NewCount - 1, GetGridCell(c, OldCount - 1));
            SetGridObject(c, NewCount - 1, dynamic_cast<TCellProperties*>(GetGridObject(c, OldCount - 1)));
        }
        if (OldCount - 1 != NewCount - 1) {
            for (int c = 0; c < cols; ++c) {
                SetGridObject(c, OldCount - 1, nullptr);
                SetGridCell(c, OldCount - 1, QString());
            }
        }
        CalcFooter(-1);
    }
}

void TExStringGrid::SetColCount(int v)
{
    TBaseGrid::SetColCount(v);
    if (FixedColAlways && TBaseGrid::ColCount() > FFixedColsMin && TBaseGrid::FixedCols() != FFixedColsMin)
        TBaseGrid::SetFixedCols(std::min(FFixedColsMin, TBaseGrid::ColCount() - 1));
    FMaxColCount = std::max(FMaxColCount, v);
    if (FFooterPanel)
        FFooterPanel->Invalidate();
    SetBounds(Left(), Top(), Width(), Height());
    ApplyScrollBarAlways(false);
}

void TExStringGrid::SetFixedFooters(int v)
{
    FFixedFooters = v;
    Invalidate();
}

void TExStringGrid::SetFixedRightCols(int v)
{
    FFixedRightCols = v;
    Invalidate();
}

void TExStringGrid::UpdateColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

void TExStringGrid::UpdateAutoColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

int TExStringGrid::FixedRows() const
{
    const int n = TBaseGrid::FixedRows();
    return n == 0 && FixedRowAlways ? 1 : n;
}

void TExStringGrid::SetFixedRows(int v)
{
    const int applied = v >= RowCount() && FixedRowAlways ? RowCount() - 1 : v;
    TBaseGrid::SetFixedRows(applied);
    if (!Loading())
        FFixedRowsMin = v;
}

int TExStringGrid::FixedCols() const
{
    const int n = TBaseGrid::FixedCols();
    return n == 0 && FixedColAlways ? 1 : n;
}

void TExStringGrid::SetFixedCols(int v)
{
    const int applied = v >= ColCount() && FixedColAlways ? ColCount() - 1 : v;
    TBaseGrid::SetFixedCols(applied);
    if (!Loading())
        FFixedColsMin = v;
}

void TExStringGrid::SetDefaultRowHeight(int v)
{
    TBaseGrid::SetDefaultRowHeight(v);
    if (ComponentState() & csDesigning)
        FFixedRowHeight = v;
    FFloatingFooter->Height = v;
    if (FFloatingFooter->Visible && FFooterPanel)
        FFooterPanel->SetHeight(v);
}

void TExStringGrid::SetFixedColWidth(int v)
{
    if (Loading() || v == DefaultColWidth())
        return;
    for (int i = 0; i < TBaseGrid::FixedCols(); ++i)
        SetColWidths(i, v);
}

void TExStringGrid::SetFixedRowHeight(int v)
{
    FFixedRowHeight = v;
    if (Loading())
        return;
    if (v == DefaultRowHeight()) {
        // The library skips an unchanged default, so every row is set here.
        TBaseGrid::SetDefaultRowHeight(v);
        for (int i = 0; i < RowCount(); ++i)
            SetRowHeights(i, v);
    } else {
        for (int i = 0; i < TBaseGrid::FixedRows(); ++i)
            SetRowHeights(i, v);
    }
}

void TExStringGrid::SetWordWrapEx(bool v)
{
    FWordWrapEx = v;
    WordWrap = v;
    if (TExInplaceEdit* ed = NormalEdit())
        ed->SetWordWrap(v);
    if (FUpdateCount == 0)
        Invalidate();
}

void TExStringGrid::SetScrollBars(TScrollStyle v)
{
    FScrollBars = v;
    TBaseGrid::SetScrollBars(v);
}

void TExStringGrid::StretchColumnToFit(int n)
{
    if (ComponentState() & (csLoading | csDestroying))
        return;
    if (n == -1)
        n = ColCount() - 1;
    if (n >= ColCount())
        throw EInvalidGridOperation(QStringLiteral("Stretch column index out of range"));
    if (ColCount() == 0 || !FColumnSize->Stretch || FIsColChanging || n < 0)
        return;
    FIsColChanging = true;
    ColchgFlg = false;
    const TRect client = ClientRect();
    if (ColCount() == 1) {
        SetColWidths(0, client.Right);
    } else {
        int sum = 0;
        for (int i = 0; i < ColCount(); ++i)
            if (i != n)
                sum += ColWidths(i);
        if (sum < client.Width())
            SetColWidths(n, client.Right - client.Left - sum - 1);
        else if (LeftCol() == TBaseGrid::FixedCols())
            SetColWidths(n, DefaultColWidth());
    }
    ColchgFlg = true;
    FIsColChanging = false;
}

// ---------------------------------------------------------------------------
// Update lock
// ---------------------------------------------------------------------------

void TExStringGrid::BeginUpdate()
{
    if (!Visible())
        return;
    ++FUpdateCount;
}

void TExStringGrid::EndUpdate()
{
    if (!Visible())
        return;
    if (FUpdateCount > 0)
        --FUpdateCount;
    if ((ComponentState() & csDestroying) || FUpdateCount > 0)
        return;
    FSelChange = false;
    Invalidate();
}

void TExStringGrid::Paint()
{
    // The library's redraw switch does nothing, so the lock is kept here.
    if (FUpdateCount > 0)
        return;
    Canvas()->Pen().SetStyle(psSolid);
    Canvas()->Brush().SetStyle(bsSolid);
    TBaseGrid::Paint();
    PaintOverCells();
}

void TExStringGrid::Invalidate()
{
    if (FEditChange) {
        FEditChange = false;
        return;
    }
    TBaseGrid::Invalidate();
    if (!Loading() && FFloatingFooter && FFloatingFooter->Visible && FFooterPanel)
        FFooterPanel->Invalidate();
}

void TExStringGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int R = DefaultRowHeight();
    if (FIntegralHeight && FUpdateCount == 0 && R > 0) {
        const int h = VisibleColCount() + FixedCols() < ColCount() ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        const int b = BorderStyle() == bsSingle ? 2 : 0;
        AHeight = h + 2 * b + ((AHeight - h - b) / R) * R;
    }
    TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TExStringGrid::SetIntegralHeight(bool v)
{
    FIntegralHeight = v;
    SetBounds(Left(), Top(), Width(), Height());
}

// ---------------------------------------------------------------------------
// Hidden columns
// ---------------------------------------------------------------------------

bool TExStringGrid::IsHiddenColumn(int ColIndex) const
{
    if (ColIndex < 0 || ColIndex >= MaxRealCols - 1)
        return false;
    return FVisibleCol[ColIndex] == 0;
}

int TExStringGrid::RemapColToDispl(int RealCol) const
{
    if (RealCol >= MaxRealCols - 1 || FNumHidden == 0 || RealCol < 0)
        return RealCol;
    int hidden = 0;
    for (int i = 0; i < RealCol; ++i)
        hidden += FVisibleCol[i] == 0;
    return RealCol - hidden;
}

int TExStringGrid::RemapColToReal(int DisplCol) const
{
    if (DisplCol >= MaxRealCols - 1 || FNumHidden == 0 || DisplCol < 0)
        return DisplCol;
    int shown = 0;
    for (int j = 0; j < MaxRealCols - 1; ++j) {
        if (FVisibleCol[j] == 0)
            continue;
        if (shown == DisplCol)
            return j;
        ++shown;
    }
    return 0;
}

void TExStringGrid::HideColumns(int FromCol, int ToCol)
{
    SetEditorMode(false);
    for (int c = std::max(FromCol, 0); c <= ToCol && c < MaxRealCols; ++c) {
        if (FVisibleCol[c] != 1 || c >= ColCount() + FNumHidden || ColCount() <= 1)
            continue;
        const int d = RemapColToDispl(c);
        FAllColWidths[c] = int16_t(ColWidths(d));
        for (int i = d + 1; i < ColCount(); ++i)
            SetColWidths(i - 1, ColWidths(i));
        ++FNumHidden;
        FVisibleCol[c] = 0;
        if (Col() == ColCount() - 1 && Col() > 0)
            TBaseGrid::SetCol(Col() - 1);
        SetColCount(ColCount() - 1);
    }
    Invalidate();
}

void TExStringGrid::UnHideColumns(int FromCol, int ToCol)
{
    SetEditorMode(false);
    for (int c = std::max(FromCol, 0); c <= ToCol && c < MaxRealCols; ++c) {
        if (FVisibleCol[c] != 0)
            continue;
        --FNumHidden;
        FVisibleCol[c] = 1;
        SetColCount(ColCount() + 1);
        const int d = RemapColToDispl(c);
        for (int i = ColCount() - 1; i > d; --i)
            SetColWidths(i, ColWidths(i - 1));
        SetColWidths(d, FAllColWidths[c]);
    }
    Invalidate();
}

int TExStringGrid::AllColWidths(int ACol) const
{
    if (IsHiddenColumn(ACol))
        return FAllColWidths[ACol];
    return ColWidths(RemapColToDispl(ACol));
}

void TExStringGrid::SetAllColWidths(int ACol, int v)
{
    if (ACol >= 0 && ACol < MaxRealCols)
        FAllColWidths[ACol] = int16_t(v);
    if (!IsHiddenColumn(ACol))
        SetColWidths(RemapColToDispl(ACol), v);
}

// ---------------------------------------------------------------------------
// Current cell
// ---------------------------------------------------------------------------

void TExStringGrid::SetRow(int v)
{
    if (Col() < 0 || Col() >= ColCount())
        MoveToCell(FixedCols(), v);
    TBaseGrid::SetRow(v);
    if (Row() != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, Row());
        FOldRowSel = Row();
    }
    if (FMouseActions->DisjunctRowSelect())
        UpdateRowSelect(false);
    if (FSyncGrid->Grid() && FSyncGrid->SelectionRow && FSyncGrid->Grid() != this) {
        if (auto* g = dynamic_cast<TExStringGrid*>(FSyncGrid->Grid()))
            g->SetRow(Row());
        else
            FSyncGrid->Grid()->SetRow(Row());
    }
    if (v == RowCount() - 1 && FSearchFooter->Visible())
        ScrollAboveSearchPanel();
}

void TExStringGrid::SetCol(int v)
{
    TBaseGrid::SetCol(v);
    if (FSyncGrid->Grid() && FSyncGrid->SelectionColumn && FSyncGrid->Grid() != this) {
        if (auto* g = dynamic_cast<TExStringGrid*>(FSyncGrid->Grid()))
            g->SetCol(Col());
        else
            FSyncGrid->Grid()->SetCol(Col());
    }
}

void TExStringGrid::SetTopRow(int v)
{
    if (v >= FixedRows() && v <= RowCount() - 1)
        TBaseGrid::SetTopRow(v);
}


// ---------------------------------------------------------------------------
// Per-cell properties
// ---------------------------------------------------------------------------

void TExStringGrid::RepaintRealCell(int ACol, int ARow) { RepaintCell(DisplColIndex(ACol), ARow); }

TColor TExStringGrid::GetColors(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->BrushColor() : clNone;
}

void TExStringGrid::SetColors(int ACol, int ARow, TColor v)
{
    GetCellProperties(ACol, ARow)->SetBrushColor(v);
    if (FUpdateCount == 0)
        RepaintRealCell(ACol, ARow);
}

TColor TExStringGrid::GetColorsTo(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->BrushColorTo() : clNone;
}

void TExStringGrid::SetColorsTo(int ACol, int ARow, TColor v)
{
    GetCellProperties(ACol, ARow)->SetBrushColorTo(v);
    RepaintRealCell(ACol, ARow);
}

TCellGradientDirection TExStringGrid::GetGradientDir(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->GradientDirection : GradientVertical;
}

void TExStringGrid::SetGradientDir(int ACol, int ARow, TCellGradientDirection v)
{
    GetCellProperties(ACol, ARow)->GradientDirection = v;
    RepaintRealCell(ACol, ARow);
}

bool TExStringGrid::GetReadOnly(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->ReadOnly : false;
}

void TExStringGrid::SetReadOnly(int ACol, int ARow, bool v)
{
    GetCellProperties(ACol, ARow)->ReadOnly = v;
    RepaintRealCell(ACol, ARow);
}

bool TExStringGrid::GetWordWraps(int ACol, int ARow) { return GetCellProperties(ACol, ARow)->WordWrap(); }

void TExStringGrid::SetWordWraps(int ACol, int ARow, bool v)
{
    GetCellProperties(ACol, ARow)->SetWordWrap(v);
    RepaintRealCell(ACol, ARow);
}

TColor TExStringGrid::GetFontColors(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontColor : clNone;
}

void TExStringGrid::SetFontColors(int ACol, int ARow, TColor v)
{
    GetCellProperties(ACol, ARow)->FontColor = v;
    RepaintRealCell(ACol, ARow);
}

TFontStyles TExStringGrid::GetFontStyles(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontStyle : TFontStyles(0);
}

void TExStringGrid::SetFontStyles(int ACol, int ARow, TFontStyles v)
{
    GetCellProperties(ACol, ARow)->FontStyle = v;
    RepaintRealCell(ACol, ARow);
}

QString TExStringGrid::GetFontNames(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontName : QString();
}

void TExStringGrid::SetFontNames(int ACol, int ARow, const QString& v)
{
    GetCellProperties(ACol, ARow)->FontName = v;
    RepaintRealCell(ACol, ARow);
}

int TExStringGrid::GetFontSizes(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontSize : 0;
}

void TExStringGrid::SetFontSizes(int ACol, int ARow, int v)
{
    GetCellProperties(ACol, ARow)->FontSize = v;
    RepaintRealCell(ACol, ARow);
}

TAlignment TExStringGrid::GetAlignments(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->Alignment : taLeftJustify;
}

void TExStringGrid::SetAlignments(int ACol, int ARow, TAlignment v)
{
    GetCellProperties(ACol, ARow)->Alignment = v;
    RepaintRealCell(ACol, ARow);
}
