#include "gridpack/dropdown/ExDetailDropDown.h"

#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/ScrollBars.h"
#include "platform/graphics/ImageList.h"

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

void TDetailItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDetailItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    AssignCaptionedItem(s);
    Notes = s->Notes;
    Tag = s->Tag;
    ItemObject = s->ItemObject;
}

TDetailItems::TDetailItems(TPersistent* AOwner) : TCaptionedItems(AOwner, TCollection::ItemClass<TDetailItem>()) {}

int TDetailItems::IndexOf(const QString& S) const {
    for (int i = 0; i < Count(); ++i)
        if (Item(i)->Caption() == S) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// TExDetailDropDown
// ---------------------------------------------------------------------------

TExDetailDropDown::TExDetailDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    // Made before the second phase applies the component style to it.
    FItems = new TDetailItems(this);
    FItems->OnChange = [](TObject*) {};
    FItemAppearance = new TItemAppearance();
    FCaptionFont.Assign(*Font());
    FNotesFont.Assign(*Font());
    FKeyTimer = new TTimer(this);
    FKeyTimer->SetEnabled(false);
    FKeyTimer->SetInterval(500);
    FKeyTimer->OnTimer = [this](TObject*) {
        FKeyTimer->SetEnabled(false);
        FCurSearch.clear();
    };
    SetEditorEnabled(true);
    FDropDownEnabled = true;
}

TExDetailDropDown::~TExDetailDropDown() {
    // The key timer is owned: it stops as it is freed with the other owned
    // components, before this body runs when the control goes by Free().
    delete FItems;
    delete FItemAppearance;
}

void TExDetailDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FItemSelector) FItemSelector = nullptr;
}

void TExDetailDropDown::ShowCaptionSelected(int Index) {
    FCompleting = true;
    SetRawText(FItems->Item(Index)->Caption());
    FCompleting = false;
    SelectAll();
}

void TExDetailDropDown::SetItemIndex(int Value) {
    if (Value == FItemIndex || Value >= FItems->Count() || Value < -1) return;
    if (Value == -1) {
        FCompleting = true;
        SetRawText(QString());
        FCompleting = false;
        FItemIndex = -1;
        return;
    }
    FItemIndex = Value;
    ShowCaptionSelected(Value);
    Invalidate();
    if (FItemSelector) FItemSelector->Invalidate();
    if (OnSelect) OnSelect(this);
}

void TExDetailDropDown::Step(TItemStep S) {
    if (const int i = ItemStepTarget(FItemIndex, FItems->Count(), S); i >= 0) SetItemIndex(i);
}

void TExDetailDropDown::SelectFirst() { Step(TItemStep::First); }
void TExDetailDropDown::SelectLast() { Step(TItemStep::Last); }
void TExDetailDropDown::SelectNext() { Step(TItemStep::Next); }
void TExDetailDropDown::SelectPrevious() { Step(TItemStep::Previous); }

void TExDetailDropDown::SetComponentStyle(TQORStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(FItemAppearance, AStyle);
}

void TExDetailDropDown::SetSelectionColorStyle(TSelectionColorStyle S) {
    TExCustomDropDown::SetSelectionColorStyle(S);
    if (FItemSelector) FItemSelector->ItemAppearance()->SetColorStyle(S);
}

// -- the popup --------------------------------------------------------------------

void TExDetailDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FItemSelector) {
        FItemSelector = new TExCustomItemSelector(this);
        FItemSelector->FreeNotification(this);
        FItemSelector->SetParent(DropDownForm());
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->SetBounds(0, 0, FItemSelector->Width(), 150);
        FItemSelector->OnDrawItem = [this](TObject* s, TCanvas* c, int i, TRect r) { DrawDetailItem(s, c, i, r); };
        FItemSelector->OnItemSize = [this](TObject* s, TSize& sz) { GetDetailItemSize(s, sz); };
        FItemSelector->OnResize = [this](TObject*) {
            if (FItemSelector) FItemSelector->UpdateSelectorPanel();
        };
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetDropDownControl(FItemSelector);
}

