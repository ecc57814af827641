#include "gridpack/stringgrid/SgCombo.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"

namespace {
// The frame of a disabled combo under a themed look.
constexpr TColor DisabledThemedFrame = TColor(0xB99D7F);

bool MouseButtonIsDown()
{
    return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (GetAsyncKeyState(VK_RBUTTON) & 0x8000);
}

void Ring(TCanvas* C, const TRect& R, TColor Color)
{
    C->Brush().SetStyle(bsSolid);
    C->Brush().SetColor(Color);
    C->FrameRect(R);
}
} // namespace

TSgCustomCombo::TSgCustomCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FButtonWidth(GetSystemMetrics(SM_CXVSCROLL) + 2), FLabelFont(std::make_unique<TFont>())
{
    // Visual styles are never active here: the classic and own-colour
    // branches paint.
    FIsThemed = false;
    FLabelFont->OnChange = [this](TGraphicsObject*) { PlaceLabel(); };
}

// The label is owned by the combo and freed with it.
TSgCustomCombo::~TSgCustomCombo() { FLabelFont->OnChange = nullptr; }

void TSgCustomCombo::Loaded()
{
    TCustomComboBox::Loaded();
    if (FDropWidth > 0)
        SetDropWidth(FDropWidth);
    FOldColor = FLoadedColor;
    if (!FFlatParentColor || FFlat)
        TCustomComboBox::SetColor(FLoadedColor);
    if (FLabel) {
        if (!FLabelAlwaysEnabled)
            FLabel->SetEnabled(Enabled());
        if (ParentFont())
            FLabel->Font()->Assign(*Font());
    }
    PlaceLabel();
    Init();
}

void TSgCustomCombo::SelectItem(const QString& S)
{
    const int i = Items()->IndexOf(S);
    if (i >= 0)
        SetItemIndex(i);
}

void TSgCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!(ComponentState() & csDestroying))
        PlaceLabel();
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

void TSgCustomCombo::SetButtonWidth(int v)
{
    if (v <= 13 || v > 32)
        return;
    FButtonWidth = v;
    Invalidate();
}

void TSgCustomCombo::SetFlat(bool v)
{
    if (v == FFlat)
        return;
    FFlat = v;
    if (FFlatParentColor && FFlat && Parent())
        TCustomComboBox::SetColor(Parent()->Color());
    else
        TCustomComboBox::SetColor(FLoadedColor);
    Invalidate();
}

void TSgCustomCombo::SetEtched(bool v)
{
    FEtched = v;
    Invalidate();
}

void TSgCustomCombo::SetFlatLineColor(TColor v)
{
    FFlatLineColor = v;
    Invalidate();
}

void TSgCustomCombo::SetFlatParentColor(bool v)
{
    FFlatParentColor = v;
    Invalidate();
}

void TSgCustomCombo::SetBorderColor(TColor v)
{
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    if (HandleAllocated())
        Perform(WM_NCPAINT, 0, 0);
    Invalidate();
}

void TSgCustomCombo::SetDropWidth(int v)
{
    FDropWidth = v;
    if (v > 0)
        Perform(CB_SETDROPPEDWIDTH, WPARAM(v), 0);
}

void TSgCustomCombo::SetColor(TColor v)
{
    if (ComponentState() & csLoading)
        FLoadedColor = v;
    TCustomComboBox::SetColor(v);
}

void TSgCustomCombo::SetEnabled(bool v)
{
    const bool changed = v != Enabled();
    TCustomComboBox::SetEnabled(v);
    if (changed && !(ComponentState() & (csLoading | csDesigning)) && FLabel && !FLabelAlwaysEnabled) {
        FLabel->SetEnabled(v);
        PlaceLabel();
    }
}

void TSgCustomCombo::SetVisible(bool v)
{
    TCustomComboBox::SetVisible(v);
    if (FLabel)
        FLabel->SetVisible(v);
}

// ---------------------------------------------------------------------------
// The label
// ---------------------------------------------------------------------------

QString TSgCustomCombo::LabelCaption() const { return FLabel ? FLabel->Caption() : QString(); }

