#include "platform/core/Exceptions.h"
#include "platform/core/Lists.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

std::vector<intptr_t> items(const TList& l)
{
    std::vector<intptr_t> r;
    for (int i = 0; i < l.Count(); ++i)
        r.push_back(reinterpret_cast<intptr_t>(l.Items(i)));
    return r;
}

// Records the notices a descendant gets.
class TRecordingList : public TList {
public:
    std::vector<std::pair<intptr_t, TListNotification>> Log;

protected:
    void Notify(void* item, TListNotification action) override
    {
        Log.emplace_back(reinterpret_cast<intptr_t>(item), action);
    }
};
} // namespace

TEST(TList, EditingOperations)
{
    TList l;
    for (intptr_t v : {1, 2, 3, 4})
        l.Add(P(v));
    l.Insert(0, P(9));
    EXPECT_EQ(items(l), (std::vector<intptr_t>{9, 1, 2, 3, 4}));
    l.Delete(1);
    EXPECT_EQ(l.Remove(P(3)), 2);
    EXPECT_EQ(l.Remove(P(77)), -1);
    EXPECT_EQ(items(l), (std::vector<intptr_t>{9, 2, 4}));
    l.Exchange(0, 2);
    EXPECT_EQ(items(l), (std::vector<intptr_t>{4, 2, 9}));
    l.Move(0, 2);
    EXPECT_EQ(items(l), (std::vector<intptr_t>{2, 9, 4}));
    EXPECT_EQ(l.IndexOf(P(4)), 2);
    EXPECT_EQ(l.First(), P(2));
    EXPECT_EQ(l.Last(), P(4));
    l.Sort([](void* a, void* b) { return int(reinterpret_cast<intptr_t>(a) - reinterpret_cast<intptr_t>(b)); });
    EXPECT_EQ(items(l), (std::vector<intptr_t>{2, 4, 9}));
    l.SetCount(5);
    l.Pack();
    EXPECT_EQ(items(l), (std::vector<intptr_t>{2, 4, 9}));
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}

TEST(TList, IndexesOutOfRangeRaise)
{
    TList l;
    l.Add(P(1));
    const struct { const char* what; std::function<void()> op; const char* message; } cases[] = {
        {"Items", [&] { l.Items(1); }, "List index out of bounds (1)"},
        {"Items -1", [&] { l.Items(-1); }, "List index out of bounds (-1)"},
        {"Delete", [&] { l.Delete(5); }, "List index out of bounds (5)"},
        {"Insert", [&] { l.Insert(3, P(2)); }, "List index out of bounds (3)"},
        {"Exchange", [&] { l.Exchange(0, 2); }, "List index out of bounds (2)"},
        {"Move", [&] { l.Move(0, 1); }, "List index out of bounds (1)"},
        {"Capacity", [&] { l.SetCapacity(0); }, "List capacity out of bounds (0)"},
        {"First of empty", [] { TList e; e.First(); }, "List index out of bounds (0)"},
    };
    for (const auto& c : cases) {
        try {
            c.op();
            ADD_FAILURE() << c.what;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message)) << c.what;
        }
    }
    EXPECT_EQ(l.Count(), 1);
}

TEST(TList, DescendantsHearOfItemsComingAndGoing)
{
    TRecordingList l;
    l.Add(P(1));
    l.Add(nullptr); // no notice for an empty slot
    l.Add(P(2));
    l.Extract(P(2));
    l.Delete(0);
    l.SetItems(0, P(3));
    const std::vector<std::pair<intptr_t, TListNotification>> want = {
        {1, lnAdded}, {2, lnAdded}, {2, lnExtracted}, {1, lnDeleted}, {3, lnAdded},
    };
    EXPECT_EQ(l.Log, want);
    EXPECT_GE(l.Capacity(), l.Count());
}
