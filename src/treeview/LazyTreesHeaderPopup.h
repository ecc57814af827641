#pragma once
// The column menu of a tree's header: one checked item per visible column to
// show and hide columns, optionally led by an item that fits every column to
// its content. Its items are made anew each time it pops up.
#include "treeview/LazyTrees.h"

enum TLTHeaderPopupOption : uint8_t { poOriginalOrder, poAllowHideAll, poResizeToFitItem };
using TLTHeaderPopupOptions = TLTSet<TLTHeaderPopupOption, uint8_t>;

enum TAddPopupItemType : uint8_t { apNormal, apDisabled, apHidden };

using TAddHeaderPopupItemEvent =
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd)>;
using TColumnChangeEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, bool Visible)>;

class TLTHeaderPopupMenu : public TPopupMenu {
    KAL_CLASS(TLTHeaderPopupMenu, TPopupMenu)
public:
    static constexpr const char* ResizeToFitItemName = "LT_ResizeToFitMenuItem";

    explicit TLTHeaderPopupMenu(TComponent* AOwner);

    TLTHeaderPopupOptions Options;
    TAddHeaderPopupItemEvent OnAddHeaderPopupItem;
    TColumnChangeEvent OnColumnChange;

    // Builds the items from the columns of the tree in PopupComponent, then
    // shows the menu at the screen point.
    virtual TMenuItem* Popup(int X, int Y);

protected:
    virtual void FireAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd);
    virtual void FireColumnChange(TColumnIndex Column, bool Visible);
    void MenuItemClick(TObject* Sender);

private:
    TBaseLazyTree* Tree() const;
};
