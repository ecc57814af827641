#include "gridpack/stringgrid/ExCGrid.h"
#include "gridpack/stringgrid/ExGridSpin.h"
#include "platform/core/IniFiles.h"
#include "gridpack/stringgrid/ExGridOwned.h"

#include "platform/controls/Controls.h"
#include "platform/core/MathUtils.h"

namespace {
constexpr unsigned kColumnGridVersionNr = 0x03010301;

TExColumnGrid* GridOfCollection(const TCollection* c)
{
    if (c && c->InheritsFrom(TGridColumnCollection::StaticClassName()))
        return static_cast<const TGridColumnCollection*>(c)->Grid();
    return nullptr;
}

// Sets a flag for the length of a scope and always clears it again.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};
} // namespace

// ---------------------------------------------------------------------------
// TGridColumnItem
// ---------------------------------------------------------------------------

TGridColumnItem::TGridColumnItem(TCollection* Collection)
    : TCollectionItem(Collection)
{
    TExColumnGrid* grid = GridOfCollection(Collection);
    FComboItems = new TStringList();
    FFilter = new TStringList();
    FBorderPen.SetColor(TColor(0xC0C0C0));
    FBorderPen.SetWidth(1);
    FPrintBorderPen.SetColor(clBlack);
    FPrintBorderPen.SetWidth(1);
    if (grid) {
        FColor = grid->Color();
        FFont.Assign(*grid->Font());
        FHeaderFont.Assign(*grid->Font());
        FPrintFont.Assign(*grid->Font());
        // Only an item of a grid reports changes.
        FBorderPen.OnChange = [this](TGraphicsObject*) { CollectionUpdate(); };
        FFont.OnChange = [this](TGraphicsObject*) { CollectionUpdate(); };
        FHeaderFont.OnChange = [this](TGraphicsObject*) { CollectionUpdate(); };
        FFilter->OnChange = [this](TObject*) { Repaint(); };
    }
}

void TGridColumnItem::AfterConstruction()
{
    TCollectionItem::AfterConstruction();
    // A scratch item past the grid's columns (a column move) leaves the
    // widths alone.
    TExColumnGrid* g = Grid();
    if (g && Index() < g->AllColCount())
        SetWidth(FWidth);
}

TGridColumnItem::~TGridColumnItem()
{
    FFilter->OnChange = nullptr;
    FComboItems->Free();
    FFilter->Free();
}

TExColumnGrid* TGridColumnItem::Grid() const
{
    return Collection() ? GridOfCollection(Collection()) : nullptr;
}

void TGridColumnItem::Repaint()
{
    if (TExColumnGrid* g = Grid())
        g->Invalidate();
}

QString TGridColumnItem::GetDisplayName() const
{
    if (!Name.isEmpty())
        return QStringLiteral("Col %1: %2").arg(Index()).arg(Name);
    return QStringLiteral("Column %1").arg(Index());
}

// What a new item takes over from the one before it; Assign adds the
// colour, fonts, header, combo list, name and tag.
void TGridColumnItem::AssignLook(const TGridColumnItem* s)
{
    FAlignment = s->FAlignment;
    FHeaderAlignment = s->FHeaderAlignment;
    FBorderPen.Assign(s->FBorderPen);
    FBorders = s->FBorders;
    CheckFalse = s->CheckFalse;
    CheckTrue = s->CheckTrue;
    EditLength = s->EditLength;
    FEditLink = s->FEditLink;
    EditMask = s->EditMask;
    FEditor = s->FEditor;
    FFixed = s->FFixed;
    FPassword = s->FPassword;
    FPrintBorderPen.Assign(s->FPrintBorderPen);
    PrintBorders = s->PrintBorders;
    PrintColor = s->PrintColor;
    FPrintFont.Assign(s->FPrintFont);
    ReadOnly = s->ReadOnly;
    SortPrefix = s->SortPrefix;
    SortStyle = s->SortStyle;
    SortSuffix = s->SortSuffix;
    SpinMax = s->SpinMax;
    SpinMin = s->SpinMin;
    SpinStep = s->SpinStep;
    FColumnPopup = s->FColumnPopup;
    FWidth = s->Width();
    FShowBands = s->FShowBands;
    MinSize = s->MinSize;
    MaxSize = s->MaxSize;
    AutoMinSize = s->AutoMinSize;
    AutoMaxSize = s->AutoMaxSize;
    FFilter->Assign(s->FFilter);
    FilterCaseSensitive = s->FilterCaseSensitive;
    DefIdx = s->DefIdx;
    FFloatFormat = s->FFloatFormat;
}

