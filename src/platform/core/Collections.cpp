#include "platform/core/Collections.h"

#include "platform/core/Exceptions.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* collection) : FJoining(collection) {}

void TCollectionItem::AfterConstruction()
{
    TPersistent::AfterConstruction();
    TCollection* c = FJoining;
    FJoining = nullptr;
    SetCollection(c);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::BeforeDestruction()
{
    if (FCollection)
        FCollection->RemoveItem(this);
    TPersistent::BeforeDestruction();
}

void TCollectionItem::SetCollection(TCollection* value)
{
    if (value == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (value)
        value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    // From the back: an item just added, and moved to its place by
    // Insert, is found without a walk over the whole collection.
    const auto& items = FCollection->FItems;
    const auto it = std::find(items.rbegin(), items.rend(), this);
    return it == items.rend() ? -1 : int(items.rend() - it) - 1;
}

void TCollectionItem::SetIndex(int value)
{
    const int cur = Index();
    if (cur >= 0 && cur != value) {
        FCollection->MoveItem(cur, value);
        Changed(true);
    }
}

TPersistent* TCollectionItem::GetOwner() const
{
    return FCollection;
}

QString TCollectionItem::GetNamePath() const
{
    if (!FCollection)
        return ClassName();
    return QStringLiteral("%1[%2]").arg(FCollection->GetNamePath()).arg(Index());
}

void TCollectionItem::Changed(bool allItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TCollectionItemFactory itemClass) : FItemClass(std::move(itemClass)) {}

TCollection::~TCollection()
{
    TCollection::BeforeDestruction();
}

void TCollection::BeforeDestruction()
{
    // No Update while the collection goes; the items leave one by one.
    FUpdateCount = 1;
    while (!FItems.empty())
        FItems.back()->Free();
    TPersistent::BeforeDestruction();
}

TCollectionItem* TCollection::Add()
{
    // The factory builds the item and it joins this collection.
    TCollectionItem* item = FItemClass(this);
    if (item->FCollection != this)
        item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int index)
{
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    item->Free();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            FItems.back()->Free();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return FItems[index];
}

TCollectionItem* TCollection::FindItemID(int id) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == id)
            return item;
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Assign(const TPersistent* source)
{
    if (source && source->InheritsFrom(QStringLiteral("TCollection"))) {
        const auto* src = static_cast<const TCollection*>(source);
        if (src == this)
            return;
        BeginUpdate();
        try {
            Clear();
            for (TCollectionItem* item : src->FItems)
                Add()->Assign(item);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TCollection::InsertItem(TCollectionItem* item)
{
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
    Notify(item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    Notify(item, cnExtracting);
    // Freeing from the back (Clear) costs no search.
    if (!FItems.empty() && FItems.back() == item)
        FItems.pop_back();
    else
        FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
    item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(int from, int to)
{
    if (to < 0 || to >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(to));
    // One rotation moves the items between one place towards `from`.
    if (from < to)
        std::rotate(FItems.begin() + from, FItems.begin() + from + 1, FItems.begin() + to + 1);
    else if (from > to)
        std::rotate(FItems.begin() + to, FItems.begin() + from, FItems.begin() + from + 1);
}
