#pragma once
// The drop-down edit base of the grid pack: a one-line edit with a drop-down
// button at its right edge that opens a popup window holding a header strip,
// an inner control supplied by a leaf class, and a footer strip.
//
//   TExCustomDropDown        the edit: typed input filtered by an edit type,
//                            a value framed by a fixed prefix and suffix,
//                            layout, border, attached label, colour presets
//   TDropDownForm            the popup (frameless, topmost, takes the focus)
//   TDropDownEditButton      the button at the edit's right edge, holding a
//   TExDropDownSpeedButton   speed button that paints the arrow
//   TExButtonAppearance      colours of the header and footer buttons
//   TExButton                a header or footer button
//   TExHeader, TExFooter     the strips
//   TDbgList                 a list that names the direction of a bad index
//
// Construction is two-phase: the C++ constructor sets the fields, and
// AfterConstruction (run by NewObject or the owner's factory) runs the steps
// that call virtual operations (the popup, the button, the colour preset),
// so a leaf's overrides take part. Design-time branches do not exist here.
#include "gridpack/dropdown/ExDropDownUtils.h"
#include "gridpack/basegrid/ExStyleIF.h"
#include "gridpack/basegrid/SharedGridEnums.h"
#include "gridpack/stringgrid/ExGridAppearance.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Mask.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Timers.h"
#include "platform/core/Lists.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class TExCustomDropDown;
class TDropDownForm;
class TExHeader;
class TExFooter;

enum TDropDownEditType {
    etString, etNumeric, etFloat, etUppercase, etMixedCase, etLowerCase, etPassword, etMoney, etRange, etHex,
    etAlphaNumeric, etValidChars
};
enum TDropPosition { dpAuto, dpDown, dpUp };
// TLabelPosition (where an attached label stands) and the button styles are
// shared with the string grid's units.
using TExButtonStyle = TExGridButtonStyle;
enum TExButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };
enum TDropButtonStyle { bsButton, bsDropDown };

using TDropDown = std::function<void(TObject* Sender, bool& acceptdrop)>;
using TDropUp = std::function<void(TObject* Sender, bool Cancelled)>;
using TDropDownClipboardEvent = std::function<void(TObject* Sender, const QString& value, bool& allow)>;
using TDropDownButtonItemClick = std::function<void(TObject* Sender, int ButtonIndex)>;
using TDrawBackGroundEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect)>;
using TGetTextEvent = std::function<void(TObject* Sender, QString& Text)>;

// The system font's cell height at 96 pixels per inch, which the edit's
// minimum height is measured against.
int SystemFontHeight();

// ---------------------------------------------------------------------------
// Buttons of the strips
// ---------------------------------------------------------------------------

