// The drop-down edit: construction, layout, border, label, colour presets,
// and the popup's life cycle with the drop-down button.
#include "gridpack/dropdown/ExDropDown.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/graphics/ImageList.h"

#include <algorithm>

int SystemFontHeight() { return 16; }

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TExCustomDropDown::TExCustomDropDown(TComponent* AOwner)
    : TCustomMaskEdit(AOwner), FDropDownHeader(new THeaderAppearance(this)),
      FDropDownFooter(new TFooterAppearance(this)), FButtonAppearance(new TExButtonAppearance),
      FIsWinXP(IsWinXPOrLater()), FIsThemed(HasComCtl6()) {
    SetBounds(Left(), Top(), 200, 21);
    FDropDownHeader->OnChange = [this](TObject* s) { HeaderChanged(s); };
    FDropDownHeader->OnButtonsChanged = [this](TObject* s) { HeaderChanged(s); };
    FDropDownFooter->OnChange = [this](TObject* s) { FooterChanged(s); };
    FDropDownFooter->OnButtonsChanged = [this](TObject* s) { FooterChanged(s); };
    FLabelFont.OnChange = [this](TGraphicsObject*) { LabelFontChanged(); };
}

void TExCustomDropDown::AfterConstruction() {
    TCustomMaskEdit::AfterConstruction();
    // The popup and the button, through the operations a leaf may override.
    CreateDropDownForm();
    CreateDropDownButton();
    ControlStyle &= ~csSetCaption;
    SetReadOnly(false);
    FDropPosition = dpAuto;
    SetText(QString());
    FOldText.clear();
    FUserDropDownWidth = -1;
    FUserDropDownHeight = -1;
    SetSelectionColorStyle(scOffice2007);
    SetComponentStyle(tsOffice2007Luna);
}

// The popup, the button and the label are owned components and go with the
// edit; the popup first forgets the edit, so nothing it does on its way out
// (hiding, its strips) reaches a half-destroyed edit.
void TExCustomDropDown::DetachOwned() {
    if (FDropDownForm) {
        FDropDownForm->OnHide = nullptr;
        FDropDownForm->OnDestroy = nullptr;
        FDropDownForm->SetExDropDown(nullptr);
        if (TExHeader* h = FDropDownForm->Header()) h->SetExDropDown(nullptr);
        if (TExFooter* f = FDropDownForm->Footer()) f->SetExDropDown(nullptr);
    }
    FDropDownForm = nullptr;
    FButton = nullptr;
    FLabel = nullptr;
    FControl = nullptr;
}

void TExCustomDropDown::BeforeDestruction() {
    DetachOwned();
    TCustomMaskEdit::BeforeDestruction();
}

TExCustomDropDown::~TExCustomDropDown() {
    DetachOwned();
    FLabelFont.OnChange = nullptr;
    FDropDownHeader->OnChange = nullptr;
    FDropDownHeader->OnButtonsChanged = nullptr;
    FDropDownFooter->OnChange = nullptr;
    FDropDownFooter->OnButtonsChanged = nullptr;
    delete FDropDownHeader;
    delete FDropDownFooter;
    delete FButtonAppearance;
}

void TExCustomDropDown::CreateParams(TCreateParams& P) {
    TCustomMaskEdit::CreateParams(P);
    // Multi-line, so that the formatting rectangle is honoured.
    P.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
}

void TExCustomDropDown::CreateWnd() {
    TCustomMaskEdit::CreateWnd();
    SetEditRect();
}

void TExCustomDropDown::Loaded() {
    TCustomMaskEdit::Loaded();
    FParentFnt = ParentFont();
    SetEditRect();
    ResizeControl();
    if (FButton) FButton->SetEnabled(Enabled());
    if (FLabel && !FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
    UpdateLabel();
}

void TExCustomDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FControl) SetDropDownControl(nullptr);
    if (AComponent == FFocusControl) FFocusControl = nullptr;
    if (AComponent == FLabel) FLabel = nullptr;
    if (AComponent == FDropDownForm) FDropDownForm = nullptr;
    if (AComponent == FButton) FButton = nullptr;
}

QString TExCustomDropDown::Version() const {
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TExCustomDropDown::SetEditorEnabled(bool v) {
    FEditorEnabled = v;
    if (v) ControlStyle |= csDoubleClicks;
    else ControlStyle &= ~csDoubleClicks;
}

void TExCustomDropDown::SetImages(TImageList* v) {
    if (v == FImages) return;
    FImages = v;
    Invalidate();
}

void TExCustomDropDown::SetDropDownWidth(int v) {
    if (v == FDropDownWidth) return;
    FDropDownWidth = v;
    FUserDropDownWidth = -1;
}

void TExCustomDropDown::SetDropDownHeight(int v) {
    if (v == FDropDownHeight) return;
    FDropDownHeight = v;
    FUserDropDownHeight = -1;
}

void TExCustomDropDown::SetDropDownColor(TColor v) {
    FDropDownColor = v;
    if (FDropDownForm) FDropDownForm->Invalidate();
}

void TExCustomDropDown::SetFlat(bool v) {
    if (v == FFlat) return;
    FFlat = v;
    ResizeControl();
}

void TExCustomDropDown::SetBorderColor(TColor v) {
    if (v == FBorderColor) return;
    FBorderColor = v;
    Invalidate();
    if (FButton) FButton->Button()->Invalidate();
}

void TExCustomDropDown::HeaderChanged(TObject*) {
    if (FDropDownForm && FDroppedDown) FDropDownForm->InitializeAndUpdate();
}

void TExCustomDropDown::FooterChanged(TObject*) {
    if (FDropDownForm && FDroppedDown) FDropDownForm->InitializeAndUpdate();
}

void TExCustomDropDown::SetDropDownControl(TControl* C) {
    if (C == FControl) return;
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = C;
    if (FControl) FControl->FreeNotification(this);
    PlaceDropDownControl();
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

int TExCustomDropDown::GetMinHeight() {
    // A positive font height is the cell height itself; otherwise the font is
    // measured.
    int h = Font()->Height() > 0 ? Font()->Height() : 0;
    if (h == 0) {
        Canvas()->Font().Assign(*Font());
        h = Canvas()->TextHeight(QStringLiteral("Wg"));
    }
    const int s = SystemFontHeight();
    return h + std::min(h, s) / 4;
}

void TExCustomDropDown::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLabel && FLabel->Parent()) UpdateLabel();
}

