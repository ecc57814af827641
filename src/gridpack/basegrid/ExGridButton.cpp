// The search panel's button and check box.
#include "gridpack/basegrid/ExGridButton.h"

#include "gridpack/basegrid/ExStyleIF.h"
#include "platform/controls/Messages.h"
#include "platform/core/MathUtils.h"

#include <algorithm>

namespace {
struct LookRow {
    TColor Color, ColorTo, Hot, HotTo, Down, DownTo, Checked, CheckedTo, BorderDown, BorderHot;
};

const LookRow kLooks[7] = {
    {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, clNone, 0xAF987A, 0xC3CECE},
    {clBtnFace, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31, 0xC56A31},
    {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
    {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
    {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
    {clBtnFace, clNone, clBtnFace, clNone, 0xD8D3D2, clNone, 0xCAC7C7, clNone, clNone, clNone},
    {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080},
};

void CopyBitmap(std::unique_ptr<TBitmap>& dst, const TBitmap* src)
{
    if (src)
        dst->Assign(src);
    else
        dst->SetSize(0, 0);
}

bool Empty(const TBitmap* b) { return !b || b->Width() == 0 || b->Height() == 0; }
} // namespace

// --- button -------------------------------------------------------------------------------

TExGridButton::TExGridButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()), FGlyphHot(std::make_unique<TBitmap>()),
      FGlyphDown(std::make_unique<TBitmap>()), FGlyphDisabled(std::make_unique<TBitmap>()),
      FShade(std::make_unique<TBitmap>())
{
    // Clicks and double clicks are decided here, not by the library.
    ControlStyle = (ControlStyle | csCaptureMouse | csDoubleClicks) & ~csClickEvents;
    SetBounds(Left(), Top(), 23, 22);
    SetColor(clBtnFace);
    // A glyph changed in place shows at once.
    FGlyph->OnChange = [this](TGraphicsObject*) { Invalidate(); };
}

TExGridButton::~TExGridButton() = default;

void TExGridButton::SetGlyph(const TBitmap* v)
{
    CopyBitmap(FGlyph, v);
    if (Empty(FGlyphDisabled.get()) && !Empty(FGlyph.get())) {
        // A grey copy: the level (mean of the channels) halved and lifted.
        FGlyphDisabled->SetPixelFormat(pf24bit);
        FGlyphDisabled->SetSize(FGlyph->Width(), FGlyph->Height());
        for (int y = 0; y < FGlyph->Height(); ++y) {
            const TRGBQuad* s = FGlyph->ScanLine(y);
            TRGBQuad* d = FGlyphDisabled->ScanLine(y);
            for (int x = 0; x < FGlyph->Width(); ++x) {
                const int level = int(Round((s[x].rgbRed + s[x].rgbGreen + s[x].rgbBlue) / 3.0));
                const uint8_t g = uint8_t(level / 2 + 96);
                d[x] = TRGBQuad{g, g, g, 0};
            }
        }
    }
    if (FShaded)
        BuildShade();
    Invalidate();
}

void TExGridButton::SetGlyphHot(const TBitmap* v) { CopyBitmap(FGlyphHot, v); Invalidate(); }
void TExGridButton::SetGlyphDown(const TBitmap* v) { CopyBitmap(FGlyphDown, v); Invalidate(); }
void TExGridButton::SetGlyphDisabled(const TBitmap* v) { CopyBitmap(FGlyphDisabled, v); Invalidate(); }

void TExGridButton::SetFlat(bool v) { if (v != FFlat) { FFlat = v; Invalidate(); } }
void TExGridButton::SetLayout(TButtonLayout v) { if (v != FLayout) { FLayout = v; Invalidate(); } }
void TExGridButton::SetSpacing(int v) { if (v != FSpacing) { FSpacing = v; Invalidate(); } }
void TExGridButton::SetShowCaption(bool v) { if (v != FShowCaption) { FShowCaption = v; Invalidate(); } }

void TExGridButton::SetMargin(int v)
{
    if (v < -1 || v == FMargin)
        return;
    FMargin = v;
    Invalidate();
}

void TExGridButton::SetShaded(bool v)
{
    FShaded = v;
    // While the form loads, the glyph may not be there yet: Loaded builds it.
    if (!InState(csLoading))
        BuildShade();
}

void TExGridButton::Loaded()
{
    TGraphicControl::Loaded();
    if (FShaded)
        BuildShade();
    if (FAutoThemeAdapt)
        ApplyThemeLook();
}

void TExGridButton::SetDropDownMenu(TPopupMenu* v)
{
    if (v == FDropDownMenu)
        return;
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = v;
    if (v)
        v->FreeNotification(this);
}

void TExGridButton::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == FDropDownMenu)
        FDropDownMenu = nullptr;
}

