// The column grid's whole-column features: filter lists and picks, popup
// menus, column positions in an INI file and column streams; and the
// header's filter button and drop-down menu.
#include "gridpack/stringgrid/inplace/EditTestKit.h"

#include "gridpack/gridexchange/GridDropLists.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Streams.h"

#include <QTemporaryDir>

namespace {

class ColumnFeatureTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        CGrid = MakeGrid();
        Grid = CGrid;
        Form->Show();
        DrainPostedMessages();
    }
    void TearDown() override
    {
        TPopupMenu::SetChooser(nullptr);
        EditingTest::TearDown();
    }
    // 5 columns (1 fixed), 10 rows (1 fixed); headers H0 .. H4; column 2
    // holds the values 50, 150, 250, ... in its data rows.
    TExColumnGrid* MakeGrid()
    {
        if (!Form) {
            Form = NewObject<TForm>(nullptr);
            Form->SetBorderStyle(bsNone);
            Form->SetBounds(0, 0, 600, 400);
        }
        auto* g = NewObject<TExColumnGrid>(Form);
        g->SetParent(Form);
        g->SetBounds(0, 0, 500, 300);
        for (int c = 0; c < 5; ++c)
            g->Columns()->Items(c)->SetHeader(QString("H%1").arg(c));
        for (int r = 1; r < g->RowCount(); ++r)
            g->SetCells(2, r, QString::number(r * 100 - 50));
        g->Columns()->SetOrganization();
        return g;
    }
    QStringList Headers(TExColumnGrid* g)
    {
        QStringList h;
        for (int c = 0; c < g->ColCount(); ++c)
            h << g->Cells(c, 0);
        return h;
    }
    int ShownDataRows() { return Grid->RowCount() - Grid->FixedRows(); }
    TExColumnGrid* CGrid = nullptr;
};

} // namespace

// ---------------------------------------------------------------------------
// Filter lists
// ---------------------------------------------------------------------------

TEST_F(ColumnFeatureTest, AColumnWithoutFilterEntriesHasNoListEvenWhenTheEventFillsOne)
{
    CGrid->OnGetColumnFilter = [](TObject*, int, TStrings* list) { list->Add("from event"); };
    EXPECT_FALSE(CGrid->GetColumnFilter(2));
    EXPECT_FALSE(CGrid->GetColumnFilter(9)) << "beyond the collection";
    CGrid->Columns()->Items(2)->Filter()->Add("Big=>100");
    CGrid->Columns()->Items(2)->Filter()->Add("<300");
    EXPECT_TRUE(CGrid->GetColumnFilter(2));
    ASSERT_EQ(CGrid->FilterList()->Count(), 2);
    EXPECT_EQ(CGrid->FilterList()->Strings(0), "Big");
    EXPECT_EQ(CGrid->FilterList()->Strings(1), "<300");
}

TEST_F(ColumnFeatureTest, PickingAnEntryFiltersWithItsConditionAndShowsItsName)
{
    TGridColumnItem* item = CGrid->Columns()->Items(2);
    item->Filter()->Add("Big=>100");
    item->Filter()->Add("<300");
    item->FilterCaseSensitive = true;
    CGrid->AutoFilterDisplay = true;
    CGrid->AutoFilterUpdate = true;
    int done = 0;
    QString friendly, seen;
    CGrid->OnFilterDone = [&](TObject*) { ++done; };
    CGrid->OnFilterSelect = [&](TObject*, int, int, const QString& name, QString& cond) {
        friendly = name;
        seen = cond;
    };
    CGrid->SetRow(5);
    CGrid->FFilterColumn = 2;
    CGrid->FilterSelect(0);
    EXPECT_EQ(friendly, "Big");
    EXPECT_EQ(seen, ">100");
    EXPECT_EQ(item->Header(), "Big");
    EXPECT_TRUE(CGrid->FilterActive);
    EXPECT_EQ(ShownDataRows(), 8) << "50 drops out of 50 .. 850";
    EXPECT_EQ(CGrid->Row(), CGrid->FixedRows());
    EXPECT_EQ(done, 1);
    EXPECT_EQ(CGrid->FFilterColumn, -1);
    EXPECT_TRUE(CGrid->Filter()->GetColFilter(2)->CaseSensitive);

    // An entry without "=" is both name and condition.
    CGrid->FFilterColumn = 2;
    CGrid->FilterSelect(1);
    EXPECT_EQ(friendly, "<300");
    EXPECT_EQ(seen, "<300");
    EXPECT_EQ(item->Header(), "<300");
    EXPECT_EQ(ShownDataRows(), 3);
}

