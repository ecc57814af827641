// The popup's header and footer strips and their buttons.
#include "gridpack/dropdown/ExDropDown.h"

#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/ImageList.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TExButtonAppearance
// ---------------------------------------------------------------------------

TExButtonAppearance::TExButtonAppearance()
    : FColorChecked(ShadeColor(0xF5F0E1, -10, -10, 0)), FColorCheckedTo(ShadeColor(0xF9D2B2, -10, -10, 0)) {
    FFont.SetName(QStringLiteral("Tahoma"));
}

void TExButtonAppearance::Store(TColor& field, TColor v) {
    if (field == v) return;
    field = v;
    if (OnChange) OnChange(this);
}

void TExButtonAppearance::SetGradient(TGradientDirection v) {
    if (v == FGradient) return;
    FGradient = v;
    if (OnChange) OnChange(this);
}

void TExButtonAppearance::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TExButtonAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetBorderColor(s->FBorderColor);
    SetBorderColorHot(s->FBorderColorHot);
    SetBorderColorDown(s->FBorderColorDown);
    SetBorderColorDisabled(s->FBorderColorDisabled);
    SetBorderColorChecked(s->FBorderColorChecked);
    SetColor(s->FColor);
    SetColorTo(s->FColorTo);
    SetColorDown(s->FColorDown);
    SetColorDownTo(s->FColorDownTo);
    SetColorHot(s->FColorHot);
    SetColorHotTo(s->FColorHotTo);
    SetColorChecked(s->FColorChecked);
    SetColorCheckedTo(s->FColorCheckedTo);
    SetColorDisabled(s->FColorDisabled);
    SetColorDisabledTo(s->FColorDisabledTo);
    SetGradient(s->FGradient);
}

// ---------------------------------------------------------------------------
// TDbgList
// ---------------------------------------------------------------------------

void TDbgList::AssignList(const TList* ListA) {
    Clear();
    if (!ListA) return;
    for (int i = 0; i < ListA->Count(); ++i) Add(ListA->Items(i));
}

void* TDbgList::GetItemsEx(int Index) const {
    // A negative index is as wrong as one past the end.
    if (Index < 0 || Index >= Count()) throw EListError(QStringLiteral("Index out of bounds in list read access"));
    return Items(Index);
}

void TDbgList::SetItemsEx(int Index, void* Value) {
    if (Index < 0 || Index >= Count()) throw EListError(QStringLiteral("Index out of bounds in list write access"));
    SetItems(Index, Value);
}

// ---------------------------------------------------------------------------
// TExButton
// ---------------------------------------------------------------------------

TExButton::TExButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 23, 22);
    ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
    SetParentFont(true);
    Font()->SetName(QStringLiteral("Tahoma"));
    SetShowHint(false);
    FUnHotTimer = new TTimer(this);
    FUnHotTimer->SetInterval(1);
    FUnHotTimer->SetEnabled(false);
    FUnHotTimer->OnTimer = [this](TObject*) { UnHotTimerTick(); };
}

TExButton::~TExButton() = default;

void TExButton::SetImages(TImageList* v) {
    if (v == FImages) return;
    FImages = v;
    Invalidate();
}


void TExButton::Paint() {
    // The state follows the enabled flag and the latch first.
    if (!Enabled()) {
        FState = absDisabled;
        FDragging = false;
    } else if (FState == absDisabled) {
        FState = (FDown && FGroupIndex != 0) ? absExclusive : absUp;
    }
    if (FStyle == tasCheck && FDown) FState = absDown;
    // The strip painted below shows through wherever the button leaves a
    // pixel unpainted: the form paints parents before children.
    DrawButton();
}

void TExButton::DrawButton() {
    if (!FAppearance) return;
    TCanvas* c = Canvas();
    TExButtonAppearance* a = FAppearance;
    TColor from, to, border;
    if (!Enabled()) {
        from = a->ColorDisabled();
        to = a->ColorDisabledTo();
        border = a->BorderColorDisabled();
    } else if (FMouseDownInControl && FMouseInControl) {
        from = to = a->ColorDown();
        border = a->BorderColorDown();
    } else if (FDown) {
        from = to = a->ColorChecked();
        border = a->BorderColorChecked();
    } else if (FMouseInControl || Focused()) {
        from = to = a->ColorHot();
        border = a->BorderColorHot();
    } else {
        from = a->Color();
        to = a->ColorTo();
        border = a->BorderColor();
    }
    DrawGradientBox(c, ClientRect(), from, to, a->Gradient(), 1, border);
    c->Brush().SetStyle(bsClear);
    c->Font().Assign(*a->Font());
    DrawImageAndText(c, ClientRect(), Caption(), FImageIndex, FImages);
}

