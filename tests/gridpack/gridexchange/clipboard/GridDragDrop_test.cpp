// Drags into, out of and within the string grid, run through the platform's
// drag loop with scripted mouse steps.
#include "GridData3Fixture.h"

#include "gridpack/gridexchange/ExGridDragDrop.h"
#include "gridpack/basegrid/ExGridWindows.h"
#include "platform/controls/DragDrop.h"
#include "platform/controls/InboundDrag.h"
#include "platform/controls/DropFiles.h"
#include "platform/core/Files.h"
#include "platform/core/Streams.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

namespace {

class GridDragDropTest : public GridData3Test {
protected:
    void TearDown() override
    {
        SetDragInputSource(nullptr);
        GridData3Test::TearDown();
    }
    TExStringGrid* DropGrid(int cols, int rows)
    {
        auto* g = NewGrid(cols, rows);
        g->DragDropSettings()->SetOleDropTarget(true);
        return g;
    }
    static TPoint CellPoint(TExStringGrid* g, int c, int r)
    {
        const TRect cr = g->TBaseGrid::CellRect(c, r);
        return g->ClientToScreen(TPoint{(cr.Left + cr.Right) / 2, (cr.Top + cr.Bottom) / 2});
    }
    // Drags the data from outside the grid and drops it at a screen point.
    static std::uint32_t DropAt(IDataObject* data, TPoint at)
    {
        ScriptDrag({{at, MK_LBUTTON}, {at, MK_LBUTTON}, {at, 0}});
        TSGDropSource source;
        std::uint32_t effect = 0;
        DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
        return effect;
    }
    static void Label(TExStringGrid* g, int n)
    {
        for (int r = 1; r <= n; ++r) {
            g->SetCells(1, r, QStringLiteral("r%1").arg(r));
            g->SetCells(2, r, QStringLiteral("x%1").arg(r));
        }
    }
};

TEST_F(GridDragDropTest, DropTargetWriterRegistersAndRevokes)
{
    auto* g = NewGrid(3, 3);
    EXPECT_FALSE(DropTargetOf(g));
    g->DragDropSettings()->SetOleDropTarget(true);
    EXPECT_TRUE(g->OleDropTargetAssigned());
    EXPECT_EQ(DropTargetOf(g).get(), g->GridDropTarget());
    g->DragDropSettings()->SetOleDropTarget(false);
    EXPECT_FALSE(DropTargetOf(g));
    EXPECT_FALSE(g->OleDropTargetAssigned());
    // Start-up ran once.
    EXPECT_TRUE(OleInitialized());
    EXPECT_FALSE(InitializeOle());
}

TEST_F(GridDragDropTest, TextDropInsertsRowsAndSelectsTheBlock)
{
    auto* g = DropGrid(6, 10);
    Label(g, 9);
    g->DragDropSettings()->OleInsertRows = true;
    TGridRect dropped{};
    g->OnOleDropped = [&](TObject*, const TGridRect& r) { dropped = r; };
    TDataObject data;
    data.SetText(QStringLiteral("a\tb\tc\r\nd\te\tf\r\n"));
    EXPECT_NE(DropAt(&data, CellPoint(g, 2, 5)), DROPEFFECT_NONE);
    EXPECT_EQ(g->RowCount(), 12);
    EXPECT_EQ(g->Cells(2, 5), QStringLiteral("a"));
    EXPECT_EQ(g->Cells(4, 6), QStringLiteral("f"));
    EXPECT_EQ(g->Cells(1, 7), QStringLiteral("r5"));
    EXPECT_EQ(g->Selection(), (TGridRect{2, 5, 4, 6}));
    EXPECT_EQ(dropped, (TGridRect{2, 5, 4, 6}));
}

TEST_F(GridDragDropTest, DropBelowTheLastRowAppends)
{
    auto* g = DropGrid(4, 4);
    Label(g, 3);
    TDragDropSettings* dd = g->DragDropSettings();
    dd->OleEntireRows = dd->OleAppendRows = dd->OleInsertRows = true;
    TDataObject data;
    data.SetText(QStringLiteral("n1\r\nn2"));
    const TPoint below = g->ClientToScreen(TPoint{80, g->GridHeight() + 10});
    DropAt(&data, below);
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(Column(g, 1, 1, 5), QStringList({"r1", "r2", "r3", "n1", "n2"}));
}

TEST_F(GridDragDropTest, MoveWithinTheGridRemovesTheDraggedRows)
{
    auto* g = DropGrid(3, 10);
    Label(g, 9);
    g->SetOptions(g->Options() | goRowSelect);
    TDragDropSettings* dd = g->DragDropSettings();
    dd->OleDropSource = dd->OleRemoveRows = dd->OleInsertRows = true;
    Select(g, 1, 6, 2, 7);
    int stopEffect = -1;
    g->OnOleDragStop = [&](TObject*, int e) { stopEffect = e; };
    const TPoint at = CellPoint(g, 1, 2);
    ScriptDrag({{at, MK_LBUTTON}, {at, 0}});
    ASSERT_TRUE(g->OleDragStart(1, 6));
    EXPECT_EQ(stopEffect, int(DROPEFFECT_MOVE));
    EXPECT_EQ(g->RowCount(), 10);
    EXPECT_EQ(Column(g, 1, 1, 9), QStringList({"r1", "r6", "r7", "r2", "r3", "r4", "r5", "r8", "r9"}));
    EXPECT_EQ(g->Cells(2, 2), QStringLiteral("x6"));
    EXPECT_EQ(g->MoveForm, nullptr);
}

TEST_F(GridDragDropTest, ColumnDroppedBeyondTheLastMovesToTheEnd)
{
    auto* g = DropGrid(5, 4);
    for (int c = 0; c < 5; ++c)
        g->SetCells(c, 0, QStringLiteral("c%1").arg(c));
    TDragDropSettings* dd = g->DragDropSettings();
    dd->OleDropSource = dd->OleColumnDragDrop = dd->OleColumnReorder = true;
    int dropCol = -1;
    g->OnOleDropCol = [&](TObject*, int, int, int to) { dropCol = to; };
    const TPoint beyond = g->ClientToScreen(TPoint{g->GridWidth() + 10, 5});
    ScriptDrag({{beyond, MK_LBUTTON}, {beyond, 0}});
    ASSERT_TRUE(g->OleDragStart(1, 0));
    EXPECT_EQ(dropCol, 5);
    QStringList header;
    for (int c = 0; c < 5; ++c)
        header << g->Cells(c, 0);
    EXPECT_EQ(header, QStringList({"c0", "c2", "c3", "c4", "c1"}));
}

TEST_F(GridDragDropTest, ColumnsOnlyRefusesADragFromANormalRow)
{
    auto* g = NewGrid(3, 4);
    g->DragDropSettings()->OleDropSource = true;
    g->DragDropSettings()->OleColumnsOnly = true;
    bool started = false, asked = false;
    g->OnOleDragStart = [&](TObject*, int, int) { started = true; };
    g->OnOleDrag = [&](TObject*, int, int, const QString&, bool&) { asked = true; };
    EXPECT_FALSE(g->OleDragStart(1, 2));
    EXPECT_FALSE(started);
    EXPECT_FALSE(asked);
    // Without the source switch nothing starts at all.
    g->DragDropSettings()->OleDropSource = false;
    EXPECT_FALSE(g->OleDragStart(1, 0));
}

TEST_F(GridDragDropTest, DroppedCsvFileIsLoaded)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("x.csv"));
    WriteFileWhole(csv, "h1,h2\r\nv1,v2\r\n");
    const QString other = dir.filePath(QStringLiteral("x.txt"));
    WriteFileWhole(other, "zzz");
    auto* g = DropGrid(4, 4);
    QString dropped;
    g->OnOleDropFile = [&](TObject*, int, int, const QString& name, bool&) { dropped = name; };

    TDataObject txt;
    txt.SetFormat(CF_HDROP, BuildDropFiles({other}));
    DropAt(&txt, CellPoint(g, 1, 1));
    EXPECT_EQ(g->Cells(1, 1), QString());

    TDataObject data;
    data.SetFormat(CF_HDROP, BuildDropFiles({csv}));
    DropAt(&data, CellPoint(g, 1, 1));
    EXPECT_EQ(dropped, csv);
    bool found = false;
    for (int c = 0; c < g->ColCount(); ++c)
        for (int r = 0; r < g->RowCount(); ++r)
            found |= g->Cells(c, r) == QLatin1String("v2");
    EXPECT_TRUE(found);
}

