#pragma once
// The colour panels of the colour picker's popup:
//
//   TExColorCubePanel      a honeycomb of 127 hexagonal cells of fixed colours
//   TExColorSpectrumPanel  a hue and lightness picture with a swatch of the
//                          colour under the mouse and one of the chosen colour
//   TCustomColorSelector   small colour boxes (the theme palette) whose boxes
//                          join into vertical strips
//
// Colours are platform values (0xBBGGRR); clNone means no colour.
#include "gridpack/dropdown/ExDropDownUtils.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/core/Collections.h"
#include "platform/graphics/Graphics.h"

#include <array>

// The common base: one event, raised on mouse release by the cube and the
// spectrum so that an owner may close its popup.
class TExCustomColorSelectorPanel : public TCustomControl {
    KAL_CLASS(TExCustomColorSelectorPanel, TCustomControl)
public:
    explicit TExCustomColorSelectorPanel(TComponent* AOwner) : TCustomControl(AOwner) {}
    TNotifyEvent FOnShouldHide;
};

// ---------------------------------------------------------------------------
// The colour cube
// ---------------------------------------------------------------------------

class TExColorCubePanel : public TExCustomColorSelectorPanel {
    KAL_CLASS(TExColorCubePanel, TExCustomColorSelectorPanel)
public:
    static constexpr int CellCount = 127;
    struct TCubeCell {
        TPoint Center;
        TColor Color = clNone;
    };

    explicit TExColorCubePanel(TComponent* AOwner);

    TColor SelectedColor() const { return FSelectedColor; }
    // The colour is stored and the first cell of it becomes the selected
    // one (none when no cell has it); nothing is repainted.
    void SetSelectedColor(TColor C) { SetCubeSelection(C, -1); }
    int SelectedIndex() const { return FSelectedIndex; }
    int HotIndex() const { return FHotIndex; }
    bool ShowRGBHint() const { return FShowRGBHint; }
    void SetShowRGBHint(bool v);
    TNotifyEvent OnSelect;

    // Cells 1 to 127; an index outside answers a cell of no colour.
    TCubeCell Cell(int Index) const;
    // The cell whose centre lies within the half width of the point; -1.
    int CellAtPos(int X, int Y) const;
    void InitCube();
    void ResetCube();
    // The hint text for a cell's colour.
    static QString RGBHint(TColor C);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void SetCubeSelection(TColor C, int Index);
    void DrawCubeCell(TCanvas* C, int Index);
    void InvalidateCell(int Index);
    std::array<TCubeCell, CellCount + 1> FCubeCells{};
    TPoint FCubeSize = Point(6, 3);
    TColor FSelectedColor = clNone;
    int FSelectedIndex = -1, FHotIndex = -1;
    bool FShowRGBHint = true;
};

// ---------------------------------------------------------------------------
// The spectrum
// ---------------------------------------------------------------------------

class TExColorSpectrumPanel : public TExCustomColorSelectorPanel {
    KAL_CLASS(TExColorSpectrumPanel, TExCustomColorSelectorPanel)
public:
    // The cursor number the spectrum's picture shows.
    static constexpr TCursor PointerCursor = 54;

    explicit TExColorSpectrumPanel(TComponent* AOwner);

    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor C) { FSelectedColor = C; }
    TColor HotColor() const { return FHotColor; }
    TImage* SpectrumImage() const { return FSpectrumImage; }
    TRect HotRect() const { return FHotRect; }
    TRect SelectedRect() const { return FSelectedRect; }
    TNotifyEvent OnSelect;

    // Panel 150 x 174, the picture centred at the top, the two swatches
    // below it; the hot colour cleared.
    void ArrangeSpectrum();

protected:
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void ImageMouseMove(int X, int Y);
    void ImageMouseDown();
    void DrawSwatch(TCanvas* C, const TRect& R, TColor Color);
    void InvalidateSwatch(const TRect& R);
    TImage* FSpectrumImage;
    TColor FHotColor = clNone, FSelectedColor = clWhite;
    TRect FHotRect, FSelectedRect;
};