std::unique_ptr<TActionLink> TExGridButton::CreateActionLink()
{
    return std::make_unique<TExGridButtonActionLink>(this);
}

void TExGridButton::BuildShade()
{
    if (Empty(FGlyph.get())) {
        FShade->SetSize(0, 0);
        return;
    }
    // A grey silhouette of the glyph's pixels that are not its transparent
    // (bottom-left) colour; the rest white, which is transparent in turn.
    const int w = FGlyph->Width(), h = FGlyph->Height();
    const TRGBQuad key = FGlyph->ScanLine(h - 1)[0];
    FShade->SetPixelFormat(pf24bit);
    FShade->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const TRGBQuad* s = FGlyph->ScanLine(y);
        TRGBQuad* d = FShade->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const bool clear = s[x].rgbRed == key.rgbRed && s[x].rgbGreen == key.rgbGreen && s[x].rgbBlue == key.rgbBlue;
            d[x] = clear ? TRGBQuad{255, 255, 255, 0} : TRGBQuad{0x80, 0x80, 0x80, 0};
        }
    }
}

void TExGridButton::SetDown(bool v)
{
    if (FGroupIndex == 0 && FStyle != tasCheck)
        v = false;
    if (FStyle == tasCheck) {
        FDown = v;
        Invalidate();
        return;
    }
    if (v == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = v;
    if (v) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
        TellGroup();
    } else {
        FState = bsUp;
        Invalidate();
    }
}

void TExGridButton::SetAllowAllUp(bool v)
{
    if (v == FAllowAllUp)
        return;
    FAllowAllUp = v;
    TellGroup();
}

void TExGridButton::SetGroupIndex(int v)
{
    if (v == FGroupIndex)
        return;
    FGroupIndex = v;
    TellGroup();
}

void TExGridButton::TellGroup()
{
    if (!Parent())
        return;
    TMessage m{CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(static_cast<TObject*>(this)), 0};
    Parent()->Broadcast(m);
}

void TExGridButton::ButtonPressed(TMessage& M)
{
    auto* sender = dynamic_cast<TExGridButton*>(reinterpret_cast<TObject*>(M.LParam));
    if (!sender || sender == this || int(M.WParam) != FGroupIndex)
        return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        if (auto* a = dynamic_cast<TAction*>(Action()))
            a->SetChecked(false);
        Invalidate();
    }
    FAllowAllUp = sender->AllowAllUp();
}

void TExGridButton::WndProc(TMessage& M)
{
    switch (M.Msg) {
    case CM_BUTTONPRESSED:
        ButtonPressed(M);
        return;
    case WM_THEMECHANGED:
    case CM_SYSFONTCHANGED: // the class library's notice after a theme change
        if (FAutoThemeAdapt)
            ApplyThemeLook();
        break;
    case CM_SYSCOLORCHANGE:
        Invalidate();
        break;
    }
    TGraphicControl::WndProc(M);
}

