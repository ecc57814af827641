#include "PageControlKit.h"

#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

// -- tab texts ------------------------------------------------------------------

TEST_F(PageControlTest, TabTextFollowsTheCaptionAndTheCloseButton) {
    AddSheets({"Nodes     ", "ab", "a", "Variables     "});
    struct Case { int sheet; bool close; QString tab; };
    const Case cases[] = {
        {0, false, "Nodes   "},        // five blanks: the last two go
        {0, true, "Nodes      "},      // with a close button one blank more
        {1, false, ""},                // two characters or fewer: nothing left
        {2, false, ""},
        {2, true, "a "},
        {3, false, "Variables   "},
    };
    for (const Case& c : cases) {
        Sheets[c.sheet]->SetShowClose(c.close);
        EXPECT_EQ(PC->Tabs()->Strings(Sheets[c.sheet]->TabIndex()), c.tab) << c.sheet << " close " << c.close;
        EXPECT_EQ(Sheets[c.sheet]->TabCaption(), c.tab);
    }
    // The caption itself, which the tab shows, keeps its blanks.
    EXPECT_EQ(Sheets[0]->Caption(), "Nodes     ");
    // A caption change reaches the tab at once.
    Sheets[3]->SetShowClose(false);
    Sheets[3]->SetCaption("Vars  ");
    EXPECT_EQ(PC->Tabs()->Strings(3), "Vars");
    // With the platform's own tabs the plain caption is given.
    PC->SetTabBorder3D(true);
    EXPECT_EQ(PC->Tabs()->Strings(0), "Nodes     ");
    EXPECT_FALSE(PC->OwnerDraw());
    PC->SetTabBorder3D(false);
    EXPECT_EQ(PC->Tabs()->Strings(0), "Nodes      ");
    EXPECT_TRUE(PC->OwnerDraw());
}

TEST_F(PageControlTest, ABoldActiveFontPadsOnlyTheActiveTabWithBlanks) {
    AddSheets({"Wide captionxx", "Other tabxx"});
    TFont bold;
    bold.Assign(*PC->ActiveFont());
    bold.SetStyle(fsBold);
    PC->SetActiveFont(bold);
    const QString tab = PC->Tabs()->Strings(0);
    const QString base = "Wide caption";
    ASSERT_TRUE(tab.startsWith(base));
    const QString blanks = tab.mid(base.size());
    EXPECT_EQ(blanks.trimmed(), QString());
    // Just enough blanks, measured in the normal font, to make up for the
    // wider active font.
    TCanvas* c = PC->Canvas();
    c->Font().Assign(bold);
    const int wide = c->TextWidth(base);
    c->Font().Assign(*PC->Font());
    const int narrow = c->TextWidth(base);
    ASSERT_GT(wide, narrow);
    EXPECT_GE(c->TextWidth(blanks), wide - narrow);
    EXPECT_LT(c->TextWidth(blanks.left(blanks.size() - 1)), wide - narrow);
    EXPECT_EQ(PC->Tabs()->Strings(1), "Other tab") << "an inactive tab is not padded";
    // The padding moves with the active page.
    PC->SetActivePage(Sheets[1]);
    EXPECT_EQ(PC->Tabs()->Strings(0), base);
    EXPECT_TRUE(PC->Tabs()->Strings(1).startsWith("Other tab "));
}

// -- errors ---------------------------------------------------------------------

TEST_F(PageControlTest, RefusedSettingsRaiseTheirTextsAndChangeNothing) {
    AddSheets({"One  ", "Two  "});
    try {
        Sheets[0]->SetTabEnable(false);
        ADD_FAILURE() << "disabling the active tab was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Can not disable active tab.");
    }
    EXPECT_TRUE(Sheets[0]->TabEnable());
    Sheets[1]->SetTabEnable(false);  // any other tab may be disabled
    EXPECT_FALSE(Sheets[1]->TabEnable());

    PC->SetTabSplitLine(true);
    PC->SetTabStyle(tsDotNet);  // accepted although the split line is on
    EXPECT_EQ(PC->TabStyle(), tsDotNet);
    PC->SetTabSplitLine(false);
    try {
        PC->SetTabSplitLine(true);
        ADD_FAILURE() << "split line accepted with the dot-net style";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "TabSplitLine must be false when TabStyle is tsDotNet");
    }
    EXPECT_FALSE(PC->TabSplitLine());

    for (int bad : {5, 2, -1}) {
        try {
            Sheets[0]->SetPageIndex(bad);
            ADD_FAILURE() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral("%1 is an invalid PageIndex value.  PageIndex must be between 0 and 1").arg(bad));
        }
        EXPECT_EQ(PC->Pages(0), Sheets[0]);
        EXPECT_EQ(PC->Tabs()->Strings(0), "One");
    }
    EXPECT_EQ(PC->Version(), "1.4.0.0");
    PC->SetVersion("9.9");
    EXPECT_EQ(PC->Version(), "1.4.0.0");
}

