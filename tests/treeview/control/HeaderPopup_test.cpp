// The header's column menu, chosen through the platform's menu chooser.
#include "ControlKit.h"

#include "treeview/LazyTreesHeaderPopup.h"

namespace {
TLazyTreeColumns* Cols(TBaseLazyTree* t) { return t->Header()->Columns(); }

class HeaderPopup : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        // Menus are dismissed unless a test names an item.
        TPopupMenu::SetChooser([this](TPopupMenu* m, TPoint) -> TMenuItem* {
            shown = m;
            return choose ? choose(m) : nullptr;
        });
    }
    void TearDown() override {
        TPopupMenu::SetChooser(nullptr);
        if (menu) menu->Free();
        ControlTest::TearDown();
    }
    TViewTree* TreeWithColumns(int n) {
        TViewTree* t = LooseTree();
        for (int i = 0; i < n; ++i) Cols(t)->Add()->SetText(QStringLiteral("C%1").arg(i));
        menu = NewObject<TLTHeaderPopupMenu>(nullptr);
        menu->PopupComponent = t;
        return t;
    }
    static QStringList Captions(TPopupMenu* m) {
        QStringList out;
        for (int i = 0; i < m->Items()->Count(); ++i) {
            TMenuItem* it = m->Items()->Items(i);
            out << it->Caption + (it->Checked ? "+" : "") + (it->Enabled ? "" : "x");
        }
        return out;
    }
    static void Hide(TBaseLazyTree* t, int i) {
        Cols(t)->Items(i)->SetOptions(Cols(t)->Items(i)->Options() - TLTColumnOptions{coVisible});
    }
    TLTHeaderPopupMenu* menu = nullptr;
    TPopupMenu* shown = nullptr;
    std::function<TMenuItem*(TPopupMenu*)> choose;
};
}  // namespace

TEST_F(HeaderPopup, TheLastVisibleColumnCannotBeHiddenUnlessAllowed) {
    TViewTree* t = TreeWithColumns(2);
    Hide(t, 0);
    menu->Popup(10, 10);
    EXPECT_EQ(shown, menu);
    EXPECT_EQ(Captions(menu), (QStringList{"C0", "C1+x"}));
    menu->Options.Include(poAllowHideAll);
    menu->Popup(10, 10);
    EXPECT_EQ(Captions(menu), (QStringList{"C0", "C1+"}));
    // A column whose item the handler hides still counts as visible.
    menu->Options.Exclude(poAllowHideAll);
    Cols(t)->Items(0)->SetOptions(Cols(t)->Items(0)->Options() + TLTColumnOptions{coVisible});
    menu->OnAddHeaderPopupItem = [](TBaseLazyTree*, TColumnIndex c, TAddPopupItemType& cmd) {
        if (c == 0) cmd = apHidden;
    };
    menu->Popup(10, 10);
    EXPECT_EQ(Captions(menu), (QStringList{"C1+"}));
    menu->OnAddHeaderPopupItem = [](TBaseLazyTree*, TColumnIndex c, TAddPopupItemType& cmd) {
        if (c == 0) cmd = apDisabled;
    };
    menu->Popup(10, 10);
    EXPECT_EQ(Captions(menu), (QStringList{"C0+x", "C1+"}));
}

TEST_F(HeaderPopup, TheFitItemLeadsAndTheOrderFollowsTheDisplayUnlessOriginal) {
    TViewTree* t = TreeWithColumns(3);
    Cols(t)->Items(2)->SetPosition(0);
    Cols(t)->Items(1)->Hint = QStringLiteral("second");
    menu->Popup(0, 0);
    EXPECT_EQ(Captions(menu), (QStringList{"C2+", "C0+", "C1+"}));
    EXPECT_EQ(menu->Items()->Items(2)->Hint, QStringLiteral("second"));
    EXPECT_EQ(menu->Items()->Items(2)->Tag, 1);
    menu->Options = {poOriginalOrder, poResizeToFitItem};
    menu->Popup(0, 0);
    EXPECT_EQ(Captions(menu), (QStringList{"&Resize All Columns To Fit", "-", "C0+", "C1+", "C2+"}));
    EXPECT_EQ(menu->Items()->Items(0)->Name(), QStringLiteral("LT_ResizeToFitMenuItem"));
    // Without columns only the fit item and its separator.
    Cols(t)->ClearColumns();
    menu->Popup(0, 0);
    EXPECT_EQ(Captions(menu), (QStringList{"&Resize All Columns To Fit", "-"}));
}

TEST_F(HeaderPopup, ClickingAnItemShowsOrHidesItsColumn) {
    TViewTree* t = TreeWithColumns(3);
    Hide(t, 1);
    QList<QPair<int, bool>> changes;
    menu->OnColumnChange = [&](TBaseLazyTree* s, TColumnIndex c, bool v) {
        EXPECT_EQ(s, t);
        changes << qMakePair(int(c), v);
    };
    choose = [](TPopupMenu* m) { return m->Items()->Items(1); };
    menu->Popup(0, 0);
    EXPECT_TRUE(Cols(t)->Items(1)->Options().Contains(coVisible));
    choose = [](TPopupMenu* m) { return m->Items()->Items(2); };
    menu->Popup(0, 0);
    EXPECT_FALSE(Cols(t)->Items(2)->Options().Contains(coVisible));
    EXPECT_EQ(changes, (QList<QPair<int, bool>>{{1, true}, {2, false}}));
    menu->OnColumnChange = nullptr;
}

TEST_F(HeaderPopup, TheFitItemFitsEveryColumn) {
    TViewTree* t = TreeWithColumns(2);
    t->SetRootNodeCount(2);
    menu->Options = {poResizeToFitItem};
    choose = [](TPopupMenu* m) { return m->Items()->Items(0); };
    menu->Popup(0, 0);
    // Every node is 40 pixels of content in this tree.
    EXPECT_EQ(Cols(t)->Items(1)->Width(), t->GetMaxColumnWidth(1, false));
    EXPECT_NE(Cols(t)->Items(1)->Width(), 50);
}

TEST_F(HeaderPopup, TheAutomaticMenuOffersTheFitItemOnlyForATreeWithNodes) {
    TViewTree* t = NewTree();
    for (int i = 0; i < 2; ++i) Cols(t)->Add()->SetText(QStringLiteral("C%1").arg(i));
    t->Header()->SetOptions(t->Header()->Options() + TLTHeaderOptions{hoDblClickResize});
    QList<QPair<int, bool>> changes;
    t->OnColumnVisibilityChanged = [&](TBaseLazyTree*, TColumnIndex c, bool v) { changes << qMakePair(int(c), v); };
    Cols(t)->PopupColumnMenu(Point(5, 5));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->PopupPoint(), t->ClientToScreen(Point(5, 5)));
    EXPECT_EQ(Captions(shown), (QStringList{"C0+", "C1+"}));
    t->SetRootNodeCount(1);
    choose = [](TPopupMenu* m) { return m->Items()->Items(3); };
    Cols(t)->PopupColumnMenu(Point(5, 5));
    // The check mark stays as it was until the next popup.
    EXPECT_EQ(Captions(shown), (QStringList{"&Resize All Columns To Fit", "-", "C0+", "C1+"}));
    EXPECT_FALSE(Cols(t)->Items(1)->Options().Contains(coVisible));
    EXPECT_EQ(shown, Cols(t)->ColumnPopupMenu());
    EXPECT_EQ(changes, (QList<QPair<int, bool>>{{1, false}}));
    t->OnColumnVisibilityChanged = nullptr;
}