void TExGridButton::SetLook(int v)
{
    if (v < 0 || v > 6)
        return;
    const LookRow& r = kLooks[v];
    SetColor(r.Color);
    FColorTo = r.ColorTo;
    FColorHot = r.Hot;
    FColorHotTo = r.HotTo;
    FColorDown = r.Down;
    FColorDownTo = r.DownTo;
    FColorChecked = r.Checked;
    FColorCheckedTo = r.CheckedTo;
    FBorderDownColor = r.BorderDown;
    FBorderHotColor = r.BorderHot;
    if (v == 0) {
        FRounded = true;
        FFlat = true;
    } else {
        FBorderColor = clNone;
        FRounded = false;
        FFlat = true;
    }
    Invalidate();
}

void TExGridButton::ApplyThemeLook()
{
    switch (CurrentXPScheme()) {
    case 1: SetLook(2); break;
    case 2: SetLook(3); break;
    case 3: SetLook(4); break;
    default: SetLook(1); break;
    }
}

void TExGridButton::SetAutoThemeAdapt(bool v)
{
    FAutoThemeAdapt = v;
    if (v)
        ApplyThemeLook();
}

// --- button input ----------------------------------------------------------------------------

void TExGridButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (Shift & ssDouble) {
        if (FDown)
            TGraphicControl::DblClick();
        return;
    }
    if (FDropDownButton && X > ClientWidth() - 12) {
        FState = bsUp;
        if (OnDropDown)
            OnDropDown(this);
        if (FDropDownMenu) {
            const TPoint at = ScreenBottomLeft();
            FDropDownMenu->Popup(at.X, at.Y);
        }
        return;
    }
    if (!FDown || FStyle == tasCheck) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TExGridButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) {
        UpdateTracking(X, Y);
        return;
    }
    TButtonState next = FDown ? bsExclusive : bsUp;
    if (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight())
        next = FDown ? bsExclusive : bsDown;
    if (FStyle == tasCheck && FDown)
        next = bsDown;
    if (next != FState) {
        FState = next;
        Invalidate();
    }
}

void TExGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex == 0) {
        if (FStyle == tasCheck && inside)
            SetDown(!FDown);
        FState = bsUp;
        if (inside)
            Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        if (FDown)
            Invalidate();
    } else {
        if (FDown)
            FState = bsExclusive;
        Invalidate();
    }
    if (inside)
        Click();
    UpdateTracking(X, Y);
}

void TExGridButton::UpdateTracking(int X, int Y)
{
    if (!Enabled())
        return;
    const bool over = X >= 0 && X < Width() && Y >= 0 && Y < Height();
    if (over != FMouseInControl)
        Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE);
}

void TExGridButton::CMMouseEnter(TMessage& M)
{
    // Not while a control is dragged or the mouse is held by one.
    if (!Enabled() || (DragMode() == dmAutomatic && Dragging()) || GetCaptureControl())
        return;
    FMouseInControl = true;
    Invalidate();
    TGraphicControl::CMMouseEnter(M);
}

void TExGridButton::CMMouseLeave(TMessage& M)
{
    if (!Enabled() || FDragging)
        return;
    FMouseInControl = false;
    Invalidate();
    TGraphicControl::CMMouseLeave(M);
}

