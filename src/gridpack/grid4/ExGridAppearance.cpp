#include "gridpack/grid4/ExGridAppearance.h"

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

THeaderButton::THeaderButton(TCollection* Collection) : TCollectionItem(Collection) {}

void THeaderButton::NotifyChange() {
    if (auto* h = dynamic_cast<THeaderButtons*>(Collection())) h->DoChange();
    else if (auto* f = dynamic_cast<TFooterButtons*>(Collection())) f->DoChange();
}

void THeaderButton::SetCaption(const QString& v) {
    if (v == FCaption) return;
    FCaption = v;
    NotifyChange();
}

void THeaderButton::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    NotifyChange();
}

void THeaderButton::SetWidth(int v) {
    if (v == FWidth) return;
    FWidth = v;
    NotifyChange();
}

void THeaderButton::Assign(const TPersistent* Source) {
    // Only a button of exactly this class copies; a header button does not
    // become a footer button or the other way round.
    const auto* s = dynamic_cast<const THeaderButton*>(Source);
    if (!s || s->ClassName() != ClassName()) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(s->FCaption);
    SetEnabled(s->FEnabled);
    SetWidth(s->FWidth);
    SetHeight(s->FHeight);
    FImageIndex = s->FImageIndex;
}

void TFooterButton::Assign(const TPersistent* Source) {
    THeaderButton::Assign(Source);
    if (const auto* s = dynamic_cast<const TFooterButton*>(Source)) FModalResult = s->FModalResult;
}

THeaderButtons::THeaderButtons(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TCollection::ItemClass<THeaderButton>()) {}

TFooterButtons::TFooterButtons(TPersistent* AOwner)
    : TCollection(TCollection::ItemClass<TFooterButton>()), FOwner(AOwner) {}

// ---------------------------------------------------------------------------
// Appearances
// ---------------------------------------------------------------------------

THeaderAppearance::THeaderAppearance(TPersistent* AOwner) : FOwner(AOwner), FButtons(new THeaderButtons(AOwner)) {
    FFont.SetName(QStringLiteral("Tahoma"));
    FButtons->OnChange = [this](TObject*) {
        if (OnButtonsChanged) OnButtonsChanged(this);
    };
}

THeaderAppearance::~THeaderAppearance() { FButtons->Free(); }

void THeaderAppearance::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    if (OnChange) OnChange(this);
}

void THeaderAppearance::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const THeaderAppearance*>(Source);
    if (!s || s == this) return;
    FColorTo = s->FColorTo;
    FColor = s->FColor;
    FBorderColor = s->FBorderColor;
    FCaption = s->FCaption;
    FFont.Assign(s->FFont);
    FImageIndex = s->FImageIndex;
    FBorderWidth = s->FBorderWidth;
    FGradientDirection = s->FGradientDirection;
    FHeight = s->FHeight;
    SetVisible(s->FVisible);
    FButtonAlignment = s->FButtonAlignment;
    FButtons->Assign(s->FButtons);
}

void THeaderAppearance::AssignColors(const TPersistent* Source) {
    const auto* s = dynamic_cast<const THeaderAppearance*>(Source);
    if (!s || s == this) return;
    FColorTo = s->FColorTo;
    FColor = s->FColor;
    FBorderColor = s->FBorderColor;
    FFont.Assign(s->FFont);
    FGradientDirection = s->FGradientDirection;
}

TFooterAppearance::TFooterAppearance(TPersistent* AOwner) : FOwner(AOwner), FButtons(new TFooterButtons(AOwner)) {
    FButtons->OnChange = [this](TObject*) {
        if (OnButtonsChanged) OnButtonsChanged(this);
    };
}

TFooterAppearance::~TFooterAppearance() { FButtons->Free(); }

void TFooterAppearance::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    if (OnChange) OnChange(this);
}

void TFooterAppearance::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TFooterAppearance*>(Source);
    if (!s || s == this) return;
    FColorTo = s->FColorTo;
    FColor = s->FColor;
    FBorderColor = s->FBorderColor;
    FCaption = s->FCaption;
    FFont.Assign(s->FFont);
    FImageIndex = s->FImageIndex;
    FBorderWidth = s->FBorderWidth;
    FGradientDirection = s->FGradientDirection;
    FHeight = s->FHeight;
    SetVisible(s->FVisible);
    FButtonAlignment = s->FButtonAlignment;
    FButtons->Assign(s->FButtons);
    FSizeGrip = s->FSizeGrip;
}

void TFooterAppearance::AssignColors(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TFooterAppearance*>(Source);
    if (!s || s == this) return;
    FColorTo = s->FColorTo;
    FColor = s->FColor;
    FBorderColor = s->FBorderColor;
    FFont.Assign(s->FFont);
    FGradientDirection = s->FGradientDirection;
}
