// The spin edit and its button pair. The text is the value: each value read
// converts the text and falls back when it does not convert, each write
// limits and formats.
#include "gridpack/stringgrid/sgspin.h"

#include "platform/controls/StdMessages.h"
#include "platform/core/FloatConv.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"
#include "platform/graphics/Resources.h"

#include <cmath>

namespace {
const TColor kNone = TColor(0x1FFFFFFF);
QChar DecSep() { return ActiveFormatSettings().DecimalSeparator; }
QChar ThouSep() { return ActiveFormatSettings().ThousandSeparator; }
QChar TimeSep() { return ActiveFormatSettings().TimeSeparator; }
QChar DateSep() { return ActiveFormatSettings().DateSeparator; }
} // namespace

int SpinNextSeparator(const QString& S, QChar Sep, int Pos)
{
    int i = S.indexOf(Sep, Pos < 0 ? 0 : Pos);
    return i < 0 ? 0 : i + 1;
}

TDateTime SpinAddMonths(TDateTime D, int Months)
{
    int y, m, d;
    DecodeDate(D, y, m, d);
    int total = y * 12 + (m - 1) + Months;
    y = total / 12;
    m = total % 12 + 1;
    if (y < 1 || y > 9999)
        return D;
    d = std::min(d, DaysInAMonth(y, m));
    double frac = D - std::floor(D);
    return EncodeDate(y, m, d) + (D < 0 ? -frac : frac);
}

TDateTime SpinAddYears(TDateTime D, int Years) { return SpinAddMonths(D, Years * 12); }

// ---------------------------------------------------------------------------
// TExTimerSpeedButton
// ---------------------------------------------------------------------------

TExTimerSpeedButton::TExTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TExTimerSpeedButton::~TExTimerSpeedButton() = default;

TSgSpinButton* TExTimerSpeedButton::Pair() const { return dynamic_cast<TSgSpinButton*>(Owner()); }

void TExTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        if (TSgSpinButton* p = Pair())
            p->BtnMouseDown(this);
    }
    if (TimeBtnState & tbAllowTimer) {
        if (!FRepeatTimer) {
            FRepeatTimer = new TTimer(this);
            FRepeatTimer->OnTimer = [this](TObject* s) { TimerExpired(s); };
        }
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
    if (Parent())
        Parent()->Invalidate();
}

void TExTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
    if (Parent())
        Parent()->Invalidate();
}

