#include "platform/core/Collections.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
class TColumn : public TCollectionItem {
    KAL_CLASS(TColumn, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    QString Title = QStringLiteral("untitled");
    void Assign(const TPersistent* source) override
    {
        if (const auto* c = dynamic_cast<const TColumn*>(source)) {
            Title = c->Title;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(source);
    }
    void SetTitle(const QString& t)
    {
        Title = t;
        Changed(false);
    }
};

// Records every Update and notice, and what the item looked like then.
class TColumns : public TOwnedCollection {
    KAL_CLASS(TColumns, TOwnedCollection)
public:
    explicit TColumns(TPersistent* owner = nullptr) : TOwnedCollection(owner, ItemClass<TColumn>()) {}
    std::vector<QString> Log;
    TColumn* Column(int i) const { return static_cast<TColumn*>(Items(i)); }

protected:
    void Update(TCollectionItem* item) override
    {
        Log.push_back(item ? QStringLiteral("update ") + static_cast<TColumn*>(item)->Title : QStringLiteral("update all"));
    }
    void Notify(TCollectionItem* item, TCollectionNotification action) override
    {
        static const char* const names[] = {"added", "extracting", "deleting"};
        // The item is whole when it joins: its own fields are set.
        Log.push_back(QString::fromLatin1(names[action]) + QLatin1Char(' ') + static_cast<TColumn*>(item)->Title);
    }
};

std::vector<QString> titles(const TColumns& c)
{
    std::vector<QString> r;
    for (int i = 0; i < c.Count(); ++i)
        r.push_back(c.Column(i)->Title);
    return r;
}

using Log = std::vector<QString>;
} // namespace

TEST(TCollection, IdsIncreaseAndAreNeverReused)
{
    TColumns c;
    TCollectionItem* a = c.Add();
    TCollectionItem* b = c.Add();
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(b->ID(), 1);
    c.Delete(0);
    EXPECT_EQ(c.Add()->ID(), 2);
    c.Clear();
    EXPECT_EQ(c.Add()->ID(), 3);
    EXPECT_EQ(c.FindItemID(3), c.Items(0));
    EXPECT_EQ(c.FindItemID(1), nullptr);
    // An item made directly joins through its construction step.
    TColumn* d = NewObject<TColumn>(&c);
    EXPECT_EQ(d->Collection(), &c);
    EXPECT_EQ(d->ID(), 4);
    EXPECT_EQ(d->Index(), 1);
}

TEST(TCollection, UpdateCallsAndTheirBrackets)
{
    TColumns c;
    c.Add();
    EXPECT_EQ(c.Log, (Log{"added untitled", "update all"}));
    c.Log.clear();
    c.Column(0)->SetTitle(QStringLiteral("A"));
    EXPECT_EQ(c.Log, (Log{"update A"}));

    c.Log.clear();
    c.BeginUpdate();
    c.Add();
    c.Column(1)->SetTitle(QStringLiteral("B"));
    c.BeginUpdate();
    c.Delete(0);
    c.EndUpdate();
    EXPECT_EQ(c.Log, (Log{"added untitled", "deleting A", "extracting A"}));
    c.EndUpdate();
    EXPECT_EQ(c.Log.back(), QStringLiteral("update all"));
    EXPECT_EQ(c.Log.size(), 4u);

    c.Log.clear();
    c.Add()->SetIndex(0);
    c.Clear();
    EXPECT_EQ(c.Log, (Log{"added untitled", "update all", "update all", "extracting B", "extracting untitled", "update all"}));
    EXPECT_EQ(c.Count(), 0);
}

TEST(TCollection, IndexMovesAndRangeErrors)
{
    TColumns c;
    for (const char* t : {"a", "b", "c"})
        static_cast<TColumn*>(c.Add())->Title = QString::fromLatin1(t);
    c.Column(0)->SetIndex(2);
    EXPECT_EQ(titles(c), (std::vector<QString>{"b", "c", "a"}));
    static_cast<TColumn*>(c.Insert(1))->Title = QStringLiteral("new");
    EXPECT_EQ(titles(c), (std::vector<QString>{"b", "new", "c", "a"}));
    EXPECT_THROW(c.Column(0)->SetIndex(4), EListError);
    try {
        c.Items(4);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (4)"));
    }
    EXPECT_THROW(c.Delete(-1), EListError);
    EXPECT_EQ(c.Count(), 4);
}

TEST(TCollection, ItemsMoveBetweenCollectionsAndCopy)
{
    TColumns owner;
    TColumns a(&owner), b;
    EXPECT_EQ(a.GetOwner(), &owner);
    TColumn* x = static_cast<TColumn*>(a.Add());
    x->Title = QStringLiteral("x");
    EXPECT_EQ(x->GetOwner(), &a);
    x->SetCollection(&b);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(b.Count(), 1);
    EXPECT_EQ(x->Index(), 0);

    static_cast<TColumn*>(b.Add())->Title = QStringLiteral("y");
    a.Add();
    a.Log.clear();
    a.Assign(&b);
    EXPECT_EQ(titles(a), titles(b));
    EXPECT_EQ(a.Log.back(), QStringLiteral("update all"));

    // An item freed on its own leaves its collection.
    b.Items(0)->Free();
    EXPECT_EQ(titles(b), (std::vector<QString>{"y"}));
}

TEST(TCollection, FreeTellsTheDescendantOfEachItemWithoutUpdate)
{
    std::vector<QString> log;
    class TWatched : public TCollection {
    public:
        explicit TWatched(std::vector<QString>* l) : TCollection(ItemClass<TColumn>()), L(l) {}
        std::vector<QString>* L;

    protected:
        void Update(TCollectionItem*) override { L->push_back(QStringLiteral("update")); }
        void Notify(TCollectionItem* item, TCollectionNotification action) override
        {
            if (action == cnExtracting)
                L->push_back(static_cast<TColumn*>(item)->Title);
        }
    };
    auto* c = new TWatched(&log);
    static_cast<TColumn*>(c->Add())->Title = QStringLiteral("p");
    static_cast<TColumn*>(c->Add())->Title = QStringLiteral("q");
    log.clear();
    c->Free();
    EXPECT_EQ(log, (std::vector<QString>{"q", "p"}));
}
