#include "app/LbButton.h"

#include "platform/core/MathUtils.h"

#include <algorithm>

namespace {

constexpr TColor kFuchsia = RGB(255, 0, 255);
constexpr TColor kDisabledText = RGB(128, 128, 128);
constexpr int kFullHotTrack = 8;
constexpr unsigned kFadeInterval = 30;

// ---- Standard kinds

struct KindInfo {
    TLbButtonKind Kind;
    const char* Resource;
    const char* Caption;
    int ModalResult;
};
const KindInfo kKinds[] = {
    {bkOK, "LBOK", "OK", mrOk},
    {bkCancel, "LBCANCEL", "Abbrechen", mrCancel},
    {bkHelp, "LBHELP", "Hilfe", mrNone},
    {bkYes, "LBYES", "Ja", mrYes},
    {bkNo, "LBNO", "Nein", mrNo},
    {bkClose, "LBCLOSE", "Schlie\u00dfen", mrNone},
    {bkAbort, "LBABORT", "Abbrechen", mrAbort},
    {bkRetry, "LBRETRY", "Wiederholen", mrRetry},
    {bkIgnore, "LBIGNORE", "Ignorieren", mrIgnore},
    {bkAll, "LBALL", "Alle", mrAll},
};

// ---- Colour presets

struct PresetInfo {
    TLbColorStyle Preset;
    TColor Color, Light, Shadow, WhenDown, HotTrack, FontColor;
    bool Flat;
    TLbButtonStyle Style;
};
const PresetInfo kPresets[] = {
    {lcsGold, RGB(192, 192, 0), RGB(255, 255, 0), RGB(128, 128, 0), clNone, RGB(223, 223, 0), clBlack, false, bsModern},
    {lcsChrome, RGB(192, 192, 192), RGB(255, 255, 255), RGB(128, 128, 128), clNone, clNone, clBlack, false, bsModern},
    {lcsBlue, RGB(0, 128, 255), RGB(0, 255, 255), RGB(0, 0, 255), clNone, clNone, clBlack, false, bsModern},
    {lcsRed, RGB(255, 0, 0), RGB(255, 192, 192), RGB(192, 0, 0), clNone, clNone, clBlack, false, bsModern},
    {lcsUltraFlat1, clBtnFace, RGB(132, 146, 181), RGB(132, 146, 181), RGB(132, 146, 181), RGB(214, 211, 222), clBlack,
     true, bsNormal},
    {lcsUltraFlat2, clBtnFace, RGB(0, 0, 0), RGB(0, 0, 0), RGB(188, 218, 36), RGB(228, 246, 140), clBlack, true,
     bsNormal},
    {lcsUltraFlatXP, RGB(219, 216, 209), RGB(132, 146, 181), RGB(133, 146, 181), RGB(133, 146, 181),
     RGB(182, 189, 210), clBlack, true, bsNormal},
    {lcsAqua, RGB(148, 206, 236), RGB(212, 230, 252), RGB(0, 0, 0), clNone, clNone, clBlack, false, bsModern},
    {lcsDefault, clBtnFace, RGB(255, 255, 255), RGB(128, 128, 128), clNone, clNone, clBlack, false, bsNormal},
    {lcsQuicken, RGB(0, 48, 96), RGB(192, 192, 192), RGB(192, 192, 192), RGB(41, 101, 173), RGB(156, 174, 206),
     clWhite, false, bsQuicken},
};

bool IsTransparentStyle(TLbButtonStyle s) { return s == bsModern || s == bsShape || s == bsQuicken; }

// ---- The standard kinds' glyphs: two 18x18 images (normal, disabled) on a
// fuchsia ground, whose bottom-left pixel makes it transparent.

constexpr int kGlyphSize = 18;

void DrawKindShape(TCanvas* c, TLbButtonKind kind, int x0, bool enabled) {
    auto colour = [enabled](TColor c) { return enabled ? c : RGB(128, 128, 128); };
    auto line = [&](TColor col, int width, std::initializer_list<TPoint> pts) {
        c->Pen().SetColor(col);
        c->Pen().SetWidth(width);
        std::vector<TPoint> v;
        for (TPoint p : pts) v.push_back(Point(p.X + x0, p.Y));
        c->Polyline(v);
    };
    switch (kind) {
    case bkOK: case bkYes:
        line(colour(RGB(0, 128, 0)), 3, {{3, 9}, {7, 13}, {15, 4}});
        break;
    case bkAll:
        line(colour(RGB(0, 128, 0)), 2, {{1, 8}, {4, 11}, {10, 4}});
        line(colour(RGB(0, 128, 0)), 2, {{6, 11}, {9, 14}, {16, 6}});
        break;
    case bkCancel: case bkNo: case bkAbort:
        line(colour(RGB(192, 0, 0)), 3, {{4, 4}, {14, 14}});
        line(colour(RGB(192, 0, 0)), 3, {{14, 4}, {4, 14}});
        break;
    case bkHelp:
        c->Pen().SetColor(colour(RGB(0, 0, 160)));
        c->Pen().SetWidth(1);
        c->Brush().SetColor(colour(RGB(0, 0, 160)));
        c->Ellipse(x0 + 2, 2, x0 + 16, 16);
        c->Brush().SetColor(clWhite);
        c->FillRect(Rect(x0 + 8, 11, x0 + 10, 13));
        line(clWhite, 2, {{6, 6}, {8, 5}, {11, 6}, {11, 8}, {9, 9}, {9, 10}});
        break;
    case bkClose:
        c->Pen().SetColor(colour(RGB(96, 64, 0)));
        c->Pen().SetWidth(1);
        c->Brush().SetColor(colour(RGB(160, 112, 48)));
        c->Rectangle(x0 + 4, 2, x0 + 14, 16);
        c->Brush().SetColor(colour(RGB(255, 224, 0)));
        c->FillRect(Rect(x0 + 11, 8, x0 + 13, 10));
        break;
    case bkRetry:
        // A round arrow: most of a circle, the head at its upper end.
        line(colour(RGB(0, 128, 0)), 2, {{14, 10}, {13, 13}, {9, 14}, {5, 13}, {4, 9}, {5, 5}, {9, 4}, {11, 4}});
        c->Pen().SetWidth(1);
        c->Brush().SetColor(colour(RGB(0, 128, 0)));
        c->Polygon({Point(x0 + 11, 1), Point(x0 + 15, 4), Point(x0 + 11, 7)});
        break;
    case bkIgnore:
        c->Brush().SetColor(colour(RGB(64, 64, 64)));
        c->FillRect(Rect(x0 + 3, 8, x0 + 15, 11));
        break;
    case bkCustom: break;
    }
}

void EnsureKindGlyph(const KindInfo& k) {
    const QString name = QString::fromLatin1(k.Resource);
    if (HasResourceImage(name)) return;
    TBitmap strip(2 * kGlyphSize, kGlyphSize);
    TCanvas* c = strip.Canvas();
    c->Brush().SetColor(kFuchsia);
    c->FillRect(Rect(0, 0, 2 * kGlyphSize, kGlyphSize));
    DrawKindShape(c, k.Kind, 0, true);
    DrawKindShape(c, k.Kind, kGlyphSize, false);
    // The corner pixel names the transparent colour; keep it the ground's.
    c->SetPixels(0, kGlyphSize - 1, kFuchsia);
    RegisterResourceImage(name, strip.Image());
}

// One image of the strip as a bitmap whose bottom-left pixel is transparent.
void CopyStripImage(const TBitmap* strip, int index, int gw, int gh, TBitmap& out) {
    out.SetSize(gw, gh);
    out.Canvas()->CopyRect(Rect(0, 0, gw, gh), const_cast<TBitmap*>(strip)->Canvas(),
                           Bounds(index * gw, 0, gw, gh));
    out.SetTransparentMode(tmAuto);
    out.SetTransparent(true);
}

// Bands of a vertical gradient: `bands` equal parts of [top, bottom), the
// colour stepping by one (bands - 1)th of the difference per channel.
void VerticalBands(TCanvas* c, int left, int right, int top, int bottom, TColor from, TColor to, int bands) {
    if (bottom <= top || right <= left) return;
    const TColor a = ColorToRGB(from), b = ColorToRGB(to);
    for (int i = 0; i < bands; ++i) {
        const int y0 = top + (i * (bottom - top)) / bands;
        const int y1 = top + ((i + 1) * (bottom - top)) / bands;
        if (y1 <= y0) continue;
        auto ch = [&](int ca, int cb) { return ca + ((cb - ca) * i) / (bands - 1); };
        c->Brush().SetColor(RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
                                ch(GetBValue(a), GetBValue(b))));
        c->FillRect(Rect(left, y0, right, y1));
    }
}