void TExTimerSpeedButton::TimerExpired(TObject*)
{
    FRepeatTimer->SetInterval(100);
    if (FState == bsDown && GetCaptureControl() == this) {
        try {
            Click();
        } catch (...) {
            FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

void TExTimerSpeedButton::CMMouseEnter(TMessage& M)
{
    TSpeedButton::CMMouseEnter(M);
    FHasMouse = true;
    Invalidate();
}

void TExTimerSpeedButton::CMMouseLeave(TMessage& M)
{
    TSpeedButton::CMMouseLeave(M);
    FHasMouse = false;
    Invalidate();
}

void TExTimerSpeedButton::Paint()
{
    TSgSpinButton* p = Pair();
    // No theme for "spin" in this build: the own-colour or classic branch.
    if (p && p->ButtonColor != kNone) {
        TCanvas* c = Canvas();
        TColor col = FState == bsDown ? p->ButtonColorDown : (FHasMouse ? p->ButtonColorHot : p->ButtonColor);
        if (col == kNone)
            col = p->ButtonColor;
        TRect r = ClientRect();
        c->Brush().SetColor(col);
        c->Pen().SetColor(col);
        c->Rectangle(r);
        int L = r.Left, T = r.Top;
        std::vector<TPoint> pts;
        switch (ButtonDirection) {
        case bdLeft: pts = {Point(L + 5, T + 5), Point(L + 3, T + 7), Point(L + 5, T + 9)}; break;
        case bdRight: pts = {Point(L + 3, T + 5), Point(L + 5, T + 7), Point(L + 3, T + 9)}; break;
        case bdUp: pts = {Point(L + 4, T + 4), Point(L + 8, T + 4), Point(L + 6, T + 2)}; break;
        case bdDown: pts = {Point(L + 4, T + 2), Point(L + 8, T + 2), Point(L + 6, T + 4)}; break;
        }
        c->Brush().SetColor(clBlack);
        c->Pen().SetColor(clBlack);
        c->Polygon(pts);
        return;
    }
    TSpeedButton::Paint();
}

// ---------------------------------------------------------------------------
// TSgSpinButton
// ---------------------------------------------------------------------------

TSgSpinButton::TSgSpinButton(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle &= ~(csAcceptsControls | csSetCaption);
    ControlStyle |= csOpaque;
    FUpButton = CreateButton();
    FUpButton->ButtonDirection = bdUp;
    SetUpGlyph(nullptr);
    FDownButton = CreateButton();
    FDownButton->ButtonDirection = bdDown;
    SetDownGlyph(nullptr);
    FFocusedButton = FUpButton;
    SetBounds(0, 0, 15, 25);
}

TExTimerSpeedButton* TSgSpinButton::CreateButton()
{
    auto* b = new TExTimerSpeedButton(this);
    b->OnClick = [this](TObject* s) { BtnClick(s); };
    b->TimeBtnState = tbAllowTimer;
    b->SetParent(this);
    return b;
}

void TSgSpinButton::BtnClick(TObject* Sender)
{
    if (Sender == FUpButton) {
        if (OnUpClick)
            OnUpClick(this);
    } else if (Sender == FDownButton) {
        if (OnDownClick)
            OnDownClick(this);
    }
}

void TSgSpinButton::BtnMouseDown(TExTimerSpeedButton* Btn)
{
    if (TabStop() && CanFocus())
        SetFocusBtn(Btn);
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && CanFocus() && !Focused())
        SetFocus();
}

void TSgSpinButton::SetFocusBtn(TExTimerSpeedButton* Btn)
{
    if (TabStop() && CanFocus() && Btn != FFocusedButton) {
        FFocusedButton->TimeBtnState &= ~tbFocusRect;
        FFocusedButton = Btn;
        if (Focused()) {
            FFocusedButton->TimeBtnState |= tbFocusRect;
            Invalidate();
        }
    }
}

void TSgSpinButton::KeyDown(unsigned& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_UP:
        SetFocusBtn(FUpButton);
        FUpButton->Click();
        break;
    case VK_DOWN:
        SetFocusBtn(FDownButton);
        FDownButton->Click();
        break;
    case VK_SPACE: FFocusedButton->Click(); break;
    default: TWinControl::KeyDown(Key, Shift); break;
    }
}

void TSgSpinButton::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS; }

void TSgSpinButton::WMSetFocus(TMessage& M)
{
    TWinControl::WMSetFocus(M);
    FFocusedButton->TimeBtnState |= tbFocusRect;
    FFocusedButton->Invalidate();
}

void TSgSpinButton::WMKillFocus(TMessage& M)
{
    TWinControl::WMKillFocus(M);
    FFocusedButton->TimeBtnState &= ~tbFocusRect;
    FFocusedButton->Invalidate();
}

void TSgSpinButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TSgSpinButton::AdjustSize(int& W, int& H)
{
    if (!FUpButton || !FDownButton)
        return;
    if (FDirection == spVertical) {
        if (W < 15)
            W = 15;
        int uh = H / 2;
        FUpButton->SetBounds(0, 0, W, uh);
        FDownButton->SetBounds(0, uh - 1, W, H - uh + 1);
    } else {
        if (W < 20)
            W = 20;
        FDownButton->SetBounds(0, 0, W / 2, H);
        FUpButton->SetBounds(W / 2 + 1, 0, W / 2, H);
    }
}

void TSgSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    int W = AWidth, H = AHeight;
    AdjustSize(W, H);
    TWinControl::SetBounds(ALeft, ATop, W, H);
}

