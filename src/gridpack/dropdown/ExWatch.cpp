#include "gridpack/dropdown/ExWatch.h"

#include "gridpack/basegrid/GradientBands.h"
#include "platform/core/Exceptions.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/Resources.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

// The point at an angle (degrees, clockwise from 12) and a distance.
TPoint At(TPoint c, double degrees, double d) {
    const double a = degrees * kPi / 180;
    return Point(int(Round(c.X + d * std::sin(a))), int(Round(c.Y - d * std::cos(a))));
}

// ---------------------------------------------------------------------------
// The clock colours of the component styles
// ---------------------------------------------------------------------------

struct TWatchStyleColors {
    TQORStyle Style;
    TColor AMPMBorder, AMPMFill, Background, BackgroundTo, Border, CenterBorder, Center, Hands, Second;
};
constexpr TColor kFace = clBtnFace;
constexpr TWatchStyleColors kWatchStyleColors[] = {
    {tsOffice2003Blue, 0x962D00, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xD68759, 0xD68759, 0xD68759, 0xFFFFFF},
    {tsOffice2003Silver, 0x962D00, 0xBDA4A5, 0xE6D8D8, 0xE6D8D8, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xFFFFFF},
    {tsOffice2003Olive, 0x962D00, 0x82C0AF, 0xB9EAE1, 0xB9EAE1, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0xFFFFFF},
    {tsOffice2003Classic, 0x962D00, 0x808080, 0xF2F2F2, 0xF2F2F2, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080},
    {tsOffice2007Luna, 0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, 0x723708},
    {tsOffice2007Obsidian, 0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0xF2F1F0, 0xFFEFE3, 0xFFEFE3, 0xF2F1F0, 0xF2F1F0},
    {tsWindowsXP, 0, kFace, kFace, kFace, 0, 0, 0, 0, 0},
    {tsWhidbey, 0x7E9898, 0xF5F9FA, 0xF5F9FA, 0xF5F9FA, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898},
    {tsOffice2007Silver, 0xE8E0DB, 0xF8F4F1, 0xF8F4F1, 0xF8F4F1, 0xE8E0DB, 0xE8E0DB, 0x74706F, 0x74706F, 0x74706F},
    {tsWindowsVista, 0xFEDF9A, 0xFFFDF9, 0xFFFDF9, 0xFFFAF0, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A},
    {tsWindows7, 0xFBD6B8, 0xFDFBFA, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8},
    {tsTerminal, 0x808080, kFace, kFace, kFace, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080},
    {tsOffice2010Blue, 0xC7B29F, 0xF0DAC7, 0xFDF6EF, 0xFDF6EF, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F},
    {tsOffice2010Silver, 0xD2CDC8, 0xEDE5E0, 0xFFFFFF, 0xFFFFFF, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8},
    {tsOffice2010Black, 0x6D6D6D, 0x919191, 0xBFBFBF, 0xBFBFBF, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D},
};

// ---------------------------------------------------------------------------
// The clock's own looks (Style): kKeep leaves the default.
// ---------------------------------------------------------------------------

constexpr TColor kKeep = TColor(0x7FFFFFFF);
constexpr int kKeepInt = -1;
// Lengths measured from the clock's smaller side.
constexpr int kSideDiv4_5 = -2, kSideDiv3 = -3, kSideDiv3_6 = -4;