void TExGridButton::CMDialogChar(TMessage& M)
{
    const QChar ch(char16_t(M.WParam));
    if (IsAccel(ch, Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
        Click();
        M.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(M);
}

// --- action link ------------------------------------------------------------------------------

TExGridButtonActionLink::TExGridButtonActionLink(TExGridButton* client) : TActionLink(client), FButton(client) {}

void TExGridButtonActionLink::Remember(const TAction* a)
{
    FKnown = a;
    FCaption = a->Caption();
    FChecked = a->Checked();
    FGroupIndex = a->GroupIndex();
}

// Measured against the action's values before its change: the button still
// shows what the action gave it.
bool TExGridButtonActionLink::IsCaptionLinked() const
{
    return FKnown == Action() && FButton->Caption() == FCaption;
}

bool TExGridButtonActionLink::IsCheckedLinked() const
{
    return FKnown == Action() && FButton->GroupIndex() != 0 && FButton->AllowAllUp() && FButton->Down() == FChecked;
}

bool TExGridButtonActionLink::IsGroupIndexLinked() const
{
    return FKnown == Action() && FButton->GroupIndex() == FGroupIndex;
}

void TExGridButtonActionLink::Change()
{
    auto* a = dynamic_cast<TAction*>(Action());
    if (!a)
        return;
    if (FKnown != a) {
        // A newly joined action: the button takes what the library's link
        // gives every control.
        TActionLink::Change();
        Remember(a);
        return;
    }
    const bool caption = IsCaptionLinked(), checked = IsCheckedLinked(), group = IsGroupIndexLinked();
    // Remembered first: a write below may change the action again (a button
    // going up unchecks its action) and come back here.
    Remember(a);
    if (caption)
        FButton->SetCaption(a->Caption());
    FButton->SetEnabled(a->Enabled());
    FButton->SetVisible(a->Visible());
    FButton->SetHint(a->Hint());
    if (group)
        FButton->SetGroupIndex(a->GroupIndex());
    if (checked)
        FButton->SetDown(a->Checked());
}

void TExGridButton::CMEnabledChanged(TMessage& M)
{
    TGraphicControl::CMEnabledChanged(M);
    Invalidate();
}

// --- button painting ---------------------------------------------------------------------------

void TExGridButton::DrawGradient(TCanvas* C, TColor From, TColor To, TColor Frame, const TRect& R)
{
    const TColor f = ColorToRGB(From), t = ColorToRGB(To);
    const double h = (R.Bottom - R.Top) / 16.0;
    for (int i = 0; i < 16; ++i) {
        auto ch = [&](int a, int b) { return a + int(Round(i * double(b - a) / 16)); };
        const TColor c = RGB(ch(GetRValue(f), GetRValue(t)), ch(GetGValue(f), GetGValue(t)), ch(GetBValue(f), GetBValue(t)));
        const int top = R.Top + int(Round(i * h));
        C->Brush().SetColor(c);
        C->FillRect(TRect(R.Left, top, R.Right, std::min<int>(R.Bottom, top + int(Round(h)) + 1)));
    }
    if (Frame != clNone) {
        C->Brush().SetColor(Frame);
        C->FrameRect(R);
    }
}

void TExGridButton::Paint()
{
    TCanvas* C = Canvas();
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    if (FStyle == tasCheck && FDown)
        FState = bsDown;
    C->SetFont(*Font());
    TRect R = ClientRect();
    TPoint offset(0, 0);

    auto fill = [&](TColor c, TColor cto, TColor frame) {
        if (cto != clNone) {
            DrawGradient(C, c, cto, frame, R);
        } else {
            C->Brush().SetColor(c);
            C->FillRect(R);
            if (frame != clNone) {
                C->Brush().SetColor(frame);
                C->FrameRect(R);
            }
        }
    };
    auto roundOutline = [&](TColor c) {
        if (c == clNone)
            return;
        C->Brush().SetStyle(bsClear);
        C->Pen().SetColor(c);
        C->RoundRect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1, 8, 8);
        C->Brush().SetStyle(bsSolid);
    };

    if (FFlat) {
        if (FBorderDownColor == clNone || FRounded)
            InflateRect(R, -1, -1);
        if (!FMouseInControl || !Enabled()) {
            if (FStyle == tasCheck && FDown) {
                fill(FColorChecked, FColorCheckedTo, FBorderDownColor);
            } else {
                const TColor frame = FRounded ? clNone : (FDown ? FBorderDownColor : FBorderColor);
                fill(Color(), FColorTo, frame);
                if (FBorderColor != clNone) {
                    if (FRounded) {
                        roundOutline(FBorderColor);
                    } else {
                        C->Brush().SetColor(FBorderColor);
                        C->FrameRect(R);
                    }
                }
            }
        } else {
            TColor c = FColorHot, cto = FColorHotTo, frame = FBorderHotColor;
            if (FState == bsDown) {
                c = FColorDown;
                cto = FColorDownTo;
                frame = FBorderDownColor;
            }
            if (FStyle == tasCheck && FDown && !FDragging) {
                c = FColorChecked;
                cto = FColorCheckedTo;
                frame = FBorderDownColor;
            }
            fill(c, cto, FRounded ? clNone : frame);
            if (FRounded)
                roundOutline(FState == bsDown ? FBorderDownColor : FBorderHotColor);
            if (FDropDownButton) {
                C->Pen().SetColor(frame == clNone ? clGray : frame);
                C->MoveTo(R.Right - 12, R.Top);
                C->LineTo(R.Right - 12, R.Bottom);
            }
        }
        InflateRect(R, -1, -1);
    } else {
        unsigned state = DFCS_BUTTONPUSH;
        if (FState == bsDown || FState == bsExclusive)
            state |= DFCS_PUSHED;
        C->DrawFrameControl(R, DFC_BUTTON, state);
        InflateRect(R, -2, -2);
    }

    if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
        TRect g = R;
        InflateRect(g, 1, 1);
        const TRect keep = R;
        R = g;
        fill(FColorChecked, FColorCheckedTo, FDown ? FBorderDownColor : FBorderColor);
        R = keep;
    }
    if ((FState == bsDown || FState == bsExclusive) && !FFlat)
        offset = TPoint(1, 1);
    else if (FFlat && FShaded && Enabled() && FMouseInControl && FState != bsDown)
        offset = TPoint(-1, -1);

    if (FDropDownButton) {
        const int mid = R.Top + (R.Bottom - R.Top) / 2;
        C->Brush().SetColor(Font()->Color());
        C->Pen().SetColor(Font()->Color());
        C->Polygon({TPoint(R.Right - 8, mid), TPoint(R.Right - 4, mid), TPoint(R.Right - 6, mid + 2)});
        R.Right -= 12;
    }
    DrawContent(R, offset);
}