void TSgSpinButton::SetDirection(TSpinDirection v)
{
    if (v == FDirection)
        return;
    FDirection = v;
    RecreateWnd();
    if (v == spHorizontal) {
        FUpButton->ButtonDirection = bdRight;
        FDownButton->ButtonDirection = bdLeft;
        SetBounds(Left(), Top(), 20, Height());
    } else {
        FUpButton->ButtonDirection = bdUp;
        FDownButton->ButtonDirection = bdDown;
        SetBounds(Left(), Top(), 15, Height());
    }
}

void TSgSpinButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FUpButton->IsWinXP = v;
    FDownButton->IsWinXP = v;
}

static void SetSpinGlyph(TSpeedButton* b, const TBitmap* v, const char* res)
{
    if (v) {
        b->SetGlyph(v);
    } else {
        TBitmap bmp;
        LoadResourceBitmap(&bmp, QString::fromLatin1(res));
        b->SetGlyph(&bmp);
        b->SetNumGlyphs(1);
    }
    b->Invalidate();
}

void TSgSpinButton::SetUpGlyph(const TBitmap* v) { SetSpinGlyph(FUpButton, v, "SgSpinUp"); }
void TSgSpinButton::SetDownGlyph(const TBitmap* v) { SetSpinGlyph(FDownButton, v, "SgSpinDown"); }

// ---------------------------------------------------------------------------
// TSgSpinEdit
// ---------------------------------------------------------------------------

TSgSpinEdit::TSgSpinEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    FButton = new TSgSpinButton(this);
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject* s) { UpButtonClick(s); };
    FButton->OnDownClick = [this](TObject* s) { DownButtonClick(s); };
    SetText(QStringLiteral("0"));
    ControlStyle &= ~csSetCaption;
    RecreateWnd();
}

TSgSpinEdit::~TSgSpinEdit() = default;

void TSgSpinEdit::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | ES_MULTILINE;
    if (FEditAlign == eaRight)
        Params.Style |= ES_RIGHT;
    else if (FEditAlign == eaCenter)
        Params.Style |= ES_CENTER;
}

void TSgSpinEdit::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    SetEditRect();
}

void TSgSpinEdit::SetEditRect()
{
    if (!FButton)
        return;
    int m = BorderStyle() == bsSingle ? 0 : 3;
    TRect cr = ClientRect();
    SetFormattingRect(Rect(m, m, cr.Width() - FButton->Width() - m - 2, cr.Height() + 1));
}

int TSgSpinEdit::MinHeight()
{
    Canvas()->Font().Assign(*Font());
    int h = Canvas()->TextHeight(QStringLiteral("0"));
    TFont sys;
    Canvas()->Font().Assign(sys);
    int sh = Canvas()->TextHeight(QStringLiteral("0"));
    Canvas()->Font().Assign(*Font());
    int r = h + std::min(h, sh) / 4 + 2;
    if (BorderStyle() == bsSingle)
        r += 4 * GetSystemMetrics(SM_CYBORDER);
    return r;
}

void TSgSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    int h = AHeight;
    if (FButton) {
        int mh = MinHeight();
        if (h < mh)
            h = mh;
    }
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, h);
    if (!FButton)
        return;
    // The new control look with Ctl3D is this layer's only look.
    int k = BorderStyle() == bsSingle ? 5 : 1;
    FButton->SetBounds(Width() - FButton->Width() - k, 0, FButton->Width(), Height() - k);
    SetEditRect();
}

// -- values ---------------------------------------------------------------

int TSgSpinEdit::Value() const
{
    QString t = Text().trimmed();
    if (t.isEmpty())
        return 0;
    int v;
    if (!TryStrToInt(t, v))
        return MinValue;
    return v;
}

void TSgSpinEdit::SetValue(int v)
{
    if (MinValue != MaxValue)
        v = std::clamp(v, std::min(MinValue, MaxValue), std::max(MinValue, MaxValue));
    SetText(QString::number(v));
    if (!EditorEnabled)
        SelectAll();
}

