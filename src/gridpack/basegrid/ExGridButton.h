#pragma once
// The search panel's owner-drawn controls: TExGridButton, a windowless
// button with a glyph per state, flat or classic looks, gradients, rounded
// corners, an optional drop-down part and a check style; and TExCheckBox, a
// windowed check box drawn with the classic frame controls, with a
// transparent mode and caption options.
#include "platform/controls/Buttons.h"
#include "platform/controls/Controls.h"
#include "platform/controls/StdCtrls.h"

#include <memory>

#include "gridpack/basegrid/ExObj.h"  // TExGridButtonStyle

class TExGridButton;

// Keeps a grid button in step with its action. Enabled, Visible and Hint
// always follow; the caption, the checked state (as Down) and the group
// index follow only while the button still holds the action's value, so a
// value set on the button itself is kept. Values are written through the
// button's own writers.
class TExGridButtonActionLink : public TActionLink {
public:
    explicit TExGridButtonActionLink(TExGridButton* client);
    void Change() override;
    bool IsCaptionLinked() const;
    bool IsCheckedLinked() const;
    bool IsGroupIndexLinked() const;

private:
    void Remember(const TAction* a);
    TExGridButton* FButton;
    // The action whose values were taken last, and those values.
    const TBasicAction* FKnown = nullptr;
    QString FCaption;
    bool FChecked = false;
    int FGroupIndex = 0;
};

class TExGridButton : public TGraphicControl {
    KAL_CLASS(TExGridButton, TGraphicControl)
public:
    explicit TExGridButton(TComponent* AOwner);
    ~TExGridButton() override;

    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { FColorTo = v; Invalidate(); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { FColorHot = v; }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { FColorHotTo = v; }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { FColorDown = v; }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { FColorDownTo = v; }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor v) { FColorChecked = v; Invalidate(); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor v) { FColorCheckedTo = v; Invalidate(); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; Invalidate(); }
    TColor BorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(TColor v) { FBorderDownColor = v; }
    TColor BorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(TColor v) { FBorderHotColor = v; }

    // Setting the glyph without a disabled glyph makes a grey one.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* v);
    TBitmap* GlyphHot() const { return FGlyphHot.get(); }
    void SetGlyphHot(const TBitmap* v);
    TBitmap* GlyphDown() const { return FGlyphDown.get(); }
    void SetGlyphDown(const TBitmap* v);
    TBitmap* GlyphDisabled() const { return FGlyphDisabled.get(); }
    void SetGlyphDisabled(const TBitmap* v);

    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v);
    // -1 centres; values below -1 are ignored.
    int Margin() const { return FMargin; }
    void SetMargin(int v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);
    bool Shaded() const { return FShaded; }
    void SetShaded(bool v);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v);
    TExGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TExGridButtonStyle v) { FStyle = v; Invalidate(); }
    // Only a check-style button or one of a group can be down.
    bool Down() const { return FDown; }
    void SetDown(bool v);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool v) { FRounded = v; Invalidate(); }
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool v) { FDropDownButton = v; Invalidate(); }
    // Follows the system's colour scheme (look 1 without visual styles).
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool AutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool v) { FAutoXPStyle = v; }
    // Pops up under the button when its drop-down part is pressed; cleared
    // when the menu goes away.
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* v);
    // Applies a preset row of colours (0..6); always reads 0.
    int Look() const { return 0; }
    void SetLook(int v);

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

    TNotifyEvent OnDropDown;

    std::unique_ptr<TActionLink> CreateActionLink() override;

protected:
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& M) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void CMDialogChar(TMessage& M) override;

private:
    // Whether the mouse at (X, Y) is over the button, told through the
    // enter and leave notices when that changed.
    void UpdateTracking(int X, int Y);
    void TellGroup();
    void ButtonPressed(TMessage& M);
    void BuildShade();
    void ApplyThemeLook();
    void DrawGradient(TCanvas* C, TColor From, TColor To, TColor Frame, const TRect& R);
    void DrawContent(TRect R, TPoint Offset);

    TColor FColorTo = clNone, FColorHot = 0xCAC7C7, FColorHotTo = clNone, FColorDown = 0xD8D3D2,
           FColorDownTo = clNone, FColorChecked = clGray, FColorCheckedTo = clNone, FBorderColor = clNone,
           FBorderDownColor = clNone, FBorderHotColor = clNone;
    std::unique_ptr<TBitmap> FGlyph, FGlyphHot, FGlyphDown, FGlyphDisabled, FShade;
    bool FFlat = true, FShaded = true, FShowCaption = true, FDown = false, FAllowAllUp = false,
         FRounded = false, FDropDownButton = false, FAutoThemeAdapt = false, FAutoXPStyle = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1, FSpacing = 4, FGroupIndex = 0;
    TExGridButtonStyle FStyle = tasButton;
    TPopupMenu* FDropDownMenu = nullptr;
    TButtonState FState = bsUp;
    bool FMouseInControl = false, FDragging = false;
};

// The box's side: taLeftJustify left, taRightJustify right.
using TLeftRight = TAlignment;

class TExCheckBox : public TCustomControl {
    KAL_CLASS(TExCheckBox, TCustomControl)
public:
    explicit TExCheckBox(TComponent* AOwner);
    ~TExCheckBox() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool v);
    // The box on the left (taLeftJustify) or on the right.
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);
    TTextLayout ButtonVertAlign() const { return FButtonVertAlign; }
    void SetButtonVertAlign(TTextLayout v);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    // The parent shows through: no background of its own is painted.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // Whether a transparent box may keep the parent's background between
    // paints. The parent is composed below the box on every paint, so there
    // is no copy to keep; the setting is stored for the panel that sets it.
    bool TransparentChaching() const { return FTransparentChaching; }
    void SetTransparentChaching(bool v) { FTransparentChaching = v; }
    bool Down() const { return FDown; }
    void SetDown(bool v) { FDown = v; }
    bool Hot() const { return FHot; }
    // Unless read-only, flips Checked.
    void Toggle();

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void DoEnter() override;
    void DoExit() override;
    void CMDialogChar(TMessage& M) override;

private:
    TRect BoxStrip() const;
    QString FCaption = QStringLiteral("TExCheckBox");
    TCheckBoxState FState = cbUnchecked;
    TLeftRight FAlignment = taLeftJustify;
    TTextLayout FButtonVertAlign = tlTop;
    bool FEllipsis = false, FReadOnly = false, FReturnIsTab = false, FTransparent = false,
         FTransparentChaching = false, FDown = false,
         FHot = false, FPressed = false, FFocused = false;
};
