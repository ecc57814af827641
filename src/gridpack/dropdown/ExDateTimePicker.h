#pragma once
// Two controls on the platform's date and time picker:
//
//   TCustomDateTimePicker  the picker with auto tab (a completed field moves
//                          the caret to the next one) and the painting of a
//                          flat look (own border and button colours)
//   TExDateTimePicker      adds the date-and-time kind, shown as the date
//                          picker with a companion time picker inside its
//                          right part, the coupling of the companion to the
//                          check box, and an attached caption label
//
// The auto-tab step runs from the posted message registered as
// "DTPShiftFocus", after the platform control has taken the digit.
#include "gridpack/dropdown/ExDropDown.h"
#include "platform/controls/DateTimePicker.h"
#include "platform/controls/StdCtrls.h"

#include <cstdint>

// The message number of "DTPShiftFocus" (registered on first use).
unsigned DTPShiftFocusMsg();

enum TExDateTimeKind { dkDate, dkTime, dkDateTime };

class TCustomDateTimePicker : public TDateTimePicker {
    KAL_CLASS(TCustomDateTimePicker, TDateTimePicker)
public:
    explicit TCustomDateTimePicker(TComponent* AOwner);

    bool AutoTab() const { return FAutoTab; }
    virtual void SetAutoTab(bool v);
    bool MetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool v);
    TColor ButtonColor = clNone, ButtonColorHot = clNone, ButtonColorDown = clNone, ButtonTextColor = clNone,
           ButtonTextColorHot = clNone, ButtonTextColorDown = clNone, ButtonBorderColor = clNone;
    int ButtonWidth() const { return FButtonWidth; }
    bool ButtonHover() const { return FButtonHover; }
    bool MouseInControl() const { return FMouseInControl; }
    // The flat look is drawn: MetroStyle, and the class does not ignore it.
    bool FlatLook() const { return FMetroStyle && !IgnoreMetroStyle(); }

    // The auto-tab step after a typed digit (see the unit's notes).
    virtual void CheckAutoTab();
    // True here: this class never draws the flat look itself.
    virtual bool IgnoreMetroStyle() const { return true; }

protected:
    void WndProc(TMessage& M) override;
    void KeyPress(QChar& Key) override;
    void Paint() override;
    void CMEnter(TMessage& M) override;
    void CMExit(TMessage& M) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // The time fields before the last digit.
    std::uint16_t FSavedHour = 0, FSavedMin = 0, FSavedSec = 0, FSavedMSec = 0;
    void SaveTime();
    // Whether the digit just typed completed a field that changed.
    bool TimeFieldCompleted() const;
    // The steps shared with the date-and-time picker.
    void PaintFlatButton(TCanvas* c);
    void PaintFrames(TCanvas* c);

private:
    bool FAutoTab = false, FMetroStyle = false, FCtl3D = false;
    TBorderStyle FBorderStyle = bsNone;
    TColor FBorderColor = 0;
    TColor FFocusBorderColor = clNone;
    bool FFocusBorder = false, FDisabledBorder = false, FButtonHover = false;
    bool FMouseInControl = false, FHasFocus = false;
    bool FIsWinXP = true, FIsThemed = true;
    int FButtonWidth;
};

class TExDateTimePicker : public TCustomDateTimePicker {
    KAL_CLASS(TExDateTimePicker, TCustomDateTimePicker)
public:
    explicit TExDateTimePicker(TComponent* AOwner);
    ~TExDateTimePicker() override;

    TExDateTimeKind Kind() const { return FKind; }
    void SetKind(TExDateTimeKind v);
    // With a companion its time becomes the picker's own first.
    TDateTime DateTime();
    // Milliseconds dropped; the companion (made when missing) follows.
    virtual void SetDateTime(TDateTime v);
    TDateTime Date() const { return TDateTimePicker::Date(); }
    // Keeps the time of day.
    void SetDate(TDateTime v);
    TDateTime Time() const;
    void SetTime(TDateTime v);
    QString TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const QString& v);
    void SetAutoTab(bool v) override;
    void SetBorderStyle(TBorderStyle v) override;
    bool IgnoreMetroStyle() const override { return false; }
    void CheckAutoTab() override;

    // -- the companion time picker (dkDateTime only; nullptr otherwise)
    TCustomDateTimePicker* TimePicker() const { return FTimePicker; }
    void UpdateTimePicker();

    // -- attached label
    QString LabelCaption() const;
    void SetLabelCaption(const QString& v);
    TLabel* PickerLabel() const { return FLabel; }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    TFont* LabelFont() { return &FLabelFont; }
    bool FocusLabel = false;
    void UpdateLabel();

    QString Version() const;
    void SetVersion(const QString&) {}
    virtual std::uint32_t GetVersionNr() const { return 0x01020000u; }

    TNotifyEvent OnTimeChange, OnLabelClick, OnLabelDblClick;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;
    void SetParent(TWinControl* AParent) override;

protected:
    virtual void DoChange();
    virtual void DoClick();
    virtual void TimePickerKeyPress(QChar& Key) { (void)Key; }
    void WndProc(TMessage& M) override;
    void KeyPress(QChar& Key) override;
    void Paint() override;
    void CreateWnd() override;
    void CMEnter(TMessage& M) override;
    void CMExit(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void CMVisibleChanged(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void CMParentFontChanged(TMessage& M) override;
    void CMColorChanged(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ApplyKind();
    void CreateTimePicker();
    void DestroyTimePicker();
    void CreateLabel();
    void CoupleCompanion();
    void SaveDate();
    TExDateTimeKind FKind = dkDateTime;
    QString FTimeFormat;
    TCustomDateTimePicker* FTimePicker = nullptr;
    TLabel* FLabel = nullptr;
    TFont FLabelFont;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false, FLabelAlwaysEnabled = false;
    std::uint16_t FSavedYear = 0, FSavedMonth = 0, FSavedDay = 0;
    bool FParentFnt = false, FFirstPaint = true, FSkipCouple = false;
};