double TSgSpinEdit::FloatValue() const
{
    double v;
    if (!TryStrToFloat(Text(), v))
        return MinFloatValue;  // the float minimum, not the integer one
    return v;
}

void TSgSpinEdit::SetFloatValue(double v)
{
    if (MinFloatValue != MaxFloatValue)
        v = std::clamp(v, std::min(MinFloatValue, MaxFloatValue), std::max(MinFloatValue, MaxFloatValue));
    if (FPrecision > 0)
        SetText(FloatToStrF(v, ffFixed, 15, FPrecision));
    else
        SetText(FloatToStrF(v, ffGeneral, 15, 4));
}

TDateTime TSgSpinEdit::DateValue() const
{
    QString t = Text();
    if (t == QLatin1String("0") || t.isEmpty())
        return Now();
    TDateTime d;
    if (!TryStrToDate(t, d))
        return MinDateValue;
    return d;
}

static TDateTime LimitDate(TDateTime v, TDateTime lo, TDateTime hi)
{
    if (lo != hi)
        v = std::clamp(v, std::min(lo, hi), std::max(lo, hi));
    return v;
}

void TSgSpinEdit::SetDateValue(TDateTime v)
{
    FDateValue = v;
    if (!FLoading)
        v = LimitDate(v, MinDateValue, MaxDateValue);
    int ss = SelStart();
    SetText(DateToStr(v));
    SetSelStart(ss);
    SetSelLength(0);
}

TDateTime TSgSpinEdit::TimeValue() const
{
    TDateTime t;
    if (!TryStrToTime(Text(), t))
        return 0;
    return t;
}

void TSgSpinEdit::SetTimeValue(TDateTime v)
{
    FTimeValue = v;
    if (!FLoading)
        v = LimitDate(v, MinDateValue, MaxDateValue);
    int ss = SelStart();
    SetText(ShowSeconds ? FormatDateTime(ActiveFormatSettings().LongTimeFormat, v) : FormatDateTime(QStringLiteral("h:nn"), v));
    SetSelStart(ss);
    SetSelLength(0);
}

void TSgSpinEdit::SetSpinType(TSgSpinType v)
{
    FSpinType = v;
    switch (v) {
    case sptNormal: SetValue(Value()); break;
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    }
}

void TSgSpinEdit::SetPrecision(int v)
{
    FPrecision = v;
    if (FSpinType == sptFloat)
        SetFloatValue(FloatValue());
}

void TSgSpinEdit::SetDirection(TSpinDirection v)
{
    FDirection = v;
    FButton->SetDirection(v);
    SetBounds(Left(), Top(), Width() + 1, Height());
    SetBounds(Left(), Top(), Width() - 1, Height());
}

void TSgSpinEdit::SetEditAlign(TEditAlign v)
{
    if (v == FEditAlign)
        return;
    FEditAlign = v;
    RecreateWnd();
}

void TSgSpinEdit::SetSpinFlat(bool v)
{
    FSpinFlat = v;
    FButton->UpButton()->SetFlat(v);
    FButton->DownButton()->SetFlat(v);
}

void TSgSpinEdit::SetSpinTransparent(bool v)
{
    FSpinTransparent = v;
    FButton->UpButton()->SetTransparent(v);
    FButton->DownButton()->SetTransparent(v);
    SetBounds(Left(), Top(), Width(), Height());
}

void TSgSpinEdit::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FButton->SetIsWinXP(v);
}

void TSgSpinEdit::Loaded()
{
    TCustomMaskEdit::Loaded();
    FLoading = true;
    if (FSpinType == sptDate)
        SetText(DateToStr(FDateValue));
    else if (FSpinType == sptTime)
        SetText(ShowSeconds ? FormatDateTime(ActiveFormatSettings().LongTimeFormat, FTimeValue)
                            : FormatDateTime(QStringLiteral("h:nn"), FTimeValue));
    FLoading = false;
    SetSpinType(FSpinType);
}

