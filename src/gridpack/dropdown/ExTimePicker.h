#pragma once
// The time picker drop-down: the edit shows hours, minutes and (by default)
// seconds in a fixed mask; the popup shows the analog clock, whose hands the
// user sets, and optionally a platform time picker below it. Up and Down in
// the edit step the field under the caret.
#include "gridpack/dropdown/ExDropDown.h"
#include "gridpack/dropdown/ExWatch.h"
#include "platform/controls/DateTimePicker.h"
#include "platform/controls/ExtCtrls.h"

class TExTimePickerDropDown : public TExCustomDropDown {
    KAL_CLASS(TExTimePickerDropDown, TExCustomDropDown)
public:
    explicit TExTimePickerDropDown(TComponent* AOwner);
    ~TExTimePickerDropDown() override;
    void AfterConstruction() override;

    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime v);
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool v);
    bool ShowTimePicker() const { return FShowTimePicker; }
    void SetShowTimePicker(bool v) { FShowTimePicker = v; }
    bool ShowWatchAMPM = true, ShowWatchNumbers = true, Animation = true;
    int AnimationFactor = 10;
    TWatchAppearance* WatchAppearance() const { return FWatchAppearance; }
    void SetWatchAppearance(const TWatchAppearance* v) { FWatchAppearance->Assign(v); }
    TWatchSettings* WatchSettings() const { return FWatchSettings; }
    void SetWatchSettings(const TWatchSettings* v) { FWatchSettings->Assign(v); }
    TExWatch* Watch() const { return FExWatch; }
    TPanel* PanelCtrl() const { return FPanelCtrl; }
    TDateTimePicker* DateTimePicker() const { return FDateTimePicker; }
    TNotifyEvent OnTimeChange;

    // Replace one part of the time and fire OnTimeChange; ignored for the
    // value shown or one out of range.
    void ChangeHour(int h);
    void ChangeMinute(int m);
    void ChangeSecond(int s);
    // Two digits per part joined by the time separator; seconds only when
    // shown.
    QString FormatTimeText(int h, int m, int s) const;

    void SetComponentStyle(TQORStyle AStyle) override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancelled) override;
    void AfterDropUp() override;
    void DropDownKeyDown(unsigned& Key, TShiftState Shift) override;
    void DropDownKeyUp(unsigned& Key, TShiftState Shift) override;
    void ControlKeyDown(unsigned& Key, TShiftState Shift) override;
    void ControlKeyUp(unsigned& Key, TShiftState Shift) override;

protected:
    void Change() override;
    void WMKeyDown(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void SetMaskForSeconds();
    void WatchChange(TObject* Sender);
    void TimePickerChange(TObject* Sender);
    void StepField(bool Up);
    void ReplacePart(int Part, int Value);
    TDateTime FTime = 0;
    bool FShowSeconds = true, FShowTimePicker = false, FInternalCall = false;
    TWatchAppearance* FWatchAppearance;
    TWatchSettings* FWatchSettings;
    TExWatch* FExWatch = nullptr;
    TPanel* FPanelCtrl = nullptr;
    TDateTimePicker* FDateTimePicker = nullptr;
};
