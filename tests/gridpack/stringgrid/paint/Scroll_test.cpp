// The string grid's scrolling moves the cells already drawn: the picture
// after a scroll is the one a full paint of the scrolled grid gives, for the
// looks whose drawing depends on nothing but the cell; looks drawn where the
// cells end paint the whole grid again.
#include "PaintKit.h"

#include <functional>

namespace {
class ScrollTest : public PaintTest {
protected:
    void Fill()
    {
        Grid->SetColCount(12);
        Grid->SetRowCount(400);
        for (int r = 0; r < 60; ++r)
            for (int c = 0; c < 12; ++c)
                Grid->SetCells(c, r, QStringLiteral("%1 / %2").arg(c).arg(r));
    }
    QRegion Client() const { return QRegion(0, 0, Grid->ClientWidth(), Grid->ClientHeight()); }
};
} // namespace

TEST_F(ScrollTest, TheScrolledPictureIsAFullPaintForEveryLook)
{
    struct Case {
        const char* What;
        std::function<void(TExStringGrid*)> Look;
        bool Whole; // the whole grid is painted again
    } cases[] = {
        {"plain", [](TExStringGrid*) {}, false},
        {"active row and a merged block across the top", [](TExStringGrid* g) {
             g->SetActiveRowShow(true);
             g->SetRow(3);
             g->MergeCells(2, 2, 2, 3);
             g->SetCells(2, 2, QStringLiteral("merged"));
         }, false},
        {"hidden column and banding", [](TExStringGrid* g) {
             g->HideColumn(3);
             g->Bands()->SetActive(true);
         }, false},
        {"a gradient where the cells end", [](TExStringGrid* g) {
             g->SetColCount(4);
             g->BackGround()->Display = bdGradientVert;
             g->BackGround()->ColorTo = clYellow;
         }, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        NewGrid();
        Fill();
        k.Look(Grid);
        Render();
        for (unsigned code : {SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP}) {
            Grid->Perform(WM_VSCROLL, code);
            const QRegion waiting = Form->UpdateRegion() & Client();
            if (k.Whole)
                EXPECT_EQ(waiting, Client());
            else
                EXPECT_LT(waiting.boundingRect().height(), Grid->ClientHeight() / 4) << "more than a strip waits";
            Form->PaintPending();
            const QImage scrolled = Form->Surface()->copy();
            EXPECT_TRUE(scrolled == Render()) << "the moved cells differ from a full paint";
        }
        Grid->Perform(WM_HSCROLL, SB_LINEDOWN);
        Form->PaintPending();
        const QImage scrolled = Form->Surface()->copy();
        EXPECT_TRUE(scrolled == Render()) << "sideways: the moved cells differ from a full paint";
        delete Form;
        Form = nullptr;
    }
}

TEST_F(ScrollTest, CellsLeftUnpaintedUnderTheUpdateLockAreNotMovedAsIfDrawn)
{
    NewGrid();
    Fill();
    Render();
    // A paint while the lock is held leaves the grid out; the lock then
    // ends without a repaint, as the wheel's own handling does.
    Grid->StartUpdate();
    Form->RenderClient();
    Grid->ResetUpdate();
    Grid->Perform(WM_VSCROLL, SB_LINEDOWN);
    Form->PaintPending();
    const QImage scrolled = Form->Surface()->copy();
    EXPECT_TRUE(scrolled == Render()) << "the old cell was moved as if it were drawn";
    // Once the grid is painted whole, the cells move again.
    Grid->Perform(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_LT((Form->UpdateRegion() & Client()).boundingRect().height(), Grid->ClientHeight() / 4);
}

// A wheel notch moves the current row by the wheel lines: it repaints the
// row left and the row reached, and once the row leaves the view the grid
// moves its cells and paints the uncovered rows; never the whole grid.
TEST_F(ScrollTest, AWheelNotchPaintsTheTwoRowsAndTheUncoveredStripOnly)
{
    NewGrid();
    Fill();
    Grid->wheelscrl = 3;
    Grid->SetRow(1);
    Render();
    const int rowHeight = Grid->DefaultRowHeight() + Grid->GridLineWidth();
    const int notches = Grid->VisibleRowCount() / 3 + 4; // inside the view first, then scrolling
    for (int i = 0; i < notches; ++i) {
        SCOPED_TRACE(i);
        const int topBefore = Grid->TopRow();
        Grid->Perform(WM_MOUSEWHEEL, WPARAM(std::uint16_t(-120)) << 16, 0);
        // The height of the grid's pixel rows waiting to be painted.
        QRegion rows;
        for (const QRect& r : Form->UpdateRegion() & Client())
            rows += QRect(0, r.top(), 1, r.height());
        int waiting = 0;
        for (const QRect& r : rows)
            waiting += r.height();
        const int scrolled = Grid->TopRow() - topBefore;
        EXPECT_LE(waiting, (2 + scrolled) * rowHeight) << "more than the two rows and the uncovered strip wait";
        Form->PaintPending();
        const QImage moved = Form->Surface()->copy();
        EXPECT_TRUE(moved == Render()) << "the picture differs from a full paint";
    }
    EXPECT_GT(Grid->TopRow(), 1) << "the notches never scrolled";
}
