// The date and time pickers with auto tab, the flat look, the date-and-time
// kind with its companion time picker, and the attached label.
#include "gridpack/dropdown/ExDateTimePicker.h"

#include "platform/controls/Messages.h"
#include "platform/core/MathUtils.h"

#include <cmath>

namespace {
const TColor kThemedFrame = TColor(0xB99D7F);

TDateTime WholeDays(TDateTime v) { return double(Trunc(v)); }

void Frame(TCanvas* c, const TRect& r, TColor col)
{
    c->Brush().SetColor(col);
    c->FrameRect(r);
}

// The picker is registered with the message at start-up.
[[maybe_unused]] const unsigned gShiftFocusAtStartup = DTPShiftFocusMsg();
} // namespace

unsigned DTPShiftFocusMsg()
{
    static const unsigned msg = RegisterWindowMessage(QStringLiteral("DTPShiftFocus"));
    return msg;
}

// ---------------------------------------------------------------------------
// TCustomDateTimePicker
// ---------------------------------------------------------------------------

TCustomDateTimePicker::TCustomDateTimePicker(TComponent* AOwner) : TDateTimePicker(AOwner)
{
    FButtonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
    // The common controls answer 6.10 and the system is later than 5.1.
    FIsWinXP = true;
    FIsThemed = true;
}

void TCustomDateTimePicker::SetAutoTab(bool v) { FAutoTab = v; }

void TCustomDateTimePicker::SetMetroStyle(bool v)
{
    if (v == FMetroStyle)
        return;
    FMetroStyle = v;
    Invalidate();
}

void TCustomDateTimePicker::SetBorderStyle(TBorderStyle v)
{
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    Invalidate();
}

void TCustomDateTimePicker::SetBorderColor(TColor v)
{
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    Invalidate();
}

void TCustomDateTimePicker::SetCtl3D(bool v)
{
    if (v == FCtl3D)
        return;
    FCtl3D = v;
    Invalidate();
}

void TCustomDateTimePicker::SaveTime()
{
    int h, n, s, ms;
    DecodeTime(TDateTimePicker::DateTime(), h, n, s, ms);
    FSavedHour = std::uint16_t(h);
    FSavedMin = std::uint16_t(n);
    FSavedSec = std::uint16_t(s);
    FSavedMSec = std::uint16_t(ms);
}

bool TCustomDateTimePicker::TimeFieldCompleted() const
{
    if (!FieldCompleted())
        return false;
    int h, n, s, ms;
    DecodeTime(TDateTimePicker::DateTime(), h, n, s, ms);
    return h != FSavedHour || n != FSavedMin || s != FSavedSec;
}

void TCustomDateTimePicker::KeyPress(QChar& Key)
{
    const bool digit = FAutoTab && Key >= QLatin1Char('0') && Key <= QLatin1Char('9');
    if (digit && Kind() == dtkTime)
        SaveTime();
    TDateTimePicker::KeyPress(Key);
    if (digit && HandleAllocated())
        PostMessage(Handle(), DTPShiftFocusMsg(), 0, 0);
}

void TCustomDateTimePicker::CheckAutoTab()
{
    if (Kind() == dtkTime && TimeFieldCompleted())
        PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT, 0);
}

void TCustomDateTimePicker::WndProc(TMessage& M)
{
    if (M.Msg == DTPShiftFocusMsg())
        CheckAutoTab();
    TDateTimePicker::WndProc(M);
}

void TCustomDateTimePicker::CMEnter(TMessage& M)
{
    TDateTimePicker::CMEnter(M);
    FHasFocus = true;
    Invalidate();
}

void TCustomDateTimePicker::CMExit(TMessage& M)
{
    TDateTimePicker::CMExit(M);
    FHasFocus = false;
    Invalidate();
}

void TCustomDateTimePicker::CMMouseEnter(TMessage& M)
{
    TDateTimePicker::CMMouseEnter(M);
    if (Enabled()) {
        FMouseInControl = true;
        Invalidate();
    }
}