void TExDetailDropDown::UpdateSelector() {
    if (!FItemSelector) return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(1);
    FItemSelector->SetImages(Images());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->SetItemAppearance(FItemAppearance);
    TSelectorItems* s = FItemSelector->Items();
    s->BeginUpdate();
    s->Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        TDetailItem* it = FItems->Item(i);
        TSelectorItem* d = s->Add();
        d->SetCaption(it->Caption());
        d->SetImage(it->Image());
        d->SetImageIndex(it->ImageIndex());
    }
    s->EndUpdate();
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject* s) { ItemSelected(s); };
}

void TExDetailDropDown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    UpdateSelector();
    FOldItemIndex = FItemIndex;
}

void TExDetailDropDown::DoDropDown() {
    TExCustomDropDown::DoDropDown();
    if (FItemSelector && DroppedDown() && FItemSelector->CanFocus()) FItemSelector->SetFocus();
}

void TExDetailDropDown::UpdateDropDownSize() {
    if (FItemSelector) {
        FItemSelector->SetAlign(alNone);
        if (DropDownWidth() <= 0) FItemSelector->SetWidth(Width());
        if (DropDownHeight() <= 0) FItemSelector->SetHeight(100);
    }
    TExCustomDropDown::UpdateDropDownSize();
}

void TExDetailDropDown::DoHideDropDown(bool Cancel) {
    TExCustomDropDown::DoHideDropDown(Cancel);
    if (Cancel && FItemSelector && FOldItemIndex != -1) SetItemIndex(FOldItemIndex);
}

void TExDetailDropDown::DropDownSizing() {
    TExCustomDropDown::DropDownSizing();
    if (FItemSelector) FItemSelector->UpdateSelectorPanel();
}

void TExDetailDropDown::MoveSelector(int Index) {
    FInternalCall = true;
    FItemSelector->SetItemIndex(Index);
    FItemSelector->ScrollItemInView(Index);
    FInternalCall = false;
}

void TExDetailDropDown::SelectNextItem() {
    TExCustomDropDown::SelectNextItem();
    if (DroppedDown() && FItemSelector) {
        const int at = FItemSelector->ItemIndex();
        const int to = at < 0 ? 0 : at + 1;
        if (to < FItemSelector->Items()->Count()) MoveSelector(to);
        Invalidate();
    } else if (!DroppedDown()) {
        SelectNext();
    }
}

void TExDetailDropDown::SelectPreviousItem() {
    TExCustomDropDown::SelectPreviousItem();
    if (DroppedDown() && FItemSelector) {
        const int at = FItemSelector->ItemIndex();
        const int to = at < 0 ? 0 : at - 1;
        if (to >= 0 && to < FItemSelector->Items()->Count()) MoveSelector(to);
        Invalidate();
    } else if (!DroppedDown()) {
        SelectPrevious();
    }
}

void TExDetailDropDown::ItemSelected(TObject*) {
    const int i = FItemSelector->ItemIndex();
    if (i < 0 || i >= FItems->Count()) {
        SetItemIndex(-1);
        return;
    }
    SetItemIndex(i);
    ShowCaptionSelected(i);
    if (!FInternalCall) DoHideDropDown(false);
}

void TExDetailDropDown::GetDetailItemSize(TObject*, TSize& S) {
    int w = DropDownWidth() > 0 ? DropDownWidth() : (DropDownForm() ? DropDownForm()->Width() : Width());
    if (FItemSelector && FItemSelector->HasScrollBarsState() && FItemSelector->ScrollBarsState()->Bar(SB_VERT).Shown)
        w -= GetSystemMetrics(SM_CXVSCROLL);
    w -= 2 * GetSystemMetrics(SM_CXBORDER) + 4;
    S = TSize(w, FItemHeight);
}