void TGridColumnItem::Assign(const TPersistent* Source)
{
    if (!Source || !Source->InheritsFrom(TGridColumnItem::StaticClassName()))
        return;
    const auto* s = static_cast<const TGridColumnItem*>(Source);
    if (s == this)
        return;
    AssignLook(s);
    DropDownCount = s->DropDownCount;
    FColor = s->FColor;
    FComboItems->Assign(s->FComboItems);
    FFont.Assign(s->FFont);
    FHeader = s->FHeader;
    FHeaderFont.Assign(s->FHeaderFont);
    Name = s->Name;
    Tag = s->Tag;
}

void TGridColumnItem::AssignVisuals(const TGridColumnItem* Source)
{
    if (!Source || Source == this)
        return;
    const TGridColumnItem* s = Source;
    AssignLook(s);
    if (TExColumnGrid* g = Grid()) {
        FColor = g->Color();
        FFont.Assign(*g->Font());
    }
}

void TGridColumnItem::SetAlignment(TAlignment v)
{
    FAlignment = v;
    Repaint();
}

void TGridColumnItem::SetHeaderAlignment(TAlignment v)
{
    FHeaderAlignment = v;
    Repaint();
}

void TGridColumnItem::SetBorders(TCellBorders v)
{
    FBorders = v;
    CollectionUpdate();
}

void TGridColumnItem::SetBorderPen(const TPen& v)
{
    FBorderPen.Assign(v);
    CollectionUpdate();
}

void TGridColumnItem::SetColor(TColor v)
{
    FColor = v;
    CollectionUpdate();
}

void TGridColumnItem::SetColumnPopup(TPopupMenu* v)
{
    FColumnPopup = v;
    if (v)
        if (TExColumnGrid* g = Grid())
            g->FreeNotification(v);
}

void TGridColumnItem::SetComboItems(const TStrings* v)
{
    FComboItems->Assign(v);
}

void TGridColumnItem::SetEditLink(TComponent* v)
{
    FEditLink = v;
    if (v)
        if (TExColumnGrid* g = Grid())
            g->FreeNotification(v);
}

void TGridColumnItem::SetEditor(TEditorType v)
{
    if (v == FEditor)
        return;
    const bool checks = v == edDataCheckBox || FEditor == edDataCheckBox;
    FEditor = v;
    if (checks)
        Repaint();
}

void TGridColumnItem::SetFilter(const TStrings* v)
{
    FFilter->Assign(v);
}

void TGridColumnItem::SetFixed(bool v)
{
    FFixed = v;
    CollectionUpdate();
}

void TGridColumnItem::SetFloatFormat(const QString& v)
{
    FFloatFormat = v;
    Repaint();
}

void TGridColumnItem::SetFont(const TFont& v)
{
    FFont.Assign(v);
    CollectionUpdate();
}

void TGridColumnItem::SetHeader(const QString& v)
{
    FHeader = v;
    TExColumnGrid* g = Grid();
    if (!g)
        return;
    if (g->FixedRows() > 0 && !g->FColMoving) {
        g->SetCellEx(Index(), 0, v);
        CollectionUpdate();
    }
    g->RebuildColumnHeaders();
}

void TGridColumnItem::SetHeaderFont(const TFont& v)
{
    FHeaderFont.Assign(v);
    Repaint();
}

void TGridColumnItem::SetPassword(bool v)
{
    FPassword = v;
    CollectionUpdate();
}

void TGridColumnItem::SetPrintBorderPen(const TPen& v)
{
    FPrintBorderPen.Assign(v);
}

void TGridColumnItem::SetPrintFont(const TFont& v)
{
    FPrintFont.Assign(v);
}

void TGridColumnItem::SetShowBands(bool v)
{
    FShowBands = v;
    CollectionUpdate();
}

int TGridColumnItem::Width() const
{
    TExColumnGrid* g = Grid();
    if (!g)
        return 0;
    const int i = Index();
    return i < g->AllColCount() ? g->AllColWidths(i) : FWidth;
}

