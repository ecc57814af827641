#include "Std2Kit.h"
#include "platform/controls/TabControls.h"
#include "platform/core/Exceptions.h"

class PageControlTest : public Std2Test {
protected:
    void SetUp() override {
        Std2Test::SetUp();
        PC = new TPageControl(Form);
        PC->SetParent(Form);
        PC->SetBounds(10, 10, 300, 200);
        for (const char* caption : {"First", "Second", "Third", "Fourth"}) {
            auto* s = new TTabSheet(Form);
            s->SetCaption(caption);
            s->SetPageControl(PC);
            Sheets << s;
        }
        PC->OnChanging = [this](TObject*, bool& allow) {
            Log << "Changing:" + PC->ActivePage()->Caption();
            allow = !Veto;
        };
        PC->OnChange = [this](TObject*) { Log << "Change:" + PC->ActivePage()->Caption(); };
        Form->Show();
    }
    int ShownSheets() const {
        int n = 0;
        for (TTabSheet* s : Sheets) n += s->Visible() ? 1 : 0;
        return n;
    }
    TPageControl* PC = nullptr;
    QList<TTabSheet*> Sheets;
    bool Veto = false;
};

TEST_F(PageControlTest, ClickOnATabAsksThenTellsAndShowsOnlyThatSheet) {
    EXPECT_EQ(PC->ActivePage(), Sheets[0]) << "the first sheet that joins is shown";
    const TPoint p = Mid(PC->TabRect(2));
    Input::Click(PC, p.X, p.Y);
    EXPECT_EQ(Log, QStringList({"Changing:First", "Change:Third"}));
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    EXPECT_EQ(PC->TabIndex(), 2);
    EXPECT_EQ(ShownSheets(), 1);
    EXPECT_TRUE(Sheets[2]->Visible());
    // The sheet fills the page area.
    EXPECT_EQ(Sheets[2]->BoundsRect(), PC->DisplayRect());
}

TEST_F(PageControlTest, AVetoKeepsThePage) {
    Veto = true;
    const TPoint p = Mid(PC->TabRect(1));
    Input::Click(PC, p.X, p.Y);
    EXPECT_EQ(Log, QStringList({"Changing:First"}));
    EXPECT_EQ(PC->ActivePage(), Sheets[0]);
    EXPECT_EQ(PC->TabIndex(), 0);
    EXPECT_EQ(ShownSheets(), 1);
}

TEST_F(PageControlTest, SettingThePageInCodeFiresNothing) {
    PC->SetActivePage(Sheets[3]);
    PC->SetActivePageIndex(1);
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_EQ(PC->ActivePage(), Sheets[1]);
    EXPECT_EQ(PC->TabIndex(), 1);
    EXPECT_TRUE(Sheets[1]->Visible());
    EXPECT_EQ(ShownSheets(), 1);
    // Out of range shows no page at all.
    PC->SetActivePageIndex(7);
    EXPECT_EQ(PC->ActivePage(), nullptr);
    EXPECT_EQ(PC->TabIndex(), -1);
    // A sheet of another control is ignored.
    TPageControl other(Form);
    auto* foreign = new TTabSheet(Form);
    foreign->SetPageControl(&other);
    PC->SetActivePage(Sheets[2]);
    PC->SetActivePage(foreign);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    delete foreign;
}

TEST_F(PageControlTest, TabRectAndTabUnderPointAgreeOnEverySide) {
    for (TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
        PC->SetTabPosition(side);
        for (int i = 0; i < 4; ++i) {
            const TRect r = PC->TabRect(i);
            ASSERT_FALSE(r.IsEmpty()) << "side " << side << " tab " << i;
            EXPECT_EQ(PC->IndexOfTabAt(r.Left, r.Top), i) << "side " << side;
            EXPECT_EQ(PC->IndexOfTabAt(r.Right - 1, r.Bottom - 1), i) << "side " << side;
            EXPECT_EQ(PC->IndexOfPageAt(Mid(r).X, Mid(r).Y), i);
            // No tab reaches into the page area.
            TRect overlap;
            EXPECT_FALSE(IntersectRect(overlap, r, PC->DisplayRect())) << "side " << side;
        }
        const TPoint inPage = Mid(PC->DisplayRect());
        EXPECT_EQ(PC->IndexOfTabAt(inPage.X, inPage.Y), -1);
    }
}

