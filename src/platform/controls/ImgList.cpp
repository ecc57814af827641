#include "platform/controls/ImgList.h"

TChangeLink::~TChangeLink() {
    if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange) OnChange(reinterpret_cast<TObject*>(FSender));
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {
    TImageList::OnChange = [this](TGraphicsObject*) { NotifyLinks(); };
}

TCustomImageList::TCustomImageList(TComponent* AOwner, int width, int height)
    : TComponent(AOwner), TImageList(width, height) {
    TImageList::OnChange = [this](TGraphicsObject*) { NotifyLinks(); };
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* l : FLinks) l->FSender = nullptr;
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (!Value || FLinks.contains(Value)) return;
    if (Value->FSender && Value->FSender != this) Value->FSender->UnRegisterChanges(Value);
    Value->FSender = this;
    FLinks.append(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    if (!Value) return;
    FLinks.removeAll(Value);
    if (Value->FSender == this) Value->FSender = nullptr;
}

void TCustomImageList::NotifyLinks() {
    // A link's handler may unregister links; walk a copy.
    const QList<TChangeLink*> links = FLinks;
    for (TChangeLink* l : links)
        if (FLinks.contains(l)) l->Change();
}