void TGridColumnItem::SetWidth(int v)
{
    FWidth = v;
    TExColumnGrid* g = Grid();
    const int i = Index();
    if (g && i < g->AllColCount())
        g->SetAllColWidths(i, v);
}

QString TGridColumnItem::Rows(int ARow) const
{
    TExColumnGrid* g = Grid();
    return g ? g->GetCellEx(Index(), ARow) : QString();
}

void TGridColumnItem::SetRows(int ARow, const QString& v)
{
    if (TExColumnGrid* g = Grid())
        g->SetCellEx(Index(), ARow, v);
}

int TGridColumnItem::Ints(int ARow) const
{
    TExColumnGrid* g = Grid();
    return g ? g->GetInts(Index(), ARow) : 0;
}

void TGridColumnItem::SetInts(int ARow, int v)
{
    if (TExColumnGrid* g = Grid())
        g->SetInts(Index(), ARow, v);
}

double TGridColumnItem::Floats(int ARow) const
{
    TExColumnGrid* g = Grid();
    return g ? g->GetFloats(Index(), ARow) : 0.0;
}

void TGridColumnItem::SetFloats(int ARow, double v)
{
    if (TExColumnGrid* g = Grid())
        g->SetFloats(Index(), ARow, v);
}

TDateTime TGridColumnItem::Dates(int ARow) const
{
    TExColumnGrid* g = Grid();
    return g ? g->GetDates(Index(), ARow) : TDateTime();
}

void TGridColumnItem::SetDates(int ARow, TDateTime v)
{
    if (TExColumnGrid* g = Grid())
        g->SetDates(Index(), ARow, v);
}

TDateTime TGridColumnItem::Times(int ARow) const
{
    TExColumnGrid* g = Grid();
    return g ? g->GetTimes(Index(), ARow) : TDateTime();
}

void TGridColumnItem::SetTimes(int ARow, TDateTime v)
{
    if (TExColumnGrid* g = Grid())
        g->SetTimes(Index(), ARow, v);
}

// ---------------------------------------------------------------------------
// TGridColumnCollection
// ---------------------------------------------------------------------------

TGridColumnCollection::TGridColumnCollection(TExColumnGrid* AOwner)
    : TCollection(TCollection::ItemClass<TGridColumnItem>()), FOwner(AOwner)
{
}

TPersistent* TGridColumnCollection::GetOwner() const { return FOwner; }

TGridColumnItem* TGridColumnCollection::Add()
{
    auto* item = static_cast<TGridColumnItem*>(TCollection::Add());
    if (Count() > 1)
        item->AssignVisuals(Items(Count() - 2));
    return item;
}

TGridColumnItem* TGridColumnCollection::Insert(int Index)
{
    return static_cast<TGridColumnItem*>(TCollection::Insert(Index));
}

void TGridColumnCollection::Update(TCollectionItem* Item)
{
    TCollection::Update(Item);
    if (UpdateCount() > 0 || NoRecursiveUpdate || !FOwner || FOwner->Loading() ||
        FOwner->InState(csDestroying))
        return;
    const int n = Count() - FOwner->NumHiddenColumns();
    if (n != FOwner->ColCount() && n > FOwner->FixedCols())
        FOwner->SetColCount(n);
    FOwner->UpdateColumnHeaders();
    FOwner->Invalidate();
}

void TGridColumnCollection::SetOrganization()
{
    if (FOwner)
        FOwner->UpdateColumnCountQuiet();
    for (int i = 0; i < Count(); ++i)
        Items(i)->DefIdx = i;
}

