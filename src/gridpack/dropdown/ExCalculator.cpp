#include "gridpack/dropdown/ExCalculator.h"

#include "platform/core/FloatConv.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Format.h"
#include "platform/graphics/ImageList.h"

#include <cmath>

namespace {
QChar DS() { return FormatSettings.DecimalSeparator; }
QChar TS() { return FormatSettings.ThousandSeparator; }
const QString kError = QStringLiteral("Error");

// The keypad in index order.
struct TKeypadButton {
    const char* Caption;
    const char* Name;
    int Tag;
    bool Special;
};
constexpr TKeypadButton kKeypad[] = {
    {"", "BTN_ON", 30, false},      {"Back", "BTN_BACK", 31, true}, {"CE", "BTN_CE", 32, true},
    {"C", "BTN_C", 16, true},       {"MC", "BTN_MC", 33, true},     {"MR", "BTN_MR", 34, true},
    {"MS", "BTN_MS", 35, true},     {"M+", "BTN_M+", 36, true},     {"0", "BTN_0", 0, false},
    {"1", "BTN_1", 1, false},       {"4", "BTN_4", 4, false},       {"7", "BTN_7", 7, false},
    {"8", "BTN_8", 8, false},       {"5", "BTN_5", 5, false},       {"2", "BTN_2", 2, false},
    {"+/-", "BTN_+/-", 14, false},  {".", "BTN_.", 15, false},      {"3", "BTN_3", 3, false},
    {"6", "BTN_6", 6, false},       {"9", "BTN_9", 9, false},       {"/", "BTN_/", 13, true},
    {"*", "BTN_*", 12, true},       {"-", "BTN_-", 11, true},       {"+", "BTN_+", 10, true},
    {"=", "BTN_=", 17, true},       {"1/x", "BTN_1/x", 38, false},  {"%", "BTN_%", 18, false},
    {"sqrt", "BTN_sqrt", 37, true},
};
static_assert(sizeof(kKeypad) / sizeof(kKeypad[0]) == 28, "the calculator keypad has 28 buttons");

// Rows 1 to 4 of each column, by keypad index.
constexpr int kColumns[6][4] = {
    {4, 5, 6, 7}, {11, 10, 9, 8}, {12, 13, 14, 15}, {19, 18, 17, 16}, {20, 21, 22, 23}, {27, 26, 25, 24},
};
// The step from one column to the next: a gap, or a shared border line.
constexpr int kColumnStep[5] = {4, -1, -1, 4, -1};
}  // namespace

// ---------------------------------------------------------------------------
// TButtonAppearance
// ---------------------------------------------------------------------------

TButtonAppearance::TButtonAppearance()
    : FColors{0x9A915F, 0xB0A170, 0x9F6F1C, 0xD5C244, 0x4B2F08, 0xADB514, 0xD5C244, 0xD5C244,
              0xFFFFFF, 0,        0,        0,        0,        0x000080} {
    FFont.SetSize(10);
    FFont.SetStyle(fsBold);
    FFont.OnChange = [this](TGraphicsObject*) {
        if (OnChange) OnChange(this);
    };
}

void TButtonAppearance::Set(TField f, TColor v) {
    if (FColors[f] == v) return;
    FColors[f] = v;
    if (OnChange) OnChange(this);
}

void TButtonAppearance::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TButtonAppearance*>(Source)) {
        for (int f = 0; f < bfCount; ++f) FColors[f] = s->FColors[f];
        FFont.Assign(s->FFont);
        if (OnChange) OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TButtonItem(s)
// ---------------------------------------------------------------------------

TButtonItem::TButtonItem(TCollection* Collection) : TCollectionItem(Collection) {}

void TButtonItem::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TButtonItem*>(Source)) {
        Caption = s->Caption;
        CaptionColor = s->CaptionColor;
        Tag = s->Tag;
        ImageIndex = s->ImageIndex;
        FImage.Assign(&s->FImage);
        FEnabled = s->FEnabled;
        FName = s->FName;
        return;
    }
    TCollectionItem::Assign(Source);
}