void TSgCustomCombo::MakeLabel()
{
    if (FLabel)
        return;
    FLabel = NewObject<TLabel>(this);
    if (Parent())
        FLabel->SetParent(Parent());
    FLabel->SetFocusControl(this);
    FLabel->Font()->Assign(*FLabelFont);
    FLabel->SetParentFont(ParentFont());
}

void TSgCustomCombo::SetLabelCaption(const QString& v)
{
    MakeLabel();
    FLabel->SetCaption(v);
    PlaceLabel();
}

void TSgCustomCombo::SetLabelFont(const TFont* v)
{
    if (!ParentFont())
        FLabelFont->Assign(*v);
    PlaceLabel();
}

void TSgCustomCombo::SetLabelMargin(int v)
{
    FLabelMargin = v;
    PlaceLabel();
}

void TSgCustomCombo::SetLabelPosition(TLabelPosition v)
{
    FLabelPosition = v;
    PlaceLabel();
}

void TSgCustomCombo::SetLabelTransparent(bool v)
{
    FLabelTransparent = v;
    PlaceLabel();
}

void TSgCustomCombo::SetLabelAlwaysEnabled(bool v)
{
    FLabelAlwaysEnabled = v;
    if (FLabel)
        FLabel->SetEnabled(v || Enabled());
    PlaceLabel();
}

void TSgCustomCombo::SetLabelBold(bool Bold)
{
    if (!FLabel)
        return;
    TFontStyles s = FLabel->Font()->Style();
    s = Bold ? (s | fsBold) : (s & ~TFontStyles(fsBold));
    FLabel->Font()->SetStyle(s);
}

void TSgCustomCombo::PlaceLabel()
{
    if (!FLabel)
        return;
    if (FLabel->Parent() != Parent() && Parent())
        FLabel->SetParent(Parent());
    FLabel->SetTransparent(FLabelTransparent);
    if (!ParentFont())
        FLabel->Font()->Assign(*FLabelFont);
    TRect r = Rect(0, 0, 1000, 255);
    TCanvas* c = FLabel->Canvas();
    c->Font().Assign(*FLabel->Font());
    c->DrawText(FLabel->Caption(), r, DT_CALCRECT | DT_HIDEPREFIX);
    const int tw = r.Right - r.Left;
    const int lw = FLabel->Width(), lh = FLabel->Height();
    const int l = Left(), t = Top(), w = Width(), h = Height(), m = FLabelMargin;
    int top = t, left = l;
    switch (FLabelPosition) {
    case lpLeftTop: top = t; left = l - tw - m; break;
    case lpLeftCenter: top = t + (h - lh) / 2; left = l - tw - m; break;
    case lpLeftBottom: top = t + h - lh; left = l - tw - m; break;
    case lpTopLeft: top = t - lh - m; left = l; break;
    case lpBottomLeft: top = t + h + m; left = l; break;
    case lpLeftTopLeft: top = t; left = l - m; break;
    case lpLeftCenterLeft: top = t + (h - lh) / 2; left = l - m; break;
    case lpLeftBottomLeft: top = t + h - lh; left = l - m; break;
    case lpTopCenter: top = t - lh - m; left = l + (w - lw) / 2; break;
    case lpBottomCenter: top = t + h + m; left = l + (w - lw) / 2; break;
    case lpRightTop: top = t; left = l + w + m; break;
    case lpRightCenter: top = t + (h - lh) / 2; left = l + w + m; break;
    case lpRighBottom: top = t + h - lh; left = l + w + m; break;
    default: break;
    }
    FLabel->SetBounds(left, top, lw, lh);
    FLabel->SetVisible(Visible());
}

// ---------------------------------------------------------------------------
// Focus, hover and notifications
// ---------------------------------------------------------------------------

void TSgCustomCombo::DoEnter()
{
    TCustomComboBox::DoEnter();
    FHasFocus = true;
    if (FocusColor != clNone)
        TCustomComboBox::SetColor(FocusColor);
    if (FocusLabel)
        SetLabelBold(true);
    Invalidate();
}

void TSgCustomCombo::DoExit()
{
    TCustomComboBox::DoExit();
    FHasFocus = false;
    if (FocusColor != clNone && FNormalColor != clNone)
        TCustomComboBox::SetColor(FNormalColor);
    if (FocusLabel)
        SetLabelBold(false);
    Invalidate();
}