struct TWatchStylePreset {
    TWatchStyle Style;
    TWatchShape Shape;
    TPointerStyle Pointer;
    TTickMarks Ticks;
    int ShowNumbers, ShowAMPM;  // 1 on, 0 off, -1 unchanged
    const char* FontName;       // nullptr: the default
    int FontSize;
    bool FontBold;
    TColor FontColor;
    TColor Back, BackTo;
    TWatchGradient Gradient;
    TColor Border;
    int BorderWidth;
    TColor HourHand, MinuteHand;
    int HandWidth;
    TColor Shadow, Second;
    TColor Center;
    int CenterSize;
    TColor CenterBorder, CenterOuter;
    TColor HourMarks, MinuteMarks;
    int HourMarkLength, HourMarkWidth, MinuteMarkLength;
    bool DoubleQuarters;
    TColor AMPMFill, AMPMBorder, AMPMFont;
    int AMPMFontSize;
    bool AMPMRound;
};
constexpr TWatchStylePreset kWatchStyles[] = {
    {wsClassic, wsCircle, psLine, tmAll, 1, 1, "Comic Sans MS", 10, true, kKeep, clWhite, kKeep, wgVertical, kKeep,
     kKeepInt, clBlack, kKeep, 5, kKeep, kKeep, kKeep, kKeepInt, kKeep, kKeep, kKeep, kKeep, 8, kKeepInt, 4, false,
     kKeep, kKeep, kKeep, kKeepInt, false},
    {wsTower, wsRect, psPointer, tmHours, 0, -1, "Century", kKeepInt, true, clWindowText, 0xB1F0FE, 0x5BCCE8,
     wgDiagonalForward, kKeep, 1, clBlack, kKeep, 5, kKeep, 0x002BD5, 0x002BD5, 6, kKeep, kKeep, kKeep, kKeep,
     kKeepInt, kKeepInt, kKeepInt, false, 0xB1F0FE, kKeep, kKeep, kKeepInt, false},
    {wsFluorescent, wsRoundRect, psLine, tmHours, 0, 0, "MS Sans Serif", 8, false, kKeep, clBlack, kKeep, wgVertical,
     0xFF3E3E, kKeepInt, 0xFF3E3E, 0xFF3E3E, 2, kKeep, kKeep, 0xFF3E3E, 20, clBlack, clBlack, 0xFF3E3E, 0xFF3E3E, 10,
     2, kKeepInt, true, kKeep, kKeep, kKeep, kKeepInt, true},
    {wsEmerald, wsRect, psPointer, tmHours, 0, 0, "MS Sans Serif", kKeepInt, false, 0x3AE800, 0x3AE800, clBlack,
     wgDiagonalForward, 0x3AE800, kKeepInt, 0x40FF00, 0x40FF00, 5, kKeep, 0x00FFFF, 0x38E100, 16, 0x40FF00, kKeep,
     0x3AE800, kKeep, kKeepInt, kKeepInt, kKeepInt, true, clNone, kKeep, kKeep, kKeepInt, false},
    {wsBlueStar, wsRoundRect, psPointer, tmAll, 1, 1, "MS Sans Serif", 8, false, 0xFFD5D5, 0xFFD5D5, 0xA00000,
     wgRadial, 0xFFD5D5, kKeepInt, 0xA00000, 0xA00000, 5, kKeep, kKeep, kKeep, kKeepInt, kKeep, kKeep, kKeep, kKeep,
     kKeepInt, kKeepInt, kKeepInt, false, clNone, clNone, 0xA00000, 10, true},
    {wsFuchsia, wsRect, psLine, tmQuartHours, 0, 0, "MS Sans Serif", 8, false, kKeep, clBlack, kKeep, wgVertical,
     0xFFD0FF, kKeepInt, 0xFFD0FF, 0xFFD0FF, 2, kKeep, 0xDD68DD, kKeep, 20, 0xDD68DD, kKeep, 0xFFD0FF, 0xFFD0FF, 10, 2,
     kKeepInt, true, kKeep, kKeep, kKeep, kKeepInt, false},
    {wsBlack, wsCircle, psLine, tmAll, 1, 0, "Century Gothic", 11, false, clWhite, 0x202020, kKeep, wgVertical,
     clBlack, kKeepInt, clWhite, clWhite, 5, kKeep, kKeep, clWhite, kKeepInt, clWhite, clWhite, 0x585858, 0x585858,
     kKeepInt, kKeepInt, 4, false, kKeep, kKeep, kKeep, kKeepInt, false},
    {wsBlackWhite, wsCircle, psPointer, tmQuartHours, 1, 0, "Century Gothic", 14, true, clBlack, clWhite, kKeep,
     wgVertical, clBlack, 8, clBlack, clBlack, 5, kKeep, 0x000080, clBlack, 8, kKeep, kKeep, 0x585858, kKeep,
     kKeepInt, kKeepInt, 4, false, kKeep, kKeep, kKeep, kKeepInt, false},
    {wsGray, wsCircle, psLine, tmAll, 1, 1, "Comic Sans MS", 8, false, kKeep, 0xD1D1D1, 0x6C6C6C, wgRadial, 0x454545,
     kKeepInt, 0x4E4E4E, 0x4E4E4E, 1, clNone, 0x0000FF, clBlack, kKeepInt, 0x454545, kKeep, kKeep, kKeep, kKeepInt,
     kKeepInt, kKeepInt, false, kKeep, kKeep, kKeep, kKeepInt, false},
    {wsSuperNova, wsCircle, psLine, tmAll, 0, 0, nullptr, kKeepInt, false, kKeep, clWhite, 0xD1D3D3, wgVertical,
     clNone, kKeepInt, clBlack, clBlack, kKeepInt, kKeep, kKeep, kKeep, 10, kKeep, kKeep, kKeep, kKeep, kSideDiv4_5,
     kKeepInt, kSideDiv3, false, kKeep, kKeep, kKeep, kKeepInt, false},
    {wsSports, wsCircle, psLine, tmQuartHours, 1, 0, "Times New Roman", 9, false, 0x797979, clBlack, kKeep,
     wgVertical, clBlack, 1, 0x0000FF, 0x00FFFF, 2, clNone, 0x188BFE, 0x191919, kSideDiv3_6, 0xFF0000, kKeep,
     0xABB0B1, kKeep, kKeepInt, kKeepInt, 1, false, kKeep, kKeep, kKeep, kKeepInt, false},
    {wsSmooth, wsCircle, psLine, tmQuartHours, 1, 0, "Times New Roman", 9, false, 0x797979, clWhite, 0xABB0B1,
     wgVertical, 0x585858, 1, 0x4A4A4A, 0x4A4A4A, 2, 0xB2B2B2, kKeep, clWhite, 6, clBlack, 0x4A4A4A, 0xABB0B1, kKeep,
     kKeepInt, kKeepInt, 1, false, kKeep, kKeep, kKeep, kKeepInt, false},
};
static_assert(sizeof(kWatchStyles) / sizeof(kWatchStyles[0]) == 12, "one preset per clock style");
}  // namespace

