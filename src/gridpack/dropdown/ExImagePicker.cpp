#include "gridpack/dropdown/ExImagePicker.h"

#include "platform/controls/ScrollBars.h"
#include "platform/core/Files.h"
#include "platform/graphics/ImageList.h"

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

void TCaptionedItem::Notify() {
    if (auto* c = dynamic_cast<TCaptionedItems*>(Collection()))
        if (c->OnChange) c->OnChange(c);
}

void TCaptionedItem::SetCaption(const QString& v) {
    if (v == FCaption) return;
    FCaption = v;
    Notify();
}

void TCaptionedItem::SetImageIndex(int v) {
    if (v == FImageIndex) return;
    FImageIndex = v;
    Notify();
}

void TCaptionedItem::AssignCaptionedItem(const TCaptionedItem* s) {
    FCaption = s->FCaption;
    FImageIndex = s->FImageIndex;
    FImage.Assign(&s->FImage);
    FEnabled = s->FEnabled;
}

void TImageItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TImageItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    AssignCaptionedItem(s);
    Hint = s->Hint;
}

TImageItems::TImageItems(TPersistent* AOwner) : TCaptionedItems(AOwner, TCollection::ItemClass<TImageItem>()) {}

// ---------------------------------------------------------------------------
// TExImagePickerDropDown
// ---------------------------------------------------------------------------

TExImagePickerDropDown::TExImagePickerDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    // Made before the second phase applies the component style to it.
    FItems = new TImageItems(this);
    FItems->OnChange = [](TObject*) {};
    FItemAppearance = new TItemAppearance();
    FKeyTimer = new TTimer(this);
    FKeyTimer->SetEnabled(false);
    FKeyTimer->SetInterval(500);
    FKeyTimer->OnTimer = [this](TObject*) {
        FKeyTimer->SetEnabled(false);
        FCurSearch.clear();
    };
    SetEditorEnabled(false);
    FDropDownEnabled = true;
    SetCursor(crArrow);
}

TExImagePickerDropDown::~TExImagePickerDropDown() {
    // The key timer is owned: it stops as it is freed with the other owned
    // components, before this body runs when the control goes by Free().
    delete FItems;
    delete FItemAppearance;
}

void TExImagePickerDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FItemSelector) FItemSelector = nullptr;
}

void TExImagePickerDropDown::SetItemIndex(int I) {
    if (I == FItemIndex || I >= FItems->Count()) return;
    FItemIndex = I;
    Invalidate();
    if (OnChange) OnChange(this);
    if (OnSelect) OnSelect(this);
}

int TExImagePickerDropDown::ImageIndex() const {
    return FItemIndex < 0 ? -1 : FItems->Item(FItemIndex)->ImageIndex();
}

void TExImagePickerDropDown::SetImageIndex(int N) {
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Item(i)->ImageIndex() == N) {
            SetItemIndex(i);
            return;
        }
    SetItemIndex(-1);
}

void TExImagePickerDropDown::SelectFirst() {
    if (FItems->Count() > 0) SetItemIndex(0);
}

void TExImagePickerDropDown::SelectLast() {
    if (FItems->Count() > 0) SetItemIndex(FItems->Count() - 1);
}

void TExImagePickerDropDown::SelectNext() {
    if (FItems->Count() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex + 1 < FItems->Count()) SetItemIndex(FItemIndex + 1);
}

void TExImagePickerDropDown::SelectPrevious() {
    if (FItems->Count() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex > 0) SetItemIndex(FItemIndex - 1);
}

void TExImagePickerDropDown::AddImagesFromImageList() {
    if (!Images()) return;
    for (int i = 0; i < Images()->Count(); ++i) FItems->Add()->SetImageIndex(i);
}