void TSgCustomCombo::WMSetFocus(TMessage& M)
{
    TCustomComboBox::WMSetFocus(M);
    if (FocusBorderColor != clNone)
        Invalidate();
    if (FocusColor != clNone)
        TCustomComboBox::SetColor(FocusColor);
    if (FocusLabel)
        SetLabelBold(true);
}

void TSgCustomCombo::WMKillFocus(TMessage& M)
{
    TCustomComboBox::WMKillFocus(M);
    if (FocusColor != clNone && FNormalColor != clNone)
        TCustomComboBox::SetColor(FNormalColor);
    if (FocusLabel)
        SetLabelBold(false);
    Invalidate();
}

void TSgCustomCombo::CMMouseEnter(TMessage& M)
{
    TCustomComboBox::CMMouseEnter(M);
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        Invalidate();
    }
    if (AutoFocus && !(ComponentState() & csDesigning)) {
        TCustomForm* form = GetParentForm(this);
        if ((!form || form->Active()) && CanFocus())
            SetFocus();
    }
    if (IsWinXP)
        Invalidate();
}

void TSgCustomCombo::CMMouseLeave(TMessage& M)
{
    TCustomComboBox::CMMouseLeave(M);
    if (FMouseInControl && Enabled()) {
        FMouseInControl = false;
        Invalidate();
    }
    FButtonHover = false;
    if (IsWinXP)
        Invalidate();
}

void TSgCustomCombo::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomComboBox::MouseMove(Shift, X, Y);
    const bool over = Width() - FButtonWidth < X && X < Width();
    if (over != FButtonHover) {
        FButtonHover = over;
        Invalidate();
    }
}

void TSgCustomCombo::CMEnabledChanged(TMessage& M)
{
    if (FFlat && !(ComponentState() & csLoading)) {
        if (Enabled()) {
            SetParentColor(FOldParentColor);
            TCustomComboBox::SetColor(FOldColor);
        } else {
            FOldParentColor = ParentColor();
            FOldColor = Color();
            SetParentColor(true);
        }
    }
    TCustomComboBox::CMEnabledChanged(M);
}

void TSgCustomCombo::CNCommand(TMessage& M)
{
    const unsigned code = HiWord(LPARAM(M.WParam));
    TCustomComboBox::CNCommand(M);
    if (code == CBN_DROPDOWN || code == CBN_CLOSEUP) {
        TRect r = ClientRect();
        r.Left = r.Right - FButtonWidth;
        ::InvalidateRect(this, &r, false);
    }
    if (code == CBN_CLOSEUP && OnDropUp)
        OnDropUp(this);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

bool TSgCustomCombo::Themed() const { return FIsThemed; }

bool TSgCustomCombo::FocusBorderShown() const
{
    if (ComponentState() & csDesigning)
        return false;
    const TCustomForm* form = GetParentForm(const_cast<TSgCustomCombo*>(this));
    const bool active = Focused() || (form && form->ActiveControl() == this);
    return (FMouseInControl || active) && FocusBorder;
}

bool TSgCustomCombo::Hot() const
{
    if (ComponentState() & csDesigning)
        return Enabled();
    const TCustomForm* form = GetParentForm(const_cast<TSgCustomCombo*>(this));
    return FMouseInControl || Focused() || (form && form->ActiveControl() == this);
}

bool TSgCustomCombo::NeedsOwnPainting() const
{
    if (IsVista && ButtonColor == clNone)
        return false;
    return FFlat || ButtonColor != clNone || FBorderColor != clNone || (FocusBorderColor != clNone && FHasFocus) ||
           (!Enabled() && Themed() && !DisabledBorder);
}

void TSgCustomCombo::Paint()
{
    // The library's combo box paints first; the own look goes over its frame
    // and button.
    TCustomComboBox::Paint();
    FOwnPainted = NeedsOwnPainting();
    if (!FOwnPainted)
        return;
    TCanvas* c = Canvas();
    if (Style() != csSimple)
        PaintButton(c);
    PaintBorders(c);
}

void TSgCustomCombo::PaintButton(TCanvas* C)
{
    const int cw = ClientWidth();
    TRect r = Rect(0, 0, Width(), Height());
    r.Left = cw - FButtonWidth + 2;
    r.Left += 1;
    r.Top += 1;
    r.Right -= 1;
    r.Bottom -= 1;
    if (ButtonColor == clNone) {
        // The classic button (visual styles are never active here).
        r.Left -= 4;
        r.Top += 1;
        r.Bottom -= 1;
        C->DrawFrameControl(r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Enabled() ? unsigned(DFCS_FLAT) : unsigned(DFCS_INACTIVE)));
        return;
    }
    const bool down = MouseButtonIsDown();
    TColor face = ButtonColor;
    if (FButtonHover && ButtonColorHot != clNone)
        face = ButtonColorHot;
    if (down && FButtonHover && ButtonColorDown != clNone)
        face = ButtonColorDown;
    r.Left += 1;
    r.Top += 1;
    r.Right -= 1;
    r.Bottom -= 1;
    C->Brush().SetStyle(bsSolid);
    C->Brush().SetColor(face);
    C->FillRect(r);
    if (ButtonBorderColor != clNone) {
        C->Pen().SetColor(ButtonBorderColor);
        C->MoveTo(r.Left, r.Top);
        C->LineTo(r.Left, r.Bottom);
    }
    TColor arrow = down && ButtonTextColorDown != clNone ? ButtonTextColorDown : ButtonTextColor;
    if (arrow == clNone)
        arrow = clBtnText;
    const TPoint tri[3] = {Point(r.Left + 4, r.Top + 7), Point(r.Left + 10, r.Top + 7), Point(r.Left + 7, r.Top + 10)};
    C->Pen().SetColor(arrow);
    C->Brush().SetColor(arrow);
    C->Polygon(tri, 3);
}

