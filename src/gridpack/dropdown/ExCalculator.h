#pragma once
// The calculator drop-down: a numeric edit whose popup is a keypad of 28
// buttons. Operations run one at a time from left to right: an operator
// applies the pending operation to the running value and the shown number,
// shows the result and becomes the pending one; "=" applies it and ends the
// chain. The operators also work from the keyboard while the popup is
// closed.
//
//   TButtonAppearance      the keypad's fonts (and kept colours)
//   TButtonItem(s)         one keypad button and the collection
//   TCustomButtonPanel     the keypad: layout, painting, mouse
//   TExCalculatorDropdown  the edit and its engine
#include "gridpack/dropdown/ExDropDown.h"
#include "platform/core/Collections.h"

#include <memory>

enum TButtonPanelType { plCalculator, plCustom };

class TExCalculatorDropdown;
class TCustomButtonPanel;

// Colours and fonts of the keypad. The keypad paints classic push buttons and
// takes only Font, TextColor and SpecialTextColor from here; the colours are
// kept, copied and set by the component styles.
class TButtonAppearance : public TPersistent {
    KAL_CLASS(TButtonAppearance, TPersistent)
public:
    TButtonAppearance();
    TNotifyEvent OnChange;
    // One field per colour, named as published; Set writes it and notifies
    // when it changes.
    enum TField {
        bfColor, bfColorTo, bfColorHot, bfColorHotTo, bfColorDown, bfColorDownTo, bfGlowColorHot, bfGlowColorDown,
        bfShineColor, bfBorderColor, bfBorderColorHot, bfBorderColorDown, bfTextColor, bfSpecialTextColor, bfCount
    };
    TColor Get(TField f) const { return FColors[f]; }
    void Set(TField f, TColor v);
    TColor Color() const { return FColors[bfColor]; }
    TColor ColorTo() const { return FColors[bfColorTo]; }
    TColor ColorHot() const { return FColors[bfColorHot]; }
    TColor ColorHotTo() const { return FColors[bfColorHotTo]; }
    TColor ColorDown() const { return FColors[bfColorDown]; }
    TColor ColorDownTo() const { return FColors[bfColorDownTo]; }
    TColor GlowColorHot() const { return FColors[bfGlowColorHot]; }
    TColor GlowColorDown() const { return FColors[bfGlowColorDown]; }
    TColor BorderColor() const { return FColors[bfBorderColor]; }
    TColor BorderColorHot() const { return FColors[bfBorderColorHot]; }
    TColor BorderColorDown() const { return FColors[bfBorderColorDown]; }
    TColor TextColor() const { return FColors[bfTextColor]; }
    TColor SpecialTextColor() const { return FColors[bfSpecialTextColor]; }
    TFont* Font() { return &FFont; }
    void Assign(const TPersistent* Source) override;

private:
    TColor FColors[bfCount];
    TFont FFont;
};

class TButtonItem : public TCollectionItem {
    KAL_CLASS(TButtonItem, TCollectionItem)
public:
    explicit TButtonItem(TCollection* Collection);
    QString Caption;
    TColor CaptionColor = clWhite;
    int ImageIndex = -1;
    int Tag = 0;
    TPicture* Image() { return &FImage; }
    // Caption, caption colour, tag, image index, picture, enabled flag, name.
    void Assign(const TPersistent* Source) override;

    QString FName;
    bool FEnabled = true, FSpecial = false;
    // The place the layout gave it; a width of 0 is not laid out.
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TRect BoundsRect() const { return Rect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }

private:
    TPicture FImage;
};

class TButtonItems : public TOwnedCollection {
    KAL_CLASS(TButtonItems, TOwnedCollection)
public:
    explicit TButtonItems(TPersistent* AOwner);
    TButtonItem* Add() { return static_cast<TButtonItem*>(TCollection::Add()); }
    TButtonItem* Insert(int Index) { return static_cast<TButtonItem*>(TCollection::Insert(Index)); }
    TButtonItem* Item(int Index) const { return static_cast<TButtonItem*>(Items(Index)); }
    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem*) override {
        if (OnChange) OnChange(this);
    }
};

using TCalcButtonClickEvent = std::function<void(TObject* Sender, int ButtonIndex)>;

class TCustomButtonPanel : public TCustomControl {
    KAL_CLASS(TCustomButtonPanel, TCustomControl)
public:
    explicit TCustomButtonPanel(TComponent* AOwner);
    ~TCustomButtonPanel() override;