void TExGridButton::DrawContent(TRect R, TPoint Offset)
{
    TCanvas* C = Canvas();
    TBitmap* glyph = FGlyph.get();
    if (!Enabled() && !Empty(FGlyphDisabled.get()))
        glyph = FGlyphDisabled.get();
    else if ((FState == bsDown || FState == bsExclusive) && !Empty(FGlyphDown.get()))
        glyph = FGlyphDown.get();
    else if (FMouseInControl && FState != bsDown && !Empty(FGlyphHot.get()))
        glyph = FGlyphHot.get();

    const QString caption = FShowCaption ? Caption() : QString();
    const TSize gs = Empty(glyph) ? TSize{0, 0} : TSize{glyph->Width(), glyph->Height()};
    TSize ts{0, 0};
    if (!caption.isEmpty()) {
        TRect m(0, 0, R.Right - R.Left, 0);
        C->DrawText(caption, m, DT_CALCRECT | DT_SINGLELINE);
        ts = TSize{m.Right - m.Left, m.Bottom - m.Top};
    }
    int spacing = (gs.cx == 0 || ts.cx == 0) ? 0 : FSpacing;
    int margin = FMargin;
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    const int avail = horizontal ? R.Right - R.Left : R.Bottom - R.Top;
    const int g = horizontal ? gs.cx : gs.cy, t = horizontal ? ts.cx : ts.cy;
    if (margin == -1 && spacing == -1) {
        margin = spacing = (avail - g - t) / 3;
    } else if (margin == -1) {
        margin = (avail - g - spacing - t + 1) / 2;
    } else if (spacing == -1) {
        spacing = (avail - margin - g - t) / 2;
    }
    TPoint gp, tp;
    const int acrossG = horizontal ? (R.Bottom - R.Top - gs.cy + 1) / 2 : (R.Right - R.Left - gs.cx + 1) / 2;
    const int acrossT = horizontal ? (R.Bottom - R.Top - ts.cy + 1) / 2 : (R.Right - R.Left - ts.cx + 1) / 2;
    int gAt = margin, tAt = margin + g + spacing;
    if (FLayout == blGlyphRight || FLayout == blGlyphBottom) {
        gAt = avail - margin - g;
        tAt = gAt - spacing - t;
    }
    gp = horizontal ? TPoint(R.Left + gAt, R.Top + acrossG) : TPoint(R.Left + acrossG, R.Top + gAt);
    tp = horizontal ? TPoint(R.Left + tAt, R.Top + acrossT) : TPoint(R.Left + acrossT, R.Top + tAt);
    gp.X += Offset.X;
    gp.Y += Offset.Y;
    tp.X += Offset.X;
    tp.Y += Offset.Y;

    if (!Empty(glyph)) {
        if (caption.isEmpty())
            gp = TPoint(0, 0);
        if (FShaded && Enabled() && FMouseInControl && FState != bsDown && !caption.isEmpty() && !Empty(FShade.get())) {
            FShade->SetTransparentColor(clWhite);
            FShade->SetTransparent(true);
            C->Draw(gp.X + 2, gp.Y + 2, FShade.get());
        }
        glyph->SetTransparentMode(tmAuto);
        glyph->SetTransparent(true);
        C->Draw(gp.X, gp.Y, glyph);
    }
    if (!caption.isEmpty()) {
        C->Brush().SetStyle(bsClear);
        const TRect tr(tp.X, tp.Y, tp.X + ts.cx, tp.Y + ts.cy);
        if (!Enabled()) {
            C->Font().SetColor(clBtnHighlight);
            TRect s = tr;
            OffsetRect(s, 1, 1);
            C->DrawText(caption, s, DT_CENTER | DT_SINGLELINE);
            C->Font().SetColor(clBtnShadow);
        }
        C->DrawText(caption, tr, DT_CENTER | DT_SINGLELINE);
        C->Brush().SetStyle(bsSolid);
    }
}

