// The grid drop-down's edit side: columns and items, the item index and the
// choices, the lookup list, the type-ahead, completion and the keys of the
// edit. The popup grid and the opening are in ExGridDropDownPopup.cpp.
#include "gridpack/dropdown/ExGridDropDown.h"

#include "platform/graphics/ImageList.h"

#include <algorithm>

namespace ExGridDD {

namespace {
constexpr int kPageStep = 10;
bool MovingKey(unsigned Key) {
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_UP ||
           Key == VK_RIGHT || Key == VK_DOWN;
}
} // namespace

// ---------------------------------------------------------------------------
// Columns and items
// ---------------------------------------------------------------------------

TDropDownItems::TDropDownItems(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TCollection::ItemClass<TDropDownItem>()) {}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TCustomExGridDropDown::TCustomExGridDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    // Made before the second phase applies the component style to it.
    FHeaderFont.Assign(*Font());
    FHeaderFont.SetColor(TColor(0x723708));
    FColumns = new TDropDownColumns(this);
    FSearchFooter = new TSearchFooter(this, false);
    FBands = new TBands();
    FNavigation = new TNavigation();
    FNavigation->HomeEndKey = heFirstLastRow;
    FMouseActions = new TMouseActions(this);
    FLookupItems.SetCaseSensitive(false);
    // Items exist from here on; the second phase makes them again through
    // the overridable CreateDropDownItems.
    FItems = new TDropDownItems(this);
}

TCustomExGridDropDown::~TCustomExGridDropDown() {
    delete FItems;
    delete FBands;
    delete FColumns;
    delete FSearchFooter;
    delete FNavigation;
    delete FMouseActions;
}

void TCustomExGridDropDown::AfterConstruction() {
    delete FItems;
    FItems = CreateDropDownItems(this);
    FItems->OnItemsChanged = [this](TObject*) {
        FLookupInStep = false;
        FLastPrefix.clear();
    };
    // The base makes the popup (and through CreateDropDownForm the popup
    // grid) and applies tsOffice2007Luna; the drop-down's own values then
    // replace that style's colours but the header font's.
    TExCustomDropDown::AfterConstruction();
    HeaderColor = TColor(0xFFFFFF);
    HeaderColorTo = TColor(0x808080);
    LineColor = TColor(0xC0C0C0);
    SelectionTextColor = clBlack;
    SetDropDownColor(TColor(0xFFFFFF));
    SetDropDownHeight(200);
    SetAutoSelect(true);
    SetSelectionColorStyle(scOffice2007);
}

TDropDownItems* TCustomExGridDropDown::CreateDropDownItems(TPersistent* AOwner) { return new TDropDownItems(AOwner); }

void TCustomExGridDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FGrid) FGrid = nullptr;
    if (GridImages && dynamic_cast<TImageList*>(AComponent) == GridImages) {
        GridImages = nullptr;
        if (FGrid) FGrid->GridImages = nullptr;
    }
}

void TCustomExGridDropDown::Loaded() {
    TExCustomDropDown::Loaded();
    UpdateLookupItems();
    if (FGrid && UseItems) FGrid->LoadItems();
}

void TCustomExGridDropDown::DoEnter() {
    TExCustomDropDown::DoEnter();
    if (FGrid) {
        FGrid->RemoveAllFilters();
        FGrid->FNarrowDownText.clear();
    }
    FLookupEntry.clear();
}

void TCustomExGridDropDown::SetStyle(TDropDownStyle v) {
    FStyle = v;
    SetEditorEnabled(v == dsDropDown);
}

void TCustomExGridDropDown::Assign(const TPersistent* Source) {
    TExCustomDropDown::Assign(Source);
    auto* s = dynamic_cast<const TCustomExGridDropDown*>(Source);
    if (!s) return;
    FItems->Assign(s->FItems);
    FColumns->Assign(s->FColumns);
    UseItems = s->UseItems;
    FLookupColumn = s->FLookupColumn;
    LookupMethod = s->LookupMethod;
    SetStyle(s->FStyle);
    CaseSensitive = s->CaseSensitive;
    AutoShowDropDown = s->AutoShowDropDown;
    Sorting = s->Sorting;
    GridEditable = s->GridEditable;
    RowSelect = s->RowSelect;
    ColumnSizing = s->ColumnSizing;
    ColumnMoving = s->ColumnMoving;
    RowSizing = s->RowSizing;
    RowMoving = s->RowMoving;
    AutoSizeColumns = s->AutoSizeColumns;
    ColumnSizeWithDropDown = s->ColumnSizeWithDropDown;
    DropDownAutoWidth = s->DropDownAutoWidth;
    DropDownRowHeight = s->DropDownRowHeight;
    HeaderHeight = s->HeaderHeight;
    FHeaderFont.Assign(s->FHeaderFont);
    HeaderColor = s->HeaderColor;
    HeaderColorTo = s->HeaderColorTo;
    LineColor = s->LineColor;
    FixedLineColor = s->FixedLineColor;
    SelectionTextColor = s->SelectionTextColor;
    HoverRow = s->HoverRow;
    HoverRowColor = s->HoverRowColor;
    HoverRowColorTo = s->HoverRowColorTo;
    GridImages = s->GridImages;
    FSearchFooter->Assign(s->FSearchFooter);
    FBands->Assign(s->FBands);
    FNavigation->Assign(s->FNavigation);
    FMouseActions->Assign(s->FMouseActions);
    FItemIndex = UseItems && s->FItemIndex >= FItems->Count() ? -1 : s->FItemIndex;
}