TDetailRowLayout TExDetailDropDown::GetRowLayout(int Index, TCanvas* C, const TRect& Row) {
    TDetailRowLayout l;
    TRect R = Row;
    TDetailItem* it = FItems->Item(Index);
    const bool captioned = !it->Caption().isEmpty();
    int pw = 0, ph = 0, advance = 0;
    if (it->Image()->Width() > 0) {
        pw = it->Image()->Width();
        ph = it->Image()->Height();
        advance = pw + 4;
    } else if (Images() && it->ImageIndex() >= 0) {
        pw = Images()->Width();
        ph = Images()->Height();
        advance = pw + 4;
    }
    if (pw > 0) {
        const int x = captioned ? R.Left + 2 : R.Left + (R.Width() - pw) / 2;
        const int y = R.Top + (R.Height() - ph) / 2;
        l.Picture = Rect(x, y, x + pw, y + ph);
        R.Left += advance;
    }
    R.Left += 4;
    R.Top += 2;
    R.Right -= 4;
    l.Caption = R;
    if (!it->Notes.isEmpty()) {
        C->Font().Assign(FCaptionFont);
        l.Notes = R;
        l.Notes.Top += C->TextHeight(QStringLiteral("gh"));
    }
    return l;
}

void TExDetailDropDown::DrawDetailItem(TObject* Sender, TCanvas* C, int Index, TRect R) {
    // 1.
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, C, R);
        return;
    }
    if (Index < 0 || Index >= FItems->Count()) return;
    TDetailItem* it = FItems->Item(Index);
    const TDetailRowLayout l = GetRowLayout(Index, C, R);
    // 2-3.
    if (!l.Picture.IsEmpty()) {
        if (it->Image()->Width() > 0) C->Draw(l.Picture.Left, l.Picture.Top, it->Image()->Graphic());
        else Images()->Draw(C, l.Picture.Left, l.Picture.Top, it->ImageIndex(), true);
    }
    // 4. The state's text colour: the selected item's wins.
    auto* panel = dynamic_cast<TCustomItemSelector*>(Sender);
    auto colour = [&](TFont& f) {
        if (panel && Index == panel->ItemHot()) f.SetColor(FItemAppearance->ColorHotText);
        if (Index == FItemIndex) f.SetColor(FItemAppearance->ColorSelectedText);
    };
    C->Font().Assign(FCaptionFont);
    colour(C->Font());
    C->Brush().SetStyle(bsClear);
    TRect cap = l.Caption;
    C->DrawText(it->Caption(), cap, DT_END_ELLIPSIS);
    // 5.
    if (!it->Notes.isEmpty()) {
        C->Font().Assign(FNotesFont);
        colour(C->Font());
        THTMLRenderParams p;
        p.Canvas = C;
        p.Text = it->Notes;
        p.Rect = l.Notes;
        p.Images = Images();
        p.LinkColor = 0xFF0000;
        p.HoverColor = clNone;
        p.HoverFontColor = clNone;
        p.ShadowColor = 0x808080;
        RenderHTML(p);
    }
    C->Brush().SetStyle(bsSolid);
}

// -- typing and keys ----------------------------------------------------------------

void TExDetailDropDown::Change() {
    TExCustomDropDown::Change();
    // 1.
    FItemChange = false;
    if (!FWorkMode || FCompleting) return;
    const QString text = WholeText();
    // 2.
    SetModified(!text.isEmpty());
    // 3.
    const QString s1 = text.left(SelStart());
    const QString s2 = MatchCase ? s1 : s1.toUpper();
    // 4. The first caption that begins with the typed part.
    if (!s2.isEmpty()) {
        for (int i = 0; i < FItems->Count(); ++i) {
            const QString caption = FItems->Item(i)->Caption();
            const QString folded = MatchCase ? caption : caption.toUpper();
            if (!folded.startsWith(s2)) continue;
            const int n = int(s2.size());
            const QString completed = text.left(n) + caption.mid(n).left(255);
            FCompleting = true;
            SetRawText(completed);
            FCompleting = false;
            FItemIndex = i;
            FItemIdx = i;
            FItemSel = n;
            FItemChange = true;
            Perform(EM_SETSEL, WPARAM(n), LPARAM(completed.size()));
            return;
        }
    }
    // 5. No caption: what stood right of the caret goes.
    if (!s1.isEmpty() && s1 != text) {
        FCompleting = true;
        SetRawText(s1);
        FCompleting = false;
        Perform(EM_SETSEL, WPARAM(s1.size()), LPARAM(s1.size()));
    }
}

