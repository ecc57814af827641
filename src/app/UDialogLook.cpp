#include "app/UDialogLook.h"

#include "app/LbButton.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

#include <algorithm>

void Apply_Dialog_Look(TCustomForm* form)
{
    form->SetBorderStyle(bsSingle);
    form->SetPosition(poScreenCenter);
    form->SetColor(Dialog_Color);
    form->Font()->SetName(QStringLiteral("Verdana"));
    form->Font()->SetHeight(-11);
}

TLabel* Make_Label(TCustomForm* form, TWinControl* parent, int left, int top, const QString& caption)
{
    auto* l = new TLabel(form);
    l->SetParent(parent);
    l->SetLeft(left);
    l->SetTop(top);
    l->SetCaption(caption);
    return l;
}

TLbButton* Make_Button(TCustomForm* form, TWinControl* parent, int left, int top, int width, int height)
{
    auto* b = new TLbButton(form);
    b->SetParent(parent);
    b->SetBounds(left, top, width, height);
    b->SetStyle(bsEncarta);
    return b;
}

void Style_Code_Label(TLabel* code)
{
    code->SetParentFont(false);
    code->Font()->SetName(QStringLiteral("Verdana"));
    code->Font()->SetHeight(-32);
    code->Font()->SetColor(Title_Grey);
}

void Style_Bold_Code_Label(TLabel* code)
{
    code->SetParentFont(false);
    code->Font()->SetName(QStringLiteral("Verdana"));
    code->Font()->SetSize(20);
    code->Font()->SetStyle(fsBold);
    code->Font()->SetColor(Title_Grey);
}

void Style_Grey_Bold(TLabel* label)
{
    label->SetParentFont(false);
    label->Font()->SetName(QStringLiteral("Verdana"));
    label->Font()->SetHeight(-11);
    label->Font()->SetStyle(fsBold);
    label->Font()->SetColor(Title_Grey);
}

TPanel* Make_Band(TCustomForm* form, TAlign align, int height, TColor color)
{
    auto* p = new TPanel(form);
    p->SetParent(form);
    p->SetAlign(align);
    p->SetHeight(height);
    p->SetBevelOuter(bvNone);
    p->SetShowCaption(false);
    p->SetParentColor(false);
    p->SetColor(color);
    return p;
}

TPanel* Make_Title_Band(TCustomForm* form, TLabel*& L_SW_Code, TLabel*& L_SW_Desc)
{
    TPanel* p = Make_Band(form, alTop, 69, clWhite);
    p->SetName(QStringLiteral("P_Title"));
    L_SW_Code = Make_Label(form, p, 16, 4);
    Style_Code_Label(L_SW_Code);
    L_SW_Desc = Make_Label(form, p, 18, 44);
    Style_Grey_Bold(L_SW_Desc);
    return p;
}

void Tab_Order_By_Place(TWinControl* parent)
{
    constexpr int Row_Slack = 4;
    QList<TWinControl*> kids;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i)))
            kids << w;
    std::stable_sort(kids.begin(), kids.end(), [](TWinControl* a, TWinControl* b) { return a->Top() < b->Top(); });
    // Rows: a control joins the row of the one above it when their tops
    // are close; each row then runs left to right.
    for (int start = 0; start < kids.size();) {
        int end = start + 1;
        while (end < kids.size() && kids[end]->Top() - kids[start]->Top() <= Row_Slack)
            ++end;
        std::stable_sort(kids.begin() + start, kids.begin() + end,
                         [](TWinControl* a, TWinControl* b) { return a->Left() < b->Left(); });
        start = end;
    }
    for (int i = 0; i < kids.size(); ++i)
        kids[i]->SetTabOrder(i);
    for (TWinControl* w : kids)
        Tab_Order_By_Place(w);
}

void Keep_Inside(TControl* c, int clientWidth, int margin)
{
    const int over = c->Left() + c->Width() - (clientWidth - margin);
    if (over > 0)
        c->SetLeft(std::max(0, c->Left() - over));
}

TPanel* Make_Button_Band(TCustomForm* form)
{
    auto* p = new TPanel(form);
    p->SetName(QStringLiteral("P_Button"));
    p->SetParent(form);
    p->SetAlign(alBottom);
    p->SetHeight(40);
    p->SetBevelOuter(bvNone);
    p->SetShowCaption(false);
    return p;
}