TEST_F(GridDragDropTest, DroppedSpreadsheetGoesToTheSpreadsheetLoader)
{
    // No spreadsheet server is registered: the drop reaches the loader,
    // which reports it, and the grid keeps its cells.
    QTemporaryDir dir;
    const QString xls = dir.filePath(QStringLiteral("book.xls"));
    WriteFileWhole(xls, "not really a workbook");
    auto* g = DropGrid(4, 4);
    g->SetCells(1, 1, QStringLiteral("keep"));
    QString asked;
    g->OnOleDrop = [&](TObject*, int, int, const QString& name, bool&) { asked = name; };
    TDataObject data;
    data.SetFormat(CF_HDROP, BuildDropFiles({xls}));
    try {
        DropAt(&data, CellPoint(g, 1, 1));
        ADD_FAILURE() << "the spreadsheet loader was not reached";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Excel OLE server not found"));
    }
    EXPECT_EQ(asked, xls);
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("keep"));
}

TEST_F(GridDragDropTest, DroppedCellStreamIsPlacedAndADamagedOneIsNot)
{
    auto* src = NewGrid(4, 4);
    Fill(src, 1, 1, {"s1\ts2"});
    TMemoryStream ms;
    src->SaveRectToBinStream(TRect{1, 1, 2, 1}, &ms);
    auto block = [](const QByteArray& stream) {
        QByteArray b;
        const quint32 n = quint32(stream.size());
        for (int i = 0; i < 4; ++i)
            b.append(char((n >> (8 * i)) & 0xFF));
        b.append(4, '\0');
        return b + stream;
    };
    auto* g = DropGrid(5, 5);
    int droppedCount = 0;
    g->OnOleDropped = [&](TObject*, const TGridRect&) { ++droppedCount; };
    TDataObject bad;
    bad.SetFormat(GridCellsClipboardFormat(), block(ms.Bytes().left(ms.Bytes().size() / 2)));
    DropAt(&bad, CellPoint(g, 2, 3));
    EXPECT_EQ(g->Cells(2, 3), QString());
    EXPECT_EQ(g->Cells(3, 3), QString());

    TDataObject good;
    good.SetFormat(GridCellsClipboardFormat(), block(ms.Bytes()));
    DropAt(&good, CellPoint(g, 2, 3));
    EXPECT_EQ(g->Cells(2, 3), QStringLiteral("s1"));
    EXPECT_EQ(g->Cells(3, 3), QStringLiteral("s2"));
    EXPECT_EQ(droppedCount, 2);
}

