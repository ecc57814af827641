// A tree as the M-Bus scan window shows one, rendered for a person to look
// at (build/review/treeview): three levels, check boxes in every state, an
// image per level, lines, buttons, a selection, a hot node and a drop mark.
#include "PaintKit.h"

#include "platform/controls/ImgList.h"

#include <QDir>

TEST_F(PaintTest, MeterTreeForReview) {
    TPaintTree* t = NewTree(320, 300);
    auto* list = NewObject<TCustomImageList>(Form, 16, 16);
    for (TColor c : {clNavy, clGreen, clMaroon}) {
        auto pic = FilledBitmap(16, 16, clFuchsia);
        pic->Canvas()->Brush().SetColor(c);
        pic->Canvas()->FillRect(Rect(2, 2, 14, 14));
        list->AddMasked(pic.get(), clFuchsia);
    }
    t->SetImages(list);
    TCustomLazyTreeOptions* o = t->TreeOptions();
    o->SetMiscOptions(o->MiscOptions() + TLTMiscOptions{toCheckSupport});
    o->SetPaintOptions(o->PaintOptions() + TLTPaintOptions{toHotTrack, toPopupMode});
    t->OnGetImageIndex = [&](TBaseLazyTree* s, PLazyNode n, TLTImageKind k, TColumnIndex, bool&, int& index) {
        if (k == ikNormal || k == ikSelected) index = int(s->GetNodeLevel(n)) % 3;
    };
    t->OnGetText = [](TBaseLazyTree* s, PLazyNode n, TColumnIndex, TVSTTextType, QString& text) {
        const char* names[] = {"Network", "Meter", "Value"};
        text = QStringLiteral("%1 %2").arg(QLatin1String(names[s->GetNodeLevel(n) % 3])).arg(n->Index + 1);
    };
    const TCheckState states[] = {csUncheckedNormal, csCheckedNormal, csMixedNormal, csUncheckedDisabled,
                                  csCheckedPressed};
    int k = 0;
    for (int i = 0; i < 2; ++i) {
        PLazyNode net = t->AddChild(nullptr);
        net->CheckType = ctTriStateCheckBox;
        net->CheckState = states[k++ % 5];
        for (int j = 0; j < 3; ++j) {
            PLazyNode meter = t->AddChild(net);
            meter->CheckType = ctCheckBox;
            meter->CheckState = states[k++ % 5];
            for (int v = 0; v < 2; ++v) {
                PLazyNode value = t->AddChild(meter);
                value->CheckType = v ? ctRadioButton : ctCheckBox;
                value->CheckState = states[k++ % 5];
            }
            if (j < 2) t->SetExpanded(meter, true);
        }
        t->SetExpanded(net, true);
    }
    PLazyNode second = t->GetNext(t->GetFirst());
    t->SetSelected(second, true);
    t->SetHotNode(t->GetNext(second));
    t->SetDropTargetNode(t->GetNext(t->GetNext(t->GetNext(second))));
    t->SetLastDropMode(dmBelow);
    auto img = Render(t);
    const QString dir = QStringLiteral(KAL_BUILD_DIR) + "/review/treeview";
    QDir().mkpath(dir);
    EXPECT_TRUE(img->Image().save(dir + "/meter_tree.png"));
    t->SetImages(nullptr);
    list->Free();
}