void TCustomDateTimePicker::CMMouseLeave(TMessage& M)
{
    TDateTimePicker::CMMouseLeave(M);
    FMouseInControl = false;
    FButtonHover = false;
    Invalidate();
}

void TCustomDateTimePicker::MouseMove(TShiftState Shift, int X, int Y)
{
    TDateTimePicker::MouseMove(Shift, X, Y);
    const bool over = X > Width() - FButtonWidth && X < Width();
    if (over != FButtonHover) {
        FButtonHover = over;
        Invalidate();
    }
}

void TCustomDateTimePicker::Paint()
{
    TDateTimePicker::Paint();
    const bool flat = FlatLook();
    if (FCtl3D && !flat)
        return;
    TCanvas* c = Canvas();
    if (flat && Kind() != dtkTime) {
        const TRect cr = ClientRect();
        c->Brush().SetColor(Color());
        c->FillRect(Rect(cr.Right - FButtonWidth, 1, cr.Right - 1, cr.Bottom - 1));
        PaintFlatButton(c);
    }
    if (!FCtl3D) {
        // The single-line border of a control without the 3D look.
        TColor col = FBorderColor;
        if (FBorderStyle == bsNone)
            col = Parent() ? Parent()->Color() : clBtnFace;
        else if (FIsThemed)
            col = kThemedFrame;
        Frame(c, Rect(0, 0, Width(), Height()), col);
        // Without active themes a second ring inside.
        Frame(c, Rect(1, 1, Width() - 1, Height() - 1), col);
    }
    if (flat)
        PaintFrames(c);
}

void TCustomDateTimePicker::PaintFlatButton(TCanvas* c)
{
    const TRect cr = ClientRect();
    const TRect r = Rect(cr.Right - FButtonWidth + 1, 1, cr.Right - 1, cr.Bottom - 1);
    const bool down = FButtonHover && ((GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON)) & 0x8000);
    if (ButtonColor != clNone) {
        TColor face = ButtonColor;
        if (FButtonHover && ButtonColorHot != clNone)
            face = ButtonColorHot;
        if (down && ButtonColorDown != clNone)
            face = ButtonColorDown;
        c->Brush().SetColor(face);
        c->FillRect(r);
        if (ButtonBorderColor != clNone) {
            c->Pen().SetColor(ButtonBorderColor);
            c->MoveTo(r.Left, r.Top);
            c->LineTo(r.Left, r.Bottom);
        }
        TColor tc = down && ButtonTextColorDown != clNone ? ButtonTextColorDown : ButtonTextColor;
        if (tc == clNone)
            tc = clBlack;
        c->Brush().SetColor(tc);
        c->Pen().SetColor(tc);
        const int L = r.Left, T = r.Top + (r.Height() - 17) / 2;
        c->Polygon({Point(L + 5, T + 7), Point(L + 11, T + 7), Point(L + 8, T + 10)});
    } else {
        // No themed parts in this build: the flat combo-box button.
        TRect b = r;
        c->DrawFrameControl(b, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
    }
}