TButtonItems::TButtonItems(TPersistent* AOwner) : TOwnedCollection(AOwner, TCollection::ItemClass<TButtonItem>()) {}

// ---------------------------------------------------------------------------
// TCustomButtonPanel
// ---------------------------------------------------------------------------

TCustomButtonPanel::TCustomButtonPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FButtons = new TButtonItems(this);
    FButtonAppearance = new TButtonAppearance();
    FButtons->OnChange = [this](TObject*) { Changed(); };
    FButtonAppearance->OnChange = [this](TObject*) { Changed(); };
}

TCustomButtonPanel::~TCustomButtonPanel() {
    FButtons->OnChange = nullptr;
    FButtonAppearance->OnChange = nullptr;
    delete FButtons;
    delete FButtonAppearance;
}

void TCustomButtonPanel::Changed() {
    // Inside a drop-down the popup repaints the keypad.
    if (!FExDropDown) Invalidate();
}

void TCustomButtonPanel::SetButtonPanelType(TButtonPanelType v) {
    FButtonPanelType = v;
    UpdateButtonsPosition();
}

void TCustomButtonPanel::SetImages(TImageList* v) {
    if (auto* c = dynamic_cast<TComponent*>(FImages)) c->RemoveFreeNotification(this);
    FImages = v;
    if (auto* c = dynamic_cast<TComponent*>(FImages)) c->FreeNotification(this);
    UpdateButtonsPosition();
}

void TCustomButtonPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FImages && AComponent == dynamic_cast<TComponent*>(FImages)) FImages = nullptr;
}

void TCustomButtonPanel::Loaded() {
    TCustomControl::Loaded();
    if (!FExDropDown) CreateButtons();
}

void TCustomButtonPanel::GetButtonsRect(TRect& R) {
    R = ClientRect();
    InflateRect(R, -FOffSetX, -FOffSetY);
}

void TCustomButtonPanel::GetButtonSize(TSize& S) {
    S = TSize(0, 0);
    TCanvas* c = Canvas();
    c->Font().Assign(*FButtonAppearance->Font());
    for (int i = 0; i < FButtons->Count(); ++i) {
        TButtonItem* b = FButtons->Item(i);
        int cw = 0, ch = 0;
        if (b->Image()->Width() > 0) {
            cw = b->Image()->Width();
            ch = b->Image()->Height();
        } else if (FImages && b->ImageIndex >= 0) {
            cw = FImages->Width();
            ch = FImages->Height();
        }
        int tw = 0, th = 0;
        if (!b->Caption.isEmpty()) {
            tw = c->TextWidth(b->Caption);
            th = c->TextHeight(b->Caption);
        }
        int w, h;
        if (FButtonLayout == ilCaptionLeft || FButtonLayout == ilCaptionRight) {
            w = cw + FCaptionGap + tw;
            h = std::max(ch, th);
        } else {
            w = std::max(cw, tw);
            h = ch + FCaptionGap + th;
        }
        S.cx = std::max<int>(S.cx, w);
        S.cy = std::max<int>(S.cy, h);
    }
    S.cx += 2 * FButtonOffSetX;
    S.cy += 2 * FButtonOffSetY;
}

void TCustomButtonPanel::ClearButtons() { FButtons->Clear(); }

void TCustomButtonPanel::ResetButtons() {
    ClearButtons();
    CreateButtons();
}

void TCustomButtonPanel::CreateButtons() {
    if (FButtonPanelType != plCalculator || FButtons->Count() > 0) return;
    FButtons->BeginUpdate();
    for (const TKeypadButton& k : kKeypad) {
        TButtonItem* b = FButtons->Add();
        b->Caption = QString::fromLatin1(k.Caption);
        b->FName = QString::fromLatin1(k.Name);
        b->Tag = k.Tag;
        b->FSpecial = k.Special;
        if (k.Special) b->CaptionColor = 0x000080;
    }
    FButtons->EndUpdate();
    UpdateButtonsPosition();
}

