#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
std::vector<QString>* journal = nullptr;

// Writes every notice it gets into the journal.
class TProbe : public TComponent {
    KAL_CLASS(TProbe, TComponent)
public:
    // Named before it joins the owner, so the notices carry the name.
    explicit TProbe(TComponent* owner, const QString& name) : TComponent(nullptr)
    {
        SetName(name);
        if (owner)
            owner->InsertComponent(this);
    }
    ~TProbe() override
    {
        if (journal)
            journal->push_back(Name() + QStringLiteral(" freed"));
    }
    TComponent* Watched = nullptr;
    int LoadedCalls = 0;

protected:
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (journal)
            journal->push_back(Name() + (op == opInsert ? QStringLiteral(" +") : QStringLiteral(" -")) + c->Name());
        if (op == opRemove && c == Watched)
            Watched = nullptr;
    }
    void Loaded() override
    {
        TComponent::Loaded();
        ++LoadedCalls;
    }
};

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { journal = &Log; }
    void TearDown() override { journal = nullptr; }
    std::vector<QString> Log;
};

using Lines = std::vector<QString>;
} // namespace

TEST_F(ComponentTest, OwnerFreesWhatItOwns)
{
    auto* form = new TProbe(nullptr, QStringLiteral("Form"));
    auto* a = new TProbe(form, QStringLiteral("A"));
    auto* b = new TProbe(form, QStringLiteral("B"));
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(a->Owner(), form);
    EXPECT_EQ(form->FindComponent(QStringLiteral("b")), b);
    // The owner passes each notice on to its components (the newcomer too),
    // the last one first, then handles it itself.
    EXPECT_EQ(Log, (Lines{"A +A", "Form +A", "B +B", "A +B", "Form +B"}));
    Log.clear();
    form->Free();
    EXPECT_EQ(Log, (Lines{"B freed", "A freed", "Form freed"}));
}

TEST_F(ComponentTest, RemovalNoticesReachOwnerAndSiblings)
{
    auto* form = new TProbe(nullptr, QStringLiteral("Form"));
    auto* a = new TProbe(form, QStringLiteral("A"));
    auto* b = new TProbe(form, QStringLiteral("B"));
    a->Watched = b;
    Log.clear();
    b->Free();
    // The owner passes the notice to its components, the last one first.
    EXPECT_EQ(Log, (Lines{"B freed", "A -B", "Form -B"}));
    EXPECT_EQ(a->Watched, nullptr);
    EXPECT_EQ(form->ComponentCount(), 1);
    form->Free();
}

TEST_F(ComponentTest, FreeNotificationAcrossOwners)
{
    auto* f1 = new TProbe(nullptr, QStringLiteral("F1"));
    auto* f2 = new TProbe(nullptr, QStringLiteral("F2"));
    auto* user = new TProbe(f1, QStringLiteral("User"));
    auto* used = new TProbe(f2, QStringLiteral("Used"));
    user->Watched = used;
    used->FreeNotification(user);
    EXPECT_TRUE(used->InState(csFreeNotification));
    Log.clear();
    f2->Free();
    EXPECT_EQ(user->Watched, nullptr);
    EXPECT_NE(std::find(Log.begin(), Log.end(), QStringLiteral("User -Used")), Log.end());

    // After RemoveFreeNotification no notice comes.
    auto* other = new TProbe(nullptr, QStringLiteral("Other"));
    other->FreeNotification(user);
    other->RemoveFreeNotification(user);
    Log.clear();
    other->Free();
    EXPECT_EQ(Log, (Lines{"Other freed"}));
    f1->Free();
}

TEST_F(ComponentTest, ReownershipAndNames)
{
    auto* f1 = new TProbe(nullptr, QStringLiteral("F1"));
    auto* f2 = new TProbe(nullptr, QStringLiteral("F2"));
    auto* a = new TProbe(f1, QStringLiteral("A"));
    Log.clear();
    f2->InsertComponent(a);
    EXPECT_EQ(Log, (Lines{"A -A", "F1 -A", "A +A", "F2 +A"}));
    EXPECT_EQ(a->Owner(), f2);
    EXPECT_EQ(f1->ComponentCount(), 0);

    const struct { const char* name; const char* message; } bad[] = {
        {"1A", "'1A' is not a valid component name"},
        {"a b", "'a b' is not a valid component name"},
        {"b", "A component named b already exists"},
    };
    new TProbe(f2, QStringLiteral("B"));
    for (const auto& c : bad) {
        try {
            a->SetName(QString::fromLatin1(c.name));
            ADD_FAILURE() << c.name;
        } catch (const EComponentError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
        }
    }
    EXPECT_EQ(a->Name(), QStringLiteral("A"));
    a->SetName(QStringLiteral("a")); // its own name in another case
    a->SetName(QString());
    EXPECT_THROW(new TProbe(f2, QStringLiteral("b")), EComponentError);
    f1->Free();
    f2->Free();
}

TEST_F(ComponentTest, LoadingAndDestroyingState)
{
    TProbe form(nullptr, QStringLiteral("Form"));
    auto* a = new TProbe(&form, QStringLiteral("A"));
    form.BeginLoading();
    EXPECT_TRUE(a->InState(csLoading));
    EXPECT_TRUE(a->InState(csReading));
    form.EndLoading();
    EXPECT_EQ(a->ComponentState() & (csLoading | csReading), 0u);
    EXPECT_EQ(a->LoadedCalls, 1);
    EXPECT_EQ(form.LoadedCalls, 1);
    EXPECT_FALSE(form.InState(csDesigning));

    bool sawDestroying = false;
    class TCheck : public TComponent {
    public:
        TCheck(TComponent* o, bool* flag) : TComponent(o), Flag(flag) {}
        ~TCheck() override { *Flag = InState(csDestroying); }
        bool* Flag;
    };
    new TCheck(&form, &sawDestroying);
    form.DestroyComponents();
    EXPECT_EQ(form.ComponentCount(), 0);
    form.Destroying();
    EXPECT_TRUE(form.InState(csDestroying));
    auto* late = new TCheck(nullptr, &sawDestroying);
    late->Free();
    EXPECT_TRUE(sawDestroying);
}