void TExCustomDropDown::WMSize(TMessage& M) {
    TCustomMaskEdit::WMSize(M);
    ResizeControl();
}

void TExCustomDropDown::ResizeControl() {
    const int minHeight = GetMinHeight();
    if (Height() < minHeight) {
        SetHeight(minHeight);
        return;
    }
    if (FButton) {
        // New-style controls with Ctl3D and a single border.
        if (BorderStyle() == bsSingle) {
            const int a = FFlat ? 3 : 4;
            FButton->SetBounds(Width() - FButtonWidth - a, FFlat ? 2 : 0, FButtonWidth, Height() - a);
        } else {
            FButton->SetBounds(Width() - FButtonWidth, 1, FButtonWidth, Height() - 2);
        }
    }
    SetEditRect();
    Invalidate();
}

void TExCustomDropDown::SetEditRect() {
    TRect r;
    if (BorderStyle() == bsSingle) {
        r.Left = 1;
        r.Top = 1;
    } else {
        r.Left = 2;
        r.Top = 3;
    }
    r.Right = ClientWidth() - FButtonWidth - 3;
    r.Bottom = ClientHeight() + 1;
    FEditRect = r;
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TExCustomDropDown::SetDropDownButtonWidth(int v) {
    if (!FButton || v == FButtonWidth) return;
    FButtonWidth = v;
    FButton->SetButtonWidth(v);
    if (FButton->WindowCreated() || Parent()) ResizeControl();
}

void TExCustomDropDown::SetDropDownButtonHint(const QString& v) {
    FButtonHint = v;
    if (!FButton) return;
    FButton->SetHint(v);
    FButton->SetShowHint(!v.isEmpty());
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TExCustomDropDown::Paint() {
    TCustomMaskEdit::Paint();
    FPaintCanvas = Canvas();
    struct Reset {
        TCanvas*& c;
        ~Reset() { c = nullptr; }
    } reset{FPaintCanvas};
    DrawFocusedText();
    if (FBorderColor != clNone || (!Enabled() && FDisabledBorder)) RedrawBorder();
}

void TExCustomDropDown::WMNCPaint(TMessage& M) {
    TCustomMaskEdit::WMNCPaint(M);
    if (FBorderColor != clNone) RedrawBorder();
}

void TExCustomDropDown::DrawFocusedText() {
    if (FEditorEnabled || !Focused() || !FFocusDraw) return;
    std::unique_ptr<TWindowCanvas> dc;
    TCanvas* c = FPaintCanvas;
    if (!c) {
        dc = GetDC(this);
        c = dc->Canvas();
    }
    const TRect r(2, 2, Width() - FButtonWidth - 1, Height() - 2);
    c->Pen().SetColor(clBlack);
    c->Brush().SetColor(clHighlight);
    c->Rectangle(r);
    c->Font().Assign(*Font());
    c->Font().SetColor(clHighlightText);
    c->Brush().SetStyle(bsClear);
    TRect t = r;
    t.Left += 2;
    t.Right -= 3;
    c->DrawText(Text(), t, DT_SINGLELINE | DT_VCENTER);
}

void TExCustomDropDown::RedrawBorder() {
    if (Enabled() && !FFlat && FBorderColor == clNone && FFocusBorderColor == clNone) return;
    if (FPaintCanvas) {
        DrawBorder(FPaintCanvas);
    } else {
        auto dc = GetWindowDC(this);
        DrawBorder(dc->Canvas());
    }
    if (FButton) FButton->Button()->SetFocused(Focused());
}

bool TExCustomDropDown::IsHot() const {
    return FMouseInControl || Screen()->ActiveControl() == this;
}

void TExCustomDropDown::DrawBorder(TCanvas* c) {
    const TRect r(0, 0, Width(), Height());
    auto frame = [&](TColor color, const TRect& f) {
        c->Brush().SetColor(color);
        c->FrameRect(f);
    };
    if (!Enabled() && FIsThemed && FDisabledBorder) {
        frame(clSilver, r);
    } else if (FBorderColor != clNone && (!Focused() || FFocusBorderColor == clNone)) {
        frame(FBorderColor, r);
    } else if (FFocusBorderColor != clNone) {
        if (Focused()) frame(FFocusBorderColor, r);
    } else if (FFlat) {
        if (IsHot()) {
            TRect e = r;
            c->DrawEdge(e, BDR_SUNKENOUTER, BF_RECT);
            TRect f = r;
            InflateRect(f, -1, -1);
            frame(clBtnFace, f);
        } else {
            const TColor back = Parent() ? Parent()->Color() : clBtnFace;
            frame(back, r);
            TRect f = r;
            InflateRect(f, -1, -1);
            frame(back, f);
        }
    }
}

// ---------------------------------------------------------------------------
// Label
// ---------------------------------------------------------------------------

void TExCustomDropDown::CreateLabel() {
    FLabel = new TLabel(this);
    FLabel->SetParent(Parent());
    FLabel->SetFocusControl(this);
    FLabel->SetFont(FLabelFont);
    FLabel->OnClick = [this](TObject*) { DoLabelClick(); };
    FLabel->OnDblClick = [this](TObject*) { DoLabelDblClick(); };
    FLabel->SetParentFont(FParentFnt);
}

QString TExCustomDropDown::LabelCaption() const { return FLabel ? FLabel->Caption() : QString(); }

void TExCustomDropDown::SetLabelCaption(const QString& v) {
    if (!FLabel) CreateLabel();
    FLabel->SetCaption(v);
    UpdateLabel();
}

void TExCustomDropDown::UpdateLabel() {
    if (!FLabel) return;
    if (FLabel->Parent() != Parent()) FLabel->SetParent(Parent());
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->SetFont(FParentFnt ? *Font() : FLabelFont);
    TCanvas* c = Canvas();
    c->Font().Assign(*FLabel->Font());
    TRect m(0, 0, 1000, 255);
    c->DrawText(FLabel->Caption(), m, DT_CALCRECT | DT_HIDEPREFIX);
    const int w = m.Width();
    const int L = Left(), T = Top(), W = Width(), H = Height(), M = FLabelMargin;
    const int lw = FLabel->Width(), lh = FLabel->Height();
    int top = T, left = L;
    switch (FLabelPosition) {
    case lpLeftTop: top = T; left = L - w - M; break;
    case lpLeftCenter: top = T + (H - lh) / 2; left = L - w - M; break;
    case lpLeftBottom: top = T + H - lh; left = L - w - M; break;
    case lpTopLeft: top = T - lh - M; left = L; break;
    case lpBottomLeft: top = T + H + M; left = L; break;
    case lpLeftTopLeft: top = T; left = L - M; break;
    case lpLeftCenterLeft: top = T + (H - lh) / 2; left = L - M; break;
    case lpLeftBottomLeft: top = T + H - lh; left = L - M; break;
    case lpTopCenter: top = T - lh - M; left = L + (W - lw) / 2; break;
    case lpBottomCenter: top = T + H + M; left = L + (W - lw) / 2; break;
    case lpRightTop: top = T; left = L + W + M; break;
    case lpRightCenter: top = T + (H - lh) / 2; left = L + W + M; break;
    case lpRighBottom: top = T + H - lh; left = L + W + M; break;
    case lpTopRight: top = T - lh - M; left = L + W - lw; break;
    case lpBottomRight: top = T + H + M; left = L + W - lw; break;
    }
    FLabel->SetBounds(left, top, lw, lh);
    FLabel->SetVisible(Visible());
}

void TExCustomDropDown::LabelFontChanged() {
    if (!FLabel) return;
    UpdateLabel();
}

void TExCustomDropDown::CMParentFontChanged(TMessage& M) {
    TCustomMaskEdit::CMParentFontChanged(M);
    if (ParentFont()) FLabelFont.Assign(*Font());
    UpdateLabel();
}

void TExCustomDropDown::CMFontChanged(TMessage& M) {
    TCustomMaskEdit::CMFontChanged(M);
    SetEditRect();
}

void TExCustomDropDown::CMEnabledChanged(TMessage& M) {
    TCustomMaskEdit::CMEnabledChanged(M);
    if (FButton) FButton->SetEnabled(Enabled());
    if (FLabel && !FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
}

void TExCustomDropDown::CMVisibleChanged(TMessage& M) {
    TCustomMaskEdit::CMVisibleChanged(M);
    if (FLabel && !FLabel->Caption().isEmpty()) FLabel->SetVisible(Visible());
}

void TExCustomDropDown::CMMouseEnter(TMessage& M) {
    TCustomMaskEdit::CMMouseEnter(M);
    if (!Enabled()) return;
    FMouseInControl = true;
    RedrawBorder();
}

void TExCustomDropDown::CMMouseLeave(TMessage& M) {
    TCustomMaskEdit::CMMouseLeave(M);
    if (!Enabled()) return;
    FMouseInControl = false;
    RedrawBorder();
}

void TExCustomDropDown::DoLabelClick() {
    if (OnLabelClick) OnLabelClick(this);
}

void TExCustomDropDown::DoLabelDblClick() {
    if (OnLabelDblClick) OnLabelDblClick(this);
}

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

void TExCustomDropDown::SetSelectionColorStyle(TSelectionColorStyle S) {
    FSelectionColorStyle = S;
    if (const TSelectionStylePreset* p = FindSelectionStylePreset(S)) {
        FSelectionColor = p->Color;
        FSelectionColorTo = p->ColorTo;
    }
}

void TExCustomDropDown::DrawSelection(TCanvas* Canvas, const TRect& R, TColor BackgroundColor, uint8_t Piece) {
    const TSelectionStylePreset* p = FindSelectionStylePreset(FSelectionColorStyle);
    if (!p) {
        Canvas->Pen().SetColor(FSelectionColor);
        Canvas->Brush().SetColor(FSelectionColor);
        Canvas->FillRect(R);
        return;
    }
    PaintSelectionFrame(Canvas, FSelectionColor, FSelectionColorTo, p->Frame[0], p->Frame[1], p->Frame[2], p->Frame[3],
                        p->Frame[4], p->Frame[5], BackgroundColor, R, Piece);
}

void TExCustomDropDown::DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                                     TGradientDirection Direction) {
    FillGradientBands(Canvas, FromColor, ToColor, Steps, R, Direction == gdHorizontal);
}

void TExCustomDropDown::SetComponentStyle(TQORStyle AStyle) {
    FQORStyle = AStyle;
    if (const TDropDownStylePreset* p = FindDropDownStylePreset(AStyle)) {
        SetDropDownColor(p->PopupColor);
        FDropDownColorTo = p->PopupColorTo;
        if (p->SetPopupBorder) FDropDownBorderColor = p->PopupBorder;
        // Written straight into the appearances: no change notice.
        FDropDownHeader->SetColor(p->HeaderColor);
        FDropDownHeader->SetColorTo(p->HeaderColorTo);
        FDropDownHeader->Font()->SetColor(p->FontColor);
        FDropDownHeader->SetBorderColor(p->HeaderBorder);
        FDropDownFooter->SetColor(p->FooterColor);
        FDropDownFooter->SetColorTo(p->FooterColorTo);
        FDropDownFooter->Font()->SetColor(p->FontColor);
        FDropDownFooter->SetBorderColor(p->FooterBorder);
    }
    if (const TButtonStylePreset* b = FindButtonStylePreset(AStyle)) {
        TExButtonAppearance* a = FButtonAppearance;
        a->SetColor(b->Color);
        a->SetColorTo(b->ColorTo);
        a->SetBorderColor(b->BorderColor);
        a->SetColorHot(b->ColorHot);
        a->SetColorHotTo(b->ColorHotTo);
        a->SetBorderColorHot(b->BorderColorHot);
        a->SetColorDown(b->ColorDown);
        a->SetColorDownTo(b->ColorDownTo);
        a->SetBorderColorDown(b->BorderColorDown);
        a->SetColorDisabled(b->ColorDisabled);
        a->SetColorDisabledTo(b->ColorDisabledTo);
        a->SetColorChecked(b->ColorChecked);
        a->SetColorCheckedTo(b->ColorCheckedTo);
        a->SetBorderColorChecked(b->BorderColorChecked);
    }
}

void TExCustomDropDown::SetColorTones(const TColorTones& ATones) {
    if (FButton) {
        FButton->SetButtonColor(ATones.Background.BrushColor);
        FButton->SetButtonColorHot(ATones.Hover.BrushColor);
        FButton->SetButtonColorDown(ATones.Selected.BrushColor);
        FButton->SetButtonBorderColor(ATones.Background.BorderColor);
    }
    SetBorderColor(ATones.Background.BorderColor);
}

void TExCustomDropDown::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TExCustomDropDown*>(Source);
    if (!s) return;
    FFocusDraw = s->FFocusDraw;
    FForceShadow = s->FForceShadow;
    FDropDownEnabled = s->FDropDownEnabled;
    SetDropDownColor(s->FDropDownColor);
    FDropDownColorTo = s->FDropDownColorTo;
    FDropDownGradient = s->FDropDownGradient;
    FDropDownBorderColor = s->FDropDownBorderColor;
    FDropDownBorderWidth = s->FDropDownBorderWidth;
    FDropDownShadow = s->FDropDownShadow;
    SetDropDownWidth(s->FDropDownWidth);
    SetDropDownHeight(s->FDropDownHeight);
    FDropDownSizeable = s->FDropDownSizeable;
    SetEditType(s->FEditType);
    ReturnIsTab = s->ReturnIsTab;
    LengthLimit = s->LengthLimit;
    SetPrecision(s->FPrecision);
    FPrecision = s->FPrecision;
    Prefix = s->Prefix;
    Suffix = s->Suffix;
    DefaultHandling = s->DefaultHandling;
    CanUndo = s->CanUndo;
    ExcelStyleDecimalSeparator = s->ExcelStyleDecimalSeparator;
    ValidChars = s->ValidChars;
    Signed = s->Signed;
    AutoThousandSeparator = s->AutoThousandSeparator;
    FButtonAppearance->Assign(s->FButtonAppearance);
    FDropDownHeader->Assign(s->FDropDownHeader);
    FDropDownFooter->Assign(s->FDropDownFooter);
    FDropPosition = s->FDropPosition;
    SetFlat(s->FFlat);
    SetDropDownButtonWidth(s->FButtonWidth);
    SetDropDownButtonHint(s->FButtonHint);
    SetEditorEnabled(s->FEditorEnabled);
    if (FButton && s->FButton) {
        FButton->SetGlyph(s->FButton->Glyph());
        FButton->SetButtonCaption(s->FButton->ButtonCaption());
    }
    FEtched = s->FEtched;
    SetImages(s->FImages);
    FSelectionColorStyle = s->FSelectionColorStyle;
    FSelectionColor = s->FSelectionColor;
    FSelectionColorTo = s->FSelectionColorTo;
}

// ---------------------------------------------------------------------------
// The drop-down button
// ---------------------------------------------------------------------------

TExDropDownSpeedButton::TExDropDownSpeedButton(TComponent* AOwner)
    : TSpeedButton(AOwner), FIsWinXP(HasComCtl6()) {}

TDropDownEditButton* TExDropDownSpeedButton::Owner_() const { return dynamic_cast<TDropDownEditButton*>(Parent()); }

void TExDropDownSpeedButton::SetEtched(bool v) {
    if (v == FEtched) return;
    FEtched = v;
    Invalidate();
}

void TExDropDownSpeedButton::SetFocused(bool v) {
    if (v == FFocused) return;
    FFocused = v;
    Invalidate();
}

bool TExDropDownSpeedButton::Pressed() const { return (FState == bsDown || FState == bsExclusive) && !FUp; }

void TExDropDownSpeedButton::CMMouseEnter(TMessage& M) {
    TSpeedButton::CMMouseEnter(M);
    FHot = true;
    Invalidate();
}

void TExDropDownSpeedButton::CMMouseLeave(TMessage& M) {
    TSpeedButton::CMMouseLeave(M);
    FHot = false;
    Invalidate();
}

void TExDropDownSpeedButton::Paint() {
    if (FButtonStyle == bsDropDown) PaintDropDown();
    else PaintButtonStyle();
}

void TExDropDownSpeedButton::PaintDropDown() {
    TCanvas* c = Canvas();
    TDropDownEditButton* B = Owner_();
    TExCustomDropDown* E = B ? B->Edit() : nullptr;
    const TRect r = ClientRect();
    const TPoint arrow[3] = {Point(5, 7), Point(11, 7), Point(8, 10)};
    if (!B || B->ButtonColor() == clNone) {
        if (!Glyph()->Empty()) {
            c->Pen().SetColor(clGray);
            c->Brush().SetColor(clBtnFace);
            c->Rectangle(r);
            c->Brush().SetColor(clBtnFace);
            c->BrushCopy(Rect(0, 0, Glyph()->Width(), Glyph()->Height()), Glyph(),
                         Rect(0, 0, Glyph()->Width(), Glyph()->Height()), Glyph()->Canvas()->Pixels(0, Glyph()->Height() - 1));
            return;
        }
        if (E) SetEnabled(E->Enabled() && !E->ReadOnly());
        // Visual styles are never active here: the classic face.
        TSpeedButton::Paint();
        c->Pen().SetColor(clBtnFace);
        c->MoveTo(Width() - 2, 0);
        c->LineTo(0, 0);
        c->LineTo(0, Height() - 1);
        c->Pen().SetColor(clWhite);
        c->MoveTo(Width() - 3, 1);
        c->LineTo(1, 1);
        c->LineTo(1, Height() - 2);
        c->Pen().SetColor(clBlack);
        c->Brush().SetColor(clBlack);
        c->Polygon(arrow, 3);
        return;
    }
    TColor face = B->ButtonColor(), text = B->ButtonTextColor();
    if (Pressed()) {
        face = B->ButtonColorDown();
        text = B->ButtonTextColorDown();
    } else if (FHot) {
        face = B->ButtonColorHot();
        text = B->ButtonTextColorHot();
    }
    c->Brush().SetColor(face);
    c->FillRect(r);
    const TColor line = E ? E->BorderColor() : clNone;
    if (line != clNone) {
        c->Pen().SetColor(line);
        c->MoveTo(0, 0);
        c->LineTo(0, Height());
    }
    if (text != clNone) {
        c->Pen().SetColor(text);
        c->Brush().SetColor(text);
        c->Polygon(arrow, 3);
    }
}

void TExDropDownSpeedButton::PaintButtonStyle() {
    TCanvas* c = Canvas();
    TDropDownEditButton* B = Owner_();
    TExCustomDropDown* E = B ? B->Edit() : nullptr;
    if (E) c->Font().Assign(*E->Font());
    if (!Flat()) {
        TSpeedButton::Paint();
        return;
    }
    const bool down = Pressed();
    TRect r = ClientRect();
    c->Brush().SetColor(clBtnFace);
    c->FillRect(r);
    TRect e(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
    c->DrawEdge(e, FEtched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT | (down ? unsigned(BF_FLAT) : 0u));
    TRect g = r;
    InflateRect(g, -3, -3);
    if (down) OffsetRect(g, 1, 1);
    if (!Glyph()->Empty()) DrawTransparentBitmap(c, Glyph(), clBtnFace, g);
    TRect t = r;
    InflateRect(t, -3, -1);
    if (down) OffsetRect(t, 1, 1);
    c->Brush().SetStyle(bsClear);
    c->DrawText(Caption(), t, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}

TDropDownEditButton::TDropDownEditButton(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle &= ~(csAcceptsControls | csSetCaption);
    ControlStyle |= csOpaque;
    FButton = new TExDropDownSpeedButton(this);
    FButton->SetParent(this);
    FButton->OnClick = [](TObject*) {};
    FButton->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { ButtonMouseUp(s, b, sh, x, y); };
    FButton->SetVisible(true);
    FButton->SetEnabled(Enabled());
    FButton->SetCaption(QString());
    FButton->SetButtonStyle(bsDropDown);
    SetBounds(0, 0, 16, 25);
}

TExCustomDropDown* TDropDownEditButton::Edit() const { return dynamic_cast<TExCustomDropDown*>(Parent()); }

void TDropDownEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    (void)AWidth;
    TWinControl::SetBounds(ALeft, ATop, FBWidth, AHeight);
    if (FButton) FButton->SetBounds(0, 0, FBWidth, AHeight);
}

void TDropDownEditButton::WMSize(TMessage& M) {
    TWinControl::WMSize(M);
    if (FButton && (FButton->Width() != FBWidth || FButton->Height() != Height()))
        FButton->SetBounds(0, 0, FBWidth, Height());
}

void TDropDownEditButton::CMEnabledChanged(TMessage& M) {
    TWinControl::CMEnabledChanged(M);
    if (FButton) FButton->SetEnabled(Enabled());
}

void TDropDownEditButton::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TDropDownEditButton::ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
    if (Button == mbLeft && OnClick && Sender == FButton) OnClick(this);
}

// ---------------------------------------------------------------------------
// The popup's operations on the edit
// ---------------------------------------------------------------------------

void TExCustomDropDown::CreateDropDownForm() {
    if (FDropDownForm) return;
    FDropDownForm = new TDropDownForm(this, 0);
    FDropDownForm->AfterConstruction();
    FDropDownForm->SetExDropDown(this);
    FDropDownForm->SetBorderStyle(bsNone);
    FDropDownForm->SetVisible(false);
    FDropDownForm->SetBounds(FDropDownForm->Left(), FDropDownForm->Top(), FDropDownWidth, FDropDownHeight);
    FDropDownForm->OnHide = [this](TObject* s) { DropDownFormHide(s); };
    FDropDownForm->OnDestroy = [this](TObject*) { DropDownFormDestroyed(); };
    FDropDownForm->OnKeyPress = [this](TObject*, QChar& k) { DropDownKeyPress(k); };
    FDropDownForm->OnKeyDown = [this](TObject*, unsigned& k, TShiftState s) { DropDownKeyDown(k, s); };
    FDropDownForm->OnKeyUp = [this](TObject*, unsigned& k, TShiftState s) { DropDownKeyUp(k, s); };
    FDropDownForm->OnMouseWheelDownEx = [this](TObject*) { DropDownMouseWheelDown(); };
    FDropDownForm->OnMouseWheelUpEx = [this](TObject*) { DropDownMouseWheelUp(); };
    FDropDownForm->OnSizing = [this](TObject*) { DropDownSizing(); };
}

void TExCustomDropDown::CreateDropDownButton() {
    if (!FButton) {
        FButton = new TDropDownEditButton(this);
        FButton->SetParent(this);
        FButton->OnClick = [this](TObject* s) { ButtonClick(s); };
    }
    UpdateDropDownButton();
}

void TExCustomDropDown::UpdateDropDownButton() {
    if (!FButton) return;
    FButton->SetButtonWidth(FButtonWidth);
    FButton->SetBounds(FButton->Left(), FButton->Top(), FButtonWidth, 17);
    FButton->SetVisible(true);
    FButton->SetFocusControl(this);
    ResizeControl();
}

void TExCustomDropDown::ButtonClick(TObject*) { DoButtonDropDown(); }

void TExCustomDropDown::BeforeDropDown() {
    if (OnBeforeDropDown) OnBeforeDropDown(this);
}

void TExCustomDropDown::FocusDropDownControl() {
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
}

void TExCustomDropDown::PlaceDropDownControl() {
    if (!FDropDownForm || !FControl || !FDropDownHeader) return;
    FControl->SetParent(FDropDownForm);
    const int top = FDropDownHeader->Visible() ? FDropDownHeader->Height() + 2 : FDropDownBorderWidth;
    FControl->SetTop(top);
    FControl->SetAlign(alClient);
}

void TExCustomDropDown::UpdateDropDownSize() {
    if (!FDropDownForm) return;
    int w;
    if (FDropDownWidth > 0) w = FDropDownWidth;
    else if (FControl && FControl->Visible()) w = FControl->Width();
    else w = Width();
    int h;
    if (FDropDownHeight > 0) {
        h = FDropDownHeight;
    } else {
        h = 2 * FDropDownBorderWidth;
        if (FDropDownHeader->Visible()) h += FDropDownHeader->Height();
        if (FDropDownFooter->Visible()) h += FDropDownFooter->Height();
        if (FControl && FControl->Visible()) h += FControl->Height();
    }
    FDropDownForm->SetBounds(FDropDownForm->Left(), FDropDownForm->Top(), w, h);
}

void TExCustomDropDown::DoDropDown() {
    if (!FDropDownForm || FDropDownForm->IsShownOnScreen() || !Enabled() || ReadOnly()) return;
    TDropDownForm* f = FDropDownForm;
    // 1-2: the leaf's settings, then the strips.
    BeforeDropDown();
    f->SetShadow(FDropDownShadow);
    f->InitializeAndUpdate();
    // 3: the shadow is a flag of the popup; this toolkit draws none.
    // 4: a provisional place, the size, the inner control.
    f->SetBounds(Left(), Top(), f->Width(), f->Height());
    UpdateDropDownSize();
    PlaceDropDownControl();
    // 5: the popup's minimum size.
    f->SetMinSize(80, 50);
    // 6: the inner control's keys come back to the edit.
    if (auto* inner = dynamic_cast<TWinControl*>(FControl)) {
        inner->OnKeyDown = [this](TObject*, unsigned& k, TShiftState s) { ControlKeyDown(k, s); };
        inner->OnKeyPress = [this](TObject*, QChar& k) { ControlKeyPress(k); };
        inner->OnKeyUp = [this](TObject*, unsigned& k, TShiftState s) { ControlKeyUp(k, s); };
    }
    // 7: the anchor point, the edit's top-left corner on the screen.
    const TPoint P = Parent() ? Parent()->ClientToScreen(Point(Left(), Top())) : ClientToScreen(Point(0, 0));
    // 8: below or above; the test compares the edit's top with the screen.
    const int pw = f->Width(), ph = f->Height();
    int top;
    switch (FDropPosition) {
    case dpDown: top = P.Y + Height() - 1; break;
    case dpUp: top = P.Y - ph; break;
    default: top = GetSystemMetrics(SM_CYSCREEN) > P.Y + ph ? P.Y + Height() - 1 : P.Y - ph; break;
    }
    int left = P.X;
    f->SetBounds(left, top, pw, ph);
    // 9: the program may refuse.
    bool acceptdrop = true;
    if (OnDropDown) OnDropDown(this, acceptdrop);
    if (!acceptdrop) return;
    // 10: kept inside the work area at the right edge only.
    const TRect work = ScreenWorkArea();
    if (work.Left >= 0 && left < work.Right && left + pw > work.Right) left = work.Right - pw;
    // 11: the size the user left it at wins.
    int W = pw, H = ph;
    if (FUserDropDownWidth != -1) W = FUserDropDownWidth;
    if (FUserDropDownHeight != -1) H = FUserDropDownHeight;
    // 12: shown (and activated) at no size first.
    f->SetMinSize(0, 0);
    f->SetBounds(left, top, 0, 0);
    f->Show();
    f->SetMinSize(80, 50);
    // 13-14.
    AdaptDropDownSize(H);
    FDroppedDown = true;
    f->SetBounds(left, top, W, H);
    // 15.
    FocusDropDownControl();
}

void TExCustomDropDown::DoHideDropDown(bool Cancelled) {
    if (!FDropDownForm || !FDropDownForm->IsShownOnScreen()) return;
    if (OnBeforeDropUp) OnBeforeDropUp(this);
    FUserDropDownWidth = FDropDownForm->Width();
    FUserDropDownHeight = FDropDownForm->Height();
    FDropDownForm->Hide();
    Application()->CancelHint();
    if (Cancelled) SetText(FOldText);
    if (OnDropUp) OnDropUp(this, Cancelled);
}

void TExCustomDropDown::DropDownFormHide(TObject*) { AfterDropUp(); }

void TExCustomDropDown::AfterDropUp() {
    FDroppedDown = false;
    if (TabStop() && CanFocus() && !Focused() && !InState(csDestroying)) SetFocus();
}

void TExCustomDropDown::DoButtonDropDown() {
    if (!FDropDownForm || FDropDownForm->IsShownOnScreen()) return;
    // Unsigned 32-bit difference: right across the counter's wrap.
    const std::uint32_t elapsed = TickCount() - FDropDownForm->DeActivateTime();
    if (elapsed > 250) DoDropDown();
}

void TExCustomDropDown::DropDownMouseWheelDown() { SelectNextItem(); }
void TExCustomDropDown::DropDownMouseWheelUp() { SelectPreviousItem(); }

void TExCustomDropDown::DropDownKeyPress(QChar& Key) { Perform(WM_CHAR, Key.unicode(), 0); }
void TExCustomDropDown::DropDownKeyDown(unsigned& Key, TShiftState) { Perform(WM_KEYDOWN, Key, 0); }
void TExCustomDropDown::DropDownKeyUp(unsigned& Key, TShiftState) { Perform(WM_KEYUP, Key, 0); }
void TExCustomDropDown::ControlKeyPress(QChar& Key) { Perform(WM_CHAR, Key.unicode(), 0); }
void TExCustomDropDown::ControlKeyDown(unsigned& Key, TShiftState) { Perform(WM_KEYDOWN, Key, 0); }
void TExCustomDropDown::ControlKeyUp(unsigned& Key, TShiftState) { Perform(WM_KEYUP, Key, 0); }

// ---------------------------------------------------------------------------
// TDropDownForm
// ---------------------------------------------------------------------------

TDropDownForm::TDropDownForm(TComponent* AOwner, int) : TForm(AOwner) {
    FShadow = true;
    FCancelOnDeActivate = true;
    FExDropDown = dynamic_cast<TExCustomDropDown*>(AOwner);
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetVisible(false);
    OnSizing = [this](TObject*) {
        if (FExDropDown) FExDropDown->DropDownSizing();
    };
}

void TDropDownForm::CreateParams(TCreateParams& P) {
    TForm::CreateParams(P);
    P.ExStyle |= WS_EX_TOPMOST;
}

void TDropDownForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TForm::SetBounds(ALeft, ATop, std::max(AWidth, FMinWidth), std::max(AHeight, FMinHeight));
}

