// The string grid's cell graphic record: attaching, finding, classifying and
// detaching a cell's graphic; check boxes, radio groups and radio buttons.
#include "gridpack/stringgrid/ExGrid.h"

namespace {
const TCellTypes kCheckKinds =
    CellTypeSet(ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox);
const TCellTypes kDataCheckKinds = CellTypeSet(ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox);
// Records lent by the grid or the column grid, never stored in a cell.
bool IsSharedKind(TCellType t) { return t == ctVirtCheckBox || t == ctRowCheckBox; }
bool InSet(TCellTypes set, TCellType t) { return (set & CellTypeBit(t)) != 0; }
} // namespace

// ---------------------------------------------------------------------------
// Owned objects of this part of the grid
// ---------------------------------------------------------------------------

void TExStringGrid::CreateCellObjects()
{
    FCellNode = new TCellNode(this);
    FCellGraphic = new TCellGraphic();
}

void TExStringGrid::FreeCellObjects()
{
    delete FCellGraphic;
    FCellGraphic = nullptr;
    delete FCellNode;
    FCellNode = nullptr;
}

TCellVAlign TExStringGrid::NewBoxVAlign() const
{
    switch (VAlignment()) {
    case vtaCenter:
        return vaCenter;
    case vtaBottom:
        return vaBottom;
    default:
        return vaTop;
    }
}

// ---------------------------------------------------------------------------
// Finding and classifying a cell's graphic
// ---------------------------------------------------------------------------

TCellGraphic* TExStringGrid::GetCellGraphic(int ACol, int ARow)
{
    TCellGraphic* candidate = nullptr;
    if (ACol >= 0 && ARow >= 0) {
        TObject* o = GetGraphicObjectEx(ACol, ARow);
        if (o) {
            candidate = dynamic_cast<TCellGraphic*>(o);
            if (!candidate)
                return nullptr;
        }
    }
    if (ACol != 0 || !FMouseActions->HotmailRowSelect())
        return candidate;

    // Column 0 shows the row-selection box; row 0 the select-all box, grayed
    // while only some rows are selected.
    FCellGraphic->CellType = ctRowCheckBox;
    const int normal = RowCount() - FixedRows();
    if (ARow == 0) {
        const int selected = RowCheckSelectedCount();
        FCellGraphic->CellAngle = selected > 0 && selected < normal ? 1 : 0;
        FCellGraphic->CellBoolean = selected >= normal;
    } else {
        FCellGraphic->CellAngle = 0;
        FCellGraphic->CellBoolean = RowCheckSelected(ARow);
    }
    FCellGraphic->CellTransparent = FControlLook->ControlStyle() == csFlat;
    return FCellGraphic;
}

TCellType TExStringGrid::GetCellType(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return ctEmpty;
    TCellType t = ctEmpty;
    if (TObject* o = GetGraphicObjectEx(ACol, ARow)) {
        const auto* g = dynamic_cast<const TCellGraphic*>(o);
        if (!g)
            return ctEmpty;
        t = g->CellType;
    }
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        t = ctRowCheckBox;
    return t;
}

TImageList* TExStringGrid::GetCellImageList(int, int) { return GridImages; }

TIntList* TExStringGrid::GetCellImages(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType == ctImages ? g->IntList() : nullptr;
}

std::intptr_t TExStringGrid::GetCellImageKey(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return -1;
    switch (g->CellType) {
    case ctBitmap:
        return reinterpret_cast<std::intptr_t>(g->Bitmap());
    case ctIcon:
        return reinterpret_cast<std::intptr_t>(g->CellIcon());
    case ctImageList:
        return g->CellIndex;
    default:
        return -1;
    }
}

TCellGraphic* TExStringGrid::NewCellGraphic(int ACol, int ARow)
{
    // The cell's own record goes; a shared one is never stored in a cell.
    if (auto* own = dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(ACol, ARow))) {
        SetGraphicObjectEx(ACol, ARow, nullptr);
        if (own != FCellGraphic && !IsSharedKind(own->CellType))
            delete own;
    }
    auto* g = new TCellGraphic();
    if (ACol < 0 || ARow < 0) {
        // Nothing can hold it: keep it out of the way rather than leak it.
        delete g;
        throw EInvalidGridOperation(QStringLiteral("Invalid cell"));
    }
    SetGraphicObjectEx(ACol, ARow, g);
    if (NumHiddenColumns() > 0 && RemapColToDispl(ACol) != ACol)
        RepaintCell(RemapColToDispl(ACol), ARow);
    return g;
}