void FrameLines(TCanvas* c, int W, int H, TColor topLeft, TColor bottomRight) {
    c->Pen().SetWidth(1);
    c->Pen().SetStyle(psSolid);
    c->Pen().SetColor(topLeft);
    c->MoveTo(0, H - 1);
    c->LineTo(0, 0);
    c->LineTo(W - 1, 0);
    c->Pen().SetColor(bottomRight);
    c->LineTo(W - 1, H - 1);
    c->LineTo(0, H - 1);
}

}  // namespace

// ---------------------------------------------------------------------------

TLbButton::TLbButton(TComponent* AOwner) : TCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    // The button clicks on its own terms (see MouseUp), not on the base's.
    ControlStyle = (ControlStyle | csCaptureMouse) & ~csClickEvents;
    SetBounds(Left(), Top(), 100, 23);
    SetTabStop(true);
    SetColor(clBtnFace);
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner)) FHotTrackFont.Assign(*form->Font());
    // The fade, created idle as the fade thread is created suspended.
    CreateFade();
}

// The fade timer belongs to the button alone (no owner), so it goes exactly
// when the button lets it go.
void TLbButton::CreateFade() {
    FThread = new TTimer(nullptr);
    FThread->SetEnabled(false);
    FThread->SetInterval(kFadeInterval);
    FThread->OnTimer = [this](TObject*) { FadeStep(); };
}