void TExDetailDropDown::KeyDown(unsigned& Key, TShiftState Shift) {
    if (FItems->Count() == 0) {
        TExCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    const unsigned key = Key;
    // 1.
    if (key == VK_BACK || key == VK_ESCAPE || key == VK_DELETE) {
        FWorkMode = false;
    } else if (key == VK_RETURN) {
        const int i = FItems->IndexOf(WholeText());
        if (i >= 0) {
            FCompleting = true;
            SetRawText(FItems->Item(i)->Caption());
            FCompleting = false;
            SetItemIndex(i);
            Change();
        }
    } else {
        FWorkMode = true;
    }
    // 2.
    TExCustomDropDown::KeyDown(Key, Shift);
    // 3.
    if (key == VK_ESCAPE) {
        const int i = FItems->IndexOf(WholeText());
        if (i >= 0) SetItemIndex(i);
    }
}

void TExDetailDropDown::KeyUp(unsigned& Key, TShiftState Shift) {
    TExCustomDropDown::KeyUp(Key, Shift);
    if (!FItemChange) return;
    SetItemIndex(FItemIdx);
    Perform(EM_SETSEL, WPARAM(FItemSel), LPARAM(WholeText().size()));
    FItemChange = false;
}

void TExDetailDropDown::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) {
        TExCustomDropDown::WMKeyDown(M);
        return;
    }
    const bool open = DroppedDown() && FItemSelector;
    auto page = [&](bool up) {
        if (!FItemSelector) return;
        if (FItemSelector->Items()->Count() != FItems->Count()) UpdateSelector();
        // A row height of 0 or less counts no visible rows: nothing moves.
        const int visible = FItemSelector->GetVisibleItemCount();
        if (visible < 1) return;
        const int at = FItemSelector->ItemIndex();
        int to = up ? at - visible : at + visible;
        if (up && to <= 0) to = 0;
        if (!up) to = std::min(to, FItems->Count() - 1);
        if (to < FItemSelector->Items()->Count()) MoveSelector(to);
    };
    auto selectorDo = [&](void (TExCustomItemSelector::*f)()) {
        FInternalCall = true;
        (FItemSelector->*f)();
        FInternalCall = false;
    };
    auto step = [&](int d) {
        const int at = FItemSelector->ItemIndex();
        const int to = at < 0 ? 0 : at + d;
        if (to >= 0 && to < FItemSelector->Items()->Count()) MoveSelector(to);
        Invalidate();
    };
    switch (key) {
    case VK_PRIOR: page(true); break;
    case VK_NEXT: page(false); break;
    case VK_END:
        if (open) selectorDo(&TExCustomItemSelector::SelectLast);
        else if (!EditorEnabled()) SelectLast();
        break;
    case VK_HOME:
        if (open) selectorDo(&TExCustomItemSelector::SelectFirst);
        else if (!EditorEnabled()) SelectFirst();
        break;
    case VK_LEFT:
        if (open && !EditorEnabled()) selectorDo(&TExCustomItemSelector::SelectPrevious);
        break;
    case VK_RIGHT:
        if (open && !EditorEnabled()) selectorDo(&TExCustomItemSelector::SelectNext);
        break;
    case VK_UP:
        if (open) step(-1);
        else SelectPrevious();
        break;
    case VK_DOWN:
        if (open) step(1);
        else SelectNext();
        break;
    default:
        if (GetKeyState(VK_CONTROL) < 0 || !FItemSelector) break;
        if (key == VK_RETURN || key == VK_ESCAPE || key == VK_F4 || key == VK_BACK || key == VK_DELETE ||
            key == VK_TAB || key == VK_SHIFT)
            break;
        FCurSearch += QChar(char16_t(key));
        FInternalCall = true;
        FItemSelector->LookupItem(FCurSearch);
        FInternalCall = false;
        FKeyTimer->SetEnabled(false);
        FKeyTimer->SetEnabled(true);
        break;
    }
    // With the popup open the moving keys stay here.
    if (open && (key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_RIGHT || key == VK_UP ||
                 key == VK_DOWN)) {
        M.WParam = 0;
        M.Result = 1;
        return;
    }
    TExCustomDropDown::WMKeyDown(M);
}