void TCustomButtonPanel::UpdateButtonsPosition() {
    if (FButtonPanelType != plCalculator || FButtons->Count() < 28) return;
    TRect A;
    GetButtonsRect(A);
    const int w = (A.Width() - 8) / 6, h = (A.Height() - 4) / 5;
    auto place = [&](int index, int x, int y, int bw) {
        TButtonItem* b = FButtons->Item(index);
        b->FLeft = x;
        b->FTop = y;
        b->FWidth = bw;
        b->FHeight = h;
    };
    // 1. The top row's first cell.
    place(0, A.Left, A.Top, w);
    // 2-4. The columns of rows 1 to 4.
    int x = A.Left;
    for (int col = 0; col < 6; ++col) {
        int y = A.Top + h + 4;
        for (int row = 0; row < 4; ++row) {
            place(kColumns[col][row], x, y, w);
            y += h - 1;
        }
        if (col < 5) x += w + kColumnStep[col];
    }
    // 5. Back, CE and C share the rest of the top row; C reaches the right.
    const int R = x + w;
    const int L = A.Left + w + 4;
    const int W = (R - L - 8) / 3;
    place(1, L, A.Top, W);
    place(2, L + W + 4, A.Top, W);
    place(3, L + 2 * W + 8, A.Top, R - (L + 2 * W + 8));
}

int TCustomButtonPanel::ButtonAtPos(int X, int Y) const {
    for (int i = 0; i < FButtons->Count(); ++i) {
        TButtonItem* b = FButtons->Item(i);
        if (b->FWidth > 0 && b->BoundsRect().Contains(Point(X, Y))) return b->FEnabled ? i : -1;
    }
    return -1;
}

void TCustomButtonPanel::InvalidateButton(int Index) {
    if (Index < 0 || Index >= FButtons->Count()) return;
    TRect r = FButtons->Item(Index)->BoundsRect();
    InflateRect(r, 8, 8);
    ::InvalidateRect(this, &r, false);
}

void TCustomButtonPanel::ButtonClick(int Index) {
    if (OnButtonClick) OnButtonClick(this, Index);
}

void TCustomButtonPanel::DrawButton(int Index, TCanvas* ACanvas) {
    if (!ACanvas || Index < 0 || Index >= FButtons->Count()) return;
    TButtonItem* b = FButtons->Item(Index);
    if (b->FWidth <= 0 || b->FHeight <= 0) return;
    TRect r = b->BoundsRect();
    // 1. A classic push button in its state.
    ACanvas->FillRect(r);
    unsigned state = DFCS_BUTTONPUSH;
    if (!Enabled()) state |= DFCS_INACTIVE;
    else if (Index == FButtonDown) state |= DFCS_PUSHED;
    else if (Index == FButtonHot) state |= DFCS_HOT;
    TRect frame = r;
    ACanvas->DrawFrameControl(frame, DFC_BUTTON, state);
    // 2. The content: the picture, or an image of the list.
    int cw = 0, ch = 0;
    if (b->Image()->Width() > 0) {
        cw = b->Image()->Width();
        ch = b->Image()->Height();
    } else if (FImages && b->ImageIndex >= 0) {
        cw = FImages->Width();
        ch = FImages->Height();
    }
    TRect area = r;
    InflateRect(area, -FButtonOffSetX, -FButtonOffSetY);
    // 3. The caption's font.
    ACanvas->Font().Assign(*FButtonAppearance->Font());
    ACanvas->Font().SetColor(b->FSpecial ? FButtonAppearance->SpecialTextColor() : FButtonAppearance->TextColor());
    ACanvas->Brush().SetStyle(bsClear);
    const int th = b->Caption.isEmpty() ? 0 : ACanvas->TextHeight(b->Caption);
    // 4. Caption and content by the layout.
    TRect text = area;
    int cx = area.Left, cy = area.Top + (area.Height() - ch) / 2;
    switch (FButtonLayout) {
    case ilCaptionLeft:
        text.Right -= cw;
        cx = area.Left + (b->Caption.isEmpty() ? 0 : ACanvas->TextWidth(b->Caption)) + FCaptionGap;
        break;
    case ilCaptionRight:
        text.Left = area.Left + cw + FCaptionGap;
        break;
    case ilCaptionTop:
        if (!b->Caption.isEmpty()) {
            text.Bottom -= ch;
            cy = area.Top + th + FCaptionGap;
        }
        break;
    case ilCaptionBottom:
        if (!b->Caption.isEmpty()) {
            cy = area.Top;
            text.Top = cy + ch + FCaptionGap;
        }
        break;
    }
    if (cw > 0) {
        if (b->Image()->Width() > 0) ACanvas->Draw(cx, cy, b->Image()->Graphic());
        else FImages->Draw(ACanvas, cx, cy, b->ImageIndex, b->FEnabled && Enabled());
    }
    if (!b->Caption.isEmpty()) {
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (cw == 0) flags |= DT_CENTER;
        ACanvas->DrawText(b->Caption, text, flags);
    }
    ACanvas->Brush().SetStyle(bsSolid);
}