// ---------------------------------------------------------------------------
// TWatchAppearance, TWatchSettings
// ---------------------------------------------------------------------------

TWatchAppearance::TWatchAppearance() {
    FAMPMFont.SetSize(10);
    FHourFont.OnChange = [this](TGraphicsObject*) { Changed(); };
    FAMPMFont.OnChange = [this](TGraphicsObject*) { Changed(); };
    FPicture.OnChange = [this](TGraphicsObject*) { Changed(); };
}

void TWatchAppearance::SetDefaults() {
    TWatchAppearance d;
    TNotifyEvent keep = OnChange;
    OnChange = nullptr;
    Assign(&d);
    OnChange = keep;
    Changed();
}

void TWatchAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TWatchAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    TNotifyEvent keep = OnChange;
    OnChange = nullptr;
    FSize = s->FSize; FShape = s->FShape; FBackgroundColor = s->FBackgroundColor;
    FBackgroundColorTo = s->FBackgroundColorTo; FBackgroundGradient = s->FBackgroundGradient;
    FBorderColor = s->FBorderColor; FBorderWidth = s->FBorderWidth; FAMPMColor = s->FAMPMColor;
    FAMPMBorderColor = s->FAMPMBorderColor; FAMPMFrame = s->FAMPMFrame; FPointerStyle = s->FPointerStyle;
    FHourPointer = s->FHourPointer; FMinutePointer = s->FMinutePointer; FSecondPointer = s->FSecondPointer;
    FHourPointerShadow = s->FHourPointerShadow; FMinutePointerShadow = s->FMinutePointerShadow;
    FHourPointerSize = s->FHourPointerSize; FMinutePointerSize = s->FMinutePointerSize;
    FSecondPointerSize = s->FSecondPointerSize; FHourColor = s->FHourColor; FMinuteColor = s->FMinuteColor;
    FHourMarkLength = s->FHourMarkLength; FMinuteMarkLength = s->FMinuteMarkLength;
    FHourMarkWidth = s->FHourMarkWidth; FMinuteMarkWidth = s->FMinuteMarkWidth; FHourMarkStyle = s->FHourMarkStyle;
    FTickMarks = s->FTickMarks; FCenterPointSize = s->FCenterPointSize; FCenterPointColor = s->FCenterPointColor;
    FCenterPointBorderColor = s->FCenterPointBorderColor;
    FCenterPointOuterBorderColor = s->FCenterPointOuterBorderColor;
    FHourFont.Assign(s->FHourFont);
    FAMPMFont.Assign(s->FAMPMFont);
    FPicture.Assign(&s->FPicture);
    OnChange = keep;
    Changed();
}

void TWatchSettings::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TWatchSettings*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetSecond(s->Second());
    SetTimeOffset(s->TimeOffset());
    SetAuto(s->Auto());
}

void ApplyWatchComponentStyle(TWatchAppearance* A, TQORStyle AStyle) {
    if (!A) return;
    A->SetCenterPointOuterBorderColor(clBlack);
    A->HourFont()->SetColor(clBlack);
    A->AMPMFont()->SetColor(clBlack);
    for (const TWatchStyleColors& s : kWatchStyleColors) {
        if (s.Style != AStyle) continue;
        const TColor shadow = AStyle == tsOffice2010Silver ? TColor(0xC0C0C0) : TColor(0xFFFFFF);
        A->SetHourPointerShadow(shadow);
        A->SetMinutePointerShadow(shadow);
        A->SetAMPMBorderColor(s.AMPMBorder);
        A->SetAMPMColor(s.AMPMFill);
        A->SetBackgroundColor(s.Background);
        A->SetBackgroundColorTo(s.BackgroundTo);
        A->SetBorderColor(s.Border);
        A->SetCenterPointBorderColor(s.CenterBorder);
        A->SetCenterPointColor(s.Center);
        A->SetHourColor(s.Hands);
        A->SetMinuteColor(s.Hands);
        A->SetHourPointer(s.Hands);
        A->SetMinutePointer(s.Hands);
        A->SetSecondPointer(s.Second);
        if (AStyle == tsOffice2007Obsidian) {
            A->AMPMFont()->SetColor(0xF2F1F0);
            A->HourFont()->SetColor(0xF2F1F0);
        }
    }
}

// ---------------------------------------------------------------------------
// TExWatch
// ---------------------------------------------------------------------------

