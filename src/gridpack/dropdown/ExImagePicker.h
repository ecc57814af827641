#pragma once
// The image picker drop-down: a non-editable drop-down whose value is one of
// its items, each a picture of its own or an image of the image list with
// an optional caption. The edit shows the chosen image centred; the popup
// shows every item in an item selector of Columns columns.
#include "gridpack/dropdown/ExDropDown.h"
#include "gridpack/dropdown/ExItemSelector.h"

// An item with a caption and a picture of its own or an image of the image
// list; its collection's OnChange hears every change of caption or index.
// The image and detail items build on it. (Its name must differ from the
// picture container's TPictureItem: two classes of one name in one program
// share one set of inline functions and vtable, and which one wins depends
// on the build.)
class TCaptionedItem : public TCollectionItem {
    KAL_CLASS(TCaptionedItem, TCollectionItem)
public:
    explicit TCaptionedItem(TCollection* Collection) : TCollectionItem(Collection) {}
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TPicture* Image() { return &FImage; }
    void SetImage(const TPicture* v) { FImage.Assign(v); }
    bool FEnabled = true;

protected:
    // Caption, image index, picture and enabled flag of another such item.
    void AssignCaptionedItem(const TCaptionedItem* s);

private:
    void Notify();
    QString FCaption;
    int FImageIndex = -1;
    TPicture FImage;
};

class TCaptionedItems : public TOwnedCollection {
    KAL_CLASS(TCaptionedItems, TOwnedCollection)
public:
    using TOwnedCollection::TOwnedCollection;
    TNotifyEvent OnChange;
};

class TImageItem : public TCaptionedItem {
    KAL_CLASS(TImageItem, TCaptionedItem)
public:
    explicit TImageItem(TCollection* Collection) : TCaptionedItem(Collection) {}
    QString Hint;
    void Assign(const TPersistent* Source) override;
};

class TImageItems : public TCaptionedItems {
    KAL_CLASS(TImageItems, TCaptionedItems)
public:
    explicit TImageItems(TPersistent* AOwner);
    TImageItem* Add() { return static_cast<TImageItem*>(TCollection::Add()); }
    TImageItem* Insert(int Index) { return static_cast<TImageItem*>(TCollection::Insert(Index)); }
    TImageItem* Item(int Index) const { return static_cast<TImageItem*>(Items(Index)); }
};

using TOnDrawSelectedItem = std::function<void(TObject* Sender, TCanvas* Canvas, TRect R)>;
// The class library names this TDrawItemEvent; the list box owns that name.
using TImagePickerDrawItemEvent = std::function<void(TObject* Sender, TCanvas* Canvas, TRect R, int Index)>;

class TExImagePickerDropDown : public TExCustomDropDown {
    KAL_CLASS(TExImagePickerDropDown, TExCustomDropDown)
public:
    explicit TExImagePickerDropDown(TComponent* AOwner);
    ~TExImagePickerDropDown() override;

    TImageItems* Items() const { return FItems; }
    void SetItems(const TImageItems* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int I);
    int ImageIndex() const;
    void SetImageIndex(int N);
    int Columns() const { return FColumns; }
    void SetColumns(int v) { FColumns = v; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout v) { FLayout = v; }
    TItemAppearance* ItemAppearance() const { return FItemAppearance; }
    void SetItemAppearance(const TItemAppearance* v) { FItemAppearance->Assign(v); }
    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    TTimer* KeyTimer() const { return FKeyTimer; }
    QString CurSearch() const { return FCurSearch; }

    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedImage;
    TImagePickerDrawItemEvent OnDrawItem;

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void AddImagesFromImageList();
    // Every entry the mask matches, directories included ("." and ".."
    // left out); an entry that does not load stays as an empty item.
    void AddImagesFromFolder(const QString& AFolder, bool SetImageCaption);

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void SelectNextItem() override;
    void SelectPreviousItem() override;
    void SetSelectionColorStyle(TSelectionColorStyle S) override;
    void SetComponentStyle(TQORStyle AStyle) override;

protected:
    void Paint() override;
    void WMKeyDown(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void UpdateSelector();
    void CopyItemsToSelector();
    void ItemSelected(TObject* Sender);
    void PaintSelectedImage(TCanvas* C);
    // FInternalCall set, the selector's index written, scrolled into view.
    void MoveSelector(int Index);
    TImageItems* FItems;
    int FItemIndex = -1, FOldItemIndex = -1, FColumns = 1;
    TItemLayout FLayout = ilCaptionRight;
    TItemAppearance* FItemAppearance;
    TExCustomItemSelector* FItemSelector = nullptr;
    bool FInternalCall = false;
    TTimer* FKeyTimer;
    QString FCurSearch;
};