void TCustomButtonPanel::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    if (!FExDropDown) {
        c->Pen().SetColor(clBlack);
        c->Brush().SetStyle(bsClear);
        const TRect r = ClientRect();
        c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        c->Brush().SetStyle(bsSolid);
    }
    for (int i = 0; i < FButtons->Count(); ++i)
        if (i != FButtonHot) {
            c->Brush().SetColor(Color());
            DrawButton(i, c);
        }
    if (FButtonHot >= 0) {
        c->Brush().SetColor(Color());
        DrawButton(FButtonHot, c);
    }
}

void TCustomButtonPanel::WMSize(TMessage& M) {
    TCustomControl::WMSize(M);
    UpdateButtonsPosition();
}

void TCustomButtonPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = ButtonAtPos(X, Y);
    if (i < 0) return;
    FButtonDown = i;
    InvalidateButton(i);
}

void TCustomButtonPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = ButtonAtPos(X, Y);
    if (i == FButtonHot) return;
    const int old = FButtonHot;
    FButtonHot = i;
    InvalidateButton(old);
    InvalidateButton(i);
}

void TCustomButtonPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    const int down = FButtonDown;
    FButtonDown = -1;
    if (down < 0) return;
    InvalidateButton(down);
    if (ButtonAtPos(X, Y) == down) ButtonClick(down);
}

void TCustomButtonPanel::CMMouseLeave(TMessage& M) {
    TCustomControl::CMMouseLeave(M);
    const int old = FButtonHot;
    FButtonHot = -1;
    InvalidateButton(old);
}

// ---------------------------------------------------------------------------
// TExCalculatorDropdown
// ---------------------------------------------------------------------------

TExCalculatorDropdown::TExCalculatorDropdown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    // Made before the second phase applies the component style to it.
    FCalcButtonAppearance = new TButtonAppearance();
    FEditType = etFloat;
    FPrecision = 2;
    FDropDownWidth = 230;
    FDropDownHeader->SetVisible(false);
    FDropDownFooter->SetVisible(false);
}

void TExCalculatorDropdown::AfterConstruction() {
    TExCustomDropDown::AfterConstruction();
    // The calculator's own popup colour replaces the style's.
    SetDropDownColor(0xFFFFFF);
}

TExCalculatorDropdown::~TExCalculatorDropdown() { delete FCalcButtonAppearance; }

void TExCalculatorDropdown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FExButtonPanel) FExButtonPanel = nullptr;
}

void TExCalculatorDropdown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (FExButtonPanel || !DropDownForm()) return;
    FExButtonPanel = new TCustomButtonPanel(this);
    FExButtonPanel->FreeNotification(this);
    FExButtonPanel->SetExDropDown(this);
    FExButtonPanel->SetParent(DropDownForm());
    FExButtonPanel->SetHeight(150);
    FExButtonPanel->CreateButtons();
    SetDropDownControl(FExButtonPanel);
    FExButtonPanel->OnButtonClick = [this](TObject* s, int i) { ButtonPanelClick(s, i); };
}