// --- check box --------------------------------------------------------------------------------

TExCheckBox::TExCheckBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle &= ~csClickEvents; // OnClick is fired here
    SetBounds(Left(), Top(), 98, 20);
    SetTabStop(true);
}

TExCheckBox::~TExCheckBox() = default;

TRect TExCheckBox::BoxStrip() const
{
    const TRect c = const_cast<TExCheckBox*>(this)->ClientRect();
    return FAlignment == taLeftJustify ? TRect(0, 0, 20, c.Bottom) : TRect(c.Right - 20, 0, c.Right, c.Bottom);
}

void TExCheckBox::SetCaption(const QString& v)
{
    FCaption = v;
    SetText(v);
    Invalidate();
}

void TExCheckBox::SetState(TCheckBoxState v)
{
    if (v == FState)
        return;
    FState = v;
    const TRect strip = BoxStrip();
    InvalidateClientRect(&strip);
}

void TExCheckBox::SetChecked(bool v)
{
    SetState(v ? cbChecked : cbUnchecked);
    Invalidate();
}

void TExCheckBox::Toggle()
{
    if (!FReadOnly)
        SetChecked(!Checked());
}

void TExCheckBox::SetAlignment(TLeftRight v) { if (v != FAlignment) { FAlignment = v; Invalidate(); } }
void TExCheckBox::SetButtonVertAlign(TTextLayout v) { if (v != FButtonVertAlign) { FButtonVertAlign = v; Invalidate(); } }
void TExCheckBox::SetEllipsis(bool v) { if (v != FEllipsis) { FEllipsis = v; Invalidate(); } }

void TExCheckBox::SetTransparent(bool v)
{
    FTransparent = v;
    Invalidate();
}

