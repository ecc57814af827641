#pragma once
// The date and time picker with an optional flat metro look: its own border
// colours, a drop-down button in its own colours (or classic), and hover and
// focus tracking, painted over the library's picker. With MetroStyle off and
// Ctl3D on it paints exactly as the library's picker.
#include "platform/controls/DateTimePicker.h"
#include "platform/controls/StdCtrls.h"

class TSgDateTimePicker : public TDateTimePicker {
    KAL_CLASS(TSgDateTimePicker, TDateTimePicker)
public:
    explicit TSgDateTimePicker(TComponent* AOwner);

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    bool MetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool v);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool v);
    TColor FocusBorderColor = TColor(0x1FFFFFFF);
    bool DisabledBorder = false;
    bool FocusBorder = false;
    TColor ButtonColor = TColor(0x1FFFFFFF);
    TColor ButtonColorHot = TColor(0x1FFFFFFF);
    TColor ButtonColorDown = TColor(0x1FFFFFFF);
    TColor ButtonBorderColor = TColor(0x1FFFFFFF);
    TColor ButtonTextColor = TColor(0x1FFFFFFF);
    TColor ButtonTextColorHot = TColor(0x1FFFFFFF);
    TColor ButtonTextColorDown = TColor(0x1FFFFFFF);
    int ButtonWidth;
    bool ButtonHover() const { return FButtonHover; }
    bool MouseInControl() const { return FMouseInControl; }
    bool HasFocus() const { return FHasFocus; }

    // "1.0.0.0"; a write changes nothing.
    QString Version() const;
    void SetVersion(const QString&) {}
    virtual unsigned GetVersionNr() const { return 0x01000000u; }

    // The flat look is on (MetroStyle, not designing).
    bool LookActive() const;
    // Themed parts can be used (none in this build: the application is not
    // themed, so the own-colour and classic branches paint).
    bool ThemedLook() const;

protected:
    void Paint() override;
    void CMEnter(TMessage& M) override;
    void CMExit(TMessage& M) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    void PaintButton(TCanvas* c);
    void PaintBorders(TCanvas* c);
    void PaintNon3DBorder(TCanvas* c);
    bool Hot() const;
    TBorderStyle FBorderStyle = bsNone;
    TColor FBorderColor = TColor(0x1FFFFFFF);
    bool FMetroStyle = false, FCtl3D = true;
    bool FButtonHover = false, FMouseInControl = false, FHasFocus = false;
    bool FIsThemed = true, FIsWinXP = true;
};