TExWatch::TExWatch(TComponent* AOwner) : TCustomControl(AOwner) {
    FAppearance = new TWatchAppearance();
    FSettings = new TWatchSettings();
    FAppearance->OnChange = [this](TObject*) { Invalidate(); };
    FSettings->OnChange = [this](TObject*) { SettingsChanged(); };
    FWatchTimer = new TTimer(this);
    FWatchTimer->SetEnabled(false);
    FWatchTimer->SetInterval(100);
    FWatchTimer->OnTimer = [this](TObject*) { PaintHands(); };
    FAnimationTimer = new TTimer(this);
    FAnimationTimer->SetEnabled(false);
    FAnimationTimer->SetInterval(1);
    FAnimationTimer->OnTimer = [this](TObject*) { AnimationTimerTick(); };
    SetBounds(Left(), Top(), 180, 180);
}

TExWatch::~TExWatch() {
    FAppearance->OnChange = nullptr;
    FSettings->OnChange = nullptr;
    delete FAppearance;
    delete FSettings;
}

void TExWatch::Decode(int& h, int& m, int& s, int& ms) const { DecodeTime(GetDisplayTime(), h, m, s, ms); }

TDateTime TExWatch::GetDisplayTime() const {
    if (FSettings->Auto()) return Now() + FSettings->TimeOffset() / 1440.0;
    return FTime;
}

void TExWatch::SetTimeInternal(TDateTime v) {
    FTime = v;
    int h, m, s, ms;
    DecodeTime(v, h, m, s, ms);
    FInternalSet = true;
    SetAM(h < 12);
    FInternalSet = false;
}

void TExWatch::SetTime(TDateTime v) {
    if (v == FTime) return;
    SetTimeInternal(v);
    PaintHands();
}

void TExWatch::SetAM(bool v) {
    if (v == FAM) return;
    FAM = v;
    // The box scrolls only for the user's click; every other change is
    // shown by the next paint.
    Invalidate();
}

void TExWatch::SetShowAMPM(bool v) {
    if (v == FShowAMPM) return;
    FShowAMPM = v;
    Invalidate();
}

void TExWatch::SetShowNumbers(bool v) {
    if (v == FShowNumbers) return;
    FShowNumbers = v;
    Invalidate();
}

void TExWatch::SettingsChanged() {
    FWatchTimer->SetEnabled(FSettings->Auto());
    if (FSettings->Auto()) {
        FTime = GetDisplayTime();
        int h, m, s, ms;
        DecodeTime(FTime, h, m, s, ms);
        FInternalSet = true;
        SetAM(h < 12);
        FInternalSet = false;
    }
    Invalidate();
}

void TExWatch::SetHourNow(int h) {
    int oh, m, s, ms;
    Decode(oh, m, s, ms);
    // The platform's encoding fails for an hour past 23.
    SetTimeInternal(std::floor(FTime) + EncodeTime(h, m, s, ms));
    PaintHands();
    if (h == FCurrentHourTo && OnChange) OnChange(this);
}

void TExWatch::SetHour(int h) {
    int oh, m, s, ms;
    Decode(oh, m, s, ms);
    if (h == oh) return;
    if (!FAnimation || FInternalCall || InState(csLoading)) {
        if (!FInternalCall) FCurrentHourTo = uint8_t(h);
        SetHourNow(h);
        return;
    }
    // An animation factor of 0 or less moves the hand at once.
    if (FAnimationFactor <= 0) {
        FCurrentHourTo = uint8_t(h);
        SetHourNow(h);
        return;
    }
    FCurrentHourTo = uint8_t(h);
    FHourAnimating = true;
    FAnimationTimer->SetEnabled(true);
}

void TExWatch::SetMinute(int m) {
    if (m >= 60) throw Exception(QStringLiteral("Invalid time"));
    int h, om, s, ms;
    Decode(h, om, s, ms);
    if (m == om) return;
    if (FAnimation && !FInternalCall && !InState(csLoading) && FAnimationFactor > 0) {
        FCurrentMinuteTo = uint8_t(m);
        FMinuteFrom = uint8_t(om);
        FHourAnimating = false;
        FAnimationTimer->SetEnabled(true);
        return;
    }
    if (!FInternalCall) FCurrentMinuteTo = uint8_t(m);
    if (!FAnimation || !FInternalCall) FMinuteFrom = uint8_t(om);
    // Past the full hour forwards: the hour moves on.
    if (m == 0 && FMinuteFrom > 30) {
        h = (h + 1) % 24;
        FMinuteFrom = 0;
    }
    SetTimeInternal(std::floor(FTime) + EncodeTime(h, m, s, ms));
    PaintHands();
    if (m == FCurrentMinuteTo && OnChange) OnChange(this);
}

void TExWatch::AnimationTimerTick() {
    if (!FAnimation || InState(csLoading)) return;
    int h, m, s, ms;
    Decode(h, m, s, ms);
    const int factor = std::max(1, FAnimationFactor);
    FInternalCall = true;
    if (FHourAnimating) {
        const int target = FCurrentHourTo;
        if (h == target) {
            FAnimationTimer->SetEnabled(false);
        } else {
            const int step = std::max<int>(1, int(Round(double(std::abs(target - h)) / factor)));
            SetHour(h < target ? std::min(target, h + step) : std::max(target, h - step));
        }
    } else {
        const int target = FCurrentMinuteTo;
        if (m == target) {
            FAnimationTimer->SetEnabled(false);
        } else {
            const bool wrap = target == 0 && m > 30;
            int step = int(Round(double(wrap ? 60 - m : std::abs(target - m)) / factor));
            step = std::max(1, step);
            int next;
            if (m < target || wrap) next = (m + step) % 60;
            else next = std::max(target, m - step);
            if (m < target) next = std::min(target, next);
            SetMinute(next);
        }
    }
    FInternalCall = false;
}