TLbButton::~TLbButton() {
    StopFade();
    delete FThread;
    FThread = nullptr;
}

void TLbButton::SetCaption(const QString& v) {
    TControl::SetCaption(v);
    Invalidate();
}

void TLbButton::SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }
void TLbButton::SetColorWhenDown(TColor v) { FColorWhenDown = v; Invalidate(); }
void TLbButton::SetHotTrackColor(TColor v) { FHotTrackColor = v; Invalidate(); }
void TLbButton::SetLightColor(TColor v) { FLightColor = v; Invalidate(); }
void TLbButton::SetShadowColor(TColor v) { FShadowColor = v; Invalidate(); }
void TLbButton::SetFlat(bool v) { FFlat = v; Invalidate(); }
void TLbButton::SetWordWrap(bool v) { FWordWrap = v; Invalidate(); }
void TLbButton::SetLayout(TLbButtonLayout v) { FLayout = v; Invalidate(); }
void TLbButton::SetNumGlyphs(int v) { FNumGlyphs = v; Invalidate(); }
void TLbButton::SetUseHotTrackFont(bool v) { FUseHotTrackFont = v; Invalidate(); }

void TLbButton::SetColorStyle(TLbColorStyle v) {
    for (const PresetInfo& p : kPresets) {
        if (p.Preset != v) continue;
        SetColor(p.Color);
        FLightColor = p.Light;
        FShadowColor = p.Shadow;
        FColorWhenDown = p.WhenDown;
        FHotTrackColor = p.HotTrack;
        Font()->SetColor(p.FontColor);
        FFlat = p.Flat;
        // The style field only: the window keeps the style it was made with.
        FStyle = p.Style;
        Invalidate();
        return;
    }
}

void TLbButton::SetStyle(TLbButtonStyle v) {
    FStyle = v;
    RecreateWnd();
    Invalidate();
}

void TLbButton::CreateParams(TCreateParams& P) {
    TCustomControl::CreateParams(P);
    if (IsTransparentStyle(FStyle)) P.ExStyle |= WS_EX_TRANSPARENT;
    else P.ExStyle &= ~WS_EX_TRANSPARENT;
}