void TDropDownForm::AdjustClientRect(TRect& R) {
    const int b = FExDropDown ? FExDropDown->DropDownBorderWidth() : 0;
    InflateRect(R, -b, -b);
}

void TDropDownForm::PaintWindow(const TPaintTarget& target) {
    TCanvas c;
    target.AttachCanvas(c);
    const TRect all = Rect(0, 0, target.Size.cx, target.Size.cy);
    if (!FExDropDown) {
        TForm::PaintWindow(target);
        return;
    }
    const int b = FExDropDown->DropDownBorderWidth();
    TRect r = all;
    InflateRect(r, -b, -b);
    const TColor from = FExDropDown->DropDownColor(), to = FExDropDown->DropDownColorTo();
    if (from != clNone && to != clNone) {
        FillGradientBands(&c, from, to, 80, r, FExDropDown->DropDownGradient() == gdHorizontal);
    } else if (from != clNone) {
        c.Brush().SetColor(from);
        c.FillRect(r);
    }
    // A border of no colour draws nothing.
    if (b > 0 && FExDropDown->DropDownBorderColor() != clNone) {
        c.Pen().SetWidth(b);
        c.Pen().SetColor(FExDropDown->DropDownBorderColor());
        c.Brush().SetStyle(bsClear);
        c.Rectangle(all.Left + b / 2, all.Top + b / 2, all.Right, all.Bottom);
    }
}