void TExButton::AutoSizeButton() {
    if (!FAppearance) return;
    TCanvas* c = Canvas();
    c->Font().Assign(*FAppearance->Font());
    const TSize ext = GetTextExtent(c, Caption());
    int w = ext.cx, h = ext.cy;
    if (FImages && FImageIndex >= 0) {
        w = std::max(w, FImages->Width());
        h = std::max(h, FImages->Height());
    }
    SetBounds(Left(), Top(), w + 8, h + 4);
}

void TExButton::CMMouseEnter(TMessage& M) {
    TCustomControl::CMMouseEnter(M);
    FMouseInControl = true;
    if (Enabled()) Invalidate();
    FUnHotTimer->SetEnabled(true);
    if (OnMouseEnterEx) OnMouseEnterEx(this);
}

void TExButton::CMMouseLeave(TMessage& M) {
    TCustomControl::CMMouseLeave(M);
    FUnHotTimer->SetEnabled(false);
    FMouseInControl = false;
    FHot = false;
    if (Enabled()) Invalidate();
    if (OnMouseLeaveEx) OnMouseLeaveEx(this);
}

void TExButton::UnHotTimerTick() {
    // A missed leave notice does not leave the hot look behind.
    const TPoint p = ScreenToClient(GetCursorPos());
    if (ClientRect().Contains(p)) return;
    FUnHotTimer->SetEnabled(false);
    FMouseInControl = false;
    FHot = false;
    if (Enabled()) Invalidate();
}

void TExButton::CMEnabledChanged(TMessage& M) {
    TCustomControl::CMEnabledChanged(M);
    Invalidate();
}

void TExButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    FMouseDownInControl = true;
    if (!FDown) {
        FState = absDown;
        Invalidate();
    }
    if (FStyle == tasCheck) {
        FState = absDown;
        Repaint();
    }
    FDragging = true;
}

void TExButton::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FDragging) {
        TExButtonState s = FDown ? absExclusive : absUp;
        if (!FDown && X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight()) s = absDown;
        if (FStyle == tasCheck && FDown) s = absDown;
        if (s != FState) {
            FState = s;
            Invalidate();
        }
    } else if (!FMouseInControl) {
        UpdateTracking();
    }
}

void TExButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FMouseDownInControl = false;
    Invalidate();
    if (FDragging) {
        FDragging = false;
        const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
        if (FGroupIndex != 0) {
            FState = absUp;
            FMouseInControl = false;
            FHot = false;
            if (inside) {
                SetDown(!FDown);
                if (FDown) Invalidate();
            } else if (FDown) {
                FState = absExclusive;
                Invalidate();
            }
        } else {
            FState = absUp;
            FMouseInControl = false;
            FHot = false;
            if (FStyle == tasCheck) {
                SetDown(!FDown);
                FState = absUp;
            }
            if (inside && FState != absDown && FState != absExclusive) Invalidate();
        }
    }
    UpdateTracking();
}

void TExButton::UpdateTracking() {
    if (!Enabled()) return;
    const bool over = WindowFromPoint(GetCursorPos()) == this;
    if (over == FMouseInControl) return;
    Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE);
}