void TExImagePickerDropDown::AddImagesFromFolder(const QString& AFolder, bool SetImageCaption) {
    const int cut = int(AFolder.lastIndexOf(QLatin1Char('/')));
    const QString folder = cut < 0 ? QString() : AFolder.left(cut + 1);
    for (const QString& name : ListFolderByMask(AFolder)) {
        // The folder itself and its parent are no pictures.
        if (name == QLatin1String(".") || name == QLatin1String("..")) continue;
        TImageItem* it = FItems->Add();
        try {
            it->Image()->LoadFromFile(folder + name);
            if (SetImageCaption) it->SetCaption(name);
        } catch (const Exception&) {
            // A file that does not load (a folder among them) stays empty.
            it->Image()->Clear();
            it->SetCaption(QString());
        }
    }
}

void TExImagePickerDropDown::SetComponentStyle(TQORStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(FItemAppearance, AStyle);
}

void TExImagePickerDropDown::SetSelectionColorStyle(TSelectionColorStyle S) {
    TExCustomDropDown::SetSelectionColorStyle(S);
    if (FItemSelector) FItemSelector->ItemAppearance()->SetColorStyle(S);
}

void TExImagePickerDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm()) return;
    if (!FItemSelector) {
        FItemSelector = new TExCustomItemSelector(this);
        FItemSelector->FreeNotification(this);
        FItemSelector->SetParent(DropDownForm());
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->SetBounds(0, 0, FItemSelector->Width(), 150);
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetDropDownControl(FItemSelector);
}

void TExImagePickerDropDown::CopyItemsToSelector() {
    TSelectorItems* s = FItemSelector->Items();
    s->BeginUpdate();
    s->Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        TImageItem* it = FItems->Item(i);
        TSelectorItem* d = s->Add();
        d->SetCaption(it->Caption());
        d->SetImage(it->Image());
        d->SetImageIndex(it->ImageIndex());
        d->Hint = it->Hint;
    }
    s->EndUpdate();
}

void TExImagePickerDropDown::UpdateSelector() {
    if (!FItemSelector) return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(FColumns);
    FItemSelector->SetImages(Images());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->SetItemAppearance(FItemAppearance);
    CopyItemsToSelector();
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject* s) { ItemSelected(s); };
    FItemSelector->SetShowHint(ShowHint());
}

void TExImagePickerDropDown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    UpdateSelector();
    if (FItemSelector) {
        if (OnDrawItem)
            FItemSelector->OnDrawItem = [this](TObject*, TCanvas* c, int i, TRect r) {
                if (OnDrawItem) OnDrawItem(this, c, r, i);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
    }
    FOldItemIndex = FItemIndex;
}

void TExImagePickerDropDown::UpdateDropDownSize() {
    if (!FItemSelector) {
        TExCustomDropDown::UpdateDropDownSize();
        return;
    }
    FItemSelector->SetAlign(alNone);
    TSize s;
    FItemSelector->GetSelectorPanelSize(s);
    if (DropDownWidth() < 1) FItemSelector->SetWidth(s.cx);
    if (DropDownHeight() < 1) FItemSelector->SetHeight(s.cy);
    TExCustomDropDown::UpdateDropDownSize();
    if (FItemSelector->HasScrollBarsState() && FItemSelector->ScrollBarsState()->Bar(SB_VERT).Shown) {
        TDropDownForm* f = DropDownForm();
        f->SetBounds(f->Left(), f->Top(), f->Width() + GetSystemMetrics(SM_CXVSCROLL), f->Height());
    }
}

void TExImagePickerDropDown::DoHideDropDown(bool Cancel) {
    TExCustomDropDown::DoHideDropDown(Cancel);
    if (Cancel && FItemSelector) SetItemIndex(FOldItemIndex);
}

void TExImagePickerDropDown::SelectNextItem() {
    TExCustomDropDown::SelectNextItem();
    if (!Enabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) {
        FItemSelector->HotNext();
    } else {
        FInternalCall = true;
        FItemSelector->SelectNext();
        FInternalCall = false;
    }
}

void TExImagePickerDropDown::SelectPreviousItem() {
    TExCustomDropDown::SelectPreviousItem();
    if (!Enabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) {
        FItemSelector->HotPrevious();
    } else {
        FInternalCall = true;
        FItemSelector->SelectPrevious();
        FInternalCall = false;
    }
}