void TGridColumnCollection::ResetOrganization()
{
    if (!FOwner)
        return;
    bool moved = true;
    while (moved) {
        moved = false;
        for (int i = 0; i < Count(); ++i) {
            const int def = Items(i)->DefIdx;
            if (def < i && def >= 0) {
                FOwner->MoveColumn(FOwner->RemapColToDispl(i), FOwner->RemapColToDispl(def));
                moved = true;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// TExColumnGrid
// ---------------------------------------------------------------------------

TExColumnGrid::TExColumnGrid(TComponent* AOwner) : TExStringGrid(AOwner)
{
    FColumnCollection = CreateColumns();
    UpdateColumnCountQuiet();
    FColMoving = false;
    FSaveCol = NewObject<TGridColumnItem>(nullptr);
    FCellGraphic = NewObject<TCellGraphic>();
}

TExColumnGrid::~TExColumnGrid()
{
    FreeAndNil(FColumnCollection);
    FreeAndNil(FSaveCol);
    FreeAndNil(FCellGraphic);
}

TGridColumnCollection* TExColumnGrid::CreateColumns() { return NewObject<TGridColumnCollection>(this); }

void TExColumnGrid::SetColumns(const TGridColumnCollection* Value) { FColumnCollection->Assign(Value); }

void TExColumnGrid::SetColCount(int v)
{
    TExStringGrid::SetColCount(v);
    UpdateColumnCountQuiet();
}

void TExColumnGrid::UpdateColumnCount()
{
    if (!FColumnCollection)
        return;
    while (FColumnCollection->Count() < ColCount() + NumHiddenColumns())
        FColumnCollection->Add();
    while (FColumnCollection->Count() > ColCount() + NumHiddenColumns())
        FColumnCollection->Items(FColumnCollection->Count() - 1)->Free();
}

void TExColumnGrid::UpdateColumnCountQuiet()
{
    if (!FColumnCollection)
        return;
    const bool was = FColumnCollection->NoRecursiveUpdate;
    FColumnCollection->NoRecursiveUpdate = true;
    try {
        UpdateColumnCount();
    } catch (...) {
        FColumnCollection->NoRecursiveUpdate = was;
        throw;
    }
    FColumnCollection->NoRecursiveUpdate = was;
}

void TExColumnGrid::UpdateColumnHeaders()
{
    if (FixedRows() <= 0 || !FColumnCollection)
        return;
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->Items(i);
        if (item->FHeader.isEmpty()) {
            const QString cell = GetCellEx(i, 0);
            if (!cell.isEmpty())
                item->FHeader = cell;
        }
    }
    RebuildColumnHeaders();
}

void TExColumnGrid::RebuildColumnHeaders()
{
    if (!FColumnCollection)
        return;
    TStringList* list = ColumnHeaders();
    // One change notice for the whole list.
    list->BeginUpdate();
    try {
        list->Clear();
        for (int i = 0; i < FColumnCollection->Count(); ++i)
            list->Add(FColumnCollection->Items(i)->FHeader);
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

void TExColumnGrid::SyncColumnHeaders()
{
    if (!FColumnCollection)
        return;
    const TStringList* list = ColumnHeaders();
    for (int i = 0; i < FColumnCollection->Count() && i < list->Count(); ++i)
        FColumnCollection->Items(i)->FHeader = list->Strings(i);
}

TGridColumnItem* TExColumnGrid::GetColumnByName(const QString& AValue) const
{
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        if (FColumnCollection->Items(i)->Name == AValue)
            return FColumnCollection->Items(i);
    return nullptr;
}

unsigned TExColumnGrid::GetVersionNr() { return kColumnGridVersionNr; }

QString TExColumnGrid::GetVersionString() { return Version() + QStringLiteral(" Aug, 2012"); }

void TExColumnGrid::Loaded()
{
    TExStringGrid::Loaded();
    UpdateColumnCount();
    FColumnCollection->SetOrganization();
}

void TExColumnGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TExStringGrid::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent || !FColumnCollection)
        return;
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->Items(i);
        if (item->FEditLink == AComponent)
            item->FEditLink = nullptr;
        if (item->FColumnPopup == AComponent)
            item->FColumnPopup = nullptr;
    }
}

void TExColumnGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    TGridColumnCollection* cols = FColumnCollection;
    const int top = TopRow();
    const int from = RealColIndex(FromIndex);
    const int to = RealColIndex(ToIndex);
    {
        TFlagScope quiet(cols->NoRecursiveUpdate);
        TExStringGrid::ColumnMoved(FromIndex, ToIndex);
        BeginUpdate();
        try {
            TFlagScope moving(FColMoving);
            if (from >= 0 && from < cols->Count() && to >= 0 && to < cols->Count() && from != to) {
                TGridColumnItem* scratch = cols->Add();
                scratch->Assign(cols->Items(from));
                cols->Items(from)->Free();
                cols->Insert(to)->Assign(scratch);
                scratch->Free();
            }
            SetTopRow(top);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    if (OnAfterColumnMoved)
        OnAfterColumnMoved(this, from, to);
}

void TExColumnGrid::InsertCols(int ColIndex, int CCount)
{
    if (CCount <= 0 || ColIndex < 0)
        return;
    const int at = ColIndex >= ColCount() ? AllColCount() : RealColIndex(ColIndex);
    TExStringGrid::InsertCols(ColIndex, CCount);
    TFlagScope quiet(FColumnCollection->NoRecursiveUpdate);
    for (int i = 0; i < CCount; ++i)
        FColumnCollection->Insert(std::min(at, FColumnCollection->Count()));
}

void TExColumnGrid::Group(int Colindex)
{
    const int real = Colindex >= 0 && Colindex < ColCount() ? RealColIndex(Colindex) : -1;
    if (real >= 0 && real < FColumnCollection->Count() && Colindex >= FixedCols()) {
        // A grouped grid gives its old column back first.
        if (GroupColumn() != -1)
            UnGroup();
        FSaveCol->Assign(FColumnCollection->Items(RealColIndex(Colindex)));
    }
    TExStringGrid::Group(Colindex);
}

void TExColumnGrid::UnGroup()
{
    const int col = GroupColumn();
    TExStringGrid::UnGroup();
    if (col != -1 && col < ColCount()) {
        const int real = RealColIndex(col);
        if (real < FColumnCollection->Count())
            FColumnCollection->Items(real)->Assign(FSaveCol);
    }
}

void TExColumnGrid::RemoveCols(int ColIndex, int CCount)
{
    if (ColIndex < 0 || ColIndex >= ColCount() || CCount <= 0)
        return;
    const int at = RealColIndex(ColIndex);
    const int n = std::min(CCount, AllColCount() - at);
    TExStringGrid::RemoveCols(ColIndex, CCount);
    // One collection update for all the deleted items.
    FColumnCollection->BeginUpdate();
    try {
        for (int i = 0; i < n && at < FColumnCollection->Count(); ++i)
            FColumnCollection->Items(at)->Free();
    } catch (...) {
        FColumnCollection->EndUpdate();
        throw;
    }
    FColumnCollection->EndUpdate();
}

void TExColumnGrid::SaveColPositions()
{
    if (ColumnSize()->Location == clIniFile)
        SaveColumnPositions(ColumnSize()->Key, ColumnSize()->Section);
    else
        TExStringGrid::SaveColPositions();
}

void TExColumnGrid::LoadColPositions()
{
    if (ColumnSize()->Location == clIniFile)
        LoadColumnPositions(ColumnSize()->Key, ColumnSize()->Section);
    else
        TExStringGrid::LoadColPositions();
}

void TExColumnGrid::SaveColumnPositions(const QString& Key, const QString& Section)
{
    TMemIniFile ini(Key);
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        ini.WriteInteger(Section, QStringLiteral("CP%1").arg(i), FColumnCollection->Items(i)->DefIdx);
    ini.UpdateFile();
}

void TExColumnGrid::LoadColumnPositions(const QString& Key, const QString& Section)
{
    TMemIniFile ini(Key);
    const int n = FColumnCollection->Count();
    // Every key present, each a position of an item, no position twice;
    // otherwise the order stays as it is.
    std::vector<int> kept;
    std::vector<bool> named(std::size_t(std::max(n, 0)), false);
    for (int j = 0; j < n; ++j) {
        const int v = ini.ReadInteger(Section, QStringLiteral("CP%1").arg(j), -1);
        if (v < 0 || v >= n || named[std::size_t(v)])
            return;
        named[std::size_t(v)] = true;
        kept.push_back(v);
    }
    ResetColumnOrder();
    for (int j = 0; j < n; ++j)
        FColumnCollection->Items(kept[std::size_t(j)])->DefIdx = j;
    FColumnCollection->ResetOrganization();
    for (int i = 0; i < n; ++i)
        FColumnCollection->Items(i)->DefIdx = kept[std::size_t(i)];
}

void TExColumnGrid::ColWidthsChanged()
{
    TExStringGrid::ColWidthsChanged();
    if (!FColumnCollection || (ComponentState() & (csLoading | csDestroying)))
        return;
    for (int c = 0; c < ColCount(); ++c) {
        const int r = RealColIndex(c);
        if (r < FColumnCollection->Count())
            FColumnCollection->Items(r)->FWidth = ColWidths(c);
    }
}

void TExColumnGrid::ChangeScale(int M, int D)
{
    TExStringGrid::ChangeScale(M, D);
    if (M == D || !FColumnCollection)
        return;
    for (int i = 0; i < ColCount() && i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->Items(i);
        item->FFont.SetSize(MulDiv(item->FFont.Size(), M, D));
        item->FHeaderFont.SetSize(MulDiv(item->FHeaderFont.Size(), M, D));
    }
}

int TExColumnGrid::GetEditLimit()
{
    int limit = TExStringGrid::GetEditLimit();
    const int r = RealColIndex(Col());
    if (FColumnCollection && r < FColumnCollection->Count() && Col() >= FixedCols())
        limit = FColumnCollection->Items(r)->EditLength;
    return limit;
}

QString TExColumnGrid::GetEditMask(int ACol, int ARow)
{
    QString mask;
    const int r = RealColIndex(ACol);
    if (FColumnCollection && r < FColumnCollection->Count() && ACol >= FixedCols())
        mask = FColumnCollection->Items(r)->EditMask;
    const QString inherited = TExStringGrid::GetEditMask(ACol, ARow);
    if (!inherited.isEmpty())
        mask = inherited;
    return mask;
}

// ---------------------------------------------------------------------------
// Per-column answers
// ---------------------------------------------------------------------------

TGridColumnItem* TExColumnGrid::ColumnOf(int ACol) const
{
    if (!FColumnCollection || ACol < 0 || ACol >= FColumnCollection->Count())
        return nullptr;
    return FColumnCollection->Items(ACol);
}

bool TExColumnGrid::IsDataCell(int ACol, int ARow)
{
    return ColumnOf(ACol) && ACol >= FixedCols() && ARow >= FixedRows();
}

bool TExColumnGrid::IsBodyCell(int ACol, int ARow)
{
    return IsDataCell(ACol, ARow) && ACol < ColCount() + NumHiddenColumns() - FixedRightCols() &&
           ARow < RowCount() - FixedFooters();
}

void TExColumnGrid::GetFloatFormat(int ACol, int, QString& Fmt)
{
    Fmt = FloatFormat;
    if (const TGridColumnItem* c = ColumnOf(ACol); c && !c->FloatFormat().isEmpty())
        Fmt = c->FloatFormat();
}

void TExColumnGrid::GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
                                    TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                                    bool& WW, TCellGradientDirection& GD)
{
    TGridColumnItem* c = ColumnOf(ACol);
    if (!c) {
        TExStringGrid::GetCellDefaults(ACol, ARow, AFont, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, HA, VA,
                                       WW, GD);
        return;
    }
    AFont->Assign(*c->Font());
    ABrush->SetColor(c->Color());
    AColorTo = clNone;
    HA = ARow < FixedRows() ? c->HeaderAlignment() : c->Alignment();
    VA = VAlignment();
    WW = WordWrap;
    GD = GradientVertical;
    if (IsFixed(ACol, ARow) || (Bands()->Active() && c->ShowBands())) {
        ABrush->SetColor(clNone);
        AColorTo = clNone;
    }
}

namespace {
// Raises w to lo and lowers it to hi, each only when above 0.
void KeepWithin(int& w, int lo, int hi)
{
    if (lo > 0 && w < lo)
        w = lo;
    if (hi > 0 && w > hi)
        w = hi;
}
} // namespace

void TExColumnGrid::UpdateColumnSize(int ACol, int& AWidth)
{
    if (const TGridColumnItem* c = ColumnOf(ACol))
        KeepWithin(AWidth, c->MinSize, c->MaxSize);
    TExStringGrid::UpdateColumnSize(ACol, AWidth);
}

void TExColumnGrid::UpdateAutoColumnSize(int ACol, int& AWidth)
{
    if (const TGridColumnItem* c = ColumnOf(ACol))
        KeepWithin(AWidth, c->AutoMinSize, c->AutoMaxSize);
    TExStringGrid::UpdateAutoColumnSize(ACol, AWidth);
}

bool TExColumnGrid::IsDataCheckBoxCell(int ACol, int ARow)
{
    if (!FColumnCollection || InState(csDestroying))
        return false;
    return IsBodyCell(ACol, ARow) && ColumnOf(ACol)->Editor() == edDataCheckBox;
}

TCellType TExColumnGrid::GetCellType(int ACol, int ARow)
{
    TCellType t = TExStringGrid::GetCellType(ACol, ARow);
    if (t == ctEmpty && IsDataCheckBoxCell(ACol, ARow))
        t = ctDataCheckBox;
    return t;
}

TCellGraphic* TExColumnGrid::GetCellGraphic(int ACol, int ARow)
{
    TCellGraphic* g = TExStringGrid::GetCellGraphic(ACol, ARow);
    if (!g && FCellGraphic && IsDataCheckBoxCell(ACol, ARow)) {
        FCellGraphic->CellType = ctVirtCheckBox;
        FCellGraphic->CellTransparent = ControlLook()->ControlStyle() == csFlat;
        g = FCellGraphic;
    }
    return g;
}

void TExColumnGrid::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    TGridColumnItem* c = ColumnOf(ACol);
    if (c && ACol >= FixedCols() && ACol < ColCount() + NumHiddenColumns() - FixedRightCols() &&
        ARow < RowCount() - FixedFooters()) {
        if (c->Fixed())
            ABrush->SetColor(FixedColor());
        else if (ARow >= FixedRows() && !(Bands()->Active() && c->ShowBands()))
            ABrush->SetColor(c->Color());
        AFont->Assign(ARow < FixedRows() ? *c->HeaderFont() : *c->Font());
        if (TCellProperties* p = PropsOf(ACol, ARow)) {
            if (p->BrushColor() != clNone)
                ABrush->SetColor(p->BrushColor());
            if (p->FontColor != clNone)
                AFont->SetColor(p->FontColor);
        }
    }
    TExStringGrid::GetCellColor(ACol, ARow, AState, ABrush, AFont);
}

void TExColumnGrid::GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    TGridColumnItem* c = ColumnOf(ACol);
    if (c) {
        const bool inner = ARow >= FixedRows() && ACol >= FixedCols() &&
                           ACol < ColCount() + NumHiddenColumns() - FixedRightCols() &&
                           ARow < RowCount() - FixedFooters();
        if (inner) {
            TCellProperties* p = PropsOf(ACol, ARow);
            if (c->Fixed())
                ABrush->SetColor(FixedColor());
            else if (!(Bands()->Active() && Bands()->Print && c->ShowBands())) {
                ABrush->SetColor(c->PrintColor);
                if (p && p->BrushColor() != clNone)
                    ABrush->SetColor(p->BrushColor());
            }
            if (c->PrintFontCustom) {
                AFont->Assign(*c->PrintFont());
                if (p) {
                    if (p->FontColor != clNone)
                        AFont->SetColor(p->FontColor);
                    if (p->FontStyle != 0)
                        AFont->SetStyle(p->FontStyle);
                    if (p->FontSize != 0)
                        AFont->SetSize(p->FontSize);
                    if (!p->FontName.isEmpty())
                        AFont->SetName(p->FontName);
                }
            } else {
                AFont->Assign(PrintSettings()->Font);
            }
        } else {
            AFont->Assign(PrintSettings()->FixedFont);
        }
    }
    TExStringGrid::GetCellPrintColor(ACol, ARow, AState, ABrush, AFont);
}