void TLbButton::SetGlyph(const TBitmap* v) {
    if (v) FGlyph->Assign(v);
    else FGlyph->SetSize(0, 0);
    FNumGlyphs = (FGlyph->Empty() || FGlyph->Height() == 0) ? 0 : FGlyph->Width() / FGlyph->Height();
    FKind = bkCustom;
    Invalidate();
}

void TLbButton::SetKind(TLbButtonKind v) {
    FKind = v;
    if (v == bkCustom) return;
    for (const KindInfo& k : kKinds) {
        if (k.Kind != v) continue;
        FNumGlyphs = 2;
        EnsureKindGlyph(k);
        LoadResourceBitmap(FGlyph.get(), QString::fromLatin1(k.Resource));
        SetCaption(QString::fromUtf8(k.Caption));
        FModalResult = k.ModalResult;
        Invalidate();
        return;
    }
}

void TLbButton::SetModalResult(int v) {
    FModalResult = v;
    FKind = bkCustom;
}

void TLbButton::SetPopupMenu(TPopupMenu* m) {
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = m;
    if (m) m->FreeNotification(this);
    Invalidate();
}

void TLbButton::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

// ---- Fade

bool TLbButton::FadeRunning() const { return FThread && FThread->Enabled(); }

void TLbButton::StopFade() {
    if (FThread) FThread->SetEnabled(false);
}

void TLbButton::SetSlowDecease(bool v) {
    FSlowDecease = v;
    if (v) {
        if (!FThread) CreateFade();
        return;
    }
    FHotTrackStep = 0;
    StopFade();
    delete FThread;
    FThread = nullptr;
    Invalidate();
}

void TLbButton::FadeStep() {
    if (ComponentState() & csDestroying) return;
    --FHotTrackStep;
    if (FHotTrackStep <= 0) {
        StopFade();
        FHotTrackStep = 0;
    }
    Invalidate();
}

TColor TLbButton::BlendHotTrack(TColor face, TColor hot, int step) {
    const TColor c = ColorToRGB(face), h = ColorToRGB(hot);
    const double s = step / 8.0;
    auto ch = [s](int a, int b) { return int(Round(a * (1 - s) + b * s)); };
    return RGB(ch(GetRValue(c), GetRValue(h)), ch(GetGValue(c), GetGValue(h)), ch(GetBValue(c), GetBValue(h)));
}

// ---- Input

bool TLbButton::ParentShowing() const { return Parent() && Parent()->Showing(); }

bool TLbButton::Hot() const { return bCursorOnButton || Focused(); }

void TLbButton::CMMouseEnter(TMessage&) {
    if (!Enabled() || !Visible() || !ParentShowing()) return;
    // A fade still running from the last leave stops: the mouse is back.
    StopFade();
    bCursorOnButton = true;
    FHotTrackStep = kFullHotTrack;
    Invalidate();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TLbButton::CMMouseLeave(TMessage&) {
    bCursorOnButton = false;
    if (FSlowDecease && FThread) {
        if (FHotTrackStep > 0) FThread->SetEnabled(true);
    } else {
        FHotTrackStep = 0;
        Invalidate();
    }
    if (Enabled() && Visible() && ParentShowing() && OnMouseExit) OnMouseExit(this);
}

void TLbButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    bDown = true;
    if (CanFocus()) SetFocus();
    Invalidate();
}

void TLbButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    // The release need not be over the button.
    if (bDown) Click();
    bDown = false;
    Invalidate();
}

void TLbButton::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if ((Key == VK_RETURN || Key == VK_SPACE) && Enabled()) {
        bDown = true;
        Invalidate();
    }
}

void TLbButton::KeyUp(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    // Only a key that pressed this button releases it into a click.
    if ((Key == VK_RETURN || Key == VK_SPACE) && bDown) {
        Click();
        Invalidate();
    }
}