// -- pages and tabs -------------------------------------------------------------

TEST_F(PageControlTest, HidingATabBeforeTheActiveOneKeepsPageIndexes) {
    AddSheets({"A  ", "B  ", "C  ", "D  "});
    PC->SetActivePage(Sheets[2]);
    ASSERT_EQ(Sheets[2]->TabIndex(), 2);
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    EXPECT_EQ(PC->ActivePageIndex(), 2);
    EXPECT_EQ(Sheets[2]->TabIndex(), 1);
    EXPECT_EQ(PC->TabIndex(), 1);
    EXPECT_EQ(Sheets[1]->TabIndex(), -1);
    EXPECT_EQ(Sheets[1]->PageIndex(), 1);
    EXPECT_EQ(PC->Tabs()->Count(), 3);
    // The page under a tab and a page's tab rectangle still agree.
    for (int page : {0, 2, 3}) {
        const TRect r = PageTab(page);
        ASSERT_FALSE(r.IsEmpty());
        EXPECT_EQ(PC->PageIndexAt(Mid(r).X, Mid(r).Y), page);
    }
    EXPECT_EQ(PC->PageIndexAt(Mid(PC->DisplayRect()).X, Mid(PC->DisplayRect()).Y), -1);
    // Shown again, the tab goes back to its place.
    Sheets[1]->SetTabVisible(true);
    EXPECT_EQ(Sheets[1]->TabIndex(), 1);
    EXPECT_EQ(PC->TabIndex(), 2);
    // Hiding the active page's tab moves to the tab in its place.
    Sheets[2]->SetTabVisible(false);
    EXPECT_EQ(PC->ActivePage(), Sheets[3]);
    EXPECT_FALSE(Sheets[2]->Visible());
    EXPECT_TRUE(Sheets[3]->Visible());
}

TEST_F(PageControlTest, PageIndexMovesTheTabWithItsSelection) {
    AddSheets({"A  ", "B  ", "C  "});
    PC->SetActivePage(Sheets[0]);
    Sheets[0]->SetPageIndex(2);
    EXPECT_EQ(PC->GetChildren(), (QList<TExTabSheet*>{Sheets[1], Sheets[2], Sheets[0]}));
    EXPECT_EQ(PC->Tabs()->Strings(2), "A");
    EXPECT_EQ(PC->TabIndex(), 2);
    PC->SetChildOrder(Sheets[0], 0);
    EXPECT_EQ(PC->Pages(0), Sheets[0]);
    EXPECT_EQ(PC->Tabs()->Strings(0), "A");
    // Showing a sheet through its control activates it; another control's
    // sheet or any other control changes nothing.
    PC->ShowControl(Sheets[1]);
    EXPECT_EQ(PC->ActivePage(), Sheets[1]);
    PC->ShowControl(PC);
    EXPECT_EQ(PC->ActivePage(), Sheets[1]);
}

TEST_F(PageControlTest, CtrlTabWrapsOverTheVisibleTabs) {
    AddSheets({"A  ", "B  ", "C  ", "D  "});
    Form->Show();
    Sheets[3]->SetTabVisible(false);
    PC->SetActivePage(Sheets[2]);
    PC->SetFocus();
    struct Step { TShiftState shift; int expected; };
    // Forward from the last visible wraps to the first; back from the first
    // to the last visible.
    const Step steps[] = {{ssCtrl, 0}, {ssCtrl | ssShift, 2}, {ssCtrl | ssShift, 1}, {ssCtrl, 2}};
    for (const Step& s : steps) {
        SetKeyDown(VK_CONTROL, true);
        SetKeyDown(VK_SHIFT, (s.shift & ssShift) != 0);
        EXPECT_TRUE(Input::KeyDown(VK_TAB, s.shift)) << "the key is consumed";
        EXPECT_EQ(PC->ActivePage(), Sheets[s.expected]);
    }
    // From a control on a page, too; the focus follows to the new page.
    auto* inner = new TCustomControl(Form);
    inner->SetParent(Sheets[2]);
    inner->SetTabStop(true);
    inner->SetBounds(5, 5, 40, 20);
    inner->SetFocus();
    ASSERT_EQ(FocusedControl(), inner);
    SetKeyDown(VK_SHIFT, false);
    EXPECT_TRUE(Input::KeyDown(VK_TAB, ssCtrl));
    EXPECT_EQ(PC->ActivePage(), Sheets[0]);
    EXPECT_FALSE(Sheets[2]->ContainsControl(FocusedControl()));
    SetKeyDown(VK_CONTROL, false);
    // FindNextPage, for a sheet of none and with one page that qualifies.
    EXPECT_EQ(PC->FindNextPage(nullptr, true, true), Sheets[0]);
    EXPECT_EQ(PC->FindNextPage(nullptr, false, false), Sheets[3]);
    for (int i : {0, 1}) Sheets[i]->SetTabVisible(false);
    EXPECT_EQ(PC->FindNextPage(Sheets[2], true, true), Sheets[2]);
}