void TExCheckBox::CMDialogChar(TMessage& M)
{
    const QChar ch(char16_t(M.WParam));
    if (IsAccel(ch, FCaption) && CanFocus()) {
        Toggle();
        if (TabStop())
            SetFocus();
        M.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(M);
}

void TExCheckBox::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(*Font());
    const TRect cr = ClientRect();
    // Transparent: the parent, composed below, shows through what is not
    // painted here.
    if (!FTransparent) {
        C->Brush().SetColor(Color());
        C->FillRect(cr);
    }
    const int w = cr.Width(), h = cr.Height();
    const int x = FAlignment == taLeftJustify ? 0 : w - 13;
    const int y = FButtonVertAlign == tlTop ? 4 : FButtonVertAlign == tlCenter ? h / 2 - 6 : h - 17;
    TRect box(x, y, x + 13, y + 13);
    unsigned state = DFCS_BUTTONCHECK;
    if (FState == cbGrayed || !Enabled())
        state |= DFCS_INACTIVE;
    if (FState == cbChecked || FState == cbGrayed)
        state |= DFCS_CHECKED;
    if (FDown)
        state |= DFCS_PUSHED;
    C->DrawFrameControl(box, DFC_BUTTON, state);

    TRect tr = cr;
    if (FAlignment == taLeftJustify) {
        tr.Left += 9;
    } else {
        tr.Right -= 9;
        tr.Left = 0;
    }
    tr.Top += 4;
    tr.Left += 6;
    C->Brush().SetStyle(bsClear);
    const unsigned flags = DT_SINGLELINE | DT_LEFT | (FEllipsis ? unsigned(DT_END_ELLIPSIS) : 0u);
    if (!Enabled()) {
        C->Font().SetColor(clWhite);
        TRect s = tr;
        OffsetRect(s, 1, 1);
        C->DrawText(FCaption, s, flags);
        C->Font().SetColor(clGray);
    }
    C->DrawText(FCaption, tr, flags);
    C->Brush().SetStyle(bsSolid);
    if (FFocused) {
        const TSize ext = C->TextExtent(FCaption);
        C->DrawFocusRect(TRect(tr.Left - 2, tr.Top, tr.Left + ext.cx + 1, tr.Top + ext.cy + 1));
    }
}

void TExCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FPressed = true;
    if (!Focused() && CanFocus())
        SetFocus();
    SetMouseCapture(true);
    FDown = true;
    const TRect strip = BoxStrip();
    InvalidateClientRect(&strip);
}

void TExCheckBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (MouseCapture())
        FDown = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
}

void TExCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    SetMouseCapture(false);
    FDown = false;
    const bool inside = X >= 0 && X <= Width() && Y >= 0 && Y <= Height();
    if (inside && FPressed && (Focused() || !CanFocus())) {
        Toggle();
        if (OnClick)
            OnClick(this);
    }
    FPressed = false;
    const TRect strip = BoxStrip();
    InvalidateClientRect(&strip);
}

void TExCheckBox::KeyDown(unsigned& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = VK_TAB;
        PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_SPACE)
        FDown = true;
    TCustomControl::KeyDown(Key, Shift);
}

void TExCheckBox::KeyUp(unsigned& Key, TShiftState Shift)
{
    if (Key == VK_SPACE) {
        FDown = false;
        Toggle();
        if (OnClick)
            OnClick(this);
    }
    TCustomControl::KeyUp(Key, Shift);
}

void TExCheckBox::CMMouseEnter(TMessage& M)
{
    TCustomControl::CMMouseEnter(M);
    FHot = true;
    const TRect strip = BoxStrip();
    InvalidateClientRect(&strip);
}

void TExCheckBox::CMMouseLeave(TMessage& M)
{
    TCustomControl::CMMouseLeave(M);
    FHot = false;
    const TRect strip = BoxStrip();
    InvalidateClientRect(&strip);
}

void TExCheckBox::DoEnter()
{
    FFocused = true;
    Invalidate();
    TCustomControl::DoEnter();
}

void TExCheckBox::DoExit()
{
    FFocused = false;
    Invalidate();
    TCustomControl::DoExit();
}