void TExWatch::DoWatchKey(unsigned Key) {
    if (FSettings->Auto()) return;
    int h, m, s, ms;
    Decode(h, m, s, ms);
    auto hourNow = [&](int v) {
        FCurrentHourTo = uint8_t(v);
        FInternalCall = true;
        SetHour(v);
        FInternalCall = false;
    };
    switch (Key) {
    case 'A':
        if (h >= 12) SetHour(h - 12);
        break;
    case 'P':
        if (h < 12) SetHour(h + 12);
        break;
    case VK_PRIOR:
        if (h == 23) hourNow(0);
        else SetHour(h + 1);
        break;
    case VK_NEXT:
        if (h == 0) hourNow(23);
        else SetHour(h - 1);
        break;
    case VK_HOME: hourNow(12); break;
    case VK_END: SetMinute(0); break;
    case VK_LEFT:
        if (m == 0) SetTime(std::floor(FTime) + EncodeTime((h + 23) % 24, 59, s, ms));
        else SetMinute(m - 1);
        break;
    case VK_RIGHT: SetMinute((m + 1) % 60); break;
    default: break;
    }
}

// -- geometry -------------------------------------------------------------------

TRect TExWatch::GetFaceRect() const {
    const TRect cr = ClientRect();
    int side;
    if (FAppearance->Size() > 0) side = std::min({FAppearance->Size(), cr.Width(), cr.Height()});
    else side = std::min(cr.Width(), cr.Height()) - 20;
    const int l = cr.Left + (cr.Width() - side) / 2, t = cr.Top + (cr.Height() - side) / 2;
    return Rect(l, t, l + side, t + side);
}

TPoint TExWatch::GetCenter() const {
    const TRect f = GetFaceRect();
    return Point((f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2);
}

int TExWatch::GetRadius() const { return GetFaceRect().Width() / 2; }

TRect TExWatch::GetAMPMRect() {
    if (!FShowAMPM) return TRect();
    TCanvas* c = Canvas();
    c->Font().Assign(*FAppearance->AMPMFont());
    const TSize t = c->TextExtent(QStringLiteral("AM"));
    const TPoint ce = GetCenter();
    const int w = t.cx + 8, h = t.cy;
    const int left = ce.X - w / 2;
    const int top = ce.Y + int(Round(double(GetRadius() - t.cy) / 3));
    return Rect(left, top, left + w, top + h);
}

int TExWatch::MinuteFromPoint(int X, int Y) const {
    const TPoint c = GetCenter();
    int dx = std::abs(c.X - X), dy = std::abs(c.Y - Y);
    if (dx == 0) dx = 1;
    if (dy == 0) dy = 1;
    const int f = int(Round(std::atan(double(dy) / dx) * 180 / kPi / 6));
    int r;
    if (X >= c.X && Y >= c.Y) r = 15 + f;
    else if (X <= c.X && Y >= c.Y) r = 45 - f;
    else if (X <= c.X && Y <= c.Y) r = 45 + f;
    else r = 15 - f;
    return r < 0 || r > 59 ? 0 : r;
}

int TExWatch::HourFromPoint(int X, int Y) const {
    const int c = int(Round(MinuteFromPoint(X, Y) / 5.0));
    if (c <= 0) return FAM ? 0 : 12;
    int h = FAM ? c : c + 12;
    return h == 24 ? 0 : h;
}

// -- mouse and messages -----------------------------------------------------------

void TExWatch::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FSettings->Auto()) return;
    const TRect f = GetFaceRect();
    const TRegion face = CreateEllipticRgn(f.Left, f.Top, f.Right, f.Bottom);
    if (!face.Contains(X, Y)) {
        SetMinute(MinuteFromPoint(X, Y));
        return;
    }
    if (GetAMPMRect().Contains(Point(X, Y))) {
        int h, m, s, ms;
        Decode(h, m, s, ms);
        if (FAnimation) SetAM(!FAM);
        const int to = h < 12 ? h + 12 : h - 12;
        FCurrentHourTo = uint8_t(to);
        FInternalCall = true;
        SetHour(to);
        FInternalCall = false;
        return;
    }
    SetHour(HourFromPoint(X, Y));
}

void TExWatch::WMGetDlgCode(TMessage& M) { M.Result = TabStop() ? (DLGC_WANTARROWS | DLGC_WANTALLKEYS) : 0; }

void TExWatch::WMSetCursor(TMessage& M) {
    const TPoint p = ScreenToClient(GetCursorPos());
    SetCursor(GetAMPMRect().Contains(p) ? crHandPoint : crDefault);
    M.Result = 1;
}

