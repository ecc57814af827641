#pragma once
// The item selector: a scrollable grid of items, each an image (or a colour
// box) with a caption in mark-up, one of which can be hot (under the mouse)
// and one selected. It is the list inside the detail, colour and image
// picker popups.
//
//   TSelectorItem(s)       the items
//   TItemAppearance        colours and font of hot and selected items
//   TExCustomItemSelector  the outer scrolling control, owner of the rest
//   TCustomItemSelector    the inner panel: layout, painting, hit test
#include "gridpack/dropdown/ExDropDownUtils.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/Graphics.h"
#include "platform/core/Collections.h"

enum TSelectorType { stImage, stColor };

class TExCustomItemSelector;
class TCustomItemSelector;

class TSelectorItem : public TCollectionItem {
    KAL_CLASS(TSelectorItem, TCollectionItem)
public:
    explicit TSelectorItem(TCollection* Collection);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TPicture* Image() { return &FImage; }
    void SetImage(const TPicture* v) { FImage.Assign(v); }
    QString Hint;
    // Caption, colour, image index, picture, enabled flag and hint.
    void Assign(const TPersistent* Source) override;

    bool FEnabled = true;
    // The place the layout gave it; (-1,-1,-1,-1) before any layout.
    TRect FRect = Rect(-1, -1, -1, -1);
    // The caption's extent as the layout measured it (cx < 0: not measured
    // since the caption last changed).
    TSize FCaptionExtent = TSize(-1, -1);

private:
    void Notify();
    QString FCaption;
    TColor FColor = clNone;
    int FImageIndex = -1;
    TPicture FImage;
};

class TSelectorItems : public TOwnedCollection {
    KAL_CLASS(TSelectorItems, TOwnedCollection)
public:
    explicit TSelectorItems(TPersistent* AOwner);
    TSelectorItem* Add() { return static_cast<TSelectorItem*>(TCollection::Add()); }
    TSelectorItem* Insert(int Index) { return static_cast<TSelectorItem*>(TCollection::Insert(Index)); }
    TSelectorItem* Item(int Index) const { return static_cast<TSelectorItem*>(Items(Index)); }
    TNotifyEvent OnChange;
    // An item's caption, colour or image index changed: OnChange now, or
    // once at EndUpdate while updates are held back (filling many items
    // then lays the panel out once, not once per item).
    void ItemChanged();

protected:
    void Update(TCollectionItem* Item) override;

private:
    bool FPendingChange = false;
};

class TItemAppearance : public TPersistent {
    KAL_CLASS(TItemAppearance, TPersistent)
public:
    TItemAppearance();
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo, ColorSelected, ColorSelectedTo,
        ColorMirrorSelected, ColorMirrorSelectedTo, BorderColor, BorderColorTop, BorderColorBottom, EdgeColor;
    TColor BorderColorHot = clNone, BorderColorSelected = clNone, ColorHotText = clBlack, ColorSelectedText = clBlack;
    TFont* Font() { return &FFont; }
    TNotifyEvent OnChange;
    TSelectionColorStyle ColorStyle() const { return FColorStyle; }
    // Stores the style and loads its preset (scCustom only stores it).
    void SetColorStyle(TSelectionColorStyle S);
    void Assign(const TPersistent* Source) override;

private:
    TSelectionColorStyle FColorStyle = scCustom;
    TFont FFont;
};

using TItemDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int Index, TRect R)>;
using TItemSizeEvent = std::function<void(TObject* Sender, TSize& Size)>;

// The colours one item is painted in.
struct TItemColors {
    bool Filled = false;  // hot or selected
    TColor Color = clNone, ColorTo = clNone, Mirror = clNone, MirrorTo = clNone;
    TColor Border = clNone, Top = clNone, Bottom = clNone, Edge = clNone;
    TColor Text = clBlack;
};

class TCustomItemSelector : public TCustomControl {
    KAL_CLASS(TCustomItemSelector, TCustomControl)
public:
    // Raises "Invalid parent" unless the owner is an outer item selector.
    explicit TCustomItemSelector(TComponent* AOwner);

    TExCustomItemSelector* ExItemSelector() const { return FOwner; }
    TSelectorItems* Items() const;
    int Columns() const;
    TSelectorType SelectorType() const;
    TItemLayout ItemLayout() const;
    TImageList* Images() const;
    TSelectionColorStyle ItemColorStyle() const;
    int ColorBoxWidth() const;
    int ColorBoxHeight() const;

    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int Index);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const QString& S);
    int ItemAtPos(int X, int Y) const;
    void GetItemRect(int Index, TRect& R) const;
    TNotifyEvent OnItemSelect;

    // The colours of an item in its state; a hot item that is also
    // selected is painted as selected.
    TItemColors GetItemColors(int Index) const;
    // Where an item's content and caption go (the caption measured); false
    // for an index out of range or an item not laid out.
    bool GetItemLayout(int Index, TRect& Content, TRect& Caption);

    virtual void DrawItem(int Index, TCanvas* ACanvas);
    virtual void GetItemsRect(TRect& R) const;
    virtual void GetItemSize(TSize& S);
    virtual void InvalidateItem(int Index);
    virtual void UpdateItemsPosition();

    int FOffSetX = 2, FOffSetY = 2, FItemOffSetX = 4, FItemOffSetY = 4, FCaptionGap = 4;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& M) override;

private:
    TSize ContentSize(TSelectorItem* Item) const;
    TSize MeasureCaption(TCanvas* C, const QString& S, const TRect& R) const;
    TExCustomItemSelector* FOwner;
    int FItemIndex = -1, FItemHot = -1;
};

class TExCustomItemSelector : public TScrollBox {
    KAL_CLASS(TExCustomItemSelector, TScrollBox)
public:
    explicit TExCustomItemSelector(TComponent* AOwner);
    ~TExCustomItemSelector() override;

    TSelectorItems* Items() const { return FItems; }
    void SetItems(const TSelectorItems* v) { FItems->Assign(v); }
    TSelectorType SelectorType() const { return FSelectorType; }
    void SetSelectorType(TSelectorType v);
    TItemLayout ItemLayout() const { return FItemLayout; }
    void SetItemLayout(TItemLayout v) { FItemLayout = v; }
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int v);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int v);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    TItemAppearance* ItemAppearance() const { return FItemAppearance; }
    void SetItemAppearance(const TItemAppearance* v) { FItemAppearance->Assign(v); }
    TCustomItemSelector* SelectorPanel() const { return FItemSelectorPanel; }
    int ItemIndex() const { return FItemSelectorPanel ? FItemSelectorPanel->ItemIndex() : -1; }
    void SetItemIndex(int v);
    int ItemHot() const { return FItemSelectorPanel ? FItemSelectorPanel->ItemHot() : -1; }

    TNotifyEvent OnItemSelect;
    TItemDrawEvent OnDrawItem;
    TItemSizeEvent OnItemSize;

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const QString& S);
    void ScrollItemInView(int Index);
    // Whole items that fit in the height, times Columns; 0 without items or
    // when the first item has no height.
    int GetVisibleItemCount();
    void UpdateSelectorPanel();
    void GetSelectorPanelSize(TSize& S) const;

protected:
    void WMGetDlgCode(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    template <class F>
    void Forward(F f, bool hot);
    TSelectorItems* FItems;
    TSelectorType FSelectorType = stImage;
    TItemLayout FItemLayout = ilCaptionRight;
    int FColumns = 1, FColorBoxWidth = 14, FColorBoxHeight = 14;
    TImageList* FImages = nullptr;
    TItemAppearance* FItemAppearance;
    TCustomItemSelector* FItemSelectorPanel = nullptr;
};
