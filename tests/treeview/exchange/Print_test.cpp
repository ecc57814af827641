// Printing a tree onto a printer that keeps its pages: the page grid, the
// white ground and selected nodes printed unselected.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesPrint.h"

#include <gtest/gtest.h>

namespace {
class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        T = NewObject<TLazyStringTree>(nullptr);
        T->SetBounds(0, 0, 100, 100);
        T->SetColor(clYellow);
        for (int i = 0; i < 5; ++i) Nodes << T->AddChild(nullptr);
    }
    void TearDown() override { T->Free(); }
    static TColor At(TBitmap* b, int x, int y) {
        const TRGBQuad q = b->ScanLine(y)[x];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    TLazyStringTree* T = nullptr;
    QList<PLazyNode> Nodes;
};
}  // namespace

TEST_F(PrintTest, PageGridAndWhiteGround) {
    T->Print(nullptr, true);  // nothing happens
    TLTRecordingPrinter small(400, 400);
    T->Print(&small, false);
    EXPECT_EQ(small.PageCount(), 1);
    EXPECT_FALSE(small.Printing());

    // Two and a half pages wide: three page columns, the last partly white.
    T->Header()->Columns()->Add()->SetWidth(500);
    T->SetSelected(Nodes[0], true);
    T->SetFocusedNode(Nodes[0]);
    TLTRecordingPrinter printer(200, 400);
    T->Print(&printer, true);
    ASSERT_EQ(printer.PageCount(), 3);
    EXPECT_EQ(At(printer.Page(2), 150, 50), clWhite);  // beyond the tree
    for (int p = 0; p < 3; ++p)
        for (int x : {5, 60, 120, 190}) {
            // The selected first row prints as the ground does, never in the
            // selection colour, and the tree's own colour is not used.
            EXPECT_NE(At(printer.Page(p), x, 9), ColorToRGB(clHighlight)) << p << " " << x;
            EXPECT_NE(At(printer.Page(p), x, 9), clYellow) << p << " " << x;
        }
    EXPECT_EQ(T->Color(), clYellow);

    // Exactly two pages wide: no blank third page.
    T->Header()->Columns()->Items(0)->SetWidth(400);
    T->Print(&printer, false);
    EXPECT_EQ(printer.PageCount(), 2);
}