TEST_F(ColumnFeatureTest, AnImpossiblePickChangesNothingButClosesTheList)
{
    CGrid->Columns()->Items(2)->Filter()->Add("Big=>100");
    CGrid->AutoFilterUpdate = true;
    int done = 0;
    CGrid->OnFilterDone = [&](TObject*) { ++done; };
    for (auto [col, index] : {std::pair{2, 1}, std::pair{2, -1}, std::pair{9, 0}, std::pair{-1, 0}}) {
        CGrid->FFilterColumn = col;
        CGrid->FilterSelect(index);
        EXPECT_EQ(CGrid->FFilterColumn, -1);
    }
    EXPECT_EQ(done, 0);
    EXPECT_FALSE(CGrid->FilterActive);
    EXPECT_EQ(CGrid->Columns()->Items(2)->Header(), "H2");
}

TEST_F(ColumnFeatureTest, AReleaseOnTheFilterButtonOpensTheListBelowTheHeader)
{
    CGrid->Columns()->Items(2)->Filter()->Add("Big=>100");
    CGrid->Columns()->Items(2)->Filter()->Add("Small=<100");
    const TRect R = CGrid->CellRect(2, 0);
    Input::Click(CGrid, R.Right - 8, R.Top + 5);
    DrainPostedMessages();
    TDropList* list = CGrid->FDropList;
    ASSERT_TRUE(list->Visible());
    EXPECT_EQ(CGrid->FFilterColumn, 2);
    EXPECT_EQ(list->Items()->Count(), 2);
    EXPECT_EQ(list->Items()->Strings(0), "Big");
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(list->Top(), R.Top + 16);
    EXPECT_EQ(list->Left(), R.Right - 16);
    // A release elsewhere closes it.
    const TRect other = CGrid->CellRect(1, 3);
    Input::Click(CGrid, other.Left + 3, other.Top + 3);
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(CGrid->FFilterColumn, -1);
}

// ---------------------------------------------------------------------------
// Popup menus
// ---------------------------------------------------------------------------

TEST_F(ColumnFeatureTest, LeftClickOnADataCellOpensTheColumnsNormalCellsMenu)
{
    auto* menu = NewObject<TPopupMenu>(Form);
    int popped = 0;
    TPoint at;
    TPopupMenu::SetChooser([&](TPopupMenu* m, TPoint p) -> TMenuItem* {
        if (m == menu) {
            ++popped;
            at = p;
        }
        return nullptr;
    });
    TGridColumnItem* item = CGrid->Columns()->Items(3);
    item->SetColumnPopup(menu);
    item->ColumnPopupType = cpNormalCellsLClick;
    std::vector<std::tuple<int, int, TPopupMenu*>> fired;
    CGrid->OnColumnPopup = [&](TObject*, int c, int r, TPopupMenu* m) { fired.emplace_back(c, r, m); };

    const TRect R = CGrid->CellRect(3, 2);
    Input::Click(CGrid, R.Left + 5, R.Top + 5, mbRight);
    const TRect H = CGrid->CellRect(3, 0);
    Input::Click(CGrid, H.Left + 5, H.Top + 5);
    EXPECT_EQ(popped, 0) << "neither a right click nor a header click";
    Input::Click(CGrid, R.Left + 5, R.Top + 5);
    EXPECT_EQ(popped, 1);
    EXPECT_EQ(at, CGrid->ClientToScreen(TPoint{R.Left, R.Bottom}));
    // The left-click type fires the event on both left clicks.
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[1], std::make_tuple(3, 2, menu));
}

TEST_F(ColumnFeatureTest, PopupTypesPickTheirButtonAndRows)
{
    auto* menu = NewObject<TPopupMenu>(Form);
    int popped = 0;
    TPopupMenu::SetChooser([&](TPopupMenu*, TPoint) -> TMenuItem* {
        ++popped;
        return nullptr;
    });
    TGridColumnItem* item = CGrid->Columns()->Items(2);
    item->SetColumnPopup(menu);
    const TRect head = CGrid->CellRect(2, 0), data = CGrid->CellRect(2, 3);
    struct Case {
        TColumnPopupType type;
        TMouseButton button;
        bool onHead, onData;
    };
    const Case cases[] = {
        {cpFixedCellsRClick, mbRight, true, false}, {cpFixedCellsLClick, mbLeft, true, false},
        {cpNormalCellsRClick, mbRight, false, true}, {cpAllCellsRClick, mbRight, true, true},
        {cpAllCellsLClick, mbLeft, true, true},      {cpAllCellsLClick, mbRight, false, false},
    };
    for (const Case& c : cases) {
        item->ColumnPopupType = c.type;
        popped = 0;
        Input::Click(CGrid, head.Left + 5, head.Top + 5, c.button);
        EXPECT_EQ(popped, c.onHead ? 1 : 0) << "type " << c.type << " header";
        popped = 0;
        Input::Click(CGrid, data.Left + 5, data.Top + 5, c.button);
        EXPECT_EQ(popped, c.onData ? 1 : 0) << "type " << c.type << " data";
    }
    // Without a menu nothing fires.
    item->SetColumnPopup(nullptr);
    int fired = 0;
    CGrid->OnColumnPopup = [&](TObject*, int, int, TPopupMenu*) { ++fired; };
    Input::Click(CGrid, data.Left + 5, data.Top + 5);
    EXPECT_EQ(fired, 0);
}

