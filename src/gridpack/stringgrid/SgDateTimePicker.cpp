// The flat date and time picker: the library's picker, then the own look.
#include "gridpack/stringgrid/SgDateTimePicker.h"

#include "platform/controls/Messages.h"

namespace {
const TColor kNone = TColor(0x1FFFFFFF);
const TColor kThemedFrame = TColor(0xB99D7F);

void Frame(TCanvas* c, const TRect& r, TColor col)
{
    c->Brush().SetColor(col);
    c->FrameRect(r);
}
} // namespace

TSgDateTimePicker::TSgDateTimePicker(TComponent* AOwner) : TDateTimePicker(AOwner)
{
    ButtonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
}

QString TSgDateTimePicker::Version() const
{
    const unsigned v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TSgDateTimePicker::SetBorderStyle(TBorderStyle v)
{
    if (FBorderStyle == v)
        return;
    FBorderStyle = v;
    Invalidate();
}

void TSgDateTimePicker::SetBorderColor(TColor v)
{
    if (FBorderColor == v)
        return;
    FBorderColor = v;
    Invalidate();
}

void TSgDateTimePicker::SetMetroStyle(bool v)
{
    if (FMetroStyle == v)
        return;
    FMetroStyle = v;
    Invalidate();
}

void TSgDateTimePicker::SetCtl3D(bool v)
{
    FCtl3D = v;
    Invalidate();
}

bool TSgDateTimePicker::LookActive() const { return FMetroStyle && !(ComponentState() & csDesigning); }

bool TSgDateTimePicker::ThemedLook() const
{
    // The application never reports itself themed in this build.
    return false && FIsThemed;
}

bool TSgDateTimePicker::Hot() const
{
    if (ComponentState() & csDesigning)
        return Enabled();
    return FMouseInControl || Focused();
}

void TSgDateTimePicker::CMEnter(TMessage& M)
{
    TDateTimePicker::CMEnter(M);
    if (!(ComponentState() & csDesigning)) {
        FHasFocus = true;
        Invalidate();
    }
}

void TSgDateTimePicker::CMExit(TMessage& M)
{
    TDateTimePicker::CMExit(M);
    if (!(ComponentState() & csDesigning)) {
        FHasFocus = false;
        Invalidate();
    }
}

void TSgDateTimePicker::CMMouseEnter(TMessage& M)
{
    TDateTimePicker::CMMouseEnter(M);
    if (!(ComponentState() & csDesigning) && Enabled()) {
        FMouseInControl = true;
        Invalidate();
    }
}

void TSgDateTimePicker::CMMouseLeave(TMessage& M)
{
    TDateTimePicker::CMMouseLeave(M);
    if (!(ComponentState() & csDesigning)) {
        FMouseInControl = false;
        FButtonHover = false;
        Invalidate();
    }
}

void TSgDateTimePicker::MouseMove(TShiftState Shift, int X, int Y)
{
    TDateTimePicker::MouseMove(Shift, X, Y);
    const bool over = Width() - ButtonWidth < X && X < Width();
    if (over != FButtonHover) {
        FButtonHover = over;
        Invalidate();
    }
}

void TSgDateTimePicker::Paint()
{
    TDateTimePicker::Paint();
    TCanvas* c = Canvas();
    if (!FCtl3D)
        PaintNon3DBorder(c);
    if (FCtl3D && !LookActive())
        return;
    if (LookActive() && Kind() != dtkTime) {
        const TRect cr = ClientRect();
        c->Brush().SetColor(Color());
        c->FillRect(Rect(cr.Right - ButtonWidth - 2, 4, cr.Right - 2, Height() - 4));
        PaintButton(c);
    }
    PaintBorders(c);
}

void TSgDateTimePicker::PaintNon3DBorder(TCanvas* c)
{
    if (FBorderColor == kNone)
        return;
    const int W = Width(), H = Height();
    TColor pen = FBorderColor;
    if (FBorderStyle == bsNone && Parent())
        pen = Parent()->Color();
    else if (ThemedLook())
        pen = kThemedFrame;
    c->Pen().SetColor(pen);
    c->MoveTo(0, H);
    c->LineTo(0, 0);
    c->LineTo(W - 1, 0);
    c->LineTo(W - 1, H - 1);
    c->LineTo(0, H - 1);
    if (Parent()) {
        if (FBorderStyle == bsSingle)
            c->Pen().SetColor(Parent()->Color());
        c->MoveTo(1, H - 2);
        c->LineTo(1, 1);
        c->LineTo(W - 1, 1);
    }
}

void TSgDateTimePicker::PaintButton(TCanvas* c)
{
    const TRect cr = ClientRect();
    TRect r = Rect(cr.Width() - ButtonWidth + 2, 0, Width(), Height());
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    const bool down = ((GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON)) & 0x8000) != 0;
    if (ButtonColor != kNone) {
        TColor face = ButtonColor;
        if (FButtonHover && ButtonColorHot != kNone)
            face = ButtonColorHot;
        if (down && FButtonHover && ButtonColorDown != kNone)
            face = ButtonColorDown;
        c->Brush().SetColor(face);
        c->FillRect(Rect(r.Left + 2, r.Top, r.Right, r.Bottom));
        if (ButtonBorderColor != kNone) {
            c->Pen().SetColor(ButtonBorderColor);
            c->MoveTo(r.Left, r.Top);
            c->LineTo(r.Left, r.Bottom);
        }
        TColor tc = down && ButtonTextColorDown != kNone ? ButtonTextColorDown : ButtonTextColor;
        if (tc == kNone)
            tc = clBlack;
        c->Brush().SetColor(tc);
        c->Pen().SetColor(tc);
        const int L = r.Left, T = r.Top;
        c->Polygon({Point(L + 5, T + 7), Point(L + 11, T + 7), Point(L + 8, T + 10)});
    } else {
        c->DrawFrameControl(r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
    }
}

void TSgDateTimePicker::PaintBorders(TCanvas* c)
{
    if (!LookActive())
        return;
    if (Enabled() && FBorderColor == kNone && FocusBorderColor == kNone && FBorderStyle == bsNone &&
        !FocusBorder)
        return;
    const TRect whole = Rect(0, 0, Width(), Height());
    if (!Enabled() && ThemedLook() && !DisabledBorder) {
        Frame(c, whole, kThemedFrame);
        return;
    }
    if (FBorderColor != kNone && !(FHasFocus && FocusBorderColor != kNone)) {
        Frame(c, whole, FBorderColor);
    } else if (FocusBorderColor != kNone) {
        if (FHasFocus)
            Frame(c, whole, FocusBorderColor);
    } else {
        const bool focusBorder = !(ComponentState() & csDesigning) && Hot() && FocusBorder;
        if (focusBorder) {
            TRect e = whole;
            c->DrawEdge(e, BDR_SUNKENOUTER, BF_RECT);
        } else {
            Frame(c, whole, Parent() ? Parent()->Color() : clBtnFace);
            Frame(c, Rect(1, 1, Width() - 1, Height() - 1), Color());
        }
    }
    if (!(FIsWinXP && ThemedLook()) && Kind() != dtkTime) {
        const TRect cr = ClientRect();
        TRect b = Rect(cr.Width() - ButtonWidth - 2 + 2, 2, Width() - 2, Height() - 2);
        if (Hot()) {
            c->DrawEdge(b, DroppedDown() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
    }
}