void TSgCustomCombo::PaintBorders(TCanvas* C)
{
    if (Enabled() && !FFlat && FBorderColor == clNone && FocusBorderColor == clNone)
        return;
    if (IsVista && FBorderColor == clNone)
        return;
    TRect r = Rect(0, 0, Width(), Height());
    if (!Enabled() && Themed() && !DisabledBorder) {
        Ring(C, r, DisabledThemedFrame);
    } else if (FBorderColor != clNone && !(FHasFocus && FocusBorderColor != clNone)) {
        Ring(C, r, FBorderColor);
    } else if (FocusBorderColor != clNone) {
        if (FHasFocus)
            Ring(C, r, FocusBorderColor);
    } else {
        const bool focusBorder = FocusBorderShown();
        const TColor outer = focusBorder ? TColor(clBtnFace) : (Parent() ? Parent()->Color() : TColor(clBtnFace));
        const TColor inner = Color();
        if (focusBorder) {
            C->DrawEdge(r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            Ring(C, r, outer);
            r.Left += 1;
            r.Top += 1;
            r.Right -= 1;
            r.Bottom -= 1;
            Ring(C, r, inner);
        } else {
            Ring(C, r, outer);
            r.Left += 1;
            r.Top += 1;
            r.Right -= 1;
            r.Bottom -= 1;
            TRect field = r;
            field.Right -= FButtonWidth;
            Ring(C, field, outer);
            field.Left += 1;
            field.Top += 1;
            field.Right -= 1;
            field.Bottom -= 1;
            Ring(C, field, inner);
        }
        if (FFlat && FFlatLineColor != clNone) {
            C->Pen().SetColor(FFlatLineColor);
            C->MoveTo(0, Height() - 1);
            C->LineTo(Width() - FButtonWidth - 3, Height() - 1);
        }
    }
    // The button area of the classic look keeps the button face.
    if (Style() != csSimple && (!IsWinXP || !Themed()) && !Hot()) {
        TRect b = Rect(0, 0, Width(), Height());
        b.Left = ClientWidth() - FButtonWidth - 2;
        b.Left += 2;
        b.Top += 3;
        b.Right -= 3;
        b.Bottom -= 3;
        if (ButtonColor == clNone) {
            C->Brush().SetStyle(bsSolid);
            C->Brush().SetColor(clBtnFace);
            C->FrameRect(b);
        }
    }
}
