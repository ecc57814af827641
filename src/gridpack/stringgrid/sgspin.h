#pragma once
// The spin edit: an edit field whose text is an integer, a number, a date or
// a time of day, stepped by an embedded up/down button pair or the arrow and
// page keys. The buttons repeat while held (400 ms, then every 100 ms).
#include "platform/controls/Buttons.h"
#include "platform/controls/Mask.h"
#include "platform/controls/Timers.h"
#include "platform/core/DateTime.h"

enum TSgSpinType { sptNormal, sptFloat, sptDate, sptTime };
enum TSpinDirection { spVertical, spHorizontal };
enum TEditAlign { eaLeft, eaRight, eaCenter };
enum TButtonDirection { bdLeft, bdRight, bdUp, bdDown };
enum : unsigned { tbFocusRect = 0x01, tbAllowTimer = 0x02 };
using TTimeBtnState = unsigned;

class TSgSpinButton;

// One button of the pair; repeats its click while the mouse holds it down.
class TExTimerSpeedButton : public TSpeedButton {
    KAL_CLASS(TExTimerSpeedButton, TSpeedButton)
public:
    explicit TExTimerSpeedButton(TComponent* AOwner);
    ~TExTimerSpeedButton() override;
    TTimeBtnState TimeBtnState = 0;
    TButtonDirection ButtonDirection = bdUp;
    bool IsWinXP = false;
    bool HasMouse() const { return FHasMouse; }
    // The repeat timer, made on the first press (nullptr before).
    TTimer* RepeatTimer() const { return FRepeatTimer; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;

private:
    void TimerExpired(TObject* Sender);
    TSgSpinButton* Pair() const;
    TTimer* FRepeatTimer = nullptr;
    bool FHasMouse = false;
};

class TSgSpinButton : public TWinControl {
    KAL_CLASS(TSgSpinButton, TWinControl)
public:
    explicit TSgSpinButton(TComponent* AOwner);
    TExTimerSpeedButton* UpButton() const { return FUpButton; }
    TExTimerSpeedButton* DownButton() const { return FDownButton; }
    TExTimerSpeedButton* FocusedButton() const { return FFocusedButton; }
    void SetFocusBtn(TExTimerSpeedButton* Btn);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v) { FFocusControl = v; }
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    void SetIsWinXP(bool v);
    bool IsWinXP() const { return FIsWinXP; }
    // A bitmap becomes the glyph; none loads the button's own resource glyph.
    void SetUpGlyph(const TBitmap* v);
    void SetDownGlyph(const TBitmap* v);
    TColor ButtonColor = TColor(0x1FFFFFFF);
    TColor ButtonColorHot = TColor(0x1FFFFFFF);
    TColor ButtonColorDown = TColor(0x1FFFFFFF);
    TColor ButtonTextColor = TColor(0x1FFFFFFF);
    TColor ButtonTextColorHot = TColor(0x1FFFFFFF);
    TColor ButtonTextColorDown = TColor(0x1FFFFFFF);
    TColor ButtonBorderColor = TColor(0);
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TExTimerSpeedButton;
    void BtnClick(TObject* Sender);
    void BtnMouseDown(TExTimerSpeedButton* Btn);
    void AdjustSize(int& W, int& H);
    TExTimerSpeedButton* CreateButton();
    TExTimerSpeedButton* FUpButton;
    TExTimerSpeedButton* FDownButton;
    TExTimerSpeedButton* FFocusedButton;
    TWinControl* FFocusControl = nullptr;
    TSpinDirection FDirection = spVertical;
    bool FIsWinXP = false;
};

class TSgSpinEdit : public TCustomMaskEdit {
    KAL_CLASS(TSgSpinEdit, TCustomMaskEdit)
public:
    explicit TSgSpinEdit(TComponent* AOwner);
    ~TSgSpinEdit() override;

    TSgSpinButton* Button() const { return FButton; }

    int Value() const;
    void SetValue(int v);
    double FloatValue() const;
    void SetFloatValue(double v);
    TDateTime DateValue() const;
    void SetDateValue(TDateTime v);
    TDateTime TimeValue() const;
    void SetTimeValue(TDateTime v);
    TSgSpinType SpinType() const { return FSpinType; }
    void SetSpinType(TSgSpinType v);
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign v);
    void SetSpinFlat(bool v);
    bool SpinFlat() const { return FSpinFlat; }
    void SetSpinTransparent(bool v);
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetIsWinXP(bool v);

    int MinValue = 0, MaxValue = 100;
    double MinFloatValue = 0, MaxFloatValue = 100;
    TDateTime MinDateValue = 0, MaxDateValue = 0;
    int Increment = 1;
    double IncrementFloat = 0.1;
    double IncrementFloatPage = 1.0;
    bool EditorEnabled = true;
    bool ReturnIsTab = false;
    bool ExcelStyleDecimalSeparator = false;
    bool ShowSeconds = true;
    int IncrementSeconds = 1, IncrementMinutes = 1, IncrementHours = 1;
    bool AllowEmptyValue = false;

    virtual void UpClick(bool Page);
    virtual void DownClick(bool Page);
    virtual bool IsValidChar(QChar Key);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;

protected:
    virtual void UpButtonClick(TObject* Sender);
    virtual void DownButtonClick(TObject* Sender);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void WMChar(TMessage& M) override;
    void WMPaste(TMessage& M) override;
    void WMCut(TMessage& M) override;
    void CMEnter(TMessage& M) override;
    void CMExit(TMessage& M) override;
    bool FLoading = false;

private:
    void Step(bool Up, bool Page);
    void SetEditRect();
    int MinHeight();
    // The date and time as last set (kept for loading).
    TDateTime FDateValue = 0, FTimeValue = 0;
    TSgSpinButton* FButton;
    TSpinDirection FDirection = spVertical;
    TSgSpinType FSpinType = sptNormal;
    int FPrecision = 0;
    bool FIsWinXP = false;
    bool FUsDates = false;
    TEditAlign FEditAlign = eaLeft;
    bool FSpinFlat = false, FSpinTransparent = false;
};

// The 1-based position of the next `Sep` after position `Pos` (1-based);
// 0 when there is none.
int SpinNextSeparator(const QString& S, QChar Sep, int Pos);
// Adds whole years keeping month and day (29 February falls to the 28th).
TDateTime SpinAddYears(TDateTime D, int Years);
TDateTime SpinAddMonths(TDateTime D, int Months);