void TDropDownForm::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS; }

void TDropDownForm::WMNCHitTest(TMessage& M) {
    const TPoint p = ScreenToClient(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
    M.Result = HTNOWHERE;
    if (FSizeable && p.X > Width() - 10 && p.Y > Height() - 10) M.Result = HTBOTTOMRIGHT;
    else if (ClientRect().Contains(p)) M.Result = HTCLIENT;
}

void TDropDownForm::WndProc(TMessage& M) {
    switch (M.Msg) {
    case WM_ACTIVATE:
        TForm::WndProc(M);
        WMActivate(M);
        return;
    case WM_SIZING:
        TForm::WndProc(M);
        if (OnSizing) OnSizing(this);
        return;
    case WM_SIZE:
        TForm::WndProc(M);
        Invalidate();
        return;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
        if (delta < 0 && OnMouseWheelDownEx) OnMouseWheelDownEx(this);
        if (delta > 0 && OnMouseWheelUpEx) OnMouseWheelUpEx(this);
        TForm::WndProc(M);
        return;
    }
    default: TForm::WndProc(M); return;
    }
}

void TDropDownForm::WMActivate(TMessage& M) {
    if (FBlockActivate) return;
    if (LoWord(LPARAM(M.WParam)) != WA_INACTIVE) {
        // The owner's caption stays active.
        if (FExDropDown)
            if (TCustomForm* top = GetParentForm(FExDropDown)) top->Perform(WM_NCACTIVATE, 1);
        return;
    }
    if (!IsShownOnScreen()) return;
    FDeActivate = TickCount();
    // A window of the popup's own (a child popup) keeps it open.
    if (TWinControl* other = FindControl(HWND(M.LParam))) {
        for (TControl* p = other->Parent(); p; p = p->Parent())
            if (p == this) return;
        if (other == this) return;
    }
    if (FExDropDown) FExDropDown->DoHideDropDown(FCancelOnDeActivate);
    else Hide();
}