void TExCalculatorDropdown::BeforeDropDown() {
    TExCustomDropDown::BeforeDropDown();
    if (DropDownForm()) DropDownForm()->SetCancelOnDeActivate(false);
    if (FExButtonPanel) {
        // The popup is measured from the keypad's own height; placing fills
        // the popup with it again.
        FExButtonPanel->SetAlign(alNone);
        FExButtonPanel->SetHeight(150);
        FExButtonPanel->SetButtonAppearance(FCalcButtonAppearance);
        FExButtonPanel->SetColor(DropDownColor());
        FExButtonPanel->UpdateButtonsPosition();
    }
    FNewval = true;
    FDecim = 0;
    FCalcClosed = false;
}

void TExCalculatorDropdown::SetComponentStyle(TQORStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    TButtonAppearance* a = FCalcButtonAppearance;
    const TExButtonAppearance* b = ButtonAppearance();
    if (!a || !b) return;
    a->Set(TButtonAppearance::bfBorderColor, b->BorderColor());
    a->Set(TButtonAppearance::bfBorderColorHot, b->BorderColorHot());
    a->Set(TButtonAppearance::bfBorderColorDown, b->BorderColorDown());
    a->Set(TButtonAppearance::bfColor, b->Color());
    a->Set(TButtonAppearance::bfColorTo, b->ColorTo());
    a->Set(TButtonAppearance::bfColorDown, b->ColorDown());
    a->Set(TButtonAppearance::bfColorDownTo, b->ColorDownTo());
    a->Set(TButtonAppearance::bfColorHot, b->ColorHot());
    a->Set(TButtonAppearance::bfColorHotTo, b->ColorHotTo());
    if (AStyle == tsOffice2010Blue || AStyle == tsOffice2010Silver || AStyle == tsOffice2010Black) {
        a->Set(TButtonAppearance::bfGlowColorHot, b->ColorHot());
        a->Set(TButtonAppearance::bfGlowColorDown, b->ColorHot());
    } else {
        a->Set(TButtonAppearance::bfGlowColorDown, 0xD5C244);
        a->Set(TButtonAppearance::bfGlowColorHot, b->ColorDownTo());
    }
}

void TExCalculatorDropdown::CMEnter(TMessage& M) {
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TExCustomDropDown::CMEnter(M);
}

long double TExCalculatorDropdown::DisplayValue() const {
    return StrToFloat(StripThousandSeparators(Text()));
}

long double TExCalculatorDropdown::Value() {
    if (Text().isEmpty()) SetText(QStringLiteral("0"));
    double v = 0;
    if (!TryStrToFloat(StripThousandSeparators(Text()), v)) return 0;
    return v;
}

void TExCalculatorDropdown::SetValue(long double v) { SetText(::Format(QStringLiteral("%g"), {double(v)})); }

void TExCalculatorDropdown::SetShowThousandSeparator(bool v) {
    if (v == FShowThousandSeparator) return;
    FShowThousandSeparator = v;
    const double old = GetFloatValue();
    SetEditType(v ? etMoney : etFloat);
    SetFloatValue(old);
}

void TExCalculatorDropdown::ResetToZero() {
    SetText(QStringLiteral("0"));
    FPrevval = 0;
    FPrevop = -1;
}

void TExCalculatorDropdown::ZeroWhenEmptyOrError() {
    if (Text().isEmpty() || Text() == kError) SetText(QStringLiteral("0"));
}

void TExCalculatorDropdown::CalcPendingOperation() {
    // 1.
    ZeroWhenEmptyOrError();
    // 2. A text that is no number fails here, before anything changes.
    const long double x = DisplayValue();
    // 3.
    long double r = FPrevval;
    switch (FPrevop) {
    case 0: r = x + FPrevval; break;
    case 1: r = x * FPrevval; break;
    case 2: r = FPrevval - x; break;
    case 3:
        if (x == 0) {
            FPrevval = 0;
            SetText(kError);
            return;
        }
        r = FPrevval / x;
        break;
    default: r = x; break;
    }
    // 4. A result out of range (overflow and the like) counts as 0; the
    // range is the shown number's, narrower than the running value's.
    FPrevval = std::isfinite(double(r)) ? r : 0;
    // 5.
    SetFloatValue(double(FPrevval));
    FNewval = true;
}