bool TExStringGrid::RemoveCellGraphic(int ACol, int ARow)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return false;
    // The stored record is detached and freed; a shared record shown for the
    // cell stays alive.
    if (auto* own = dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(ACol, ARow))) {
        SetGraphicObjectEx(ACol, ARow, nullptr);
        if (own != FCellGraphic && own != g && !IsSharedKind(own->CellType))
            delete own;
    }
    if (g != FCellGraphic && !IsSharedKind(g->CellType))
        delete g;
    if (!InState(csDestroying))
        RepaintRealCell(ACol, ARow);
    return true;
}

bool TExStringGrid::RemoveCellGraphicOfKind(int ACol, int ARow, TCellType Kind)
{
    if (GetCellType(ACol, ARow) != Kind)
        return false;
    return RemoveCellGraphic(ACol, ARow);
}

bool TExStringGrid::HasCellType(int ACol, int ARow, TCellTypes Kinds)
{
    if (ACol < 0 || ARow < 0)
        return false;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && InSet(Kinds, g->CellType);
}

bool TExStringGrid::HasDataGraphic(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return false;
    const TPoint b = BaseCell(ACol, ARow);
    return InSet(CellTypeSet(ctDataCheckBox, ctDataImage, ctVirtCheckBox, ctRowCheckBox), GetCellType(b.X, b.Y));
}

bool TExStringGrid::HasCellControl(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return false;
    const TPoint b = BaseCell(ACol, ARow);
    return InSet(CellTypeSet(ctCheckBox, ctDataCheckBox, ctRadio, ctButton, ctVirtCheckBox, ctRowCheckBox,
                             ctRadioButton, ctTriStateCheckBox),
                 GetCellType(b.X, b.Y));
}

// ---------------------------------------------------------------------------
// Check boxes
// ---------------------------------------------------------------------------

void TExStringGrid::CheckCellRange(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() + NumHiddenColumns() || ARow >= RowCount() + NumHiddenRows())
        throw EInvalidGridOperation(QStringLiteral("Invalid cell"));
}

void TExStringGrid::AddCheckBox(int ACol, int ARow, bool State, bool Data)
{
    CheckCellRange(ACol, ARow);
    NewCellGraphic(ACol, ARow)->SetCheckBox(State, Data, true, haBeforeText, NewBoxVAlign());
    if (!Data)
        return;
    // A text that already says checked or unchecked keeps saying it.
    const QString s = Cells(ACol, ARow);
    if (s != CheckTrue && s != CheckFalse)
        SetCellEx(ACol, ARow, State ? CheckTrue : CheckFalse);
}

void TExStringGrid::AddCheckBox(int ACol, int ARow, TCheckBoxState State)
{
    CheckCellRange(ACol, ARow);
    NewCellGraphic(ACol, ARow)->SetCheckBox(State, true, haBeforeText, NewBoxVAlign());
}

int TExStringGrid::FirstCheckColumnRow() const { return FMouseActions->CheckAllCheck ? 0 : FixedRows(); }

bool TExStringGrid::RowHasMarker(int ARow, TCellType Kind)
{
    const auto* g = dynamic_cast<const TCellGraphic*>(GetGraphicObjectEx(0, ARow));
    return g && g->CellType == Kind;
}

void TExStringGrid::AddCheckBoxColumn(int ACol, bool DefaultState, bool DataCheckBox)
{
    for (int r = FirstCheckColumnRow(); r < RowCount(); ++r) {
        if (RowHasMarker(r, ctSummary))
            continue;
        if (RowHasMarker(r, ctNode))
            AddCheckBox(ACol, r, cbUnchecked);
        else
            AddCheckBox(ACol, r, DefaultState, DataCheckBox);
    }
}

void TExStringGrid::AddTriStateCheckBoxColumn(int ACol, TCheckBoxState state)
{
    for (int r = FirstCheckColumnRow(); r < RowCount(); ++r)
        AddCheckBox(ACol, r, state);
}

void TExStringGrid::RemoveCheckBox(int ACol, int ARow)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || !InSet(CellTypeSet(ctCheckBox, ctDataCheckBox, ctTriStateCheckBox), g->CellType))
        return;
    if (g->CellAngle == 1 && g->HasObject()) {
        delete g->Strings();
        g->ClearObject();
        g->CellAngle = 0;
    }
    RemoveCellGraphic(ACol, ARow);
}

void TExStringGrid::RemoveCheckBoxColumn(int ACol)
{
    for (int r = FirstCheckColumnRow(); r < RowCount(); ++r)
        if (HasCheckBox(ACol, r))
            RemoveCheckBox(ACol, r);
}

