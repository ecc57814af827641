#pragma once
// An image list that is a component: it can be placed on a form, named by
// other components (which hear of its removal through Notification) and tells
// its users of changes through change links.
#include "platform/core/Components.h"
#include "platform/graphics/ImageList.h"

#include <QList>
#include <functional>

class TCustomImageList;

// A user's subscription to a list's changes.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;
    TCustomImageList* Sender() const { return FSender; }
    std::function<void(TObject*)> OnChange;
    void Change();

private:
    friend class TCustomImageList;
    TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent, public TImageList {
    KAL_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(TComponent* AOwner, int width, int height);
    ~TCustomImageList() override;
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    int LinkCount() const { return int(FLinks.size()); }
    // Tells every registered link (the list's images changed).
    void NotifyLinks();

private:
    QList<TChangeLink*> FLinks;
};