TEST_F(PageControlTest, LeftTabsOnSeveralRowsDoNotOverlap) {
    PC->SetTabPosition(tpLeft);
    PC->SetMultiLine(true);
    // Tabs long enough that two fit along the height: six make three rows.
    PC->SetTabWidth(80);
    for (const char* caption : {"Fifth", "Sixth"}) {
        auto* s = new TTabSheet(Form);
        s->SetCaption(caption);
        s->SetPageControl(PC);
    }
    ASSERT_EQ(PC->Tabs()->Count(), 6);
    EXPECT_EQ(PC->RowCount(), 3);
    QList<TRect> rects;
    for (int i = 0; i < 6; ++i) rects << PC->TabRect(i);
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(rects[i].IsEmpty());
        EXPECT_GE(rects[i].Left, 0);
        EXPECT_LE(rects[i].Bottom, PC->Height());
        EXPECT_LE(rects[i].Right, PC->DisplayRect().Left);
        for (int j = i + 1; j < 6; ++j) {
            TRect o;
            EXPECT_FALSE(IntersectRect(o, rects[i], rects[j])) << i << " and " << j;
        }
    }
    // The selected tab's row lies next to the page; clicking a tab of the
    // outer row brings that row in, and the point still finds the tab.
    const int selRight = PC->TabRect(PC->TabIndex()).Right;
    int outer = -1;
    for (int i = 0; i < 6; ++i)
        if (PC->TabRect(i).Right < selRight) outer = i;
    ASSERT_GE(outer, 0);
    const TPoint p = Mid(PC->TabRect(outer));
    Input::Click(PC, p.X, p.Y);
    EXPECT_EQ(PC->TabIndex(), outer);
    EXPECT_EQ(PC->TabRect(outer).Right, selRight);
}

TEST_F(PageControlTest, HidingATabBeforeTheActiveOneKeepsPageIndexes) {
    PC->SetActivePage(Sheets[2]);
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(PC->Tabs()->Count(), 3);
    EXPECT_EQ(Sheets[2]->PageIndex(), 2);
    EXPECT_EQ(Sheets[2]->TabIndex(), 1);
    EXPECT_EQ(Sheets[1]->TabIndex(), -1);
    EXPECT_EQ(PC->TabIndex(), 1);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    const TPoint p = Mid(PC->TabRect(2));
    EXPECT_EQ(PC->IndexOfPageAt(p.X, p.Y), 3);
    EXPECT_EQ(PC->Tabs()->Objects(2), Sheets[3]);
    // Back again, in its place.
    Sheets[1]->SetTabVisible(true);
    EXPECT_EQ(PC->Tabs()->Strings(1), "Second");
    EXPECT_EQ(PC->TabIndex(), 2);
}

TEST_F(PageControlTest, HidingTheActiveTabMovesToTheSamePlaceOrTheLast) {
    PC->SetActivePage(Sheets[1]);
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    PC->SetActivePage(Sheets[3]);
    Sheets[3]->SetTabVisible(false);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]) << "past the end: the last tab";
    EXPECT_EQ(ShownSheets(), 1);
}

TEST_F(PageControlTest, CtrlTabWrapsRoundTheShownTabs) {
    auto* edit = new TCustomControl(Form);
    edit->SetParent(Sheets[0]);
    edit->SetTabStop(true);
    edit->SetBounds(5, 5, 40, 20);
    edit->SetFocus();
    Sheets[1]->SetTabVisible(false);
    struct Case { bool shift; TTabSheet* expected; };
    // From the first: back wraps to the last; forward skips the hidden one.
    SetKeyDown(VK_CONTROL, true);
    SetKeyDown(VK_SHIFT, true);
    Input::KeyDown(VK_TAB, ssCtrl | ssShift);
    EXPECT_EQ(PC->ActivePage(), Sheets[3]);
    SetKeyDown(VK_SHIFT, false);
    Input::KeyDown(VK_TAB, ssCtrl);
    EXPECT_EQ(PC->ActivePage(), Sheets[0]);
    Input::KeyDown(VK_TAB, ssCtrl);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Log, QStringList({"Changing:First", "Change:Fourth", "Changing:Fourth", "Change:First",
                                "Changing:First", "Change:Third"}));
}

TEST_F(PageControlTest, PageIndexMovesTheTabAndRefusesOutOfRange) {
    Sheets[0]->SetPageIndex(3);
    EXPECT_EQ(PC->Pages(3), Sheets[0]);
    EXPECT_EQ(PC->Tabs()->Strings(3), "First");
    EXPECT_EQ(PC->Tabs()->Strings(0), "Second");
    EXPECT_EQ(PC->TabIndex(), 3) << "the selection follows its page";
    try {
        Sheets[0]->SetPageIndex(4);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "4 is an invalid PageIndex value.  PageIndex must be between 0 and 3");
    }
    EXPECT_EQ(PC->Pages(3), Sheets[0]);
}

