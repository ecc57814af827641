// Outline nodes, expand cells, summary rows and interfaced cells. A node is
// a ctNode graphic in column 0 of its row; collapsing moves its child rows
// into the hidden-row store, expanding brings them back. Each row of a
// node's span carries a nesting level in its column-0 cell properties.
#include "gridpack/stringgrid/ExGrid.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Node records and levels
// ---------------------------------------------------------------------------

TCellGraphic* TExStringGrid::NodeGraphic(int ARow)
{
    if (ARow < 0 || ARow >= RowCount() || GetCellType(0, ARow) != ctNode)
        return nullptr;
    return GetCellGraphic(0, ARow);
}

bool TExStringGrid::IsNode(int ARow) { return NodeGraphic(ARow) != nullptr; }

int TExStringGrid::RowLevel(int ARow)
{
    TCellProperties* p = ExistingProps(0, ARow);
    return p ? p->NodeLevel : 0;
}

void TExStringGrid::AddLevel(int ARow, int Delta)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    if (TCellProperties* p = ExistingProps(0, ARow))
        p->NodeLevel += Delta;
    else if (Delta > 0)
        GetCellProperties(0, ARow)->NodeLevel = Delta;
}

bool TExStringGrid::HasNodeRows() { return FNumNodes > 0; }

int TExStringGrid::GetRowNodeIndent(int ARow)
{
    if (!HasNodeRows() || ARow < 0)
        return 0;
    TCellProperties* p = ExistingProps(0, ARow);
    return p ? p->NodeLevel * FCellNode->NodeIndent() : 0;
}

void TExStringGrid::AddNode(int ARow, int Span)
{
    const int d = RemapRowToDispl(ARow);
    TCellGraphic* g = NewCellGraphic(0, d);
    g->CellType = ctNode;
    g->CellAngle = d;
    g->CellBoolean = false;
    g->CellIndex = Span;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = vaCenter;
    g->CellErrFrom = 0;
    g->CellVar = -1;
    for (int r = d; r < d + Span; ++r)
        AddLevel(r, 1);
    if (FNumNodes == 0)
        RepaintCol(0);
    ++FNumNodes;
    // Column 0 holds the glyphs: the current cell leaves it.
    if (Col() == 0 && ColCount() > 1)
        MoveColRow(1, Row(), true, false);
}

void TExStringGrid::DropNode(int d)
{
    TCellGraphic* g = NodeGraphic(d);
    if (!g)
        return;
    if (g->CellBoolean)
        ExpandNodeRows(RealRowIndex(d));
    for (int r = d; r < d + g->CellIndex; ++r)
        if (TCellProperties* p = ExistingProps(0, r))
            p->NodeLevel -= 1;
    RemoveCellGraphic(0, d);
    FNumNodes = std::max(0, FNumNodes - 1);
}

void TExStringGrid::RemoveNode(int ARow) { DropNode(RemapRowToDispl(ARow)); }

void TExStringGrid::RemoveAllNodes()
{
    for (int r = 0; r < RowCount(); ++r)
        if (IsNode(r))
            DropNode(r);
    Invalidate();
}

bool TExStringGrid::GetNodeState(int ARow)
{
    TCellGraphic* g = NodeGraphic(ARow);
    return g && g->CellBoolean;
}

void TExStringGrid::SetNodeState(int ARow, bool Value)
{
    if (!IsNode(ARow) || GetNodeState(ARow) == Value)
        return;
    if (Value)
        ContractNode(RealRowIndex(ARow));
    else
        ExpandNode(RealRowIndex(ARow));
}

int TExStringGrid::GetNodeLevel(int ARow) { return IsNode(ARow) ? RowLevel(ARow) : -1; }

int TExStringGrid::GetNodeSpan(int ARow)
{
    TCellGraphic* g = NodeGraphic(ARow);
    return g ? g->CellIndex : -1;
}

void TExStringGrid::SetNodeSpan(int ARow, int Span)
{
    if (TCellGraphic* g = NodeGraphic(ARow))
        g->CellIndex = Span;
}

void TExStringGrid::UpdateNodeSpan(int ARow, int Delta)
{
    if (TCellGraphic* g = NodeGraphic(ARow))
        g->CellIndex += Delta;
}

int TExStringGrid::GetSubNodeCount(int ARow)
{
    TCellGraphic* g = NodeGraphic(ARow);
    return g ? g->CellErrFrom : 0;
}

void TExStringGrid::UpdateSubNodeCount(int ARow, int Delta)
{
    if (TCellGraphic* g = NodeGraphic(ARow))
        g->CellErrFrom += Delta;
}

