#pragma once
// The edit with a push button at its right edge (TSgEditBtn) and its variant
// that shows a unit of measure beside the value, chosen from a pop-up menu
// (TSgUnitEditBtn). The button is a speed button in a small container that
// paints in its own colours, themed or classic. F4 clicks the button too.
#include "platform/controls/Buttons.h"
#include "platform/controls/Mask.h"
#include "platform/core/StringList.h"

#include <functional>

class TSgEditButton;

// The button of the container: its own colours, its own flat look, hover.
class TExSpeedButton : public TSpeedButton {
    KAL_CLASS(TExSpeedButton, TSpeedButton)
public:
    explicit TExSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}
    bool IsWinXP = false;
    // The own flat look, separate from the library's Flat.
    bool OwnFlat() const { return FOwnFlat; }
    void SetOwnFlat(bool v);
    bool Hot() const { return FHot; }
    // The colour the face was last filled with (clNone when the own colours
    // were not used).
    TColor LastFaceColor() const { return FLastFace; }

protected:
    void Paint() override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;

private:
    TSgEditButton* Container() const;
    bool FOwnFlat = false, FHot = false;
    TColor FLastFace = TColor(0x1FFFFFFF);
};

// The container the button fills.
class TSgEditButton : public TWinControl {
    KAL_CLASS(TSgEditButton, TWinControl)
public:
    explicit TSgEditButton(TComponent* AOwner);
    TExSpeedButton* Button() const { return FButton; }
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v) { FFocusControl = v; }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* v) { FButton->SetGlyph(v); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int v) { FButton->SetNumGlyphs(v); }
    QString ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const QString& v) { FButton->SetCaption(v); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TColor ButtonColor = TColor(0x1FFFFFFF);
    TColor ButtonColorHot = TColor(0x1FFFFFFF);
    TColor ButtonColorDown = TColor(0x1FFFFFFF);
    TColor ButtonTextColor = TColor(0x1FFFFFFF);
    TColor ButtonTextColorHot = TColor(0x1FFFFFFF);
    TColor ButtonTextColorDown = TColor(0x1FFFFFFF);
    TColor ButtonBorderColor = TColor(0x1FFFFFFF);
    TNotifyEvent OnClick;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void BtnClick(TObject* Sender);
    TExSpeedButton* FButton;
    TWinControl* FFocusControl = nullptr;
    bool FFlat = false;
};

class TSgEditBtn : public TCustomMaskEdit {
    KAL_CLASS(TSgEditBtn, TCustomMaskEdit)
public:
    explicit TSgEditBtn(TComponent* AOwner);
    TSgEditButton* Button() const { return FButton; }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    QString ButtonCaption() const { return FButton->ButtonCaption(); }
    void SetButtonCaption(const QString& v) { FButton->SetButtonCaption(v); }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* v) { FButton->SetGlyph(v); }
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool v);
    bool EditorEnabled = true;
    TNotifyEvent OnClickBtn;
    // Fires OnClickBtn with the Sender given: the container for a button
    // click, the edit for F4.
    virtual void ClickBtn(TObject* Sender);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void WMChar(TMessage& M) override;
    void WMPaste(TMessage& M) override;
    void WMCut(TMessage& M) override;
    void CMEnter(TMessage& M) override;
    void SetEditRect();
    int MinHeight();
    // Width kept for the unit text (UnitSpace of the unit variant).
    int FUnitSize = 0;
    bool FRightAlign = false;

private:
    TSgEditButton* FButton;
    int FButtonWidth = 18;
    bool FIsWinXP = false;
};

using TUnitChangeEvent = std::function<void(TObject* Sender, const QString& NewUnit)>;

class TSgUnitEditBtn : public TSgEditBtn {
    KAL_CLASS(TSgUnitEditBtn, TSgEditBtn)
public:
    explicit TSgUnitEditBtn(TComponent* AOwner);
    ~TSgUnitEditBtn() override;
    QString UnitID() const { return FUnitID; }
    void SetUnitID(const QString& v);
    TStringList* Units() const { return FUnits; }
    void SetUnits(const TStrings* v);
    int UnitSpace() const { return FUnitSize; }
    void SetUnitSpace(int v);
    // The text followed by the unit. A write splits off the first unit of
    // the list (in list order) that the value ends with; none: no change.
    QString TextAndUnit() const { return Text() + FUnitID; }
    void SetTextAndUnit(const QString& v);
    TUnitChangeEvent OnUnitChanged;
    // OnClickBtn, then the pop-up menu of the units; the choice comes back
    // as WM_COMMAND with the identifier position + 1.
    void ClickBtn(TObject* Sender) override;
    // Where the unit text is drawn (client coordinates).
    TRect UnitRect();

protected:
    void WndProc(TMessage& M) override;
    void Paint() override;

private:
    QString FUnitID;
    TStringList* FUnits;
};