bool TExStringGrid::HasCheckBox(int ACol, int ARow) { return HasCellType(ACol, ARow, kCheckKinds); }

bool TExStringGrid::HasDataCheckBox(int ACol, int ARow) { return HasCellType(ACol, ARow, kDataCheckKinds); }

bool TExStringGrid::DataCheckIsTrue(int ACol, int ARow)
{
    QString t;
    GetCheckTrue(ACol, ARow, t);
    return Cells(ACol, ARow) == t;
}

TCellGraphic* TExStringGrid::RealRowGraphic(int ACol, int ARow)
{
    if (NumHiddenRows() == 0)
        return GetCellGraphic(ACol, ARow);
    if (const TGridItem* it = HiddenRowItem(ARow)) {
        const TStringList* texts = it->Items();
        const auto* p = ACol >= 0 && ACol < texts->Count() ? dynamic_cast<const TCellProperties*>(texts->Objects(ACol))
                                                            : nullptr;
        if (p)
            return dynamic_cast<TCellGraphic*>(p->GraphicObject);
        // A shared box lent for the column still answers.
        return GetCellGraphic(ACol, ARow);
    }
    return GetCellGraphic(ACol, RemapRowToDispl(ARow));
}

bool TExStringGrid::GetCheckBoxState(int ACol, int ARow, TCheckBoxState& state)
{
    const TCellGraphic* g = RealRowGraphic(ACol, ARow);
    if (!g)
        return false;
    switch (g->CellType) {
    case ctCheckBox:
        state = BoolToCheckBoxState(g->CellBoolean);
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString t;
        GetCheckTrue(ACol, ARow, t);
        state = BoolToCheckBoxState(GetGridCellsEx(ACol, ARow) == t);
        return true;
    }
    case ctTriStateCheckBox:
        state = g->CellCheckBoxState;
        return true;
    case ctRowCheckBox:
        if (ACol != 0)
            return false;
        state = BoolToCheckBoxState(GetRowSelect(ARow));
        return true;
    default:
        return false;
    }
}

bool TExStringGrid::GetCheckBoxState(int ACol, int ARow, bool& state)
{
    // A tri-state box reads as checked only in its checked state.
    TCheckBoxState s = cbUnchecked;
    if (!GetCheckBoxState(ACol, ARow, s))
        return false;
    state = s == cbChecked;
    return true;
}

bool TExStringGrid::IsChecked(int ACol, int ARow)
{
    bool state = false;
    return GetCheckBoxState(ACol, ARow, state) && state;
}

bool TExStringGrid::SetCheckBoxState(int ACol, int ARow, TCheckBoxState State)
{
    TCellGraphic* g = RealRowGraphic(ACol, ARow);
    if (!g || g->CellType != ctTriStateCheckBox)
        return false;
    g->CellCheckBoxState = State;
    if (!IsHiddenRow(ARow))
        RepaintRealCell(ACol, RemapRowToDispl(ARow));
    return true;
}

bool TExStringGrid::SetCheckBoxState(int ACol, int ARow, bool State)
{
    TCellGraphic* g = RealRowGraphic(ACol, ARow);
    if (!g)
        return false;
    switch (g->CellType) {
    case ctCheckBox:
        g->CellBoolean = State;
        if (!IsHiddenRow(ARow))
            RepaintRealCell(ACol, RemapRowToDispl(ARow));
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        SetCellsEx(ACol, ARow, CheckText(ACol, ARow, State));
        return true;
    case ctRowCheckBox:
        if (ACol != 0)
            return false;
        SetRowSelect(ARow, State);
        return true;
    default:
        return false;
    }
}

QString TExStringGrid::CheckText(int ACol, int ARow, bool State)
{
    QString s;
    if (State)
        GetCheckTrue(ACol, ARow, s);
    else
        GetCheckFalse(ACol, ARow, s);
    return s;
}