class TExButtonAppearance : public TPersistent {
    KAL_CLASS(TExButtonAppearance, TPersistent)
public:
    TExButtonAppearance();
    TNotifyEvent OnChange;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { Store(FBorderColor, v); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor v) { Store(FBorderColorHot, v); }
    TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor v) { Store(FBorderColorDown, v); }
    TColor BorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(TColor v) { Store(FBorderColorDisabled, v); }
    TColor BorderColorChecked() const { return FBorderColorChecked; }
    void SetBorderColorChecked(TColor v) { Store(FBorderColorChecked, v); }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { Store(FColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { Store(FColorTo, v); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { Store(FColorDown, v); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { Store(FColorDownTo, v); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { Store(FColorHot, v); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { Store(FColorHotTo, v); }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor v) { Store(FColorChecked, v); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor v) { Store(FColorCheckedTo, v); }
    TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor v) { Store(FColorDisabled, v); }
    TColor ColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor v) { Store(FColorDisabledTo, v); }
    TGradientDirection Gradient() const { return FGradient; }
    void SetGradient(TGradientDirection v);
    TFont* Font() { return &FFont; }
    void SetFont(const TFont& f) { FFont.Assign(f); }

    // Every colour and the gradient through the writers; not the font.
    void Assign(const TPersistent* Source) override;

private:
    void Store(TColor& field, TColor v);
    TColor FBorderColor = clNone, FBorderColorHot = 0x808080, FBorderColorDown = 0x800000,
           FBorderColorDisabled = 0x808080, FBorderColorChecked = 0xFF0000;
    TColor FColor = clNone, FColorTo = clNone, FColorDown = 0xF5D8CA, FColorDownTo = 0xF9BDA0, FColorHot = 0xF5F0E1,
           FColorHotTo = 0xF9D2B2, FColorChecked, FColorCheckedTo, FColorDisabled = 0xF2F2F2,
           FColorDisabledTo = clNone;
    TGradientDirection FGradient = gdVertical;
    TFont FFont;
};

// A list whose reads and writes past either end name their direction.
class TDbgList : public TList {
    KAL_CLASS(TDbgList, TList)
public:
    // Clears the list and appends every item of ListA in order.
    void AssignList(const TList* ListA);
    // Raise EListError "Index out of bounds in list read access" / "... write
    // access" for an index that is negative or not below Count.
    void* GetItemsEx(int Index) const;
    void SetItemsEx(int Index, void* Value);
};

class TExButton : public TCustomControl {
    KAL_CLASS(TExButton, TCustomControl)
public:
    explicit TExButton(TComponent* AOwner);
    ~TExButton() override;

    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    bool Down() const { return FDown; }
    void SetDown(bool B);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v) { FAllowAllUp = v; }
    TExButtonStyle Style() const { return FStyle; }
    void SetStyle(TExButtonStyle v) { FStyle = v; Invalidate(); }
    TExButtonState State() const { return FState; }
    TExButtonAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(TExButtonAppearance* v) { FAppearance = v; Invalidate(); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; Invalidate(); }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(TExCustomDropDown* E) { FExDropDown = E; }
    bool MouseInControl() const { return FMouseInControl; }
    bool Hot() const { return FHot; }
    TTimer* UnHotTimer() const { return FUnHotTimer; }
    TNotifyEvent OnMouseEnterEx, OnMouseLeaveEx;

    // Measures caption and image in the appearance font: (w + 8) x (h + 4).
    void AutoSizeButton();
    void Click() override;

protected:
    virtual void DrawButton();
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void CMDialogChar(TMessage& M) override;
    void WndProc(TMessage& M) override;

private:
    void UpdateExclusive();
    void UpdateTracking();
    void UnHotTimerTick();
    int FGroupIndex = 0;
    bool FDown = false, FAllowAllUp = false;
    int FOffSet = 4;
    bool FMouseInControl = false, FHot = false;
    TExButtonStyle FStyle = tasButton;
    TExButtonState FState = absUp;
    bool FMouseDownInControl = false, FGrouped = true, FDragging = false, FPropHot = false;
    TTimer* FUnHotTimer = nullptr;
    bool FInternalClick = false;
    TExButtonAppearance* FAppearance = nullptr;
    TImageList* FImages = nullptr;
    int FImageIndex = -1;
    TModalResult FModalResult = mrNone;
    TExCustomDropDown* FExDropDown = nullptr;
};

// The strip above the popup's inner control. The footer differs in the
// border side, the button rectangle, the grip and the sizing start.
class TExHeader : public TCustomControl {
    KAL_CLASS(TExHeader, TCustomControl)
public:
    explicit TExHeader(TComponent* AOwner);
    ~TExHeader() override;

    THeaderAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(const THeaderAppearance* v) { FAppearance->Assign(v); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v) { FImages = v; Invalidate(); }
    // The owning edit's header buttons (nullptr without an edit).
    THeaderButtons* Buttons() const;
    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(TExCustomDropDown* E);
    void InitButtons();
    // Visible and Height from the appearance.
    void AppearanceChanged();
    int ButtonCount() const { return FButtonList->Count(); }
    TExButton* ButtonAt(int i) const { return static_cast<TExButton*>(FButtonList->GetItemsEx(i)); }
    TRect GetButtonRect() const;
    int GetButtonMaxHeight() const { return GetButtonRect().Height(); }
    TRect GetTextRect() const;

    TDrawBackGroundEvent OnDrawBackGround;
    TGetTextEvent OnGetText;

    virtual void CreateButtons();
    virtual void ClearButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();

protected:
    void Paint() override;
    void WMSize(TMessage& M) override;
    void ButtonClick(TObject* Sender);
    THeaderAppearance* FAppearance;
    TImageList* FImages = nullptr;
    TExCustomDropDown* FExDropDown = nullptr;
    TDbgList* FButtonList;
};

class TExFooter : public TCustomControl {
    KAL_CLASS(TExFooter, TCustomControl)
public:
    explicit TExFooter(TComponent* AOwner);
    ~TExFooter() override;

    TFooterAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(const TFooterAppearance* v) { FAppearance->Assign(v); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v) { FImages = v; Invalidate(); }
    TFooterButtons* Buttons() const;
    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(TExCustomDropDown* E);
    void InitButtons();
    void AppearanceChanged();
    int ButtonCount() const { return FButtonList->Count(); }
    TExButton* ButtonAt(int i) const { return static_cast<TExButton*>(FButtonList->GetItemsEx(i)); }
    // The appearance's SizeGrip and the edit's DropDownSizeable.
    bool SizeGripVisible() const;
    TRect GetButtonRect() const;
    int GetButtonMaxHeight() const { return GetButtonRect().Height(); }
    TRect GetTextRect() const;

    TDrawBackGroundEvent OnDrawBackGround;
    TGetTextEvent OnGetText;

    virtual void CreateButtons();
    virtual void ClearButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();

protected:
    void Paint() override;
    void WMSize(TMessage& M) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void ButtonClick(TObject* Sender);
    void PaintSizeGrip(const TRect& R);
    bool InGripZone(int X, int Y) const;
    TFooterAppearance* FAppearance;
    TImageList* FImages = nullptr;
    TExCustomDropDown* FExDropDown = nullptr;
    TDbgList* FButtonList;
    TCursor FOldCursor = crDefault;
};

// ---------------------------------------------------------------------------
// The drop-down button
// ---------------------------------------------------------------------------

class TDropDownEditButton;

class TExDropDownSpeedButton : public TSpeedButton {
    KAL_CLASS(TExDropDownSpeedButton, TSpeedButton)
public:
    explicit TExDropDownSpeedButton(TComponent* AOwner);
    TDropButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TDropButtonStyle v) { FButtonStyle = v; Invalidate(); }
    bool Etched() const { return FEtched; }
    void SetEtched(bool v);
    bool Focused() const { return FFocused; }
    void SetFocused(bool v);
    bool Hot() const { return FHot; }
    // After this the pressed look is never drawn.
    void SetUp() { FUp = true; }
    // Down or latched, unless SetUp was called.
    bool Pressed() const;

protected:
    void Paint() override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;

private:
    void PaintDropDown();
    void PaintButtonStyle();
    TDropDownEditButton* Owner_() const;
    bool FEtched = false, FFocused = false, FHot = false, FUp = false;
    bool FIsWinXP;
    TDropButtonStyle FButtonStyle = bsDropDown;
};

