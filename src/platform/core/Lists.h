#pragma once
// The class library's list of pointers, and a locked list for sharing one
// between threads.
#include "platform/core/Objects.h"

#include <functional>
#include <mutex>
#include <vector>

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
// What a sorted list does with an item it already holds.
enum TDuplicates { dupIgnore, dupAccept, dupError };
using TListSortCompare = std::function<int(void* a, void* b)>;

class TList : public TObject {
    KAL_CLASS(TList, TObject)
public:
    TList() = default;
    ~TList() override;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; its former index, or -1.
    int Remove(void* item);
    // Takes the item out without the deletion notice; the item, or nullptr.
    void* Extract(void* item);
    void Clear();
    int IndexOf(void* item) const;
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    // Drops every nullptr.
    void Pack();
    // Ordered by the compare function (negative, zero, positive); items that
    // compare equal keep their order.
    void Sort(const TListSortCompare& compare);
    void* First() const;
    void* Last() const;

    int Count() const { return int(FItems.size()); }
    // A smaller count drops items from the end, a larger one adds nullptrs.
    void SetCount(int count);
    int Capacity() const { return FCapacity; }
    void SetCapacity(int capacity);

    // Raise EListError "List index out of bounds (<index>)".
    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }

    // Copies the items of another list.
    void Assign(const TList& source);

protected:
    // Told of every item that comes in or goes out, after the fact.
    virtual void Notify(void* /*item*/, TListNotification /*action*/) {}
    [[noreturn]] static void Error(const char* msg, int data);

private:
    void checkIndex(int index) const;
    std::vector<void*> FItems;
    int FCapacity = 0;
};

// A list whose every use goes through LockList / UnlockList.
class TThreadList : public TObject {
    KAL_CLASS(TThreadList, TObject)
public:
    void Add(void* item);
    void Remove(void* item);
    void Clear();
    TList* LockList();
    void UnlockList();
    TDuplicates Duplicates = dupIgnore;

private:
    std::recursive_mutex FLock;
    TList FList;
};
