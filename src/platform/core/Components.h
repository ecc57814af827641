#pragma once
// Components: named objects in an ownership tree. An owner frees what it owns
// when it goes, tells its components about every component that joins or
// leaves, and a component can ask any other to tell it when that one goes.
#include "platform/core/Objects.h"

#include <QString>

#include <cstdint>
#include <vector>

enum TOperation { opInsert, opRemove };

// Component state flags. csDesigning is never set: the program has no design
// time.
enum TComponentStateFlag : uint32_t {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csAncestor = 1u << 5,
    csUpdating = 1u << 6,
    csFixups = 1u << 7,
    csFreeNotification = 1u << 8,
    csInline = 1u << 9,
    csDesignInstance = 1u << 10,
};
using TComponentState = uint32_t;

class TComponent : public TPersistent {
    KAL_CLASS(TComponent, TPersistent)
public:
    // Joins the owner's components when an owner is given.
    explicit TComponent(TComponent* owner);
    // Tells those who asked (FreeNotification) that it goes, frees what it
    // owns, then leaves its owner. Free() does the first two in
    // BeforeDestruction, while the whole object and its overrides still
    // stand; a plain delete does them in the destructor.
    ~TComponent() override;
    void BeforeDestruction() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const QString& Name() const { return FName; }
    // Raises EComponentError "'<name>' is not a valid component name" for a
    // name that is not an identifier, and "A component named <name> already
    // exists" when the owner has another by that name (names compare without
    // case).
    virtual void SetName(const QString& name);
    intptr_t Tag = 0;
    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    // Raises EListError "List index out of bounds (<index>)".
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    TComponent* FindComponent(const QString& name) const;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees every owned component.
    void DestroyComponents();

    // Asks `component` to tell this one (through Notification with opRemove)
    // when it goes, and the other way round.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    TComponentState ComponentState() const { return FComponentState; }
    bool InState(TComponentStateFlag flag) const { return (FComponentState & flag) != 0; }

    // Loading from a description: BeginLoading marks this component and what
    // it owns csLoading | csReading; EndLoading clears csReading and calls
    // Loaded on each, which clears csLoading.
    void BeginLoading();
    void EndLoading();

    // Marks the component and what it owns csDestroying.
    virtual void Destroying();

    TPersistent* GetOwner() const override { return FOwner; }
    QString GetNamePath() const override { return FName; }

protected:
    // A component joined (opInsert) or is leaving (opRemove) this one's
    // owner tree, or a component this one watches is going. The default
    // passes the notice on to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);
    // Loading finished.
    virtual void Loaded();
    void SetComponentStateFlag(TComponentStateFlag flag, bool on);
    void ValidateRename(TComponent* component, const QString& curName, const QString& newName);

private:
    void insertOwned(TComponent* component);
    void removeOwned(TComponent* component);
    void removeNotifyLink(TComponent* component);

    QString FName;
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState = 0;
};
