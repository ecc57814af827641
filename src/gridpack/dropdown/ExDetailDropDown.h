#pragma once
// The detail drop-down: an editable drop-down whose popup lists items one
// per row, each with an image, a caption and notes in mark-up below it.
// Typing completes the text with the first matching caption; the arrow,
// page, home and end keys move through the items with the popup open or
// closed.
#include "gridpack/dropdown/ExDropDown.h"
#include "gridpack/dropdown/ExImagePicker.h"
#include "gridpack/dropdown/ExItemSelector.h"

class TDetailItem : public TCaptionedItem {
    KAL_CLASS(TDetailItem, TCaptionedItem)
public:
    explicit TDetailItem(TCollection* Collection) : TCaptionedItem(Collection) {}
    QString Notes;
    int Tag = 0;
    TObject* ItemObject = nullptr;
    // Caption, image index, picture, notes, enabled flag, tag and object.
    void Assign(const TPersistent* Source) override;
};

class TDetailItems : public TCaptionedItems {
    KAL_CLASS(TDetailItems, TCaptionedItems)
public:
    explicit TDetailItems(TPersistent* AOwner);
    TDetailItem* Add() { return static_cast<TDetailItem*>(TCollection::Add()); }
    TDetailItem* Insert(int Index) { return static_cast<TDetailItem*>(TCollection::Insert(Index)); }
    TDetailItem* Item(int Index) const { return static_cast<TDetailItem*>(Items(Index)); }
    void SetItem(int Index, const TDetailItem* v) { Items(Index)->Assign(v); }
    // The first item whose caption is the text exactly; -1 for none.
    int IndexOf(const QString& S) const;
};

// Where one popup row draws its picture, caption and notes.
struct TDetailRowLayout {
    TRect Picture;  // empty without a picture
    TRect Caption;
    TRect Notes;    // empty without notes
};

class TExDetailDropDown : public TExCustomDropDown {
    KAL_CLASS(TExDetailDropDown, TExCustomDropDown)
public:
    explicit TExDetailDropDown(TComponent* AOwner);
    ~TExDetailDropDown() override;

    TDetailItems* Items() const { return FItems; }
    void SetItems(const TDetailItems* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v) { FItemHeight = v; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout v) { FLayout = v; }
    TItemAppearance* ItemAppearance() const { return FItemAppearance; }
    void SetItemAppearance(const TItemAppearance* v) { FItemAppearance->Assign(v); }
    TFont* CaptionFont() { return &FCaptionFont; }
    TFont* NotesFont() { return &FNotesFont; }
    bool MatchCase = false;
    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedImage;
    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    TTimer* KeyTimer() const { return FKeyTimer; }

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    // The places of one row's parts inside R.
    TDetailRowLayout GetRowLayout(int Index, TCanvas* C, const TRect& R);

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void DropDownSizing() override;
    void SelectNextItem() override;
    void SelectPreviousItem() override;
    void SetSelectionColorStyle(TSelectionColorStyle S) override;
    void SetComponentStyle(TQORStyle AStyle) override;

protected:
    void Change() override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void WMKeyDown(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Chooses the item a step leads to, if any.
    void Step(TItemStep S);
    void UpdateSelector();
    void ItemSelected(TObject* Sender);
    void DrawDetailItem(TObject* Sender, TCanvas* C, int Index, TRect R);
    void GetDetailItemSize(TObject* Sender, TSize& S);
    void MoveSelector(int Index);
    void ShowCaptionSelected(int Index);
    TDetailItems* FItems;
    int FItemIndex = -1, FItemHeight = 22, FOldItemIndex = -1;
    TItemLayout FLayout = ilCaptionRight;
    TItemAppearance* FItemAppearance;
    TFont FCaptionFont, FNotesFont;
    TExCustomItemSelector* FItemSelector = nullptr;
    TTimer* FKeyTimer;
    QString FCurSearch;
    bool FWorkMode = true, FItemChange = false, FInternalCall = false, FCompleting = false;
    int FItemIdx = -1, FItemSel = 0;
};
