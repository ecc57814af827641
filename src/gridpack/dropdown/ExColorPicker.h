#pragma once
// The colour picker drop-down: a non-editable drop-down holding a colour,
// shown in the edit as a small box and a value text. Its popup offers a list
// of named colours (an item selector of colour boxes), the theme palette's
// colour boxes, the colour cube or the spectrum.
#include "gridpack/dropdown/ExColorPanels.h"
#include "gridpack/dropdown/ExDropDown.h"
#include "gridpack/dropdown/ExImagePicker.h"
#include "gridpack/dropdown/ExItemSelector.h"

class TColorItem : public TCollectionItem {
    KAL_CLASS(TColorItem, TCollectionItem)
public:
    explicit TColorItem(TCollection* Collection) : TCollectionItem(Collection) {}
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    QString Hint;
    bool FEnabled = true;
    // Caption, colour, enabled flag and hint.
    void Assign(const TPersistent* Source) override;

private:
    void Notify();
    QString FCaption;
    TColor FColor = clNone;
};

class TColorItems : public TOwnedCollection {
    KAL_CLASS(TColorItems, TOwnedCollection)
public:
    explicit TColorItems(TPersistent* AOwner);
    TColorItem* Add() { return static_cast<TColorItem*>(TCollection::Add()); }
    TColorItem* Insert(int Index) { return static_cast<TColorItem*>(TCollection::Insert(Index)); }
    TColorItem* Item(int Index) const { return static_cast<TColorItem*>(Items(Index)); }
    TNotifyEvent OnChange;
};

enum TColorSelectionStyle { csList, csDiscrete, csColorCube, csSpectrum };
enum TColorValueText { cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML };

class TExColorPickerDropDown : public TExCustomDropDown {
    KAL_CLASS(TExColorPickerDropDown, TExCustomDropDown)
public:
    explicit TExColorPickerDropDown(TComponent* AOwner);
    ~TExColorPickerDropDown() override;

    TColorItems* Colors() const { return FColors; }
    void SetColors(const TColorItems* v) { FColors->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int I);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor C);
    QString SelectedColorText() { return GetSelectedColorText(); }
    TColorSelectionStyle ColorSelectionStyle() const { return FColorSelectionStyle; }
    void SetColorSelectionStyle(TColorSelectionStyle S);
    TColorValueText ColorValueText() const { return FColorValueText; }
    void SetColorValueText(TColorValueText v) { FColorValueText = v; }
    bool ShowText() const { return FShowText; }
    void SetShowText(bool v);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int v) { FColorBoxWidth = v; }
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int v) { FColorBoxHeight = v; }
    int Columns() const { return FColumns; }
    void SetColumns(int v) { FColumns = v; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout v) { FLayout = v; }
    TItemAppearance* ItemAppearance() const { return FItemAppearance; }
    void SetItemAppearance(const TItemAppearance* v) { FItemAppearance->Assign(v); }

    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    TCustomColorSelector* ColorSelector() const { return FColorSelector; }
    TExColorCubePanel* ColorCubePanel() const { return FColorCubePanel; }
    TExColorSpectrumPanel* SpectrumPanel() const { return FSpectrumPanel; }
    TTimer* KeyTimer() const { return FKeyTimer; }
    QString CurSearch() const { return FCurSearch; }

    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedColor;
    TImagePickerDrawItemEvent OnDrawColor;

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    // Appends the 16 basic colours (the list is not cleared).
    void AddDefaultColors();

    virtual QString GetSelectedColorText();

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void DropDownFormDestroyed() override;
    void SelectNextItem() override;
    void SelectPreviousItem() override;
    void DrawFocusedText() override;
    void SetSelectionColorStyle(TSelectionColorStyle S) override;
    void SetComponentStyle(TQORStyle AStyle) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void WMKeyDown(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Chooses the item a step leads to, if any.
    void Step(TItemStep S);
    bool IsPanelStyle() const { return FColorSelectionStyle != csList; }
    // The popup control of the current style; null when not made yet.
    TControl* StyleControl() const;
    void CreateStyleControl();
    void CreateListSelector();
    void CreateColorSelector();
    void CreateCubePanel();
    void CreateSpectrumPanel();
    // The style's control ready in the popup, the others hidden.
    void PrepareStyleControl();
    void UpdateSelector();
    void CopyItemsToSelector();
    void ItemSelected();
    void ColorBoxSelected();
    void PanelColorSelected(TColor C);
    void MoveSelector(int Index);
    void PaintSelectedColor(TCanvas* C);
    void UpdatePanelSize();

    TColorItems* FColors;
    int FItemIndex = -1, FOldItemIndex = -1;
    TColor FSelectedColor = clNone, FOldSelectedColor = clNone;
    TColorSelectionStyle FColorSelectionStyle = csList;
    TColorValueText FColorValueText = cvtNone;
    bool FShowText = true;
    int FColorBoxWidth = 14, FColorBoxHeight = 14, FColumns = 1;
    TItemLayout FLayout = ilCaptionRight;
    TItemAppearance* FItemAppearance;
    TExCustomItemSelector* FItemSelector = nullptr;
    TCustomColorSelector* FColorSelector = nullptr;
    TExColorCubePanel* FColorCubePanel = nullptr;
    TExColorSpectrumPanel* FSpectrumPanel = nullptr;
    bool FInternalCall = false, FDesignTime = false, FDestroying = false;
    TTimer* FKeyTimer;
    QString FCurSearch;
};
