// The search panel: its layout, its edit and buttons, and the grid's
// search-footer handlers behind them.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

#include <QSet>

namespace {

class SearchPanelTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        NewGrid(false);
        Grid->SearchFooter()->SetVisible(true);
        DrainPostedMessages();
    }
    TSearchPanel* P() { return Grid->SearchPanel(); }
    TRetEdit* Edit() { return P()->EditControl(); }
    void TypeInEdit(const QString& s)
    {
        Edit()->SetFocus();
        Type(s);
    }
    static TRect Bounds(TControl* c) { return TRect{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()}; }
};

} // namespace

TEST_F(SearchPanelTest, ChildrenStandWhereTheLayoutPutsThem)
{
    EXPECT_EQ(Bounds(P()->ExitButton()), (TRect{5, 7, 19, 21}));
    EXPECT_EQ(Edit()->Left(), 25);
    EXPECT_EQ(Edit()->Top(), 6);
    EXPECT_EQ(Edit()->Width(), 110);
    EXPECT_EQ(Bounds(P()->ForwardButton()), (TRect{140, 5, 230, 28}));
    EXPECT_EQ(Bounds(P()->BackwardButton()), (TRect{235, 5, 325, 28}));
    EXPECT_EQ(Bounds(P()->HiliteButton()), (TRect{330, 5, 420, 28}));
    EXPECT_EQ(P()->MatchCase()->Left(), 425);
    EXPECT_EQ(P()->MatchCase()->Top(), 8);
    EXPECT_EQ(P()->Height(), 32);
    EXPECT_EQ(P()->Top(), Grid->ClientHeight() - 32);
    Grid->SearchFooter()->SetShowHighLight(false);
    EXPECT_FALSE(P()->HiliteButton()->Visible());
    EXPECT_EQ(P()->MatchCase()->Left(), 330);
    Grid->SearchFooter()->SetVisible(false);
    EXPECT_EQ(P()->Height(), 0);
    EXPECT_FALSE(P()->Visible());
}

TEST_F(SearchPanelTest, SettingsReachTheChildren)
{
    TSearchFooter* sf = Grid->SearchFooter();
    sf->SetFindNextCaption("Next");
    sf->SetFindPrevCaption("Prev");
    sf->SetHighLightCaption("Mark");
    sf->SetMatchCaseCaption("Case");
    sf->SetHintFindNext("next hint");
    sf->SetHintClose("");
    EXPECT_EQ(P()->ForwardButton()->Caption(), "Next");
    EXPECT_EQ(P()->BackwardButton()->Caption(), "Prev");
    EXPECT_EQ(P()->HiliteButton()->Caption(), "Mark");
    EXPECT_EQ(P()->MatchCase()->Caption(), "Case");
    EXPECT_TRUE(P()->ForwardButton()->ShowHint());
    EXPECT_EQ(P()->ForwardButton()->Hint(), "next hint");
    EXPECT_FALSE(P()->ExitButton()->ShowHint());
}

TEST_F(SearchPanelTest, ButtonsFollowTheEditsText)
{
    for (TExGridButton* b : {P()->ForwardButton(), P()->BackwardButton(), P()->HiliteButton()})
        EXPECT_FALSE(b->Enabled());
    TypeInEdit("c");
    for (TExGridButton* b : {P()->ForwardButton(), P()->BackwardButton(), P()->HiliteButton()})
        EXPECT_TRUE(b->Enabled());
    Edit()->SetText("");
    for (TExGridButton* b : {P()->ForwardButton(), P()->BackwardButton(), P()->HiliteButton()})
        EXPECT_FALSE(b->Enabled());
}

TEST_F(SearchPanelTest, ReturnFindsForwardCtrlReturnBackwardAndNeitherTypes)
{
    std::vector<TSearchAction> actions;
    std::vector<TPoint> cells;
    Grid->OnSearchFooterAction = [&](TObject*, const QString&, int c, int r, TSearchAction a) {
        actions.push_back(a);
        cells.push_back(TPoint{c, r});
    };
    Grid->SearchFooter()->AutoSearch = false;
    TypeInEdit("c");
    ASSERT_TRUE(actions.empty()) << "no search as you type without AutoSearch";
    Key(VK_RETURN);
    Key(VK_RETURN);
    Key(VK_RETURN, ssCtrl);
    EXPECT_EQ(Edit()->Text(), "c");
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0], saFindNext);
    EXPECT_EQ(actions[1], saFindNext);
    EXPECT_EQ(actions[2], saFindPrevious);
    // Column "c" holds c0 .. c9: the data rows start at row 1.
    EXPECT_EQ(cells[0], (TPoint{2, 1}));
    EXPECT_EQ(cells[1], (TPoint{2, 2}));
    EXPECT_EQ(cells[2], (TPoint{2, 1}));
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(Grid->Col(), 2);
}