void TExColumnGrid::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    if (IsDataCell(ACol, ARow)) {
        TGridColumnItem* c = ColumnOf(ACol);
        Borders = c->Borders();
        APen->Assign(*c->BorderPen());
    }
    TExStringGrid::GetCellBorder(ACol, ARow, APen, Borders);
}

void TExColumnGrid::GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    if (IsDataCell(ACol, ARow) && ColumnOf(ACol)->PrintBorderCustom) {
        TGridColumnItem* c = ColumnOf(ACol);
        Borders = c->PrintBorders;
        APen->Assign(*c->PrintBorderPen());
    }
    TExStringGrid::GetCellPrintBorder(ACol, ARow, APen, Borders);
}

void TExColumnGrid::GetCellAlign(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign)
{
    if (const TGridColumnItem* c = ColumnOf(ACol)) {
        HAlign = ARow < FixedRows() ? c->HeaderAlignment() : c->Alignment();
        if (const TCellProperties* p = PropsOf(ACol, ARow))
            HAlign = p->Alignment;
    }
    TExStringGrid::GetCellAlign(ACol, ARow, HAlign, VAlign);
}

void TExColumnGrid::GetCellFormat(int ACol, TSortStyle& AStyle, QString& aPrefix, QString& aSuffix)
{
    if (const TGridColumnItem* c = ColumnOf(ACol)) {
        AStyle = c->SortStyle;
        aPrefix = c->SortPrefix;
        aSuffix = c->SortSuffix;
    }
    TExStringGrid::GetCellFormat(ACol, AStyle, aPrefix, aSuffix);
}

