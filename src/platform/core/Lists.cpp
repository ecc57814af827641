#include "platform/core/Lists.h"

#include "platform/core/Exceptions.h"

#include <algorithm>

TList::~TList()
{
    // Descendants that own their items free them in their own destructor; the
    // base only lets go of the pointers.
    FItems.clear();
}

void TList::Error(const char* msg, int data)
{
    throw EListError(QString::fromLatin1(msg).arg(data));
}

void TList::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        Error("List index out of bounds (%1)", index);
}

int TList::Add(void* item)
{
    FItems.push_back(item);
    FCapacity = std::max(FCapacity, Count());
    if (item)
        Notify(item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > Count())
        Error("List index out of bounds (%1)", index);
    FItems.insert(FItems.begin() + index, item);
    FCapacity = std::max(FCapacity, Count());
    if (item)
        Notify(item, lnAdded);
}

void TList::Delete(int index)
{
    checkIndex(index);
    void* item = FItems[index];
    FItems.erase(FItems.begin() + index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* item)
{
    const int i = IndexOf(item);
    if (i >= 0)
        Delete(i);
    return i;
}

void* TList::Extract(void* item)
{
    const int i = IndexOf(item);
    if (i < 0)
        return nullptr;
    FItems.erase(FItems.begin() + i);
    Notify(item, lnExtracted);
    return item;
}

void TList::Clear()
{
    // Items go one by one from the end so a descendant's notice sees a
    // consistent list.
    while (!FItems.empty())
        Delete(Count() - 1);
    FCapacity = 0;
}

int TList::IndexOf(void* item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Exchange(int index1, int index2)
{
    checkIndex(index1);
    checkIndex(index2);
    std::swap(FItems[index1], FItems[index2]);
}

void TList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    checkIndex(curIndex);
    checkIndex(newIndex);
    void* item = FItems[curIndex];
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, item);
}

void TList::Pack()
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end());
}

void TList::Sort(const TListSortCompare& compare)
{
    std::stable_sort(FItems.begin(), FItems.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

void* TList::First() const
{
    return Items(0);
}

void* TList::Last() const
{
    return Items(Count() - 1);
}

void TList::SetCount(int count)
{
    if (count < 0)
        Error("List count out of bounds (%1)", count);
    while (Count() > count)
        Delete(Count() - 1);
    FItems.resize(size_t(count), nullptr);
    FCapacity = std::max(FCapacity, count);
}

void TList::SetCapacity(int capacity)
{
    if (capacity < Count())
        Error("List capacity out of bounds (%1)", capacity);
    FCapacity = capacity;
    FItems.reserve(size_t(capacity));
}

void* TList::Items(int index) const
{
    checkIndex(index);
    return FItems[index];
}

void TList::SetItems(int index, void* item)
{
    checkIndex(index);
    void* old = FItems[index];
    if (old == item)
        return;
    FItems[index] = item;
    if (old)
        Notify(old, lnDeleted);
    if (item)
        Notify(item, lnAdded);
}

void TList::Assign(const TList& source)
{
    if (&source == this)
        return;
    Clear();
    for (void* p : source.FItems)
        Add(p);
}

void TThreadList::Add(void* item)
{
    std::lock_guard<std::recursive_mutex> g(FLock);
    if (Duplicates == dupAccept || FList.IndexOf(item) < 0) {
        FList.Add(item);
    } else if (Duplicates == dupError) {
        throw EListError(QStringLiteral("List does not allow duplicates ($%1)")
                             .arg(quintptr(item), 8, 16, QLatin1Char('0')));
    }
}

void TThreadList::Remove(void* item)
{
    std::lock_guard<std::recursive_mutex> g(FLock);
    FList.Remove(item);
}

void TThreadList::Clear()
{
    std::lock_guard<std::recursive_mutex> g(FLock);
    FList.Clear();
}

TList* TThreadList::LockList()
{
    FLock.lock();
    return &FList;
}

void TThreadList::UnlockList()
{
    FLock.unlock();
}