void TCustomDateTimePicker::PaintFrames(TCanvas* c)
{
    const TRect whole = Rect(0, 0, Width(), Height());
    if (!Enabled() || FBorderColor != clNone) {
        Frame(c, whole, !Enabled() ? kThemedFrame : FBorderColor);
    } else {
        const TColor parent = Parent() ? Parent()->Color() : clBtnFace;
        Frame(c, whole, parent);
        Frame(c, Rect(1, 1, Width() - 1 - FButtonWidth, Height() - 1), parent);
        Frame(c, Rect(2, 2, Width() - 2 - FButtonWidth, Height() - 2), Color());
    }
    // Without active themes the button shows its edge while hot.
    if (Kind() != dtkTime && ButtonColor == clNone && (FMouseInControl || Focused())) {
        TRect b = Rect(Width() - FButtonWidth, 1, Width() - 1, Height() - 1);
        c->DrawEdge(b, DroppedDown() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
}

// ---------------------------------------------------------------------------
// TExDateTimePicker
// ---------------------------------------------------------------------------

TExDateTimePicker::TExDateTimePicker(TComponent* AOwner) : TCustomDateTimePicker(AOwner)
{
    SetBorderStyle(bsSingle);
    SetCtl3D(true);
    FLabelFont.OnChange = [this](TGraphicsObject*) {
        if (FLabel)
            UpdateLabel();
    };
    FParentFnt = ParentFont();
}

TExDateTimePicker::~TExDateTimePicker()
{
    // The label and the companion are owned: the component frees them.
    FLabel = nullptr;
    FTimePicker = nullptr;
}

QString TExDateTimePicker::Version() const
{
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TExDateTimePicker::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TExDateTimePicker::DoClick()
{
    if (OnClick)
        OnClick(this);
}

// -- kinds and the companion ------------------------------------------------

void TExDateTimePicker::SetKind(TExDateTimeKind v)
{
    if (v == FKind)
        return;
    FKind = v;
    ApplyKind();
}

void TExDateTimePicker::ApplyKind()
{
    TDateTimePicker::SetKind(FKind == dkTime ? dtkTime : dtkDate);
    if (FKind == dkDateTime)
        CreateTimePicker();
    UpdateTimePicker();
}

void TExDateTimePicker::CreateWnd()
{
    TCustomDateTimePicker::CreateWnd();
    ApplyKind();
}

void TExDateTimePicker::CreateTimePicker()
{
    if (FKind != dkDateTime || FTimePicker)
        return;
    auto* tp = new TCustomDateTimePicker(this);
    FTimePicker = tp;
    if (!(InState(csDesigning) && InState(csLoading)))
        tp->SetParent(this);
    try {
        tp->SetDateTime(TDateTimePicker::DateTime());
    } catch (const EDateTimeError&) {
    }
    tp->SetBounds(0, 0, 90, 17);
    tp->SetVisible(false);
    tp->SetEnabled(Enabled());
    tp->SetKind(dtkTime);
    tp->SetAutoTab(AutoTab());
    tp->OnChange = [this](TObject*) {
        DoChange();
        if (OnTimeChange)
            OnTimeChange(this);
    };
    tp->OnClick = [this](TObject*) { DoClick(); };
    tp->OnKeyPress = [this](TObject*, QChar& Key) { TimePickerKeyPress(Key); };
    tp->OnKeyDown = [this](TObject*, unsigned& Key, TShiftState Shift) { KeyDown(Key, Shift); };
}

void TExDateTimePicker::DestroyTimePicker()
{
    if (!FTimePicker)
        return;
    TCustomDateTimePicker* tp = FTimePicker;
    FTimePicker = nullptr;
    delete tp;
}

void TExDateTimePicker::UpdateTimePicker()
{
    TCustomDateTimePicker* tp = FTimePicker;
    if (!tp)
        return;
    if (tp->Parent() != this)
        tp->SetParent(this);
    tp->SetColor(Color());
    tp->SetEnabled(Enabled() && (!ShowCheckbox() || Checked()));
    tp->SetVisible(FKind == dkDateTime);
    try {
        // The value as read (the companion's time of day is the picker's).
        tp->SetDateTime(DateTime());
    } catch (const EDateTimeError&) {
        // The companion keeps its value when the picker's lies outside its
        // limits.
    }
    tp->SetFormat(FTimeFormat);
    tp->SetFont(*Font());
    const bool loading = InState(csLoading) && !InState(csDesigning);
    if (tp->Visible() || loading) {
        // The companion stands inside the right part, left of the button.
        TCanvas* c = Canvas();
        c->Font().Assign(*Font());
        const int a = c->TextWidth(tp->DisplayText()) + 31;
        tp->SetBounds(Width() - a - 21, 2, a, Height() - 4);
    } else {
        DestroyTimePicker();
    }
}

TDateTime TExDateTimePicker::DateTime()
{
    if (FTimePicker) {
        try {
            TDateTimePicker::SetTime(FTimePicker->Time());
        } catch (const EDateTimeError&) {
            // Outside the limits: the picker keeps its own time.
        }
    }
    return TDateTimePicker::DateTime();
}

void TExDateTimePicker::SetDateTime(TDateTime v)
{
    int h, n, s, ms;
    DecodeTime(v, h, n, s, ms);
    const TDateTime t = EncodeTime(h, n, s, 0);
    const TDateTime day = WholeDays(v);
    const TDateTime value = day >= 0 ? day + t : day - t;
    // A change report raised by setting the value leaves the companion as
    // this setter couples it; a later report (the user's) couples again.
    FSkipCouple = true;
    try {
        TDateTimePicker::SetDateTime(value);
    } catch (...) {
        FSkipCouple = false;
        throw;
    }
    FSkipCouple = false;
    if (FKind == dkDateTime && !FTimePicker)
        CreateTimePicker();
    if (FTimePicker) {
        FTimePicker->SetDateTime(value);
        FTimePicker->SetEnabled(Enabled() && (!ShowCheckbox() || Checked()));
    }
    UpdateTimePicker();
}

void TExDateTimePicker::SetDate(TDateTime v)
{
    int h, n, s, ms;
    DecodeTime(DateTime(), h, n, s, ms);
    const TDateTime day = WholeDays(v);
    const TDateTime t = EncodeTime(h, n, s, 0);
    SetDateTime(day >= 0 ? day + t : day - t);
}

TDateTime TExDateTimePicker::Time() const
{
    if (FKind == dkDateTime && FTimePicker)
        return FTimePicker->Time();
    return TDateTimePicker::Time();
}

void TExDateTimePicker::SetTime(TDateTime v)
{
    TDateTimePicker::SetTime(v);
    if (FTimePicker) {
        try {
            FTimePicker->SetTime(v);
        } catch (const EDateTimeError&) {
        }
    }
    UpdateTimePicker();
}

void TExDateTimePicker::SetTimeFormat(const QString& v)
{
    if (FTimePicker)
        FTimePicker->SetFormat(v);
    if (FKind == dkTime)
        SetFormat(v);
    FTimeFormat = v;
    UpdateTimePicker();
}

void TExDateTimePicker::SetAutoTab(bool v)
{
    TCustomDateTimePicker::SetAutoTab(v);
    if (FTimePicker)
        FTimePicker->SetAutoTab(v);
}

void TExDateTimePicker::SetBorderStyle(TBorderStyle v)
{
    TCustomDateTimePicker::SetBorderStyle(v);
    UpdateTimePicker();
}

void TExDateTimePicker::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomDateTimePicker::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateTimePicker();
    UpdateLabel();
}

void TExDateTimePicker::Loaded()
{
    TCustomDateTimePicker::Loaded();
    if (FKind == dkDateTime)
        CreateTimePicker();
    UpdateTimePicker();
    if (ShowCheckbox() && !Checked()) {
        Perform(DTM_SETSYSTEMTIME, GDT_NONE, 0);
        if (FTimePicker)
            FTimePicker->SetEnabled(false);
    }
    if (FLabel) {
        FLabel->SetEnabled(Enabled() || FLabelAlwaysEnabled);
        UpdateLabel();
    }
    FParentFnt = ParentFont();
}

// -- check box and auto tab ---------------------------------------------------

void TExDateTimePicker::CoupleCompanion()
{
    if (FTimePicker)
        FTimePicker->SetEnabled(Enabled() && (!ShowCheckbox() || Checked()));
}

void TExDateTimePicker::SaveDate()
{
    int y, m, d;
    DecodeDate(TDateTimePicker::DateTime(), y, m, d);
    FSavedYear = std::uint16_t(y);
    FSavedMonth = std::uint16_t(m);
    FSavedDay = std::uint16_t(d);
}

void TExDateTimePicker::KeyPress(QChar& Key)
{
    if (AutoTab() && Key >= QLatin1Char('0') && Key <= QLatin1Char('9') && FKind != dkTime)
        SaveDate();
    TCustomDateTimePicker::KeyPress(Key);
}

void TExDateTimePicker::CheckAutoTab()
{
    if (FKind == dkTime) {
        TCustomDateTimePicker::CheckAutoTab();
        return;
    }
    // A field counts once its digits are complete and its value changed.
    if (!FieldCompleted())
        return;
    int y, m, d;
    DecodeDate(TDateTimePicker::DateTime(), y, m, d);
    const bool dayChanged = d != FSavedDay, monthChanged = m != FSavedMonth, yearChanged = y != FSavedYear;
    auto focusCompanion = [this] {
        if (FTimePicker && FTimePicker->CanFocus()) {
            FTimePicker->SetFocus();
            FTimePicker->SetSelectedField(0);
        }
    };
    const QString f = Format();
    if (!f.isEmpty()) {
        const QChar c = f.back().toLower();
        if ((dayChanged && c == QLatin1Char('d')) || (monthChanged && c == QLatin1Char('m')) ||
            (yearChanged && c == QLatin1Char('y')))
            focusCompanion();
        else if (dayChanged || monthChanged || yearChanged)
            PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT, 0);
        return;
    }
    if (dayChanged || monthChanged)
        PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    else if (yearChanged)
        focusCompanion();
}

void TExDateTimePicker::WndProc(TMessage& M)
{
    const bool setNone = M.Msg == DTM_SETSYSTEMTIME && M.WParam == GDT_NONE;
    bool changeReport = false, reportsNone = false;
    if (M.Msg == CN_NOTIFY && M.LParam) {
        const auto* h = reinterpret_cast<const NMHDR*>(M.LParam);
        if (h->code == DTN_DATETIMECHANGE) {
            changeReport = true;
            reportsNone = reinterpret_cast<const NMDATETIMECHANGE*>(M.LParam)->dwFlags == GDT_NONE;
        }
    }
    // The standard handling (and its events) comes first.
    TCustomDateTimePicker::WndProc(M);
    if (changeReport && FTimePicker && !FSkipCouple) {
        if (reportsNone)
            FTimePicker->SetEnabled(false);
        else
            CoupleCompanion();
    }
    if (setNone && !InState(csDesigning))
        CoupleCompanion();
}

// -- focus, painting and the followed changes ---------------------------------

void TExDateTimePicker::CMEnter(TMessage& M)
{
    TCustomDateTimePicker::CMEnter(M);
    if (FocusLabel && FLabel && !InState(csLoading))
        FLabel->Font()->SetStyle(FLabel->Font()->Style() | fsBold);
}

void TExDateTimePicker::CMExit(TMessage& M)
{
    TCustomDateTimePicker::CMExit(M);
    if (FocusLabel && FLabel && !InState(csLoading))
        FLabel->Font()->SetStyle(FLabel->Font()->Style() & ~unsigned(fsBold));
}

void TExDateTimePicker::Paint()
{
    TCustomDateTimePicker::Paint();
    if (FFirstPaint) {
        // The companion's text size is known from the first paint on.
        FFirstPaint = false;
        UpdateTimePicker();
    }
}

void TExDateTimePicker::CMEnabledChanged(TMessage& M)
{
    TCustomDateTimePicker::CMEnabledChanged(M);
    CoupleCompanion();
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(Enabled());
}

void TExDateTimePicker::CMVisibleChanged(TMessage& M)
{
    TCustomDateTimePicker::CMVisibleChanged(M);
    if (FLabel)
        FLabel->SetVisible(Visible());
}

void TExDateTimePicker::CMFontChanged(TMessage& M)
{
    TCustomDateTimePicker::CMFontChanged(M);
    if (FLabel && (InState(csDesigning) || InState(csLoading)) && ParentFont())
        FLabel->SetFont(*Font());
    UpdateTimePicker();
}

void TExDateTimePicker::CMParentFontChanged(TMessage& M)
{
    TCustomDateTimePicker::CMParentFontChanged(M);
    if (FLabel && ParentFont())
        FLabel->SetFont(*Font());
}

void TExDateTimePicker::CMColorChanged(TMessage& M)
{
    TCustomDateTimePicker::CMColorChanged(M);
    UpdateTimePicker();
}

void TExDateTimePicker::SetParent(TWinControl* AParent)
{
    TCustomDateTimePicker::SetParent(AParent);
    if (FLabel) {
        FLabel->SetParent(AParent);
        FLabel->SetVisible(Visible());
    }
}

void TExDateTimePicker::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomDateTimePicker::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FLabel)
            FLabel = nullptr;
        if (AComponent == FTimePicker)
            FTimePicker = nullptr;
    }
}