void TExWatch::SetComponentStyle(TQORStyle AStyle) { ApplyWatchComponentStyle(FAppearance, AStyle); }

void TExWatch::SetStyle(TWatchStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    TWatchAppearance* a = FAppearance;
    a->SetDefaults();
    const TWatchStylePreset* p = nullptr;
    for (const TWatchStylePreset& s : kWatchStyles)
        if (s.Style == v) p = &s;
    if (!p) return;
    const int side = std::min(Width(), Height());
    auto length = [side](int v) {
        switch (v) {
        case kSideDiv4_5: return int(Round(side / 4.5));
        case kSideDiv3: return side / 3;
        case kSideDiv3_6: return int(Round(side / 3.6));
        default: return v;
        }
    };
    auto colour = [](TColor c, auto set) {
        if (c != kKeep) set(c);
    };
    auto number = [&](int n, auto set) {
        if (n != kKeepInt) set(length(n));
    };
    a->SetShape(p->Shape);
    a->SetPointerStyle(p->Pointer);
    a->SetTickMarks(p->Ticks);
    if (p->ShowNumbers >= 0) SetShowNumbers(p->ShowNumbers == 1);
    if (p->ShowAMPM >= 0) SetShowAMPM(p->ShowAMPM == 1);
    a->AMPMFont()->SetName(QStringLiteral("MS Sans Serif"));
    if (p->FontName) a->HourFont()->SetName(QString::fromLatin1(p->FontName));
    if (p->FontSize != kKeepInt) a->HourFont()->SetSize(p->FontSize);
    if (p->FontBold) a->HourFont()->SetStyle(fsBold);
    colour(p->FontColor, [&](TColor c) { a->HourFont()->SetColor(c); });
    colour(p->Back, [&](TColor c) { a->SetBackgroundColor(c); });
    colour(p->BackTo, [&](TColor c) { a->SetBackgroundColorTo(c); });
    a->SetBackgroundGradient(p->Gradient);
    colour(p->Border, [&](TColor c) { a->SetBorderColor(c); });
    number(p->BorderWidth, [&](int n) { a->SetBorderWidth(n); });
    colour(p->HourHand, [&](TColor c) { a->SetHourPointer(c); });
    colour(p->MinuteHand, [&](TColor c) { a->SetMinutePointer(c); });
    number(p->HandWidth, [&](int n) {
        a->SetHourPointerSize(uint8_t(n));
        // The classic look thickens the hour hand only.
        if (v != wsClassic && v != wsTower) a->SetMinutePointerSize(uint8_t(n));
    });
    colour(p->Shadow, [&](TColor c) {
        a->SetHourPointerShadow(c);
        a->SetMinutePointerShadow(c);
    });
    colour(p->Second, [&](TColor c) { a->SetSecondPointer(c); });
    colour(p->Center, [&](TColor c) { a->SetCenterPointColor(c); });
    number(p->CenterSize, [&](int n) { a->SetCenterPointSize(uint8_t(n)); });
    colour(p->CenterBorder, [&](TColor c) { a->SetCenterPointBorderColor(c); });
    colour(p->CenterOuter, [&](TColor c) { a->SetCenterPointOuterBorderColor(c); });
    colour(p->HourMarks, [&](TColor c) { a->SetHourColor(c); });
    colour(p->MinuteMarks, [&](TColor c) { a->SetMinuteColor(c); });
    number(p->HourMarkLength, [&](int n) { a->SetHourMarkLength(uint8_t(n)); });
    number(p->HourMarkWidth, [&](int n) { a->SetHourMarkWidth(uint8_t(n)); });
    number(p->MinuteMarkLength, [&](int n) { a->SetMinuteMarkLength(uint8_t(n)); });
    if (p->DoubleQuarters) a->SetHourMarkStyle(hmsQuartDblLine);
    colour(p->AMPMFill, [&](TColor c) { a->SetAMPMColor(c); });
    colour(p->AMPMBorder, [&](TColor c) { a->SetAMPMBorderColor(c); });
    colour(p->AMPMFont, [&](TColor c) { a->AMPMFont()->SetColor(c); });
    number(p->AMPMFontSize, [&](int n) { a->AMPMFont()->SetSize(n); });
    if (p->AMPMRound) a->SetAMPMFrame(apRoundRect);
    if (v == wsClassic) {
        FAnimation = true;
        FAnimationFactor = 10;
    }
}

// -- painting ---------------------------------------------------------------------

QList<int> TExWatch::NumbersShown() const {
    QList<int> n;
    if (!FShowNumbers) return n;
    switch (FAppearance->TickMarks()) {
    case tmAll:
        for (int i = 1; i <= 12; ++i) n << i;
        break;
    case tmQuartHours: n = {3, 6, 9, 12}; break;
    default: break;
    }
    return n;
}