TEST_F(PageControlTest, AClickAsksOnCanChangeWithBothPagesThenTells) {
    AddSheets({"A  ", "B  ", "C  "});
    QStringList log;
    bool veto = true;
    PC->OnCanChange = [&](TObject*, int from, int to, bool& allow) {
        log << QStringLiteral("can %1->%2").arg(from).arg(to);
        allow = !veto;
    };
    PC->OnChange = [&](TObject*) { log << QStringLiteral("change %1").arg(PC->ActivePageIndex()); };
    const TPoint p = Mid(PageTab(2));
    Input::Click(PC, p.X, p.Y);
    EXPECT_EQ(PC->ActivePage(), Sheets[0]);
    veto = false;
    Input::Click(PC, p.X, p.Y);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    EXPECT_EQ(log, QStringList({"can 0->2", "can 0->2", "change 2"}));
    EXPECT_TRUE(Sheets[2]->Visible());
    EXPECT_FALSE(Sheets[0]->Visible());
    EXPECT_EQ(Sheets[2]->BoundsRect(), PC->DisplayRect());
    // A page whose tab is disabled is not made active, and keeps no
    // selection on its tab.
    Sheets[1]->SetTabEnable(false);
    const TPoint q = Mid(PageTab(1));
    Input::Click(PC, q.X, q.Y);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
    EXPECT_EQ(PC->TabIndex(), 2);
}

TEST_F(PageControlTest, TheCloseButtonClosesTheActivePageIntoTheClosedList) {
    AddSheets({"A  ", "B  ", "C  "});
    QStringList log;
    for (TExTabSheet* s : Sheets) {
        s->SetShowClose(true);
        s->OnClose = [&log](TObject* o) { log << "close " + static_cast<TExTabSheet*>(o)->Name(); };
    }
    bool refuse = true;
    Sheets[1]->OnCanClose = [&](TObject*, bool& can) {
        EXPECT_TRUE(can);
        can = !refuse;
    };
    PC->SetActivePage(Sheets[1]);
    const TPoint b = Mid(PC->CloseButtonRect(1));
    EXPECT_EQ(PC->CloseButtonRect(1).Width(), 12);
    EXPECT_EQ(PC->CloseButtonRect(1).Height(), 11);
    Input::Click(PC, b.X, b.Y);
    EXPECT_EQ(PC->PageCount(), 3) << "OnCanClose refused";
    EXPECT_TRUE(log.isEmpty());
    refuse = false;
    Input::Click(PC, b.X, b.Y);
    EXPECT_EQ(log, QStringList({"close Sheet1"}));
    EXPECT_EQ(PC->PageCount(), 2);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]) << "the next visible page";
    EXPECT_EQ(Sheets[1]->ExPageControl(), nullptr);
    EXPECT_EQ(PC->ClosedTabList()->Count(), 1);
    EXPECT_EQ(PC->ClosedTabList()->Strings(0), "Sheet1");

    EXPECT_FALSE(PC->OpenClosedTab("Nothing"));
    EXPECT_TRUE(PC->OpenClosedTab("Sheet1"));
    EXPECT_EQ(PC->Pages(2), Sheets[1]) << "back as the last page";
    EXPECT_EQ(PC->Tabs()->Strings(2), "B   ");
    EXPECT_EQ(PC->ClosedTabList()->Count(), 1) << "the entry stays";

    // A closed sheet that is destroyed leaves the list: no stale entry.
    PC->SetActivePage(Sheets[1]);
    Input::Click(PC, Mid(PC->CloseButtonRect(2)).X, Mid(PC->CloseButtonRect(2)).Y);
    ASSERT_EQ(Sheets[1]->ExPageControl(), nullptr);
    delete Sheets[1];
    EXPECT_EQ(PC->ClosedTabList()->Count(), 0);
    EXPECT_FALSE(PC->OpenClosedTab("Sheet1"));

    // With FreeOnClose the page is destroyed.
    PC->SetFreeOnClose(true);
    PC->SetActivePage(Sheets[0]);
    Input::Click(PC, Mid(PC->CloseButtonRect(0)).X, Mid(PC->CloseButtonRect(0)).Y);
    EXPECT_EQ(PC->PageCount(), 1);
    EXPECT_EQ(Form->FindComponent("Sheet0"), nullptr);
    EXPECT_EQ(PC->ClosedTabList()->Count(), 0);
    EXPECT_EQ(PC->ActivePage(), Sheets[2]);
}