// -- attached label -----------------------------------------------------------

void TExDateTimePicker::CreateLabel()
{
    FLabel = new TLabel(this);
    FLabel->SetParent(Parent());
    FLabel->SetFocusControl(this);
    FLabel->SetFont(FLabelFont);
    FLabel->SetParentFont(ParentFont());
    FLabel->OnClick = [this](TObject*) {
        if (OnLabelClick)
            OnLabelClick(this);
    };
    FLabel->OnDblClick = [this](TObject*) {
        if (OnLabelDblClick)
            OnLabelDblClick(this);
    };
}

QString TExDateTimePicker::LabelCaption() const { return FLabel ? FLabel->Caption() : QString(); }

void TExDateTimePicker::SetLabelCaption(const QString& v)
{
    if (!FLabel)
        CreateLabel();
    FLabel->SetCaption(v);
    UpdateLabel();
}

void TExDateTimePicker::SetLabelPosition(TLabelPosition v)
{
    FLabelPosition = v;
    UpdateLabel();
}

void TExDateTimePicker::SetLabelMargin(int v)
{
    FLabelMargin = v;
    UpdateLabel();
}

void TExDateTimePicker::SetLabelTransparent(bool v)
{
    FLabelTransparent = v;
    UpdateLabel();
}

void TExDateTimePicker::SetLabelAlwaysEnabled(bool v)
{
    FLabelAlwaysEnabled = v;
    if (FLabel && v)
        FLabel->SetEnabled(true);
}