void TExWatch::DrawBackground(TCanvas* c) {
    const TWatchAppearance* a = FAppearance;
    const TRect cr = ClientRect(), face = GetFaceRect();
    const TRect fill = a->Shape() == wsCircle ? face : cr;
    c->SaveState();
    if (a->Shape() == wsCircle) {
        const TRegion r = CreateEllipticRgn(face.Left - 1, face.Top - 1, face.Right + 2, face.Bottom + 2);
        c->SelectClipRgn(&r);
    } else if (a->Shape() == wsRoundRect) {
        const TRegion r = CreateRoundRectRgn(cr.Left - 1, cr.Top - 1, cr.Right + 2, cr.Bottom + 2, 20, 20);
        c->SelectClipRgn(&r);
    }
    if (a->BackgroundColor() != clNone && a->BackgroundColorTo() != clNone) {
        FillGradientBands(c, a->BackgroundColor(), a->BackgroundColorTo(), 80, fill,
                          a->BackgroundGradient() == wgRadial);
    } else if (a->BackgroundColor() != clNone) {
        c->Brush().SetColor(a->BackgroundColor());
        c->FillRect(fill);
    }
    if (a->BorderColor() != clNone && a->BorderWidth() > 0) {
        c->Pen().SetColor(a->BorderColor());
        c->Pen().SetWidth(a->BorderWidth());
        c->Brush().SetStyle(bsClear);
        switch (a->Shape()) {
        case wsCircle: c->Ellipse(face); break;
        case wsRect: c->Rectangle(cr); break;
        case wsRoundRect: c->RoundRect(cr, 20, 20); break;
        }
        c->Brush().SetStyle(bsSolid);
    }
    c->RestoreState();
    if (FAppearance->Picture()->Graphic()) c->Draw(cr.Left, cr.Top, FAppearance->Picture()->Graphic());
}

void TExWatch::DrawTicks(TCanvas* c) {
    const TWatchAppearance* a = FAppearance;
    if (a->TickMarks() == tmNone) return;
    const TPoint ce = GetCenter();
    const double R = GetRadius() - a->BorderWidth() / 2;
    const double rh = a->HourMarkLength() ? R - a->HourMarkLength() : 0.9 * R;
    const double rm = a->MinuteMarkLength() ? R - a->MinuteMarkLength() : 0.95 * R;
    auto line = [&](double deg, double from, double to, double shift) {
        // shift: sideways from the mark's axis, in pixels.
        const double s = (deg + 90) * kPi / 180;
        const int ox = int(Round(shift * std::sin(s))), oy = int(Round(-shift * std::cos(s)));
        const TPoint p1 = At(ce, deg, from), p2 = At(ce, deg, to);
        c->MoveTo(p1.X + ox, p1.Y + oy);
        c->LineTo(p2.X + ox, p2.Y + oy);
    };
    c->Pen().SetColor(a->HourColor());
    c->Pen().SetWidth(a->HourMarkWidth());
    for (int hour = 0; hour < 12; ++hour) {
        const bool quarter = hour % 3 == 0;
        if (!quarter && a->TickMarks() != tmAll && a->TickMarks() != tmHours) continue;
        if (quarter && a->HourMarkStyle() == hmsQuartDblLine) {
            line(hour * 30, rh, R, -2);
            line(hour * 30, rh, R, 2);
        } else {
            line(hour * 30, rh, R, 0);
        }
    }
    if (a->TickMarks() != tmAll) return;
    c->Pen().SetColor(a->MinuteColor());
    c->Pen().SetWidth(a->MinuteMarkWidth());
    for (int minute = 0; minute < 60; ++minute)
        if (minute % 5) line(minute * 6, rm, R, 0);
}

void TExWatch::DrawNumbers(TCanvas* c) {
    const TWatchAppearance* a = FAppearance;
    const TPoint ce = GetCenter();
    const double R = GetRadius() - a->BorderWidth() / 2;
    const int L = a->HourMarkLength() ? a->HourMarkLength() : int(Round(0.1 * R)) + 2;
    c->Font().Assign(*FAppearance->HourFont());
    c->Brush().SetStyle(bsClear);
    for (int n : NumbersShown()) {
        const QString t = QString::number(n);
        const TSize e = c->TextExtent(t);
        int k = 0;
        if (n == 10) k = int(Round(0.2 * e.cy));
        if (n == 11) k = int(Round(0.15 * e.cy));
        const TPoint p = At(ce, n * 30, R - 2 * L - 2 + L / 2 - k);
        c->TextOut(p.X + 1 - e.cx / 2 - 1, p.Y + 1 - e.cy / 2 - 1, t);
    }
    c->Brush().SetStyle(bsSolid);
}