    TButtonItems* Buttons() const { return FButtons; }
    void SetButtons(const TButtonItems* v) { FButtons->Assign(v); }
    TButtonAppearance* ButtonAppearance() const { return FButtonAppearance; }
    void SetButtonAppearance(const TButtonAppearance* v) { FButtonAppearance->Assign(v); }
    TItemLayout ButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TItemLayout v) { FButtonLayout = v; }
    TButtonPanelType ButtonPanelType() const { return FButtonPanelType; }
    void SetButtonPanelType(TButtonPanelType v);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    TExCalculatorDropdown* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(TExCalculatorDropdown* v) { FExDropDown = v; }
    int ButtonHot() const { return FButtonHot; }
    int ButtonDown() const { return FButtonDown; }
    TCalcButtonClickEvent OnButtonClick;

    virtual void DrawButton(int Index, TCanvas* ACanvas);
    virtual void GetButtonsRect(TRect& R);
    virtual void GetButtonSize(TSize& S);
    virtual void ClearButtons();
    virtual void ResetButtons();
    virtual void CreateButtons();
    virtual void UpdateButtonsPosition();
    virtual void InvalidateButton(int Index);
    virtual void ButtonClick(int Index);
    // The enabled button under a point, -1 for none.
    int ButtonAtPos(int X, int Y) const;

protected:
    void Loaded() override;
    void Paint() override;
    void WMSize(TMessage& M) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Changed();
    TButtonItems* FButtons;
    TButtonAppearance* FButtonAppearance;
    TItemLayout FButtonLayout = ilCaptionRight;
    TButtonPanelType FButtonPanelType = plCalculator;
    TImageList* FImages = nullptr;
    int FButtonHot = -1, FButtonDown = -1;
    int FOffSetX = 8, FOffSetY = 8, FButtonOffSetX = 4, FButtonOffSetY = 4, FCaptionGap = 0;
    TExCalculatorDropdown* FExDropDown = nullptr;
};

class TExCalculatorDropdown : public TExCustomDropDown {
    KAL_CLASS(TExCalculatorDropdown, TExCustomDropDown)
public:
    explicit TExCalculatorDropdown(TComponent* AOwner);
    ~TExCalculatorDropdown() override;
    void AfterConstruction() override;

    TButtonAppearance* CalcButtonAppearance() const { return FCalcButtonAppearance; }
    void SetCalcButtonAppearance(const TButtonAppearance* v) { FCalcButtonAppearance->Assign(v); }
    bool ShowThousandSeparator() const { return FShowThousandSeparator; }
    void SetShowThousandSeparator(bool v);
    TCustomButtonPanel* ButtonPanel() const { return FExButtonPanel; }

    long double Value();
    void SetValue(long double v);
    void CalcResult() { DoEquals(); }

    // The engine's steps, public for the string grid's wrapper.
    void DoAdd();
    void DoSubtract();
    void DoMultiply();
    void DoDivide();
    void DoEquals();
    void DoPercent();
    // A keypad button by its index in the keypad.
    void ButtonPanelClick(TObject* Sender, int Index);
    // The pending operation: -1 none, 0 add, 1 multiply, 2 subtract, 3 divide.
    int PendingOperation() const { return FPrevop; }
    long double PreviousValue() const { return FPrevval; }
    long double MemoryValue() const { return FMVal; }

    void SetComponentStyle(TQORStyle AStyle) override;
    virtual void BeforeCalcInput() {}
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DropDownKeyPress(QChar& Key) override;
    void DropDownKeyDown(unsigned& Key, TShiftState Shift) override;

protected:
    void WMChar(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void CMEnter(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The shown text without thousand separators, converted; raises the
    // platform's conversion error for a text that is no number.
    long double DisplayValue() const;
    void CalcPendingOperation();
    // The keys typed in the edit; a discarded key becomes the null character.
    void CalcKeyPress(QChar& Key);
    void PopupCalcKey(QChar& Key);
    void ResetToZero();
    void CaretAfterFirst();
    bool AtMaxLength() const;
    void ZeroWhenEmptyOrError();
    long double FPrevval = 0;
    int FPrevop = -1;
    bool FNewval = false;
    int FDecim = 0;
    long double FMVal = 0;
    bool FCalcClosed = true;
    bool FShowThousandSeparator = false;
    TButtonAppearance* FCalcButtonAppearance;
    TCustomButtonPanel* FExButtonPanel = nullptr;
};