// ---------------------------------------------------------------------------
// Choices and the item index
// ---------------------------------------------------------------------------

void TCustomExGridDropDown::SetTextQuietly(const QString& S) {
    const bool was = FCompleting;
    FCompleting = true;
    SetRawText(S);
    FCompleting = was;
}

void TCustomExGridDropDown::SelectFrom(int Start) {
    const int n = int(WholeText().size());
    Perform(EM_SETSEL, WPARAM(std::min(Start, n)), LPARAM(n));
}

int TCustomExGridDropDown::GetItemCount() const {
    if (UseItems) return FItems->Count();
    return FGrid ? std::max(0, FGrid->RowCount() - FGrid->FixedRows()) : 0;
}

void TCustomExGridDropDown::SetItemIndex(int Value) {
    if (UseItems) {
        if (Value >= FItems->Count()) return;
        FItemIndex = Value < 0 ? -1 : Value;
        QString t;
        if (FItemIndex >= 0 && FLookupColumn >= 0) t = FItems->Items(FItemIndex)->Line(FLookupColumn);
        SetTextQuietly(t);
        return;
    }
    if (!FGrid) {
        FItemIndex = Value;
        return;
    }
    // Grid mode: a data row counted from 0, so at most the data rows.
    if (Value == FItemIndex || Value >= GetItemCount()) return;
    FItemIndex = Value < 0 ? -1 : Value;
    SetTextQuietly(FItemIndex < 0 ? QString() : FGrid->Cells(FLookupColumn, FItemIndex + FGrid->FixedRows()));
}

int TCustomExGridDropDown::ItemOfRow(int ARow) const {
    if (!FGrid || ARow < 0 || ARow >= FGrid->RowCount()) return ARow;
    return FGrid->ItemOfRow(ARow);
}

int TCustomExGridDropDown::RowOfItem(int Index) const {
    if (!FGrid || Index < 0) return FItemIndex;
    for (int r = FGrid->FixedRows(); r < FGrid->RowCount(); ++r)
        if (FGrid->ItemOfRow(r) == Index) return r;
    return FItemIndex;
}

void TCustomExGridDropDown::StepTo(int Index) {
    if (GetItemCount() > 0) SetItemIndex(Index);
}

void TCustomExGridDropDown::SelectFirst() { StepTo(0); }

void TCustomExGridDropDown::SelectLast() { StepTo(GetItemCount() - 1); }

void TCustomExGridDropDown::SelectNext() {
    const int n = GetItemCount();
    if (n == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex + 1 < n) SetItemIndex(FItemIndex + 1);
}

void TCustomExGridDropDown::SelectPrevious() {
    if (GetItemCount() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex > 0) SetItemIndex(FItemIndex - 1);
}

void TCustomExGridDropDown::SelectPageDown() {
    const int n = GetItemCount();
    if (n == 0) return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::min(FItemIndex + kPageStep, n - 1));
}

void TCustomExGridDropDown::SelectPageUp() {
    if (GetItemCount() == 0) return;
    SetItemIndex(FItemIndex < kPageStep ? 0 : FItemIndex - kPageStep);
}

void TCustomExGridDropDown::SelectNextItem() {
    TExCustomDropDown::SelectNextItem();
    SelectNext();
}

void TCustomExGridDropDown::SelectPreviousItem() {
    TExCustomDropDown::SelectPreviousItem();
    SelectPrevious();
}

// ---------------------------------------------------------------------------
// Lookup
// ---------------------------------------------------------------------------

void TCustomExGridDropDown::UpdateLookupItems() {
    if (FLookupColumn < 0 || FItems->Count() == 0) return;
    FLookupItems.Clear();
    FLookupTexts.clear();
    FLookupTexts.reserve(FItems->Count());
    FLookupItems.BeginUpdate();
    for (int i = 0; i < FItems->Count(); ++i) {
        const QString t = FItems->Items(i)->Line(FLookupColumn);
        FLookupItems.Add(t);
        FLookupTexts.append(t);
    }
    FLookupItems.EndUpdate();
    FLookupInStep = true;
    FLookupBuiltColumn = FLookupColumn;
    FLastPrefix.clear();
}