TEST_F(ColumnFeatureTest, HeaderDropDownPartPopsTheHeaderMenu)
{
    auto* menu = NewObject<TPopupMenu>(Form);
    TPoint at;
    int popped = 0;
    TPopupMenu::SetChooser([&](TPopupMenu*, TPoint p) -> TMenuItem* {
        ++popped;
        at = p;
        return nullptr;
    });
    CGrid->HoverFixedCells = hfAll;
    CGrid->ControlLook()->FixedDropDownButton = true;
    CGrid->SetFixedDropDownMenu(menu);
    bool keepAsked = false;
    CGrid->OnFixedDropDownClick = [&](TObject*, int c, int r, TPopupMenu*& m, bool& keep) {
        keepAsked = c == 2 && r == 0 && m == menu;
        keep = true;
    };
    const TRect R = CGrid->CellRect(2, 0);
    Input::MouseDown(CGrid, mbLeft, R.Right - 8, R.Top + 5);
    Input::MouseUp(CGrid, mbLeft, R.Right - 8, R.Top + 5);
    EXPECT_EQ(popped, 1);
    EXPECT_TRUE(keepAsked);
    EXPECT_EQ(menu->Tag, 2);
    EXPECT_EQ(at, CGrid->ClientToScreen(TPoint{R.Right - 16, R.Bottom}));
    EXPECT_TRUE(CGrid->FNoMouseLeave);
}

// ---------------------------------------------------------------------------
// Column positions
// ---------------------------------------------------------------------------

TEST_F(ColumnFeatureTest, SavedPositionsRestoreTheOrderInAFreshGrid)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("cols.ini");
    CGrid->MoveColumn(1, 3);
    const QStringList moved = Headers(CGrid);
    ASSERT_EQ(moved, (QStringList{"H0", "H2", "H3", "H1", "H4"}));
    CGrid->SaveColumnPositions(ini, "Grid");
    {
        TMemIniFile f(ini);
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(f.ValueExists("Grid", QString("CP%1").arg(i))) << i;
        EXPECT_EQ(f.ReadInteger("Grid", "CP3", -1), 1);
    }
    TExColumnGrid* fresh = MakeGrid();
    fresh->LoadColumnPositions(ini, "Grid");
    EXPECT_EQ(Headers(fresh), moved);
}

TEST_F(ColumnFeatureTest, PositionsWithAMissingBadOrRepeatedKeyMoveNothing)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("cols.ini");
    CGrid->MoveColumn(1, 3);
    CGrid->SaveColumnPositions(ini, "Grid");
    const QStringList plain{"H0", "H1", "H2", "H3", "H4"};
    struct Case {
        const char* what;
        std::function<void(TMemIniFile&)> spoil;
    };
    const Case cases[] = {
        {"missing", [](TMemIniFile& f) { f.DeleteKey("Grid", "CP2"); }},
        {"outside", [](TMemIniFile& f) { f.WriteInteger("Grid", "CP2", 7); }},
        {"twice", [](TMemIniFile& f) { f.WriteInteger("Grid", "CP2", f.ReadInteger("Grid", "CP3", 0)); }},
    };
    for (const Case& c : cases) {
        CGrid->SaveColumnPositions(ini, "Grid");
        {
            TMemIniFile f(ini);
            c.spoil(f);
            f.UpdateFile();
        }
        TExColumnGrid* fresh = MakeGrid();
        fresh->LoadColumnPositions(ini, "Grid");
        EXPECT_EQ(Headers(fresh), plain) << c.what;
    }
}

// ---------------------------------------------------------------------------
// Column streams
// ---------------------------------------------------------------------------