TEST_F(PageControlTest, FreeingTheActiveSheetShowsTheNextAndCaptionsFollow) {
    PC->SetActivePage(Sheets[3]);
    delete Sheets[3];
    Sheets.removeLast();
    EXPECT_EQ(PC->PageCount(), 3);
    EXPECT_EQ(PC->ActivePage(), Sheets[0]) << "the next page forwards wraps round";
    Sheets[2]->SetCaption("Renamed");
    EXPECT_EQ(PC->Tabs()->Strings(2), "Renamed");
}

TEST_F(PageControlTest, FindNextPageFromAStrangerStartsAtTheEnds) {
    EXPECT_EQ(PC->FindNextPage(nullptr, true, true), Sheets[0]);
    EXPECT_EQ(PC->FindNextPage(nullptr, false, true), Sheets[3]);
    for (int i = 1; i < 4; ++i) Sheets[i]->SetTabVisible(false);
    EXPECT_EQ(PC->FindNextPage(Sheets[0], true, true), Sheets[0]) << "the only one that qualifies";
    EXPECT_EQ(PC->FindNextPage(Sheets[0], true, false), Sheets[1]);
}

TEST(TabControl, OwnerDrawingGetsEveryTabWithTheActiveFlag) {
    TForm* form = NewObject<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    auto* tc = new TTabControl(form);
    tc->SetParent(form);
    tc->SetBounds(0, 0, 300, 200);
    tc->Tabs()->Add("A");
    tc->Tabs()->Add("B");
    tc->SetTabIndex(1);
    tc->SetOwnerDraw(true);
    QStringList drawn;
    tc->OnDrawTab = [&](TCustomTabControl* c, int i, const TRect& r, bool active) {
        drawn << QString("%1:%2").arg(c->Tabs()->Strings(i)).arg(active);
        EXPECT_EQ(r, c->TabRect(i));
    };
    form->RenderClient();
    EXPECT_EQ(drawn, QStringList({"A:0", "B:1"}));
    // Keys move the selection with the same asking as a click.
    int changes = 0;
    tc->OnChange = [&](TObject*) { ++changes; };
    tc->SetFocus();
    unsigned key = VK_LEFT;
    tc->Perform(WM_KEYDOWN, key, 0);
    EXPECT_EQ(tc->TabIndex(), 0);
    tc->Perform(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(tc->TabIndex(), 0) << "no wrapping";
    EXPECT_EQ(changes, 1);
    delete form;
}

TEST(TabControl, ASingleRowThatDoesNotFitScrollsToTheSelectedTab) {
    TForm* form = NewObject<TForm>(nullptr);
    auto* tc = new TTabControl(form);
    tc->SetParent(form);
    tc->SetBounds(0, 0, 200, 100);
    tc->SetTabWidth(60);
    for (int i = 0; i < 6; ++i) tc->Tabs()->Add(QString("T%1").arg(i));
    EXPECT_TRUE(tc->TabRect(5).IsEmpty());
    tc->SetTabIndex(5);
    EXPECT_FALSE(tc->TabRect(5).IsEmpty());
    EXPECT_TRUE(tc->TabRect(0).IsEmpty());
    const TRect r = tc->TabRect(5);
    EXPECT_LE(r.Right, 200);
    EXPECT_EQ(tc->IndexOfTabAt(r.Left + 1, r.Top + 1), 5);
    delete form;
}

TEST(TabControl, TabHeightAndImagesSizeTheTabs) {
    TForm* form = NewObject<TForm>(nullptr);
    auto* tc = new TTabControl(form);
    tc->SetParent(form);
    tc->SetBounds(0, 0, 300, 200);
    tc->Tabs()->Add("Alpha");
    tc->Tabs()->Add("Beta");
    tc->SetTabIndex(0);
    const int plainWidth = tc->TabRect(1).Width();
    const int plainTop = tc->DisplayRect().Top;
    // A fixed tab height gives every tab of the row that height and moves the page.
    tc->SetTabHeight(30);
    EXPECT_EQ(tc->TabRect(1).Height(), 30);
    EXPECT_GT(tc->DisplayRect().Top, plainTop);
    EXPECT_EQ(tc->IndexOfTabAt(tc->TabRect(1).Left + 2, tc->TabRect(1).Bottom - 2), 1);
    // An image widens only the tabs that show one.
    TImageList images(16, 16);
    tc->OnGetImageIndex = [](TObject*, int tab, int& image) { image = tab == 1 ? 0 : -1; };
    tc->SetImages(&images);
    EXPECT_GE(tc->TabRect(1).Width(), plainWidth + 16);
    tc->SetImages(nullptr);
    EXPECT_EQ(tc->TabRect(1).Width(), plainWidth);
    delete form;
}