void TExCalculatorDropdown::DoAdd() {
    CalcPendingOperation();
    FPrevop = 0;
}
void TExCalculatorDropdown::DoSubtract() {
    CalcPendingOperation();
    FPrevop = 2;
}
void TExCalculatorDropdown::DoMultiply() {
    CalcPendingOperation();
    FPrevop = 1;
}
void TExCalculatorDropdown::DoDivide() {
    CalcPendingOperation();
    FPrevop = 3;
}

void TExCalculatorDropdown::DoEquals() {
    CalcPendingOperation();
    if (Text().isEmpty()) SetText(QStringLiteral("0"));
    FPrevop = -1;
    // The chain goes on from the value as shown.
    if (Text() != kError) FPrevval = DisplayValue();
}

void TExCalculatorDropdown::DoPercent() {
    ZeroWhenEmptyOrError();
    const long double r = FPrevval * DisplayValue() / 100;
    SetText(::Format(QStringLiteral("%g"), {double(std::isfinite(r) ? r : 0)}));
}

bool TExCalculatorDropdown::AtMaxLength() const { return MaxLength() > 0 && WholeText().size() >= MaxLength(); }

void TExCalculatorDropdown::ButtonPanelClick(TObject*, int Index) {
    if (!FExButtonPanel || Index < 0 || Index >= FExButtonPanel->Buttons()->Count()) return;
    const int tag = FExButtonPanel->Buttons()->Item(Index)->Tag;
    // 1.
    BeforeCalcInput();
    // 2.
    if ((tag >= 10 && tag <= 14) || (tag >= 16 && tag <= 18)) FDecim = 0;
    // 3. A full edit takes no more digits, signs or separators.
    if (tag >= 0 && tag <= 15 && tag != 10 && tag != 11 && tag != 12 && tag != 13 && AtMaxLength()) return;
    // 4.
    switch (tag) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: {
        const double v = GetFloatValue();
        if ((v == 0 && FDecim == 0) || FNewval) {
            SetText(QString::number(tag));
            FNewval = false;
        } else if (FDecim > 0) {
            SetFloatValue(v + double(tag) / FDecim);
            FDecim *= 10;
        } else {
            SetFloatValue(v * 10 + tag);
        }
        break;
    }
    case 10: DoAdd(); break;
    case 11: DoSubtract(); break;
    case 12: DoMultiply(); break;
    case 13: DoDivide(); break;
    case 14: {
        // A leading '-' goes, else one is put in front (a '-' inside, as in
        // an exponent, is no sign).
        const QString t = Text();
        SetText(t.startsWith(QLatin1Char('-')) ? t.mid(1) : QLatin1Char('-') + t);
        break;
    }
    case 15:
        if (!Text().contains(DS())) SetRawText(WholeText() + DS());
        FDecim = 10;
        if (FNewval) SetText(QStringLiteral("0"));
        FNewval = false;
        break;
    case 16: case 30: case 32: ResetToZero(); break;
    case 17: DoEquals(); break;
    case 18: DoPercent(); break;
    case 31:
        if (FPrevop == -1) {
            const QString s = FloatToStr(GetFloatValue());
            SetText(s.left(s.size() - 1));
        }
        break;
    case 33: FMVal = 0; break;
    case 34: SetFloatValue(double(FMVal)); break;
    case 35: FMVal = DisplayValue(); break;
    case 36: FMVal = FMVal + DisplayValue(); break;
    case 37: {
        const double v = GetFloatValue();
        if (v >= 0) SetFloatValue(std::sqrt(v));
        else SetText(kError);
        break;
    }
    case 38: {
        const double v = GetFloatValue();
        if (v != 0) SetFloatValue(1 / v);
        else SetText(kError);
        break;
    }
    default: break;
    }
    // 5.
    SetModified(true);
}