void TExDateTimePicker::UpdateLabel()
{
    if (!FLabel)
        return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->SetFont(ParentFont() ? *Font() : FLabelFont);
    TCanvas* c = Canvas();
    c->Font().Assign(*FLabel->Font());
    const int cw = c->TextWidth(FLabel->Caption());
    const int L = Left(), T = Top(), W = Width(), H = Height(), M = FLabelMargin;
    const int lw = FLabel->Width(), lh = FLabel->Height();
    int top = T, left = L;
    switch (FLabelPosition) {
    case lpLeftTop: left = L - cw - M; break;
    case lpLeftCenter: top = T + (H - lh) / 2; left = L - cw - M; break;
    case lpLeftBottom: top = T + H - lh; left = L - cw - M; break;
    case lpTopLeft: top = T - lh - M; break;
    case lpBottomLeft: top = T + H + M; break;
    case lpLeftTopLeft: left = L - M; break;
    case lpLeftCenterLeft: top = T + (H - lh) / 2; left = L - M; break;
    case lpLeftBottomLeft: top = T + H - lh; left = L - M; break;
    case lpTopCenter: top = T - lh - M; left = L + (W - lw) / 2; break;
    case lpBottomCenter: top = T + H + M; left = L + (W - lw) / 2; break;
    case lpRightTop: left = L + W + M; break;
    case lpRightCenter: top = T + (H - lh) / 2; left = L + W + M; break;
    default: top = T + H - lh; left = L + W + M; break;
    }
    FLabel->SetBounds(left, top, lw, lh);
    FLabel->SetVisible(Visible());
}
