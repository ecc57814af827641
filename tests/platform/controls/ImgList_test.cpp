// The image list as a component: change links and removal notices.
#include "platform/controls/ImgList.h"

#include <gtest/gtest.h>

namespace {
// A component that watches a list, as a control naming it does.
class TWatcher : public TComponent {
public:
    using TComponent::TComponent;
    TCustomImageList* List = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        if (op == opRemove && c == List) List = nullptr;
        TComponent::Notification(c, op);
    }
};
}  // namespace

TEST(ImageListComponent, LinksHearOfChangesUntilTheyGo) {
    TCustomImageList list(nullptr, 16, 16);
    int heard = 0;
    auto link = std::make_unique<TChangeLink>();
    link->OnChange = [&](TObject*) { ++heard; };
    list.RegisterChanges(link.get());
    EXPECT_EQ(link->Sender(), &list);
    list.AddImage(QImage(16, 16, QImage::Format_ARGB32));
    EXPECT_GE(heard, 1);
    const int before = heard;
    link.reset();  // a link that goes takes itself off the list
    EXPECT_EQ(list.LinkCount(), 0);
    list.Clear();
    EXPECT_EQ(heard, before);
}

TEST(ImageListComponent, AFreedListIsForgottenByItsWatchers) {
    TWatcher w(nullptr);
    auto* list = new TCustomImageList(nullptr);
    w.List = list;
    list->FreeNotification(&w);
    TChangeLink link;
    list->RegisterChanges(&link);
    delete list;
    EXPECT_EQ(w.List, nullptr);
    EXPECT_EQ(link.Sender(), nullptr);
}