void TExWatch::DrawAMPM(TCanvas* c) {
    const TRect r = GetAMPMRect();
    if (r.IsEmpty()) return;
    const TWatchAppearance* a = FAppearance;
    if (a->AMPMColor() != clNone || a->AMPMBorderColor() != clNone) {
        c->Brush().SetStyle(a->AMPMColor() == clNone ? bsClear : bsSolid);
        if (a->AMPMColor() != clNone) c->Brush().SetColor(a->AMPMColor());
        c->Pen().SetWidth(1);
        c->Pen().SetStyle(a->AMPMBorderColor() == clNone ? psClear : psSolid);
        c->Pen().SetColor(a->AMPMBorderColor());
        if (a->AMPMFrame() == apRect) c->Rectangle(r);
        else c->RoundRect(r, 5, 5);
        c->Pen().SetStyle(psSolid);
    }
    c->Brush().SetStyle(bsClear);
    c->Font().Assign(*FAppearance->AMPMFont());
    c->DrawText(FAM ? QStringLiteral("AM") : QStringLiteral("PM"), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    c->Brush().SetStyle(bsSolid);
}

void TExWatch::DrawHands(TCanvas* c) {
    const TWatchAppearance* a = FAppearance;
    int h, m, s, ms;
    Decode(h, m, s, ms);
    const TPoint ce = GetCenter();
    const double r = GetRadius();
    const double ha = (h % 12) * 30 + m * 0.5, ma = m * 6, sa = s * 6;
    auto line = [&](double deg, double tail, double tip, int dx, int dy, TColor col, int width) {
        const TPoint p1 = At(ce, deg + 180, tail), p2 = At(ce, deg, tip);
        c->Pen().SetColor(col);
        c->Pen().SetWidth(width);
        c->MoveTo(p1.X + dx, p1.Y + dy);
        c->LineTo(p2.X + dx, p2.Y + dy);
    };
    auto kite = [&](double deg, double tip, int dx, int dy, TColor col) {
        std::vector<TPoint> pts = {At(ce, deg + 180, 0.1 * r), At(ce, deg - 90, 0.05 * r), At(ce, deg, tip),
                                   At(ce, deg + 90, 0.05 * r)};
        for (TPoint& p : pts) p = Point(p.X + dx, p.Y + dy);
        c->Pen().SetColor(col);
        c->Pen().SetWidth(1);
        c->Brush().SetColor(col);
        c->Polygon(pts);
    };
    if (a->PointerStyle() == psLine) {
        if (a->HourPointerShadow() != clNone)
            line(ha, 0.1 * r, 0.46 * r, -1, 3, a->HourPointerShadow(), a->HourPointerSize());
        if (a->MinutePointerShadow() != clNone)
            line(ma, 0.1 * r, 0.65 * r, 0, 3, a->MinutePointerShadow(), a->MinutePointerSize());
        line(ha, 0.1 * r, 0.5 * r, 0, 0, a->HourPointer(), a->HourPointerSize());
        line(ma, 0.1 * r, 0.7 * r, 0, 0, a->MinutePointer(), a->MinutePointerSize());
    } else if (a->PointerStyle() == psPointer) {
        if (a->HourPointerShadow() != clNone) kite(ha, 0.5 * r, 1, 3, a->HourPointerShadow());
        if (a->MinutePointerShadow() != clNone) kite(ma, 0.7 * r, 1, 3, a->MinutePointerShadow());
        kite(ha, 0.5 * r, 0, 0, a->HourPointer());
        kite(ma, 0.7 * r, 0, 0, a->MinutePointer());
    }
    if (FSettings->Auto() && FSettings->Second())
        line(sa, 0.2 * r, 0.9 * r, 0, 0, a->SecondPointer(), a->SecondPointerSize());
    const int sz = a->CenterPointSize();
    if (sz <= 0) return;
    auto circle = [&](int d) { return Rect(ce.X - d / 2, ce.Y - d / 2, ce.X - d / 2 + d, ce.Y - d / 2 + d); };
    if (a->CenterPointColor() != clNone) {
        c->Pen().SetWidth(1);
        c->Pen().SetColor(a->CenterPointColor());
        c->Brush().SetColor(a->CenterPointColor());
        c->Ellipse(circle(sz));
    }
    int w = 0;
    c->Brush().SetStyle(bsClear);
    if (a->CenterPointOuterBorderColor() != clNone) {
        w = int(Round(0.2 * sz));
        c->Pen().SetWidth(std::max(1, w));
        c->Pen().SetColor(a->CenterPointOuterBorderColor());
        c->Ellipse(circle(sz));
    }
    if (a->CenterPointBorderColor() != clNone) {
        c->Pen().SetWidth(std::max(1, int(Round(0.1 * sz))));
        c->Pen().SetColor(a->CenterPointBorderColor());
        c->Ellipse(circle(sz - w));
    }
    c->Brush().SetStyle(bsSolid);
    c->Pen().SetWidth(1);
}

void TExWatch::DrawFace(TCanvas* c) {
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    DrawBackground(c);
    DrawTicks(c);
    if (FShowNumbers && FAppearance->TickMarks() != tmNone) DrawNumbers(c);
    DrawAMPM(c);
}

void TExWatch::Paint() {
    // The face and the hands are drawn in one pass: this toolkit paints only
    // the damaged area, so moving hands repaint just their control.
    TCanvas* c = Canvas();
    DrawFace(c);
    DrawHands(c);
}

void TExWatch::PaintHands() { Invalidate(); }
