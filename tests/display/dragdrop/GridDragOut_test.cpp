// Grid cells dragged out of the program.
#include "DragOutFixture.h"

#include "gridpack/gridexchange/ExGridDragDrop.h"
#include "gridpack/stringgrid/ExGrid.h"

namespace {

// ---------------------------------------------------------------------------
// Grid cells
// ---------------------------------------------------------------------------

class GridDragOutTest : public DragOutTest {
protected:
    // A grid on the left of the screen: row 1 holds three cells, selected.
    TExStringGrid* SourceGrid()
    {
        ShownForm(600, 400);
        auto* g = NewObject<TExStringGrid>(Form);
        g->SetParent(Form);
        g->SetBounds(0, 0, 600, 400);
        g->SetColCount(5);
        g->SetRowCount(4);
        g->SetOptions(g->Options() & ~goEditing);
        g->DragDropSettings()->OleDropSource = true;
        // Rich text is a switch of the whole program: off unless a test says.
        g->DragDropSettings()->SetOleDropRTF(false);
        g->SetCells(1, 1, QStringLiteral("alpha"));
        g->SetCells(2, 1, QStringLiteral("beta"));
        g->SetCells(3, 1, QStringLiteral("gamma"));
        g->SetSelection(TGridRect{1, 1, 3, 1});
        Application()->ProcessMessages();
        return g;
    }
    QPoint CellPoint(TExStringGrid* g, int c, int r)
    {
        const TRect cr = g->TBaseGrid::CellRect(c, r);
        return ScreenPoint(g, TPoint{cr.Left + 12, (cr.Top + cr.Bottom) / 2});
    }
    static QStringList Row1(TExStringGrid* g)
    {
        return {g->Cells(1, 1), g->Cells(2, 1), g->Cells(3, 1)};
    }
};

TEST_F(GridDragOutTest, CellsLeaveAsTextAndTheOtherProgramsEffectDecidesTheSource)
{
    const struct {
        const char* Name;
        const char* Mode;  // the receiver's answer
        bool Ctrl;         // Ctrl held: the drag proposes a copy
        bool Rtf;          // OleDropRTF
        bool CopyAlways;   // OleCopyAlways
        bool Escape;       // Escape pressed over the receiver before letting go
        const char* Action;  // what the receiver saw, "" for no drop
        int StopEffect;      // OnOleDragStop's effect, -1 when it does not fire
        bool Cleared;
    } cases[] = {
        {"move", "accept", false, false, false, false, "move", DROPEFFECT_MOVE, true},
        {"copy by Ctrl, with rich text", "accept", true, true, false, false, "copy", DROPEFFECT_COPY, false},
        {"copy by the receiver", "copy", false, false, false, false, "copy", DROPEFFECT_COPY, false},
        {"move with OleCopyAlways", "accept", false, false, true, false, "move", DROPEFFECT_MOVE, false},
        {"refused", "refuse", false, true, false, false, "", -1, false},
        {"cancelled by Escape", "accept", false, false, false, true, "", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TExStringGrid* g = SourceGrid();
        g->DragDropSettings()->SetOleDropRTF(c.Rtf);
        g->DragDropSettings()->OleCopyAlways = c.CopyAlways;
        int stopEffect = -1;
        g->OnOleDragStop = [&](TObject*, int e) { stopEffect = e; };
        StartReceiver(QString::fromLatin1(c.Mode));
        DragWithMouse(CellPoint(g, 2, 1), DropPoint, c.Ctrl, {}, c.Escape);
        const TReceived got = Received(*c.Action ? 5000 : 1500);
        if (*c.Action) {
            EXPECT_EQ(got.value("@action"), QByteArray(c.Action));
            EXPECT_EQ(got.value("text/plain;charset=utf-8"), QByteArray("alpha\tbeta\tgamma"));
            // The rich text is the pressed cell's, offered only when switched on.
            EXPECT_EQ(got.contains("text/rtf"), c.Rtf);
            if (c.Rtf) {
                EXPECT_EQ(got.value("text/rtf"), QByteArray("beta"));
            }
        } else {
            EXPECT_TRUE(got.isEmpty());
        }
        EXPECT_EQ(stopEffect, c.StopEffect);
        EXPECT_EQ(Row1(g), c.Cleared ? QStringList({"", "", ""}) : kRow);
        EXPECT_FALSE(DragRunning());
        StopReceiver();
        delete Form;
        Form = nullptr;
    }
}

TEST_F(GridDragOutTest, CellStreamCarriesColoursAndBitmapsToASecondCopy)
{
    TExStringGrid* g = SourceGrid();
    g->Navigation()->AllowFmtClipboard = true;
    g->SetColors(2, 1, TColor(0x3366CC));
    TBitmap* bmp = g->CreateBitmap(3, 1, false, haLeft, vaTop);
    bmp->SetSize(4, 3);
    bmp->Canvas()->SetPixels(1, 1, TColor(0x00FF00));
    StartReceiver(QStringLiteral("grid"));
    DragWithMouse(CellPoint(g, 1, 1), DropPoint);
    const TReceived got = Received();
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got.value("cell 1,1"), QByteArray("alpha"));
    EXPECT_EQ(got.value("cell 2,1"), QByteArray("beta"));
    EXPECT_EQ(got.value("cell 3,1"), QByteArray("gamma"));
    EXPECT_EQ(got.value("color 2,1"), QByteArray("3366cc"));
    EXPECT_EQ(got.value("bitmap 3,1"), QByteArray("4x3 ff00"));
}

TEST_F(GridDragOutTest, ADragThatComesBackIsTheProgramsOwnAgain)
{
    // Out over the other program's window and back onto a second grid of
    // this program: the cells land as they would have without the detour,
    // and the move clears them at the source.
    TExStringGrid* g = SourceGrid();
    g->SetBounds(0, 0, 600, 180);
    auto* h = NewObject<TExStringGrid>(Form);
    h->SetParent(Form);
    h->SetBounds(0, 200, 600, 180);
    h->SetColCount(5);
    h->SetRowCount(4);
    h->Navigation()->AllowClipboardAlways = true;
    h->DragDropSettings()->SetOleDropTarget(true);
    Application()->ProcessMessages();
    StartReceiver(QStringLiteral("accept"));
    DragWithMouse(CellPoint(g, 2, 1), CellPoint(h, 1, 2), false, {DropPoint});
    EXPECT_TRUE(Received(1000).isEmpty());
    EXPECT_EQ(QStringList({h->Cells(1, 2), h->Cells(2, 2), h->Cells(3, 2)}), kRow);
    EXPECT_EQ(Row1(g), QStringList({"", "", ""}));
}

} // namespace
