#pragma once
// An owner-drawn analog clock: a face (round, square or rounded square) with
// hour and minute marks, hour numbers, an AM/PM box and the hands. It runs
// with the system time (Settings.Auto) or shows a settable Time that the
// user changes by clicking on the face or the AM/PM box, or with keys its
// owner hands in; hand moves are animated by a 1 ms timer.
//
// Angles are measured clockwise from 12 o'clock.
#include "gridpack/basegrid/ExStyleIF.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Timers.h"
#include "platform/core/DateTime.h"
#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <memory>

enum TWatchShape { wsCircle, wsRect, wsRoundRect };
enum TWatchGradient { wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward };
enum TAMPMFrame { apRect, apRoundRect };
enum TPointerStyle { psLine, psShortLine, psPointer, psLineArrow };
enum THourMarkStyle { hmsLine, hmsQuartDblLine };
enum TTickMarks { tmAll, tmHours, tmQuartHours, tmNone };
enum TWatchStyle {
    wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia, wsBlack, wsBlackWhite, wsGray, wsSuperNova,
    wsSports, wsSmooth
};

// A stored property whose setter notifies on change.
#define KAL_WATCH_PROP(T, Name, Default)                \
public:                                                 \
    T Name() const { return F##Name; }                  \
    void Set##Name(T v) {                               \
        if (F##Name == v) return;                       \
        F##Name = v;                                    \
        Changed();                                      \
    }                                                   \
                                                        \
private:                                                \
    T F##Name = Default;

class TWatchAppearance : public TPersistent {
    KAL_CLASS(TWatchAppearance, TPersistent)
public:
    TWatchAppearance();
    TNotifyEvent OnChange;
    // Every property back to its default.
    void SetDefaults();
    void Assign(const TPersistent* Source) override;
    TFont* HourFont() { return &FHourFont; }
    TFont* AMPMFont() { return &FAMPMFont; }
    TPicture* Picture() { return &FPicture; }

    KAL_WATCH_PROP(int, Size, 0)
    KAL_WATCH_PROP(TWatchShape, Shape, wsCircle)
    KAL_WATCH_PROP(TColor, BackgroundColor, clWhite)
    KAL_WATCH_PROP(TColor, BackgroundColorTo, clNone)
    KAL_WATCH_PROP(TWatchGradient, BackgroundGradient, wgVertical)
    KAL_WATCH_PROP(TColor, BorderColor, clBlack)
    KAL_WATCH_PROP(int, BorderWidth, 4)
    KAL_WATCH_PROP(TColor, AMPMColor, clWhite)
    KAL_WATCH_PROP(TColor, AMPMBorderColor, clBlack)
    KAL_WATCH_PROP(TAMPMFrame, AMPMFrame, apRect)
    KAL_WATCH_PROP(TPointerStyle, PointerStyle, psLine)
    KAL_WATCH_PROP(TColor, HourPointer, clBlack)
    KAL_WATCH_PROP(TColor, MinutePointer, clBlack)
    KAL_WATCH_PROP(TColor, SecondPointer, 0x0000FF)
    KAL_WATCH_PROP(TColor, HourPointerShadow, clBtnShadow)
    KAL_WATCH_PROP(TColor, MinutePointerShadow, clBtnShadow)
    KAL_WATCH_PROP(uint8_t, HourPointerSize, 4)
    KAL_WATCH_PROP(uint8_t, MinutePointerSize, 3)
    KAL_WATCH_PROP(uint8_t, SecondPointerSize, 1)
    KAL_WATCH_PROP(TColor, HourColor, clBlack)
    KAL_WATCH_PROP(TColor, MinuteColor, 0x808080)
    KAL_WATCH_PROP(uint8_t, HourMarkLength, 0)
    KAL_WATCH_PROP(uint8_t, MinuteMarkLength, 0)
    KAL_WATCH_PROP(uint8_t, HourMarkWidth, 1)
    KAL_WATCH_PROP(uint8_t, MinuteMarkWidth, 1)
    KAL_WATCH_PROP(THourMarkStyle, HourMarkStyle, hmsLine)
    KAL_WATCH_PROP(TTickMarks, TickMarks, tmAll)
    KAL_WATCH_PROP(uint8_t, CenterPointSize, 4)
    KAL_WATCH_PROP(TColor, CenterPointColor, clBlack)
    KAL_WATCH_PROP(TColor, CenterPointBorderColor, clNone)
    KAL_WATCH_PROP(TColor, CenterPointOuterBorderColor, clNone)

private:
    void Changed() {
        if (OnChange) OnChange(this);
    }
    TFont FHourFont, FAMPMFont;
    TPicture FPicture;
};

class TWatchSettings : public TPersistent {
    KAL_CLASS(TWatchSettings, TPersistent)
public:
    TNotifyEvent OnChange;
    // Second and TimeOffset, then Auto through its setter.
    void Assign(const TPersistent* Source) override;
    KAL_WATCH_PROP(bool, Auto, false)
    KAL_WATCH_PROP(bool, Second, true)
    KAL_WATCH_PROP(int, TimeOffset, 0)

private:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

#undef KAL_WATCH_PROP

// The clock colours of a component style (shared with the time picker).
void ApplyWatchComponentStyle(TWatchAppearance* A, TQORStyle AStyle);

class TExWatch : public TCustomControl, public IQORStyle {
    KAL_CLASS(TExWatch, TCustomControl)
public:
    explicit TExWatch(TComponent* AOwner);
    ~TExWatch() override;

    TWatchAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(const TWatchAppearance* v) { FAppearance->Assign(v); }
    TWatchSettings* Settings() const { return FSettings; }
    void SetSettings(const TWatchSettings* v) { FSettings->Assign(v); }
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime v);
    bool Animation() const { return FAnimation; }
    void SetAnimation(bool v) { FAnimation = v; }
    int AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int v) { FAnimationFactor = v; }
    bool ShowAMPM() const { return FShowAMPM; }
    void SetShowAMPM(bool v);
    bool ShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool v);
    TWatchStyle Style() const { return FStyle; }
    void SetStyle(TWatchStyle v);
    bool AM() const { return FAM; }
    TNotifyEvent OnChange;

    void SetHour(int h);
    void SetMinute(int m);
    void SetComponentStyle(TQORStyle AStyle) override;
    // Keys handed in by the owner (virtual-key codes).
    void DoWatchKey(unsigned Key);

    // Geometry.
    TRect GetFaceRect() const;
    TPoint GetCenter() const;
    int GetRadius() const;
    TRect GetAMPMRect();
    int MinuteFromPoint(int X, int Y) const;
    int HourFromPoint(int X, int Y) const;
    // The time the hands show: the system time plus the offset with Auto.
    TDateTime GetDisplayTime() const;
    // The hour numbers the face draws (for the tick-mark settings).
    QList<int> NumbersShown() const;

    // One step of the hand animation (the 1 ms timer).
    void AnimationTimerTick();
    TTimer* AnimationTimer() const { return FAnimationTimer; }
    TTimer* WatchTimer() const { return FWatchTimer; }
    bool HourAnimating() const { return FHourAnimating; }

protected:
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMSetCursor(TMessage& M) override;

private:
    void SettingsChanged();
    void SetTimeInternal(TDateTime v);
    void SetAM(bool v);
    void SetHourNow(int h);
    void PaintHands();
    void DrawFace(TCanvas* c);
    void DrawBackground(TCanvas* c);
    void DrawTicks(TCanvas* c);
    void DrawNumbers(TCanvas* c);
    void DrawAMPM(TCanvas* c);
    void DrawHands(TCanvas* c);
    void Decode(int& h, int& m, int& s, int& ms) const;
    TWatchAppearance* FAppearance;
    TWatchSettings* FSettings;
    TDateTime FTime = 0;
    bool FAnimation = true;
    int FAnimationFactor = 10;
    bool FShowAMPM = true, FShowNumbers = true;
    TWatchStyle FStyle = wsClassic;
    bool FAM = true;
    TTimer* FWatchTimer;
    TTimer* FAnimationTimer;
    uint8_t FCurrentHourTo = 0, FCurrentMinuteTo = 0, FMinuteFrom = 0;
    bool FHourAnimating = false, FInternalCall = false, FInternalSet = false;
};