void TLbButton::CMDialogChar(TMessage& M) {
    const QChar ch(char16_t(M.WParam));
    if (IsAccel(ch, Caption()) && Visible() && Enabled() && ParentShowing()) {
        bDown = true;
        Click();
        M.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(M);
}

void TLbButton::CMDialogKey(TMessage& M) {
    const bool noShift = GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
                         !(M.LParam & (LPARAM(1) << 29));
    const bool usable = Visible() && Enabled();
    const bool mine = (M.WParam == VK_RETURN && FDefault && usable) ||
                      (M.WParam == VK_ESCAPE && noShift && FCancel && usable);
    if (!mine) {
        TCustomControl::CMDialogKey(M);
        return;
    }
    // A focused push button of any kind handles Enter itself. Escape is the
    // cancel button's whatever has the focus: no push button acts on Escape.
    TCustomForm* form = M.WParam == VK_RETURN ? GetOwnerForm(this) : nullptr;
    if (form) {
        if (TWinControl* focused = form->ActiveControl()) {
            const QString cls = focused->ClassName().toUpper();
            if (cls.contains(QLatin1String("BUTTON")) && !cls.contains(QLatin1String("RADIOBUTTON"))) {
                M.Result = 0;
                return;
            }
        }
    }
    bDown = true;
    Click();
    M.Result = 1;
}

void TLbButton::CMEnabledChanged(TMessage& M) {
    TCustomControl::CMEnabledChanged(M);
    bDown = false;
    Invalidate();
}

void TLbButton::WndProc(TMessage& M) {
    // The press was taken away (the form hid, a modal form opened): no click
    // is left pending for a later release or key.
    if (M.Msg == WM_CANCELMODE && bDown) {
        bDown = false;
        Invalidate();
    }
    TCustomControl::WndProc(M);
}

void TLbButton::WMSetFocus(TMessage& M) {
    TCustomControl::WMSetFocus(M);
    Invalidate();
}

void TLbButton::WMKillFocus(TMessage& M) {
    TCustomControl::WMKillFocus(M);
    Invalidate();
}

void TLbButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TCustomControl::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TAction*>(Sender);
    if (!action || !action->ActionList || !action->ActionList->Images) return;
    TImageList* images = action->ActionList->Images;
    const int index = action->ImageIndex();
    if (index < 0 || index >= images->Count() || !FGlyph->Empty()) return;
    FGlyph->SetSize(images->Width(), images->Height());
    TCanvas* c = FGlyph->Canvas();
    c->Brush().SetColor(kFuchsia);
    c->FillRect(Rect(0, 0, images->Width(), images->Height()));
    images->Draw(c, 0, 0, index);
    FNumGlyphs = 1;
    Invalidate();
}

// ---- Click

void TLbButton::Click() {
    bDown = true;
    ClickAction();
    // The base click runs a linked action; a disabled button runs nothing.
    if (Enabled() && ActionLink()) ActionLink()->Execute();
}

void TLbButton::ClickAction() {
    if (!Visible() || !Enabled() || !bDown) return;
    bDown = false;
    if (OnClick) OnClick(this);
    if (FModalResult != 0)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    if (FPopupMenu) {
        const TPoint at = ClientToScreen(Point(0, Height()));
        FPopupMenu->PopupComponent = this;
        FPopupMenu->Popup(at.X, at.Y);
    }
}

// ---- Painting

void TLbButton::Paint() {
    if (!Visible() || (ComponentState() & (csLoading | csDestroying))) return;
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    TBitmap face(W, H);
    TCanvas* fc = face.Canvas();
    fc->Font().Assign(*Font());
    if (FUseHotTrackFont && Hot()) fc->Font().Assign(FHotTrackFont);
    const bool transparent = IsTransparentStyle(FStyle);
    if (transparent) {
        fc->Brush().SetColor(kFuchsia);
        fc->FillRect(Rect(0, 0, W, H));
    }
    if (FStyle == bsOld && Focused()) {
        // The focused old-style face sits inside a black frame.
        const bool pressed = bDown && Enabled();
        TBitmap inner(std::max(0, W - 2), std::max(0, H - 2));
        inner.Canvas()->Font().Assign(fc->Font());
        DrawButtonFace(inner.Canvas(), W - 2, H - 2, pressed ? FShadowColor : FLightColor);
        fc->Draw(1, 1, &inner);
        fc->Brush().SetColor(clBlack);
        fc->FrameRect(Rect(0, 0, W, H));
    } else {
        DrawButtonFace(fc, W, H, FLightColor);
    }
    if (transparent) {
        face.SetTransparentColor(kFuchsia);
        face.SetTransparent(true);
    }
    Canvas()->Draw(0, 0, &face);
    if (Focused() && Enabled() && FStyle != bsShape) Canvas()->DrawFocusRect(Rect(4, 4, W - 4, H - 4));
}

