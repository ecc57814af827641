#pragma once
// Collections: an owning, ordered list of items of one item class, each with a
// stable ID, which tells its owner about every change through Update.
#include "platform/core/Objects.h"

#include <functional>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
    KAL_CLASS(TCollectionItem, TPersistent)
public:
    // The item joins the collection (when given) at its end in
    // AfterConstruction, once it is fully built, so the collection's notices
    // see a whole item: make items with NewObject<T>(collection) or through
    // the collection's Add.
    explicit TCollectionItem(TCollection* collection);
    void AfterConstruction() override;
    // Leaves its collection. Free() leaves in BeforeDestruction, while the
    // collection's notices can still see the whole item; the collection frees
    // its items that way.
    ~TCollectionItem() override;
    void BeforeDestruction() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to another collection (or none).
    void SetCollection(TCollection* value);
    // The place in the collection, -1 when in none.
    int Index() const;
    // Moves the item to that place; raises EListError when out of range.
    virtual void SetIndex(int value);
    // Given when the item joins a collection: increasing, never reused.
    int ID() const { return FID; }
    virtual QString GetDisplayName() const { return ClassName(); }
    TPersistent* GetOwner() const override;
    QString GetNamePath() const override;

protected:
    // Tells the collection: about this item, or about all items.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    TCollection* FJoining = nullptr;
    int FID = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };
// Makes a new item of the collection's item class in the given collection.
using TCollectionItemFactory = std::function<TCollectionItem*(TCollection*)>;

class TCollection : public TPersistent {
    KAL_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TCollectionItemFactory itemClass);
    // Items of class T (constructible from the collection).
    template <class T>
    static TCollectionItemFactory ItemClass()
    {
        return [](TCollection* c) -> TCollectionItem* { return NewObject<T>(c); };
    }
    // Frees the items without an Update. Free() does it in BeforeDestruction,
    // so a descendant's Notify still hears of each item.
    ~TCollection() override;
    void BeforeDestruction() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    // Frees the item at index.
    void Delete(int index);
    // Frees every item (one Update at the end).
    void Clear();
    int Count() const { return int(FItems.size()); }
    // Raises EListError "List index out of bounds (<index>)".
    TCollectionItem* Items(int index) const;
    TCollectionItem* FindItemID(int id) const;
    int NextID() const { return FNextID; }

    // Update is held back from BeginUpdate to the matching EndUpdate, which
    // calls Update(nullptr).
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Replaces the items by copies of another collection's (each new item
    // assigned from its source item).
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override { return nullptr; }
    const TCollectionItemFactory& ItemFactory() const { return FItemClass; }

protected:
    // A change of one item, or of the whole collection when item is nullptr.
    virtual void Update(TCollectionItem*) {}
    virtual void Notify(TCollectionItem*, TCollectionNotification) {}
    // Update(nullptr) unless updates are held back.
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void MoveItem(int from, int to);

    TCollectionItemFactory FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection with an owner in the object tree.
class TOwnedCollection : public TCollection {
    KAL_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* owner, TCollectionItemFactory itemClass)
        : TCollection(std::move(itemClass)), FOwner(owner)
    {
    }
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