TEST_F(GridDragDropTest, DragOverShowsTheRowMarkOnlyOverDataCells)
{
    auto* g = DropGrid(4, 6);
    TGridDropTarget* t = g->GridDropTarget();
    ASSERT_TRUE(t && g->ArwL);
    bool allow = true;
    t->DragMouseMove(CellPoint(g, 2, 3), allow, DropFormatBit(dfText));
    EXPECT_TRUE(allow);
    EXPECT_TRUE(g->ArwL->Visible());
    const TRect cr = g->TBaseGrid::CellRect(2, 3);
    EXPECT_EQ(g->ArwL->Top() + g->ArwL->Height() / 2, g->ClientToScreen(TPoint{0, cr.Top}).Y);

    allow = true;
    t->DragMouseMove(CellPoint(g, 2, 0), allow, DropFormatBit(dfText));
    EXPECT_FALSE(allow);
    EXPECT_FALSE(g->ArwL->Visible());

    // A refusing OnOleDragOver wins.
    g->OnOleDragOver = [](TObject*, int, int, bool& a) { a = false; };
    allow = true;
    t->DragMouseMove(CellPoint(g, 2, 3), allow, DropFormatBit(dfText));
    EXPECT_FALSE(allow);
}

TEST_F(GridDragDropTest, DragImageFormNeverActivates)
{
    auto* g = NewGrid(3, 3);
    Select(g, 1, 1, 2, 2);
    TCustomForm* f = g->SelectionToForm(g->Selection());
    auto* n = dynamic_cast<TNoActiveForm*>(f);
    ASSERT_TRUE(n);
    EXPECT_EQ(f->Params().Style, 0x88800000u);
    EXPECT_EQ(n->ClassStyle(), 0x800u);
    EXPECT_EQ(f->Perform(WM_MOUSEACTIVATE), 3);
    EXPECT_EQ(f->Perform(WM_ACTIVATE, 1), 1);
    f->Free();
}

} // namespace

