#include "gridpack/basegrid/GridSettings.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(SearchFooter, CaptionsAndChangeEvents)
{
    TSearchFooter design(nullptr, true);
    EXPECT_EQ(design.FindNextCaption(), "Find &next");
    EXPECT_EQ(design.HintHighlight(), "Highlight occurrences");
    TSearchFooter run(nullptr, false);
    EXPECT_EQ(run.FindNextCaption(), "");
    EXPECT_EQ(run.HintClose(), "");
    EXPECT_EQ(run.SearchColumn, -1);
    EXPECT_EQ(run.ColorTo(), clBtnFace);

    int changes = 0;
    run.OnChange = [&](TObject*) { ++changes; };
    run.SetShowFindNext(true); // unchanged: no event
    EXPECT_EQ(changes, 0);
    run.SetColor(run.Color()); // always an event
    EXPECT_EQ(changes, 1);
    run.SetVisible(true);
    run.SetFindPrevCaption("x");
    EXPECT_EQ(changes, 3);

    // Assign copies the listed fields without events, and not LastSearch.
    design.LastSearch = "kept";
    design.SetVisible(true);
    run.LastSearch = "mine";
    run.AutoSearch = false;
    run.Assign(&design);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(run.FindNextCaption(), "Find &next");
    EXPECT_EQ(run.LastSearch, "mine");
    EXPECT_FALSE(run.AutoSearch);
}

TEST(Navigation, AdvanceAutoAndAssign)
{
    TNavigation n;
    EXPECT_TRUE(n.SkipFixedCells);
    EXPECT_FALSE(n.AllowInsertRow);
    n.SetAdvanceAuto(true);
    EXPECT_TRUE(n.AdvanceOnEnter);
    TNavigation m;
    m.AdvanceOnEnter = true;
    m.SetAdvanceAuto(true);
    m.SetAdvanceAuto(false);
    EXPECT_TRUE(m.AdvanceOnEnter);

    int changes = 0;
    m.OnChange = [&](TObject*) { ++changes; };
    m.SetAdvanceDirection(adLeftRight);
    EXPECT_EQ(changes, 0);
    m.SetAdvanceDirection(adTopBottom);
    EXPECT_EQ(changes, 1);

    TNavigation src;
    src.AllowDeleteRow = true;
    src.KeepScrollOnSort = true;
    src.SetAdvanceInsert(true);
    m.Assign(&src);
    EXPECT_TRUE(m.AllowDeleteRow);
    EXPECT_TRUE(m.AdvanceInsert());
    EXPECT_FALSE(m.KeepScrollOnSort);
    EXPECT_EQ(m.AdvanceDirection(), adLeftRight);
    EXPECT_EQ(changes, 1);
}

TEST(MouseActions, SideEffectsOfWriters)
{
    TMouseActions a(nullptr);
    EXPECT_TRUE(a.AutoSizeColOnDblClick);
    int invalidates = 0, disables = 0;
    a.OnInvalidate = [&](TObject*) { ++invalidates; };
    a.OnDisableEdit = [&](TObject*) { ++disables; };
    a.SetHotmailRowSelect(true);
    EXPECT_TRUE(a.DisjunctRowSelect());
    EXPECT_TRUE(a.CheckAllCheck);
    EXPECT_EQ(invalidates, 1);
    a.SetHotmailRowSelect(false);
    EXPECT_EQ(invalidates, 2);
    EXPECT_TRUE(a.DisjunctRowSelect());
    a.SetEditOnDblClickOnly(true);
    EXPECT_EQ(disables, 1);

    // At run time the disjunct selections do not exclude each other.
    a.SetDisjunctColSelect(true);
    EXPECT_TRUE(a.DisjunctRowSelect());
    a.OnIsDesigning = [](TObject*, bool& d) { d = true; };
    a.SetDisjunctCellSelect(true);
    EXPECT_FALSE(a.DisjunctRowSelect());
    EXPECT_FALSE(a.DisjunctColSelect());

    TStringList values;
    values.Add("x");
    a.SetFixedComboValues(&values);
    EXPECT_EQ(a.FixedComboValues()->Count(), 1);

    TMouseActions b(nullptr);
    b.SizeFixedRow = true;
    a.RowSelect = true;
    b.Assign(&a);
    EXPECT_TRUE(b.RowSelect);
    EXPECT_TRUE(b.SizeFixedRow);
    EXPECT_FALSE(b.HotmailRowSelect());
    EXPECT_EQ(b.FixedComboValues()->Count(), 0);
}

TEST(Bands, LengthsAndEvents)
{
    TBands b;
    EXPECT_EQ(b.TotalLength(), 2);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetPrimaryColor(clRed); // inactive: no event
    EXPECT_EQ(changes, 0);
    b.SetPrimaryLength(3);
    EXPECT_EQ(b.TotalLength(), 4);
    b.SetActive(true);
    b.SetSecondaryLength(2);
    EXPECT_EQ(b.TotalLength(), 5);
    EXPECT_EQ(changes, 2);

    TBands c;
    c.Assign(&b);
    EXPECT_EQ(c.TotalLength(), 5);
    EXPECT_TRUE(c.Active());
}

TEST(Settings, AssignFromAnotherClassChangesNothing)
{
    TBands bands;
    bands.SetPrimaryLength(4);
    TFocusHelper focus(nullptr);
    focus.Enabled = true;
    bands.Assign(&focus);
    EXPECT_EQ(bands.PrimaryLength(), 4);
    TFocusHelper other(nullptr);
    other.Assign(&bands);
    EXPECT_FALSE(other.Enabled);
    other.Assign(&focus);
    EXPECT_TRUE(other.Enabled);
    TNavigation nav;
    nav.AllowInsertRow = true;
    nav.Assign(&bands);
    EXPECT_TRUE(nav.AllowInsertRow);
}

TEST(Settings, SyncGridIgnoresItsOwner)
{
    TStringGrid owner(nullptr);
    TStringGrid other(nullptr);
    TSyncGrid s(&owner);
    s.SetGrid(&owner);
    EXPECT_EQ(s.Grid(), nullptr);
    s.SetGrid(&other);
    EXPECT_EQ(s.Grid(), &other);
    TSyncGrid t(&other);
    t.MoveRow = true;
    t.Assign(&s); // s.Grid is t's owner: left unchanged
    EXPECT_EQ(t.Grid(), nullptr);
    EXPECT_FALSE(t.MoveRow);
}