bool TExStringGrid::DoToggleCheckBox(int ACol, int ARow, bool CheckEdit)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || !InSet(kCheckKinds, g->CellType))
        return false;
    if (CheckEdit && !FControlLook->CheckAlwaysActive) {
        bool canEdit = true;
        QueryCellEdit(ACol, ARow, canEdit);
        if (!canEdit)
            return false;
    }

    // With AutoCheckGroup the node and its span are noted before anything
    // changes: a node row's box sets its rows, a row's box its node's.
    const bool group = FGrouping->AutoCheckGroup;
    const bool nodeRow = group && IsNode(ARow);
    const int groupNode = !group ? -1 : nodeRow ? ARow : GetParentRow(ARow);
    const int groupSpan = groupNode >= 0 ? GetNodeSpan(groupNode) : 0;
    const bool collapsed = nodeRow && GetNodeState(ARow);

    bool newState = false;
    switch (g->CellType) {
    case ctCheckBox:
        g->CellBoolean = !g->CellBoolean;
        newState = g->CellBoolean;
        break;
    case ctTriStateCheckBox:
        if (nodeRow) {
            // A node's box: grayed and unchecked both become checked.
            g->CellCheckBoxState = g->CellCheckBoxState == cbChecked ? cbUnchecked : cbChecked;
            newState = g->CellCheckBoxState == cbChecked;
            break;
        }
        // Unchecked, grayed, checked and round again; reported as off.
        switch (g->CellCheckBoxState) {
        case cbUnchecked:
            g->CellCheckBoxState = cbGrayed;
            break;
        case cbGrayed:
            g->CellCheckBoxState = cbChecked;
            break;
        case cbChecked:
            g->CellCheckBoxState = cbUnchecked;
            break;
        }
        newState = false;
        break;
    default:
        // The data kinds and the row box: the cell text is the state; any
        // text but the check-true text counts as unchecked.
        newState = !DataCheckIsTrue(ACol, ARow);
        SetCellEx(ACol, ARow, CheckText(ACol, ARow, newState));
        break;
    }

    RepaintCell(RemapColToDispl(ACol), ARow);
    CheckBoxChange(ACol, ARow, newState);
    if (groupNode >= 0 && groupSpan > 1) {
        if (nodeRow) {
            // A collapsed node's rows sit in the hidden-row store right
            // behind its real row.
            const int base = RealRowIndex(ARow);
            for (int e = 1; e < groupSpan; ++e)
                SetCheckBoxState(ACol, collapsed ? base + e : RealRowIndex(ARow + e), newState);
        } else if (groupNode != ARow) {
            bool first = false, same = true;
            for (int e = 1; e < groupSpan; ++e) {
                bool state = false;
                GetCheckBoxState(ACol, RealRowIndex(groupNode + e), state);
                if (e == 1)
                    first = state;
                else if (state != first)
                    same = false;
            }
            SetCheckBoxState(ACol, RealRowIndex(groupNode), same ? (first ? cbChecked : cbUnchecked) : cbGrayed);
        }
    }
    if (TExGridUndoRedo* undo = UndoRedo())
        undo->RegisterChange(ACol, ARow, CheckText(ACol, ARow, !newState), CheckText(ACol, ARow, newState));
    return true;
}

void TExStringGrid::CheckAll(int ACol)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        ApplyCheckState(ACol, r, true);
    if (NumHiddenColumns() > 0)
        InvalidateCol(RemapColToDispl(ACol));
}

void TExStringGrid::UnCheckAll(int ACol)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        ApplyCheckState(ACol, r, false);
    if (NumHiddenColumns() > 0)
        InvalidateCol(RemapColToDispl(ACol));
}

bool TExStringGrid::ApplyCheckState(int ACol, int ARow, bool State)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return false;
    switch (g->CellType) {
    case ctCheckBox:
        if (State != g->CellBoolean) {
            g->CellBoolean = State;
            CheckBoxChange(ACol, ARow, State);
            RepaintRealCell(ACol, ARow);
        }
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        const bool was = DataCheckIsTrue(ACol, ARow);
        SetCellEx(ACol, ARow, CheckText(ACol, ARow, State));
        if (State != was)
            CheckBoxChange(ACol, ARow, State);
        return true;
    }
    case ctRowCheckBox:
        if (ACol != 0)
            return false;
        if (State != RowCheckSelected(ARow)) {
            SetRowCheckSelected(ARow, State);
            CheckBoxChange(ACol, ARow, State);
        }
        return true;
    default:
        return false;
    }
}

void TExStringGrid::CheckBoxChange(int ACol, int ARow, bool State)
{
    if (OnCheckBoxChange)
        OnCheckBoxChange(this, ACol, ARow, State);
}

// ---------------------------------------------------------------------------
// Radio groups
// ---------------------------------------------------------------------------

void TExStringGrid::AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctRadio;
    g->SetObject(sl);
    g->CellAngle = sl ? sl->Count() : 0;
    g->CellIndex = IdxRadio;
    g->CellBoolean = DirRadio != 0;
}

TStrings* TExStringGrid::CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio)
{
    auto* sl = NewObject<TStringList>();
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctRadio;
    g->SetObject(static_cast<TStrings*>(sl));
    g->CellCreated = true;
    g->CellAngle = 0;
    g->CellIndex = IdxRadio;
    g->CellBoolean = DirRadio != 0;
    return sl;
}

