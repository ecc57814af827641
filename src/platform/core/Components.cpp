#include "platform/core/Components.h"

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    TComponent::BeforeDestruction();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction()
{
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        removeNotifyLink(other);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
}

void TComponent::SetName(const QString& name)
{
    if (name == FName)
        return;
    if (!name.isEmpty() && !IsValidIdent(name))
        throw EComponentError(QStringLiteral("'%1' is not a valid component name").arg(name));
    if (FOwner)
        FOwner->ValidateRename(this, FName, name);
    else
        ValidateRename(nullptr, FName, name);
    FName = name;
}

void TComponent::ValidateRename(TComponent* component, const QString& curName, const QString& newName)
{
    if (!component || newName.isEmpty() || SameText(curName, newName))
        return;
    TComponent* other = FindComponent(newName);
    if (other && other != component)
        throw EComponentError(QStringLiteral("A component named %1 already exists").arg(newName));
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return FComponents[index];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    const auto& list = FOwner->FComponents;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

TComponent* TComponent::FindComponent(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    ValidateRename(component, QString(), component->FName);
    if (component->FOwner)
        component->FOwner->RemoveComponent(component);
    insertOwned(component);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    if (component->FOwner != this)
        return;
    Notification(component, opRemove);
    removeOwned(component);
}

void TComponent::insertOwned(TComponent* component)
{
    FComponents.push_back(component);
    component->FOwner = this;
}

void TComponent::removeOwned(TComponent* component)
{
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        // A component others watch leaves with a notice to its siblings;
        // the rest are simply let go of before they are freed.
        if (c->InState(csFreeNotification))
            RemoveComponent(c);
        else
            removeOwned(c);
        c->Free();
    }
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component)
        RemoveFreeNotification(component);
    // The list can change while the notices go round; walk a copy backwards
    // and skip those that have left meanwhile.
    const std::vector<TComponent*> owned = FComponents;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        TComponent* c = *it;
        if (std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
            c->Notification(component, operation);
    }
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this)
        return;
    // Components of one owner already hear of each other through the owner.
    if (!FOwner || component->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(component);
            component->FreeNotification(this);
        }
    }
    FComponentState |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    removeNotifyLink(component);
}

void TComponent::removeNotifyLink(TComponent* component)
{
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component), FFreeNotifies.end());
    auto& theirs = component->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Destroying()
{
    if (InState(csDestroying))
        return;
    FComponentState |= csDestroying;
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::BeginLoading()
{
    FComponentState |= csLoading | csReading;
    for (TComponent* c : FComponents)
        c->BeginLoading();
}

void TComponent::EndLoading()
{
    for (TComponent* c : FComponents)
        c->EndLoading();
    FComponentState &= ~TComponentState(csReading);
    if (InState(csLoading))
        Loaded();
}

void TComponent::Loaded()
{
    FComponentState &= ~TComponentState(csLoading);
}

void TComponent::SetComponentStateFlag(TComponentStateFlag flag, bool on)
{
    // Design time does not exist in this program.
    if (flag == csDesigning)
        return;
    if (on)
        FComponentState |= flag;
    else
        FComponentState &= ~TComponentState(flag);
}