void TExColumnGrid::GetCellEditor(int ACol, int ARow, TEditorType& AEditor)
{
    if (TGridColumnItem* c = ColumnOf(ACol)) {
        if (IsDataCell(ACol, ARow)) {
            AEditor = c->Editor();
            ControlLook()->DropDownCount = c->DropDownCount;
            LoadColumnEditors(c);
        }
        if (!c->FloatFormat().isEmpty())
            FloatFormat = c->FloatFormat();
    }
    TExStringGrid::GetCellEditor(ACol, ARow, AEditor);
}

void TExColumnGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed)
{
    const int r = RealColIndex(ACol);
    if (const TGridColumnItem* c = ColumnOf(r); c && ACol >= FixedCols() && ARow >= FixedRows())
        IsFixed = c->Fixed();
    TExStringGrid::IsFixedCell(ACol, ARow, IsFixed);
}

void TExColumnGrid::QueryCellEdit(int ACol, int ARow, bool& CanEdit)
{
    CanEdit = false;
    if (!Loading() && IsDataCell(ACol, ARow)) {
        const TGridColumnItem* c = ColumnOf(ACol);
        CanEdit = !(c->ReadOnly || c->Fixed());
    }
    const TPoint b = BaseCell(ACol, ARow);
    if (CanEdit && PropsOf(b.X, b.Y))
        CanEdit = !GetReadOnly(b.X, b.Y);
    if (OnCanEditCell)
        OnCanEditCell(this, b.Y, b.X, CanEdit);
}