TEST_F(PageControlTest, HoverNeedsAHoverColourEvenOnTheCloseButton) {
    AddSheets({"A  ", "B  "});
    Sheets[0]->SetShowClose(true);
    const TPoint other = Mid(PageTab(1));
    const TPoint close = Mid(PC->CloseButtonRect(0));
    Input::MouseMove(PC, other.X, other.Y);
    Input::MouseMove(PC, close.X, close.Y);
    EXPECT_EQ(PC->HoverTab(), -1);
    EXPECT_FALSE(PC->HoverClosedButton());
    EXPECT_EQ(PC->CloseButtonState(), TExPageControl::cbsNormal);

    PC->SetTabHoverColor(clYellow);
    Input::MouseMove(PC, other.X, other.Y);
    EXPECT_EQ(PC->HoverTab(), 1);
    Input::MouseMove(PC, close.X, close.Y);
    EXPECT_EQ(PC->HoverTab(), 0);
    EXPECT_TRUE(PC->HoverClosedButton());
    EXPECT_EQ(PC->CloseButtonState(), TExPageControl::cbsHot);
    Input::MouseLeave();
    EXPECT_EQ(PC->HoverTab(), -1);
    EXPECT_FALSE(PC->HoverClosedButton());
}

TEST_F(PageControlTest, MarginsWidenEveryTabWhateverTheOrderTheyAreSetIn) {
    AddSheets({"Nodes     ", "Variables     "});
    PC->SetTabPosition(tpLeft);
    const int plain = PageTab(0).Height();
    PC->TabMargin()->SetRightMargin(20);
    PC->TabMargin()->SetTopMargin(10);
    EXPECT_EQ(PC->DummyImages()->Height(), 30);
    EXPECT_EQ(PC->DummyImages()->Width(), 0);
    EXPECT_EQ(PageTab(0).Height(), plain + 30 + 3) << "the room and the image gap";
    // The left margin counts for tabs on the top or bottom only.
    PC->TabMargin()->SetLeftMargin(7);
    EXPECT_EQ(PC->DummyImages()->Height(), 30);
    PC->SetTabPosition(tpTop);
    EXPECT_EQ(PC->DummyImages()->Width(), 27);
    EXPECT_EQ(PC->DummyImages()->Height(), 0);
    TImageList images(16, 12);
    PC->SetImages(&images);
    EXPECT_EQ(PC->DummyImages()->Width(), 43);
    EXPECT_EQ(PC->Images(), &images);
    // The sheets keep filling the page area.
    EXPECT_EQ(Sheets[0]->BoundsRect(), PC->DisplayRect());
    // Assign copies the values without telling the control.
    TTabMargin m;
    m.Assign(PC->TabMargin());
    EXPECT_EQ(m.LeftMargin(), 7);
    EXPECT_EQ(m.TopMargin(), 10);
    EXPECT_EQ(m.RightMargin(), 20);
    PC->SetImages(nullptr);
}

TEST_F(PageControlTest, DefaultColoursReachSheetsThatKeepTheOldDefault) {
    AddSheets({"A  ", "B  "});
    EXPECT_EQ(Sheets[0]->TabColor(), clBtnFace) << "taken when joining";
    Sheets[1]->SetTabColor(clRed);
    PC->SetDefaultTabColor(clAqua);
    EXPECT_EQ(Sheets[0]->TabColor(), clAqua);
    EXPECT_EQ(Sheets[1]->TabColor(), clRed);
    PC->SetDefaultTextColor(clBlue);
    EXPECT_EQ(Sheets[0]->TextColor(), clBlue);
}

TEST_F(PageControlTest, ADockedControlBecomesAPageAndItsCaptionFollows) {
    AddSheets({"A  "});
    PC->SetDockSite(true);
    auto* client = new TCustomControl(Form);
    client->SetCaption("Docked\nsecond line");
    PC->DockDrop(client, 0, 0);
    ASSERT_EQ(PC->PageCount(), 2);
    TExTabSheet* sheet = PC->Pages(1);
    EXPECT_EQ(client->Parent(), sheet);
    EXPECT_EQ(PC->ActivePage(), sheet);
    client->SetCaption("Renamed\r\nmore");
    EXPECT_EQ(sheet->Caption(), "Renamed");
    client->SetVisible(false);
    EXPECT_FALSE(sheet->TabVisible());
    EXPECT_TRUE(PC->UndockClient(client));
    EXPECT_EQ(PC->PageCount(), 1);
    EXPECT_EQ(client->Parent(), nullptr);
    EXPECT_EQ(PC->ActivePage(), Sheets[0]);
    delete client;
}