void TExImagePickerDropDown::ItemSelected(TObject*) {
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FInternalCall) DoHideDropDown(false);
}

void TExImagePickerDropDown::MoveSelector(int Index) {
    FInternalCall = true;
    FItemSelector->SetItemIndex(Index);
    FItemSelector->ScrollItemInView(Index);
    FInternalCall = false;
}

void TExImagePickerDropDown::WMKeyDown(TMessage& M) {
    const unsigned key = unsigned(M.WParam);
    // 1. Enter over a hovered item chooses it.
    bool handled = false;
    if (Enabled() && DroppedDown() && key == VK_RETURN && FItemSelector && FItemSelector->ItemHot() >= 0) {
        FItemSelector->SetItemIndex(FItemSelector->ItemHot());
        handled = true;
    }
    // 2.
    if (!handled) TExCustomDropDown::WMKeyDown(M);
    // 3.
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    const bool open = DroppedDown() && FItemSelector;
    auto page = [&](bool up) {
        if (!FItemSelector) return;
        if (FItemSelector->Items()->Count() != FItems->Count()) UpdateSelector();
        const int visible = FItemSelector->GetVisibleItemCount();
        if (visible < 1) return;
        const int at = FItemSelector->ItemIndex();
        if (up) MoveSelector(at - visible < 1 ? 0 : at - visible);
        else MoveSelector(std::min(at + visible, FItems->Count() - 1));
    };
    switch (key) {
    case VK_RETURN:
        if (!handled && OnSelect) OnSelect(this);
        break;
    case VK_PRIOR: page(true); break;
    case VK_NEXT: page(false); break;
    case VK_END:
        if (open) {
            FInternalCall = true;
            FItemSelector->SelectLast();
            FInternalCall = false;
        } else {
            SelectLast();
        }
        break;
    case VK_HOME:
        if (open) {
            FInternalCall = true;
            FItemSelector->SelectFirst();
            FInternalCall = false;
        } else {
            SelectFirst();
        }
        break;
    case VK_LEFT: case VK_RIGHT:
        if (open && !EditorEnabled()) {
            FInternalCall = true;
            if (key == VK_LEFT) FItemSelector->SelectPrevious();
            else FItemSelector->SelectNext();
            FInternalCall = false;
        }
        break;
    case VK_UP:
        if (open) {
            const int at = FItemSelector->ItemIndex();
            const int to = at < 0 ? 0 : at - FColumns;
            if (to >= 0) MoveSelector(to);
        } else {
            SelectPrevious();
        }
        break;
    case VK_DOWN:
        if (open) {
            const int at = FItemSelector->ItemIndex();
            const int to = at < 0 ? 0 : at + FColumns;
            if (to < FItemSelector->Items()->Count()) MoveSelector(to);
        } else {
            SelectNext();
        }
        break;
    default:
        if (GetKeyState(VK_CONTROL) < 0 || !FItemSelector || key == VK_ESCAPE || key == VK_F4) break;
        FCurSearch += QChar(char16_t(key));
        FInternalCall = true;
        FItemSelector->LookupItem(FCurSearch);
        FInternalCall = false;
        FKeyTimer->SetEnabled(false);
        FKeyTimer->SetEnabled(true);
        break;
    }
}

void TExImagePickerDropDown::PaintSelectedImage(TCanvas* C) {
    const TRect R = EditRect();
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, C, R);
        return;
    }
    if (FItemIndex < 0) return;
    TImageItem* it = FItems->Item(FItemIndex);
    if (it->Image()->Width() > 0) {
        C->Draw(R.Left + (R.Width() - it->Image()->Width()) / 2, R.Top + (R.Height() - it->Image()->Height()) / 2,
                it->Image()->Graphic());
    } else if (Images() && it->ImageIndex() >= 0) {
        Images()->Draw(C, R.Left + (R.Width() - Images()->Width()) / 2,
                       R.Top + (R.Height() - Images()->Height()) / 2, it->ImageIndex(), true);
    }
}

void TExImagePickerDropDown::Paint() {
    TExCustomDropDown::Paint();
    PaintSelectedImage(Canvas());
}