TEST_F(SearchPanelTest, SearchAsYouTypeGoesToTheFirstMatchAndMarksFailureRed)
{
    TypeInEdit("d3");
    EXPECT_EQ(Grid->SearchCell, (TPoint{3, 3}));
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Edit()->Color(), clWindow);
    Type("x");
    EXPECT_EQ(Grid->SearchCell, (TPoint{-1, -1}));
    EXPECT_EQ(Edit()->Color(), TColor(0x0000FF));
    Key(VK_BACK);
    EXPECT_EQ(Edit()->Color(), clWindow);

    bool vetoed = false;
    Grid->OnSearchEditChange = [&](TObject*, const QString&, bool& def) {
        vetoed = true;
        def = false;
    };
    Grid->SetRow(5);
    Type("q");
    EXPECT_TRUE(vetoed);
    EXPECT_EQ(Grid->Row(), 5) << "a vetoed change searches nothing";
}

TEST_F(SearchPanelTest, HighlightButtonMarksAndUnmarksTheText)
{
    TypeInEdit("b4");
    P()->HiliteButton()->SetDown(true);
    Grid->SearchFooterHilite(P());
    EXPECT_EQ(Grid->Cells(1, 4), "<hi>b4</hi>");
    EXPECT_EQ(Grid->Cells(2, 4), "c4");
    P()->HiliteButton()->SetDown(false);
    Grid->SearchFooterHilite(P());
    EXPECT_EQ(Grid->Cells(1, 4), "b4");
}

TEST_F(SearchPanelTest, CloseFiresItsEventAndHidesTheFooter)
{
    int closed = 0;
    Grid->OnSearchFooterClose = [&](TObject*) { ++closed; };
    Input::Click(P()->ExitButton(), 5, 5);
    DrainPostedMessages();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(Grid->SearchFooter()->Visible());
    EXPECT_FALSE(P()->Visible());
}

TEST_F(SearchPanelTest, GradientPaintsBandsAndThePlainPanelItsColour)
{
    Grid->SearchFooter()->SetColor(TColor(0xFF0000));
    Grid->SearchFooter()->SetColorTo(TColor(0x0000FF));
    const QImage img = Form->RenderClient();
    const TPoint o = Form->ScreenToClient(P()->ClientToScreen(TPoint{0, 0}));
    // Top and bottom bands differ, and the colours run from blue to red.
    const int x = P()->Width() - 5;
    auto pix = [&](int y) {
        const QRgb px = img.pixel(o.X + x, o.Y + y);
        return RGB(qRed(px), qGreen(px), qBlue(px));
    };
    const TColor top = pix(2), bottom = pix(30);
    EXPECT_NE(top, bottom);
    EXPECT_GT(top & 0xFF0000, bottom & 0xFF0000) << "blue fades out downwards";
    EXPECT_LT(top & 0xFF, bottom & 0xFF) << "red grows downwards";
    QSet<TColor> bands;
    for (int y = 1; y < 31; ++y)
        bands.insert(pix(y));
    EXPECT_GE(bands.size(), 24) << "one band per pixel row, not a few steps";

    Grid->SearchFooter()->SetColorTo(clNone);
    const QImage plain = Form->RenderClient();
    const QRgb px = plain.pixel(o.X + x, o.Y + 20);
    EXPECT_EQ(RGB(qRed(px), qGreen(px), qBlue(px)), TColor(0xFF0000)) << "without an end colour: the panel colour";
}

TEST_F(SearchPanelTest, FixedEditChangedReportsTheCellAndText)
{
    int col = -1, row = -1;
    QString text;
    Grid->OnEditChange = [&](TObject*, int c, int r, const QString& v) {
        col = c;
        row = r;
        text = v;
    };
    Grid->FixedEditChanged(3, 0, "head");
    EXPECT_EQ(col, 3);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(text, "head");
}