namespace {
void Fill(TGridColumnItem* c, int i)
{
    c->SetHeader(QString("Head %1").arg(i));
    c->SetWidth(40 + i);
    c->SetAlignment(taRightJustify);
    c->SetHeaderAlignment(taCenter);
    c->SetEditor(i == 2 ? edComboList : edDataCheckBox);
    c->ComboItems()->Add("one");
    c->ComboItems()->Add(QString::fromUtf8("zwei \xc3\xbc"));
    c->CheckTrue = "Ja";
    c->CheckFalse = "Nein";
    c->SetColor(TColor(0x123456 + i));
    c->Font()->SetName("Arial");
    c->Font()->SetSize(11);
    c->Font()->SetStyle(TFontStyles(1 << fsBold));
    c->HeaderFont()->SetColor(TColor(0x00FF00));
    c->PrintFont()->SetSize(7);
    c->BorderPen()->SetWidth(3);
    c->BorderPen()->SetColor(TColor(0x0000FF));
    c->PrintBorderPen()->SetStyle(psDot);
    c->Filter()->Add("Big=>100");
    c->FilterCaseSensitive = true;
    c->PrintColor = TColor(0xEEEEEE);
    c->PrintBorders = CellBorderBit(cbTop);
    c->PrintBorderCustom = false;
    c->PrintFontCustom = false;
    c->ColumnPopupType = cpAllCellsLClick;
    c->SortStyle = ssNumeric;
    c->SortPrefix = "#";
    c->EditMask = "999";
    c->Name = QString("col%1").arg(i);
    c->SpinMax = 9;
    c->Tag = 77;
    c->ReadOnly = true;
    c->SetShowBands(true);
    c->SetFloatFormat("%.3f");
}

QStringList Describe(TGridColumnItem* c)
{
    auto font = [](TFont* f) {
        return QString("%1/%2/%3/%4").arg(f->Name()).arg(f->Height()).arg(f->Style()).arg(f->Color());
    };
    auto pen = [](TPen* p) { return QString("%1/%2/%3").arg(p->Color()).arg(p->Width()).arg(p->Style()); };
    return QStringList{c->Header(), QString::number(c->StoredWidth()), QString::number(c->Alignment()),
                       QString::number(c->HeaderAlignment()), QString::number(c->Editor()),
                       c->ComboItems()->Text(), c->CheckTrue, c->CheckFalse, QString::number(c->Color()),
                       font(c->Font()), font(c->HeaderFont()), font(c->PrintFont()), pen(c->BorderPen()),
                       pen(c->PrintBorderPen()), c->Filter()->Text(), QString::number(c->FilterCaseSensitive),
                       QString::number(c->PrintColor), QString::number(c->PrintBorders),
                       QString::number(c->PrintBorderCustom), QString::number(c->PrintFontCustom),
                       QString::number(c->ColumnPopupType), QString::number(c->SortStyle), c->SortPrefix,
                       c->EditMask, c->Name, QString::number(c->SpinMax), QString::number(c->Tag),
                       QString::number(c->ReadOnly), QString::number(c->ShowBands()), c->FloatFormat()};
}
} // namespace

TEST_F(ColumnFeatureTest, ColumnsSurviveAStreamIntoAFreshGrid)
{
    for (int i = 1; i < 5; ++i)
        Fill(CGrid->Columns()->Items(i), i);
    TMemoryStream ms;
    CGrid->SaveColumnsToStream(&ms);
    TExColumnGrid* fresh = MakeGrid();
    ms.SetPosition(0);
    fresh->LoadColumnsFromStream(&ms);
    ASSERT_EQ(fresh->Columns()->Count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Describe(fresh->Columns()->Items(i)).join('|').toStdString(),
                  Describe(CGrid->Columns()->Items(i)).join('|').toStdString())
            << i;
    for (int c = 1; c < 5; ++c)
        EXPECT_EQ(fresh->ColWidths(c), 40 + c) << "the widths reach the columns";
    EXPECT_FALSE(fresh->Columns()->NoRecursiveUpdate);
}

TEST_F(ColumnFeatureTest, ATruncatedOrForeignStreamRaisesAndChangesNothing)
{
    for (int i = 1; i < 5; ++i)
        Fill(CGrid->Columns()->Items(i), i);
    TMemoryStream full;
    CGrid->SaveColumnsToStream(&full);
    TExColumnGrid* fresh = MakeGrid();
    const QStringList before = Describe(fresh->Columns()->Items(3));
    const QByteArray bytes(static_cast<const char*>(full.Memory()), qsizetype(full.Size()));
    for (qsizetype cut : {qsizetype(0), qsizetype(3), bytes.size() / 2, bytes.size() - 1}) {
        TMemoryStream part;
        part.WriteBuffer(bytes.constData(), cut);
        part.SetPosition(0);
        EXPECT_THROW(fresh->LoadColumnsFromStream(&part), EReadError) << cut;
        EXPECT_EQ(Describe(fresh->Columns()->Items(3)).join('|').toStdString(), before.join('|').toStdString());
        EXPECT_EQ(fresh->Columns()->Count(), 5);
        EXPECT_FALSE(fresh->Columns()->NoRecursiveUpdate);
    }
    // A column added later still resizes the grid.
    fresh->Columns()->Add();
    EXPECT_EQ(fresh->ColCount(), 6);
}
