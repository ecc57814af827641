// The header's column menu and the automatic menu of a right click.
#include "treeview/LazyTreesHeaderPopup.h"

TLTHeaderPopupMenu::TLTHeaderPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}

TBaseLazyTree* TLTHeaderPopupMenu::Tree() const { return dynamic_cast<TBaseLazyTree*>(PopupComponent); }

void TLTHeaderPopupMenu::FireAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd) {
    Cmd = apNormal;
    if (OnAddHeaderPopupItem) OnAddHeaderPopupItem(Tree(), Column, Cmd);
}

void TLTHeaderPopupMenu::FireColumnChange(TColumnIndex Column, bool Visible) {
    if (OnColumnChange) OnColumnChange(Tree(), Column, Visible);
}

TMenuItem* TLTHeaderPopupMenu::Popup(int X, int Y) {
    if (TBaseLazyTree* tree = Tree()) {
        TMenuItem* root = Items();
        while (root->Count() > 0) {
            TMenuItem* item = root->Items(0);
            root->Remove(item);
            item->Free();
        }
        auto click = [this](TObject* Sender) { MenuItemClick(Sender); };
        if (Options.Contains(poResizeToFitItem)) {
            auto* fit = NewObject<TMenuItem>(this);
            fit->Caption = QStringLiteral("&Resize All Columns To Fit");
            fit->SetName(QString::fromLatin1(ResizeToFitItemName));
            fit->OnClick = click;
            root->Add(fit);
            auto* separator = NewObject<TMenuItem>(this);
            separator->Caption = QStringLiteral("-");
            root->Add(separator);
        }
        TLTHeader* header = tree->Header();
        Images = header->Options().Contains(hoShowImages) ? header->Images() : nullptr;
        TLazyTreeColumns* columns = header->Columns();
        int visible = 0;
        TMenuItem* lastVisible = nullptr;
        for (int i = 0; i < columns->Count(); ++i) {
            const TColumnIndex index =
                Options.Contains(poOriginalOrder) ? i : columns->ColumnFromPosition(TColumnPosition(i));
            if (!columns->IsValidColumn(index)) continue;
            TLazyTreeColumn* column = columns->Items(index);
            const bool shown = column->Options().Contains(coVisible);
            if (shown) ++visible;
            TAddPopupItemType cmd = apNormal;
            FireAddHeaderPopupItem(index, cmd);
            if (cmd == apHidden) continue;
            auto* item = NewObject<TMenuItem>(this);
            item->Tag = index;
            item->Caption = column->Text();
            item->Hint = column->Hint;
            item->ImageIndex = column->ImageIndex();
            item->Checked = shown;
            item->OnClick = click;
            if (cmd == apDisabled) item->Enabled = false;
            else if (shown) lastVisible = item;
            root->Add(item);
        }
        if (visible == 1 && lastVisible && !Options.Contains(poAllowHideAll)) lastVisible->Enabled = false;
    }
    return TPopupMenu::Popup(X, Y);
}

void TLTHeaderPopupMenu::MenuItemClick(TObject* Sender) {
    TBaseLazyTree* tree = Tree();
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!tree || !item) return;
    if (item->Name() == QLatin1String(ResizeToFitItemName)) {
        tree->Header()->AutoFitColumns(true, smaUseColumnOption, -1, -1);
        return;
    }
    const TColumnIndex index = TColumnIndex(item->Tag);
    TLazyTreeColumns* columns = tree->Header()->Columns();
    if (!columns->IsValidColumn(index)) return;
    TLazyTreeColumn* column = columns->Items(index);
    if (item->Checked) column->SetOptions(column->Options() - TLTColumnOptions{coVisible});
    else column->SetOptions(column->Options() + TLTColumnOptions{coVisible});
    FireColumnChange(index, !item->Checked);
}

// ---------------------------------------------------------------------------
// The automatic column menu
// ---------------------------------------------------------------------------

void TLazyTreeColumns::PopupColumnMenu(TPoint P) {
    TBaseLazyTree* tree = Tree();
    if (!tree) return;
    if (FColumnPopupMenu) {
        TPopupMenu* old = FColumnPopupMenu;
        FColumnPopupMenu = nullptr;
        old->Free();
    }
    // The collection frees it (a menu owned by the tree would be gone before
    // the collection when the tree is freed).
    auto* menu = NewObject<TLTHeaderPopupMenu>(nullptr);
    FColumnPopupMenu = menu;
    menu->OnColumnChange = [this](TBaseLazyTree*, TColumnIndex Column, bool Visible) {
        if (TBaseLazyTree* t = Tree()) t->FireColumnVisibilityChanged(Column, Visible);
    };
    menu->PopupComponent = tree;
    if (FHeader->Options().Contains(hoDblClickResize) && tree->RootNodeCount() > 0)
        menu->Options.Include(poResizeToFitItem);
    const TPoint screen = tree->ClientToScreen(P);
    menu->Popup(screen.X, screen.Y);
}
