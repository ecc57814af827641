#pragma once
// The look of the header strip above and the footer strip below a drop-down
// editor's popup, with their button collections. The string grid keeps one
// of each in its control look and copies them into every drop-down editor it
// opens; each drop-down edit keeps its own pair.
//
// Setters store their value; only Visible (when it changes) and the button
// collections (through their items' Caption, Enabled and Width) notify, by
// OnChange and OnButtonsChanged.
#include "platform/controls/Messages.h"
#include "platform/core/Collections.h"
#include "platform/graphics/Graphics.h"

#include <QString>

enum TButtonAlignment { baLeft, baRight };

class THeaderButtons;
class TFooterButtons;

// One button of a strip. Caption, Enabled and Width notify the collection
// when they change; Height, ImageIndex (and a footer button's ModalResult)
// are stored without notice.
class THeaderButton : public TCollectionItem {
    KAL_CLASS(THeaderButton, TCollectionItem)
public:
    explicit THeaderButton(TCollection* Collection);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    // 0 or less: the button measures itself.
    int Width() const { return FWidth; }
    void SetWidth(int v);
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    // From a button of the same class: Caption, Enabled, Width and Height
    // through their setters, ImageIndex directly; anything else raises the
    // class library's conversion error.
    void Assign(const TPersistent* Source) override;

protected:
    // Tells the collection that a notifying setting changed.
    void NotifyChange();

private:
    QString FCaption;
    bool FEnabled = true;
    int FImageIndex = -1;
    int FWidth = 0, FHeight = 0;
};

class TFooterButton : public THeaderButton {
    KAL_CLASS(TFooterButton, THeaderButton)
public:
    explicit TFooterButton(TCollection* Collection) : THeaderButton(Collection) {}
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    void Assign(const TPersistent* Source) override;

private:
    TModalResult FModalResult = mrNone;
};

// The header's buttons; its owner is the appearance's owner.
class THeaderButtons : public TOwnedCollection {
    KAL_CLASS(THeaderButtons, TOwnedCollection)
public:
    explicit THeaderButtons(TPersistent* AOwner);
    THeaderButton* Add() { return static_cast<THeaderButton*>(TCollection::Add()); }
    THeaderButton* Insert(int Index) { return static_cast<THeaderButton*>(TCollection::Insert(Index)); }
    THeaderButton* GetItem(int Index) const { return static_cast<THeaderButton*>(Items(Index)); }
    void SetItem(int Index, const THeaderButton* Value) { Items(Index)->Assign(Value); }
    TNotifyEvent OnChange;
    void DoChange() {
        if (OnChange) OnChange(this);
    }
};

class TFooterButtons : public TCollection {
    KAL_CLASS(TFooterButtons, TCollection)
public:
    explicit TFooterButtons(TPersistent* AOwner);
    TFooterButton* Add() { return static_cast<TFooterButton*>(TCollection::Add()); }
    TFooterButton* Insert(int Index) { return static_cast<TFooterButton*>(TCollection::Insert(Index)); }
    TFooterButton* GetItem(int Index) const { return static_cast<TFooterButton*>(Items(Index)); }
    void SetItem(int Index, const TFooterButton* Value) { Items(Index)->Assign(Value); }
    TPersistent* GetOwner() const override { return FOwner; }
    TNotifyEvent OnChange;
    void DoChange() {
        if (OnChange) OnChange(this);
    }

private:
    TPersistent* FOwner;
};

// What the header and footer strips share: colours, caption, font, size,
// border, image and the button collection (TButtons).
template <class TButtons>
class TStripAppearance : public TPersistent {
public:
    TStripAppearance(TPersistent* AOwner) : FOwner(AOwner), FButtons(new TButtons(AOwner))
    {
        FButtons->OnChange = [this](TObject*) {
            if (OnButtonsChanged) OnButtonsChanged(this);
        };
    }
    ~TStripAppearance() override { FButtons->Free(); }
    TStripAppearance(const TStripAppearance&) = delete;
    TStripAppearance& operator=(const TStripAppearance&) = delete;
    TPersistent* GetOwner() const override { return FOwner; }

    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { FColorTo = v; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v) { FCaption = v; }
    TFont* Font() { return &FFont; }
    const TFont* Font() const { return &FFont; }
    void SetFont(const TFont& v) { FFont.Assign(v); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection v) { FGradientDirection = v; }
    bool Visible() const { return FVisible; }
    // Stores the value and, when it changed, fires OnChange.
    void SetVisible(bool v)
    {
        if (v == FVisible) return;
        FVisible = v;
        if (OnChange) OnChange(this);
    }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    TButtonAlignment ButtonAlignment() const { return FButtonAlignment; }
    void SetButtonAlignment(TButtonAlignment v) { FButtonAlignment = v; }
    TButtons* Buttons() const { return FButtons; }
    void SetButtons(const TButtons* v) { FButtons->Assign(v); }

    // Fired by the Visible writer when the value changes.
    TNotifyEvent OnChange;
    // Fired when a button of the collection reports a change.
    TNotifyEvent OnButtonsChanged;

protected:
    // Every shared setting (Visible through its writer).
    void AssignStrip(const TStripAppearance& s)
    {
        AssignStripColors(s);
        FCaption = s.FCaption;
        FImageIndex = s.FImageIndex;
        FBorderWidth = s.FBorderWidth;
        FHeight = s.FHeight;
        SetVisible(s.FVisible);
        FButtonAlignment = s.FButtonAlignment;
        FButtons->Assign(s.FButtons);
    }
    // ColorTo, Color, BorderColor, Font and GradientDirection.
    void AssignStripColors(const TStripAppearance& s)
    {
        FColorTo = s.FColorTo;
        FColor = s.FColor;
        FBorderColor = s.FBorderColor;
        FFont.Assign(s.FFont);
        FGradientDirection = s.FGradientDirection;
    }

private:
    TPersistent* FOwner;
    TColor FColor = 0xC0C0C0, FColorTo = 0xFFFFFF, FBorderColor = 0;
    QString FCaption;
    TFont FFont;
    TGradientDirection FGradientDirection = gdVertical;
    bool FVisible = true;
    int FHeight = 22, FBorderWidth = 1, FImageIndex = -1;
    TButtonAlignment FButtonAlignment = baRight;
    TButtons* FButtons;
};

class THeaderAppearance : public TStripAppearance<THeaderButtons> {
    KAL_CLASS(THeaderAppearance, TPersistent)
public:
    explicit THeaderAppearance(TPersistent* AOwner);

    // Every setting from another header appearance (Visible through its
    // writer); anything else is ignored.
    void Assign(const TPersistent* Source) override;
    // Only ColorTo, Color, BorderColor, Font and GradientDirection.
    void AssignColors(const TPersistent* Source);
};

// The footer's look: the header's settings (its own button class) and the
// sizing grip.
class TFooterAppearance : public TStripAppearance<TFooterButtons> {
    KAL_CLASS(TFooterAppearance, TPersistent)
public:
    explicit TFooterAppearance(TPersistent* AOwner) : TStripAppearance(AOwner) {}

    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool v) { FSizeGrip = v; }

    // As the header's, with SizeGrip.
    void Assign(const TPersistent* Source) override;
    void AssignColors(const TPersistent* Source);

private:
    bool FSizeGrip = true;
};