class TDropDownEditButton : public TWinControl {
    KAL_CLASS(TDropDownEditButton, TWinControl)
public:
    explicit TDropDownEditButton(TComponent* AOwner);
    TExDropDownSpeedButton* Button() const { return FButton; }
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* c) { FFocusControl = c; }
    TNotifyEvent OnClick;
    int ButtonWidth() const { return FBWidth; }
    void SetButtonWidth(int w) { FBWidth = w; }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const TBitmap* v) { FButton->SetGlyph(v); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int v) { FButton->SetNumGlyphs(v); }
    QString ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const QString& v) { FButton->SetCaption(v); }

    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { FButtonColor = v; FButton->Invalidate(); }
    TColor ButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { FButtonColorHot = v; FButton->Invalidate(); }
    TColor ButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { FButtonColorDown = v; FButton->Invalidate(); }
    TColor ButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { FButtonTextColor = v; FButton->Invalidate(); }
    TColor ButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { FButtonTextColorHot = v; FButton->Invalidate(); }
    TColor ButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { FButtonTextColorDown = v; FButton->Invalidate(); }
    TColor ButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { FButtonBorderColor = v; FButton->Invalidate(); }

    // The width is always the button width; the inner button fills it.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TExCustomDropDown* Edit() const;

protected:
    void WMSize(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    TExDropDownSpeedButton* FButton;
    TWinControl* FFocusControl = nullptr;
    int FBWidth = 16;
    TColor FButtonColor = clNone, FButtonColorHot = clNone, FButtonColorDown = clNone, FButtonTextColor = clNone,
           FButtonTextColorHot = clNone, FButtonTextColorDown = clNone, FButtonBorderColor = clNone;
};