void TExCalculatorDropdown::CaretAfterFirst() {
    const int at = int(Prefix.size()) + 1;
    Perform(EM_SETSEL, WPARAM(at), LPARAM(at));
}

void TExCalculatorDropdown::CalcKeyPress(QChar& Key) {
    const char16_t k = Key.unicode();
    // 1. The operators while the popup is not showing.
    if (!DroppedDown()) {
        switch (k) {
        case 13: case u'=': DoEquals(); break;
        case u'%': DoPercent(); break;
        case u'*': DoMultiply(); break;
        case u'+': DoAdd(); break;
        case u'-': DoSubtract(); break;
        case u'/': DoDivide(); break;
        case u'C': case u'c':
            SetText(QStringLiteral("0"));
            FNewval = true;
            FPrevop = -1;
            break;
        default: break;
        }
    }
    // 2. Numbers, the decimal separator, Backspace and '-' only.
    if (!Key.isNumber() && Key != DS() && k != 8 && k != u'-') {
        Key = QChar();
        return;
    }
    // 3. A number starts afresh on "0" or after an operator.
    if (Key.isNumber() && (Text() == QLatin1String("0") || FNewval)) {
        SetText(QString(Key));
        Key = QChar();
        CaretAfterFirst();
        FNewval = false;
        return;
    }
    // 4. Backspace on the last character leaves "0".
    if (Text().size() == 1 && k == 8) {
        SetText(QStringLiteral("0"));
        Key = QChar();
        CaretAfterFirst();
        return;
    }
    // 5.
    if (Key == TS()) Key = QChar();
    else if (Key == DS() && Text().contains(DS())) Key = QChar();
}

void TExCalculatorDropdown::WMChar(TMessage& M) {
    // The calculator's keys come before the edit's typed input, as a key
    // press is handled before its character reaches the window.
    QChar key(char16_t(M.WParam));
    CalcKeyPress(key);
    if (key.isNull()) return;
    M.WParam = key.unicode();
    TExCustomDropDown::WMChar(M);
}

void TExCalculatorDropdown::KeyDown(unsigned& Key, TShiftState Shift) {
    const unsigned key = Key;
    TExCustomDropDown::KeyDown(Key, Shift);
    if (key == VK_DELETE) ZeroWhenEmptyOrError();
}

void TExCalculatorDropdown::PopupCalcKey(QChar& Key) {
    const char16_t k = Key.unicode();
    // 1.
    BeforeCalcInput();
    if (Key == DS() && !Text().contains(DS())) SetRawText(WholeText() + DS());
    // 2.
    if (Key.isNumber() && AtMaxLength()) return;
    // 3.
    switch (k) {
    case 13:
        DoEquals();
        HideDropDown(false);
        break;
    case 27: HideDropDown(true); break;
    case u'%': DoPercent(); break;
    case u'*': DoMultiply(); break;
    case u'+': DoAdd(); break;
    case u'-': DoSubtract(); break;
    case u'/': DoDivide(); break;
    case u'=': DoEquals(); break;
    case u'C': case u'c':
        SetText(QStringLiteral("0"));
        FPrevval = 0;
        FNewval = true;
        FPrevop = -1;
        break;
    default:
        if (Key.isNumber() && (Text() == QLatin1String("0") || FNewval)) FNewval = false;
        break;
    }
}

void TExCalculatorDropdown::DropDownKeyPress(QChar& Key) {
    QChar k = Key;
    TExCustomDropDown::DropDownKeyPress(k);
    PopupCalcKey(Key);
}

void TExCalculatorDropdown::DropDownKeyDown(unsigned& Key, TShiftState Shift) {
    TExCustomDropDown::DropDownKeyDown(Key, Shift);
    if (Key == VK_TAB || Key == VK_F4) {
        HideDropDown(false);
    } else if (Key == VK_BACK) {
        QString t = Text();
        t.chop(1);
        SetText(t);
        ZeroWhenEmptyOrError();
    }
}
