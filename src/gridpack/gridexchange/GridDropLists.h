#pragma once
// The filter drop-down's two lists, children of the grid: a plain list that
// reports the chosen item, and a check list that reports every check-box
// click with -1.
#include "platform/controls/CheckLst.h"
#include "platform/controls/StdCtrls.h"

#include <functional>

using TDropListSelectEvent = std::function<void(TObject* Sender, int ItemIndex)>;

class TDropList : public TListBox {
    KAL_CLASS(TDropList, TListBox)
public:
    explicit TDropList(TComponent* AOwner) : TListBox(AOwner) {}
    TDropListSelectEvent OnSelect;

protected:
    void WndProc(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    // Hides the list and reports its item.
    void Choose();
};

class TDropCheckList : public TCheckListBox {
    KAL_CLASS(TDropCheckList, TCheckListBox)
public:
    explicit TDropCheckList(TComponent* AOwner);
    TDropListSelectEvent OnSelect;

protected:
    void WndProc(TMessage& M) override;
};