void TExColumnGrid::IsPasswordCell(int ACol, int ARow, bool& IsPassword)
{
    if (const TGridColumnItem* c = ColumnOf(ACol))
        IsPassword = c->Password();
    TExStringGrid::IsPasswordCell(ACol, ARow, IsPassword);
}

bool TExColumnGrid::HasComboBox(int ACol, int ARow)
{
    bool has = false;
    if (IsDataCell(ACol, ARow)) {
        const TEditorType e = ColumnOf(ACol)->Editor();
        has = e == edComboEdit || e == edComboList;
    }
    if (OnHasComboBox)
        OnHasComboBox(this, ACol, ARow, has);
    return has;
}

void TExColumnGrid::GetCheckTrue(int ACol, int ARow, QString& Value)
{
    TExStringGrid::GetCheckTrue(ACol, ARow, Value);
    if (IsBodyCell(ACol, ARow))
        Value = ColumnOf(ACol)->CheckTrue;
}

void TExColumnGrid::GetCheckFalse(int ACol, int ARow, QString& Value)
{
    TExStringGrid::GetCheckFalse(ACol, ARow, Value);
    if (IsBodyCell(ACol, ARow))
        Value = ColumnOf(ACol)->CheckFalse;
}

void TExColumnGrid::CellsLoaded()
{
    TExStringGrid::CellsLoaded();
    UpdateColumnCountQuiet();
}

void TExColumnGrid::LoadColumnEditors(TGridColumnItem* c)
{
    if (EditCombo) {
        EditCombo->Items()->Assign(c->ComboItems());
        EditCombo->SetDropDownCount(c->DropDownCount);
    }
    // The spin editor takes the column's limits and step; the grid's custom
    // editor is the column's.
    if (c->Editor() == edSpinEdit || c->Editor() == edFloatSpinEdit || c->Editor() == edTimeSpinEdit ||
        c->Editor() == edDateSpinEdit) {
        TGridSpin* sp = SpinEdit();
        sp->MinValue = c->SpinMin;
        sp->MaxValue = c->SpinMax;
        sp->Increment = c->SpinStep;
    }
    SetEditLink(dynamic_cast<TEditLink*>(c->EditLink()));
}