// ---------------------------------------------------------------------------
// The colour-box selector
// ---------------------------------------------------------------------------

class TColorBoxAppearance : public TPersistent {
    KAL_CLASS(TColorBoxAppearance, TPersistent)
public:
    TColor BorderColor = 0xC5C5C5;
    TColor OuterBorderColorHot = 0x3694F2, InnerBorderColorHot = 0x94E2FF;
    TColor OuterBorderColorSelected = 0x0000FF, InnerBorderColorSelected = 0x94E2FF;
    TNotifyEvent OnChange;
    // The five colours back to their values after construction.
    void LoadDefaults();
    void Assign(const TPersistent* Source) override;
};

// Where a box stands in a vertical strip of joined boxes.
enum TItemPos { ipStandAlone, ipTop, ipMiddle, ipBottom };

class TColorBoxItem : public TCollectionItem {
    KAL_CLASS(TColorBoxItem, TCollectionItem)
public:
    explicit TColorBoxItem(TCollection* Collection) : TCollectionItem(Collection) {}
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TItemPos ColorBoxPos() const { return FColorBoxPos; }
    void SetColorBoxPos(TItemPos v) { FColorBoxPos = v; }
    // Colour and enabled flag.
    void Assign(const TPersistent* Source) override;
    bool FEnabled = true;
    TRect FRect = Rect(-1, -1, -1, -1);

private:
    TColor FColor = clNone;
    TItemPos FColorBoxPos = ipStandAlone;
};

class TColorBoxItems : public TOwnedCollection {
    KAL_CLASS(TColorBoxItems, TOwnedCollection)
public:
    explicit TColorBoxItems(TPersistent* AOwner);
    TColorBoxItem* Add() { return static_cast<TColorBoxItem*>(TCollection::Add()); }
    TColorBoxItem* Insert(int Index) { return static_cast<TColorBoxItem*>(TCollection::Insert(Index)); }
    TColorBoxItem* Item(int Index) const { return static_cast<TColorBoxItem*>(Items(Index)); }
    TNotifyEvent OnChange;
};

class TCustomColorSelector : public TExCustomColorSelectorPanel {
    KAL_CLASS(TCustomColorSelector, TExCustomColorSelectorPanel)
public:
    explicit TCustomColorSelector(TComponent* AOwner);
    ~TCustomColorSelector() override;

    TColorBoxItems* Items() const { return FItems; }
    void SetItems(const TColorBoxItems* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int I);
    int ItemHot() const { return FItemHot; }
    void SetColorBoxHot(int I);
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    int ColumnGap() const { return FColumnGap; }
    void SetColumnGap(int v);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int v);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int v);
    TColorBoxAppearance* ColorBoxAppearance() const { return FColorBoxAppearance; }
    void SetColorBoxAppearance(const TColorBoxAppearance* v) { FColorBoxAppearance->Assign(v); }
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle S);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor C);
    TNotifyEvent OnItemSelect;

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    void SelectColorBoxByKey(unsigned Key, bool EditorEnabled, bool PopupOpen);
    int ColorBoxAtPos(int X, int Y) const;
    TRect GetColorBoxRect(int Index) const;
    // Empties the boxes and adds the 60 colours of the theme palette.
    void AddThemeColors();

    virtual void DrawColorBox(int Index, TCanvas* ACanvas);
    virtual void GetColorBoxArea(TRect& R);
    virtual void GetColorBoxSize(TSize& S);
    virtual void ArrangeColorBoxes();
    virtual void InvalidateColorBox(int Index);

    int FOffSetX = 4, FOffSetY = 4;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& M) override;

private:
    bool BoxEnabled(int I) const { return I >= 0 && I < FItems->Count() && FItems->Item(I)->FEnabled; }
    TColorBoxItems* FItems;
    TColorBoxAppearance* FColorBoxAppearance;
    int FItemIndex = -1, FItemHot = -1;
    int FColumns = 10, FColumnGap = 4, FColorBoxWidth = 12, FColorBoxHeight = 12;
    TSelectionColorStyle FItemColorStyle = scOffice2007;
    TColor FSelectedColor = clNone;
};