// -- stepping -------------------------------------------------------------

void TSgSpinEdit::UpButtonClick(TObject*) { UpClick(false); }
void TSgSpinEdit::DownButtonClick(TObject*) { DownClick(false); }
void TSgSpinEdit::UpClick(bool Page) { Step(true, Page); }
void TSgSpinEdit::DownClick(bool Page) { Step(false, Page); }

void TSgSpinEdit::Step(bool Up, bool Page)
{
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    const int sign = Up ? 1 : -1;
    switch (FSpinType) {
    case sptNormal: SetValue(Value() + sign * Increment); break;
    case sptFloat: SetFloatValue(FloatValue() + sign * (Page ? IncrementFloatPage : IncrementFloat)); break;
    case sptDate: {
        QString fmt = ActiveFormatSettings().ShortDateFormat.toUpper();
        int pm = fmt.indexOf(QLatin1Char('M')), pd = fmt.indexOf(QLatin1Char('D'));
        FUsDates = pm >= 0 && (pd < 0 || pm < pd);
        const QString t = Text();
        const int caret = SelStart();
        const int s1 = SpinNextSeparator(t, DateSep(), 0);
        const int s2 = s1 > 0 ? SpinNextSeparator(t, DateSep(), s1) : 0;
        TDateTime d = DateValue();
        int part = 2;
        if (s1 > 0 && caret < s1)
            part = 0;
        else if (s2 > 0 && caret < s2)
            part = 1;
        // part 0 and 1 are month and day, in the format's order; 2 the year.
        bool month = part < 2 && ((part == 0) == FUsDates);
        if (part == 2)
            d = SpinAddYears(d, sign);
        else if (month)
            d = SpinAddMonths(d, sign);
        else
            d = d + sign;
        SetDateValue(d);
        break;
    }
    case sptTime: {
        const QString t = Text();
        const int caret = SelStart();
        const int s1 = SpinNextSeparator(t, TimeSep(), 0);
        const int s2 = s1 > 0 ? SpinNextSeparator(t, TimeSep(), s1) : 0;
        TDateTime inc;
        if (s1 > 0 && caret < s1)
            inc = IncrementHours / 24.0;
        else if (ShowSeconds && s2 > 0 && caret >= s2)
            inc = IncrementSeconds / 86400.0;
        else
            inc = IncrementMinutes / 1440.0;
        TDateTime v = TimeValue();
        if (Up) {
            v = v + inc;
            v = v - std::floor(v);
        } else {
            v = v + 1.0 - inc;
            if (v >= 1.0)
                v = v - 1.0;
        }
        SetTimeValue(v);
        break;
    }
    }
}

// -- keys -----------------------------------------------------------------

void TSgSpinEdit::WndProc(TMessage& M)
{
    if (M.Msg == WM_KEYDOWN) {
        switch (M.WParam) {
        case VK_PRIOR: UpClick(true); M.Result = 0; return;
        case VK_NEXT: DownClick(true); M.Result = 0; return;
        case VK_UP: UpClick(false); M.Result = 0; return;
        case VK_DOWN: DownClick(false); M.Result = 0; return;
        default: break;
        }
    }
    TCustomMaskEdit::WndProc(M);
}

void TSgSpinEdit::KeyDown(unsigned& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && ReturnIsTab) {
        Key = VK_TAB;
        PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_DELETE && !EditorEnabled)
        Key = 0;
    TCustomMaskEdit::KeyDown(Key, Shift);
}

