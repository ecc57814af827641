#pragma once
// TCheckListBox: a list box with a check box in front of every item. A
// click on an item's check box (or Space on the current item) flips it and
// fires OnClickCheck; the rest behaves as the list box.
#include "platform/controls/StdCtrls.h"

#include <vector>

class TCheckListBox : public TCustomListBox {
    KAL_CLASS(TCheckListBox, TCustomListBox)
public:
    explicit TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

    // False for an index without a state yet; a negative index raises the
    // list's index error.
    bool Checked(int Index) const;
    void SetChecked(int Index, bool Value);
    // Every item unchecked.
    void ClearChecks() { FChecked.clear(); Invalidate(); }
    // The width of the check box area at the item's left.
    int CheckWidth() { return ItemHeight(); }

    TNotifyEvent OnClickCheck;

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void WMLButtonDown(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    // Flips the item and fires OnClickCheck.
    virtual void ToggleChecked(int Index);

private:
    std::vector<bool> FChecked;
};