int TExStringGrid::NextNodeRow(int d)
{
    for (int r = d + 1; r < RowCount(); ++r)
        if (IsNode(r))
            return r;
    return RowCount();
}

// ---------------------------------------------------------------------------
// Collapsing and expanding
// ---------------------------------------------------------------------------

void TExStringGrid::ContractNode(int ARow)
{
    SetEditorMode(false);
    const int d = RemapRowToDispl(ARow);
    TCellGraphic* g = NodeGraphic(d);
    if (!g || g->CellBoolean)
        return;
    // The selection stays while rows go.
    const bool forced = FForceSel;
    FForceSel = true;
    g->CellBoolean = true;
    int end = g->CellIndex > 0 ? d + g->CellIndex : NextNodeRow(d);
    const int first = d + 1;
    int r = first;
    while (r < end && r < RowCount()) {
        TCellGraphic* inner = NodeGraphic(r);
        if (inner && inner->CellBoolean) {
            // A collapsed nested node goes with its parent and shows
            // expanded when the parent opens again.
            inner->CellBoolean = false;
            if (TControl* c = GetCellControls(1, r + 1))
                c->SetVisible(false);
            const int innerSpan = inner->CellIndex;
            HideRows(RealRowIndex(first), RealRowIndex(r));
            end = end - innerSpan - (r - first);
            r = first;
            continue;
        }
        ++r;
    }
    if (r - 1 >= first)
        HideRows(RealRowIndex(first), RealRowIndex(r - 1));
    FForceSel = forced;
    CalcFooter(-1);
}

void TExStringGrid::ExpandNodeRows(int ARow)
{
    const int d = RemapRowToDispl(ARow);
    TCellGraphic* g = NodeGraphic(d);
    if (!g || !g->CellBoolean)
        return;
    g->CellBoolean = false;
    const int next = g->CellIndex == 0 ? NextNodeRow(d) : d + 1;
    const int top = TopRow();
    const int cur = Row();
    const bool disjunct = FMouseActions->DisjunctRowSelect();
    FMouseActions->SetDisjunctRowSelectDirect(false);
    const bool rowSelect = Options() & goRowSelect;
    if (rowSelect)
        SetOptions(Options() & ~goRowSelect);
    const bool lock = FNumCellControls == 0;
    if (lock)
        BeginUpdate();
    try {
        const int to = RealRowIndex(next) - 1;
        if (to > ARow)
            UnHideRows(ARow + 1, to);
        if (rowSelect) {
            SetOptions(Options() | goRowSelect);
            if (cur < RowCount())
                TBaseGrid::SetRow(cur);
            TBaseGrid::SetTopRow(std::clamp(top, TBaseGrid::FixedRows(), RowCount() - 1));
        }
    } catch (...) {
        FMouseActions->SetDisjunctRowSelectDirect(disjunct);
        if (lock)
            EndUpdate();
        throw;
    }
    FMouseActions->SetDisjunctRowSelectDirect(disjunct);
    if (lock)
        EndUpdate();
    CalcFooter(-1);
}

void TExStringGrid::ExpandNode(int ARow)
{
    if (FCellNode->ExpandOne) {
        const int n = RowCount();
        for (int r = FixedRows(); r < n && r < RowCount(); ++r)
            if (IsNode(r) && !GetNodeState(r) && RealRowIndex(r) != ARow)
                ContractNode(RealRowIndex(r));
    }
    ExpandNodeRows(ARow);
}