void TSgSpinEdit::KeyPress(QChar& Key)
{
    if (!IsValidChar(Key)) {
        Key = QChar(0);
        MessageBeep(0);
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TSgSpinEdit::WMChar(TMessage& M)
{
    if (ExcelStyleDecimalSeparator && M.WParam == WPARAM('.') && (M.LParam & (1 << 22)))
        M.WParam = WPARAM(DecSep().unicode());
    TCustomMaskEdit::WMChar(M);
}

void TSgSpinEdit::WMPaste(TMessage& M)
{
    if (!EditorEnabled || ReadOnly())
        return;
    TCustomMaskEdit::WMPaste(M);
}

void TSgSpinEdit::WMCut(TMessage& M)
{
    if (!EditorEnabled || ReadOnly())
        return;
    TCustomMaskEdit::WMCut(M);
}

bool TSgSpinEdit::IsValidChar(QChar Key)
{
    const ushort k = Key.unicode();
    if (k == 8)
        return EditorEnabled;
    if (!EditorEnabled)
        return k < 32;
    const QChar ds = DecSep(), ts = ThouSep(), tms = TimeSep(), dts = DateSep();
    bool ok = Key == ds || Key == ts || Key == tms || Key == dts || Key.isDigit() || Key == QLatin1Char('-') ||
              (k < 32 && k != 13);
    if (!ok)
        return false;
    auto clashes = [&](QChar sep) {
        return sep == ds || sep == ts || sep == QLatin1Char('-') || sep == QLatin1Char('+');
    };
    if (FSpinType != sptTime && Key == tms && !Key.isDigit()) {
        if (!(clashes(tms) && (FSpinType == sptNormal || FSpinType == sptFloat)))
            return false;
    }
    if (FSpinType != sptDate && Key == dts && !Key.isDigit()) {
        if (!(clashes(dts) && (FSpinType == sptNormal || FSpinType == sptFloat)))
            return false;
    }
    const QString t = Text();
    if (Key == QLatin1Char('-')) {
        const int pos = t.indexOf(QLatin1Char('-'));
        if (pos < 0) {
            if (SelStart() != 0)
                return false;
        } else {
            bool inSel = pos >= SelStart() && pos < SelStart() + SelLength();
            if (!(inSel && SelStart() == 0))
                return false;
        }
    }
    switch (FSpinType) {
    case sptNormal:
        if (!(Key.isDigit() || Key == QLatin1Char('-') || k < 32))
            return false;
        break;
    case sptFloat: {
        if (k == 27 || k == 13 || k == 8)
            break;
        if (Key == ts && ts != ds)
            return false;
        const int dp = t.indexOf(ds);
        if (Key == ds && dp >= 0) {
            bool inSel = dp >= SelStart() && dp < SelStart() + SelLength();
            if (!inSel)
                return false;
        }
        if (FPrecision > 0 && dp >= 0 && k >= 32 && SelLength() == 0 && SelStart() > dp) {
            if (t.length() >= dp + 1 + FPrecision)
                return false;
        }
        break;
    }
    case sptTime:
        if (Key == tms && t.count(tms) >= 2)
            return false;
        break;
    case sptDate: break;
    }
    return true;
}

// -- focus ----------------------------------------------------------------

void TSgSpinEdit::CMEnter(TMessage& M)
{
    TCustomMaskEdit::CMEnter(M);
    if (AutoSelect() && (!(GetKeyState(VK_LBUTTON) & 0x8000) || !EditorEnabled))
        SelectAll();
}

void TSgSpinEdit::CMExit(TMessage& M)
{
    TCustomMaskEdit::CMExit(M);
    auto outside = [](double v, double lo, double hi) { return lo != hi && (v < lo || v > hi); };
    switch (FSpinType) {
    case sptNormal:
        if (outside(Value(), MinValue, MaxValue))
            SetValue(Value());
        break;
    case sptFloat:
        if (outside(FloatValue(), MinFloatValue, MaxFloatValue))
            SetFloatValue(FloatValue());
        break;
    case sptDate:
        if (outside(DateValue(), MinDateValue, MaxDateValue))
            SetDateValue(DateValue());
        break;
    case sptTime:
        if (outside(TimeValue(), MinDateValue, MaxDateValue))
            SetTimeValue(TimeValue());
        break;
    }
}
