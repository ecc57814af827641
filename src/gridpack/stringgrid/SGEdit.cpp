// The edit with a button and the unit edit.
#include "gridpack/stringgrid/SGEdit.h"

#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"

namespace {
const TColor kNone = TColor(0x1FFFFFFF);
} // namespace

// ---------------------------------------------------------------------------
// TExSpeedButton
// ---------------------------------------------------------------------------

TSgEditButton* TExSpeedButton::Container() const { return dynamic_cast<TSgEditButton*>(Owner()); }

void TExSpeedButton::SetOwnFlat(bool v)
{
    FOwnFlat = v;
    Invalidate();
}

void TExSpeedButton::CMMouseEnter(TMessage& M)
{
    TSpeedButton::CMMouseEnter(M);
    FHot = true;
    Invalidate();
}

void TExSpeedButton::CMMouseLeave(TMessage& M)
{
    TSpeedButton::CMMouseLeave(M);
    FHot = false;
    Invalidate();
}

void TExSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = Rect(0, 0, Width(), Height());
    const bool pressed = FState == bsDown || FState == bsExclusive || Down();
    TSgEditButton* box = Container();
    FLastFace = kNone;
    if (box && box->ButtonColor != kNone) {
        // 1. Own colours switch the own flat look on.
        FOwnFlat = true;
        TColor face = box->ButtonColor;
        if (FHot && box->ButtonColorHot != kNone)
            face = box->ButtonColorHot;
        if (pressed && box->ButtonColorDown != kNone)
            face = box->ButtonColorDown;
        FLastFace = face;
        c->Brush().SetColor(face);
        c->FillRect(r);
    } else if (FOwnFlat) {
        // 2. (no theme for "button" in this build) 3. A soft edge.
        c->Brush().SetColor(clBtnFace);
        c->FillRect(r);
        TRect e = r;
        c->DrawEdge(e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_SOFT);
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    } else {
        // 4. The system's push-button frame.
        c->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? unsigned(DFCS_PUSHED) : 0u));
    }
    const int shift = pressed ? 1 : 0;
    // 5. The glyph, centred, transparent.
    if (Glyph() && !Glyph()->Empty()) {
        TBitmap* g = Glyph();
        const int gw = g->Width() / std::max(1, NumGlyphs());
        const int gh = g->Height();
        const int x = gw < Width() ? (Width() - gw) / 2 : 0;
        const int y = gh < Height() ? (Height() - gh) / 2 : 0;
        c->BrushCopy(Rect(x + shift, y + shift, x + shift + gw, y + shift + gh), g, Rect(0, 0, gw, gh),
                     g->Canvas()->Pixels(0, gh - 1));
    }
    // 6. The caption, black, centred on one line.
    if (!Caption().isEmpty()) {
        c->Brush().SetStyle(bsClear);
        c->Font().SetColor(clBlack);
        TRect tr = Rect(r.Left + shift, r.Top + shift, r.Right + shift, r.Bottom + shift);
        c->DrawText(Caption(), tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        c->Brush().SetStyle(bsSolid);
    }
}

// ---------------------------------------------------------------------------
// TSgEditButton
// ---------------------------------------------------------------------------

TSgEditButton::TSgEditButton(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle &= ~(csAcceptsControls | csSetCaption);
    ControlStyle |= csOpaque;
    FButton = new TExSpeedButton(this);
    FButton->SetParent(this);
    FButton->OnClick = [this](TObject* s) { BtnClick(s); };
    SetBounds(0, 0, 20, 25);
}

void TSgEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FButton)
        FButton->SetBounds(0, 0, Width(), Height());
}

void TSgEditButton::SetFlat(bool v)
{
    FFlat = v;
    FButton->SetOwnFlat(v);
}

void TSgEditButton::BtnClick(TObject*)
{
    if (OnClick)
        OnClick(this);
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && CanFocus() && !Focused())
        SetFocus();
}

void TSgEditButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

// ---------------------------------------------------------------------------
// TSgEditBtn
// ---------------------------------------------------------------------------

TSgEditBtn::TSgEditBtn(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    FButton = new TSgEditButton(this);
    FButton->SetBounds(0, 0, 18, 18);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnClick = [this](TObject* s) { ClickBtn(s); };
    FButtonWidth = FButton->Width();
    SetText(QStringLiteral("0"));
    ControlStyle &= ~csSetCaption;
    SetTabStop(true);
}

void TSgEditBtn::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | ES_MULTILINE;
    if (FRightAlign)
        Params.Style |= ES_RIGHT;
}

void TSgEditBtn::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    SetEditRect();
}

void TSgEditBtn::SetEditRect()
{
    if (!FButton || !HandleAllocated())
        return;
    const int m = BorderStyle() == bsSingle ? 1 : 3;
    const TRect cr = ClientRect();
    int right = cr.Width() - (FButton->Width() + FUnitSize + 5);
    if (FUnitSize > 0)
        right -= 3;
    SetFormattingRect(Rect(m, m, right, cr.Height() + 1));
}

int TSgEditBtn::MinHeight()
{
    Canvas()->Font().Assign(*Font());
    const int h = Canvas()->TextHeight(QStringLiteral("0"));
    TFont sys;
    Canvas()->Font().Assign(sys);
    const int sh = Canvas()->TextHeight(QStringLiteral("0"));
    Canvas()->Font().Assign(*Font());
    return h + std::min(h, sh) / 4;
}