int TCustomExGridDropDown::FirstLookupText(const QString& Prefix, Qt::CaseSensitivity CS, int Limit) const {
    const int n = std::min<int>(Limit, int(FLookupTexts.size()));
    for (int i = 0; i < n; ++i)
        if (FLookupTexts[i].startsWith(Prefix, CS)) return i;
    return -1;
}

bool TCustomExGridDropDown::FindLookupRow(const QString& S, QString& Found, int& Row) const {
    Row = -1;
    Found.clear();
    if (S.isEmpty()) return false;
    const Qt::CaseSensitivity cs = CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (UseItems) {
        // The lookup texts are the items' lines while no item changed.
        if (FLookupInStep && FLookupBuiltColumn == FLookupColumn && FLookupTexts.size() == FItems->Count()) {
            int i = -1;
            if (cs == Qt::CaseInsensitive && !FLastPrefix.isEmpty() && FLastPrefix.compare(S, cs) == 0)
                i = FLastFound;
            else
                i = FirstLookupText(S, cs, FItems->Count());
            if (i < 0) return false;
            Found = FLookupTexts[i];
            Row = i;
            return true;
        }
        for (int i = 0; i < FItems->Count(); ++i) {
            const QString c = FItems->Items(i)->Line(FLookupColumn);
            if (c.startsWith(S, cs)) {
                Found = c;
                Row = i;
                return true;
            }
        }
        return false;
    }
    if (!FGrid) return false;
    for (int r = FGrid->FixedRows(); r < FGrid->RowCount(); ++r) {
        const QString c = FGrid->Cells(FLookupColumn, r);
        if (c.startsWith(S, cs)) {
            Found = c;
            Row = r;
            return true;
        }
    }
    return false;
}

