#include "gridpack/stringgrid/ExGridAppearance.h"

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

THeaderAppearance::THeaderAppearance(TPersistent* AOwner) : TStripAppearance(AOwner) {
    Font()->SetName(QStringLiteral("Tahoma"));
}

void THeaderAppearance::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const THeaderAppearance*>(Source);
    if (!s || s == this) return;
    AssignStrip(*s);
}

void THeaderAppearance::AssignColors(const TPersistent* Source) {
    const auto* s = dynamic_cast<const THeaderAppearance*>(Source);
    if (!s || s == this) return;
    AssignStripColors(*s);
}

void TFooterAppearance::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TFooterAppearance*>(Source);
    if (!s || s == this) return;
    AssignStrip(*s);
    FSizeGrip = s->FSizeGrip;
}

void TFooterAppearance::AssignColors(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TFooterAppearance*>(Source);
    if (!s || s == this) return;
    AssignStripColors(*s);
}