void TSgEditBtn::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    int h = AHeight;
    if (FButton) {
        const int mh = MinHeight();
        if (h < mh)
            h = mh;
    }
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, h);
    if (!FButton)
        return;
    // The new control look with Ctl3D is this layer's only look.
    const int k = BorderStyle() == bsSingle ? 5 : 1;
    FButton->SetBounds(Width() - FButton->Width() - k, 0, FButton->Width(), Height() - k);
    SetEditRect();
}

void TSgEditBtn::SetButtonWidth(int v)
{
    FButtonWidth = v;
    FButton->SetBounds(FButton->Left(), FButton->Top(), v, FButton->Height());
    SetBounds(Left(), Top(), Width(), Height());
}

void TSgEditBtn::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FButton->Button()->IsWinXP = v;
}

void TSgEditBtn::SetRightAlign(bool v)
{
    if (FRightAlign == v)
        return;
    FRightAlign = v;
    RecreateWnd();
}

void TSgEditBtn::ClickBtn(TObject* Sender)
{
    if (OnClickBtn)
        OnClickBtn(Sender);
}

void TSgEditBtn::KeyDown(unsigned& Key, TShiftState Shift)
{
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (Key == VK_F4 && !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_LMENU) & 0x8000) &&
        !(GetKeyState(VK_RMENU) & 0x8000) && !(Shift & (ssCtrl | ssAlt)))
        ClickBtn(this);
}

void TSgEditBtn::WMChar(TMessage& M)
{
    if (EditorEnabled)
        TCustomMaskEdit::WMChar(M);
}

void TSgEditBtn::WMPaste(TMessage& M)
{
    if (EditorEnabled && !ReadOnly())
        TCustomMaskEdit::WMPaste(M);
}

void TSgEditBtn::WMCut(TMessage& M)
{
    if (EditorEnabled && !ReadOnly())
        TCustomMaskEdit::WMCut(M);
}

void TSgEditBtn::CMEnter(TMessage& M)
{
    TCustomMaskEdit::CMEnter(M);
    if (AutoSelect() && !(GetKeyState(VK_LBUTTON) & 0x8000))
        SelectAll();
}

// ---------------------------------------------------------------------------
// TSgUnitEditBtn
// ---------------------------------------------------------------------------

TSgUnitEditBtn::TSgUnitEditBtn(TComponent* AOwner) : TSgEditBtn(AOwner), FUnits(new TStringList())
{
    FUnitSize = 20;
    FRightAlign = true;
    RecreateWnd();
}

TSgUnitEditBtn::~TSgUnitEditBtn() { delete FUnits; }

void TSgUnitEditBtn::SetUnitID(const QString& v)
{
    FUnitID = v;
    Invalidate();
}

void TSgUnitEditBtn::SetUnits(const TStrings* v)
{
    if (v)
        FUnits->Assign(v);
}

void TSgUnitEditBtn::SetUnitSpace(int v)
{
    FUnitSize = v;
    SetEditRect();
    Invalidate();
}

void TSgUnitEditBtn::SetTextAndUnit(const QString& v)
{
    for (int i = 0; i < FUnits->Count(); ++i) {
        const QString u = FUnits->Strings(i);
        if (u.isEmpty())
            continue;
        // The first occurrence must be where the value ends with it.
        const int at = v.indexOf(u);
        if (at >= 0 && at == v.size() - u.size()) {
            SetText(v.left(at));
            SetUnitID(u);
            return;
        }
    }
}

void TSgUnitEditBtn::ClickBtn(TObject*)
{
    if (OnClickBtn)
        OnClickBtn(this);
    TPopupMenu menu(nullptr);
    for (int i = 0; i < FUnits->Count(); ++i) {
        auto* item = new TMenuItem(&menu);
        item->Caption = FUnits->Strings(i);
        item->Tag = i + 1;
        menu.Items()->Add(item);
    }
    const TRect cr = ClientRect();
    const TPoint at = ClientToScreen(Point(cr.Width() - 15, cr.Height()));
    TMenuItem* chosen = menu.Popup(at.X, at.Y);
    if (chosen)
        Perform(WM_COMMAND, WPARAM(chosen->Tag), 0);
}

void TSgUnitEditBtn::WndProc(TMessage& M)
{
    if (M.Msg == WM_COMMAND) {
        const unsigned code = unsigned(M.WParam >> 16) & 0xFFFF;
        const int id = int(M.WParam & 0xFFFF);
        if (code != 768) {
            if (id >= 1 && id <= FUnits->Count()) {
                const QString old = FUnitID;
                SetUnitID(FUnits->Strings(id - 1));
                if (FUnitID != old && OnUnitChanged)
                    OnUnitChanged(this, FUnitID);
            }
            return;
        }
    }
    TSgEditBtn::WndProc(M);
}

TRect TSgUnitEditBtn::UnitRect()
{
    const TRect cr = ClientRect();
    const int bw = Button()->Width();
    return Rect(cr.Width() - bw - 3 - FUnitSize, 2, cr.Width() - bw - 3, cr.Height());
}

void TSgUnitEditBtn::Paint()
{
    TSgEditBtn::Paint();
    if (FUnitID.isEmpty() || FUnitSize <= 0)
        return;
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    c->Brush().SetStyle(bsClear);
    c->DrawText(FUnitID, UnitRect(), DT_EDITCONTROL);
    c->Brush().SetStyle(bsSolid);
}