void TLbButton::DrawButtonFace(TCanvas* c, int W, int H, TColor light) {
    if (W <= 0 || H <= 0) return;
    // 1. Pressed counts only when enabled; the press offset.
    const bool pressed = bDown && Enabled();
    const int o = (pressed && FStyle != bsEncarta) ? 1 : 0;
    const bool hot = Hot();

    // 2. Face colour.
    TColor faceColor = Color();
    if (Enabled() && FHotTrackColor != clNone) faceColor = BlendHotTrack(Color(), FHotTrackColor, FHotTrackStep);
    if (pressed && FColorWhenDown != clNone) faceColor = FColorWhenDown;

    // 3. Background.
    c->Pen().SetWidth(1);
    c->Pen().SetStyle(psSolid);
    switch (FStyle) {
    case bsNormal: case bsEncarta: case bsOld:
        c->Brush().SetColor(faceColor);
        c->FillRect(Rect(0, 0, W, H));
        break;
    case bsModern:
        VerticalBands(c, 2, W - 2, 2, H / 4 + o, light, faceColor, 32);
        VerticalBands(c, 2, W - 2, H / 4 + o, H - 1, faceColor, light, 32);
        break;
    case bsShape:
        c->Brush().SetColor(kFuchsia);
        c->FillRect(Rect(0, 0, W, H));
        break;
    case bsQuicken: break;
    }

    // 4. Frame.
    const bool classic = FStyle == bsNormal || FStyle == bsEncarta || FStyle == bsOld;
    const bool frame = Enabled() ? (!FFlat || hot || pressed) : !FFlat;
    if (classic && frame) {
        if (FStyle == bsOld) {
            c->Pen().SetColor(FShadowColor);
            if (!pressed) {
                c->MoveTo(1, H - 2);
                c->LineTo(W - 2, H - 2);
                c->LineTo(W - 2, 0);
            } else {
                c->MoveTo(1, H - 2);
                c->LineTo(1, 1);
                c->LineTo(W - 1, 1);
            }
            if (pressed) FrameLines(c, W, H, cl3DDkShadow, light);
            else FrameLines(c, W, H, light, cl3DDkShadow);
        } else if (pressed) {
            FrameLines(c, W, H, FShadowColor, light);
        } else {
            FrameLines(c, W, H, light, FShadowColor);
        }
    } else if (FStyle == bsModern) {
        c->Brush().SetStyle(bsClear);
        c->Pen().SetColor(pressed ? FShadowColor : faceColor);
        c->Rectangle(1, 1, W - 1, H - 1);
        c->Pen().SetColor(FShadowColor);
        c->RoundRect(0, 0, W, H, 6, 6);
        c->Brush().SetStyle(bsSolid);
    } else if (FStyle == bsQuicken) {
        c->Pen().SetStyle(psClear);
        c->Brush().SetColor(faceColor);
        c->RoundRect(0, 1, W, H, 4, 4);
        c->Pen().SetStyle(psSolid);
        c->Pen().SetColor(FShadowColor);
        c->MoveTo(4, 0);
        c->LineTo(W - 5, 0);
        c->MoveTo(4, H - 1);
        c->LineTo(W - 5, H - 1);
    }

    // 5. Font.
    if (FStyle == bsEncarta && pressed) c->Font().SetStyle(c->Font().Style() | fsBold);

    // 6. Glyph strip.
    const int gw = FNumGlyphs > 0 ? FGlyph->Width() / FNumGlyphs : 0;
    const int gh = FGlyph->Height();
    int image = 0;
    if (Enabled() && hot && FNumGlyphs > 3) image = 3;
    if (Enabled() && pressed && FNumGlyphs > 2) image = 2;
    if (!Enabled()) image = 1;
    if (image >= FNumGlyphs) image = 0;

    // 7. Caption: cut to the width without word wrap, then measured.
    unsigned format = DT_WORDBREAK;
    if (FAlignment == taLeftJustify) format |= DT_LEFT;
    else if (FAlignment == taRightJustify) format |= DT_RIGHT;
    else format |= DT_CENTER;
    int v;
    if (FStyle == bsShape || FLayout == blGlyphTop || FLayout == blGlyphBottom || gw == 0) v = std::max(0, W - 8);
    else v = std::max(0, W - gw - 12);
    QString caption = Caption();
    if (!FWordWrap)
        while (!caption.isEmpty() && c->TextWidth(StripHotkey(caption)) > v) caption.chop(1);
    TRect measured(0, 0, v, 0);
    if (!caption.isEmpty()) c->DrawText(caption, measured, DT_CALCRECT | format);
    const int th = caption.isEmpty() ? 0 : measured.Height();
    const int tw = caption.isEmpty() ? 0 : measured.Width();
    if (!Enabled() && FStyle != bsShape) c->Font().SetColor(kDisabledText);

    // 8. Placement.
    const int gap = caption.isEmpty() ? 0 : tw + 4;
    const bool leftFlush = FAlignment == taLeftJustify || FWordWrap;
    TRect textRect;
    unsigned textFormat = format;
    int gx = 0, gy = 0;
    if (FStyle == bsShape) {
        gx = (W - gw) / 2;
        gy = (H - gh) / 2;
        textRect = Rect(o, (H - th) / 2 + o, W, H);
        textFormat = (format & ~(DT_LEFT | DT_RIGHT)) | DT_CENTER;
    } else if (FLayout == blGlyphLeft || FLayout == blGlyphRight) {
        int tx = o + 4;
        if (FLayout == blGlyphLeft && gw > 0) tx = o + 4 + gw + 4;
        textRect = Bounds(tx, (H - th) / 2 + o, v, th);
        gy = (H - gh) / 2 + o;
        if (FLayout == blGlyphLeft) {
            if (leftFlush) gx = o + 4;
            else if (FAlignment == taRightJustify) gx = W + o - gw - gap - 4;
            else gx = (W - gw) / 2 + o - gap / 2;
        } else {
            if (leftFlush) gx = o + 4 + gap;
            else if (FAlignment == taRightJustify) gx = W + o - gw - 4;
            else gx = (W - gw) / 2 + o + gap / 2;
        }
    } else {
        const int total = gh > 0 ? th + gh + 4 : th;
        if (FAlignment == taLeftJustify) gx = o + 4;
        else if (FAlignment == taRightJustify) gx = W + o - gw - 4;
        else gx = (W - gw) / 2 + o;
        int ty;
        if (FLayout == blGlyphTop) {
            gy = (H - total) / 2 + o;
            ty = gy + gh;
        } else {
            ty = (H - total) / 2 + o;
            gy = ty + th;
        }
        textRect = Bounds(o + 4, ty, v, th);
    }

    if (gw > 0 && gh > 0) {
        TBitmap img;
        CopyStripImage(FGlyph.get(), image, gw, gh, img);
        c->Draw(gx, gy, &img);
    }
    if (!caption.isEmpty()) {
        c->SetBkMode(TRANSPARENT);
        c->Brush().SetStyle(bsClear);
        c->DrawText(caption, textRect, textFormat);
        c->Brush().SetStyle(bsSolid);
    }

    // 9. The popup arrow.
    if (FPopupMenu) {
        TBitmap arrow;
        if (LoadResourceBitmap(&arrow, QStringLiteral("LBARROW"))) {
            arrow.SetTransparentMode(tmAuto);
            arrow.SetTransparent(true);
            c->Draw(W - 11, H / 2 - 1, &arrow);
        }
    }
}