namespace {

// Drags from other programs arrive as the toolkit's drag data.
TEST_F(GridDragDropTest, TextAndOneFileFromOtherProgramsAreDropped)
{
    auto* g = DropGrid(4, 4);
    QMimeData text;
    text.setText(QStringLiteral("outside"));
    const TPoint at = CellPoint(g, 2, 2);
    EXPECT_EQ(DeliverInboundDrag(TInboundDragStep::Enter, &text, at, MK_LBUTTON), DROPEFFECT_COPY);
    EXPECT_EQ(DeliverInboundDrag(TInboundDragStep::Move, &text, at, MK_LBUTTON), DROPEFFECT_COPY);
    EXPECT_EQ(DeliverInboundDrag(TInboundDragStep::Drop, &text, at, 0), DROPEFFECT_COPY);
    EXPECT_EQ(g->Cells(2, 2), QStringLiteral("outside"));

    // Only a single local file is taken; anything else carries nothing.
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("in.csv"));
    WriteFileWhole(csv, "p,q\r\n");
    QMimeData one, two, none;
    one.setUrls({QUrl::fromLocalFile(csv)});
    two.setUrls({QUrl::fromLocalFile(csv), QUrl::fromLocalFile(csv)});
    none.setData(QStringLiteral("application/x-other"), "zz");
    EXPECT_TRUE(InboundDataObject(&one));
    EXPECT_FALSE(InboundDataObject(&two));
    EXPECT_FALSE(InboundDataObject(&none));
    QString dropped;
    g->OnOleDropFile = [&](TObject*, int, int, const QString& name, bool&) { dropped = name; };
    DeliverInboundDrag(TInboundDragStep::Enter, &one, at, MK_LBUTTON);
    DeliverInboundDrag(TInboundDragStep::Drop, &one, at, 0);
    EXPECT_EQ(dropped, csv);

    // Outside any target nothing is accepted and a leave ends the drag.
    const TPoint away = Form->ClientToScreen(TPoint{650, 450});
    EXPECT_EQ(DeliverInboundDrag(TInboundDragStep::Enter, &text, away, MK_LBUTTON), DROPEFFECT_NONE);
    EXPECT_EQ(DeliverInboundDrag(TInboundDragStep::Leave, nullptr, away, 0), DROPEFFECT_NONE);
}

} // namespace

namespace {

// The mouse starts a drag: a press on the selection and a move past three
// pixels; a press and release without moving selects the released cell.
TEST_F(GridDragDropTest, PressOnTheSelectionAndMoveDragsToAnotherGrid)
{
    auto* a = NewGrid(4, 4);
    a->SetOptions(a->Options() & ~goEditing);
    a->DragDropSettings()->OleDropSource = true;
    Fill(a, 1, 1, {"m1\tm2"});
    auto* b = DropGrid(4, 3);
    b->SetBounds(0, 410, 600, 90);
    Select(a, 1, 1, 2, 1);
    const TRect cr = a->TBaseGrid::CellRect(1, 1);
    const int x = cr.Left + 10, y = cr.Top + 5;
    int started = 0;
    a->OnOleDragStart = [&](TObject*, int, int) { ++started; };

    // A click without a move: no drag, the released cell is selected.
    Input::MouseDown(a, mbLeft, x, y);
    Input::MouseUp(a, mbLeft, x, y);
    EXPECT_EQ(started, 0);
    EXPECT_EQ(a->Selection(), (TGridRect{1, 1, 1, 1}));

    Select(a, 1, 1, 2, 1);
    const TPoint at = CellPoint(b, 1, 1);
    ScriptDrag({{at, MK_LBUTTON}, {at, 0}});
    Input::MouseDown(a, mbLeft, x, y);
    Input::MouseMove(a, x + 2, y, ssLeft);
    EXPECT_EQ(started, 0);
    Input::MouseMove(a, x + 6, y, ssLeft);
    EXPECT_EQ(started, 1);
    Input::MouseUp(a, mbLeft, x + 6, y);
    EXPECT_EQ(b->Cells(1, 1), QStringLiteral("m1"));
    EXPECT_EQ(b->Cells(2, 1), QStringLiteral("m2"));
    // A move between grids clears the source cells.
    EXPECT_EQ(a->Cells(1, 1), QString());
}

} // namespace