// ---------------------------------------------------------------------------
// The popup
// ---------------------------------------------------------------------------

class TDropDownForm : public TForm {
    KAL_CLASS(TDropDownForm, TForm)
public:
    // The class library's CreateNew: a form without a form description.
    TDropDownForm(TComponent* AOwner, int Dummy);
    explicit TDropDownForm(TComponent* AOwner) : TDropDownForm(AOwner, 0) {}

    std::uint32_t DeActivateTime() const { return FDeActivate; }
    bool Shadow() const { return FShadow; }
    void SetShadow(bool v) { FShadow = v; }
    TExFooter* Footer() const { return FFooter; }
    TExHeader* Header() const { return FHeader; }
    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(TExCustomDropDown* E) { FExDropDown = E; }
    TWinControl* ScrollBox() const { return FScrollBox; }
    bool Sizeable() const { return FSizeable; }
    void SetSizeable(bool v) { FSizeable = v; }
    bool CancelOnDeActivate() const { return FCancelOnDeActivate; }
    void SetCancelOnDeActivate(bool v) { FCancelOnDeActivate = v; }
    bool BlockActivate() const { return FBlockActivate; }
    void SetBlockActivate(bool v) { FBlockActivate = v; }
    TNotifyEvent OnSizing;
    // Wheel turns over the popup.
    TNotifyEvent OnMouseWheelDownEx, OnMouseWheelUpEx;

    // Re-links the strips to the owning edit: header and footer made when
    // their appearance is visible, their buttons rebuilt, events handed on.
    void InitializeAndUpdate();
    virtual void UpdateSize() {}
    // Neither narrower nor lower than the minimum size.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetMinSize(int w, int h) { FMinWidth = w; FMinHeight = h; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& R) override;
    void PaintWindow(const TPaintTarget& target) override;
    void WndProc(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMNCHitTest(TMessage& M) override;

private:
    void WMActivate(TMessage& M);
    void PrepareHeader();
    void PrepareFooter();
    std::uint32_t FDeActivate = 0;
    bool FShadow = true;
    TExFooter* FFooter = nullptr;
    TExHeader* FHeader = nullptr;
    TExCustomDropDown* FExDropDown = nullptr;
    TWinControl* FScrollBox = nullptr;
    bool FSizeable = false, FCancelOnDeActivate = true, FBlockActivate = false;
    int FMinWidth = 0, FMinHeight = 0;
};

// ---------------------------------------------------------------------------
// The edit
// ---------------------------------------------------------------------------

class TExCustomDropDown : public TCustomMaskEdit, public IQORStyle, public IQORTones {
    KAL_CLASS(TExCustomDropDown, TCustomMaskEdit)
public:
    explicit TExCustomDropDown(TComponent* AOwner);
    ~TExCustomDropDown() override;
    // The construction steps that call virtual operations.
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // -- value and typed input
    // The value: the whole text without the Prefix and the Suffix.
    QString Text() const;
    // Prefix + value + Suffix, the value formatted by the edit type; the
    // value is remembered as the one a cancelled popup restores.
    virtual void SetText(const QString& V);
    // The whole text, as given.
    void SetRawText(const QString& S);
    QString WholeText() const { return TControl::Text(); }
    TDropDownEditType EditType() const { return FEditType; }
    void SetEditType(TDropDownEditType T);
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);
    void SetFloatValue(double X);
    void SetIntValue(int N);
    double GetFloatValue() const;
    double TextToFloat(const QString& S) const;
    void UpdateThousandSeparators();
    bool GetModified() const;
    void SetModified(bool B);
    int IntegerPartLength(const QString& S) const;
    int DecimalSeparatorPos() const;
    bool IsAllowedMinus(QChar C) const;
    bool DecimalsFull(const QString& S, int Caret) const;
    bool ThousandSeparatorRejected(const QString& S, int Caret) const;
    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();