void TExStringGrid::ExpandAll()
{
    BeginUpdate();
    try {
        // Nodes above r are open by the time r is reached, so r's display
        // and real index agree.
        for (int r = FixedRows(); r < TotalRowCount() && r < RowCount(); ++r)
            if (TCellGraphic* g = NodeGraphic(r); g && g->CellBoolean)
                ExpandNodeRows(RealRowIndex(r));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    CalcFooter(-1);
}

void TExStringGrid::ContractAll()
{
    BeginUpdate();
    try {
        ExpandAll();
        std::vector<int> rows; // real indexes, ascending
        int r = FixedRows();
        while (r < RowCount()) {
            TCellGraphic* g = NodeGraphic(r);
            if (!g) {
                ++r;
                continue;
            }
            g->CellBoolean = true;
            const int end = g->CellIndex > 0 ? std::min(r + g->CellIndex, RowCount()) : NextNodeRow(r);
            for (int k = r + 1; k < end; ++k)
                rows.push_back(RealRowIndex(k));
            r = std::max(end, r + 1);
        }
        // One hide per run of adjacent rows, from the bottom up.
        for (int j = int(rows.size()) - 1; j >= 0;) {
            int first = j;
            while (first > 0 && rows[first - 1] == rows[first] - 1)
                --first;
            HideRows(rows[first], rows[j]);
            j = first - 1;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    CellControlsUpdate();
    CalcFooter(-1);
}

// ---------------------------------------------------------------------------
// Parents, tree lines and the glyph hit test
// ---------------------------------------------------------------------------

int TExStringGrid::GetParentRow(int ARow)
{
    if (FNumNodes == 0)
        return -1;
    int level = 0xFFFF;
    int answer = -1;
    if (IsNode(ARow)) {
        level = RowLevel(ARow);
        answer = ARow;
    }
    int sum = 0;
    for (int r = std::min(ARow, RowCount() - 1); r >= FixedRows(); --r) {
        TCellGraphic* g = NodeGraphic(r);
        if (!g || RowLevel(r) >= level)
            continue;
        if (g->CellBoolean)
            sum += g->CellIndex - 1;
        if (ARow < r + g->CellIndex - sum)
            return r;
    }
    return answer;
}

int TExStringGrid::GetNodeSpanType(int ARow)
{
    if (IsNode(ARow))
        return 0;
    if (ARow >= RowCount() - FFixedFooters - 1 || !HasCellProperties(0, ARow + 1) ||
        RowLevel(ARow + 1) < RowLevel(ARow))
        return 1;
    return 2;
}

bool TExStringGrid::IsOverNodeGlyph(int ARow, int X)
{
    if (!FMouseActions->PreciseNodeClick)
        return true;
    const int lvl = RowLevel(ARow);
    const int I = FCellNode->NodeIndent();
    int g = 4, m = 4;
    switch (FCellNode->NodeType()) {
    case cnFlat: g = 4; m = 4; break;
    case cn3D: g = 6; m = 0; break;
    case cnGlyph: {
        const TBitmap* b = FCellNode->ExpandGlyph();
        const bool empty = !b || b->Empty();
        g = empty ? 0 : b->Width() / 2;
        m = empty ? 0 : 2;
        break;
    }
    case cnLeaf: g = 8; m = 2; break;
    case cnXP: g = 4; m = 4; break;
    }
    return m + (lvl - 1) * I < X && X < g + lvl * I;
}

// ---------------------------------------------------------------------------
// Child rows and normal rows
// ---------------------------------------------------------------------------

void TExStringGrid::InsertNormalRow(int ARow)
{
    InsertRows(RemapRowToDispl(ARow), 1, true);
    for (int i = 0; i < FGridItems->Count(); ++i)
        if (FGridItems->Item(i)->Idx > ARow)
            FGridItems->Item(i)->Idx += 1;
}

void TExStringGrid::RemoveNormalRow(int ARow)
{
    RemoveRows(ARow, 1);
    FMaxRowCount -= 1;
}

void TExStringGrid::InsertChildRow(int ARow, int InsertAt)
{
    int d = RemapRowToDispl(ARow);
    int p = GetParentRow(d);
    if (p == -1) {
        // A row outside every node takes a normal row.
        InsertNormalRow(ARow);
        return;
    }
    const int pr = RealRowIndex(p);
    UpdateNodeSpan(p, 1);
    UpdateSubNodeCount(p, 1);
    ExpandNode(pr);
    p = RemapRowToDispl(pr);
    const int level = RowLevel(p);
    int q = p;
    int lvl = level;
    while (lvl > 1 && q != -1 && q >= FixedRows()) {
        const int up = GetParentRow(q);
        if (up == q)
            break;
        q = up;
        if (q != -1 && RowLevel(q) < lvl) {
            const int qr = RealRowIndex(q);
            UpdateNodeSpan(q, 1);
            UpdateSubNodeCount(q, 1);
            ExpandNode(qr);
            q = RemapRowToDispl(qr);
            lvl = RowLevel(q);
        }
    }
    d = RemapRowToDispl(ARow);
    bool takeOver = false;
    if (IsNode(d) && InsertAt == 0) {
        InsertAt = 1;
        takeOver = true;
    }
    const int at = d + InsertAt;
    const int realAt = RealRowIndex(at);
    InsertRows(at, 1, true);
    // Hidden rows at or below the new row's place move down with it.
    for (int i = 0; i < FGridItems->Count(); ++i)
        if (FGridItems->Item(i)->Idx >= realAt)
            FGridItems->Item(i)->Idx += 1;
    if (takeOver) {
        // The node row's content moves into the new row; the glyph stays.
        for (int i = 0; i < ColCount(); ++i) {
            const int c = RemapColToReal(i);
            SetCellEx(c, d + 1, GetCellEx(c, d));
            SetCellEx(c, d, QString());
            if (i > 0) {
                SetObjectEx(c, d + 1, GetObjectEx(c, d));
                SetObjectEx(c, d, nullptr);
            }
        }
    }
    GetCellProperties(0, at)->NodeLevel = level;
}

void TExStringGrid::RemoveChildRow(int ARow)
{
    int d = RemapRowToDispl(ARow);
    int p = GetParentRow(d);
    if (p == -1) {
        // A row outside every node is removed as a normal row.
        RemoveNormalRow(d);
        return;
    }
    for (int i = 0; i < FControlList->Count(); ++i)
        if (TControlItem* ci = FControlList->GetControl(i); ci->Y > ARow)
            ci->Y -= 1;
    const int lvl0 = RowLevel(p);
    int pr = RealRowIndex(p);
    if (GetNodeSpan(p) > 1) {
        UpdateNodeSpan(p, -1);
        UpdateSubNodeCount(p, -1);
    }
    ExpandNode(pr);
    p = RemapRowToDispl(pr);
    while (RowLevel(p) > 1) {
        const int up = GetParentRow(p);
        if (up == -1 || up == p || RowLevel(up) >= lvl0)
            break;
        p = up;
        pr = RealRowIndex(p);
        if (GetNodeSpan(p) > 1) {
            UpdateNodeSpan(p, -1);
            UpdateSubNodeCount(p, -1);
        }
        ExpandNode(pr);
        p = RemapRowToDispl(pr);
    }
    d = RemapRowToDispl(ARow);
    RemoveRowRange(d, 1);
    FMaxRowCount -= 1;
}

// ---------------------------------------------------------------------------
// Summary rows, interfaced cells, expand cells
// ---------------------------------------------------------------------------

void TExStringGrid::SetSummaryRow(int ARow) { NewCellGraphic(0, RemapRowToDispl(ARow))->CellType = ctSummary; }

bool TExStringGrid::IsSummary(int ARow) { return ARow >= 0 && GetCellType(0, ARow) == ctSummary; }

void TExStringGrid::AddInterfacedCell(int ACol, int ARow, TPersistent* AObject)
{
    NewCellGraphic(ACol, ARow)->SetInterfacedCell(AObject);
}

void TExStringGrid::RemoveInterfacedCell(int ACol, int ARow)
{
    // The object belongs to the caller.
    if (TCellGraphic* g = GetCellGraphic(ACol, ARow); g && g->CellType == ctInterface)
        g->ClearObject();
    RemoveCellGraphicOfKind(ACol, ARow, ctInterface);
}

TPersistent* TExStringGrid::GetInterfacedCell(int ACol, int ARow)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType == ctInterface ? g->Interfaced() : nullptr;
}

TCellGraphic* TExStringGrid::ExpandGraphic(int ACol, int ARow)
{
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && g->CellType == ctExpand ? g : nullptr;
}

void TExStringGrid::AddExpand(int ACol, int ARow, int ExpandedHeight)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctExpand;
    g->CellVar = false;
    g->CellAngle = ExpandedHeight;
    g->CellIndex = RowHeights(ARow);
}

void TExStringGrid::RemoveExpand(int ACol, int ARow) { RemoveCellGraphicOfKind(ACol, ARow, ctExpand); }

bool TExStringGrid::HasExpand(int ACol, int ARow) { return HasCellType(ACol, ARow, CellTypeBit(ctExpand)); }

bool TExStringGrid::ToggleExpand(int ACol, int ARow)
{
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    if (!g)
        return false;
    const bool state = !g->CellVar.toBool();
    g->CellVar = state;
    return state;
}

bool TExStringGrid::GetExpandState(int ACol, int ARow)
{
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && g->CellVar.toBool();
}

int TExStringGrid::GetExpandHeight(int ACol, int ARow, bool Expanded)
{
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    if (!g)
        return DefaultRowHeight();
    return Expanded ? g->CellAngle : g->CellIndex;
}

TRect TExStringGrid::GetExpandGlyphRect(int ACol, int ARow)
{
    if (!ExpandGraphic(ACol, ARow))
        return TRect{0, 0, 0, 0};
    const TRect R = CellRect(ACol, ARow);
    return TRect{R.Right - 13, R.Top + 2, R.Right - 2, R.Top + 13};
}
