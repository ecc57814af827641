#include "gridpack/gridexchange/GridDropLists.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Messages.h"

namespace {

// On a cancel-mode notice a list the mouse is not over hides itself and the
// grid's filter drop-down counts as closed.
bool CancelModeHides(TWinControl* list, const TMessage& M)
{
    if (M.Msg != CM_CANCELMODE && M.Msg != WM_CANCELMODE)
        return false;
    if (list->ClientRect().Contains(list->ScreenToClient(GetCursorPos())))
        return false;
    list->SetVisible(false);
    if (auto* grid = dynamic_cast<TExStringGrid*>(list->Owner()))
        grid->FFilterColumn = -1;
    return true;
}

} // namespace

void TDropList::WndProc(TMessage& M)
{
    if (CancelModeHides(this, M))
        return;
    TListBox::WndProc(M);
}

void TDropList::Choose()
{
    SetVisible(false);
    if (OnSelect)
        OnSelect(this, ItemIndex());
}

void TDropList::WMChar(TMessage& M)
{
    if (M.WParam == 13) {
        Choose();
        return;
    }
    TListBox::WMChar(M);
}

void TDropList::WMLButtonUp(TMessage& M)
{
    TListBox::WMLButtonUp(M);
    Choose();
}

TDropCheckList::TDropCheckList(TComponent* AOwner) : TCheckListBox(AOwner)
{
    OnClickCheck = [this](TObject*) {
        if (OnSelect)
            OnSelect(this, -1);
    };
}

void TDropCheckList::WndProc(TMessage& M)
{
    if (CancelModeHides(this, M))
        return;
    TCheckListBox::WndProc(M);
}
