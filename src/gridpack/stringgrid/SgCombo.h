#pragma once
// The flat combo box: the library's combo box that can paint its own one-
// and two-pixel borders and a drop-down button in its own colours, with
// colours that follow focus and hover and an optional caption label beside
// it. With every colour unset, not flat and enabled it paints exactly as the
// library's combo box. The grid's combo editor derives from it.
#include "gridpack/basegrid/SharedGridEnums.h"
#include "platform/controls/StdCtrls.h"

#include <memory>


class TSgCustomCombo : public TCustomComboBox {
    KAL_CLASS(TSgCustomCombo, TCustomComboBox)
public:
    explicit TSgCustomCombo(TComponent* AOwner);
    ~TSgCustomCombo() override;

    void Loaded() override;
    // The colour to return to after the focus colour.
    void Init() { FNormalColor = Color(); }
    // Selects the first item with this text; nothing changes without one.
    void SelectItem(const QString& S);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Accepted from 14 to 32; other values are ignored.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Etched() const { return FEtched; }
    void SetEtched(bool v);
    TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(TColor v);
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    // 0: the list is as wide as the combo.
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int v);
    void SetColor(TColor v);
    void SetEnabled(bool v) override;
    void SetVisible(bool v);

    // The label beside the combo, made when a caption is first given.
    QString LabelCaption() const;
    void SetLabelCaption(const QString& v);
    TLabel* ComboLabel() const { return FLabel; }
    TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(const TFont* v);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);

    // Stored settings read by the painting and the focus handling.
    bool AutoFocus = false;
    bool AutoComplete = true;
    bool FocusBorder = false;
    TColor FocusColor = clNone;
    TColor FocusBorderColor = clNone;
    bool DisabledBorder = true;
    bool FocusLabel = false;
    TColor ButtonColor = clNone;
    TColor ButtonColorHot = clNone;
    TColor ButtonColorDown = clNone;
    TColor ButtonTextColor = clNone;
    TColor ButtonTextColorHot = clNone;
    TColor ButtonTextColorDown = clNone;
    TColor ButtonBorderColor = clNone;
    // Set by the owner: a themed system / Vista-or-later common controls.
    bool IsWinXP = false;
    bool IsVista = false;
    TNotifyEvent OnDropUp;

    bool HasFocus() const { return FHasFocus; }
    bool MouseInControl() const { return FMouseInControl; }
    bool ButtonHover() const { return FButtonHover; }
    // The last painting drew the combo's own borders or button.
    bool OwnPainted() const { return FOwnPainted; }

protected:
    void Paint() override;
    void CNCommand(TMessage& M) override;
    void DoEnter() override;
    void DoExit() override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

    // Any own painting is needed (flat, button or border colours, focus
    // border while focused, a disabled themed frame).
    bool NeedsOwnPainting() const;
    bool Themed() const;
    bool FocusBorderShown() const;
    bool Hot() const;
    void PaintButton(TCanvas* C);
    void PaintBorders(TCanvas* C);
    void PlaceLabel();
    void MakeLabel();
    void SetLabelBold(bool Bold);

private:
    bool FFlat = false;
    bool FEtched = false;
    TColor FOldColor = clWindow;
    TColor FLoadedColor = clWindow;
    bool FOldParentColor = false;
    int FButtonWidth = 19;
    bool FMouseInControl = false;
    int FDropWidth = 0;
    bool FIsThemed = false;
    bool FButtonHover = false;
    bool FLabelAlwaysEnabled = false;
    bool FLabelTransparent = false;
    int FLabelMargin = 4;
    std::unique_ptr<TFont> FLabelFont;
    TLabelPosition FLabelPosition = lpLeftTop;
    TLabel* FLabel = nullptr;
    TColor FFlatLineColor = clNone;
    bool FFlatParentColor = true;
    TColor FBorderColor = clNone;
    TColor FNormalColor = 0;
    bool FHasFocus = false;
    bool FOwnPainted = false;
};

class TSgComboBox : public TSgCustomCombo {
    KAL_CLASS(TSgComboBox, TSgCustomCombo)
public:
    explicit TSgComboBox(TComponent* AOwner) : TSgCustomCombo(AOwner) {}
};