void TExButton::SetDown(bool B) {
    if (InState(csLoading)) return;
    if (FStyle == tasButton && FGroupIndex == 0) B = false;
    if (FStyle == tasCheck) {
        FDown = B;
        FState = B ? absDown : absUp;
        Repaint();
        return;
    }
    if (B == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = B;
    if (B) {
        if (FState == absUp) Invalidate();
        FState = absExclusive;
        UpdateExclusive();
    } else {
        FState = absUp;
        Repaint();
    }
}

void TExButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage m{CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
    for (int i = 0; i < Parent()->ControlCount(); ++i) Parent()->Controls(i)->WindowProc(m);
}

void TExButton::WndProc(TMessage& M) {
    if (M.Msg == CM_BUTTONPRESSED) {
        auto* sender = reinterpret_cast<TExButton*>(M.LParam);
        if (int(M.WParam) == FGroupIndex && sender && sender != this) {
            if (sender->FDown && FDown) {
                FDown = false;
                FState = absUp;
                Invalidate();
            }
            FAllowAllUp = sender->FAllowAllUp;
        }
        return;
    }
    if (M.Msg == WM_SETFOCUS || M.Msg == WM_KILLFOCUS) {
        TCustomControl::WndProc(M);
        Invalidate();
        return;
    }
    TCustomControl::WndProc(M);
}

void TExButton::KeyDown(unsigned& Key, TShiftState Shift) {
    if (Key == VK_RETURN || Key == VK_SPACE) {
        FMouseDownInControl = true;
        FMouseInControl = true;
        Invalidate();
        FInternalClick = true;
        Click();
        FInternalClick = false;
        FMouseDownInControl = false;
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TExButton::CMDialogChar(TMessage& M) {
    if (Enabled() && IsAccel(QChar(char16_t(M.WParam)), Caption())) {
        Click();
        M.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(M);
}

void TExButton::Click() {
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
    if (FExDropDown) {
        switch (FModalResult) {
        case mrOk: case mrYes: case mrAll: case mrYesToAll: FExDropDown->DoHideDropDown(false); break;
        case mrCancel: case mrAbort: case mrIgnore: case mrNo: case mrNoToAll: FExDropDown->DoHideDropDown(true); break;
        default: break;
        }
    }
    if (!FInternalClick) TCustomControl::Click();
}

// ---------------------------------------------------------------------------
// The strips, shared steps
// ---------------------------------------------------------------------------

namespace {

// The background, the border lines and the inner light line of a strip;
// Top says the strip's own border runs along its top (the footer).
void PaintStripFrame(TCanvas* c, const TRect& R, TColor Color, TColor ColorTo, TGradientDirection Dir,
                     TColor BorderColor, int BorderWidth, bool SelfFrame, bool Top) {
    if (ColorTo == clNone) {
        if (Color != clNone) {
            c->Brush().SetColor(Color);
            c->FillRect(R);
        }
    } else {
        FillGradientBands(c, Color, ColorTo, 80, R, Dir == gdHorizontal);
    }
    if (BorderColor == clNone || BorderWidth <= 0) return;
    c->Pen().SetColor(BorderColor);
    c->Pen().SetWidth(BorderWidth);
    if (Top) {
        c->MoveTo(R.Left, R.Top);
        c->LineTo(R.Right, R.Top);
    } else {
        c->MoveTo(R.Left, R.Bottom - 1);
        c->LineTo(R.Right, R.Bottom - 1);
    }
    if (SelfFrame) {
        // Without a popup border the strip frames itself.
        if (Top) {
            c->MoveTo(R.Left, R.Top);
            c->LineTo(R.Left, R.Bottom - 1);
            c->LineTo(R.Right - 1, R.Bottom - 1);
            c->LineTo(R.Right - 1, R.Top - 1);
        } else {
            c->MoveTo(R.Left, R.Bottom - 1);
            c->LineTo(R.Left, R.Top);
            c->LineTo(R.Right - 1, R.Top);
            c->LineTo(R.Right - 1, R.Bottom);
        }
    }
    c->Pen().SetWidth(1);
    c->Pen().SetColor(BlendColor(BorderColor, clWhite, 20));
    c->Brush().SetStyle(bsClear);
    if (Top) c->Rectangle(R.Left, R.Top + BorderWidth, R.Right, R.Bottom);
    else c->Rectangle(R.Left, R.Top, R.Right, R.Bottom - BorderWidth);
}

bool PopupHasNoBorder(TExCustomDropDown* E) {
    return !E || E->DropDownBorderWidth() <= 0 || E->DropDownBorderColor() == clNone;
}

// The image and the mark-up caption inside the content rectangle C.
void PaintStripContent(TCanvas* c, TRect C, int ImageIndex, TImageList* Images, QString Caption,
                       const TGetTextEvent& GetText, TObject* Sender, bool HasButtons, int TextRight,
                       const TFont* Font) {
    if (ImageIndex >= 0 && Images) {
        Images->Draw(c, C.Left + 4, C.Top + (C.Height() - Images->Height()) / 2, ImageIndex);
        C.Left += Images->Width() + 8;
    }
    if (GetText) GetText(Sender, Caption);
    if (Caption.isEmpty()) return;
    if (HasButtons) C.Right = TextRight;
    c->Font().Assign(*Font);
    TSize need;
    DrawMarkupText(c, Caption, C, need, Images, false);
    if (need.cy < C.Height()) C.Top += (C.Height() - need.cy) / 2;
    DrawMarkupText(c, Caption, C, need, Images, true);
}

// Builds the strip's buttons from a collection.
template <class Buttons, class Strip>
void BuildButtons(Strip* S, Buttons* B, TDbgList* List, TExCustomDropDown* E, bool Footer,
                  const std::function<void(TObject*)>& OnClick) {
    for (int i = 0; i < B->Count(); ++i) {
        auto* item = B->GetItem(i);
        auto* b = new TExButton(S);
        b->SetParent(S);
        b->SetAppearance(E->ButtonAppearance());
        b->SetCaption(item->Caption());
        b->SetImageIndex(item->ImageIndex());
        b->SetEnabled(item->Enabled());
        b->SetImages(S->Images());
        if (Footer) {
            b->SetExDropDown(E);
            if (auto* f = dynamic_cast<TFooterButton*>(item)) b->SetModalResult(f->ModalResult());
        }
        b->AutoSizeButton();
        int w = b->Width(), h = b->Height();
        if (item->Width() > 0) w = item->Width();
        if (item->Height() > 0) h = item->Height();
        h = std::min(h, S->GetButtonMaxHeight());
        b->SetBounds(b->Left(), b->Top(), w, h);
        b->Tag = i;
        b->OnClick = OnClick;
        List->Add(b);
    }
}

template <class Strip>
void ArrangeStripButtons(Strip* S, TDbgList* List, TButtonAlignment Alignment) {
    const TRect r = S->GetButtonRect();
    int x = Alignment == baRight ? r.Right : r.Left;
    for (int i = 0; i < List->Count(); ++i) {
        auto* b = static_cast<TExButton*>(List->GetItemsEx(i));
        const int top = std::max(r.Top, (r.Bottom - b->Height()) / 2);
        if (Alignment == baRight) {
            x -= b->Width();
            b->SetBounds(x, top, b->Width(), b->Height());
        } else {
            b->SetBounds(x, top, b->Width(), b->Height());
            x += b->Width();
        }
    }
}

void ClearStripButtons(TDbgList* List) {
    for (int i = List->Count() - 1; i >= 0; --i) static_cast<TExButton*>(List->GetItemsEx(i))->Free();
    List->Clear();
}

template <class Buttons>
void UpdateStripButtons(TDbgList* List, Buttons* B, TExCustomDropDown* E, TImageList* Images) {
    for (int i = 0; i < List->Count(); ++i) {
        auto* b = static_cast<TExButton*>(List->GetItemsEx(i));
        b->SetAppearance(E->ButtonAppearance());
        b->SetImages(Images);
        if (i < B->Count()) {
            b->SetCaption(B->GetItem(i)->Caption());
            b->SetImageIndex(B->GetItem(i)->ImageIndex());
            b->SetEnabled(B->GetItem(i)->Enabled());
        }
    }
}

TRect TextRectOf(TDbgList* List, TRect ButtonRect) {
    if (List->Count() == 0) return TRect(-1, -1, -1, -1);
    ButtonRect.Right = static_cast<TExButton*>(List->GetItemsEx(List->Count() - 1))->Left() - 2;
    return ButtonRect;
}
}  // namespace

// ---------------------------------------------------------------------------
// TExHeader
// ---------------------------------------------------------------------------

TExHeader::TExHeader(TComponent* AOwner)
    : TCustomControl(AOwner), FAppearance(new THeaderAppearance(AOwner)), FButtonList(new TDbgList) {
    ControlStyle = csAcceptsControls | csClickEvents | csDoubleClicks;
    FAppearance->OnChange = [this](TObject*) { AppearanceChanged(); };
}

TExHeader::~TExHeader() {
    // The buttons are owned components: they go with the strip.
    delete FButtonList;
    delete FAppearance;
}

THeaderButtons* TExHeader::Buttons() const { return FExDropDown ? FExDropDown->DropDownHeader()->Buttons() : nullptr; }

void TExHeader::SetExDropDown(TExCustomDropDown* E) {
    FExDropDown = E;
    if (!E) {
        FImages = nullptr;
        return;
    }
    FImages = E->Images();
    FAppearance->Assign(E->DropDownHeader());
    Invalidate();
}

void TExHeader::InitButtons() {
    if (FExDropDown) CreateButtons();
}

void TExHeader::AppearanceChanged() {
    SetVisible(FAppearance->Visible());
    SetHeight(FAppearance->Height());
}

TRect TExHeader::GetButtonRect() const {
    const TRect r = ClientRect();
    return TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 3);
}

TRect TExHeader::GetTextRect() const { return TextRectOf(FButtonList, GetButtonRect()); }

void TExHeader::CreateButtons() {
    if (!Buttons() || !FExDropDown) return;
    ClearButtons();
    BuildButtons(this, Buttons(), FButtonList, FExDropDown, false, [this](TObject* s) { ButtonClick(s); });
    ArrangeButtons();
}

void TExHeader::ClearButtons() { ClearStripButtons(FButtonList); }

void TExHeader::UpdateButtons() {
    if (!Buttons() || !FExDropDown) return;
    UpdateStripButtons(FButtonList, Buttons(), FExDropDown, FImages);
    ArrangeButtons();
}

void TExHeader::ArrangeButtons() { ArrangeStripButtons(this, FButtonList, FAppearance->ButtonAlignment()); }

void TExHeader::WMSize(TMessage& M) {
    TCustomControl::WMSize(M);
    ArrangeButtons();
}

void TExHeader::ButtonClick(TObject* Sender) {
    auto* b = dynamic_cast<TExButton*>(Sender);
    if (b && FExDropDown && FExDropDown->OnDropDownHeaderButtonClick)
        FExDropDown->OnDropDownHeaderButtonClick(FExDropDown, int(b->Tag));
}

void TExHeader::Paint() {
    TCanvas* c = Canvas();
    const TRect R = ClientRect();
    if (OnDrawBackGround) {
        OnDrawBackGround(this, c, R);
        return;
    }
    const THeaderAppearance* a = FAppearance;
    PaintStripFrame(c, R, a->Color(), a->ColorTo(), a->GradientDirection(), a->BorderColor(), a->BorderWidth(),
                    PopupHasNoBorder(FExDropDown), false);
    TRect C = R;
    InflateRect(C, -a->BorderWidth(), -a->BorderWidth());
    PaintStripContent(c, C, a->ImageIndex(), FImages, a->Caption(), OnGetText, this, FButtonList->Count() > 0,
                      GetTextRect().Right, a->Font());
}

// ---------------------------------------------------------------------------
// TExFooter
// ---------------------------------------------------------------------------

TExFooter::TExFooter(TComponent* AOwner)
    : TCustomControl(AOwner), FAppearance(new TFooterAppearance(AOwner)), FButtonList(new TDbgList) {
    ControlStyle = csAcceptsControls | csClickEvents | csDoubleClicks | csCaptureMouse;
    FAppearance->OnChange = [this](TObject*) { AppearanceChanged(); };
}

TExFooter::~TExFooter() {
    // The buttons are owned components: they go with the strip.
    delete FButtonList;
    delete FAppearance;
}

TFooterButtons* TExFooter::Buttons() const { return FExDropDown ? FExDropDown->DropDownFooter()->Buttons() : nullptr; }

void TExFooter::SetExDropDown(TExCustomDropDown* E) {
    FExDropDown = E;
    if (!E) {
        FImages = nullptr;
        return;
    }
    FImages = E->Images();
    FAppearance->Assign(E->DropDownFooter());
    Invalidate();
}

void TExFooter::InitButtons() {
    if (FExDropDown) CreateButtons();
}

void TExFooter::AppearanceChanged() {
    SetVisible(FAppearance->Visible());
    SetHeight(FAppearance->Height());
}

bool TExFooter::SizeGripVisible() const {
    return FAppearance->SizeGrip() && FExDropDown && FExDropDown->DropDownSizeable();
}

TRect TExFooter::GetButtonRect() const {
    const TRect r = ClientRect();
    return TRect(r.Left + 2, r.Top + 2, SizeGripVisible() ? r.Right - 14 : r.Right - 2, r.Bottom - 2);
}

TRect TExFooter::GetTextRect() const { return TextRectOf(FButtonList, GetButtonRect()); }

void TExFooter::CreateButtons() {
    if (!Buttons() || !FExDropDown) return;
    ClearButtons();
    BuildButtons(this, Buttons(), FButtonList, FExDropDown, true, [this](TObject* s) { ButtonClick(s); });
    ArrangeButtons();
}

void TExFooter::ClearButtons() { ClearStripButtons(FButtonList); }

void TExFooter::UpdateButtons() {
    if (!Buttons() || !FExDropDown) return;
    UpdateStripButtons(FButtonList, Buttons(), FExDropDown, FImages);
    ArrangeButtons();
}

void TExFooter::ArrangeButtons() { ArrangeStripButtons(this, FButtonList, FAppearance->ButtonAlignment()); }

void TExFooter::WMSize(TMessage& M) {
    TCustomControl::WMSize(M);
    ArrangeButtons();
}

void TExFooter::ButtonClick(TObject* Sender) {
    auto* b = dynamic_cast<TExButton*>(Sender);
    if (b && FExDropDown && FExDropDown->OnDropDownFooterButtonClick)
        FExDropDown->OnDropDownFooterButtonClick(FExDropDown, int(b->Tag));
}

void TExFooter::Paint() {
    TCanvas* c = Canvas();
    const TRect R = ClientRect();
    if (OnDrawBackGround) {
        OnDrawBackGround(this, c, R);
        return;
    }
    const TFooterAppearance* a = FAppearance;
    PaintStripFrame(c, R, a->Color(), a->ColorTo(), a->GradientDirection(), a->BorderColor(), a->BorderWidth(),
                    PopupHasNoBorder(FExDropDown), true);
    TRect C = R;
    InflateRect(C, -a->BorderWidth(), -a->BorderWidth());
    PaintStripContent(c, C, a->ImageIndex(), FImages, a->Caption(), OnGetText, this, FButtonList->Count() > 0,
                      GetTextRect().Right, a->Font());
    if (SizeGripVisible())
        PaintSizeGrip(TRect(R.Right - a->BorderWidth() - 16, 1, R.Right - a->BorderWidth() - 1, R.Bottom));
}

void TExFooter::PaintSizeGrip(const TRect& R) {
    TCanvas* c = Canvas();
    const int X = R.Left, Y = R.Bottom;
    static const int kDots[6][2] = {{5, 2}, {9, 2}, {13, 2}, {13, 6}, {13, 10}, {9, 6}};
    auto dots = [&](TColor color, int shift) {
        c->Pen().SetColor(color);
        c->Brush().SetColor(color);
        for (const auto& d : kDots) {
            const int a = d[0] - shift, b = d[1] + shift;
            c->Rectangle(X + a, Y - b - 2, X + a + 2, Y - b);
        }
    };
    dots(clWhite, 0);
    // The same dots one pixel up and left, in the border colour.
    dots(BlendColor(FAppearance->BorderColor(), FAppearance->BorderColor(), 100), 1);
}

bool TExFooter::InGripZone(int X, int Y) const {
    return SizeGripVisible() && X > Width() - 12 && Y > Height() - 15;
}

void TExFooter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Parent() || !InGripZone(X, Y)) return;
    // The popup takes over: the platform's sizing drag from its corner.
    SetMouseCapture(false);
    const TPoint s = ClientToScreen(Point(X, Y));
    Parent()->Perform(WM_NCLBUTTONDOWN, WPARAM(HTBOTTOMRIGHT), MakeLParam(s.X, s.Y));
}

void TExFooter::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (InGripZone(X, Y)) Screen()->SetCursor(crSizeNWSE);
    else if (Screen()->Cursor() != FOldCursor) Screen()->SetCursor(FOldCursor);
}

void TExFooter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    Screen()->SetCursor(FOldCursor);
}

void TExFooter::CMMouseEnter(TMessage& M) {
    TCustomControl::CMMouseEnter(M);
    if (Screen()->Cursor() != crSizeNWSE) FOldCursor = Screen()->Cursor();
}

void TExFooter::CMMouseLeave(TMessage& M) {
    TCustomControl::CMMouseLeave(M);
    Screen()->SetCursor(FOldCursor);
}