int TCustomExGridDropDown::LookupKey(QChar Key) {
    // 1.
    if (LookupMethod == lmNone) return -1;
    // 2.
    if (Key.unicode() == VK_BACK) {
        if (SelLength() == 0) {
            FLookupEntry.chop(1);
            SetTextQuietly(FLookupEntry);
        } else {
            QString t = WholeText();
            t.remove(SelStart(), SelLength());
            SetTextQuietly(t);
        }
        const int end = int(WholeText().size());
        Perform(EM_SETSEL, WPARAM(end), LPARAM(end));
        return -1;
    }
    if (Key.unicode() != VK_TAB) FLookupEntry += Key;
    // 3.
    const QString t = FLookupEntry.trimmed();
    // 4.
    if (LookupMethod == lmNarrowDown) {
        if (!FGrid) return -1;
        if (t.isEmpty()) {
            FGrid->RemoveAllFilters();
            FGrid->FNarrowDownText.clear();
        } else {
            FGrid->FixedRowAlways = true;
            FGrid->NarrowDown(t, FLookupColumn);
            if (FStyle == dsDropDown && FGrid->RowCount() > FGrid->FixedRows()) {
                SetTextQuietly(FGrid->Cells(FLookupColumn, FGrid->FixedRows()));
                SelectFrom(int(FLookupEntry.size()));
            }
        }
        return FGrid->FixedRows();
    }
    // 5. The found row is the item (item mode) or the grid row (grid mode);
    // the item index of a grid row counts the data rows from 0.
    QString found;
    int row = -1;
    auto take = [&](bool select) {
        FItemIndex = UseItems ? row : row - (FGrid ? FGrid->FixedRows() : 0);
        SetTextQuietly(found);
        if (select) SelectFrom(int(FLookupEntry.size()));
    };
    if (FindLookupRow(t, found, row)) {
        take(FStyle == dsDropDown);
        return row;
    }
    if (FStyle == dsDropDownList) {
        if (FindLookupRow(QString(Key), found, row)) {
            FLookupEntry = QString(Key);
            take(false);
            return row;
        }
        FLookupEntry.clear();
        return -1;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Completion and the keys of the edit
// ---------------------------------------------------------------------------

void TCustomExGridDropDown::Change() {
    FItemChange = false;
    TExCustomDropDown::Change();
    if (FCompleting || !FWorkMode || InState(csDesigning)) return;
    const QString text = WholeText();
    // 1.
    SetModified(!text.isEmpty());
    // 2.
    const QString p = text.left(SelStart());
    if (p.isEmpty()) return;
    // 3. A lookup list longer than the items (items changed at run time
    // without EndUpdate) is read only as far as there are items.
    const Qt::CaseSensitivity cs = MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int typed = int(p.size());
    const int i = FirstLookupText(p, cs, UseItems ? FItems->Count() : int(FLookupTexts.size()));
    if (cs == Qt::CaseInsensitive) {
        FLastPrefix = p;
        FLastFound = i;
    }
    if (i >= 0) {
        const QString& entry = FLookupTexts[i];
        const QString completed = p + entry.mid(typed).left(255);
        SetTextQuietly(completed);
        FItemIndex = i;
        FItemIdx = i;
        FItemSel = uint16_t(typed);
        FItemChange = true;
        Perform(EM_SETSEL, WPARAM(typed), LPARAM(completed.size()));
        return;
    }
    // 4.
    if (p != text) {
        SetTextQuietly(p);
        Perform(EM_SETSEL, WPARAM(typed), LPARAM(typed));
    }
}

void TCustomExGridDropDown::GridEditorEnter() {
    if (!FGrid) return;
    const int col = FGrid->Col(), row = FGrid->Row();
    FGrid->HideInplaceEdit();
    if (col != FLookupColumn) return;
    // The lookup column: the edited cell is the choice and the popup closes.
    const QString cell = FGrid->Cells(FLookupColumn, row);
    FGrid->SetConfirmSelection(false);
    SetItemIndex(UseItems ? ItemOfRow(row) : row - FGrid->FixedRows());
    SetTextQuietly(cell);
    DoHideDropDown(false);
}

void TCustomExGridDropDown::KeyDown(unsigned& Key, TShiftState Shift) {
    // 1.
    if (FGrid && GridEditable && FGrid->EditMode && Key == VK_RETURN && !(Shift & ssShift)) {
        GridEditorEnter();
        Key = 0;
        return;
    }
    // 2.
    if (FLookupColumn < 0 || GetItemCount() == 0) {
        TExCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    // 3.
    const unsigned key = Key;
    if (key == VK_BACK || key == VK_DELETE || key == VK_ESCAPE) FWorkMode = false;
    else if (key != VK_RETURN) FWorkMode = true;
    if (key == VK_RETURN) {
        const int i = FLookupItems.IndexOf(WholeText());
        if (i >= 0 && (!UseItems || i < FItems->Count())) {
            SetTextQuietly(FLookupItems.Get(i));
            SetItemIndex(i);
            Change();
        }
        if (ReturnIsTab) {
            PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
            Key = 0;
            return;
        }
    }
    if (key == VK_ESCAPE || MovingKey(key)) FLookupEntry.clear();
    TExCustomDropDown::KeyDown(Key, Shift);
    if (key == VK_ESCAPE) {
        int i = FLookupItems.IndexOf(WholeText());
        if (UseItems && i >= FItems->Count()) i = -1;
        SetItemIndex(i);
    }
}

void TCustomExGridDropDown::KeyPress(QChar& Key) {
    if (Key.unicode() == VK_RETURN && ReturnIsTab) {
        Key = QChar();
        return;
    }
    TExCustomDropDown::KeyPress(Key);
}

void TCustomExGridDropDown::KeyUp(unsigned& Key, TShiftState Shift) {
    if (!(Key == VK_RETURN && ReturnIsTab)) TExCustomDropDown::KeyUp(Key, Shift);
    if (!FItemChange) return;
    FItemChange = false;
    SetItemIndex(FItemIdx);
    SelectFrom(FItemSel);
}

void TCustomExGridDropDown::WMChar(TMessage& M) {
    const QChar c(char16_t(M.WParam));
    TExCustomDropDown::WMChar(M);
    if (c.unicode() == VK_BACK) {
        // The edit has removed the character already; the lookup entry
        // only forgets its last one.
        FLookupEntry.chop(1);
    } else if (c.unicode() >= 32) {
        LookupKey(c);
    }
    if (AutoShowDropDown && !DroppedDown()) ShowDropDown();
}

void TCustomExGridDropDown::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    if (key == VK_RETURN && FGrid) FGrid->SetConfirmSelection(true);
    TExCustomDropDown::WMKeyDown(M);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_PRIOR:
        FLookupEntry.clear();
        SelectPageUp();
        break;
    case VK_NEXT:
        FLookupEntry.clear();
        SelectPageDown();
        break;
    case VK_END:
        FLookupEntry.clear();
        if (FStyle == dsDropDownList && !shift) SelectLast();
        break;
    case VK_HOME:
        FLookupEntry.clear();
        if (FStyle == dsDropDownList && !shift) SelectFirst();
        break;
    case VK_UP:
        FLookupEntry.clear();
        SelectPrevious();
        break;
    case VK_DOWN:
        FLookupEntry.clear();
        SelectNext();
        break;
    default: break;
    }
}

} // namespace ExGridDD