void TDropDownForm::InitializeAndUpdate() {
    if (!FExDropDown) return;
    PrepareHeader();
    PrepareFooter();
    AlignControls();
}

void TDropDownForm::PrepareHeader() {
    THeaderAppearance* a = FExDropDown->DropDownHeader();
    if (FHeader) {
        FHeader->SetExDropDown(FExDropDown);
        FHeader->InitButtons();
        FHeader->SetVisible(a->Visible());
    } else if (a->Visible()) {
        FHeader = new TExHeader(this);
        FHeader->SetParent(this);
        FHeader->SetHeight(a->Height());
        FHeader->SetExDropDown(FExDropDown);
        FHeader->InitButtons();
        FHeader->SetAlign(alTop);
    }
    if (FHeader) {
        FHeader->OnDrawBackGround = FExDropDown->OnDrawHeader;
        FHeader->OnGetText = FExDropDown->OnGetHeaderText;
    }
}

void TDropDownForm::PrepareFooter() {
    TFooterAppearance* a = FExDropDown->DropDownFooter();
    if (FFooter) {
        FFooter->SetExDropDown(FExDropDown);
        FFooter->InitButtons();
        FFooter->SetVisible(a->Visible());
    } else if (a->Visible()) {
        FFooter = new TExFooter(this);
        FFooter->SetParent(this);
        FFooter->SetHeight(a->Height());
        FFooter->SetExDropDown(FExDropDown);
        FFooter->InitButtons();
        FFooter->SetAlign(alBottom);
    }
    if (FFooter) {
        FFooter->OnDrawBackGround = FExDropDown->OnDrawFooter;
        FFooter->OnGetText = FExDropDown->OnGetFooterText;
    }
}