bool TExStringGrid::GetRadioIdx(int ACol, int ARow, int& IdxRadio)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return false;
    IdxRadio = g->CellIndex;
    return g->CellType == ctRadio;
}

bool TExStringGrid::SetRadioIdx(int ACol, int ARow, int IdxRadio)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctRadio)
        return false;
    g->CellIndex = IdxRadio;
    if (IdxRadio == -1)
        SetCellEx(ACol, ARow, QString());
    RepaintRealCell(ACol, ARow);
    return true;
}

TStrings* TExStringGrid::GetRadioStrings(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && g->CellType == ctRadio ? g->Strings() : nullptr;
}

bool TExStringGrid::IsRadio(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeBit(ctRadio)); }

void TExStringGrid::CycleRadioGroup(int ACol, int ARow, bool CheckEdit)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctRadio)
        return;
    if (CheckEdit && !FControlLook->RadioAlwaysActive) {
        bool canEdit = true;
        QueryCellEdit(ACol, ARow, canEdit);
        if (!canEdit)
            return;
    }
    TStrings* items = g->Strings();
    const int count = items ? items->Count() : 0;
    int next = g->CellIndex >= 0 ? g->CellIndex + 1 : (items ? items->IndexOf(Cells(ACol, ARow)) + 1 : 0);
    if (next >= count)
        next = 0;
    // A group whose index is below -1 keeps its choice in the text alone.
    if (g->CellIndex >= -1)
        g->CellIndex = next;
    g->CellVar = next;
    if (next < count)
        SetCellEx(ACol, ARow, items->Strings(next));
}

// ---------------------------------------------------------------------------
// Radio buttons: the buttons of one column form a group
// ---------------------------------------------------------------------------

void TExStringGrid::AddRadioButton(int ACol, int ARow, bool State)
{
    CheckCellRange(ACol, ARow);
    NewCellGraphic(ACol, ARow)->SetRadioButton(State, true, haBeforeText, NewBoxVAlign());
}

void TExStringGrid::AddRadioButtonColumn(int ACol)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        AddRadioButton(ACol, r, false);
}

void TExStringGrid::RemoveRadioButton(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctRadioButton)
        return;
    RemoveCellGraphic(ACol, ARow);
}

void TExStringGrid::RemoveRadioButtonColumn(int ACol)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (HasRadioButton(ACol, r))
            RemoveRadioButton(ACol, r);
}

bool TExStringGrid::HasRadioButton(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return false;
    const TPoint b = BaseCell(ACol, ARow);
    return GetCellType(b.X, b.Y) == ctRadioButton;
}

TCellGraphic* TExStringGrid::BaseRadioButton(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && g->CellType == ctRadioButton ? g : nullptr;
}

bool TExStringGrid::IsRadioButtonChecked(int ACol, int ARow)
{
    const TCellGraphic* g = BaseRadioButton(ACol, ARow);
    return g && g->CellBoolean;
}

bool TExStringGrid::SetRadioButtonState(int ACol, int ARow, bool State)
{
    TCellGraphic* g = BaseRadioButton(ACol, ARow);
    if (!g)
        return false;
    if (g->CellBoolean != State) {
        g->CellBoolean = State;
        RepaintRealCell(ACol, ARow);
    }
    return true;
}

void TExStringGrid::SetRadioButtonColumnIndex(int ACol, int Index)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        SetRadioButtonState(ACol, r, r == Index);
}

int TExStringGrid::GetRadioButtonColumnIndex(int ACol)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsRadioButtonChecked(ACol, r))
            return r;
    return -1;
}

bool TExStringGrid::ClickRadioButton(int ACol, int ARow, bool CheckEdit)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctRadioButton)
        return false;
    if (CheckEdit && !FControlLook->CheckAlwaysActive) {
        bool canEdit = true;
        QueryCellEdit(ACol, ARow, canEdit);
        if (!canEdit)
            return false;
    }
    if (g->CellBoolean)
        return true;
    g->CellBoolean = true;
    RepaintRealCell(ACol, ARow);
    // Every other button of the column goes off, fixed rows included.
    for (int r = 0; r < RowCount(); ++r) {
        if (r == ARow)
            continue;
        TCellGraphic* o = GetCellGraphic(ACol, r);
        if (o && o->CellType == ctRadioButton && o->CellBoolean) {
            o->CellBoolean = false;
            RepaintRealCell(ACol, r);
        }
    }
    return true;
}