    // Settings the leaves set directly.
    QString Prefix, Suffix, ValidChars;
    bool Signed = false, ReturnIsTab = false, AllowNumericNullValue = false, DefaultHandling = true, CanUndo = true,
         ExcelStyleDecimalSeparator = false, AutoThousandSeparator = true;
    int16_t LengthLimit = 0;
    TDropDownClipboardEvent OnClipboardCopy, OnClipboardPaste, OnClipboardCut;
    QString OldString() const { return FOldString; }
    QString OldText() const { return FOldText; }

    // -- popup
    void ShowDropDown() { DoDropDown(); }
    void HideDropDown(bool CancelChanges) { DoHideDropDown(CancelChanges); }
    bool DroppedDown() const { return FDroppedDown; }
    TDropDownForm* DropDownForm() const { return FDropDownForm; }
    TDropDownEditButton* Button() const { return FButton; }
    TControl* DropDownControl() const { return FControl; }
    void SetDropDownControl(TControl* C);
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int v);
    int DropDownHeight() const { return FDropDownHeight; }
    void SetDropDownHeight(int v);
    int UserDropDownWidth() const { return FUserDropDownWidth; }
    int UserDropDownHeight() const { return FUserDropDownHeight; }
    TDropPosition DropPosition() const { return FDropPosition; }
    void SetDropPosition(TDropPosition v) { FDropPosition = v; }
    TColor DropDownColor() const { return FDropDownColor; }
    void SetDropDownColor(TColor v);
    TColor DropDownColorTo() const { return FDropDownColorTo; }
    void SetDropDownColorTo(TColor v) { FDropDownColorTo = v; }
    TColor DropDownBorderColor() const { return FDropDownBorderColor; }
    void SetDropDownBorderColor(TColor v) { FDropDownBorderColor = v; }
    int DropDownBorderWidth() const { return FDropDownBorderWidth; }
    void SetDropDownBorderWidth(int v) { FDropDownBorderWidth = v; }
    bool DropDownShadow() const { return FDropDownShadow; }
    void SetDropDownShadow(bool v) { FDropDownShadow = v; }
    bool ForceShadow() const { return FForceShadow; }
    void SetForceShadow(bool v) { FForceShadow = v; }
    TGradientDirection DropDownGradient() const { return FDropDownGradient; }
    void SetDropDownGradient(TGradientDirection v) { FDropDownGradient = v; }
    bool DropDownSizeable() const { return FDropDownSizeable; }
    void SetDropDownSizeable(bool v) { FDropDownSizeable = v; }
    bool DropDownEnabled() const { return FDropDownEnabled; }
    void SetDropDownEnabled(bool v) { FDropDownEnabled = v; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v);
    int DropDownButtonWidth() const { return FButtonWidth; }
    void SetDropDownButtonWidth(int v);
    QString DropDownButtonHint() const { return FButtonHint; }
    void SetDropDownButtonHint(const QString& v);
    TBitmap* DropDownButtonGlyph() const { return FButton ? FButton->Glyph() : nullptr; }
    void SetDropDownButtonGlyph(const TBitmap* v) { if (FButton) FButton->SetGlyph(v); }
    QString GetButtonCaption() const { return FButton ? FButton->ButtonCaption() : QString(); }
    void SetButtonCaption(const QString& v) { if (FButton) FButton->SetButtonCaption(v); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    THeaderAppearance* DropDownHeader() const { return FDropDownHeader; }
    void SetDropDownHeader(const THeaderAppearance* v) { FDropDownHeader->Assign(v); }
    TFooterAppearance* DropDownFooter() const { return FDropDownFooter; }
    void SetDropDownFooter(const TFooterAppearance* v) { FDropDownFooter->Assign(v); }
    TExButtonAppearance* ButtonAppearance() const { return FButtonAppearance; }
    void SetButtonAppearance(const TExButtonAppearance* v) { FButtonAppearance->Assign(v); }
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* c) { FFocusControl = c; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Etched() const { return FEtched; }
    void SetEtched(bool v) { FEtched = v; }
    bool FocusDraw() const { return FFocusDraw; }
    void SetFocusDraw(bool v) { FFocusDraw = v; }

    // -- colours and looks
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor v) { FSelectionColor = v; }
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor v) { FSelectionColorTo = v; }
    TSelectionColorStyle SelectionColorStyle() const { return FSelectionColorStyle; }
    virtual void SetSelectionColorStyle(TSelectionColorStyle S);
    virtual void DrawSelection(TCanvas* Canvas, const TRect& R, TColor BackgroundColor, uint8_t Piece);
    virtual void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                              TGradientDirection Direction);
    TQORStyle GetComponentStyle() const { return FQORStyle; }
    void SetComponentStyle(TQORStyle AStyle) override;
    void SetColorTones(const TColorTones& ATones) override;
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor v) { FFocusBorderColor = v; Invalidate(); }
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool v) { FDisabledBorder = v; Invalidate(); }
    bool MouseInControl() const { return FMouseInControl; }

    // -- label
    QString LabelCaption() const;
    void SetLabelCaption(const QString& v);
    TLabel* Label() const { return FLabel; }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v) { FLabelPosition = v; UpdateLabel(); }
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v) { FLabelMargin = v; UpdateLabel(); }
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v) { FLabelTransparent = v; UpdateLabel(); }
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v) { FLabelAlwaysEnabled = v; UpdateLabel(); }
    TFont* LabelFont() { return &FLabelFont; }
    void SetLabelFont(const TFont& f) { FLabelFont.Assign(f); }
    TNotifyEvent OnLabelClick, OnLabelDblClick;

    // -- events
    TNotifyEvent OnBeforeDropDown, OnBeforeDropUp;
    TDropDown OnDropDown;
    TDropUp OnDropUp;
    TDropDownButtonItemClick OnDropDownHeaderButtonClick, OnDropDownFooterButtonClick;
    TDrawBackGroundEvent OnDrawHeader, OnDrawFooter;
    TGetTextEvent OnGetHeaderText, OnGetFooterText;

    // -- layout and the rest
    int GetMinHeight();
    QString Version() const;
    void SetVersion(const QString&) {}
    void Assign(const TPersistent* Source) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect EditRect() const { return FEditRect; }

    // The slot list of the leaves' overridable operations.
    virtual void DoLabelClick();
    virtual void DoLabelDblClick();
    virtual std::uint32_t GetVersionNr() const { return 0x01020104; }
    virtual void CreateDropDownForm();
    virtual void CreateDropDownButton();
    virtual void UpdateDropDownButton();
    virtual void BeforeDropDown();
    virtual void AdaptDropDownSize(int& Height) { (void)Height; }
    virtual void FocusDropDownControl();
    virtual void DoDropDown();
    virtual void PlaceDropDownControl();
    virtual void UpdateDropDownSize();
    virtual void DoHideDropDown(bool Cancelled);
    virtual void AfterDropUp();
    virtual void DropDownFormDestroyed() {}
    virtual void DropDownMouseWheelDown();
    virtual void DropDownMouseWheelUp();
    virtual void DropDownKeyPress(QChar& Key);
    virtual void DropDownKeyDown(unsigned& Key, TShiftState Shift);
    virtual void DropDownKeyUp(unsigned& Key, TShiftState Shift);
    virtual void ControlKeyDown(unsigned& Key, TShiftState Shift);
    virtual void ControlKeyUp(unsigned& Key, TShiftState Shift);
    virtual void ControlKeyPress(QChar& Key);
    virtual void DropDownSizing() {}
    virtual void SelectNextItem() {}
    virtual void SelectPreviousItem() {}
    virtual void DrawFocusedText();
    virtual void SetEditRect();
    virtual void ResizeControl();

    // The reopen guard: opens unless the popup lost the activation 250 ms
    // ago or less.
    void DoButtonDropDown();
    void RedrawBorder();
    void UpdateLabel();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void DoEnter() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void Change() override;
    void Paint() override;

    void WMKeyDown(TMessage& M) override;
    void WMChar(TMessage& M) override;
    void WMCut(TMessage& M) override;
    void WMCopy(TMessage& M) override;
    void WMPaste(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMSize(TMessage& M) override;
    void WMNCPaint(TMessage& M) override;
    void CMEnter(TMessage& M) override;
    void CMExit(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void CMParentFontChanged(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void CMVisibleChanged(TMessage& M) override;
    void CNCommand(TMessage& M);

    void DrawBorder(TCanvas* Canvas);
    void DetachOwned();
    bool IsHot() const;
    void CreateLabel();
    void HeaderChanged(TObject* Sender);
    void FooterChanged(TObject* Sender);
    void LabelFontChanged();
    void ButtonClick(TObject* Sender);
    void DropDownFormHide(TObject* Sender);

    // Typed input helpers.
    void ToggleSign(bool WholeCase);
    void SetValueKeepFrame(const QString& Value, int Caret);

    TLabel* FLabel = nullptr;
    bool FParentFnt = false;
    int FDropDownWidth = 0, FDropDownHeight = 0;
    int FUserDropDownWidth = -1, FUserDropDownHeight = -1;
    bool FEditorEnabled = true;
    TDropPosition FDropPosition = dpAuto;
    bool FFlat = false;
    TImageList* FImages = nullptr;
    bool FDropDownShadow = true;
    int FDropDownBorderWidth = 1;
    QString FButtonHint;
    TColor FDropDownColorTo = clNone, FDropDownColor = clWhite, FDropDownBorderColor = clBlack;
    int FButtonWidth = 17;
    bool FMouseInControl = false, FEtched = false;
    TWinControl* FFocusControl = nullptr;
    THeaderAppearance* FDropDownHeader;
    TFooterAppearance* FDropDownFooter;
    TExButtonAppearance* FButtonAppearance;
    TControl* FControl = nullptr;
    TGradientDirection FDropDownGradient = gdHorizontal;
    bool FDropDownSizeable = true;
    TColor FSelectionColor = clNone, FSelectionColorTo = clNone;
    TSelectionColorStyle FSelectionColorStyle = scOffice2007;
    TDropDownEditType FEditType = etString;
    int16_t FPrecision = 0;
    QString FOldString;
    bool FIsWinXP, FIsThemed;
    bool FBlockChange = false, FBlockCopy = false, FButtonDown = false;
    bool FIsModified = false;
    TRect FEditRect;
    bool FDropDownEnabled = false;
    bool FDroppedDown = false, FFocusDraw = true, FForceShadow = false;
    TQORStyle FQORStyle = tsOffice2007Luna;
    int FLabelMargin = 0;
    TLabelPosition FLabelPosition = lpLeftTop;
    bool FLabelAlwaysEnabled = false, FLabelTransparent = false;
    TFont FLabelFont;
    TColor FBorderColor = clNone, FFocusBorderColor = clNone;
    bool FDisabledBorder = true;
    TDropDownForm* FDropDownForm = nullptr;
    TDropDownEditButton* FButton = nullptr;
    QString FOldText;
    // The canvas of the paint under way; drawing outside a paint goes through
    // the window's device context.
    TCanvas* FPaintCanvas = nullptr;
};
