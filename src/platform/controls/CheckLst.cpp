#include "platform/controls/CheckLst.h"
#include "platform/controls/Messages.h"
#include "platform/core/Exceptions.h"

bool TCheckListBox::Checked(int Index) const
{
    if (Index < 0)
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return size_t(Index) < FChecked.size() && FChecked[size_t(Index)];
}

void TCheckListBox::SetChecked(int Index, bool Value)
{
    if (Index < 0)
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    if (size_t(Index) >= FChecked.size())
        FChecked.resize(size_t(Index) + 1, false);
    if (FChecked[size_t(Index)] == Value)
        return;
    FChecked[size_t(Index)] = Value;
    const TRect r = ItemRect(Index);
    ::InvalidateRect(this, &r, false);
}

void TCheckListBox::ToggleChecked(int Index)
{
    if (Index < 0 || Index >= Items()->Count())
        return;
    SetChecked(Index, !Checked(Index));
    if (OnClickCheck)
        OnClickCheck(this);
}

void TCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas* c = Canvas();
    c->FillRect(Rect);
    // the box: a square inset by two pixels, its mark two strokes
    const int size = std::max(6, Rect.Height() - 4);
    const TRect box{Rect.Left + 2, Rect.Top + (Rect.Height() - size) / 2, Rect.Left + 2 + size,
                    Rect.Top + (Rect.Height() - size) / 2 + size};
    c->Pen().SetColor(clWindowText);
    c->Brush().SetColor(clWindow);
    c->Rectangle(box);
    if (Checked(Index)) {
        const int x = box.Left + 2, y = box.Top + size / 2;
        c->MoveTo(x, y);
        c->LineTo(x + size / 4, box.Bottom - 3);
        c->LineTo(box.Right - 2, box.Top + 2);
    }
    (void)State;
    c->Brush().SetStyle(bsClear);
    c->TextOut(box.Right + 3, Rect.Top, Items()->Strings(Index));
}

void TCheckListBox::WMLButtonDown(TMessage& M)
{
    const TPoint p{GetXLParam(M.LParam), GetYLParam(M.LParam)};
    TCustomListBox::WMLButtonDown(M);
    const int i = ItemAtPos(p);
    if (i >= 0 && p.X - ItemRect(i).Left < CheckWidth())
        ToggleChecked(i);
}

void TCheckListBox::WMKeyDown(TMessage& M)
{
    if (M.WParam == VK_SPACE && ItemIndex() >= 0) {
        ToggleChecked(ItemIndex());
        M.Result = 1;
        return;
    }
    TCustomListBox::WMKeyDown(M);
}
